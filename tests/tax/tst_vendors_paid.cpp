// The vendors paid in a tax year and line A of Schedule E: the Form 1099 threshold around the
// amount exactly, before and after it changed; which payments count and how payees meet vendors;
// the "No 1099 needed" tick; the report, its CSV file and the worksheet's line A; the window.

#include "controls/pickers.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/desktop.h"
#include "platform/prompts.h"
#include "reports/report_document.h"
#include "reports/report_layouts.h"
#include "reports/report_preview.h"
#include "reports/vendors_paid_selection.h"
#include "tax/schedule_e_sheet.h"
#include "tax/vendors_paid_sheet.h"
#include "tests/support/temp_database.h"

#include <QApplication>
#include <QTableWidget>
#include <QTest>

using namespace halvo;

namespace {

// 2026's vendors, and a 2025 payment and a 2027 one that must not count in 2026.
const char* const ledger = R"(
INSERT INTO tblBuilding (BldNickName) VALUES ('ELM'), ('OAK');
INSERT INTO tblVendor (Company, FirstName, LastName, Address, City, State, PostalCode) VALUES
  ('Ace Roofing', 'Al', 'Ace', '9 Mill St', 'Dayton', 'OH', '45402'),
  (NULL, 'Jane', 'Doe', '1 Court Sq', 'Xenia', 'OH', '45385');
INSERT INTO tblCategory (Income, Expense) VALUES
  ('Rent', 'Repairs'), (NULL, 'Mortgage Interest'), (NULL, 'Loan Principal'),
  (NULL, 'Property Tax'), (NULL, 'Legal Fees'), (NULL, 'Supplies'), (NULL, 'Management Fees'),
  (NULL, 'Pest Control');
INSERT INTO tblFinance (NickName, RecDate, CheckNo, Payee, Category, Income, Expense) VALUES
  ('ELM', '2025-06-01', '90', 'Ace Roofing', 'Repairs', 0, 7000000),
  ('ELM', '2026-03-09', '101', 'Ace Roofing', 'Repairs', 0, 15000000),
  ('OAK', '2026-08-01', '102', 'ACE ROOFING ', 'Repairs', 0, 7000000),
  ('ELM', '2026-01-15', '103', 'First Bank', 'Mortgage Interest', 0, 61025000),
  ('ELM', '2026-01-15', '103', 'First Bank', 'Loan Principal', 0, 28975000),
  ('OAK', '2026-11-20', '104', 'County', 'Property Tax', 0, 110000000),
  ('OAK', '2026-04-02', '105', 'Jane Doe', 'Legal Fees', 0, 25000000),
  ('OAK', '2026-05-05', '106', 'Home Depot', 'Supplies', 0, 30000000),
  ('ELM', '2026-09-14', '107', 'Bug Busters', 'Pest Control', 0, 24000000),
  ('ELM', '2026-10-01', '108', NULL, 'Repairs', 0, 21000000),
  ('ELM', '2026-10-01', '109', 'Acme Mgmt', 'Management Fees', 0, 12000000),
  ('ELM', '2027-01-02', '110', 'Acme Mgmt', 'Management Fees', 0, 12000000),
  ('ELM', '2026-07-01', NULL, 'J Smith', 'Rent', 90000000, 0);
)";

Connection withLedger(const test::TempDatabase& db)
{
    Connection c = db.connect();
    if (!c.executeScript(QString::fromLatin1(ledger)))
        qFatal("cannot write the ledger");
    return c;
}

// A printed page as its reader sees it: each line's texts left to right, " | " between them.
QStringList readPage(const QList<ReportItem>& items)
{
    QMap<int, QMap<int, QString>> lines;
    for (const ReportItem& i : items)
        if (i.kind != ReportControlKind::Line && !i.text.isEmpty())
            lines[qRound(i.rect.top())][qRound(i.rect.left())] = i.text;
    QStringList read;
    for (const QMap<int, QString>& line : lines)
        read << QStringList(line.values()).join(" | ");
    return read;
}

} // namespace

