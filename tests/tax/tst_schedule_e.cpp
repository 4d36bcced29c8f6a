// A hand-computed tax year of four properties: the worksheet's lines and totals to the cent, on
// its printed pages and in its CSV file; the categories given their first lines by their names;
// and the year stopped by a category with none, the window offering the category editor.

#include "controls/pickers.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "maintenance/database_copy.h"
#include "platform/desktop.h"
#include "platform/prompts.h"
#include "reports/report_document.h"
#include "reports/report_layouts.h"
#include "reports/report_preview.h"
#include "reports/schedule_e_selection.h"
#include "reports/schedule_e_words.h"
#include "tax/schedule_e_sheet.h"
#include "tests/support/temp_database.h"

#include <QApplication>
#include <QFileInfo>
#include <QTest>

using namespace halvo;

namespace {

Money money(const char* text)
{
    return Money::parse(QString::fromLatin1(text)).value();
}

// The year 2026 of the ledger, with a row on each side of it that must not count.
const char* const ledger = R"(
INSERT INTO tblBuilding (BldNickName, BldPropAddress) VALUES
  ('ELM', '12 Elm St, Dayton, OH 45402'), ('OAK', '7 Oak Ave, Dayton, OH 45405'),
  ('PINE', '30 Pine Rd, Kettering, OH 45429'), ('ASH', '5 Ash Ct, Xenia, OH 45385');
INSERT INTO tblCategory (Income, Expense) VALUES
  ('Rent', 'Mortgage Interest'), ('Security Deposit', 'Loan Principal'), ('Deposit Kept', 'Repairs'),
  ('Royalties', 'Deposit Returned'), (NULL, 'Insurance'), (NULL, 'Property Tax'),
  (NULL, 'Depreciation'), (NULL, 'Water'), (NULL, 'Management Fees'), (NULL, 'Capital Improvement'),
  (NULL, 'Pest Control');
INSERT INTO tblFinance (NickName, RecDate, Payee, Category, Income, Expense) VALUES
  ('ELM', '2025-12-31', 'J Smith', 'Rent', 9990000, 0),
  ('ELM', '2026-01-05', 'J Smith', 'Rent', 12500000, 0),
  ('ELM', '2026-02-05', 'J Smith', 'Rent', 12500000, 0),
  ('ELM', '2026-01-02', 'J Smith', 'Security Deposit', 15000000, 0),
  ('ELM', '2026-01-15', 'First Bank', 'Mortgage Interest', 0, 6102500),
  ('ELM', '2026-01-15', 'First Bank', 'Loan Principal', 0, 2897500),
  ('ELM', '2026-03-09', 'Ace Roofing', 'Repairs', 0, 1804000),
  ('OAK', '2026-04-01', 'R Brown', 'Rent', 9000000, 0),
  ('OAK', '2026-06-30', 'R Brown', 'Deposit Kept', 3000000, 0),
  ('OAK', '2026-06-30', 'R Brown', 'Deposit Returned', 0, 6000000),
  ('OAK', '2026-05-01', 'State Farm', 'Insurance', 0, 4200000),
  ('OAK', '2026-11-20', 'County', 'Property Tax', 0, 11000000),
  ('PINE', '2026-07-01', 'L Green', 'Rent', 20000000, 0),
  ('PINE', '2026-12-31', 'Own records', 'Depreciation', 0, 7272700),
  ('PINE', '2026-08-03', 'City Water', 'Water', 0, 451000),
  ('PINE', '2026-09-14', 'Bug Busters', 'Pest Control', 0, 800000),
  ('ASH', '2026-10-10', 'Gas Co', 'Royalties', 1500000, 0),
  ('ASH', '2026-10-01', 'Acme Mgmt', 'Management Fees', 0, 1200000),
  ('ASH', '2026-02-20', 'Deck Builders', 'Capital Improvement', 0, 50000000),
  ('ASH', '2027-01-01', 'Acme Mgmt', 'Management Fees', 0, 1200000);
)";

// The year with every category given a line: the first mapping and Pest Control to line 7.
Worksheet handComputedSheet(const Connection& c)
{
    static_cast<void>(offerFirstMapping(c));
    static_cast<void>(saveCategoryLine(c, {false, "Pest Control"}, 7));
    return scheduleEWorksheet(c, 2026).value();
}

