// The start-up on database files that are not the user's database, or that the program cannot
// work on: each is named to the user with what is wrong with it, no window that could write to it
// is shown, and the file (or the folder in its place, or its absence) is left exactly as it was.
// The two good files go on to the first-run window and to the login.

#include "shell_test_support.h"

#include "shell/password_store.h"
#include "shell/login_window.h"
#include "shell/startup.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>
#include <QLineEdit>
#include <QSignalSpy>
#include <QWidget>
#include <fcntl.h>
#include <sys/stat.h>
#include <sqlite3.h>

using namespace halvo;
using testing::ProgramFolder;

namespace {

// What stands at the database's path when the program starts.
enum class AtPath {
    Missing,
    Empty,
    HalfLength,       // a real database cut to half its length
    CutInLastPage,    // a real database missing the end of its last page
    RandomBytes,      // a length no database has
    RandomWholePages, // random bytes the length of a real database
    Unencrypted,      // a plain SQLite database with the same tables
    OtherPassword,    // an encrypted database keyed with another password
    NoUserTable,      // the right password, but no tblUser
    NewerProgram,     // a newer HALVO has taken schema steps this one does not know
    ReadOnly,         // chmod 0444
    Folder,
    FirstRun,         // the delivered database: tblUser empty
    PasswordSet,
};

// Which of the program's windows is on the screen afterwards.
enum class Window { None, SetPass, Login };

const QString fileName = QStringLiteral("halvo0905.mdb");

QString filePath(const ProgramFolder& folder)
{
    return QFileInfo(QDir(folder.path()).filePath(fileName)).absoluteFilePath();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray randomBytes(qint64 size)
{
    QRandomGenerator random(20260905);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& b : bytes)
        b = char(random.bounded(256));
    return bytes;
}

void makePlainDatabase(const QString& path)
{
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
             SQLITE_OK);
    const QByteArray script =
        (schemaScript() + QStringLiteral(";INSERT INTO tblUser (Password) VALUES ('Secret');"))
            .toUtf8();
    const int rc = sqlite3_exec(db, script.constData(), nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
    QCOMPARE(rc, SQLITE_OK);
}

// Leaves the case at the database's path. The real databases hold a password, as a user's would,
// and are closed again so that the file alone holds everything.
void prepare(ProgramFolder& folder, AtPath at)
{
    const QString path = filePath(folder);
    if (at != AtPath::FirstRun)
        folder.exec(QStringLiteral("INSERT INTO tblUser (Password) VALUES (?)"),
                    {PasswordStore::hash(QStringLiteral("Secret")).value()});
    if (at == AtPath::NoUserTable)
        folder.exec(QStringLiteral("DROP TABLE tblUser"));
    if (at == AtPath::NewerProgram)
        folder.exec(QStringLiteral("PRAGMA user_version = 1000"));
    releaseDatabase(path);
    const qint64 size = QFileInfo(path).size();
    switch (at) {
    case AtPath::Missing: QVERIFY(QFile::remove(path)); break;
    case AtPath::Empty: writeFile(path, {}); break;
    case AtPath::HalfLength: QVERIFY(QFile::resize(path, size / 2)); break;
    case AtPath::CutInLastPage: QVERIFY(QFile::resize(path, size - 1000)); break;
    case AtPath::RandomBytes: writeFile(path, randomBytes(10000)); break;
    case AtPath::RandomWholePages: writeFile(path, randomBytes(size)); break;
    case AtPath::Unencrypted:
        QVERIFY(QFile::remove(path));
        makePlainDatabase(path);
        break;
    case AtPath::OtherPassword:
        QVERIFY(QFile::remove(path));
        QVERIFY(createDatabase(path, QStringLiteral("another password")).ok());
        break;
    case AtPath::ReadOnly:
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        break;
    case AtPath::Folder:
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkpath(path));
        writeFile(QDir(path).filePath(QStringLiteral("inside.txt")), "kept\n");
        break;
    case AtPath::NoUserTable:
    case AtPath::NewerProgram:
    case AtPath::FirstRun:
    case AtPath::PasswordSet: break;
    }
}

// Everything the program could have changed: the program folder's names (the instance lock's
// folder aside, which the start-up makes), and the bytes and permissions of what stands at the
// database's path. A good database is the program's to work on (its first opening turns on the
// write-ahead log, in the file's header): of that, what tblUser holds.
QStringList snapshot(const ProgramFolder& folder, bool badFile)
{
    QStringList seen = QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden
                                                     | QDir::System | QDir::NoDotAndDotDot);
    seen.removeAll(QStringLiteral("run"));
    // The settings the start carries over into the data folder are not the database's.
    seen.removeAll(QStringLiteral("settings.ini"));
    const QString path = filePath(folder);
    const QFileInfo at(path);
    if (at.isDir()) {
        seen << QStringLiteral("folder holding:")
             << QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    } else if (!badFile) {
        const Rows rows =
            folder.db().select(QStringLiteral("SELECT Password FROM tblUser ORDER BY rowid")).value();
        for (const QVariantList& row : rows.values)
            seen << row.value(0).toString();
        releaseDatabase(path);
    } else if (at.exists()) {
        if (heldByEngine(path))
            qFatal("the test reads a database file that a connection holds");
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {QStringLiteral("unreadable")};
        seen << QString::number(file.size())
             << QString::fromLatin1(
                    QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex())
             << QString::number(int(at.permissions()), 16);
    }
    return seen;
}

