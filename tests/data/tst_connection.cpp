// Connections to the database file: encryption, the connection texts, refusing files that are
// not a database the password opens, and connections sharing what they commit.

#include "data/connection.h"
#include "data/connection_string.h"
#include "data/statements.h"
#include "tests/support/temp_database.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

using namespace halvo;
using halvo::test::TempDatabase;

namespace {

// Read only while no connection holds the file: a descriptor of the test's own would drop the
// engine's locks on it.
QByteArray fingerprint(const QString& path)
{
    if (heldByEngine(path))
        qFatal("the test reads a database file that a connection holds: %s", qPrintable(path));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestConnection : public QObject {
    Q_OBJECT
private slots:
    void fileIsEncrypted();
    void recognisesTheFourForms_data();
    void recognisesTheFourForms();
    void relativeFormsFollowTheCurrentFolder();
    void placesARelativeTextInAFolder_data();
    void placesARelativeTextInAFolder();
    void opensAFileInAFolderNamedWithASemicolon();
    void refusesWhatItCannotOpen_data();
    void refusesWhatItCannotOpen();
    void refusesAFileLockedByAnotherProgram();
    void connectionsSeeEachOthersWrites();
    void textComparesWithoutLetterCase();
    void userValuesAreBound();
    void sumOfNothingIsZero_data();
    void sumOfNothingIsZero();
    void sumReadsWhatTheEngineAddsUp_data();
    void sumReadsWhatTheEngineAddsUp();
    void moneyColumnsReadEveryStoredForm_data();
    void moneyColumnsReadEveryStoredForm();
    void unitOfWorkCommitsOrRollsBack();
    void aReplacedFileIsOpenedAnew();
    void aCopiedFileHoldsEveryCommittedChange();
};

void TestConnection::fileIsEncrypted()
{
    TempDatabase db;
    QFile f(db.path());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(!f.read(16).startsWith("SQLite format 3"));
    f.close();

    Result<Connection> wrong = Connection::openFile(db.path(), QStringLiteral("Vintra"));
    QVERIFY(!wrong.ok());
    Result<Connection> right = Connection::openFile(db.path(), DatabasePassword);
    QVERIFY2(right.ok(), qPrintable(right.ok() ? QString() : right.error().description));
    QCOMPARE(right.value().scalar(QStringLiteral("SELECT count(*) FROM tblUser")).value(),
             QVariant(qlonglong(0)));
}

void TestConnection::recognisesTheFourForms_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("form");
    QTest::addColumn<QString>("source");
    QTest::newRow("standard") << standardConnectionString(QStringLiteral("/opt/halvo"))
                              << int(ConnectionForm::Standard) << "/opt/halvo/halvo0905.mdb";
    QTest::newRow("fixed relative") << fixedRelativeConnectionString()
                                    << int(ConnectionForm::FixedRelative) << "halvo0905.mdb";
    QTest::newRow("report") << reportConnectionString() << int(ConnectionForm::Report)
                            << "halvo0905.mdb";
    QTest::newRow("compaction") << compactionConnectionString(QStringLiteral("/tmp/x.mdb"))
                                << int(ConnectionForm::Compaction) << "/tmp/x.mdb";
    QTest::newRow("as written for the desktop it came from")
        << "Provider=Microsoft Jet 4.0 OLE DB Provider;Data Source=C:\\HALVO\\halvo0905.mdb;"
           "Jet OLEDB:Database Password=vintra;Persist Security Info=False"
        << int(ConnectionForm::FixedRelative) << "C:\\HALVO\\halvo0905.mdb";
    // A folder may have any name; a value that holds a semicolon stands between quotes.
    QTest::newRow("standard, folder with a semicolon")
        << "Provider=Microsoft Jet 4.0 OLE DB Provider;Data Source=\"/home/owner/a;b/halvo0905.mdb\";"
           "Jet OLEDB:Database Password=vintra;Persist Security Info=False"
        << int(ConnectionForm::Standard) << "/home/owner/a;b/halvo0905.mdb";
    QTest::newRow("compaction, quotes in the path")
        << "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"/tmp/\"\"x;y\"\".mdb\";"
           "Jet OLEDB:Database Password=vintra"
        << int(ConnectionForm::Compaction) << "/tmp/\"x;y\".mdb";
    QTest::newRow("single quotes")
        << "Provider=Microsoft.Jet.OLEDB.4.0;Data Source='halvo;0905.mdb';Jet OLEDB:Database Password=vintra"
        << int(ConnectionForm::Report) << "halvo;0905.mdb";
}

void TestConnection::recognisesTheFourForms()
{
    QFETCH(QString, text);
    QFETCH(int, form);
    QFETCH(QString, source);
    Result<ConnectionString> parsed = parseConnectionString(text);
    QVERIFY(parsed.ok());
    QCOMPARE(int(parsed.value().form), form);
    QCOMPARE(parsed.value().dataSource, source);
    QCOMPARE(parsed.value().password, DatabasePassword);

    QVERIFY(!parseConnectionString(QStringLiteral("Provider=Other;Data Source=x.mdb")).ok());
    QVERIFY(!parseConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;")).ok());
    QVERIFY(!parseConnectionString(QStringLiteral(
                "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"x.mdb;Jet OLEDB:Database Password=vintra"))
                 .ok());
    QVERIFY(!parseConnectionString(QStringLiteral(
                "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"x\".mdb;Jet OLEDB:Database Password=vintra"))
                 .ok());

    QCOMPARE(standardConnectionString(QStringLiteral("/home/owner/a;b")),
             QStringLiteral("Provider=Microsoft Jet 4.0 OLE DB Provider;Data Source=\"/home/owner/a;b/"
                            "halvo0905.mdb\";Jet OLEDB:Database Password=vintra;Persist Security Info=False"));
    QCOMPARE(compactionConnectionString(QStringLiteral("/tmp/a;b.mdb")),
             QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"/tmp/a;b.mdb\";"
                            "Jet OLEDB:Database Password=vintra"));
}

void TestConnection::placesARelativeTextInAFolder_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("placed");
    const QString jet = QStringLiteral("Provider=Microsoft Jet 4.0 OLE DB Provider;");
    const QString oledb = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;");
    QTest::newRow("fixed relative")
        << fixedRelativeConnectionString() << "/opt/halvo"
        << jet + "Data Source=/opt/halvo/halvo0905.mdb;Jet OLEDB:Database Password=vintra;"
                 "Persist Security Info=False";
    QTest::newRow("report")
        << reportConnectionString() << "/opt/halvo"
        << oledb + "Data Source=/opt/halvo/halvo0905.mdb;Persist Security Info=False;"
                   "Jet OLEDB:Database Password=vintra;";
    // Only the data source is replaced, wherever its text also stands earlier.
    QTest::newRow("source spelt like the provider's first letter")
        << jet + "Data Source=M" << "/opt/halvo" << jet + "Data Source=/opt/halvo/M";
    QTest::newRow("password spelt like the file")
        << oledb + "Jet OLEDB:Database Password=halvo0905.mdb;Data Source=halvo0905.mdb"
        << "/opt/halvo"
        << oledb + "Jet OLEDB:Database Password=halvo0905.mdb;Data Source=/opt/halvo/halvo0905.mdb";
    QTest::newRow("folder with a semicolon")
        << fixedRelativeConnectionString() << "/opt/a;b"
        << jet + "Data Source=\"/opt/a;b/halvo0905.mdb\";Jet OLEDB:Database Password=vintra;"
                 "Persist Security Info=False";
    QTest::newRow("a full path stays") << standardConnectionString(QStringLiteral("/srv/halvo"))
                                       << "/opt/halvo"
                                       << standardConnectionString(QStringLiteral("/srv/halvo"));
    QTest::newRow("no connection text stays") << "Data Source" << "/opt/halvo" << "Data Source";
}

void TestConnection::placesARelativeTextInAFolder()
{
    QFETCH(QString, text);
    QFETCH(QString, folder);
    QFETCH(QString, placed);
    QCOMPARE(connectionStringIn(text, folder), placed);
}

void TestConnection::opensAFileInAFolderNamedWithASemicolon()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/rentals;2026");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(createDatabase(databasePath(folder), DatabasePassword).ok());
    {
        Result<Connection> c = Connection::open(standardConnectionString(folder));
        QVERIFY2(c.ok(), qPrintable(c.ok() ? QString() : c.error().description));
        QCOMPARE(c.value().filePath(), databasePath(folder));
    }
    releaseDatabase(databasePath(folder));
}

void TestConnection::relativeFormsFollowTheCurrentFolder()
{
    TempDatabase db;
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(db.folder()));
    Result<Connection> inProgramFolder = Connection::open(fixedRelativeConnectionString());
    Result<Connection> report = Connection::open(reportConnectionString());
    QVERIFY(QDir::setCurrent(QDir::tempPath()));
    Result<Connection> elsewhere = Connection::open(fixedRelativeConnectionString());
    Result<Connection> standard = Connection::open(db.connectionString());
    QDir::setCurrent(before);