// A printed page as its reader sees it: the page's properties, then each line that has an amount
// in any column ("3 Rents received | | $2,500.00 | $1,200.00"), then the totals.
QStringList readPage(const QList<ReportItem>& items)
{
    QMap<QString, QString> text;
    QMap<int, QMap<QString, QString>> rows;
    for (const ReportItem& i : items)
        (i.row >= 0 ? rows[i.row] : text)[i.control] = i.text;
    QStringList lines;
    for (const char* x : {"A", "B", "C"})
        if (const QString name = text.value(QString("txtName") + x); !name.isEmpty())
            lines << QString("%1 %2 %3").arg(text.value(QString("txtLetter") + x), name,
                                             text.value(QString("txtAddress") + x));
    lines << QString("columns %1 %2 %3")
                 .arg(text.value("txtColumnNameA"), text.value("txtColumnNameB"),
                      text.value("txtColumnNameC"));
    for (const QMap<QString, QString>& r : rows) {
        const QString amounts = QStringList{r.value("txtAmountA"), r.value("txtAmountB"),
                                            r.value("txtAmountC")}
                                    .join(" | ");
        if (amounts != " |  | ")
            lines << r.value("txtLine") + " " + r.value("txtCaption") + " | " + amounts;
    }
    for (const char* line : {"23a", "23b", "23c", "23d", "23e"})
        if (text.contains(QString("txtTotal") + line))
            lines << QString("%1 %2 %3").arg(line, text.value(QString("txtCaption") + line),
                                             text.value(QString("txtTotal") + line));
    return lines;
}

} // namespace

class TestScheduleE : public QObject {
    Q_OBJECT
private slots:
    void firstLinesByName_data();
    void firstLinesByName();
    void handComputedYear();
    void yearStopped_data();
    void yearStopped();
    void categoriesMatchWithoutLetterCase();
    void linesGoWithTheBackupAndTheCompactedCopy();
    void printedPageByPage();
    void csvFile();
    void window_data();
    void window();
    void neverWrittenOverTheOpenDatabase();
};

void TestScheduleE::firstLinesByName_data()
{
    QTest::addColumn<bool>("income");
    QTest::addColumn<QString>("category");
    QTest::addColumn<int>("line"); // -1: no suggestion
    QTest::newRow("rent") << true << "Rent" << 3;
    QTest::newRow("deposit held") << true << "Security Deposit" << 0;
    QTest::newRow("deposit kept is rent") << true << "Deposit Kept" << 3;
    QTest::newRow("mortgage interest") << false << "Mortgage Interest" << 12;
    QTest::newRow("other interest") << false << "Credit Card Interest" << 13;
    QTest::newRow("principal") << false << "Loan Principal" << 0;
    QTest::newRow("utilities") << false << "Electric" << 17;
    QTest::newRow("nothing known") << false << "Pest Control" << -1;
}

void TestScheduleE::firstLinesByName()
{
    QFETCH(bool, income);
    QFETCH(QString, category);
    QFETCH(int, line);
    QCOMPARE(suggestedLine(income, category).value_or(-1), line);
}

void TestScheduleE::handComputedYear()
{
    test::TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.executeScript(QString::fromLatin1(ledger)));
    QCOMPARE(offerFirstMapping(c).value(), 14);
    QCOMPARE(wording(scheduleEWorksheet(c, 2026).refusal()),
             QString("The category \"Pest Control\" (expense) of 2026 has no Schedule E line: give "
                     "it one in the category editor."));

    QVERIFY(saveCategoryLine(c, {false, "Pest Control"}, 7));
    QCOMPARE(offerFirstMapping(c).value(), 0); // what the user chose stays
    const Worksheet sheet = scheduleEWorksheet(c, 2026).value();
    QStringList properties;
    for (const WorksheetColumn& column : sheet.columns)
        properties.append(column.property);
    QCOMPARE(properties, QStringList({"ASH", "ELM", "OAK", "PINE"}));
    using Lines = QMap<int, Money>;
    const QList<Lines> expected{
        {{4, money("150.00")}, {11, money("120.00")}, {20, money("120.00")}, {21, money("30.00")}},
        {{3, money("2500.00")}, {12, money("610.25")}, {14, money("180.40")},
         {20, money("790.65")}, {21, money("1709.35")}},
        {{3, money("1200.00")}, {9, money("420.00")}, {16, money("1100.00")},
         {20, money("1520.00")}, {21, money("-320.00")}},
        {{3, money("2000.00")}, {7, money("80.00")}, {17, money("45.10")}, {18, money("727.27")},
         {20, money("852.37")}, {21, money("1147.63")}},
    };
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(sheet.columns.at(i).lines, expected.at(i));
    QCOMPARE(sheet.columns.at(1).address, QString("12 Elm St, Dayton, OH 45402"));
    QCOMPARE(sheet.rents, money("5700.00"));
    QCOMPARE(sheet.royalties, money("150.00"));
    QCOMPARE(sheet.mortgageInterest, money("610.25"));
    QCOMPARE(sheet.depreciation, money("727.27"));
    QCOMPARE(sheet.totalExpenses, money("3283.02"));
}

