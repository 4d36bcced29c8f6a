// Line 6 from the mileage log (a year whose rates the program knows, 2022 with its change on
// July 1, and a year it asks the user for, once), lines 1b and 2 offered from the leases and
// printed on the worksheet, and trips as the mileage log window saves them.

#include "controls/pickers.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "ledger/csv_mapping_window.h"
#include "ledger/mileage_window.h"
#include "platform/desktop.h"
#include "platform/prompts.h"
#include "reports/rental_days_window.h"
#include "reports/report_document.h"
#include "reports/report_layouts.h"
#include "reports/schedule_e_selection.h"
#include "tax/schedule_e_sheet.h"
#include "tests/editors/editor_test_support.h"
#include "tests/support/temp_database.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using namespace halvo;

namespace {

// Trips of 2021, 2022 (before and after July 1; one under the nickname in other letters) and
// 2027; an Auto expense of each of those years, which goes to line 6 by its name.
const char* const trips = R"(
INSERT INTO tblBuilding (BldNickName, BldPropAddress) VALUES
  ('ELM', '12 Elm St, Dayton, OH 45402'), ('OAK', '7 Oak Ave, Dayton, OH 45405');
INSERT INTO tblCategory (Income, Expense) VALUES ('Rent', 'Auto');
INSERT INTO tblFinance (NickName, RecDate, Payee, Category, Income, Expense) VALUES
  ('ELM', '2022-05-01', 'Shell', 'Auto', 0, 200000),
  ('ELM', '2027-02-01', 'Shell', 'Auto', 0, 100000);
INSERT INTO tblMileage (TripDate, NickName, Purpose, Miles) VALUES
  ('2021-12-31', 'ELM', 'Showing', 999),
  ('2022-03-10', 'ELM', 'Inspection', 100),
  ('2022-08-01', 'ELM', 'Repairs run', 200),
  ('2022-12-31', 'oak', 'Showing', 10.5),
  ('2027-01-15', 'ELM', 'Showing', 100);
)";

QString fileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The CSV file's rows that begin with `line`, as a user reads them in a text editor.
QStringList csvRows(const QString& path, const QString& line)
{
    QStringList found;
    for (const QString& row : fileText(path).split("\r\n"))
        if (row.startsWith(line + ","))
            found << row;
    return found;
}

} // namespace

class TestMileage : public QObject {
    Q_OBJECT
private slots:
    void lineSix_data();
    void lineSix();
    void linesOneBAndTwo();
    void tripSaved_data();
    void tripSaved();
    void tripsImported();
};

// Export to CSV twice: a rate given is kept, and the second export never asks again.
void TestMileage::lineSix_data()
{
    QTest::addColumn<QString>("year");
    QTest::addColumn<QStringList>("typed"); // none left: the question cancelled
    QTest::addColumn<int>("asked");
    QTest::addColumn<QStringList>("said");
    QTest::addColumn<QString>("line6"); // empty: no file

    const QString exported = "The worksheet of %1 was exported to \"se.csv\".";
    // ELM: 100 miles at 58.5 cents, 200 at 62.5, the $20.00 expense; OAK: 10.5 miles at 62.5.
    QTest::newRow("known, two rates by date")
        << "2022" << QStringList() << 0 << QStringList{exported.arg(2022), exported.arg(2022)}
        << "6,Auto and travel,203.50,6.56,210.06";
    QTest::newRow("asked once, then kept")
        << "2027" << QStringList{"0.75"} << 1
        << QStringList{exported.arg(2027), exported.arg(2027)}
        << "6,Auto and travel,85.00,85.00";
    QTest::newRow("asked, cancelled") << "2027" << QStringList() << 2 << QStringList()
                                      << QString();
    QTest::newRow("asked, not a rate")
        << "2027" << QStringList{"72.5 cents", "0"} << 2
        << QStringList{"\"72.5 cents\" is not a mileage rate: type it in dollars a mile, as "
                       "0.725.",
                       "\"0\" is not a mileage rate: type it in dollars a mile, as 0.725."}
        << QString();
}

