#pragma once
// What the engine and preview tests share: two layouts drawn as the income and the notes reports
// are, and ledger rows or notes held in memory.

#include "data/money.h"
#include "data/row_source.h"
#include "reports/report_document.h"
#include "reports/report_layout.h"

#include <QDate>
#include <QTest>

#include <QRegularExpression>
#include <memory>

namespace halvo::test {

// The income and expense report: heights 1290, 285, 300, 435, 573; a heading, the date, a line,
// the title; seven columns; totals of income and expense.
inline ReportLayout incomeLayout()
{
    ReportLayout l;
    l.name = QStringLiteral("rptIncome");
    l.caption = QStringLiteral("Income and Expense Report");
    l.command = QStringLiteral("cmdIncome");
    l.width = 9330;
    l.title = QStringLiteral("Report for All Properties");
    l.reportHeader = {QStringLiteral("Section4"), 1290, {}};
    l.pageHeader = {QStringLiteral("Section2"), 285, {}};
    l.detail = {QStringLiteral("Section1"), 300, {}};
    l.pageFooter = {QStringLiteral("Section3"), 435, {}};
    l.reportFooter = {QStringLiteral("Section5"), 573, {}};
    l.reportHeader.controls = {
        reportLabel(QStringLiteral("lblTitle"), QStringLiteral("Income and Expense Report"), 144,
                    144, 4890, 345, ReportFont::Heading),
        reportLabel(QStringLiteral("Label8"), QStringLiteral("%D"), 5904, 288, 3315, 225,
                    ReportFont::Body, Qt::AlignRight),
        reportLine(QStringLiteral("Line1"), 144, 576, 9060),
        reportLabel(QStringLiteral("Label9"), QStringLiteral("%i"), 144, 720, 9060, 300,
                    ReportFont::Title, Qt::AlignHCenter),
    };
    struct Column {
        const char* heading;
        const char* field;
        QString format;
        Qt::Alignment align;
        int left;
        int width;
    };
    const QString money = QStringLiteral("\"$\"#,##0.00");
    const Column columns[] = {
        {"Nickname", "Nickname", {}, Qt::AlignLeft, 144, 1140},
        {"Date", "RecDate", QStringLiteral("MM/dd/yyyy"), Qt::AlignLeft, 1152, 855},
        {"Ref No.", "CheckNo", QStringLiteral("0"), Qt::AlignLeft, 2160, 870},
        {"Payee", "Payee", {}, Qt::AlignLeft, 3168, 1440},
        {"Category", "Category", {}, Qt::AlignLeft, 4752, 1875},
        {"Income", "Income", money, Qt::AlignRight, 6768, 1155},
        {"Expense", "Expense", money, Qt::AlignRight, 8064, 1155},
    };
    for (const Column& c : columns) {
        l.pageHeader.controls.append(reportLabel(QStringLiteral("lbl%1").arg(c.field),
                                                 QString::fromLatin1(c.heading), c.left, 30,
                                                 c.width, 225, ReportFont::Caption, c.align));
        l.detail.controls.append(reportTextBox(QStringLiteral("txt%1").arg(c.field),
                                               QString::fromLatin1(c.field), c.format, c.left, 30,
                                               c.width, 225, c.align));
    }
    l.reportFooter.controls = {
        reportLabel(QStringLiteral("lblTotal"), QStringLiteral("Total:"), 5472, 144, 1200, 225),
        reportSum(QStringLiteral("sumIncome"), QStringLiteral("Income"), money, 6768, 144, 1155,
                  225),
        reportSum(QStringLiteral("sumExpense"), QStringLiteral("Expense"), money, 8064, 144,
                  1155, 225),
    };
    return l;
}

// The notes report: heights 1275, 288, 297, 360, 360; the note grows downwards.
inline ReportLayout notesLayout()
{
    ReportLayout l;
    l.name = QStringLiteral("rptNotes");
    l.caption = QStringLiteral("Note Report");
    l.command = QStringLiteral("cmdNote");
    l.width = 9348;
    l.title = QStringLiteral("Report for All Notes");
    l.reportHeader = {QStringLiteral("Section4"), 1275, {}};
    l.pageHeader = {QStringLiteral("Section2"), 288, {}};
    l.detail = {QStringLiteral("Section1"), 297, {}};
    l.pageFooter = {QStringLiteral("Section3"), 360, {}};
    l.reportFooter = {QStringLiteral("Section5"), 360, {}};
    l.reportHeader.controls = {
        reportLabel(QStringLiteral("lbltitle"), QStringLiteral("Note Report"), 144, 144, 2736,
                    345, ReportFont::Heading),
        reportLine(QStringLiteral("Line1"), 144, 576, 9060),
    };
    l.pageHeader.controls = {
        reportLabel(QStringLiteral("lblID"), QStringLiteral("ID"), 144, 30, 435, 225),
        reportLabel(QStringLiteral("lblNote"), QStringLiteral("Note"), 3744, 30, 5472, 225),
    };
    ReportControl note = reportTextBox(QStringLiteral("txtNotes"), QStringLiteral("Notes"), {},
                                       3744, 30, 5472, 225);
    note.growsDown = true;
    l.detail.controls = {
        reportTextBox(QStringLiteral("txtID"), QStringLiteral("ID"), QStringLiteral("0"), 144, 30,
                      435, 225),
        note,
    };
    return l;
}

// Rows held in memory, as a report reads them: the engine needs no database to be tested.
class TableRows : public MemoryRows {
public:
    using MemoryRows::MemoryRows;