// Every category without a line is named at once; rows without a category stop the year too.
void TestScheduleE::yearStopped_data()
{
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("said");
    QTest::newRow("two categories without a line")
        << "('ASH', '2026-02-01', 'Coin-op', 'Laundry', 500000, 0),"
           "('ELM', '2026-03-01', 'Bug Busters', 'Pest Control', 0, 800000),"
           "('OAK', '2026-04-01', 'Bug Busters', 'Pest Control', 0, 800000)"
        << "The categories \"Laundry\" (income), \"Pest Control\" (expense) of 2026 have no "
           "Schedule E line: give them one in the category editor.";
    QTest::newRow("a row without a category")
        << "('ELM', '2026-03-01', 'Bug Busters', NULL, 0, 800000)"
        << "Ledger rows of 2026 have no category, so they cannot go on Schedule E: give each one "
           "a category.";
}

void TestScheduleE::yearStopped()
{
    QFETCH(QString, rows);
    QFETCH(QString, said);
    test::TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.executeScript("INSERT INTO tblFinance (NickName, RecDate, Payee, Category, Income, "
                            "Expense) VALUES " + rows + ";"));
    const auto sheet = scheduleEWorksheet(c, 2026);
    QVERIFY(sheet.refused());
    QCOMPARE(wording(sheet.refusal()), said);
}

// The ledger's and the category table's texts ignore letter case, as the database compares them:
// "repairs" typed in the ledger is the category "Repairs" and goes to its line; a line chosen
// again under another case replaces the first.
void TestScheduleE::categoriesMatchWithoutLetterCase()
{
    test::TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.executeScript(QStringLiteral(
        "INSERT INTO tblCategory (Income, Expense) VALUES ('Rent', 'Repairs');"
        "INSERT INTO tblFinance (NickName, RecDate, Payee, Category, Income, Expense) VALUES "
        "('ELM', '2026-01-05', 'J Smith', 'rent', 12500000, 0),"
        "('ELM', '2026-03-09', 'Ace Roofing', 'repairs', 0, 1804000),"
        "('ELM', '2026-04-09', 'Ace Roofing', 'REPAIRS', 0, 1000000);")));
    QVERIFY(saveCategoryLine(c, {false, "Repairs"}, 7));
    QVERIFY(saveCategoryLine(c, {false, "REPAIRS"}, 14));
    QCOMPARE(offerFirstMapping(c).value(), 1); // Rent
    const auto sheet = scheduleEWorksheet(c, 2026);
    QVERIFY2(sheet, qPrintable(sheet           ? QString()
                               : sheet.refused() ? wording(sheet.refusal())
                                                 : sheet.error().description));
    QCOMPARE(sheet.value().columns.first().lines,
             (QMap<int, Money>{{3, money("1250.00")}, {14, money("280.40")},
                               {20, money("280.40")}, {21, money("969.60")}}));
    QCOMPARE(c.scalar("SELECT count(*) FROM tblCategoryLine WHERE Kind = 'Expense'").value().toInt(), 1);
}