QStringList visibleWindows()
{
    QStringList names;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            names << w->objectName();
    return names;
}

} // namespace

Q_DECLARE_METATYPE(AtPath)
Q_DECLARE_METATYPE(Window)

class tst_shell_bad_files : public QObject {
    Q_OBJECT
private slots:
    void startOnTheFile_data();
    void startOnTheFile();
    void startOnTheFileAsItWasLeft_data();
    void startOnTheFileAsItWasLeft();
};

void tst_shell_bad_files::startOnTheFile_data()
{
    QTest::addColumn<AtPath>("at");
    QTest::addColumn<QString>("message"); // %1: the database file's path; empty: no message
    QTest::addColumn<Window>("window");

    const QString putBack = QStringLiteral(
        "Put the database file, or a backup copy of it, in that folder and start HALVO "
        "again.");
    const QString leftAlone = QStringLiteral("HALVO has left the file as it is. ");

    QTest::newRow("missing")
        << AtPath::Missing
        << QStringLiteral("The database file \"%1\" was not found.\n\nHALVO keeps all its records "
                          "in this file and has not made a new one in its place. ")
               + putBack
        << Window::None;
    QTest::newRow("empty, 0 bytes")
        << AtPath::Empty
        << QStringLiteral("The database file \"%1\" is empty (0 bytes): it holds no records.\n\n")
               + leftAlone + putBack
        << Window::None;
    const QString damaged = QStringLiteral(
        "The database file \"%1\" is damaged: part of it is missing or cannot be read, as when a "
        "copy of it was cut short.\n\n") + leftAlone + putBack;
    QTest::newRow("truncated to half its length") << AtPath::HalfLength << damaged << Window::None;
    QTest::newRow("truncated inside its last page")
        << AtPath::CutInLastPage << damaged << Window::None;
    QTest::newRow("random bytes")
        << AtPath::RandomBytes
        << QStringLiteral("The file \"%1\" is not a HALVO database.\n\n") + leftAlone + putBack
        << Window::None;
    const QString otherPassword = QStringLiteral(
        "The database file \"%1\" does not open with the password of HALVO: it was encrypted with "
        "another password, or it is not a HALVO database.\n\n") + leftAlone + putBack;
    // Random bytes of a database's length cannot be told from an encrypted file.
    QTest::newRow("random bytes in whole pages")
        << AtPath::RandomWholePages << otherPassword << Window::None;
    QTest::newRow("unencrypted SQLite database")
        << AtPath::Unencrypted
        << QStringLiteral("The file \"%1\" is an unencrypted database, not a HALVO database: "
                          "HALVO keeps its records encrypted.\n\n")
               + leftAlone + putBack
        << Window::None;
    QTest::newRow("encrypted with another password")
        << AtPath::OtherPassword << otherPassword << Window::None;
    QTest::newRow("no tblUser")
        << AtPath::NoUserTable
        << QStringLiteral("The database file \"%1\" cannot be read:\nno such table: tblUser\n\n"
                          "HALVO has left the file as it is.")
        << Window::None;
    QTest::newRow("written by a newer HALVO")
        << AtPath::NewerProgram
        << QStringLiteral("The database file \"%1\" was written by a newer version of HALVO, which "
                          "keeps its records in a way this one does not know.\n\nHALVO has left "
                          "the file as it is. Start that version of HALVO to work with it.")
        << Window::None;
    QTest::newRow("read-only, 0444")
        << AtPath::ReadOnly
        << QStringLiteral("The database file \"%1\" is read-only, so HALVO cannot save records in "
                          "it.\n\nHALVO has left the file as it is. Allow changes to the file and "
                          "start HALVO again.")
        << Window::None;
    QTest::newRow("a folder in its place")
        << AtPath::Folder
        << QStringLiteral("There is a folder where the database file belongs: \"%1\".\n\nHALVO "
                          "has left the folder as it is. Move the folder elsewhere, put the "
                          "database file, or a backup copy of it, in its place and start HALVO "
                          "again.")
        << Window::None;
    QTest::newRow("first run: tblUser empty") << AtPath::FirstRun << QString() << Window::SetPass;
    QTest::newRow("a password is set") << AtPath::PasswordSet << QString() << Window::Login;
}

