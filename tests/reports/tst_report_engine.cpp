// The report engine as a reader of the printed pages sees it: which sections stand on which page
// and where, the totals, the display formats, the date and title lines, a note that grows, what
// is painted inside a box and what is cut off, and the PDF file and the printer's pages.

#include "data/money.h"
#include "tests/reports/engine_test_support.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

using namespace halvo;
using namespace halvo::test;

Q_DECLARE_METATYPE(halvo::ColumnKind)

namespace {

const QDate printedOn(2026, 12, 7);

QList<ReportItem> itemsOf(const QList<ReportItem>& items, const QString& section)
{
    QList<ReportItem> found;
    for (const ReportItem& i : items)
        if (i.section == section)
            found.append(i);
    return found;
}

const ReportItem* find(const QList<ReportItem>& items, const QString& control, int row = -1)
{
    for (const ReportItem& i : items)
        if (i.control == control && i.row == row)
            return &i;
    return nullptr;
}

// The item points into the list, which must outlive it: never a temporary.
const ReportItem* find(QList<ReportItem>&& items, const QString& control, int row = -1) = delete;

// The reference numbers printed on a page, top to bottom.
QStringList refsOn(const QList<ReportItem>& items)
{
    QStringList refs;
    for (const ReportItem& i : items)
        if (i.control == QLatin1String("txtCheckNo"))
            refs.append(i.text);
    return refs;
}

QStringList numbers(int first, int count)
{
    QStringList n;
    for (int i = 0; i < count; ++i)
        n.append(QString::number(first + i));
    return n;
}

// Ink: a pixel clearly darker than the white sheet.
bool inkIn(const QImage& image, const QRect& area)
{
    for (int y = std::max(0, area.top()); y <= std::min(image.height() - 1, area.bottom()); ++y)
        for (int x = std::max(0, area.left()); x <= std::min(image.width() - 1, area.right());
             ++x)
            if (qGray(image.pixel(x, y)) < 160)
                return true;
    return false;
}

} // namespace

class tst_report_engine : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void pageBreaks_data();
    void pageBreaks();
    void groupsBeginPages_data();
    void groupsBeginPages();
    void bandPlacement();
    void rowsReadInOrder();
    void sums_data();
    void sums();
    void formats_data();
    void formats();
    void dateAndTitleLines();
    void growingNote();
    void noteLongerThanAPage();
    void painting_data();
    void painting();
    void pdfWritten();
    void pdfFailures_data();
    void pdfFailures();
    void printedPageRange();
};

void tst_report_engine::initTestCase()
{
    // The layouts are measured in Arial; Liberation Sans stands in for it with the same widths.
    const QFontInfo arial(QFont(QStringLiteral("Arial")));
    QVERIFY2(arial.family().contains(QLatin1String("Liberation Sans"))
                 || arial.family() == QLatin1String("Arial"),
             qPrintable(arial.family()));
}

// Letter paper, 1440 twips of margin: 12,960 twips to print on. The first page has room for 36
// rows of 300 under the report header and the column headings, a later page for 40; the report
// footer (573) still fits under 34 rows on the first page and 38 on a later one.
void tst_report_engine::pageBreaks_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("rowsPerPage");

    QTest::newRow("no rows: one page") << 0 << QList<int>{0};
    QTest::newRow("one row") << 1 << QList<int>{1};
    QTest::newRow("footer still fits") << 34 << QList<int>{34};
    QTest::newRow("footer moved to a page of its own") << 35 << QList<int>{35, 0};
    QTest::newRow("first page full, footer moved") << 36 << QList<int>{36, 0};
    QTest::newRow("one row on the second page") << 37 << QList<int>{36, 1};
    QTest::newRow("footer fits under 38 rows") << 74 << QList<int>{36, 38};
    QTest::newRow("footer moved from the second page") << 75 << QList<int>{36, 39, 0};
    QTest::newRow("two full pages") << 76 << QList<int>{36, 40, 0};
    QTest::newRow("third page") << 77 << QList<int>{36, 40, 1};
}