void TestMileage::lineSix()
{
    QFETCH(QString, year);
    QFETCH(QStringList, typed);
    QFETCH(int, asked);
    QFETCH(QStringList, said);
    QFETCH(QString, line6);
    test::TempDatabase db;
    QVERIFY(db.connect().executeScript(QString::fromLatin1(trips)));
    Clock::fixAt(QDateTime(QDate(2028, 1, 15), QTime(9, 0)));
    ScriptedPrompts scripted;
    setPrompts(&scripted);
    for (const QString& t : typed)
        scripted.queueTyped(t);
    const QString path = db.folder() + "/se.csv";
    frmScheduleE window(db.folder(), {});
    window.show();
    window.cboYear->setCurrentIndex(window.cboYear->findText(year));
    for (int i = 0; i < 2; ++i) {
        scripted.queueFileName(path);
        QTest::mouseClick(window.ExportCsv, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(csvRows(path, "6"), line6.isEmpty() ? QStringList() : QStringList{line6});
    }
    QCOMPARE(scripted.typedQuestions,
             QStringList(asked, "HALVO does not know the standard mileage rate of 2027. Type the "
                                "rate for business use of 2027 in dollars a mile (0.725 for 72.5 "
                                "cents):"));
    QCOMPARE(scripted.texts(), said);
    setPrompts(nullptr);
    Clock::fixAt({});
}

// ELM's two leases overlap from March to May: the year is 365 days, not 457; OAK's
// month-to-month lease runs from October 1 on. ELM's own type says duplex (2); OAK's says condo,
// but last year it was entered as a vacation rental (3), which is offered.
void TestMileage::linesOneBAndTwo()
{
    test::TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.executeScript(QStringLiteral(
        "INSERT INTO tblBuilding (BldNickName, BldPropAddress, BldPropertyType) VALUES "
        "('ELM', '12 Elm St', 'Duplex'), ('OAK', '7 Oak Ave', 'Condo');"
        "INSERT INTO tblTenant (Nickname, FirstName, LeaseStartDate, LeasePeriod) VALUES "
        "('ELM', 'Ann', '2025-06-01', '1 year'), ('ELM', 'Bo', '2026-03-01', '1 year'),"
        "('OAK', 'Cy', '2026-10-01', 'month-to-month');"
        "INSERT INTO tblRentalDays (NickName, TaxYear, PropertyType) VALUES ('oak', 2025, 3);"
        "INSERT INTO tblCategory (Income) VALUES ('Rent');"
        "INSERT INTO tblFinance (NickName, RecDate, Payee, Category, Income, Expense) VALUES "
        "('ELM', '2026-03-01', 'Bo', 'Rent', 10000000, 0),"
        "('OAK', '2026-10-01', 'Cy', 'Rent', 5000000, 0);")));
    QVERIFY(offerFirstMapping(c));

    frmRentalDays window(c, 2026, rentalDaysOf(c, 2026).value());
    const auto shown = [&window](int i) {
        return QStringList{window.cboType[i]->currentText(),
                           QString::number(window.txtFairRentalDays[i]->value()),
                           QString::number(window.txtPersonalUseDays[i]->value())};
    };
    QCOMPARE(shown(0), QStringList({"2 Multi-Family Residence", "365", "0"}));
    QCOMPARE(shown(1), QStringList({"3 Vacation/Short-Term Rental", "92", "0"}));
    window.txtFairRentalDays[1]->setValue(60);
    window.txtPersonalUseDays[1]->setValue(14);
    QTest::mouseClick(window.findChild<QPushButton*>("cmdSave"), Qt::LeftButton);
    QCOMPARE(window.result(), int(QDialog::Accepted));

    const Worksheet sheet = scheduleEWorksheet(c, 2026).value();
    const QString path = db.folder() + "/se.csv";
    QVERIFY(writeWorksheetCsv(sheet, path));
    QCOMPARE(fileText(path).split("\r\n").mid(0, 5),
             QStringList({"Line,Description,ELM,OAK,All Properties", ",Address,12 Elm St,7 Oak Ave,",
                          "1b,Type of property (code 1 to 8),2,3,", "2,Fair rental days,365,60,",
                          "2,Personal use days,0,14,"}));

    // On paper, above line 3 of the page.
    const MemoryRows rows = worksheetRows(sheet);
    ReportDocument document(ReportLayouts::rptScheduleE(), rows, QDate(2027, 2, 1));
    QVERIFY(document.paginate().ok());
    QMap<int, QStringList> printed;
    for (const ReportItem& i : document.pageItems(0))
        if (i.row >= 0 && i.row < 4)
            printed[i.row] << i.control + "=" + i.text;
    for (QStringList& r : printed)
        r.sort();
    QCOMPARE(printed.value(1),
             QStringList({"txtAmountA=", "txtAmountB=", "txtAmountC=",
                          "txtCaption=Fair rental days", "txtLine=2", "txtNotice=",
                          "txtTextA=365", "txtTextB=60", "txtTextC="}));
    QCOMPARE(printed.value(3).filter("txtLine"), QStringList{"txtLine=3"});
}

