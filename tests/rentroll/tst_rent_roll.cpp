// A literal year of three tenants: a due day of the 15th with a grace period and a daily late fee
// with a cap, a payment made late and one entered later under an earlier date; a rent raised in
// July with a fixed fee; a month-to-month lease ended in March with a percentage fee, its balance
// still owed after the end and its deposit partly kept. The balances are worked out by hand.

#include "rentroll/reminders.h"
#include "rentroll/rent_roll.h"
#include "rentroll/lease_dialogs.h"
#include "rentroll/rent_roll_window.h"
#include "rentroll/rent_roll_words.h"
#include "controls/pickers.h"
#include "platform/desktop.h"
#include "platform/prompts.h"
#include "tests/support/temp_database.h"

#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

using namespace halvo;

namespace {

Money money(const char* text) { return Money::parse(QString::fromLatin1(text)).value(); }
QDate day(const char* iso) { return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate); }

struct Tenant {
    Lease lease;
    QList<Payment> payments;
};

// Ann: from 2026-01-15 for a year at $1,000.00 due on the 15th, 5 days' grace, then $10.00 a day
// up to $50.00 a month.
Tenant ann()
{
    Tenant t;
    t.lease.start = day("2026-01-15");
    t.lease.period = "1 year";
    t.lease.rent = money("1000");
    t.lease.terms = {15, 5, LateFee::Daily, money("10"), money("50"), std::nullopt};
    for (const char* paid : {"2026-01-15", "2026-02-23", "2026-04-02", "2026-04-15"})
        t.payments.append({day(paid), money("1000")});
    return t;
}

// Bob: from 2026-01-01 for a year at $800.00, $850.00 from July; due on the 1st, no grace, a fee
// of $25.00. He pays on the 1st, but on the 3rd in September.
Tenant bob()
{
    Tenant t;
    t.lease.start = day("2026-01-01");
    t.lease.period = "1 year";
    t.lease.rent = money("850");
    t.lease.changes = {{day("2026-07-01"), money("800")}};
    t.lease.terms = {1, 0, LateFee::Fixed, money("25"), {}, std::nullopt};
    for (int month = 1; month <= 10; ++month)
        t.payments.append({QDate(2026, month, month == 9 ? 3 : 1),
                           money(month < 7 ? "800" : "850")});
    return t;
}

// Cy: month to month from 2026-01-01 at $600.00, 3 days' grace, then 5 % of the rent; the lease
// ended on 2026-03-31. February paid on the 10th, March never.
Tenant cy()
{
    Tenant t;
    t.lease.start = day("2026-01-01");
    t.lease.period = "month-to-month";
    t.lease.rent = money("600");
    t.lease.terms = {1, 3, LateFee::Percent, money("5"), {}, day("2026-03-31")};
    t.payments = {{day("2026-01-01"), money("600")}, {day("2026-02-10"), money("600")}};
    return t;
}

// Ann, Bob and Cy in the tables: the terms, the raise entered as a change from July, the payments
// as ledger rows that name their tenant, and Cy's deposit kept in part (and so income with its
// reason) and the rest returned. The number of ledger rows written.
int seedThreeTenants(const Connection& c)
{
#define VERIFY(x) if (!(x)) qFatal("seeding failed: %s", #x)
    VERIFY(c.executeScript(
        "INSERT INTO tblTenant (ID, Nickname, FirstName, LastName, LeaseStartDate, LeasePeriod, "
        "MonthlyRentAmt, DepAmt) VALUES "
        "(1, 'ELM', 'Ann', 'Lee', '2026-01-15', '1 year', 10000000, 10000000),"
        "(2, 'OAK', 'Bob', 'Ray', '2026-01-01', '1 year', 8000000, 0),"
        "(3, 'PINE', 'Cy', 'Dunn', '2026-01-01', 'month-to-month', 6000000, 6000000)"));
    VERIFY(saveTerms(c, 1, ann().lease.terms));
    VERIFY(saveTerms(c, 2, bob().lease.terms));
    VERIFY(saveTerms(c, 3, cy().lease.terms));
    VERIFY(changeRent(c, 2, day("2026-07-01"), money("850")));
    int id = 0;
    for (const auto& [tenant, t] : {std::pair{1, ann()}, {2, bob()}, {3, cy()}})
        for (const Payment& p : t.payments) {
            VERIFY(c.execute("INSERT INTO tblFinance (ID, NickName, RecDate, Payee, Category, "
                              "Income) VALUES (?, 'X', ?, 'Tenant', 'Rent', ?)",
                              {++id, p.date, QVariant::fromValue(p.amount)}));
            VERIFY(setPaymentTenant(c, id, tenant));
        }
    VERIFY(recordDeposit(c, 3, DepositEvent::Kept, day("2026-04-05"), money("200"),
                          "Carpet stain"));
    VERIFY(recordDeposit(c, 3, DepositEvent::Returned, day("2026-04-05"), money("400"), {}));
#undef VERIFY
    return id;
}

} // namespace

