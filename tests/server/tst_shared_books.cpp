// The books on a PostgreSQL server behave as the books in the file: the same stories told on
// both give the same figures and orders. Two sessions are two desktops of one office.

#include "data/connection.h"
#include "data/dates.h"
#include "data/money.h"
#include "data/record_set.h"
#include "data/statements.h"
#include "data/write_notices.h"
#include "statements/ledger_import.h"
#include "tests/support/pg_cluster.h"
#include "tests/support/temp_database.h"

#include <QSignalSpy>
#include <QTest>

using namespace halvo;

namespace {

const QString AnnsPassword = QStringLiteral("ann's secret");

QString shown(const QVariant& v)
{
    if (v.metaType() == QMetaType::fromType<Money>())
        return QString::number(double(v.value<Money>().units()) / 10000.0, 'f', 2);
    if (v.metaType().id() == QMetaType::QDate)
        return Dates::toStored(v.toDate());
    return v.toString();
}

QString rowsOf(const Connection& db, const QString& sql)
{
    Result<Rows> rows = db.select(sql);
    if (!rows)
        return QStringLiteral("error: ") + rows.error().description;
    QStringList lines;
    for (const QVariantList& row : rows.value().values) {
        QStringList fields;
        for (const QVariant& v : row)
            fields.append(shown(v));
        lines.append(fields.join(QLatin1Char('|')));
    }
    return lines.join(QLatin1Char('\n'));
}

QString failed(const Error& e) { return QStringLiteral("error: ") + e.description; }

// Adds a ledger row through a record set, as the income and expense windows do.
QString addRow(const Connection& db, const QString& nickname, const QDate& date,
               const QString& payee, const QString& income, const QString& expense)
{
    RecordSet set;
    if (Status s = set.open(db, Statements::LedgerTable); !s)
        return failed(s.error());
    Status s = set.addNew();
    // A figure not given is left to the column's default, as a window leaves it.
    for (const auto& [name, value] :
         {std::pair<QString, QVariant>{QStringLiteral("NickName"), nickname},
          {QStringLiteral("RecDate"), date},
          {QStringLiteral("Payee"), payee},
          {QStringLiteral("Income"), income},
          {QStringLiteral("Expense"), expense}})
        if (s && !(value.metaType().id() == QMetaType::QString && value.toString().isEmpty()))
            s = set.setValue(name, value);
    if (s)
        s = set.update();
    return s ? QString() : failed(s.error());
}

using Story = QString (*)(const Connection&);

QString addedAndReadBack(const Connection& db)
{
    const QString added = addRow(db, QStringLiteral("ELM"), QDate(2026, 3, 1),
                                 QStringLiteral("O'Brien, Kate"), QStringLiteral("1250"),
                                 QString());
    return added + rowsOf(db, QStringLiteral("SELECT NickName, RecDate, Payee, Income, Expense "
                                             "FROM tblFinance"));
}

QString changedThenTotalled(const Connection& db)
{
    (void)addRow(db, QStringLiteral("ELM"), QDate(2026, 3, 1), QStringLiteral("Kate"),
                 QStringLiteral("1250"), QString());
    (void)addRow(db, QStringLiteral("OAK"), QDate(2026, 4, 2), QStringLiteral("Ace Roofing"),
                 QString(), QStringLiteral("80.5"));
    (void)addRow(db, QStringLiteral("OAK"), QDate(2025, 12, 31), QStringLiteral("Kate"),
                 QStringLiteral("999"), QString());
    RecordSet set;
    QString s = set.open(db, QStringLiteral("SELECT * FROM tblFinance WHERE Income <> 0 ORDER BY "
                                            "RecDate"))
                    ? QString()
                    : QStringLiteral("not opened");
    (void)set.moveLast();
    (void)set.setValue(QStringLiteral("Income"), QStringLiteral("1300"));
    (void)set.update();
    return s
           + rowsOf(db, QStringLiteral("SELECT SUM(Income), SUM(Expense) FROM tblFinance WHERE "
                                       "RecDate >= '2026-01-01' AND RecDate < '2027-01-01'"));
}

QString daySumsFollow(const Connection& db)
{
    (void)addRow(db, QStringLiteral("ELM"), QDate(2026, 3, 1), QStringLiteral("Kate"),
                 QStringLiteral("100"), QString());
    (void)addRow(db, QStringLiteral("elm"), QDate(2026, 3, 1), QStringLiteral("Kate"),
                 QStringLiteral("50"), QString());
    (void)addRow(db, QStringLiteral("OAK"), QDate(2026, 3, 2), QStringLiteral("Ace"), QString(),
                 QStringLiteral("20"));
    RecordSet set;
    (void)set.open(db, QStringLiteral("SELECT * FROM tblFinance WHERE Expense <> 0"));
    (void)set.deleteCurrent();
    return rowsOf(db, QStringLiteral("SELECT lower(NickName), RecDate, Income, Expense, RowCount "
                                     "FROM tblLedgerDay ORDER BY NickName, RecDate"));
}

QString orderedCaseAside(const Connection& db)
{
    for (const char* name : {"oak", "ELM", "Birch", "elm"})
        (void)db.execute(QStringLiteral("INSERT INTO tblBuilding (BldNickName) VALUES (?)"),
                         {QString::fromLatin1(name)});
    return rowsOf(db, QStringLiteral("SELECT BldNickName FROM tblBuilding ORDER BY BldNickName, ID"))
           + QLatin1Char('/')
           + rowsOf(db, QStringLiteral("SELECT count(*) FROM tblBuilding WHERE BldNickName = 'Elm'"));
}

// More rows than a set reads whole: its keys are read page by page.
QString pagedThroughManyRows(const Connection& db)
{
    Result<int> made = db.execute(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20050) "
        "INSERT INTO tblFinance (NickName, RecDate, Payee, Income, Expense) "
        "SELECT 'ELM', '2026-01-01', 'Kate', i * 10000, 0 FROM n"));
    if (!made)
        return failed(made.error());
    RecordSet set;
    if (Status s = set.open(db, Statements::IncomeRows); !s)
        return failed(s.error());
    QStringList seen{QString::number(set.recordCount())};
    (void)set.moveTo(15000);
    seen.append(shown(set.value(QStringLiteral("Income"))));
    (void)set.moveLast();
    seen.append(shown(set.value(QStringLiteral("Income"))));
    Result<int> at = set.firstPositionWhere(QStringLiteral("Income = ?"),
                                            {QVariant::fromValue(Money::fromUnits(123450000))});
    seen.append(at ? QString::number(at.value()) : failed(at.error()));
    return seen.join(QLatin1Char('|'));
}