    QVERIFY(inProgramFolder.ok());
    QVERIFY(report.ok());
    QVERIFY(!elsewhere.ok());
    QVERIFY(elsewhere.error().description.contains(QStringLiteral("does not exist")));
    QVERIFY(standard.ok());
}

void TestConnection::refusesWhatItCannotOpen_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << "missing" << "does not exist";
    QTest::newRow("wrong password") << "wrong password" << "password does not open";
    QTest::newRow("random bytes") << "random" << "password does not open";
    QTest::newRow("random bytes, not whole pages") << "random ragged" << "password does not open";
    QTest::newRow("cut to half its length") << "half" << "is damaged";
    QTest::newRow("cut inside its last page") << "cut in last page" << "is damaged";
    QTest::newRow("empty file") << "empty" << "is not a HALVO database";
    QTest::newRow("short text file") << "text" << "is not a HALVO database";
    QTest::newRow("unencrypted database") << "plain" << "is not an encrypted HALVO database";
    QTest::newRow("a folder") << "folder" << "is not a database file";
    QTest::newRow("read-only file") << "read-only" << "is read-only";
}

void TestConnection::refusesWhatItCannotOpen()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    TempDatabase db;
    QString path = db.path();
    QString password = DatabasePassword;
    QByteArray plainHeader("SQLite format 3\0", 16);
    if (kind == QLatin1String("missing")) {
        path = QDir(db.folder()).filePath(QStringLiteral("nothing.mdb"));
    } else if (kind == QLatin1String("wrong password")) {
        password = QStringLiteral("vintra ");
    } else if (kind == QLatin1String("random")) {
        QByteArray bytes(8192, '\0');
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 7919) % 251);
        writeFile(path, bytes);
    } else if (kind == QLatin1String("random ragged")) {
        QByteArray bytes(10000, '\0');
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 7919) % 251);
        writeFile(path, bytes);
    } else if (kind == QLatin1String("half") || kind == QLatin1String("cut in last page")) {
        const qint64 size = QFileInfo(path).size();
        QVERIFY(QFile::resize(path, kind == QLatin1String("half") ? size / 2 : size - 1000));
    } else if (kind == QLatin1String("empty")) {
        writeFile(path, {});
    } else if (kind == QLatin1String("text")) {
        writeFile(path, "not a database\n");
    } else if (kind == QLatin1String("plain")) {
        writeFile(path, plainHeader + QByteArray(4096 - 16, '\0'));
    } else if (kind == QLatin1String("folder")) {
        path = QDir(db.folder()).filePath(QStringLiteral("afolder.mdb"));
        QVERIFY(QDir().mkpath(path));
    } else if (kind == QLatin1String("read-only")) {
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
    }
    const QByteArray before = fingerprint(path);

    Result<Connection> c = Connection::openFile(path, password);
    QVERIFY(!c.ok());
    QVERIFY2(c.error().description.contains(message), qPrintable(c.error().description));
    QCOMPARE(fingerprint(path), before);
    if (kind == QLatin1String("missing"))
        QVERIFY(!QFile::exists(path)); // opening never creates a file
    QFile::setPermissions(db.path(), QFile::ReadOwner | QFile::WriteOwner);
}

