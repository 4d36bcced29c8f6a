#include "schedule_e_sheet.h"

#include "csv/csv_writer.h"
#include "tax/depreciation_assets.h"
#include "tax/vendors_paid_sheet.h"

namespace halvo {

namespace {

const QStringList Letters{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};

QVariant money(const Money& m) { return QVariant::fromValue(m); }

// Lines 1b and 2 above the amounts, on paper and in the CSV file: what the user entered for the
// year, or nothing. On paper they stand in TextA to TextC, where the amounts stand on the other
// lines.
struct DaysLine {
    QString line, caption;
    std::optional<int> WorksheetColumn::*field;
};
const QList<DaysLine>& daysLines()
{
    static const QList<DaysLine> lines{
        {QStringLiteral("1b"), QStringLiteral("Type of property (code 1 to 8)"),
         &WorksheetColumn::propertyType},
        {QStringLiteral("2"), QStringLiteral("Fair rental days"), &WorksheetColumn::fairRentalDays},
        {QStringLiteral("2"), QStringLiteral("Personal use days"),
         &WorksheetColumn::personalUseDays},
    };
    return lines;
}
QVariant daysValue(const WorksheetColumn& column, const DaysLine& line)
{
    const std::optional<int>& n = column.*line.field;
    return n ? QVariant(QString::number(*n)) : QVariant();
}

} // namespace

QString worksheetColumnName(const WorksheetColumn& column)
{
    return column.property.isEmpty() ? QStringLiteral("(No property)") : column.property;
}

QList<WorksheetTotal> worksheetTotals(const Worksheet& sheet)
{
    return {
        {QStringLiteral("23a"), QStringLiteral("Rents received, all properties (line 3)"),
         sheet.rents},
        {QStringLiteral("23b"), QStringLiteral("Royalties received, all properties (line 4)"),
         sheet.royalties},
        {QStringLiteral("23c"), QStringLiteral("Mortgage interest, all properties (line 12)"),
         sheet.mortgageInterest},
        {QStringLiteral("23d"), QStringLiteral("Depreciation, all properties (line 18)"),
         sheet.depreciation},
        {QStringLiteral("23e"), QStringLiteral("Total expenses, all properties (line 20)"),
         sheet.totalExpenses},
    };
}

MemoryRows worksheetRows(const Worksheet& sheet)
{
    const QList<WorksheetTotal> totals = worksheetTotals(sheet);
    QList<Column> columns{{QStringLiteral("Page"), ColumnKind::Integer}};
    for (const QString& letter : Letters)
        columns << Column{QStringLiteral("Letter") + letter, ColumnKind::Text}
                << Column{QStringLiteral("Name") + letter, ColumnKind::Text}
                << Column{QStringLiteral("Address") + letter, ColumnKind::Text};
    columns << Column{QStringLiteral("Line"), ColumnKind::Text}
            << Column{QStringLiteral("Caption"), ColumnKind::Text};
    for (const QString& letter : Letters)
        columns << Column{QStringLiteral("Amount") + letter, ColumnKind::Money};
    for (const WorksheetTotal& t : totals)
        columns << Column{QStringLiteral("Total") + t.line, ColumnKind::Money}
                << Column{QStringLiteral("Caption") + t.line, ColumnKind::Text};
    for (const QString& letter : Letters)
        columns << Column{QStringLiteral("Text") + letter, ColumnKind::Text};
    columns << Column{QStringLiteral("Notice"), ColumnKind::Text};
    // Line A, on every row for the first page's header: the question and its answer.
    columns << Column{QStringLiteral("QuestionA"), ColumnKind::Text}
            << Column{QStringLiteral("AnswerA"), ColumnKind::Text};
    const QVariantList lineA{lineAQuestion(sheet.year), lineAAnswer(sheet.formsRequired)};
    // Every row ends in the page's lines 1b and 2 (on their own rows only), the notice (on its
    // own rows only) and line A.
    const QVariantList noTexts{QVariant(), QVariant(), QVariant()};

    MemoryRows rows(columns);
    const QList<TaxLine>& lines = scheduleELines(sheet.year);
    for (qsizetype first = 0; first < sheet.columns.size(); first += PropertiesOnAPage) {
        const QList<WorksheetColumn> page = sheet.columns.mid(first, PropertiesOnAPage);
        QVariantList heading{qlonglong(first / PropertiesOnAPage + 1)};
        for (qsizetype i = 0; i < PropertiesOnAPage; ++i) {
            if (i < page.size())
                heading << Letters[i] << worksheetColumnName(page[i]) << page[i].address;
            else
                heading << QVariant() << QVariant() << QVariant();
        }
        for (const DaysLine& line : daysLines()) {
            QVariantList row = heading;
            row << line.line << line.caption << QVariant() << QVariant() << QVariant();
            for (const WorksheetTotal& t : totals)
                row << money(t.amount) << t.caption;
            QVariantList texts;
            for (qsizetype i = 0; i < PropertiesOnAPage; ++i)
                texts << (i < page.size() ? daysValue(page[i], line) : QVariant());
            rows.appendRow(row << texts << QVariant() << lineA);
        }
        for (const TaxLine& line : lines) {
            QVariantList row = heading;
            row << QString::number(line.number) << line.caption;
            for (qsizetype i = 0; i < PropertiesOnAPage; ++i) {
                const bool has = i < page.size() && page[i].lines.contains(line.number);
                row << (has ? money(page[i].lines.value(line.number)) : QVariant());
            }
            for (const WorksheetTotal& t : totals)
                row << money(t.amount) << t.caption;
            rows.appendRow(row << noTexts << QVariant() << lineA);
        }
        // Depreciation: under the page's lines, a row of its own for each of its properties
        // whose line 18 holds both the computed depreciation and ledger rows.
        for (const WorksheetColumn& column : page) {
            const QString notice = depreciationNotice(column);
            if (notice.isEmpty())
                continue;
            QVariantList row = heading;
            row << QVariant() << QVariant() << QVariant() << QVariant() << QVariant();
            for (const WorksheetTotal& t : totals)
                row << money(t.amount) << t.caption;
            rows.appendRow(row << noTexts << notice << lineA);
        }
    }
    return rows;
}

QList<QVariantList> worksheetTable(const Worksheet& sheet)
{
    QVariantList heading{QStringLiteral("Line"), QStringLiteral("Description")};
    QVariantList addresses{QVariant(), QStringLiteral("Address")};
    for (const WorksheetColumn& column : sheet.columns) {
        heading << worksheetColumnName(column);
        addresses << column.address;
    }
    heading << QStringLiteral("All Properties");
    addresses << QVariant();
    QList<QVariantList> table{heading, addresses};
    for (const DaysLine& line : daysLines()) {
        QVariantList row{line.line, line.caption};
        for (const WorksheetColumn& column : sheet.columns)
            row << daysValue(column, line);
        table << (row << QVariant());
    }
    for (const TaxLine& line : scheduleELines(sheet.year)) {
        QVariantList row{QString::number(line.number), line.caption};
        Money all;
        for (const WorksheetColumn& column : sheet.columns) {
            const bool has = column.lines.contains(line.number);
            row << (has ? money(column.lines.value(line.number)) : QVariant());
            all += column.lines.value(line.number);
        }
        row << money(all);
        table << row;
    }
    for (const WorksheetTotal& t : worksheetTotals(sheet)) {
        QVariantList row{t.line, t.caption};
        for (qsizetype i = 0; i < sheet.columns.size(); ++i)
            row << QVariant();
        row << money(t.amount);
        table << row;
    }
    // Depreciation: each property whose line 18 holds both kinds, in a row of its own at the end.
    for (const WorksheetColumn& column : sheet.columns)
        if (const QString notice = depreciationNotice(column); !notice.isEmpty())
            table << QVariantList{QStringLiteral("Note"), notice};
    // Line A, its answer under "All Properties".
    QVariantList lineA{QStringLiteral("A"), lineAQuestion(sheet.year)};
    for (qsizetype i = 0; i < sheet.columns.size(); ++i)
        lineA << QVariant();
    table << (lineA << lineAAnswer(sheet.formsRequired));
    return table;
}

Status writeWorksheetCsv(const Worksheet& sheet, const QString& path)
{
    return writeCsv(path, worksheetTable(sheet));
}

} // namespace halvo
