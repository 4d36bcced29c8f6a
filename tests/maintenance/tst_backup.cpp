// Backup, restore and the snapshot on real database files: the names, the messages in their
// order, and after every command a live database that opens with every committed row.

#include "tests/support/temp_database.h"

#include "data/record_set.h"
#include "maintenance/backup_commands.h"
#include "maintenance/database_copy.h"
#include "platform/desktop.h"
#include "platform/folders.h"
#include "platform/prompts.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <csignal>
#include <sqlite3.h>
#include <sys/stat.h>
#include <optional>

using namespace halvo;
using Answer = Prompts::Answer;

namespace {

const QString restoreQuestion =
    QStringLiteral("Restoring from backup will replace current data. Do you wish to proceed?");
const QString leftAlone = QStringLiteral("The current data is left as it is.");

// Read only while no connection holds the file: a descriptor of the test's own would drop the
// engine's locks on it.
QByteArray hashOf(const QString& path)
{
    if (heldByEngine(path))
        qFatal("the test reads a database file that a connection holds: %s", qPrintable(path));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

void addVendor(const Connection& c, const QString& company)
{
    QVERIFY(c.execute(QStringLiteral("INSERT INTO tblVendor (Company) VALUES (?)"), {company}));
}

QStringList vendorsIn(const QString& path)
{
    Result<Connection> c = Connection::openFile(path, DatabasePassword);
    if (!c)
        return {QStringLiteral("does not open: ") + c.error().description};
    Result<Rows> rows = c.value().select(QStringLiteral("SELECT Company FROM tblVendor ORDER BY ID"));
    QStringList names;
    if (rows)
        for (const QVariantList& r : rows.value().values)
            names.append(r.value(0).toString());
    releaseDatabase(path);
    return names;
}

// The number of the last schema step a file has taken, read from the file itself: a connection
// would take the steps again as it opens it. Read only while no connection holds the file.
int schemaStepIn(const QString& path, const QString& key)
{
    if (heldByEngine(path))
        qFatal("the test reads a database file that a connection holds: %s", qPrintable(path));
    sqlite3* db = nullptr;
    sqlite3_stmt* read = nullptr;
    int step = -1;
    const QByteArray keyBytes = key.toUtf8();
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr)
            == SQLITE_OK
        && sqlite3_key(db, keyBytes.constData(), int(keyBytes.size())) == SQLITE_OK
        && sqlite3_exec(db, "PRAGMA cipher_page_size = 4096;", nullptr, nullptr, nullptr) == SQLITE_OK
        && sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &read, nullptr) == SQLITE_OK
        && sqlite3_step(read) == SQLITE_ROW)
        step = sqlite3_column_int(read, 0);
    sqlite3_finalize(read);
    sqlite3_close_v2(db);
    return step;
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// A program folder with a live database holding two vendors, and the commands over it.
struct Program {
    test::TempDatabase db;
    ScriptedPrompts prompts;
    int propertyEditorShown = 0;
    bool windowsClose = true;
    BackupCommands commands{BackupHost{nullptr, db.folder(),
                                       [this] { return windowsClose; },
                                       [this] { ++propertyEditorShown; }}};

    Program()
    {
        setPrompts(&prompts);
        Connection c = db.connect();
        addVendor(c, QStringLiteral("Acme Property Mgmt"));
        addVendor(c, QStringLiteral("City Water"));
    }
    ~Program()
    {
        setPrompts(nullptr);
        releaseDatabase(db.path());
    }
    QString backupFolder() const { return db.folder() + QStringLiteral("/backup"); }
};

} // namespace

class tst_backup : public QObject {
    Q_OBJECT
private slots:
    void init() { Clock::fixAt(QDateTime(QDate(2026, 12, 7), QTime(13, 5, 9))); }
    void cleanup() { Clock::fixAt({}); }