void TestConnection::refusesAFileLockedByAnotherProgram()
{
    TempDatabase db;
    QProcess holder;
    holder.start(QStringLiteral(LEDGER_WRITER), {QStringLiteral("hold"), db.path()});
    QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("holding"));
    const QByteArray before = fingerprint(db.path());

    Result<Connection> c = Connection::openFile(db.path(), DatabasePassword);
    holder.kill();
    holder.waitForFinished();
    QVERIFY(!c.ok());
    QVERIFY2(c.error().description.contains(QStringLiteral("in use by another program")),
             qPrintable(c.error().description));
    QCOMPARE(fingerprint(db.path()), before);
    QVERIFY(Connection::openFile(db.path(), DatabasePassword).ok());
}

void TestConnection::connectionsSeeEachOthersWrites()
{
    TempDatabase db;
    Connection first = Connection::open(db.connectionString()).value();
    Connection second = Connection::open(db.connectionString()).value();
    QVERIFY(first.execute(QStringLiteral("INSERT INTO tblLoan (NickName, Value) VALUES (?, ?)"),
                          {QStringLiteral("ELM"), QVariant::fromValue(Money::fromCents(12345))})
                .ok());
    QCOMPARE(second.sum(Statements::SumMarketValue).value(), Money::fromCents(12345));
}

