#pragma once
// DataGrid1: the list of an editor's records, a table over its record set. It reads only the rows
// it shows, through the record set's pages; the current record is its current row.

#include "data/record_set.h"

#include <QAbstractTableModel>
#include <QList>

namespace halvo {

struct GridColumn {
    QString caption;
    QString column;        // bound column; empty for a column bound to nothing
    int widthTwips = 0;    // 0 leaves the grid's own width
    bool hidden = false;
};

// How a value of a column is shown in a grid or a box: money with the bound fields' pattern,
// dates in the short date form, everything else as text.
QString displayText(const QVariant& value, ColumnKind kind, const QString& moneyPattern = {});

class RecordGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    RecordGridModel(RecordSet* records, QList<GridColumn> columns, QObject* parent = nullptr);

    void setEditable(bool editable) { editable_ = editable; }
    const QList<GridColumn>& gridColumns() const { return columns; }

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