void tst_report_engine::pageBreaks()
{
    QFETCH(int, rows);
    QFETCH(QList<int>, rowsPerPage);
    const TableRows set = ledgerRows(rows);
    ReportLayout layout = incomeLayout();
    layout.pageFooter.controls.append(reportLabel(QStringLiteral("lblFooter"),
                                                  QStringLiteral("HALVO"), 144, 100, 2000, 225));
    ReportDocument document(layout, set, printedOn);
    QVERIFY(document.paginate().ok());
    QCOMPARE(document.pageCount(), rowsPerPage.size());
    QCOMPARE(document.pageSizeTwips(), QSizeF(12240, 15840));

    int first = 1;
    for (int page = 0; page < document.pageCount(); ++page) {
        const QList<ReportItem> items = document.pageItems(page);
        const bool firstPage = page == 0, lastPage = page == document.pageCount() - 1;
        // The report header once, on the first page; the headings on every page, under it.
        QCOMPARE(itemsOf(items, QStringLiteral("Section4")).size(), firstPage ? 4 : 0);
        const ReportItem* heading = find(items, QStringLiteral("lblIncome"));
        QVERIFY(heading);
        QCOMPARE(heading->text, QStringLiteral("Income"));
        QCOMPARE(heading->rect.top(), firstPage ? 2760.0 : 1470.0);
        // The rows in their order, continuing from the page before.
        QCOMPARE(refsOn(items), numbers(first, rowsPerPage[page]));
        first += rowsPerPage[page];
        // The page footer at the bottom of every page.
        const ReportItem* footer = find(items, QStringLiteral("lblFooter"));
        QVERIFY(footer);
        QCOMPARE(footer->rect.top(), 15840.0 - 1440 - 435 + 100);
        // The totals once, after the last row.
        QCOMPARE(itemsOf(items, QStringLiteral("Section5")).size(), lastPage ? 3 : 0);
    }
    QCOMPARE(first, rows + 1);
}

// With a new-page field, a row whose value differs from the row above begins a page, and the page
// header prints that row's value. A page still holds 36 rows on the first page and 40 on later
// ones; the report footer follows the last group's rows where it fits.
void tst_report_engine::groupsBeginPages_data()
{
    QTest::addColumn<QString>("groups"); // one letter a row: the row's nickname
    QTest::addColumn<QList<int>>("rowsPerPage");
    QTest::addColumn<QStringList>("headings");

    QTest::newRow("no rows") << QString() << QList<int>{0} << QStringList{QString()};
    QTest::newRow("one group") << "AAA" << QList<int>{3} << QStringList{"A"};
    QTest::newRow("a page a group") << "AABCCC" << QList<int>{2, 1, 3} << QStringList{"A", "B", "C"};
    QTest::newRow("a value seen again is a new group")
        << "ABA" << QList<int>{1, 1, 1} << QStringList{"A", "B", "A"};
    QTest::newRow("a group longer than a page runs on")
        << QString(40, QLatin1Char('A')) + "BB" << QList<int>{36, 4, 2}
        << QStringList{"A", "A", "B"};
    QTest::newRow("the footer moved from a full group")
        << "A" + QString(39, QLatin1Char('B')) << QList<int>{1, 39, 0}
        << QStringList{"A", "B", "B"};
}