void TestScheduleE::linesGoWithTheBackupAndTheCompactedCopy()
{
    test::TempDatabase db;
    Connection c = db.connect();
    QVERIFY(saveCategoryLine(c, {false, "Pest Control"}, 7));
    QVERIFY(saveCategoryLine(c, {true, "Security Deposit"}, NotOnScheduleE));
    const QString backup = db.folder() + "/backup.mdb", compacted = db.folder() + "/compacted.mdb";
    QVERIFY(copyLiveDatabase(c, backup, DatabasePassword));
    QVERIFY(writeCompactedCopy(c, compacted, DatabasePassword));
    for (const QString& copy : {backup, compacted}) {
        const QMap<CategoryKey, int> lines =
            loadCategoryLines(Connection::openFile(copy, DatabasePassword).value()).value();
        QCOMPARE(lines, (QMap<CategoryKey, int>{{{false, "Pest Control"}, 7},
                                                {{true, "Security Deposit"}, 0}}));
        releaseDatabase(copy);
    }
}

// Three properties to a page in nickname order, the totals of line 23 once, after the last.
void TestScheduleE::printedPageByPage()
{
    test::TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.executeScript(QString::fromLatin1(ledger)));
    const MemoryRows rows = worksheetRows(handComputedSheet(c));
    ReportLayout layout = ReportLayouts::rptScheduleE();
    layout.title = "Tax Year 2026";
    ReportDocument document(layout, rows, QDate(2027, 2, 1));
    QVERIFY(document.paginate().ok());
    QCOMPARE(document.pageCount(), 2);
    QCOMPARE(readPage(document.pageItems(0)),
             QStringList({"A ASH 5 Ash Ct, Xenia, OH 45385", "B ELM 12 Elm St, Dayton, OH 45402",
                          "C OAK 7 Oak Ave, Dayton, OH 45405", "columns ASH ELM OAK",
                          "3 Rents received |  | $2,500.00 | $1,200.00",
                          "4 Royalties received | $150.00 |  | ",
                          "9 Insurance |  |  | $420.00", "11 Management fees | $120.00 |  | ",
                          "12 Mortgage interest paid to banks, etc. |  | $610.25 | ",
                          "14 Repairs |  | $180.40 | ", "16 Taxes |  |  | $1,100.00",
                          "20 Total expenses | $120.00 | $790.65 | $1,520.00",
                          "21 Income or (loss) | $30.00 | $1,709.35 | -$320.00"}));
    QCOMPARE(readPage(document.pageItems(1)),
             QStringList({"A PINE 30 Pine Rd, Kettering, OH 45429", "columns PINE  ",
                          "3 Rents received | $2,000.00 |  | ",
                          "7 Cleaning and maintenance | $80.00 |  | ",
                          "17 Utilities | $45.10 |  | ",
                          "18 Depreciation expense or depletion | $727.27 |  | ",
                          "20 Total expenses | $852.37 |  | ",
                          "21 Income or (loss) | $1,147.63 |  | ",
                          "23a Rents received, all properties (line 3) $5,700.00",
                          "23b Royalties received, all properties (line 4) $150.00",
                          "23c Mortgage interest, all properties (line 12) $610.25",
                          "23d Depreciation, all properties (line 18) $727.27",
                          "23e Total expenses, all properties (line 20) $3,283.02"}));
}