class TestRentRoll : public QObject {
    Q_OBJECT
private slots:
    void balanceOwed_data();
    void balanceOwed();
    void leaseEnds_data();
    void leaseEnds();
    void rollFromTheDatabase();
    void remindersAtLogin_data();
    void remindersAtLogin();
    void rollWindow();
    void matchingEarlierRows();
};

void TestRentRoll::balanceOwed_data()
{
    QTest::addColumn<QString>("tenant");
    QTest::addColumn<QDate>("on");
    QTest::addColumn<Money>("balance");
    QTest::addColumn<Money>("paidThisMonth");

    QTest::newRow("Ann before her first due day") << "ann" << day("2026-01-14") << Money() << Money();
    QTest::newRow("Ann on the last day of grace") << "ann" << day("2026-02-20") << money("1000")
                                                  << Money();
    QTest::newRow("Ann a day late: $10.00") << "ann" << day("2026-02-21") << money("1010") << Money();
    QTest::newRow("Ann paid 3 days late: $30.00 owed")
        << "ann" << day("2026-02-28") << money("30") << money("1000");
    QTest::newRow("Ann's March paid 13 days late: capped at $50.00")
        << "ann" << day("2026-04-30") << money("80") << money("2000");
    QTest::newRow("Ann's May unpaid") << "ann" << day("2026-05-31") << money("1130") << Money();
    QTest::newRow("Ann's May paid under an earlier date")
        << "ann+may" << day("2026-05-31") << money("80") << money("1000");
    QTest::newRow("Bob before the raise") << "bob" << day("2026-06-30") << Money() << money("800");
    QTest::newRow("Bob on the day of the raise") << "bob" << day("2026-07-01") << Money()
                                                 << money("850");
    QTest::newRow("Bob's September a day late")
        << "bob" << day("2026-09-02") << money("875") << Money();
    QTest::newRow("Bob's September paid on the 3rd")
        << "bob" << day("2026-09-30") << money("25") << money("850");
    QTest::newRow("Cy on the last day of grace") << "cy" << day("2026-02-04") << money("600")
                                                 << Money();
    QTest::newRow("Cy a day late: 5 %") << "cy" << day("2026-02-05") << money("630") << Money();
    QTest::newRow("Cy after the lease ended") << "cy" << day("2026-04-30") << money("660")
                                              << Money();
    QTest::newRow("Cy's balance stays owed") << "cy" << day("2026-12-31") << money("660") << Money();
}

void TestRentRoll::balanceOwed()
{
    QFETCH(QString, tenant);
    QFETCH(QDate, on);
    QFETCH(Money, balance);
    QFETCH(Money, paidThisMonth);
    Tenant t = tenant == "bob" ? bob() : tenant == "cy" ? cy() : ann();
    if (tenant == "ann+may")
        t.payments.append({day("2026-05-18"), money("1000")}); // entered in June
    const RentAccount account = rentAccount(t.lease, t.payments, on);
    QCOMPARE(account.balance(), balance);
    QCOMPARE(account.paidThisMonth, paidThisMonth);
}

void TestRentRoll::leaseEnds_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QString>("period");
    QTest::addColumn<QDate>("endSet");
    QTest::addColumn<QDate>("end"); // invalid: runs on
    QTest::newRow("a year") << day("2026-01-15") << "1 year" << QDate() << day("2027-01-14");
    QTest::newRow("six months") << day("2026-08-31") << "6 month" << QDate() << day("2027-02-27");
    QTest::newRow("month to month runs on") << day("2026-01-01") << "month-to-month" << QDate()
                                            << QDate();
    QTest::newRow("until an end is set") << day("2026-01-01") << "month-to-month"
                                         << day("2026-03-31") << day("2026-03-31");
    QTest::newRow("no period") << day("2026-01-01") << "" << QDate() << QDate();
}