void tst_report_engine::groupsBeginPages()
{
    QFETCH(QString, groups);
    QFETCH(QList<int>, rowsPerPage);
    QFETCH(QStringList, headings);
    TableRows set = ledgerTable();
    for (int i = 0; i < groups.size(); ++i)
        set.add({{QStringLiteral("CheckNo"), QString::number(i + 1)},
                 {QStringLiteral("NickName"), QString(groups[i])}});
    ReportLayout layout = incomeLayout();
    layout.newPageField = QStringLiteral("nickname");
    layout.pageHeader.controls.append(reportTextBox(QStringLiteral("txtGroup"),
                                                    QStringLiteral("NickName"), {}, 7000, 0, 1000,
                                                    225));
    ReportDocument document(layout, set, printedOn);
    QVERIFY(document.paginate().ok());
    QCOMPARE(document.pageCount(), rowsPerPage.size());
    int first = 1;
    for (int page = 0; page < document.pageCount(); ++page) {
        const QList<ReportItem> items = document.pageItems(page);
        QCOMPARE(refsOn(items), numbers(first, rowsPerPage[page]));
        first += rowsPerPage[page];
        QCOMPARE(find(items, QStringLiteral("txtGroup"))->text, headings[page]);
        QCOMPARE(itemsOf(items, QStringLiteral("Section5")).isEmpty(),
                 page < document.pageCount() - 1);
    }
}

void tst_report_engine::bandPlacement()
{
    const TableRows set = ledgerRows(40);
    ReportDocument document(incomeLayout(), set, printedOn);
    QVERIFY(document.paginate().ok());
    QCOMPARE(document.pageCount(), 2);

    const QList<ReportItem> first = document.pageItems(0);
    QCOMPARE(find(first, QStringLiteral("lblTitle"))->rect,
             QRectF(1440 + 144, 1440 + 144, 4890, 345));
    QCOMPARE(find(first, QStringLiteral("Line1"))->rect, QRectF(1440 + 144, 1440 + 576, 9060, 0));
    // Rows of 300 twips one under the other, from under the headings.
    QCOMPARE(find(first, QStringLiteral("txtCheckNo"), 0)->rect,
             QRectF(1440 + 2160, 3015 + 30, 870, 225));
    QCOMPARE(find(first, QStringLiteral("txtIncome"), 35)->rect,
             QRectF(1440 + 6768, 3015 + 35 * 300 + 30, 1155, 225));
    QCOMPARE(find(first, QStringLiteral("txtIncome"), 35)->alignment, Qt::AlignRight);

    const QList<ReportItem> second = document.pageItems(1);
    QCOMPARE(find(second, QStringLiteral("txtCheckNo"), 36)->text, QStringLiteral("37"));
    QCOMPARE(find(second, QStringLiteral("txtCheckNo"), 36)->rect.top(), 1725.0 + 30);
    // The totals under the last row, at their place in the report footer.
    const qreal footerTop = 1725 + 4 * 300;
    QCOMPARE(find(second, QStringLiteral("lblTotal"))->rect.top(), footerTop + 144);
    QCOMPARE(find(second, QStringLiteral("sumIncome"))->rect,
             QRectF(1440 + 6768, footerTop + 144, 1155, 225));
    QVERIFY(document.pageItems(2).isEmpty());
    QVERIFY(document.pageItems(-1).isEmpty());
}

void tst_report_engine::rowsReadInOrder()
{
    const TableRows set = ledgerRows(120, true);
    ReportDocument document(incomeLayout(), set, printedOn);
    QVERIFY(document.paginate().ok());
    // From the first row of the rows in their own order.
    QCOMPARE(refsOn(document.pageItems(0)).first(), QStringLiteral("120"));
    QCOMPARE(refsOn(document.pageItems(document.pageCount() - 1)).last(), QStringLiteral("1"));
}