    void fileNames_data();
    void fileNames();
    void firstBackupMakesTheFolderAndAWholeCopy();
    void aSaveDuringTheCopyNeitherTearsItNorIsLost();
    void pendingChangeIsNotInTheBackup();
    void secondBackupOfADayReplacesTheFirst();
    void olderBackupOfTheSameNameIsMovedAside();
    void failuresAreReported_data();
    void failuresAreReported();
    void restore_data();
    void restore();
    void restoreRefusedWhileTheFileIsInUse();
    void restoreStoppedBetweenItsSteps_data();
    void restoreStoppedBetweenItsSteps();
    void snapshotIsCompactedAndEncrypted();
    void snapshotNeverSavedOverTheLiveFile_data();
    void snapshotNeverSavedOverTheLiveFile();
    void rekeyRefusedWhenAChangeIsSavedDuringTheCopy();
    void copiesAreTheUsersAlone();
    void copiesKeepTheSchemaStepsTaken_data();
    void copiesKeepTheSchemaStepsTaken();
};

void tst_backup::fileNames_data()
{
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("backup");
    QTest::addColumn<QString>("snapshot");
    QTest::newRow("7 March 2004") << QDateTime(QDate(2004, 3, 7), QTime(14, 5, 9))
                                  << "HALVO_372004.mdb" << "HALVO1.0_732004_1459.mdb";
    QTest::newRow("25 December 2004") << QDateTime(QDate(2004, 12, 25), QTime(0, 0, 0))
                                      << "HALVO_12252004.mdb" << "HALVO1.0_25122004_000.mdb";
    QTest::newRow("1 November") << QDateTime(QDate(2004, 11, 1), QTime(23, 59, 59))
                                << "HALVO_1112004.mdb" << "HALVO1.0_1112004_235959.mdb";
    QTest::newRow("11 January") << QDateTime(QDate(2004, 1, 11), QTime(9, 30, 0))
                                << "HALVO_1112004.mdb" << "HALVO1.0_1112004_9300.mdb";
}

void tst_backup::fileNames()
{
    QFETCH(QDateTime, moment);
    QFETCH(QString, backup);
    QFETCH(QString, snapshot);
    QCOMPARE(BackupCommands::backupFileName(moment.date()), backup);
    QCOMPARE(BackupCommands::snapshotFileName(moment), snapshot);
}

void tst_backup::firstBackupMakesTheFolderAndAWholeCopy()
{
    Program p;
    QVERIFY(!QFileInfo::exists(p.backupFolder()));
    p.commands.Backup();
    const QString copy = p.backupFolder() + QStringLiteral("/HALVO_1272026.mdb");
    QCOMPARE(p.prompts.texts(),
             QStringList{QStringLiteral("Database has been backed up to: \r\n") + copy
                         + QStringLiteral("...")});
    QCOMPARE(p.prompts.shown.first().title, QStringLiteral("Backup Database"));
    QCOMPARE(filesIn(p.backupFolder()), QStringList{QStringLiteral("HALVO_1272026.mdb")});
    QCOMPARE(vendorsIn(copy), (QStringList{"Acme Property Mgmt", "City Water"}));
    QVERIFY(checkDatabaseCopy(copy, DatabasePassword));
    // The copy is encrypted: nothing of it reads as plain text.
    QFile raw(copy);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    QVERIFY(!bytes.startsWith("SQLite format 3"));
    QVERIFY(!bytes.contains("City Water"));
}

