#pragma once
// Rows as a report reads them: named columns of known kinds, and any field of any row by its
// position. A record set is one; so is a table held in memory.

#include <QList>
#include <QString>
#include <QVariant>

namespace halvo {

enum class ColumnKind { Text, Integer, Real, Money, Date, Time };

struct Column {
    QString name;
    ColumnKind kind = ColumnKind::Text;
};

class RowSource {
public:
    virtual ~RowSource() = default;
    // Columns, in the order of the rows' fields.
    virtual const QList<Column>& columns() const = 0;
    // A column's index by name without regard to letter case; -1 when there is none.
    virtual int columnIndex(const QString& name) const;
    virtual int recordCount() const = 0;
    // A field by 0-based row and column; a null QVariant outside the rows.
    virtual QVariant valueAt(int row, int column) const = 0;
};

inline int RowSource::columnIndex(const QString& name) const
{
    const QList<Column>& all = columns();
    for (int i = 0; i < all.size(); ++i)
        if (all[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// Rows held in memory: a table a program computes (the tax worksheet) read as a report reads
// a record set.
class MemoryRows : public RowSource {
public:
    explicit MemoryRows(QList<Column> columns) : columns_(std::move(columns)) {}
    const QList<Column>& columns() const override { return columns_; }
    int recordCount() const override { return int(rows_.size()); }
    QVariant valueAt(int row, int column) const override
    {
        return rows_.value(row).value(column);
    }
    // A row of fields in the columns' order; missing fields at its end are empty.
    void appendRow(QVariantList fields)
    {
        fields.resize(columns_.size());
        rows_.append(std::move(fields));
    }

private:
    QList<Column> columns_;
    QList<QVariantList> rows_;
};

} // namespace halvo
