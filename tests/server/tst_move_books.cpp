// The books moved from a real file to a cluster of the test's own and back.

#include "platform/prompts.h"
#include "server/move_books.h"
#include "server/move_books_commands.h"
#include "server/server_backup.h"
#include "tests/support/pg_cluster.h"
#include "tests/support/temp_database.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace halvo;

namespace {

const QString Password = QStringLiteral("ann's secret");

// A lease of two chunks, as the documents' store keeps one.
const QByteArray LeaseHead = QByteArray("%PDF-1.4 ") + QByteArray(256 * 1024 - 9, 'a');
const QByteArray LeaseTail = QByteArray("the tenant's signature");

QString leaseHash(const QByteArray& tail)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(LeaseHead + tail, QCryptographicHash::Sha256).toHex());
}

// Books with something in every room: properties, tenants, the ledger (which the day sums
// follow), an import batch, the rent roll, a document attached to a tenant.
void fillBooks(const Connection& c, const QByteArray& storedTail = LeaseTail)
{
    const QStringList statements = {
        "INSERT INTO tblUser (Password) VALUES ('the file''s own login')",
        "INSERT INTO tblBuilding (ID, BldNickName, BldPropAddress, BldNoOfUnits, BldPurchaseDate, "
        "BldPurchasePrice) VALUES (1, 'Elm', '12 O''Brien St', 2, '2019-05-01', 2500005000)",
        "INSERT INTO tblTenant (ID, Nickname, FirstName, LastName, MonthlyRentAmt, DepAmt, "
        "LeaseStartDate, Email) VALUES (7, 'Elm', 'Zoë', 'Marsh', 12500000, 12500000, "
        "'2025-12-20', '')",
        "INSERT INTO tblFinance (ID, NickName, RecDate, Payee, Category, Memo, Income, Expense) "
        "VALUES (1, 'Elm', '2026-01-01', 'Zoë Marsh', 'Rent', 'January', 12500000, 0)",
        "INSERT INTO tblFinance (ID, NickName, RecDate, Payee, Category, Memo, Income, Expense) "
        "VALUES (2, 'Elm', '2026-01-15', 'Ace Plumbing', 'Repairs', NULL, 0, 3102500)",
        "INSERT INTO tblFinance (ID, NickName, RecDate, Payee, Category, Memo, Income, Expense) "
        "VALUES (40, '', '2026-02-03', 'First Bank', 'Bank Charges', '', 0, 125000)",
        "INSERT INTO tblImportBatch (ID, ImportedAt, Source, Lines) "
        "VALUES (3, '2026-02-04 10:00:00', 'Chase', 1)",
        "INSERT INTO tblImportLine (ID, BatchID, FinanceID, Account, BankID) "
        "VALUES (5, 3, 40, 'Chase', 'FIT123')",
        "INSERT INTO tblRentTerms VALUES (7, 1, 5, 'Flat', 500000, 0, NULL)",
        "INSERT INTO tblRentChange (ID, TenantID, FromDate, RentBefore) "
        "VALUES (1, 7, '2026-01-01', 12000000)",
        "INSERT INTO tblRentPayment VALUES (1, 7, '2026-01-01', 12500000)",
        "INSERT INTO tblDeposit (ID, TenantID, EventDate, Kind, Amount) "
        "VALUES (2, 7, '2025-12-20', 'Received', 12500000)",
        "INSERT INTO tblAttachmentLink (ID, AttachmentID, RecordTable, RecordID, Name, Attached) "
        "VALUES (9, 4, 'tblTenant', 7, 'lease.pdf', '2026-01-05 09:00:00')",
    };
    for (const QString& sql : statements)
        QVERIFY2(c.execute(sql).ok(), qPrintable(sql));
    const qint64 size = LeaseHead.size() + LeaseTail.size();
    QVERIFY(c.execute("INSERT INTO tblAttachment (ID, Sha256, Size, Kind, Chunks) "
                      "VALUES (4, ?, ?, 'PDF', 2)",
                      {leaseHash(LeaseTail), size}));
    QVERIFY(c.execute("INSERT INTO tblAttachmentChunk VALUES (4, 0, ?), (4, 1, ?)",
                      {LeaseHead, storedTail}));
}