class TestVendorsPaid : public QObject {
    Q_OBJECT
private slots:
    void threshold_data();
    void threshold();
    void paymentsThatCount();
    void noFormNeededTick();
    void printedAndExported();
    void worksheetLineA();
    void window();
};

// $600 or more for payments made through 2025, $2,000 or more from 2026 on; a year after the
// last amount known takes it, and the title says so. Two payments under two spellings of the
// payee's name make the amount.
void TestVendorsPaid::threshold_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<QString>("title");
    const QString t2025 = "Tax Year 2025: vendors paid $600.00 or more";
    const QString t2026 = "Tax Year 2026: vendors paid $2,000.00 or more";
    const QString t2027 = "Tax Year 2027: vendors paid $2,000.00 or more (the amount of 2026)";
    QTest::newRow("2025 just under") << 2025 << "499.99" << "100.00" << false << t2025;
    QTest::newRow("2025 at") << 2025 << "500.00" << "100.00" << true << t2025;
    QTest::newRow("2025 just over") << 2025 << "500.01" << "100.00" << true << t2025;
    QTest::newRow("2026 under the old amount's reach") << 2026 << "1500.00" << "100.00" << false
                                                       << t2026;
    QTest::newRow("2026 just under") << 2026 << "1899.99" << "100.00" << false << t2026;
    QTest::newRow("2026 at") << 2026 << "1900.00" << "100.00" << true << t2026;
    QTest::newRow("2026 just over") << 2026 << "1900.01" << "100.00" << true << t2026;
    QTest::newRow("2027 just under") << 2027 << "1899.99" << "100.00" << false << t2027;
    QTest::newRow("2027 at") << 2027 << "1900.00" << "100.00" << true << t2027;
}

void TestVendorsPaid::threshold()
{
    QFETCH(int, year);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, listed);
    QFETCH(QString, title);
    test::TempDatabase db;
    Connection c = db.connect();
    QVERIFY(saveCategoryLine(c, {false, "Repairs"}, 14));
    const QString insert = "INSERT INTO tblFinance (RecDate, Payee, Category, Expense) VALUES "
                           "(?, ?, 'Repairs', ?)";
    QVERIFY(c.execute(insert, {QDate(year, 2, 1), "Ace Roofing",
                               qlonglong(Money::parse(first).value().units())}));
    QVERIFY(c.execute(insert, {QDate(year, 12, 31), "ace roofing",
                               qlonglong(Money::parse(second).value().units())}));
    // The report reads the payments; the window's list and line A add them up in the database.
    for (Payments payments : {Payments::Listed, Payments::TotalsOnly}) {
        const VendorsPaid paid = vendorsPaid(c, year, payments).value();
        QCOMPARE(vendorsPaidTitle(paid), title);
        QCOMPARE(paid.vendors.size(), listed ? 1 : 0);
        QCOMPARE(paid.formsRequired(), listed);
        if (listed)
            QCOMPARE(paid.vendors.first().payee, QString("Ace Roofing"));
    }
}

// Services count, and categories whose line is not known; interest, taxes, principal and supplies
// do not, whether the user gave them their lines or the program only suggests them (as here).
// A payee meets the vendor whose company, or else first and last name, it is.
void TestVendorsPaid::paymentsThatCount()
{
    test::TempDatabase db;
    Connection c = withLedger(db);
    const VendorsPaid paid = vendorsPaid(c, 2026).value();
    QStringList seen;
    for (const VendorPaid& v : paid.vendors)
        seen << QString("%1 | %2 | %3 | %4 | %5")
                    .arg(v.payee, v.vendor, v.address, v.total.format(MoneyFormat::Bound))
                    .arg(v.payments.size());
    QCOMPARE(seen, QStringList({"Ace Roofing | Ace Roofing | 9 Mill St, Dayton, OH 45402 | "
                                "$2,200.00 | 2",
                                "Bug Busters |  |  | $2,400.00 | 1",
                                "Jane Doe | Jane Doe | 1 Court Sq, Xenia, OH 45385 | "
                                "$2,500.00 | 1"}));
    QCOMPARE(paid.withoutPayee.format(MoneyFormat::Bound), QString("$2,100.00"));
    QCOMPARE(paid.vendors.first().payments.last().property, QString("OAK"));
    QCOMPARE(paid.vendors.first().payments.last().date, QDate(2026, 8, 1));
}

