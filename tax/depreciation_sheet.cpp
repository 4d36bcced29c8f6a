#include "depreciation_sheet.h"

#include "csv/csv_writer.h"

namespace halvo {

namespace {

struct SheetColumn {
    const char* field;
    const char* heading;
    ColumnKind kind;
};

const SheetColumn sheetColumns[] = {
    {"Asset", "Asset", ColumnKind::Integer},
    {"Property", "Property", ColumnKind::Text},
    {"Description", "Description", ColumnKind::Text},
    {"Source", "Source", ColumnKind::Text},
    {"AssetClass", "Class", ColumnKind::Text},
    {"Cost", "Cost", ColumnKind::Money},
    {"Additions", "Additions", ColumnKind::Money},
    {"Land", "Land", ColumnKind::Money},
    {"Basis", "Basis", ColumnKind::Money},
    {"InService", "Placed in Service", ColumnKind::Date},
    {"Disposed", "Sold or Out of Service", ColumnKind::Date},
    {"Year", "Year", ColumnKind::Integer},
    {"RecoveryYear", "Recovery Year", ColumnKind::Integer},
    {"Percentage", "Percentage", ColumnKind::Text},
    {"Deduction", "Deduction", ColumnKind::Money},
    {"Accumulated", "Accumulated", ColumnKind::Money},
    {"Remaining", "Remaining", ColumnKind::Money},
    {"Note", "Note", ColumnKind::Text},
};

QVariant money(const Money& m) { return QVariant::fromValue(m); }
QVariant date(const QDate& d) { return d.isValid() ? QVariant(d) : QVariant(); }

QList<QVariantList> rowsOf(const QList<Asset>& assets, int lastYear)
{
    QList<QVariantList> rows;
    for (qsizetype i = 0; i < assets.size(); ++i) {
        const Asset& a = assets[i];
        const QVariantList asset{qlonglong(i + 1),
                                 a.property,
                                 a.description,
                                 a.fromLedger ? QStringLiteral("Ledger") : QStringLiteral("Entered"),
                                 assetClassName(a.assetClass),
                                 money(a.cost),
                                 money(a.additions),
                                 money(a.land),
                                 money(a.basis()),
                                 date(a.placedInService),
                                 date(a.disposed)};
        const QList<DepreciationYear> years = depreciationSchedule(a, lastYear);
        if (years.isEmpty())
            rows << (asset + QVariantList{QVariant(), QVariant(), QVariant(), QVariant(),
                                          QVariant(), QVariant(), QVariant()});
        for (const DepreciationYear& y : years)
            rows << (asset + QVariantList{qlonglong(y.year), qlonglong(y.recoveryYear),
                                          percentageText(y.percentage), money(y.deduction),
                                          money(y.accumulated), money(y.remaining),
                                          y.partYear ? QStringLiteral("Part of the year: sold or "
                                                                      "taken out of service")
                                                     : QString()});
    }
    return rows;
}

} // namespace

MemoryRows depreciationRows(const QList<Asset>& assets, int lastYear)
{
    QList<Column> columns;
    for (const SheetColumn& c : sheetColumns)
        columns << Column{QString::fromLatin1(c.field), c.kind};
    MemoryRows rows(columns);
    for (QVariantList& row : rowsOf(assets, lastYear))
        rows.appendRow(std::move(row));
    return rows;
}

QList<QVariantList> depreciationTable(const QList<Asset>& assets, int lastYear)
{
    QVariantList headings;
    for (const SheetColumn& c : sheetColumns)
        headings << QString::fromLatin1(c.heading);
    return QList<QVariantList>{headings} + rowsOf(assets, lastYear);
}

Status writeDepreciationCsv(const QList<Asset>& assets, int lastYear, const QString& path)
{
    return writeCsv(path, depreciationTable(assets, lastYear));
}

} // namespace halvo