void TestConnection::textComparesWithoutLetterCase()
{
    TempDatabase db;
    Connection c = db.connect();
    for (const char* name : {"elm", "Birch", "ASH"})
        QVERIFY(c.execute(QStringLiteral("INSERT INTO tblBuilding (BldNickName) VALUES (?)"),
                          {QString::fromLatin1(name)})
                    .ok());
    QCOMPARE(c.scalar(QStringLiteral("SELECT count(*) FROM tblBuilding WHERE BldNickName = ?"),
                      {QStringLiteral("ELM")})
                 .value()
                 .toLongLong(),
             1);
    Rows ordered = c.select(Statements::PropertiesByNickname).value();
    const int nick = ordered.columns.indexOf(QStringLiteral("BldNickName"));
    QStringList names;
    for (const QVariantList& row : ordered.values)
        names.append(row[nick].toString());
    QCOMPARE(names, QStringList({"ASH", "Birch", "elm"}));
}

void TestConnection::userValuesAreBound()
{
    TempDatabase db;
    Connection c = db.connect();
    const QString nickname = QStringLiteral("O'Brien's \"place\"; DROP TABLE tblNotes");
    QVERIFY(c.execute(QStringLiteral("INSERT INTO tblNotes (NickName, Notes) VALUES (?, ?)"),
                      {nickname, QString()})
                .ok());
    Rows found = c.select(Statements::NotesOfProperty, {nickname}).value();
    QCOMPARE(found.values.size(), 1);
    const int notes = found.columns.indexOf(QStringLiteral("Notes"));
    // The empty text stays text; it is not confused with NULL.
    QVERIFY(!found.values[0][notes].isNull());
    QCOMPARE(found.values[0][notes].toString(), QString());
}

void TestConnection::sumOfNothingIsZero_data()
{
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<qint64>("cents");
    QTest::newRow("no rows") << QVariantList() << qint64(0);
    QTest::newRow("only empty amounts") << QVariantList{QVariant(), QVariant()} << qint64(0);
    QTest::newRow("empty and amounts")
        << QVariantList{QVariant(), QVariant::fromValue(Money::fromCents(150)),
                        QVariant::fromValue(Money::fromCents(-25))}
        << qint64(125);
}

void TestConnection::sumOfNothingIsZero()
{
    QFETCH(QVariantList, values);
    QFETCH(qint64, cents);
    TempDatabase db;
    Connection c = db.connect();
    for (const QVariant& v : values)
        QVERIFY(c.execute(QStringLiteral("INSERT INTO tblTenant (DepAmt) VALUES (?)"), {v}).ok());
    QCOMPARE(c.sum(Statements::SumDeposits).value(), Money::fromCents(cents));
}

void TestConnection::sumReadsWhatTheEngineAddsUp_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<qint64>("units");
    QTest::addColumn<QString>("failure");
    QTest::newRow("count of ten-thousandths") << "SELECT 12345" << true << qint64(12345) << "";
    QTest::newRow("a real number") << "SELECT 1.5" << true << qint64(15000) << "";
    QTest::newRow("no value") << "SELECT NULL" << true << qint64(0) << "";
    QTest::newRow("no row") << "SELECT 1 WHERE 0" << true << qint64(0) << "";
    QTest::newRow("text") << "SELECT 'abc'" << false << qint64(0)
                          << "The total is not an amount: abc";
}