    // A row given by the fields it has; the others are empty.
    TableRows& add(std::initializer_list<std::pair<QString, QVariant>> fields)
    {
        QVariantList row(columns().size());
        for (const auto& [name, value] : fields) {
            const int column = columnIndex(name);
            if (column < 0)
                qFatal("no column %s", qPrintable(name));
            row[column] = value;
        }
        appendRow(std::move(row));
        return *this;
    }
};

// The ledger's columns, as the income report reads them.
inline TableRows ledgerTable()
{
    return TableRows({{QStringLiteral("ID"), ColumnKind::Integer},
                      {QStringLiteral("NickName"), ColumnKind::Text},
                      {QStringLiteral("RecDate"), ColumnKind::Date},
                      {QStringLiteral("CheckNo"), ColumnKind::Text},
                      {QStringLiteral("Payee"), ColumnKind::Text},
                      {QStringLiteral("Category"), ColumnKind::Text},
                      {QStringLiteral("Memo"), ColumnKind::Text},
                      {QStringLiteral("Income"), ColumnKind::Money},
                      {QStringLiteral("Expense"), ColumnKind::Money}});
}

// `count` ledger rows, the n-th (from 1) dated in 2026 with reference number n, income n dollars;
// in reverse, the last first.
inline TableRows ledgerRows(int count, bool reversed = false)
{
    TableRows rows = ledgerTable();
    for (int k = 0; k < count; ++k) {
        const int i = reversed ? count - k : k + 1;
        rows.add({{QStringLiteral("ID"), qlonglong(i)},
                  {QStringLiteral("NickName"), QStringLiteral("OAK")},
                  {QStringLiteral("RecDate"), QDate(2026, 1, 1).addDays(i % 365)},
                  {QStringLiteral("CheckNo"), QString::number(i)},
                  {QStringLiteral("Payee"), QStringLiteral("Payee %1").arg(i)},
                  {QStringLiteral("Category"), QStringLiteral("Rent")},
                  {QStringLiteral("Income"), QVariant::fromValue(Money::fromCents(i * 100LL))},
                  {QStringLiteral("Expense"), QVariant::fromValue(Money())}});
    }
    return rows;
}

// The notes' columns, as the notes report reads them.
inline TableRows notesTable()
{
    return TableRows({{QStringLiteral("ID"), ColumnKind::Integer},
                      {QStringLiteral("NoteDate"), ColumnKind::Date},
                      {QStringLiteral("NoteTime"), ColumnKind::Time},
                      {QStringLiteral("NickName"), ColumnKind::Text},
                      {QStringLiteral("Notes"), ColumnKind::Text}});
}

// How many pages a PDF file holds, by its page objects.
inline int pdfPageCount(const QByteArray& pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    int count = 0;
    for (auto it = page.globalMatch(QString::fromLatin1(pdf)); it.hasNext(); it.next())
        ++count;
    return count;
}

} // namespace halvo::test