// A bank statement imported into the ledger, the same statement seen again as duplicates, and the
// import undone, as the statement windows do it.
QString importedThenUndone(const Connection& db)
{
    Statement statement;
    statement.lines = {
        {1, QStringLiteral("acct-1"), QDate(2026, 3, 1), Money::fromUnits(12500000),
         QStringLiteral("KATE O'BRIEN"), QStringLiteral("rent"), QStringLiteral("101"),
         QStringLiteral("fit-1")},
        {2, QStringLiteral("acct-1"), QDate(2026, 3, 2), Money::fromUnits(-805000),
         QStringLiteral("ACE ROOFING"), QString(), QStringLiteral("102"), QStringLiteral("fit-2")}};
    const QHash<QString, QString> names{{QStringLiteral("acct-1"), QStringLiteral("Checking")}};
    Result<QList<ImportLine>> plan = planImport(db, statement, names);
    if (!plan)
        return failed(plan.error());
    for (ImportLine& line : plan.value()) {
        line.property = QStringLiteral("ELM");
        line.category = line.income() ? QStringLiteral("Rent") : QStringLiteral("Repairs");
    }
    const Outcome<ImportBatch, ImportRefusal> batch =
        writeImport(db, plan.value(), QStringLiteral("march.ofx"));
    if (!batch.ok())
        return QStringLiteral("not imported");
    QStringList seen{rowsOf(db, QStringLiteral("SELECT NickName, RecDate, Payee, Category, Income, "
                                               "Expense FROM tblFinance ORDER BY ID"))};
    Result<QList<ImportLine>> again = planImport(db, statement, names);
    int duplicates = 0;
    for (const ImportLine& line : again.valueOr({}))
        duplicates += line.duplicateOf.has_value() ? 1 : 0;
    seen.append(QStringLiteral("%1 seen again").arg(duplicates));
    Result<int> undone = undoImport(db, batch.value().id);
    seen.append(undone ? QStringLiteral("%1 undone").arg(undone.value()) : failed(undone.error()));
    seen.append(rowsOf(db, QStringLiteral("SELECT count(*) FROM tblFinance")));
    return seen.join(QLatin1Char('|'));
}

} // namespace

