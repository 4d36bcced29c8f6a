#include "record_grid.h"

#include <algorithm>

namespace halvo {

namespace {

// More characters than three lines of a cell show across the widest screen.
constexpr qsizetype mostShown = 4000;

bool endsALine(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator
        || c == QChar::ParagraphSeparator;
}

// A cell shows the first line of its text, and of that only what a cell can show: the full text
// is in the record's own box (a note's in its Note box). The grid lays out the text of every
// cell it paints or measures, and a note of 200,000 characters took seconds to lay out.
QString shownInCell(const QString& text)
{
    const qsizetype limit = std::min(text.size(), mostShown);
    qsizetype end = 0;
    while (end < limit && !endsALine(text.at(end)))
        ++end;
    if (end < text.size() && end > 0 && text.at(end - 1).isHighSurrogate())
        --end; // never half a character
    return end == text.size() ? text : text.left(end);
}

} // namespace

RecordGridModel::RecordGridModel(RecordSet* records, QList<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), records(records), columns(std::move(columns))
{
    connect(records, &RecordSet::recordsChanged, this, [this] {
        beginResetModel();
        endResetModel();
    });
    // A move may have written the record left, and the current row shows its buffer.
    auto refreshRows = [this] {
        if (rowCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    };
    connect(records, &RecordSet::moveComplete, this, refreshRows);
    connect(records, &RecordSet::valueChanged, this, [this](int) {
        const int row = this->records->absolutePosition() - 1;
        if (row >= 0)
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

void RecordGridModel::setGridColumns(QList<GridColumn> gridColumns)
{
    beginResetModel();
    columns = std::move(gridColumns);
    endResetModel();
}

int RecordGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : records->recordCount();
}

int RecordGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columns.size());
}

int RecordGridModel::recordColumn(int section) const
{
    const QString& name = columns.at(section).column;
    return name.isEmpty() ? -1 : records->columnIndex(name);
}

QVariant RecordGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const GridColumn& shown = columns.at(index.column());
    if (role == Qt::TextAlignmentRole && shown.alignment)
        return int(shown.alignment | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const int column = recordColumn(index.column());
    if (column < 0)
        return {};
    const QVariant value = records->valueAt(index.row(), column);
    if (role == Qt::EditRole)
        return value.isNull() ? QString() : value.toString();
    return shownInCell(displayText(value, records->columns().at(column).kind, shown.format));
}

QVariant RecordGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return columns.value(section).caption;
    return QVariant();
}

Qt::ItemFlags RecordGridModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (editable_ && recordColumn(index.column()) >= 0)
        f |= Qt::ItemIsEditable;
    return f;
}

bool RecordGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || index.row() != records->absolutePosition() - 1)
        return false;
    const int column = recordColumn(index.column());
    return column >= 0 && records->setValue(column, value).ok();
}

} // namespace halvo