void TestRentRoll::leaseEnds()
{
    QFETCH(QDate, start);
    QFETCH(QString, period);
    QFETCH(QDate, endSet);
    QFETCH(QDate, end);
    Lease lease;
    lease.start = start;
    lease.period = period;
    if (endSet.isValid())
        lease.terms.endDate = endSet;
    QCOMPARE(leaseEnd(lease).value_or(QDate()), end);
}

// The same three through the tables.
void TestRentRoll::rollFromTheDatabase()
{
    test::TempDatabase db;
    Connection c = db.connect();
    const int id = seedThreeTenants(c);
    QCOMPARE(wording(recordDeposit(c, 3, DepositEvent::Kept, day("2026-04-05"), money("5"), " ")
                         .refusal()),
             QString("Say why the deposit is kept."));
    // A tenant deleted in another window meanwhile: nothing is recorded, and no deposit names a
    // ledger row of someone else.
    for (DepositEvent event : {DepositEvent::Kept, DepositEvent::Received}) {
        QCOMPARE(
            wording(recordDeposit(c, 99, event, day("2026-04-05"), money("5"), "Carpet stain")
                        .refusal()),
            QString("The tenant is no longer in the database; nothing was recorded."));
    }
    QCOMPARE(c.scalar("SELECT count(*) FROM tblDeposit WHERE TenantID = 99").value().toInt(), 0);

    const QList<RentRollRow> roll = rentRoll(c, day("2026-09-02")).value();
    QStringList seen;
    for (const RentRollRow& r : roll)
        seen << QString("%1 %2 rent %3 due %4 paid %5 owes %6 held %7 ends %8 in %9")
                    .arg(r.property, r.tenant, r.rent.toString())
                    .arg(r.dueDay)
                    .arg(r.paidThisMonth.toString(), r.balance.toString(),
                         r.depositHeld.toString(), r.leaseEnd->toString(Qt::ISODate))
                    .arg(*r.daysLeft);
    QCOMPARE(seen, QStringList({"ELM Ann Lee rent 1000 due 15 paid 0 owes 4280 held 1000 "
                                "ends 2027-01-14 in 134",
                                "OAK Bob Ray rent 850 due 1 paid 0 owes 875 held 0 "
                                "ends 2026-12-31 in 120",
                                "PINE Cy Dunn rent 600 due 1 paid 0 owes 660 held 0 "
                                "ends 2026-03-31 in -155"}));
    // The ledger's rows stay the payments' own: a changed amount, a row deleted.
    auto annOwes = [&c] { return rentRoll(c, day("2026-09-02")).value().first().balance; };
    QVERIFY(c.execute("UPDATE tblFinance SET Income = 20000000 WHERE ID = 2"));
    QCOMPARE(annOwes(), money("3180"));
    QVERIFY(c.execute("DELETE FROM tblFinance WHERE ID = 1"));
    QVERIFY(c.execute("UPDATE tblFinance SET Income = 10000000 WHERE ID = 2"));
    QCOMPARE(annOwes(), money("5400"));
    QCOMPARE(c.select("SELECT Payee, Category, Memo, Income FROM tblFinance WHERE ID > ?", {id})
                 .value()
                 .values,
             (QList<QVariantList>{{"Cy Dunn", "Deposit Kept", "Carpet stain",
                                   QVariant::fromValue(money("200"))}}));
    QCOMPARE(c.scalar("SELECT count(*) FROM tblCategory WHERE Income = 'Deposit Kept'")
                 .value()
                 .toInt(),
             1);
}