// A window saves while the file is being copied: the copy is one committed state, and the saved
// row is not lost from the live file.
void tst_backup::aSaveDuringTheCopyNeitherTearsItNorIsLost()
{
    test::TempDatabase db;
    Connection c = db.connect();
    for (int i = 0; i < 3000; ++i)
        addVendor(c, QStringLiteral("Vendor %1 ").arg(i) + QString(200, QLatin1Char('x')));
    const QString copy = db.folder() + QStringLiteral("/copy.mdb");
    int calls = 0;
    QVERIFY(copyLiveDatabase(c, copy, DatabasePassword, [&](qint64, qint64) {
        if (calls++ == 0)
            addVendor(c, QStringLiteral("Saved during the copy"));
        return true;
    }));
    QVERIFY(calls >= 1);
    QVERIFY(checkDatabaseCopy(copy, DatabasePassword));
    const QStringList copied = vendorsIn(copy);
    QCOMPARE(copied.size(), 3000);
    QVERIFY(!copied.contains(QStringLiteral("Saved during the copy")));
    QCOMPARE(c.scalar(QStringLiteral("SELECT count(*) FROM tblVendor WHERE Company = ?"),
                      {QStringLiteral("Saved during the copy")})
                 .value()
                 .toInt(),
             1);
    // The next backup has it.
    QVERIFY(copyLiveDatabase(c, copy, DatabasePassword));
    QVERIFY(vendorsIn(copy).contains(QStringLiteral("Saved during the copy")));
}

void tst_backup::pendingChangeIsNotInTheBackup()
{
    Program p;
    RecordSet editor;
    QVERIFY(editor.open(p.db.connect(), QStringLiteral("SELECT * FROM tblVendor")));
    QVERIFY(editor.addNew());
    QVERIFY(editor.setValue(QStringLiteral("Company"), QStringLiteral("Not saved yet")));
    p.commands.Backup();
    const QString copy = p.backupFolder() + QStringLiteral("/HALVO_1272026.mdb");
    QCOMPARE(vendorsIn(copy), (QStringList{"Acme Property Mgmt", "City Water"}));
    // The change is still pending, and saves as ever.
    QVERIFY(editor.update());
    QCOMPARE(p.db.connect().scalar(QStringLiteral("SELECT count(*) FROM tblVendor")).value().toInt(),
             3);
}

void tst_backup::secondBackupOfADayReplacesTheFirst()
{
    Program p;
    p.commands.Backup();
    addVendor(p.db.connect(), QStringLiteral("Quick Plumbing"));
    Clock::fixAt(QDateTime(QDate(2026, 12, 7), QTime(18, 0, 0)));
    p.commands.Backup();
    QCOMPARE(filesIn(p.backupFolder()), QStringList{QStringLiteral("HALVO_1272026.mdb")});
    QCOMPARE(vendorsIn(p.backupFolder() + QStringLiteral("/HALVO_1272026.mdb")),
             (QStringList{"Acme Property Mgmt", "City Water", "Quick Plumbing"}));
}

// 11 January and 1 November give one name: the January backup is kept under its own date.
void tst_backup::olderBackupOfTheSameNameIsMovedAside()
{
    Program p;
    Clock::fixAt(QDateTime(QDate(2026, 1, 11), QTime(10, 0, 0)));
    p.commands.Backup();
    const QString name = p.backupFolder() + QStringLiteral("/HALVO_1112026.mdb");
    QFile january(name);
    QVERIFY(january.open(QIODevice::ReadWrite));
    QVERIFY(january.setFileTime(QDateTime(QDate(2026, 1, 11), QTime(10, 0, 0)),
                                QFileDevice::FileModificationTime));
    january.close();

    addVendor(p.db.connect(), QStringLiteral("Quick Plumbing"));
    Clock::fixAt(QDateTime(QDate(2026, 11, 1), QTime(10, 0, 0)));
    p.commands.Backup();
    QCOMPARE(filesIn(p.backupFolder()),
             (QStringList{"HALVO_1112026 from 2026-01-11.mdb", "HALVO_1112026.mdb"}));
    QCOMPARE(vendorsIn(p.backupFolder() + QStringLiteral("/HALVO_1112026 from 2026-01-11.mdb")),
             (QStringList{"Acme Property Mgmt", "City Water"}));
    QCOMPARE(vendorsIn(name), (QStringList{"Acme Property Mgmt", "City Water", "Quick Plumbing"}));
}