// Kept by payee and year, whatever the spelling; line A is No once every vendor is ticked.
void TestVendorsPaid::noFormNeededTick()
{
    test::TempDatabase db;
    Connection c = withLedger(db);
    QVERIFY(saveNoFormNeeded(c, 2026, "ace roofing", true));
    QVERIFY(saveNoFormNeeded(c, 2026, "Bug Busters", true));
    QVERIFY(vendorsPaid(c, 2026).value().formsRequired()); // Jane Doe still needs one
    QVERIFY(saveNoFormNeeded(c, 2026, "JANE DOE", true));
    const VendorsPaid paid = vendorsPaid(c, 2026).value();
    QVERIFY(!paid.formsRequired());
    QVERIFY(paid.vendors.first().noFormNeeded);
    QVERIFY(saveNoFormNeeded(c, 2026, "Jane Doe", false));
    QVERIFY(vendorsPaid(c, 2026).value().formsRequired());
    QCOMPARE(c.scalar("SELECT count(*) FROM tblNo1099").value().toInt(), 2);
    // 2025 knows nothing of 2026's tick.
    const VendorsPaid before = vendorsPaid(c, 2025).value();
    QCOMPARE(before.vendors.size(), 1);
    QVERIFY(!before.vendors.first().noFormNeeded);
    QVERIFY(before.formsRequired());
}

void TestVendorsPaid::printedAndExported()
{
    test::TempDatabase db;
    Connection c = withLedger(db);
    QVERIFY(saveNoFormNeeded(c, 2026, "Bug Busters", true));
    VendorsPaid paid = vendorsPaid(c, 2026).value();
    paid.vendors.removeAt(2); // Jane Doe: one vendor needing a form is enough here
    ReportLayout layout = ReportLayouts::rptVendorsPaid();
    layout.title = vendorsPaidTitle(paid);
    const MemoryRows rows = vendorsPaidRows(paid);
    ReportDocument document(layout, rows, QDate(2027, 1, 20));
    QVERIFY(document.paginate().ok());
    QCOMPARE(document.pageCount(), 1);
    QCOMPARE(readPage(document.pageItems(0)).mid(2), // after the heading and the date
             QStringList({"Tax Year 2026: vendors paid $2,000.00 or more",
                          "Payee | Date | Ref No. | Property | Category / 1099 | Amount | Total",
                          "Ace Roofing | 1099 needed | $2,200.00",
                          "3/9/2026 | 101 | ELM | Repairs | $1,500.00",
                          "8/1/2026 | 102 | OAK | Repairs | $700.00",
                          "Bug Busters | No 1099 needed | $2,400.00",
                          "9/14/2026 | 107 | ELM | Pest Control | $2,400.00",
                          "Total: | $4,600.00",
                          "A | Did you make any payments in 2026 that would require you to file "
                          "Form(s) 1099? | Yes",
                          "Payments of $2,100.00 in 2026 name no payee and are not counted for "
                          "any vendor."}));

    const QString path = db.folder() + "/vendors-paid-2026.csv";
    QVERIFY(writeVendorsPaidCsv(paid, path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()).split("\r\n"),
             QStringList({"Payee,Address,Date,Ref No.,Property,Category,Amount,Total,1099",
                          "Ace Roofing,\"9 Mill St, Dayton, OH 45402\",,,,,,2200.00,1099 needed",
                          "Ace Roofing,,2026-03-09,101,ELM,Repairs,1500.00,,",
                          "Ace Roofing,,2026-08-01,102,OAK,Repairs,700.00,,",
                          "Bug Busters,,,,,,,2400.00,No 1099 needed",
                          "Bug Busters,,2026-09-14,107,ELM,Pest Control,2400.00,,",
                          "\"Payments of $2,100.00 in 2026 name no payee and are not counted "
                          "for any vendor.\"",
                          "A Did you make any payments in 2026 that would require you to file "
                          "Form(s) 1099?,Yes",
                          ""}));
}