void TestMileage::tripSaved_data()
{
    QTest::addColumn<bool>("addFirst"); // Add Trip pressed before typing
    QTest::addColumn<QString>("miles");
    QTest::addColumn<QString>("said");
    QTest::addColumn<QString>("stored"); // empty: nothing stored
    QTest::newRow("miles") << true << "12.5" << QString() << "2026-12-07 ELM Showing 12.5";
    QTest::newRow("typed into the empty log")
        << false << "12.5" << QString() << "2026-12-07 ELM Showing 12.5";
    QTest::newRow("no miles") << true << "" << "[Miles] Please, enter required data." << QString();
    QTest::newRow("not a number") << true << "twelve"
                                  << "Miles: \"twelve\" is not a number of miles." << QString();
}

// A new trip is made today; it is saved with its miles, and only with a number of them.
void TestMileage::tripSaved()
{
    QFETCH(bool, addFirst);
    QFETCH(QString, miles);
    QFETCH(QString, said);
    QFETCH(QString, stored);
    test::TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.executeScript("INSERT INTO tblBuilding (BldNickName) VALUES ('ELM');"));
    Clock::fixAt(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
    test::ScriptedSession session;
    frmMileage window(db.folder());
    window.show();
    if (addFirst)
        test::press(window, "AddTrip");
    test::choose(window, "cboNickname", "ELM");
    test::type(window, "txtPurpose", "Showing");
    test::type(window, "txtMiles", miles);
    test::press(window, "Save");
    QCOMPARE(session.prompts.texts(), said.isEmpty() ? QStringList() : QStringList{said});
    const Rows trips = c.select("SELECT TripDate, NickName, Purpose, Miles FROM tblMileage").value();
    QStringList found;
    for (const QVariantList& r : trips.values)
        found << QStringList{r[0].toString(), r[1].toString(), r[2].toString(), r[3].toString()}
                     .join(" ");
    QCOMPARE(found, stored.isEmpty() ? QStringList() : QStringList{stored});
    Clock::fixAt({});
}

// A CSV file read through the CSV mapping: the payee column is the purpose, the memo column the
// property (named as the file of properties names it), the amount column the miles.
void TestMileage::tripsImported()
{
    test::TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.executeScript("INSERT INTO tblBuilding (BldNickName) VALUES ('ELM');"));
    frmCsvMapping mapping(c, "Date,Purpose,Property,Miles\n2026-03-01,Showing,elm,12.5\n"
                             "2026-03-02,Bank run,,3\n");
    CsvMapping columns;
    columns.name = "Trips";
    columns.dateOrder = DateOrder::YearMonthDay;
    columns.dateColumn = 0;
    columns.payeeColumn = 1;
    columns.memoColumn = 2;
    columns.amountColumn = 3;
    mapping.setMapping(columns);
    test::ScriptedSession session;
    frmMileage window(db.folder());
    window.show();
    window.importTrips(mapping.statement().value(), "trips.csv");
    QCOMPARE(session.prompts.texts(), QStringList{"2 trips were imported from \"trips.csv\"."});
    QCOMPARE(window.records().recordCount(), 2);
    const Rows trips = c.select("SELECT TripDate, NickName, Purpose, Miles FROM tblMileage").value();
    QStringList found;
    for (const QVariantList& r : trips.values)
        found << QStringList{r[0].toString(), r[1].toString(), r[2].toString(), r[3].toString()}
                     .join(" ");
    QCOMPARE(found, QStringList({"2026-03-01 ELM Showing 12.5", "2026-03-02  Bank run 3"}));
}

QTEST_MAIN(TestMileage)
#include "tst_mileage.moc"