void tst_backup::failuresAreReported_data()
{
    QTest::addColumn<QString>("breakage");
    QTest::addColumn<QString>("message");
    QTest::newRow("a file where the backup folder belongs")
        << "file named backup"
        << "The backup folder \"%1/backup\" could not be made: File exists";
    QTest::newRow("no live database") << "no database" << "\"%1/halvo0905.mdb\" is not valid file name.";
    QTest::newRow("a folder where today's backup belongs")
        << "folder named like the backup"
        << "The database could not be backed up to:\r\n%1/backup/HALVO_1272026.mdb\r\n\r\n";
}

// A failure is told with its reason, never as success.
void tst_backup::failuresAreReported()
{
    QFETCH(QString, breakage);
    QFETCH(QString, message);
    Program p;
    if (breakage == QLatin1String("file named backup")) {
        QFile f(p.backupFolder());
        QVERIFY(f.open(QIODevice::WriteOnly));
    } else if (breakage == QLatin1String("no database")) {
        releaseDatabase(p.db.path());
        QVERIFY(QFile::remove(p.db.path()));
    } else {
        QVERIFY(QDir().mkpath(p.backupFolder() + QStringLiteral("/HALVO_1272026.mdb")));
    }
    p.commands.Backup();
    QCOMPARE(p.prompts.shown.size(), 1);
    QVERIFY2(p.prompts.shown.first().text.startsWith(message.arg(p.db.folder())),
             qPrintable(p.prompts.shown.first().text));
    QVERIFY(!p.prompts.shown.first().text.contains(QStringLiteral("has been backed up")));
}

void tst_backup::restore_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<bool>("windowsClose");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("vendorsAfter");

    const QStringList before{"Acme Property Mgmt", "City Water"};
    const QStringList restored{"Acme Property Mgmt", "City Water", "From the backup"};
    QTest::newRow("a good backup")
        << "backup" << QList<Answer>{} << true
        << QStringList{restoreQuestion, "Backup has been restored..."} << restored;
    QTest::newRow("answered No") << "backup" << QList<Answer>{Answer::No} << true
                                 << QStringList{restoreQuestion} << before;
    QTest::newRow("dialog cancelled") << "" << QList<Answer>{} << true
                                      << QStringList{restoreQuestion} << before;
    QTest::newRow("a typed name of no file")
        << "missing" << QList<Answer>{} << true
        << QStringList{restoreQuestion, "\"%1/backup/HALVO_1012026.mdb\" is not valid file name."}
        << before;
    QTest::newRow("not a database")
        << "random" << QList<Answer>{} << true
        << QStringList{restoreQuestion, "The file \"%1/backup/notes.mdb\" cannot be restored: "}
        << before;
    QTest::newRow("another password")
        << "other key" << QList<Answer>{} << true
        << QStringList{restoreQuestion, "The file \"%1/backup/other.mdb\" cannot be restored: "}
        << before;
    // The program holds the live file open, as it always does while it runs.
    QTest::newRow("the live file itself")
        << "live" << QList<Answer>{} << true
        << QStringList{restoreQuestion, "The file \"%1/halvo0905.mdb\" cannot be restored: "
                                        "\"%1/halvo0905.mdb\" is the database file in use.\r\n\r\n"
                                            + leftAlone}
        << before;
    QTest::newRow("a window stays open")
        << "backup" << QList<Answer>{} << false
        << QStringList{restoreQuestion,
                       "The backup was not restored: a window that shows the data stayed open. "
                       "Close it and restore again.\r\n\r\n"
                           + leftAlone}
        << before;
}