void tst_report_engine::sums_data()
{
    QTest::addColumn<QStringList>("incomes");
    QTest::addColumn<QStringList>("expenses");
    QTest::addColumn<QString>("incomeTotal");
    QTest::addColumn<QString>("expenseTotal");

    QTest::newRow("no rows") << QStringList{} << QStringList{} << "$0.00" << "$0.00";
    QTest::newRow("ten cents three times")
        << QStringList{"0.10", "0.10", "0.10"} << QStringList{"0", "0", "0"} << "$0.30" << "$0.00";
    QTest::newRow("thousands") << QStringList{"1250", "0", "800.5"}
                               << QStringList{"0", "99.99", "0"} << "$2,050.50" << "$99.99";
    // Beyond what a double holds to the cent.
    QTest::newRow("ninety trillion and two cents")
        << QStringList{"90000000000000.01", "0.01"} << QStringList{"0.01", "0"}
        << "$90,000,000,000,000.02" << "$0.01";
    QTest::newRow("refund") << QStringList{"100", "-25.25"} << QStringList{"0", "0"} << "$74.75"
                            << "$0.00";
}

void tst_report_engine::sums()
{
    QFETCH(QStringList, incomes);
    QFETCH(QStringList, expenses);
    QFETCH(QString, incomeTotal);
    QFETCH(QString, expenseTotal);
    TableRows set = ledgerTable();
    for (int i = 0; i < incomes.size(); ++i)
        set.add({{QStringLiteral("RecDate"), QDate(2026, 5, 1)},
                 {QStringLiteral("Income"), QVariant::fromValue(Money::parse(incomes[i]).value())},
                 {QStringLiteral("Expense"), QVariant::fromValue(Money::parse(expenses[i]).value())}});
    ReportDocument document(incomeLayout(), set, printedOn);
    QVERIFY(document.paginate().ok());
    const QList<ReportItem> last = document.pageItems(document.pageCount() - 1);
    QCOMPARE(find(last, QStringLiteral("sumIncome"))->text, incomeTotal);
    QCOMPARE(find(last, QStringLiteral("sumExpense"))->text, expenseTotal);
    QCOMPARE(find(last, QStringLiteral("lblTotal"))->text, QStringLiteral("Total:"));
}

void tst_report_engine::formats_data()
{
    QTest::addColumn<ColumnKind>("kind");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("printed");

    const QString money = QStringLiteral("\"$\"#,##0.00");
    const auto amount = [](const char* typed) {
        return QVariant::fromValue(Money::parse(QString::fromLatin1(typed)).value());
    };
    QTest::newRow("money") << ColumnKind::Money << amount("1250") << money << "$1,250.00";
    QTest::newRow("money, cents") << ColumnKind::Money << amount("0.05") << money << "$0.05";
    QTest::newRow("money, millions") << ColumnKind::Money << amount("1234567.89") << money
                                     << "$1,234,567.89";
    QTest::newRow("padded date") << ColumnKind::Date << QVariant(QDate(2026, 12, 7))
                                 << "MM/dd/yyyy" << "12/07/2026";
    QTest::newRow("padded date, early") << ColumnKind::Date << QVariant(QDate(2026, 3, 4))
                                        << "MM/dd/yyyy" << "03/04/2026";
    QTest::newRow("short date") << ColumnKind::Date << QVariant(QDate(2026, 3, 4)) << "M/d/yyyy"
                                << "3/4/2026";
    QTest::newRow("date as delivered") << ColumnKind::Date << QVariant(QDate(2026, 12, 7)) << ""
                                       << "12/7/2026";
    QTest::newRow("afternoon") << ColumnKind::Time << QVariant(QTime(13, 5, 9)) << "h:mm:ss AMPM"
                               << "1:05:09 PM";
    QTest::newRow("after midnight") << ColumnKind::Time << QVariant(QTime(0, 30)) << "h:mm:ss AMPM"
                                    << "12:30:00 AM";
    QTest::newRow("record number") << ColumnKind::Integer << QVariant(qlonglong(1042)) << "0"
                                   << "1042";
    QTest::newRow("reference number kept as text") << ColumnKind::Text << QVariant("1044") << "0"
                                                   << "1044";
    QTest::newRow("units") << ColumnKind::Real << QVariant(qlonglong(4)) << "0" << "4";
    QTest::newRow("interest as delivered") << ColumnKind::Real << QVariant(6.5) << "" << "6.5";
    QTest::newRow("text as delivered") << ColumnKind::Text << QVariant("Acme Plumbing & Heating")
                                       << "" << "Acme Plumbing & Heating";
    QTest::newRow("empty field") << ColumnKind::Text << QVariant() << "" << "";
}