class TestSharedBooks : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void sameStoryOnBoth_data();
    void sameStoryOnBoth();
    void twoDesktops();
    void readOnlyRole();
    void newerBooksRefused();
    void droppedSessionOpensAgain();

private:
    std::unique_ptr<test::PgCluster> cluster;
    int databases = 0;

    Connection freshServerBooks()
    {
        const QString name = QStringLiteral("books%1").arg(++databases);
        if (Status s = cluster->run(QStringLiteral("CREATE DATABASE %1").arg(name)); !s)
            qFatal("%s", qPrintable(s.error().description));
        Result<Connection> db = Connection::openServer(cluster->conninfo(name), QString());
        if (!db)
            qFatal("%s", qPrintable(db.error().description));
        return db.value();
    }
};

void TestSharedBooks::initTestCase()
{
    Result<std::unique_ptr<test::PgCluster>> started = test::PgCluster::start();
    QVERIFY2(started, started ? "" : qPrintable(started.error().description));
    cluster = std::move(started.value());
}

void TestSharedBooks::sameStoryOnBoth_data()
{
    QTest::addColumn<bool>("onServer");
    QTest::addColumn<void*>("story");
    QTest::addColumn<QString>("expected");
    const struct {
        const char* name;
        Story story;
        const char* expected;
    } stories[] = {
        {"an income row added and read back", addedAndReadBack,
         "ELM|2026-03-01|O'Brien, Kate|1250.00|0.00"},
        {"a row changed, then the year totalled", changedThenTotalled, "13000000|805000"},
        {"the day sums follow adds and deletes", daySumsFollow,
         "|2026-03-01|150.00|0.00|2\nelm|2026-03-01|150.00|0.00|2"},
        {"names ordered and compared without letter case", orderedCaseAside,
         "Birch\nELM\nelm\noak/2"},
        {"a statement imported, seen again and undone", importedThenUndone,
         "ELM|2026-03-01|KATE O'BRIEN|Rent|1250.00|0.00\nELM|2026-03-02|ACE ROOFING|Repairs|0.00|"
         "80.50|2 seen again|2 undone|0"},
        {"a set of many rows read page by page", pagedThroughManyRows,
         "20050|15000.00|20050.00|12345"},
    };
    for (const auto& s : stories) {
        QTest::addRow("file: %s", s.name) << false << reinterpret_cast<void*>(s.story)
                                          << QString::fromUtf8(s.expected);
        QTest::addRow("server: %s", s.name) << true << reinterpret_cast<void*>(s.story)
                                            << QString::fromUtf8(s.expected);
    }
}

void TestSharedBooks::sameStoryOnBoth()
{
    QFETCH(bool, onServer);
    QFETCH(void*, story);
    QFETCH(QString, expected);
    test::TempDatabase file;
    const Connection db = onServer ? freshServerBooks() : file.connect();
    QCOMPARE(db.isServer(), onServer);
    QCOMPARE(reinterpret_cast<Story>(story)(db), expected);
}