void tst_backup::restore()
{
    QFETCH(QString, choice);
    QFETCH(QList<Answer>, answers);
    QFETCH(bool, windowsClose);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, vendorsAfter);

    Program p;
    // A backup of a day with one vendor more than the live file has now.
    addVendor(p.db.connect(), QStringLiteral("From the backup"));
    p.commands.Backup();
    QVERIFY(p.db.connect().execute(
        QStringLiteral("DELETE FROM tblVendor WHERE Company = 'From the backup'")));
    p.prompts.shown.clear();
    const QString backupFile = p.backupFolder() + QStringLiteral("/HALVO_1272026.mdb");

    QString chosen;
    if (choice == QLatin1String("backup")) {
        chosen = backupFile;
    } else if (choice == QLatin1String("missing")) {
        chosen = p.backupFolder() + QStringLiteral("/HALVO_1012026.mdb");
    } else if (choice == QLatin1String("random")) {
        chosen = p.backupFolder() + QStringLiteral("/notes.mdb");
        QFile f(chosen);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(8192, '\x5a'));
    } else if (choice == QLatin1String("other key")) {
        chosen = p.backupFolder() + QStringLiteral("/other.mdb");
        QVERIFY(createDatabase(chosen, QStringLiteral("not vintra")));
    } else if (choice == QLatin1String("live")) {
        chosen = p.db.path();
    }
    for (Answer a : answers)
        p.prompts.queueAnswer(a);
    p.prompts.queueFileName(chosen);
    p.windowsClose = windowsClose;
    // The live file alone, its log emptied into it, is what stays as it was.
    releaseDatabase(p.db.path());
    const QByteArray liveBefore = hashOf(p.db.path());
    const QStringList programFilesBefore = filesIn(p.db.folder());
    const QString cwd = QDir::currentPath();

    std::optional<Connection> held;
    if (choice == QLatin1String("live"))
        held = p.db.connect();
    p.commands.Restore();
    QDir::setCurrent(cwd);
    held.reset();

    QCOMPARE(p.prompts.shown.size(), messages.size());
    for (int i = 0; i < messages.size(); ++i)
        QVERIFY2(p.prompts.shown[i].text.startsWith(
                     QString(messages[i]).replace(QStringLiteral("%1"), p.db.folder())),
                 qPrintable(p.prompts.shown[i].text));
    QCOMPARE(p.prompts.shown.first().title, QStringLiteral("Restore Database"));
    if (messages.size() > 1)
        QCOMPARE(p.prompts.shown.last().title, choice == QLatin1String("missing")
                                                   ? QStringLiteral("HALVO")
                                                   : QStringLiteral("Restore from Backup"));
    if (choice == QLatin1String("random") || choice == QLatin1String("other key")
        || choice == QLatin1String("live"))
        QVERIFY(p.prompts.shown.last().text.endsWith(leftAlone));
    if (answers.isEmpty()) {
        QCOMPARE(p.prompts.dialogs.size(), 1);
        const ShownFileDialog& d = p.prompts.dialogs.first();
        QCOMPARE(d.caption, QStringLiteral("Restore From Backup"));
        QCOMPARE(d.folder, p.backupFolder());
        QCOMPARE(d.filter, QStringLiteral("All Files (*.*);;Database Files(*.mdb)"));
        QCOMPARE(d.selectedFilter, QStringLiteral("Database Files(*.mdb)"));
    }

    releaseDatabase(p.db.path());
    const QByteArray liveAfter = hashOf(p.db.path());
    const QStringList programFilesAfter = filesIn(p.db.folder());
    QCOMPARE(vendorsIn(p.db.path()), vendorsAfter);
    const bool replaced = vendorsAfter.contains(QStringLiteral("From the backup"));
    QCOMPARE(p.propertyEditorShown, replaced ? 1 : 0);
    if (replaced) {
        // The replaced file is kept beside the live one, whole.
        const QString kept =
            p.db.folder() + QStringLiteral("/halvo0905 before restore 2026-12-07 13-05-09.mdb");
        QCOMPARE(vendorsIn(kept), (QStringList{"Acme Property Mgmt", "City Water"}));
        QVERIFY(!QFileInfo::exists(p.db.path() + QStringLiteral(".restoring")));
    } else {
        QCOMPARE(liveAfter, liveBefore);
        QCOMPARE(programFilesAfter, programFilesBefore);
    }
}