void tst_report_engine::formats()
{
    QFETCH(ColumnKind, kind);
    QFETCH(QVariant, value);
    QFETCH(QString, format);
    QFETCH(QString, printed);
    TableRows set({{QStringLiteral("Field"), kind}});
    set.add({{QStringLiteral("Field"), value}});
    ReportLayout layout = incomeLayout();
    layout.detail.controls = {reportTextBox(QStringLiteral("txtField"), QStringLiteral("Field"),
                                            format, 144, 30, 2000, 225),
                              // a field the rows do not have prints nothing
                              reportTextBox(QStringLiteral("txtMissing"), QStringLiteral("Category2"),
                                            {}, 2200, 30, 2000, 225)};
    ReportDocument document(layout, set, printedOn);
    QVERIFY(document.paginate().ok());
    const QList<ReportItem> items = document.pageItems(0);
    const ReportItem* item = find(items, QStringLiteral("txtField"), 0);
    QVERIFY(item);
    QCOMPARE(item->text, printed);
    QCOMPARE(find(items, QStringLiteral("txtMissing"), 0)->text, QString());
}

void tst_report_engine::dateAndTitleLines()
{
    const TableRows set = ledgerTable();
    ReportLayout layout = incomeLayout();
    layout.title = QStringLiteral("12 Oak Street, Springfield");
    layout.reportHeader.control(QStringLiteral("lblTitle"))->text = QStringLiteral("Category Report");
    ReportDocument document(layout, set, printedOn);
    QVERIFY(document.paginate().ok());
    const QList<ReportItem> items = document.pageItems(0);
    QCOMPARE(find(items, QStringLiteral("Label8"))->text, QStringLiteral("07 December, 2026"));
    QCOMPARE(find(items, QStringLiteral("Label8"))->alignment, Qt::AlignRight);
    QCOMPARE(find(items, QStringLiteral("Label8"))->font, ReportFont::Body);
    QCOMPARE(find(items, QStringLiteral("Label9"))->text,
             QStringLiteral("12 Oak Street, Springfield"));
    QCOMPARE(find(items, QStringLiteral("Label9"))->alignment, Qt::AlignHCenter);
    QCOMPARE(find(items, QStringLiteral("Label9"))->font, ReportFont::Title);
    QCOMPARE(find(items, QStringLiteral("lblTitle"))->text, QStringLiteral("Category Report"));
    QCOMPARE(find(items, QStringLiteral("lblTitle"))->font, ReportFont::Heading);
    // The empty report: header, headings and totals on the one page, no rows.
    QCOMPARE(document.pageCount(), 1);
    QVERIFY(itemsOf(items, QStringLiteral("Section1")).isEmpty());
    QCOMPARE(find(items, QStringLiteral("lblPayee"))->text, QStringLiteral("Payee"));
    QCOMPARE(find(items, QStringLiteral("sumIncome"))->text, QStringLiteral("$0.00"));
    QCOMPARE(find(items, QStringLiteral("sumIncome"))->rect.top(), 3015.0 + 144);
}