void TestScheduleE::csvFile()
{
    test::TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.executeScript(QString::fromLatin1(ledger)));
    const QString path = db.folder() + "/schedule-e-2026.csv";
    QVERIFY(writeWorksheetCsv(handComputedSheet(c), path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split("\r\n");
    QCOMPARE(lines.size(), 2 + 3 + 19 + 5 + 1 + 1);
    QCOMPARE(lines.mid(0, 7),
             QStringList({"Line,Description,ASH,ELM,OAK,PINE,All Properties",
                          ",Address,\"5 Ash Ct, Xenia, OH 45385\",\"12 Elm St, Dayton, OH 45402\","
                          "\"7 Oak Ave, Dayton, OH 45405\",\"30 Pine Rd, Kettering, OH 45429\",",
                          "1b,Type of property (code 1 to 8),,,,,", "2,Fair rental days,,,,,",
                          "2,Personal use days,,,,,",
                          "3,Rents received,,2500.00,1200.00,2000.00,5700.00",
                          "4,Royalties received,150.00,,,,150.00"}));
    QCOMPARE(lines.at(23), "21,Income or (loss),30.00,1709.35,-320.00,1147.63,2566.98");
    QCOMPARE(lines.at(28), "23e,\"Total expenses, all properties (line 20)\",,,,,3283.02");
    // No vendor was paid $2,000.00 for services (the deck is a capital improvement).
    QCOMPARE(lines.at(29), "A,Did you make any payments in 2026 that would require you to file "
                           "Form(s) 1099?,,,,,No");
}

// Generate Report and Export to CSV, as the user meets them in the window.
void TestScheduleE::window_data()
{
    QTest::addColumn<bool>("pestControlMapped");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("message"); // empty: none
    QTest::addColumn<bool>("editorOpened");
    QTest::addColumn<int>("previewPages"); // 0: no preview

    const QString unmapped = "The category \"Pest Control\" (expense) of 2026 has no Schedule E "
                             "line: give it one in the category editor.\n\nOpen the category "
                             "editor now?";
    QTest::newRow("unmapped, editor opened") << false << "2026" << "GenerateReport" << true
                                             << unmapped << true << 0;
    QTest::newRow("unmapped, editor declined") << false << "2026" << "GenerateReport" << false
                                               << unmapped << false << 0;
    QTest::newRow("unmapped stops the CSV too") << false << "2026" << "ExportCsv" << false
                                                << unmapped << false << 0;
    QTest::newRow("a year with nothing") << true << "2024" << "GenerateReport" << true
                                         << "The ledger has no income or expense in 2024." << false
                                         << 0;
    QTest::newRow("shown") << true << "2026" << "GenerateReport" << true << QString() << false
                           << 2;
    QTest::newRow("exported") << true << "2026" << "ExportCsv" << true
                              << "The worksheet of 2026 was exported to \"se.csv\"." << false
                              << 0;
}

void TestScheduleE::window()
{
    QFETCH(bool, pestControlMapped);
    QFETCH(QString, year);
    QFETCH(QString, command);
    QFETCH(bool, yes);
    QFETCH(QString, message);
    QFETCH(bool, editorOpened);
    QFETCH(int, previewPages);
    test::TempDatabase db;
    {
        Connection c = db.connect();
        QVERIFY(c.executeScript(QString::fromLatin1(ledger)));
        if (pestControlMapped)
            handComputedSheet(c);
    }
    Clock::fixAt(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
    ScriptedPrompts scripted;
    setPrompts(&scripted);
    scripted.queueAnswer(yes ? Prompts::Answer::Yes : Prompts::Answer::No);
    scripted.queueFileName(db.folder() + "/se.csv");
    bool opened = false;
    frmScheduleE window(db.folder(), [&opened] { opened = true; });
    window.show();
    window.cboYear->setCurrentIndex(window.cboYear->findText(year));
    QTest::mouseClick(window.findChild<VeyHyperLinkLabel*>(command), Qt::LeftButton, {},
                      QPoint(2, 2));
    QCOMPARE(scripted.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(opened, editorOpened);
    ReportPreview* preview = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<ReportPreview*>(w))
            preview = p;
    QCOMPARE(preview ? preview->document().pageCount() : 0, previewPages);
    QCOMPARE(window.isVisible(), previewPages == 0); // hidden once its report is shown
    delete preview;
    setPrompts(nullptr);
    Clock::fixAt({});
}

// The CSV file and the PDF are never written over the file the program has open.
void TestScheduleE::neverWrittenOverTheOpenDatabase()
{
    test::TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.executeScript(QString::fromLatin1(ledger)));
    const Worksheet sheet = handComputedSheet(c);
    const QString refused = QString("\"%1\" is the database file HALVO has open (or part of "
                                    "it); choose another file.")
                                .arg(QFileInfo(c.filePath()).fileName());
    QCOMPARE(writeWorksheetCsv(sheet, c.filePath()).error().description, refused);
    const MemoryRows rows = worksheetRows(sheet);
    ReportDocument document(ReportLayouts::rptScheduleE(), rows, QDate(2027, 2, 1));
    QVERIFY(document.paginate().ok());
    QCOMPARE(document.writePdf(c.filePath()).error().description, refused);
    QCOMPARE(scheduleEWorksheet(c, 2026).value().rents, money("5700.00")); // the file intact
}

QTEST_MAIN(TestScheduleE)
#include "tst_schedule_e.moc"