void tst_backup::restoreRefusedWhileTheFileIsInUse()
{
    Program p;
    p.commands.Backup();
    p.prompts.shown.clear();
    releaseDatabase(p.db.path());
    const QByteArray liveBefore = hashOf(p.db.path());
    Connection stillOpen = p.db.connect();
    p.prompts.queueFileName(p.backupFolder() + QStringLiteral("/HALVO_1272026.mdb"));
    const QString cwd = QDir::currentPath();
    p.commands.Restore();
    QDir::setCurrent(cwd);
    QCOMPARE(p.prompts.shown.size(), 2);
    QCOMPARE(p.prompts.shown.last().text,
             QStringLiteral("The backup could not be restored: The database file \"%1\" is still "
                            "in use by an open window.\r\n\r\n")
                     .arg(p.db.path())
                 + leftAlone);
    QVERIFY(stillOpen.scalar(QStringLiteral("SELECT count(*) FROM tblVendor")));
    QVERIFY(Connection::openFile(p.db.path(), DatabasePassword)
                .value()
                .scalar(QStringLiteral("SELECT count(*) FROM tblVendor")));
    // The live file's bytes are read only once no connection holds it.
    stillOpen = Connection::openFile(p.backupFolder() + QStringLiteral("/HALVO_1272026.mdb"),
                                     DatabasePassword)
                    .value();
    releaseDatabase(p.db.path());
    QCOMPARE(hashOf(p.db.path()), liveBefore);
}

void tst_backup::restoreStoppedBetweenItsSteps_data()
{
    QTest::addColumn<QString>("killedAt");
    QTest::addColumn<QStringList>("vendorsAfter");
    const QStringList before{"Acme Property Mgmt", "City Water"};
    QTest::newRow("during the copy") << "copying" << before;
    QTest::newRow("the copy whole") << "copied" << before;
    QTest::newRow("the old file kept") << "kept" << before;
    QTest::newRow("the restored file in place")
        << "placed" << QStringList{"Acme Property Mgmt", "City Water", "From the backup"};
}

// The program killed at each step of a restore (a power cut, a crash) leaves a database under
// the live name that holds the old records or the restored ones, never none; and the first
// start of a packaged install then finds it and places no empty one.
void tst_backup::restoreStoppedBetweenItsSteps()
{
    QFETCH(QString, killedAt);
    QFETCH(QStringList, vendorsAfter);
    const char* childFolder = "HALVO_TEST_RESTORE_FOLDER";
    if (qEnvironmentVariableIsSet(childFolder)) {
        const QString folder = qEnvironmentVariable(childFolder);
        const auto killHere = [&](const QString& step) {
            if (step == killedAt)
                ::raise(SIGKILL);
        };
        (void)replaceLiveDatabase(
            folder + QStringLiteral("/backup/HALVO_1272026.mdb"), databasePath(folder),
            folder + QStringLiteral("/halvo0905 before restore 2026-12-07 13-05-09.mdb"),
            [&](qint64, qint64) {
                killHere(QStringLiteral("copying"));
                return true;
            },
            [&](RestoreStep step) {
                killHere(step == RestoreStep::Copied ? QStringLiteral("copied")
                         : step == RestoreStep::Kept ? QStringLiteral("kept")
                                                     : QStringLiteral("placed"));
            });
        QFAIL("the restore ran to its end");
    }
    Program p;
    addVendor(p.db.connect(), QStringLiteral("From the backup"));
    p.commands.Backup();
    QVERIFY(p.db.connect().execute(
        QStringLiteral("DELETE FROM tblVendor WHERE Company = 'From the backup'")));
    releaseDatabase(p.db.path());

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(childFolder), p.db.folder());
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("restoreStoppedBetweenItsSteps:")
                 + QString::fromLatin1(QTest::currentDataTag())});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);

    QVERIFY(QFileInfo(p.db.path()).isFile());
    QCOMPARE(vendorsIn(p.db.path()), vendorsAfter);
    const QString delivered = p.db.folder() + QStringLiteral("/usr/share/halvo");
    QVERIFY(QDir().mkpath(delivered));
    QVERIFY(createDatabase(delivered + QStringLiteral("/halvo0905.mdb"), DatabasePassword));
    QVERIFY(placeDeliveredFile({delivered, p.db.folder()}, QStringLiteral("halvo0905.mdb")));
    QCOMPARE(vendorsIn(p.db.path()), vendorsAfter);
}