// Twenty words to a line of 5,472 twips at most: two hundred words take several lines.
void tst_report_engine::growingNote()
{
    QStringList words;
    for (int i = 0; i < 200; ++i)
        words.append(QStringLiteral("word%1").arg(i));
    const QString longNote = words.join(QLatin1Char(' '));
    TableRows set = notesTable();
    for (const QString& note : {QStringLiteral("Short note"), longNote,
                                QStringLiteral("Paint ordered.\nPainter booked for Monday.")})
        set.add({{QStringLiteral("ID"), qlonglong(set.recordCount() + 1)},
                 {QStringLiteral("Notes"), note}});
    ReportDocument document(notesLayout(), set, printedOn);
    QVERIFY(document.paginate().ok());
    QCOMPARE(document.pageCount(), 1);
    const QList<ReportItem> items = document.pageItems(0);

    const ReportItem* shortNote = find(items, QStringLiteral("txtNotes"), 0);
    QCOMPARE(shortNote->text, QStringLiteral("Short note"));
    const ReportItem* grown = find(items, QStringLiteral("txtNotes"), 1);
    QVERIFY(grown->wraps);
    // The whole note, in lines no wider than its box.
    const QStringList lines = grown->text.split(QLatin1Char('\n'));
    QVERIFY2(lines.size() >= 8, qPrintable(grown->text));
    QCOMPARE(lines.join(QLatin1Char(' ')), longNote);
    const QFontMetricsF arial([] {
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(165);
        return f;
    }());
    for (const QString& line : lines)
        QVERIFY2(arial.horizontalAdvance(line) <= 5472, qPrintable(line));
    // The box grows downwards; the row after it starts under the grown band.
    const qreal firstRowTop = 1440 + 1275 + 288;
    QCOMPARE(find(items, QStringLiteral("txtID"), 0)->rect.top(), firstRowTop + 30);
    QCOMPARE(grown->rect.top(), firstRowTop + 297 + 30);
    QVERIFY(grown->rect.height() > 225 * 4);
    const qreal thirdRowTop = firstRowTop + 297 + (297 - 225) + grown->rect.height();
    QCOMPARE(find(items, QStringLiteral("txtID"), 2)->rect.top(), thirdRowTop + 30);
    // A line break in a note stays a line break.
    QCOMPARE(find(items, QStringLiteral("txtNotes"), 2)->text,
             QStringLiteral("Paint ordered.\nPainter booked for Monday."));
}

void tst_report_engine::noteLongerThanAPage()
{
    QStringList words;
    for (int i = 0; i < 3000; ++i)
        words.append(QStringLiteral("w%1").arg(i));
    const QString hugeNote = words.join(QLatin1Char(' '));
    const QString unbroken(400, QLatin1Char('x')); // wider than its box, with no blank in it
    TableRows set = notesTable();
    for (const QString& note : {QStringLiteral("Before"), hugeNote, unbroken,
                                QStringLiteral("After")})
        set.add({{QStringLiteral("ID"), qlonglong(set.recordCount() + 1)},
                 {QStringLiteral("Notes"), note}});
    ReportDocument document(notesLayout(), set, printedOn);
    QVERIFY(document.paginate().ok());
    QVERIFY2(document.pageCount() >= 3, qPrintable(QString::number(document.pageCount())));

    QStringList printed;  // the huge note's lines, page after page
    QString unbrokenPrinted;
    QStringList order;
    const qreal pageFooterTop = 15840 - 1440 - 360;
    for (int page = 0; page < document.pageCount(); ++page) {
        const QList<ReportItem> items = document.pageItems(page);
        QVERIFY(find(items, QStringLiteral("lblNote")));
        for (const ReportItem& item : items) {
            if (item.section == QLatin1String("Section1")) {
                // Nothing of a row runs into the page footer.
                QVERIFY2(item.rect.bottom() <= pageFooterTop + 0.01,
                         qPrintable(QStringLiteral("page %1: %2").arg(page).arg(item.rect.bottom())));
            }
            if (item.control != QLatin1String("txtNotes"))
                continue;
            if (order.isEmpty() || order.last() != QString::number(item.row))
                order.append(QString::number(item.row));
            if (item.row == 1)
                printed.append(item.text.split(QLatin1Char('\n')));
            if (item.row == 2)
                unbrokenPrinted += QString(item.text).remove(QLatin1Char('\n'));
        }
    }
    QCOMPARE(printed.join(QLatin1Char(' ')), hugeNote);
    QCOMPARE(unbrokenPrinted, unbroken);
    QCOMPARE(order, (QStringList{"0", "1", "2", "3"}));
    // The note's record number once, with its first lines.
    int ids = 0;
    for (int page = 0; page < document.pageCount(); ++page) {
        const QList<ReportItem> items = document.pageItems(page);
        ids += find(items, QStringLiteral("txtID"), 1) ? 1 : 0;
    }
    QCOMPARE(ids, 1);
}