void TestSharedBooks::twoDesktops()
{
    QVERIFY(cluster->run(QStringLiteral(
        "CREATE ROLE ann LOGIN PASSWORD '%1'; CREATE ROLE bob LOGIN PASSWORD 'bob''s'; "
        "CREATE DATABASE office OWNER ann;").arg(QString(AnnsPassword).replace("'", "''"))));
    const QString annAt = cluster->conninfo(QStringLiteral("office"), QStringLiteral("ann"));
    const QString bobAt = cluster->conninfo(QStringLiteral("office"), QStringLiteral("bob"));
    QCOMPARE(Connection::openServer(annAt, QString()).error().code, ServerWantsPassword);
    Result<Connection> ann = Connection::openServer(annAt, AnnsPassword);
    QVERIFY2(ann, ann ? "" : qPrintable(ann.error().description));
    QVERIFY(cluster->run(QStringLiteral("GRANT ALL ON ALL TABLES IN SCHEMA public TO bob; "
                                        "GRANT ALL ON ALL SEQUENCES IN SCHEMA public TO bob;"),
                         QStringLiteral("office")));
    Result<Connection> bob = Connection::openServer(bobAt, QStringLiteral("bob's"));
    QVERIFY2(bob, bob ? "" : qPrintable(bob.error().description));
    QVERIFY(ann.value().mayWrite() && bob.value().mayWrite());

    // A save on one desktop is told to the other by the server.
    QSignalSpy told(&WriteNotices::instance(), &WriteNotices::changedElsewhere);
    QCOMPARE(ann.value().execute(QStringLiteral("INSERT INTO tblTenant (Nickname, FirstName, "
                                                "MonthlyRentAmt) VALUES ('ELM', 'Kate', 12500000)"))
                 .valueOr(0),
             1);
    QTRY_COMPARE_WITH_TIMEOUT(told.size(), 1, 5000);
    auto change = told.takeFirst().at(0).value<ChangeElsewhere>();
    QCOMPARE(change.table, QStringLiteral("tblTenant"));
    QCOMPARE(change.kind, CommittedWrite::Kind::Insert);
    QCOMPARE(change.who, QStringLiteral("ann"));
    const qint64 kate = change.id;

    // Both show Kate; ann saves first, bob's save is told whose change it would write over.
    RecordSet annSees, bobSees;
    QVERIFY(annSees.open(ann.value(), Statements::TenantsByNickname));
    QVERIFY(bobSees.open(bob.value(), Statements::TenantsByNickname));
    QVERIFY(annSees.setValue(QStringLiteral("MonthlyRentAmt"), QStringLiteral("1300")));
    QVERIFY(annSees.update());
    QVERIFY(bobSees.setValue(QStringLiteral("HomePhone"), QStringLiteral("555-0101")));
    Status clash = bobSees.update();
    QVERIFY(!clash);
    QCOMPARE(clash.error().code, RecordChangedElsewhere);
    QCOMPARE(clash.error().description,
             QStringLiteral("ann changed this record on another desktop after it was shown here."));
    QVERIFY(bobSees.isDirty()); // nothing typed is lost while the user decides
    QVERIFY(bobSees.showTheirs());
    QCOMPARE(shown(bobSees.value(QStringLiteral("MonthlyRentAmt"))), QStringLiteral("1300.00"));
    QCOMPARE(bobSees.value(QStringLiteral("HomePhone")), QVariant());
    // Keeping one's own writes it over theirs, knowingly.
    QVERIFY(annSees.setValue(QStringLiteral("MonthlyRentAmt"), QStringLiteral("1400")));
    QVERIFY(annSees.update());
    QVERIFY(bobSees.setValue(QStringLiteral("HomePhone"), QStringLiteral("555-0102")));
    QCOMPARE(bobSees.update().error().code, RecordChangedElsewhere);
    QVERIFY(bobSees.writeOverTheirs());
    QCOMPARE(rowsOf(ann.value(), QStringLiteral("SELECT HomePhone, MonthlyRentAmt FROM tblTenant")),
             QStringLiteral("555-0102|1400.00"));

    // A delete on one desktop is told to the other, which shows that record.
    told.clear();
    QVERIFY(annSees.deleteCurrent());
    QTRY_VERIFY_WITH_TIMEOUT(!told.isEmpty(), 5000);
    change = told.takeLast().at(0).value<ChangeElsewhere>();
    QCOMPARE(change.kind, CommittedWrite::Kind::Delete);
    QCOMPARE(change.id, kate);
    QCOMPARE(bobSees.currentKey(), kate);
    QVERIFY(bobSees.setValue(QStringLiteral("HomePhone"), QStringLiteral("555-0103")));
    QCOMPARE(bobSees.update().error().description,
             QStringLiteral("ann deleted this record on another desktop."));
}