void tst_backup::snapshotIsCompactedAndEncrypted()
{
    Program p;
    {
        Connection c = p.db.connect();
        for (int i = 0; i < 2000; ++i)
            addVendor(c, QStringLiteral("Gone %1 ").arg(i) + QString(300, QLatin1Char('y')));
        QVERIFY(c.execute(QStringLiteral("DELETE FROM tblVendor WHERE Company LIKE 'Gone%'")));
        QVERIFY(c.checkpoint());
    }
    const QString elsewhere = p.db.folder() + QStringLiteral("/on a stick.mdb");
    p.prompts.queueFileName(elsewhere);
    p.commands.SaveToDisk();

    const QString snapshot = p.backupFolder() + QStringLiteral("/HALVO1.0_7122026_1359.mdb");
    QVERIFY(p.prompts.shown.isEmpty());
    QCOMPARE(filesIn(p.backupFolder()), QStringList{QStringLiteral("HALVO1.0_7122026_1359.mdb")});
    QVERIFY(checkDatabaseCopy(snapshot, DatabasePassword));
    QCOMPARE(vendorsIn(snapshot), (QStringList{"Acme Property Mgmt", "City Water"}));
    QVERIFY(QFileInfo(snapshot).size() * 4 < QFileInfo(p.db.path()).size());
    QFile raw(snapshot);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QVERIFY(!raw.readAll().startsWith("SQLite format 3"));

    QCOMPARE(p.prompts.dialogs.size(), 1);
    QCOMPARE(p.prompts.dialogs.first().caption, QStringLiteral("Save Database to Disk"));
    QCOMPARE(p.prompts.dialogs.first().folder, snapshot);
    QCOMPARE(p.prompts.dialogs.first().selectedFilter, QStringLiteral("Database Files(*.mdb)"));
    QCOMPARE(vendorsIn(elsewhere), (QStringList{"Acme Property Mgmt", "City Water"}));
}

void tst_backup::snapshotNeverSavedOverTheLiveFile_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("the database file") << "halvo0905.mdb";
    QTest::newRow("its write-ahead log") << "halvo0905.mdb-wal";
}

void tst_backup::snapshotNeverSavedOverTheLiveFile()
{
    QFETCH(QString, target);
    Program p;
    Connection held = p.db.connect();
    p.prompts.queueFileName(p.db.folder() + QLatin1Char('/') + target);
    p.commands.SaveToDisk();
    QCOMPARE(p.prompts.texts(),
             QStringList{QStringLiteral("\"%1\" is the database file HALVO has open (or part of "
                                        "it); choose another file.")
                             .arg(target)});
    QCOMPARE(p.prompts.shown.first().title, QStringLiteral("Save Database to Disk"));
    addVendor(held, QStringLiteral("Saved after"));
    releaseDatabase(p.db.path());
    QCOMPARE(vendorsIn(p.db.path()), (QStringList{"Acme Property Mgmt", "City Water", "Saved after"}));
}