// Ann's lease ends on 2027-01-03; Bob's rent of $800.00 is due on the 1st with 3 days' grace, and
// none of it is paid from 2026-11-01 on; Cy's rent is not kept here (no terms, no payment named),
// so it is never late.
void TestRentRoll::remindersAtLogin_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("61 days before the end, within the grace") << day("2026-11-03") << QStringList();
    QTest::newRow("60 days before the end, the grace's last day")
        << day("2026-11-04")
        << QStringList{"The lease of Ann Lee (ELM) ends on 1/3/2027, in 60 days."};
    QTest::newRow("a day past the grace")
        << day("2026-11-05")
        << QStringList{"The lease of Ann Lee (ELM) ends on 1/3/2027, in 59 days.",
                       "Bob Ray (OAK) is 4 days late with the rent due 11/1/2026: $800.00 of rent "
                       "unpaid."};
    QTest::newRow("the day before the end")
        << day("2027-01-02")
        << QStringList{"The lease of Ann Lee (ELM) ends on 1/3/2027, in 1 day.",
                       "Bob Ray (OAK) is 62 days late with the rent due 11/1/2026: $2,400.00 of "
                       "rent unpaid."};
    QTest::newRow("the last day")
        << day("2027-01-03")
        << QStringList{"The lease of Ann Lee (ELM) ends today.",
                       "Bob Ray (OAK) is 63 days late with the rent due 11/1/2026: $2,400.00 of "
                       "rent unpaid."};
}

void TestRentRoll::remindersAtLogin()
{
    QFETCH(QDate, today);
    QFETCH(QStringList, shown);
    test::TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.executeScript(
        "INSERT INTO tblTenant (ID, Nickname, FirstName, LastName, LeaseStartDate, LeasePeriod, "
        "MonthlyRentAmt) VALUES (1, 'ELM', 'Ann', 'Lee', '2026-01-04', '1 year', 10000000),"
        "(2, 'OAK', 'Bob', 'Ray', '2026-11-01', '1 year', 8000000),"
        "(3, 'PINE', 'Cy', 'Dunn', '2026-01-01', 'month-to-month', 6000000)"));
    QVERIFY(saveTerms(c, 2, {1, 3, LateFee::None, {}, {}, std::nullopt}));
    QStringList texts;
    const QList<Reminder> found = reminders(c, today).value();
    for (const Reminder& r : found)
        texts << wording(r);
    QCOMPARE(texts, shown);
}

// The window as the user reads it: a row a tenant in the order of the properties, owing rows in
// red, sorted again by Balance, the leases' ends marked on a later day; and the terms refused
// until the fee is a real amount.
void TestRentRoll::rollWindow()
{
    test::TempDatabase db;
    seedThreeTenants(db.connect());
    Clock::fixAt(QDateTime(day("2026-09-02"), QTime(9, 0)));
    ScriptedPrompts scripted;
    setPrompts(&scripted);
    frmRentRoll window(db.folder(), {});
    window.show();
    auto read = [&window] {
        QStringList rows;
        const QAbstractItemModel* m = window.grdRentRoll->model();
        for (int r = 0; r < m->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < m->columnCount(); ++c)
                cells << m->index(r, c).data().toString();
            const bool red = m->index(r, 0).data(Qt::ForegroundRole).value<QBrush>().color()
                             == QColor(Qt::red);
            rows << cells.join(" | ") + (red ? " (red)" : "");
        }
        return rows;
    };
    QCOMPARE(read(), QStringList({
        "Ann Lee | ELM | $1,000.00 | 15 | $0.00 | $4,280.00 | $1,000.00 | 1/14/2027 | 134 |  (red)",
        "Bob Ray | OAK | $850.00 | 1 | $0.00 | $875.00 | $0.00 | 12/31/2026 | 120 |  (red)",
        "Cy Dunn | PINE | $600.00 | 1 | $0.00 | $660.00 | $0.00 | 3/31/2026 | -155 | Ended (red)"}));
    QCOMPARE(window.lblTotals->text(), QString("Owed: $5,815.00   Deposits held: $1,000.00"));
    window.cboSortBy->setCurrentIndex(window.cboSortBy->findText("Balance"));
    emit window.cboSortBy->activated(window.cboSortBy->currentIndex());
    QStringList tenants;
    for (const QString& row : read())
        tenants << row.section(" | ", 0, 0);
    QCOMPARE(tenants, QStringList({"Cy Dunn", "Bob Ray", "Ann Lee"}));
    window.dtpAsOf->setValue(day("2026-12-01"));
    emit window.dtpAsOf->edited(day("2026-12-01"));
    QStringList ends;
    for (const QString& row : read())
        ends << row.section(" | ", 0, 0) + ": " + row.section(" | ", 9, 9);
    QCOMPARE(ends, QStringList({"Cy Dunn: Ended (red)", "Bob Ray: 30 days (red)",
                                "Ann Lee: 60 days (red)"}));

    const QList<TenantLease> leases = loadLeases(db.connect()).value();
    frmRentTerms terms(db.connect(), leases.at(1), &window);
    QCOMPARE(terms.windowTitle(), QString("Lease Terms: Bob Ray"));
    terms.txtFee->setText("0");
    terms.Save_Click();
    QCOMPARE(scripted.texts(), QStringList{"The fee must be an amount above $0.00."});
    QCOMPARE(terms.result(), int(QDialog::Rejected));
    terms.txtFee->setText("$30");
    terms.spnGraceDays->setValue(2);
    terms.Save_Click();
    QCOMPARE(terms.result(), int(QDialog::Accepted));
    QCOMPARE(loadLeases(db.connect()).value().at(1).lease.terms.graceDays, 2);
    QCOMPARE(loadLeases(db.connect()).value().at(1).lease.terms.fee, money("30"));
    // What the rent roll refuses, as the deposit window says it.
    frmDeposit deposit(db.connect(), leases.at(1), day("2026-12-01"), &window);
    deposit.txtAmount->setText("0");
    deposit.Save_Click();
    QCOMPARE(scripted.texts(), QStringList({"The fee must be an amount above $0.00.",
                                            "Enter an amount above $0.00."}));
    QCOMPARE(deposit.result(), int(QDialog::Rejected));
    setPrompts(nullptr);
    Clock::fixAt({});
}