void tst_shell_bad_files::startOnTheFile()
{
    QFETCH(AtPath, at);
    QFETCH(QString, message);
    QFETCH(Window, window);
    ProgramFolder folder;
    prepare(folder, at);
    if (QTest::currentTestFailed())
        return;
    const QStringList before = snapshot(folder, window == Window::None);

    {
        Startup startup(Folders::portableAt(folder.path()), folder.lockFolder());
        QCOMPARE(startup.start(), window != Window::None);
        if (message.isEmpty()) {
            QVERIFY(folder.scripted.shown.isEmpty());
        } else {
            QCOMPARE(folder.scripted.texts(), QStringList{message.arg(filePath(folder))});
            const ShownMessage& shown = folder.scripted.shown.first();
            QCOMPARE(shown.title, QStringLiteral("HALVO"));
            QCOMPARE(shown.icon, Prompts::Icon::Critical);
            QCOMPARE(shown.buttons, Prompts::Buttons::Ok);
        }
        const QStringList expected = window == Window::SetPass ? QStringList{"frmSetPass"}
                                     : window == Window::Login ? QStringList{"frmLogin"}
                                                               : QStringList{};
        QCOMPARE(visibleWindows(), expected);
    }

    releaseDatabase(filePath(folder));
    QCOMPARE(snapshot(folder, window == Window::None), before);
    // A database the start takes is made the user's alone; one it refuses is left as it was.
    if (window != Window::None)
        QCOMPARE(QFile::permissions(filePath(folder)) & QFile::Permissions(0x0077),
                 QFile::Permissions{});
    QFile::setPermissions(filePath(folder), QFile::ReadOwner | QFile::WriteOwner);
}

enum class SinceLeft { Unchanged, DamagedTimePutBack, Damaged };
Q_DECLARE_METATYPE(SinceLeft)

// After a session that logged in and ended, the file as it was left shows the login at once and
// is checked right after; a file damaged since, with its time put back so that it looks as it was
// left, is still refused once the check has run; one damaged since is checked first, as always.
void tst_shell_bad_files::startOnTheFileAsItWasLeft_data()
{
    QTest::addColumn<SinceLeft>("since");
    QTest::addColumn<bool>("loginAtOnce");
    QTest::addColumn<bool>("loginAfter");
    QTest::newRow("as it was left") << SinceLeft::Unchanged << true << true;
    QTest::newRow("damaged, its time put back") << SinceLeft::DamagedTimePutBack << true << false;
    QTest::newRow("damaged") << SinceLeft::Damaged << false << false;
}

void tst_shell_bad_files::startOnTheFileAsItWasLeft()
{
    QFETCH(SinceLeft, since);
    QFETCH(bool, loginAtOnce);
    QFETCH(bool, loginAfter);
    ProgramFolder folder;
    prepare(folder, AtPath::PasswordSet);
    const QString path = filePath(folder);
    {
        Startup session(Folders::portableAt(folder.path()), folder.lockFolder());
        QVERIFY(session.start());
        session.loginWindow()->txtPass->setText(QStringLiteral("Secret"));
        session.loginWindow()->Login_Click();
        QVERIFY(session.mainWindow());
    }
    QVERIFY(!heldByEngine(path));
    struct stat left {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &left), 0);
    if (since != SinceLeft::Unchanged) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.write(randomBytes(file.size())) == left.st_size);
        file.close();
    }
    if (since == SinceLeft::DamagedTimePutBack) {
        const struct timespec times[2] = {left.st_atim, left.st_mtim};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    }
    folder.scripted.shown.clear();

    Startup startup(Folders::portableAt(folder.path()), folder.lockFolder());
    QSignalSpy ended(&startup, &Startup::finished);
    QCOMPARE(startup.start(), loginAtOnce);
    QCOMPARE(visibleWindows(), loginAtOnce ? QStringList{"frmLogin"} : QStringList{});
    // The check runs once the login has been painted.
    QTRY_COMPARE(visibleWindows(), loginAfter ? QStringList{"frmLogin"} : QStringList{});
    QTest::qWait(loginAfter ? 300 : 0);
    QCOMPARE(folder.scripted.texts(),
             loginAfter ? QStringList{}
                        : QStringList{QStringLiteral(
                              "The database file \"%1\" does not open with the password of HALVO: "
                              "it was encrypted with another password, or it is not a HALVO "
                              "database.\n\nHALVO has left the file as it is. Put the database "
                              "file, or a backup copy of it, in that folder and start HALVO again.")
                                          .arg(path)});
    QCOMPARE(ended.count(), loginAtOnce && !loginAfter ? 1 : 0);
}

QTEST_MAIN(tst_shell_bad_files)
#include "tst_shell_bad_files.moc"