// A window saves while the file is keyed anew: the new file would not hold the change, so the
// file stays as it was, with its key and the change.
void tst_backup::rekeyRefusedWhenAChangeIsSavedDuringTheCopy()
{
    test::TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.executeScript(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
        "INSERT INTO tblVendor (Company) SELECT 'Vendor ' || i || hex(zeroblob(100)) FROM n")));
    int calls = 0;
    const Status keyed = rekeyLiveDatabase(c, QStringLiteral("another key"), std::nullopt,
                                           [&](qint64, qint64) {
                                               if (calls++ == 0)
                                                   addVendor(c, QStringLiteral("Saved while keying"));
                                               return true;
                                           });
    QVERIFY(calls >= 1);
    QVERIFY(!keyed);
    QCOMPARE(keyed.error().description,
             QStringLiteral("A change was saved while the database was being keyed anew; nothing "
                            "was changed. Try again."));
    QCOMPARE(fileKey(db.path()), QStringLiteral("vintra"));
    QVERIFY(!QFileInfo::exists(db.path() + QStringLiteral(".rekeyed")));
    releaseDatabase(db.path());
    QCOMPARE(vendorsIn(db.path()).size(), 3001);
}

// On a machine others use too, the records are the user's alone, whatever the umask: the
// backup folder and the copies in it, the file a restore put in place and the one it kept.
void tst_backup::copiesAreTheUsersAlone()
{
    const mode_t umaskBefore = ::umask(022);
    Program p;
    addVendor(p.db.connect(), QStringLiteral("From the backup"));
    p.commands.Backup();
    Clock::fixAt(QDateTime(QDate(2026, 12, 7), QTime(14, 0, 0)));
    p.commands.SaveToDisk();
    p.prompts.queueFileName(p.backupFolder() + QStringLiteral("/HALVO_1272026.mdb"));
    const QString cwd = QDir::currentPath();
    releaseDatabase(p.db.path());
    p.commands.Restore();
    QDir::setCurrent(cwd);
    ::umask(umaskBefore);
    const auto mode = [](const QString& path) {
        struct stat info {};
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777)
                                                                       : -1;
    };
    QCOMPARE(mode(p.backupFolder()), 0700);
    QCOMPARE(mode(p.backupFolder() + QStringLiteral("/HALVO_1272026.mdb")), 0600);
    QCOMPARE(mode(p.backupFolder() + QStringLiteral("/HALVO1.0_7122026_1400.mdb")), 0600);
    QCOMPARE(mode(p.db.path()), 0600);
    QCOMPARE(mode(p.db.folder() + QStringLiteral("/halvo0905 before restore 2026-12-07 14-00-00.mdb")),
             0600);
}

// A copy written table by table that lost the number of the steps its file had taken would take
// them all again when opened, and a step that may be taken only once would fail on it.
enum class CopyKind { Compacted, BackupKeyedAnew };

void tst_backup::copiesKeepTheSchemaStepsTaken_data()
{
    QTest::addColumn<CopyKind>("kind");
    QTest::newRow("compacted snapshot") << CopyKind::Compacted;
    QTest::newRow("backup keyed anew for a restore") << CopyKind::BackupKeyedAnew;
}

void tst_backup::copiesKeepTheSchemaStepsTaken()
{
    QFETCH(CopyKind, kind);
    test::TempDatabase db;
    (void)db.connect();
    releaseDatabase(db.path());
    const int taken = schemaStepIn(db.path(), DatabasePassword);
    QVERIFY(taken > 0);

    const QString copy = db.folder() + QStringLiteral("/copy.mdb");
    const QString newKey = QStringLiteral("another key");
    const Status made =
        kind == CopyKind::Compacted
            ? writeCompactedCopy(db.connect(), copy, DatabasePassword)
            : writeRekeyedCopy(db.path(), DatabasePassword, copy, newKey, std::nullopt);
    QVERIFY2(made, qPrintable(made ? QString() : made.error().description));
    releaseDatabase(db.path());
    QCOMPARE(schemaStepIn(copy, kind == CopyKind::Compacted ? DatabasePassword : newKey), taken);
}

QTEST_MAIN(tst_backup)
#include "tst_backup.moc"