// Earlier income rows of the tenant's property, from a month before the lease on, that name no
// other tenant: ticked in Match Payments, they pay the rent.
void TestRentRoll::matchingEarlierRows()
{
    test::TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.executeScript(
        "INSERT INTO tblTenant (ID, Nickname, FirstName, LastName, LeaseStartDate, LeasePeriod, "
        "MonthlyRentAmt) VALUES (1, 'ELM', 'Ann', 'Lee', '2026-02-15', '1 year', 10000000),"
        "(2, 'ELM', 'Dee', 'Fox', '2026-01-01', '1 year', 5000000);"
        "INSERT INTO tblFinance (ID, NickName, RecDate, Payee, Category, Income) VALUES "
        "(1, 'ELM', '2026-01-10', 'A Lee', 'Rent', 10000000),"
        "(2, 'ELM', '2026-01-20', 'A Lee', 'Deposit', 10000000),"
        "(3, 'ELM', '2026-02-15', 'D Fox', 'Rent', 5000000),"
        "(4, 'OAK', '2026-02-15', 'A Lee', 'Rent', 10000000),"
        "(5, 'ELM', '2026-03-15', 'A Lee', 'Rent', 10000000)"));
    QVERIFY(setPaymentTenant(c, 3, 2));
    QVERIFY(setPaymentTenant(c, 5, 1));
    const TenantLease ann = loadLeases(c).value().first();
    frmMatchPayments window(c, ann);
    QStringList shown;
    for (int r = 0; r < window.grdPayments->rowCount(); ++r)
        shown << QString("%1 %2 %3 %4 %5")
                     .arg(window.grdPayments->item(r, 0)->checkState() == Qt::Checked ? "[x]"
                                                                                     : "[ ]")
                     .arg(window.grdPayments->item(r, 0)->text(),
                          window.grdPayments->item(r, 1)->text(),
                          window.grdPayments->item(r, 2)->text(),
                          window.grdPayments->item(r, 3)->text());
    QCOMPARE(shown, QStringList({"[ ] 1/20/2026 A Lee Deposit $1,000.00",
                                 "[x] 3/15/2026 A Lee Rent $1,000.00"}));
    window.grdPayments->item(0, 0)->setCheckState(Qt::Checked);
    window.grdPayments->item(1, 0)->setCheckState(Qt::Unchecked);
    window.Save_Click();
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QCOMPARE(c.scalar("SELECT group_concat(FinanceID || ':' || TenantID) FROM tblRentPayment")
                 .value()
                 .toString(),
             QString("2:1,3:2"));
}

QTEST_MAIN(TestRentRoll)
#include "tst_rent_roll.moc"
