// The backup of shared books and its restore, against a cluster of the test's own.

#include "platform/desktop.h"
#include "server/server_backup.h"
#include "tests/support/pg_cluster.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <libpq-fe.h>

using namespace halvo;

namespace {

const QString Password = QStringLiteral("ann's secret");

const QStringList BooksRows = {
    QStringLiteral("1|O'Brien, Kate|2026-01-01|1250.0000"),
    QStringLiteral("1|O'Brien, Kate|2026-02-01|1250.0000"),
    QStringLiteral("2|Zoë Marsh|2026-02-03|980.5000"),
};

} // namespace

class TestServerBackup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void conninfoForAddress_data();
    void conninfoForAddress();
    void backupRestoresIntoNewDatabase();
    void restoreRefused_data();
    void restoreRefused();
    void failedRestoreDropsItsDatabase();
    void wrongPasswordLeavesNoDump();

private:
    std::unique_ptr<test::PgCluster> cluster;
    QTemporaryDir backups;

    ServerAddress books() const {
        return ServerAddress{QString(), cluster->socketFolder(), cluster->port(),
                             QStringLiteral("books"), QStringLiteral("ann")};
    }
    // Each row of `sql` on `database`, as ann sees it, its values joined by "|".
    QStringList rows(const QString& database, const QString& sql) const;
    QStringList databases() const {
        return rows(QStringLiteral("books"),
                    QStringLiteral("SELECT datname FROM pg_database ORDER BY datname"));
    }
    QStringList booksRows(const QString& database) const {
        return rows(database,
                    QStringLiteral("SELECT t.id, t.name, p.paid_on, p.amount FROM payments p "
                                   "JOIN tenants t ON t.id = p.tenant_id ORDER BY p.id"));
    }
};

QStringList TestServerBackup::rows(const QString& database, const QString& sql) const {
    const QByteArray info = cluster->conninfo(database, QStringLiteral("ann")).toUtf8();
    const QByteArray password = Password.toUtf8();
    const char* keywords[] = {"dbname", "password", nullptr};
    const char* values[] = {info.constData(), password.constData(), nullptr};
    PGconn* connection = PQconnectdbParams(keywords, values, 1);
    QStringList found;
    if (PQstatus(connection) == CONNECTION_OK) {
        PGresult* result = PQexec(connection, sql.toUtf8().constData());
        for (int r = 0; r < PQntuples(result); ++r) {
            QStringList row;
            for (int c = 0; c < PQnfields(result); ++c)
                row << QString::fromUtf8(PQgetvalue(result, r, c));
            found << row.join(QLatin1Char('|'));
        }
        if (PQresultStatus(result) != PGRES_TUPLES_OK)
            found << QString::fromUtf8(PQerrorMessage(connection));
        PQclear(result);
    } else {
        found << QString::fromUtf8(PQerrorMessage(connection));
    }
    PQfinish(connection);
    return found;
}

void TestServerBackup::initTestCase() {
    Result<std::unique_ptr<test::PgCluster>> started = test::PgCluster::start();
    QVERIFY2(started.ok(), qPrintable(started ? QString() : started.error().description));
    cluster = std::move(started).value();
    const Status made =
        cluster->run(QStringLiteral("CREATE ROLE ann LOGIN CREATEDB PASSWORD 'ann''s secret';\n"
                                    "CREATE DATABASE books OWNER ann;"));
    QVERIFY2(made.ok(), qPrintable(made ? QString() : made.error().description));
    const Status filled = cluster->run(
        QStringLiteral(
            "SET ROLE ann;\n"
            "CREATE TABLE tenants (id integer PRIMARY KEY, name text NOT NULL);\n"
            "CREATE TABLE payments (id integer PRIMARY KEY, tenant_id integer NOT NULL "
            "REFERENCES tenants, paid_on date NOT NULL, amount numeric(19, 4) NOT NULL);\n"
            "INSERT INTO tenants VALUES (1, 'O''Brien, Kate'), (2, 'Zoë Marsh');\n"
            "INSERT INTO payments VALUES (1, 1, '2026-01-01', 1250), (2, 1, '2026-02-01', 1250),\n"
            "                            (3, 2, '2026-02-03', 980.5);"),
        QStringLiteral("books"));
    QVERIFY2(filled.ok(), qPrintable(filled ? QString() : filled.error().description));
    QCOMPARE(booksRows(QStringLiteral("books")), BooksRows);
}

void TestServerBackup::cleanup() {
    Clock::fixAt({});
}