// The worksheet answers line A on its first page and in its CSV file.
void TestVendorsPaid::worksheetLineA()
{
    test::TempDatabase db;
    Connection c = withLedger(db);
    QVERIFY(offerFirstMapping(c));
    QVERIFY(saveCategoryLine(c, {false, "Pest Control"}, 7));
    Worksheet sheet = scheduleEWorksheet(c, 2026).value();
    QVERIFY(sheet.formsRequired);
    const MemoryRows rows = worksheetRows(sheet);
    ReportDocument document(ReportLayouts::rptScheduleE(), rows, QDate(2027, 1, 20));
    QVERIFY(document.paginate().ok());
    QVERIFY(readPage(document.pageItems(0))
                .contains("A | Did you make any payments in 2026 that would require you to file "
                          "Form(s) 1099? | Yes"));
    for (const char* payee : {"Ace Roofing", "Bug Busters", "Jane Doe"})
        QVERIFY(saveNoFormNeeded(c, 2026, payee, true));
    sheet = scheduleEWorksheet(c, 2026).value();
    QCOMPARE(worksheetTable(sheet).last(),
             (QVariantList{"A", "Did you make any payments in 2026 that would require you to "
                                "file Form(s) 1099?", {}, {}, "No"}));
}

// The ticks from the keyboard, kept at once; the report shown; a year with nobody to list.
void TestVendorsPaid::window()
{
    test::TempDatabase db;
    withLedger(db);
    Clock::fixAt(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
    ScriptedPrompts scripted;
    setPrompts(&scripted);
    {
        frmVendorsPaid window(db.folder());
        window.show();
        QCOMPARE(window.grdVendors->rowCount(), 3);
        QCOMPARE(window.grdVendors->item(2, 1)->text(), QString("Jane Doe"));
        QCOMPARE(window.grdVendors->item(2, 2)->text(), QString("$2,500.00"));
        window.grdVendors->setFocus();
        QTest::keyClick(window.grdVendors, Qt::Key_Space);
        QTest::keyClick(window.grdVendors, Qt::Key_Down);
        QTest::keyClick(window.grdVendors, Qt::Key_Right); // Space ticks wherever in the row
        QTest::keyClick(window.grdVendors, Qt::Key_Space);
        QTest::keyClick(window.grdVendors, Qt::Key_Space);
        window.cboYear->setCurrentIndex(window.cboYear->findText("2024"));
        QCOMPARE(window.grdVendors->rowCount(), 0);
        QTest::mouseClick(window.GenerateReport, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(scripted.texts(),
                 QStringList{"No vendor was paid $600.00 or more in 2024, so line A of Schedule "
                             "E is answered No."});
        window.cboYear->setCurrentIndex(window.cboYear->findText("2026"));
        QCOMPARE(window.grdVendors->item(0, 0)->checkState(), Qt::Checked);
        QCOMPARE(window.grdVendors->item(1, 0)->checkState(), Qt::Unchecked);
        QTest::mouseClick(window.GenerateReport, Qt::LeftButton, {}, QPoint(2, 2));
        QVERIFY(!window.isVisible()); // hidden once its report is shown
    }
    ReportPreview* preview = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<ReportPreview*>(w))
            preview = p;
    QVERIFY(preview);
    QCOMPARE(preview->document().pageCount(), 1);
    delete preview;
    const VendorsPaid paid = vendorsPaid(db.connect(), 2026).value();
    QVERIFY(paid.vendors.at(0).noFormNeeded);
    QVERIFY(!paid.vendors.at(1).noFormNeeded);
    setPrompts(nullptr);
    Clock::fixAt({});
}

QTEST_MAIN(TestVendorsPaid)
#include "tst_vendors_paid.moc"