// Every row of every table of the file, each as one line, in a fixed order.
QStringList everyRow(const Connection& file)
{
    QStringList lines;
    const QStringList tables = file.texts(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%' "
        "AND name <> 'tblUser' ORDER BY name")).valueOr({});
    for (const QString& table : tables) {
        const Rows rows = file.select(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2").arg(table))
                              .valueOr({});
        for (const QVariantList& row : rows.values) {
            QStringList fields{table};
            for (const QVariant& v : row)
                fields << (v.isNull() ? QStringLiteral("NULL")
                           : v.metaType().id() == QMetaType::QByteArray
                               ? QString::fromLatin1(v.toByteArray().toHex().right(16))
                               : v.metaType() == QMetaType::fromType<Money>()
                                   ? v.value<Money>().toString()
                                   : v.toString());
            lines << fields.join(QLatin1Char('|'));
        }
    }
    return lines;
}

qint64 count(const Connection& c, const QString& table)
{
    return c.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).valueOr({}).toLongLong();
}

} // namespace

class TestMoveBooks : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void booksMoveToServerAndBack();
    void booksThatHoldRecordsAreRefused();
    void damagedDocumentFailsTheMove();
    void commandsSayWhatHappened();

private:
    std::unique_ptr<test::PgCluster> cluster;
    QTemporaryDir files;

    // New books on the cluster, given their tables by the program as it opens them.
    Connection newBooks(const QString& database)
    {
        const Status made =
            cluster->run(QStringLiteral("CREATE DATABASE %1 OWNER ann").arg(database));
        if (!made)
            qFatal("%s", qPrintable(made.error().description));
        Result<Connection> c = Connection::openServer(cluster->conninfo(database, "ann"), Password);
        if (!c)
            qFatal("%s", qPrintable(c.error().description));
        return c.value();
    }
};

void TestMoveBooks::initTestCase()
{
    Result<std::unique_ptr<test::PgCluster>> started = test::PgCluster::start();
    QVERIFY2(started.ok(), qPrintable(started ? QString() : started.error().description));
    cluster = std::move(started).value();
    QVERIFY(cluster->run(QStringLiteral("CREATE ROLE ann LOGIN PASSWORD 'ann''s secret'")));
}

void TestMoveBooks::booksMoveToServerAndBack()
{
    test::TempDatabase original;
    const Connection file = original.connect();
    fillBooks(file);
    const QStringList before = everyRow(file);
    QCOMPARE(before.filter(QRegularExpression("^tblLedgerDay\\|")).size(), 5);

    const Connection server = newBooks(QStringLiteral("office"));
    const MoveOutcome there = moveBooksToServer(file, server);
    QVERIFY2(there.ok(), qPrintable(there.ok() || there.refused() ? QString()
                                                                    : there.error().description));
    QCOMPARE(there.value().rowsOf("tblFinance"), 3);
    QCOMPARE(there.value().rowsOf("tblLedgerDay"), 5);
    QCOMPARE(there.value().rowsOf("tblAttachmentChunk"), 2);
    QCOMPARE(there.value().rowsOf("tblRentPayment"), 1);
    QCOMPARE(there.value().rowsMoved(), before.size());
    QCOMPARE(everyRow(file), before); // read only
    // No desktop was told of each row moved.
    QCOMPARE(count(server, "halvo_row_change"), 0);
    QCOMPARE(count(server, "tblUser"), 0); // the file's login stays with the file

    const QString copy = files.filePath(QStringLiteral("back.mdb"));
    const MoveOutcome back = moveBooksToFile(server, copy, DatabasePassword);
    QVERIFY2(back.ok(), qPrintable(back.ok() || back.refused() ? QString()
                                                                : back.error().description));
    const Connection returned = Connection::openFile(copy, DatabasePassword).value();
    QCOMPARE(everyRow(returned), before);

    // The next record takes the ID after the highest moved, in both books, and the triggers
    // are on again: the day sums follow it, and the office is told of it.
    for (const Connection& books : {server, returned}) {
        QVERIFY(books.execute("INSERT INTO tblFinance (NickName, RecDate, Income) "
                              "VALUES ('Elm', '2026-03-01', 12500000)"));
        QCOMPARE(books.lastInsertedKey().valueOr(0), 41);
        QCOMPARE(count(books, "tblLedgerDay"), 7);
    }
    QCOMPARE(server.texts("SELECT tbl || ' ' || id FROM halvo_row_change").valueOr({}),
             QStringList{"tblfinance 41"});
}