void TestServerBackup::conninfoForAddress_data() {
    QTest::addColumn<QString>("service");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("expected");

    QTest::newRow("service alone") << "office"
                                   << "db.example.com"
                                   << "books"
                                   << "ann"
                                   << "service=office";
    QTest::newRow("socket folder") << ""
                                   << "/var/run/postgresql"
                                   << "books"
                                   << "ann"
                                   << "host=/var/run/postgresql port=5432 dbname=books user=ann";
    QTest::newRow("default socket") << ""
                                    << ""
                                    << "books"
                                    << ""
                                    << "port=5432 dbname=books";
    QTest::newRow("host name") << ""
                               << "db.example.com"
                               << "books"
                               << "ann"
                               << "host=db.example.com port=5432 dbname=books user=ann "
                                  "sslmode=verify-full";
    QTest::newRow("quoted") << ""
                            << "10.0.0.5"
                            << "Kate's books"
                            << "a\\b"
                            << "host=10.0.0.5 port=5432 dbname='Kate\\'s books' user='a\\\\b' "
                               "sslmode=verify-full";
}

void TestServerBackup::conninfoForAddress() {
    QFETCH(QString, service);
    QFETCH(QString, host);
    QFETCH(QString, database);
    QFETCH(QString, user);
    QFETCH(QString, expected);
    QCOMPARE(conninfo(ServerAddress{service, host, 5432, database, user}), expected);
}

void TestServerBackup::backupRestoresIntoNewDatabase() {
    Clock::fixAt(QDateTime(QDate(2026, 3, 7), QTime(14, 5, 9)));
    const QString folder = backups.filePath(QStringLiteral("made"));
    const Result<QString> dump = backUpServerBooks(books(), Password, folder);
    QVERIFY2(dump.ok(), qPrintable(dump ? QString() : dump.error().description));
    QCOMPARE(dump.value(), folder + QStringLiteral("/books 2026-03-07 14-05-09.dump"));
    QCOMPARE(QDir(folder).entryList(QDir::Files),
             QStringList{QStringLiteral("books 2026-03-07 14-05-09.dump")});
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ReadOther | QFileDevice::WriteOther;
    QCOMPARE(QFile::permissions(dump.value()) & others, QFileDevice::Permissions());

    const Status restored =
        restoreServerBooks(books(), Password, dump.value(), QStringLiteral("books \"March\""));
    QVERIFY2(restored.ok(), qPrintable(restored ? QString() : restored.error().description));
    QCOMPARE(booksRows(QStringLiteral("books \"March\"")), BooksRows);
    QCOMPARE(booksRows(QStringLiteral("books")), BooksRows);
}

void TestServerBackup::restoreRefused_data() {
    QTest::addColumn<QString>("newDatabase");
    QTest::addColumn<QString>("message");

    QTest::newRow("the books' own") << "books"
                                    << "The shared books were not restored: a database named "
                                       "\"books\" is already on the server. Choose a name no "
                                       "database has.";
    QTest::newRow("another") << "postgres"
                             << "The shared books were not restored: a database named "
                                "\"postgres\" is already on the server. Choose a name no "
                                "database has.";
    QTest::newRow("no name") << "  "
                             << "The shared books were not restored: the new database needs a "
                                "name.";
}

void TestServerBackup::restoreRefused() {
    QFETCH(QString, newDatabase);
    QFETCH(QString, message);
    const Result<QString> dump =
        backUpServerBooks(books(), Password, backups.filePath(QStringLiteral("refused")));
    QVERIFY(dump.ok());
    const QStringList before = databases();

    const Status restored = restoreServerBooks(books(), Password, dump.value(), newDatabase);
    QVERIFY(!restored.ok());
    QCOMPARE(restored.error().description, message);
    QCOMPARE(databases(), before);
    QCOMPARE(booksRows(QStringLiteral("books")), BooksRows);
}

void TestServerBackup::failedRestoreDropsItsDatabase() {
    const Result<QString> dump =
        backUpServerBooks(books(), Password, backups.filePath(QStringLiteral("cut")));
    QVERIFY(dump.ok());
    QFile whole(dump.value());
    QVERIFY(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    QFile cut(backups.filePath(QStringLiteral("cut short.dump")));
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() * 3 / 4));
    cut.close();
    const QStringList before = databases();

    const Status restored =
        restoreServerBooks(books(), Password, cut.fileName(), QStringLiteral("books cut"));
    QVERIFY(!restored.ok());
    const QString text = restored.error().description;
    QVERIFY2(text.startsWith(QStringLiteral("The shared books were not restored: pg_restore: ")),
             qPrintable(text));
    QVERIFY2(
        text.endsWith(QStringLiteral(" The database \"books cut\" made for them was removed.")),
        qPrintable(text));
    QCOMPARE(databases(), before);
}

void TestServerBackup::wrongPasswordLeavesNoDump() {
    const QString folder = backups.filePath(QStringLiteral("wrong"));
    const Result<QString> dump = backUpServerBooks(books(), QStringLiteral("not it"), folder);
    QVERIFY(!dump.ok());
    const QString text = dump.error().description;
    QVERIFY2(text.startsWith(QStringLiteral("The backup of the shared books could not be made: "
                                            "pg_dump: error: ")),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("password authentication failed for user \"ann\"")),
             qPrintable(text));
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList());
}

QTEST_GUILESS_MAIN(TestServerBackup)
#include "tst_server_backup.moc"