// A text in a box 1,000 twips wide at 144 dots per inch (10 twips to the pixel): the box's
// pixels run from 1440 + 144 = 1584 to 2584 twips.
void tst_report_engine::painting_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<bool>("inkAtLeft");
    QTest::addColumn<bool>("inkAtRight");
    QTest::addColumn<bool>("inkBeyond");
    QTest::addColumn<int>("neighbourLeft"); // a second box in the row, empty; 0 for none
    QTest::addColumn<double>("clipRight");  // twips from the sheet's left edge

    const QString longText = QStringLiteral("A payee whose name runs far beyond its column");
    // The box spans 1584 to 2584 twips on the sheet; the report's edge is at 1440 + 9330.
    QTest::newRow("left") << "Rent" << int(Qt::AlignLeft) << true << false << false << 0 << 10770.0;
    QTest::newRow("right") << "Rent" << int(Qt::AlignRight) << false << true << false << 0 << 2584.0;
    QTest::newRow("centre") << "Rent" << int(Qt::AlignHCenter) << false << false << false << 0
                            << 2584.0;
    QTest::newRow("left, runs on to the report's edge when nothing follows")
        << longText << int(Qt::AlignLeft) << true << true << true << 0 << 10770.0;
    QTest::newRow("right-aligned, cut at its left edge")
        << longText << int(Qt::AlignRight) << true << true << false << 0 << 2584.0;
    // The next column's box begins 800 twips into this one (pixel 238): the text stops there.
    QTest::newRow("cut where the next box begins")
        << longText << int(Qt::AlignLeft) << true << false << false << 944 << 2384.0;
    // The next box begins 200 twips after this one ends: the text runs on up to it.
    QTest::newRow("runs on into the free space before the next box")
        << longText << int(Qt::AlignLeft) << true << true << true << 1344 << 2784.0;
}

void tst_report_engine::painting()
{
    QFETCH(QString, text);
    QFETCH(int, alignment);
    QFETCH(bool, inkAtLeft);
    QFETCH(bool, inkAtRight);
    QFETCH(bool, inkBeyond);
    QFETCH(int, neighbourLeft);
    QFETCH(double, clipRight);
    TableRows set = ledgerTable();
    set.add({{QStringLiteral("Payee"), text}});
    ReportLayout layout = incomeLayout();
    layout.reportHeader.controls.clear();
    layout.pageHeader.controls.clear();
    layout.reportFooter.controls.clear();
    layout.detail.controls = {reportTextBox(QStringLiteral("txtPayee"), QStringLiteral("Payee"),
                                            {}, 144, 30, 1000, 225, Qt::Alignment(alignment))};
    if (neighbourLeft)
        layout.detail.controls.append(reportTextBox(QStringLiteral("txtCategory"),
                                                    QStringLiteral("Category"), {},
                                                    neighbourLeft, 30, 1000, 225));
    ReportDocument document(layout, set, printedOn);
    QVERIFY(document.paginate().ok());
    const QList<ReportItem> items = document.pageItems(0);
    const ReportItem* payee = find(items, QStringLiteral("txtPayee"), 0);
    QCOMPARE(payee->rect, QRectF(1584, 1440 + 1290 + 285 + 30, 1000, 225));
    QCOMPARE(payee->clip.right(), clipRight);
    QImage sheet(1224, 1584, QImage::Format_RGB32);
    sheet.setDotsPerMeterX(qRound(144 / 0.0254));
    sheet.setDotsPerMeterY(qRound(144 / 0.0254));
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    document.paintPage(painter, 0);
    painter.end();
    // The row's text stands 1290 + 285 + 30 twips under the top margin.
    const int top = (1440 + 1290 + 285 + 30) / 10, bottom = top + 22;
    QVERIFY(inkIn(sheet, QRect(QPoint(159, top), QPoint(258, bottom)))); // somewhere in the box
    QCOMPARE(inkIn(sheet, QRect(QPoint(158, top), QPoint(175, bottom))), inkAtLeft);
    QCOMPARE(inkIn(sheet, QRect(QPoint(242, top), QPoint(258, bottom))), inkAtRight);
    QCOMPARE(inkIn(sheet, QRect(QPoint(0, top), QPoint(156, bottom)))
                 || inkIn(sheet, QRect(QPoint(260, top), QPoint(1223, bottom))),
             inkBeyond);
}