void TestConnection::sumReadsWhatTheEngineAddsUp()
{
    QFETCH(QString, statement);
    QFETCH(bool, ok);
    QFETCH(qint64, units);
    QFETCH(QString, failure);
    TempDatabase db;
    const Result<Money> total = db.connect().sum(statement);
    QCOMPARE(total.ok(), ok);
    if (ok)
        QCOMPARE(total.value().units(), units);
    else
        QCOMPARE(total.error().description, failure);
}

void TestConnection::moneyColumnsReadEveryStoredForm_data()
{
    // What another program may have written into a money column, as SQL literals.
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QVariant>("read");
    QTest::newRow("count of ten-thousandths")
        << "12345" << QVariant::fromValue(Money::fromUnits(12345));
    QTest::newRow("a real amount") << "2.5" << QVariant::fromValue(Money::fromUnits(25000));
    QTest::newRow("text") << "'n/a'" << QVariant(QStringLiteral("n/a"));
    // Too large for money: handed back as stored, never wrapped into some other amount.
    QTest::newRow("a real beyond money") << "1e300" << QVariant(1e300);
}

void TestConnection::moneyColumnsReadEveryStoredForm()
{
    QFETCH(QString, stored);
    QFETCH(QVariant, read);
    TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.execute(QStringLiteral("INSERT INTO tblFinance (Income) VALUES (%1)").arg(stored)).ok());
    const QVariant income = c.scalar(QStringLiteral("SELECT Income FROM tblFinance")).value();
    QCOMPARE(income.metaType(), read.metaType());
    QCOMPARE(income, read);
}

void TestConnection::unitOfWorkCommitsOrRollsBack()
{
    TempDatabase db;
    Connection c = db.connect();
    const QString insert = QStringLiteral("INSERT INTO tblUser (Password) VALUES (?)");
    const QString count = QStringLiteral("SELECT count(*) FROM tblUser");
    {
        Transaction outer(c);
        QVERIFY(c.execute(insert, {QStringLiteral("kept")}).ok());
        {
            Transaction inner(c);
            QVERIFY(c.execute(insert, {QStringLiteral("dropped")}).ok());
        } // not committed: only the inner work is undone
        QVERIFY(outer.commit().ok());
    }
    {
        Transaction abandoned(c);
        QVERIFY(c.execute(insert, {QStringLiteral("abandoned")}).ok());
    }
    QCOMPARE(c.scalar(count).value().toLongLong(), 1);
    QCOMPARE(c.scalar(QStringLiteral("SELECT Password FROM tblUser")).value().toString(),
             QStringLiteral("kept"));
    QVERIFY(!c.isInTransaction());
}

void TestConnection::aReplacedFileIsOpenedAnew()
{
    TempDatabase db;
    TempDatabase other;
    const QString insert = QStringLiteral("INSERT INTO tblUser (Password) VALUES (?)");
    const QString read = QStringLiteral("SELECT Password FROM tblUser");
    QVERIFY(other.connect().execute(insert, {QStringLiteral("new")}).ok());
    releaseDatabase(other.path());
    {
        Connection inUse = db.connect();
        QVERIFY(inUse.execute(insert, {QStringLiteral("old")}).ok());
        QVERIFY(QFile::remove(db.path()));
        QVERIFY(QFile::copy(other.path(), db.path()));
        // Still in use: refused, rather than mixing the old file's log into the new one.
        QVERIFY(!Connection::openFile(db.path(), DatabasePassword).ok());
    }
    // Another file put in the database's place (a restore) is what the next connection sees.
    QCOMPARE(db.connect().scalar(read).value().toString(), QStringLiteral("new"));
}

void TestConnection::aCopiedFileHoldsEveryCommittedChange()
{
    TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.execute(QStringLiteral("INSERT INTO tblUser (Password) VALUES ('kept')")).ok());
    QVERIFY(c.checkpoint().ok());
    QTemporaryDir copyFolder;
    const QString copy = databasePath(copyFolder.path());
    QVERIFY(QFile::copy(db.path(), copy)); // the file alone, as a backup copies it
    Result<Connection> opened = Connection::openFile(copy, DatabasePassword);
    QVERIFY(opened.ok());
    QCOMPARE(opened.value().scalar(QStringLiteral("SELECT Password FROM tblUser")).value().toString(),
             QStringLiteral("kept"));
    releaseDatabase(copy);
}

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