void TestMoveBooks::booksThatHoldRecordsAreRefused()
{
    test::TempDatabase original;
    const Connection file = original.connect();
    fillBooks(file);
    const Connection server = newBooks(QStringLiteral("kept"));
    QVERIFY(server.execute("INSERT INTO tblNotes (NoteDate, Notes) VALUES ('2026-01-02', 'Keys')"));

    const MoveOutcome moved = moveBooksToServer(file, server);
    QVERIFY(moved.refused());
    QCOMPARE(int(moved.refusal().kind), int(MoveRefusal::Kind::BooksHoldRecords));
    QCOMPARE(moved.refusal().table, QStringLiteral("tblNotes"));
    QCOMPARE(count(server, "tblNotes"), 1);
    QCOMPARE(count(server, "tblFinance"), 0);

    // A file is only ever made new.
    const QString taken = original.path();
    const MoveOutcome back = moveBooksToFile(server, taken, DatabasePassword);
    QVERIFY(back.refused());
    QCOMPARE(int(back.refusal().kind), int(MoveRefusal::Kind::FileExists));
    QCOMPARE(count(file, "tblFinance"), 3);
}

// A document whose chunks do not make its hash stops the move; what was written goes with it.
void TestMoveBooks::damagedDocumentFailsTheMove()
{
    test::TempDatabase damaged;
    const Connection file = damaged.connect();
    fillBooks(file, "a forged signature");
    const Connection server = newBooks(QStringLiteral("spoilt"));

    const MoveOutcome moved = moveBooksToServer(file, server);
    QVERIFY(moved.refused());
    QCOMPARE(int(moved.refusal().kind), int(MoveRefusal::Kind::DocumentDiffers));
    QCOMPARE(moved.refusal().found, QStringLiteral("4"));
    for (const char* table : {"tblFinance", "tblTenant", "tblAttachmentChunk", "tblLedgerDay"})
        QCOMPARE(count(server, table), 0);

    // And back: shared books with such a document leave no file behind.
    Connection spoilt = newBooks(QStringLiteral("spoilt_too"));
    fillBooks(spoilt, "a forged signature");
    const QString path = files.filePath(QStringLiteral("never.mdb"));
    const MoveOutcome back = moveBooksToFile(spoilt, path, DatabasePassword);
    QVERIFY(back.refused());
    QCOMPARE(int(back.refusal().kind), int(MoveRefusal::Kind::DocumentDiffers));
    QVERIFY(!QFileInfo::exists(path));
}

// The File menu's commands, answered through the prompts, the address given as the window would.
void TestMoveBooks::commandsSayWhatHappened()
{
    test::TempDatabase data;
    fillBooks(data.connect());
    newBooks(QStringLiteral("desk"));
    const ServerAddress desk{QString(), cluster->socketFolder(), cluster->port(),
                             QStringLiteral("desk"), QStringLiteral("ann")};
    QStringList asked;
    MoveBooksCommands commands(nullptr, data.folder(), [&](QWidget*, const QString& caption) {
        asked << caption;
        return std::optional<Connection>(Connection::openServer(conninfo(desk), Password).value());
    });
    ScriptedPrompts scripted;
    setPrompts(&scripted);
    const QString books = "desk on " + cluster->socketFolder();
    const QString counts = ", and checked there: 20 records in 13 tables.\n\n"
                           "Properties: 1\nTenants: 1\nIncome and expense rows: 3\n"
                           "Statement imports: 1\nImported statement lines: 1\nRent terms: 1\n"
                           "Rent changes: 1\nRent payments: 1\nDeposit entries: 1\n"
                           "Documents: 1\nDocument chunks: 2\nDocument attachments: 1\n"
                           "Days of the ledger's sums: 5";

    commands.MoveBooksToServer();
    commands.MoveBooksToServer();
    const QString path = files.filePath(QStringLiteral("desk.mdb"));
    scripted.queueFileName(path);
    commands.MoveBooksToFile();
    setPrompts(nullptr);

    QCOMPARE(asked, QStringList({"Move Books to Server", "Move Books to Server",
                                 "Move Books to File"}));
    QCOMPARE(scripted.texts(),
             QStringList({"The books were moved from " + data.path() + " to " + books + counts,
                          "The books " + books + " already hold records (Properties among them). "
                          "Books are moved only into books that hold none, so that no one's "
                          "records are mixed with others. Nothing was written.",
                          "The books were moved from " + books + " to " + path + counts}));
}

QTEST_MAIN(TestMoveBooks)
#include "tst_move_books.moc"