void TestSharedBooks::readOnlyRole()
{
    QVERIFY(cluster->run(QStringLiteral("CREATE ROLE carol LOGIN PASSWORD 'c'; "
                                        "CREATE DATABASE reviewed;")));
    {
        Result<Connection> owner =
            Connection::openServer(cluster->conninfo(QStringLiteral("reviewed")), QString());
        QVERIFY(owner);
        QVERIFY(owner.value().execute(
            QStringLiteral("INSERT INTO tblBuilding (BldNickName) VALUES ('ELM')")));
    }
    QVERIFY(cluster->run(QStringLiteral("GRANT SELECT ON ALL TABLES IN SCHEMA public TO carol;"),
                         QStringLiteral("reviewed")));
    Result<Connection> carol = Connection::openServer(
        cluster->conninfo(QStringLiteral("reviewed"), QStringLiteral("carol")), QStringLiteral("c"));
    QVERIFY2(carol, carol ? "" : qPrintable(carol.error().description));
    QVERIFY(!carol.value().mayWrite());
    RecordSet set;
    QVERIFY(set.open(carol.value(), Statements::PropertiesByNickname));
    QCOMPARE(set.value(QStringLiteral("BldNickName")).toString(), QStringLiteral("ELM"));
    QVERIFY(set.setValue(QStringLiteral("BldNickName"), QStringLiteral("OAK")));
    QVERIFY(!set.update());
    QCOMPARE(rowsOf(carol.value(), QStringLiteral("SELECT BldNickName FROM tblBuilding")),
             QStringLiteral("ELM"));
}

void TestSharedBooks::newerBooksRefused()
{
    QVERIFY(cluster->run(QStringLiteral("CREATE DATABASE newer;")));
    QVERIFY(Connection::openServer(cluster->conninfo(QStringLiteral("newer")), QString()));
    QVERIFY(cluster->run(QStringLiteral("UPDATE halvo_schema_step SET step = step + 1;"),
                         QStringLiteral("newer")));
    Result<Connection> again =
        Connection::openServer(cluster->conninfo(QStringLiteral("newer")), QString());
    QVERIFY(!again);
    QVERIFY2(again.error().description.contains(
                 QStringLiteral("were written by a newer version of HALVO")),
             qPrintable(again.error().description));
}

// A session the server dropped (a restart, a network gone for a moment) fails the statement it
// was running, which the window then says, and the next opens it again.
void TestSharedBooks::droppedSessionOpensAgain()
{
    const Connection db = freshServerBooks();
    QVERIFY(cluster->run(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                        "WHERE application_name = 'HALVO' AND datname = 'books%1'")
                             .arg(databases)));
    QVERIFY(!db.execute(QStringLiteral("INSERT INTO tblBuilding (BldNickName) VALUES ('ELM')")));
    QVERIFY(db.execute(QStringLiteral("INSERT INTO tblBuilding (BldNickName) VALUES ('OAK')")));
    QCOMPARE(rowsOf(db, QStringLiteral("SELECT BldNickName FROM tblBuilding")), QStringLiteral("OAK"));
}

QTEST_GUILESS_MAIN(TestSharedBooks)
#include "tst_shared_books.moc"
