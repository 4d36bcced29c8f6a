#pragma once
// DataGrid1: the list of an editor's records, a table over its record set. It reads only the rows
// it shows, through the record set's pages; the current record is its current row. A cell shows
// the first line of its value, as much of it as fits; the whole value is in the record's fields.

#include "data/display_text.h" // displayText, which the grid and the bound boxes show values with
#include "data/record_set.h"
#include "editors/editor_description.h"

#include <QAbstractTableModel>
#include <QList>

namespace halvo {

class RecordGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    RecordGridModel(RecordSet* records, QList<GridColumn> columns, QObject* parent = nullptr);

    void setEditable(bool editable) { editable_ = editable; }
    const QList<GridColumn>& gridColumns() const { return columns; }
    // Lays the grid out anew (a grid of all columns after its record source changed).
    void setGridColumns(QList<GridColumn> columns);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Typing into a cell changes the current record (the grid makes a row current before it
    // lets it be edited).
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    RecordSet* records;
    QList<GridColumn> columns;
    bool editable_ = false;

    int recordColumn(int section) const;
};

} // namespace halvo