void tst_report_engine::pdfWritten()
{
    const TableRows set = ledgerRows(100);
    ReportDocument document(incomeLayout(), set, printedOn);
    QVERIFY(document.paginate().ok());
    QCOMPARE(document.pageCount(), 3);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Income and Expense Report.pdf"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an earlier file of the same name");
    old.close();
    const Status written = document.writePdf(path);
    QVERIFY2(written.ok(), written.ok() ? "" : qPrintable(written.error().description));
    QFile pdf(path);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    QVERIFY(bytes.startsWith("%PDF-"));
    QCOMPARE(pdfPageCount(bytes), 3);
    // Nothing is left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{"Income and Expense Report.pdf"});
}

void tst_report_engine::pdfFailures_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::addColumn<bool>("paginated");
    QTest::addColumn<QString>("message");

    QTest::newRow("missing folder") << "no such folder/report.pdf" << true
                                    << "The report could not be saved as \"%1\":";
    QTest::newRow("a folder in its place") << "taken" << true
                                           << "The report could not be saved as \"%1\":";
    QTest::newRow("not laid out") << "report.pdf" << false << "The report has not been laid out.";
}

void tst_report_engine::pdfFailures()
{
    QFETCH(QString, relativePath);
    QFETCH(bool, paginated);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken")));
    const TableRows set = ledgerRows(3);
    ReportDocument document(incomeLayout(), set, printedOn);
    if (paginated)
        QVERIFY(document.paginate().ok());
    const QString path = dir.filePath(relativePath);
    const Status written = document.writePdf(path);
    QVERIFY(!written.ok());
    const QString expected = message.contains(QLatin1String("%1"))
                                 ? message.arg(QDir::toNativeSeparators(path))
                                 : message;
    QVERIFY2(written.error().description.startsWith(expected),
             qPrintable(written.error().description));
    if (expected.endsWith(QLatin1Char(':'))) // and then its reason
        QVERIFY(written.error().description.size() > expected.size() + 2);
    // Nothing written anywhere: the folder holds what it held.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{"taken"});
    QVERIFY(QDir(dir.filePath(QStringLiteral("taken"))).isEmpty());
}

void tst_report_engine::printedPageRange()
{
    const TableRows set = ledgerRows(160);
    ReportDocument document(incomeLayout(), set, printedOn);
    QVERIFY(document.paginate().ok());
    QCOMPARE(document.pageCount(), 5);
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("printed.pdf")));
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 4);
    QVERIFY(document.print(printer).ok());
    QFile pdf(printer.outputFileName());
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QCOMPARE(pdfPageCount(pdf.readAll()), 3);

    printer.setOutputFileName(dir.filePath(QStringLiteral("beyond.pdf")));
    printer.setFromTo(7, 9);
    const Status beyond = document.print(printer);
    QVERIFY(!beyond.ok());
    QCOMPARE(beyond.error().description, QStringLiteral("The report has no pages 7 to 9; it has 5."));
}

QTEST_MAIN(tst_report_engine)
#include "tst_report_engine.moc"
