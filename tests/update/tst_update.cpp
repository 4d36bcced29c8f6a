// The update check against a real HTTP server on 127.0.0.1 started by the test: what the status
// window says, the message the user is shown, the requests made and the files left in the program
// folder afterwards. The files on the server are signed with a key pair made by the test.

#include "update/download_file.h"
#include "update/internet_transfer.h"
#include "update/update_manifest.h"
#include "update/update_window.h"

#include "hyperlink/vey_hyperlink_label.h"
#include "platform/program_files.h"
#include "platform/prompts.h"
#include "tests/support/signing_keys.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <sodium.h>

using namespace halvo;

namespace {

const QString ProgramVersion = QStringLiteral("1.0.8");
const QString NetworkMessage = QStringLiteral("Please, check your network connection.");
const QString Latest = QStringLiteral("Application is running latest version of HALVO...");
const QString Complete =
    QStringLiteral("Download complete... Restart application for updates to take affect.");
const QString ProgramFailed = QStringLiteral(
    "Application update could not be downloaded. Please, check your network connection.");
const QString HelpFailed = QStringLiteral("Help file update could not be downloaded. Restart "
                                          "application for the application update to take effect.");
const QString BothFailed = QStringLiteral("Application update and help file update could not be "
                                          "downloaded. Please, check your network connection.");

const QString VersionPath = QStringLiteral("/HALVOUpdate/version.txt");
const QString ProgramPath = QStringLiteral("/HALVOUpdate/HALVOUpdate.exe");
const QString HelpPath = QStringLiteral("/HALVOUpdate/HALVOHELP.HLP");
const QString ProgramSignaturePath = ProgramPath + ".sig";
const QString HelpSignaturePath = HelpPath + ".sig";

const QByteArray NewProgram = QByteArray("#!/bin/sh\n# new program\n") + QByteArray(80000, 'p');
const QByteArray NewHelp = QByteArray("<html><body>new help</body></html>") + QByteArray(40000, 'h');
const QByteArray OldHelp = "<html><body>old help</body></html>";
const QByteArray OldBackup = "<html><body>older help</body></html>";

// What the server answers on one path.
struct Route {
    int status = 200;
    QByteArray body;
    bool cutOff = false; // announces the whole body, sends half of it and closes the connection
    int delayMs = 0;
};

// A small HTTP/1.1 server: one answer per connection, then the connection is closed.
class TestServer : public QObject {
public:
    TestServer()
    {
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server.nextPendingConnection())
                serve(socket);
        });
    }

    bool start() { return server.listen(QHostAddress::LocalHost); }
    quint16 port() const { return server.serverPort(); }

    QHash<QString, Route> routes;
    QStringList requested;

private:
    QTcpServer server;

    void serve(QTcpSocket* socket)
    {
        auto* received = new QByteArray;
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QObject::destroyed, this, [received] { delete received; });
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, received] {
            received->append(socket->readAll());
            if (!received->contains("\r\n\r\n") || received->isEmpty())
                return;
            const QString path = QString::fromLatin1(received->split(' ').value(1));
            received->clear();
            requested.append(path);
            const Route route = routes.value(path, Route{404, "not found"});
            QTimer::singleShot(route.delayMs, socket, [socket, route] { answer(socket, route); });
        });
    }

    static void answer(QTcpSocket* socket, const Route& route)
    {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(route.status)
                          + (route.status == 200 ? " OK" : " Not Found") + "\r\n"
                          + "Content-Type: application/octet-stream\r\n"
                          + "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n"
                          + "Connection: close\r\n\r\n";
        socket->write(head);
        socket->write(route.cutOff ? route.body.left(route.body.size() / 2) : route.body);
        socket->disconnectFromHost();
    }
};

QByteArray contentOf(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "(missing)";
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

// A port on which nothing listens.
quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void setHost(const QString& folder, const QString& host)
{
    QSettings ini(QDir(folder).filePath(QStringLiteral("halvo.ini")), QSettings::IniFormat);
    ini.setValue(QStringLiteral("Update/Host"), host);
}

enum class Server { Up, Down };

using testing::KeyPair;
using testing::makeKeyPair;
using testing::signedBy;

} // namespace

Q_DECLARE_METATYPE(Route)
Q_DECLARE_METATYPE(Server)

class tst_update : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void check_data();
    void check();
    void secondCheckIsRefused();
    void closeHidesAndNextCheckShowsAgain();
    void downloadFile_data();
    void downloadFile();
    void manifest_data();
    void manifest();

private:
    ScriptedPrompts scripted;
    KeyPair keys;      // the key the window checks against in these tests
    KeyPair otherKeys; // anyone else's
};

void tst_update::initTestCase()
{
    // The test's server is reached directly, never through a proxy of the machine.
    for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"})
        qunsetenv(name);
    QVERIFY(sodium_init() >= 0);
    keys = makeKeyPair();
    otherKeys = makeKeyPair();
}

void tst_update::init()
{
    scripted = ScriptedPrompts();
    setPrompts(&scripted);
}

void tst_update::cleanup() { setPrompts(nullptr); }

void tst_update::check_data()
{
    QTest::addColumn<Server>("server");
    QTest::addColumn<Route>("version");
    QTest::addColumn<Route>("program");
    QTest::addColumn<Route>("programSignature");
    QTest::addColumn<Route>("help");
    QTest::addColumn<Route>("helpSignature");
    QTest::addColumn<bool>("backupThere");   // "HALVOHELP.bak" exists before the check
    QTest::addColumn<bool>("earlierUpdate"); // a signed "HALVOUpdate.exe" of an earlier check
    QTest::addColumn<QString>("status");   // empty: the window is hidden
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<QByteArray>("programFile"); // "HALVOUpdate.exe" afterwards
    QTest::addColumn<QByteArray>("helpFile");
    QTest::addColumn<QByteArray>("backupFile");

    const Route program{200, NewProgram};
    const Route help{200, NewHelp};
    const Route missing{404, "not found"};
    const Route programSigned{200, signedBy(keys, NewProgram)};
    const Route helpSigned{200, signedBy(keys, NewHelp)};
    Route programChanged = programSigned;
    programChanged.body[0] = char(programChanged.body[0] ^ 0x01);
    Route helpChanged = helpSigned;
    helpChanged.body[63] = char(helpChanged.body[63] ^ 0x80);
    const Route programOtherKey{200, signedBy(otherKeys, NewProgram)};
    const QByteArray none = "(missing)";
    const QStringList all{VersionPath, ProgramPath, ProgramSignaturePath, HelpPath,
                          HelpSignaturePath};
    const QStringList versionOnly{VersionPath};
    const QStringList noProgram{VersionPath, ProgramPath, HelpPath, HelpSignaturePath};
    const QString programNotSigned = "The application update was not kept: \"HALVOUpdate.exe\" "
                                     "does not carry a valid signature from Corvane Software.";

    QTest::newRow("same version with blanks")
        << Server::Up << Route{200, "  1.0.8 \t\r\nignored second line\r\n"} << program
        << programSigned << help << helpSigned << false << false << Latest << QStringList{}
        << versionOnly << none << OldHelp << none;
    QTest::newRow("older version on the server")
        << Server::Up << Route{200, "1.0.7\r\n"} << program << programSigned << help << helpSigned
        << false << false << Complete << QStringList{} << all << NewProgram << NewHelp << OldHelp;
    QTest::newRow("newer version without line end")
        << Server::Up << Route{200, "1.1.0"} << program << programSigned << help << helpSigned
        << false << false << Complete << QStringList{} << all << NewProgram << NewHelp << OldHelp;
    QTest::newRow("server down")
        << Server::Down << Route{} << program << programSigned << help << helpSigned << false
        << false << QString() << QStringList{NetworkMessage} << QStringList{} << none << OldHelp
        << none;
    QTest::newRow("version file 404")
        << Server::Up << missing << program << programSigned << help << helpSigned << false << false
        << QString() << QStringList{NetworkMessage} << versionOnly << none << OldHelp << none;
    QTest::newRow("version file cut off")
        << Server::Up << Route{200, QByteArray("1.0.7\r\n") + QByteArray(4000, ' '), true}
        << program << programSigned << help << helpSigned << false << false << QString()
        << QStringList{NetworkMessage} << versionOnly << none << OldHelp << none;
    QTest::newRow("version file empty")
        << Server::Up << Route{200, ""} << program << programSigned << help << helpSigned << false
        << false << QString() << QStringList{NetworkMessage} << versionOnly << none << OldHelp
        << none;
    QTest::newRow("program 404") << Server::Up << Route{200, "1.0.7"} << missing << programSigned
                                 << help << helpSigned << false << false << ProgramFailed
                                 << QStringList{} << noProgram << none << NewHelp << OldHelp;
    QTest::newRow("program cut off mid-way")
        << Server::Up << Route{200, "1.0.7"} << Route{200, NewProgram, true} << programSigned
        << help << helpSigned << false << false << ProgramFailed << QStringList{} << noProgram
        << none << NewHelp << OldHelp;
    QTest::newRow("help cut off mid-way: the old help is put back")
        << Server::Up << Route{200, "1.0.7"} << program << programSigned
        << Route{200, NewHelp, true} << helpSigned << false << false << HelpFailed << QStringList{}
        << QStringList{VersionPath, ProgramPath, ProgramSignaturePath, HelpPath} << NewProgram
        << OldHelp << none;
    QTest::newRow("both 404") << Server::Up << Route{200, "1.0.7"} << missing << programSigned
                              << missing << helpSigned << false << false << BothFailed
                              << QStringList{} << QStringList{VersionPath, ProgramPath, HelpPath}
                              << none << OldHelp << none;
    QTest::newRow("existing HALVOHELP.bak")
        << Server::Up << Route{200, "1.0.7"} << program << programSigned << help << helpSigned
        << true << false << Complete << QStringList{} << all << NewProgram << NewHelp << OldBackup;

    // A download is kept only with a signature that checks against the key; the status says
    // which was not kept and why.
    QTest::newRow("program signature with one byte changed")
        << Server::Up << Route{200, "1.0.7"} << program << programChanged << help << helpSigned
        << false << false << programNotSigned << QStringList{} << all << none << NewHelp << OldHelp;
    QTest::newRow("program signed with another key")
        << Server::Up << Route{200, "1.0.7"} << program << programOtherKey << help << helpSigned
        << false << false << programNotSigned << QStringList{} << all << none << NewHelp << OldHelp;
    QTest::newRow("program signature missing")
        << Server::Up << Route{200, "1.0.7"} << program << missing << help << helpSigned << false
        << false
        << "The application update was not kept: the signature of \"HALVOUpdate.exe\" could "
           "not be downloaded."
        << QStringList{} << all << none << NewHelp << OldHelp;
    QTest::newRow("program refused: the earlier check's update goes too")
        << Server::Up << Route{200, "1.0.7"} << program << programChanged << help << helpSigned
        << false << true << programNotSigned << QStringList{} << all << none << NewHelp << OldHelp;
    QTest::newRow("earlier check's update replaced")
        << Server::Up << Route{200, "1.0.7"} << program << programSigned << help << helpSigned
        << false << true << Complete << QStringList{} << all << NewProgram << NewHelp << OldHelp;
    QTest::newRow("help signature with one byte changed: the old help is put back")
        << Server::Up << Route{200, "1.0.7"} << program << programSigned << help << helpChanged
        << false << false
        << "The help file update was not kept: \"HALVOHelp.hlp\" does not carry a valid "
           "signature from Corvane Software. Restart application for the application update to "
           "take effect."
        << QStringList{} << all << NewProgram << OldHelp << none;
    QTest::newRow("help signature missing beside an existing HALVOHELP.bak")
        << Server::Up << Route{200, "1.0.7"} << program << programSigned << help << missing << true
        << false
        << "The help file update was not kept: the signature of \"HALVOHelp.hlp\" could not be "
           "downloaded. Restart application for the application update to take effect."
        << QStringList{} << all << NewProgram << OldHelp << OldBackup;
    QTest::newRow("program signature missing, help 404")
        << Server::Up << Route{200, "1.0.7"} << program << missing << missing << helpSigned << false
        << false
        << "The application update was not kept: the signature of \"HALVOUpdate.exe\" could "
           "not be downloaded. Help file update could not be downloaded. Please, check your "
           "network connection."
        << QStringList{} << QStringList{VersionPath, ProgramPath, ProgramSignaturePath, HelpPath}
        << none << OldHelp << none;
    QTest::newRow("both signed with another key")
        << Server::Up << Route{200, "1.0.7"} << program << programOtherKey << help
        << Route{200, signedBy(otherKeys, NewHelp)} << false << false
        << programNotSigned
               + " The help file update was not kept: \"HALVOHelp.hlp\" does not "
                 "carry a valid signature from Corvane Software."
        << QStringList{} << all << none << OldHelp << none;
}

void tst_update::check()
{
    QFETCH(Server, server);
    QFETCH(Route, version);
    QFETCH(Route, program);
    QFETCH(Route, programSignature);
    QFETCH(Route, help);
    QFETCH(Route, helpSignature);
    QFETCH(bool, backupThere);
    QFETCH(bool, earlierUpdate);
    QFETCH(QString, status);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, requests);
    QFETCH(QByteArray, programFile);
    QFETCH(QByteArray, helpFile);
    QFETCH(QByteArray, backupFile);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QDir dir(folder.path());
    TestServer http;
    QVERIFY(http.start());
    http.routes = {{VersionPath, version},
                   {ProgramPath, program},
                   {ProgramSignaturePath, programSignature},
                   {HelpPath, help},
                   {HelpSignaturePath, helpSignature}};
    const quint16 port = server == Server::Up ? http.port() : closedPort();
    setHost(folder.path(), QStringLiteral("127.0.0.1:%1").arg(port));
    writeFile(helpFilePath(folder.path()), OldHelp);
    // The last check's answer is never taken for this one's.
    writeFile(dir.filePath("version.txt"), "1.0.8\r\n");
    if (backupThere)
        writeFile(dir.filePath("HALVOHELP.bak"), OldBackup);
    if (earlierUpdate) {
        writeFile(dir.filePath("HALVOUpdate.exe"), "earlier program");
        writeFile(dir.filePath("HALVOUpdate.exe.sig"), signedBy(keys, "earlier program"));
    }

    frmUpdate window(folder.path(), ProgramVersion, nullptr, keys.publicKey);
    QCOMPARE(window.windowTitle(), QStringLiteral("HALVO Update"));
    QCOMPARE(window.lblMessage->text(), QStringLiteral("Status..."));
    QVERIFY(window.CheckForUpdates());

    QCOMPARE(scripted.texts(), messages);
    for (const ShownMessage& shown : scripted.shown) {
        QCOMPARE(shown.title, QStringLiteral("HALVO"));
        QCOMPARE(shown.buttons, Prompts::Buttons::Ok);
    }
    QCOMPARE(window.isVisible(), !status.isEmpty());
    if (!status.isEmpty()) {
        QCOMPARE(window.lblMessage->text(), status);
        QVERIFY(window.Close->isVisible());
    }
    QCOMPARE(http.requested, requests);
    QCOMPARE(contentOf(dir.filePath("HALVOUpdate.exe")), programFile);
    QCOMPARE(contentOf(helpFilePath(folder.path())), helpFile);
    QCOMPARE(contentOf(dir.filePath("HALVOHELP.bak")), backupFile);
    // Each downloaded file has its signature beside it, and only it.
    const QByteArray none = "(missing)";
    QCOMPARE(contentOf(dir.filePath("HALVOUpdate.exe.sig")),
             programFile == none ? none : signedBy(keys, programFile));
    QCOMPARE(contentOf(dir.filePath("HALVOHelp.hlp.sig")),
             helpFile == NewHelp ? signedBy(keys, NewHelp) : none);
    // No half-written file is left behind under any name.
    const QStringList known{"HALVOHelp.hlp",   "HALVOHelp.hlp.sig",   "halvo.ini",
                            "HALVOUpdate.exe", "HALVOUpdate.exe.sig", "HALVOHELP.bak",
                            "version.txt"};
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden))
        QVERIFY2(known.contains(name), qPrintable(name));
    QVERIFY(!window.isChecking());
}

// While the version file is on its way, the window events run: a second check chosen then is
// refused and asks the server for nothing, and the first one ends as it would have.
void tst_update::secondCheckIsRefused()
{
    QTemporaryDir folder;
    TestServer http;
    QVERIFY(http.start());
    http.routes = {{VersionPath, Route{200, "1.0.8", false, 400}}};
    setHost(folder.path(), QStringLiteral("127.0.0.1:%1").arg(http.port()));

    frmUpdate window(folder.path(), ProgramVersion);
    std::optional<bool> second;
    QString statusMeanwhile;
    QTimer::singleShot(100, &window, [&] {
        statusMeanwhile = window.lblMessage->text();
        second = window.CheckForUpdates();
    });
    QSignalSpy ended(&window, &frmUpdate::checkEnded);
    QVERIFY(window.CheckForUpdates());

    QCOMPARE(second, std::optional<bool>(false));
    QCOMPARE(statusMeanwhile, QStringLiteral("Please, Wait... Checking for updates..."));
    QCOMPARE(ended.count(), 1);
    QCOMPARE(http.requested, QStringList{VersionPath});
    QCOMPARE(window.lblMessage->text(), Latest);
}

void tst_update::closeHidesAndNextCheckShowsAgain()
{
    QTemporaryDir folder;
    TestServer http;
    QVERIFY(http.start());
    http.routes = {{VersionPath, Route{200, "1.0.8"}}};
    setHost(folder.path(), QStringLiteral("127.0.0.1:%1").arg(http.port()));

    frmUpdate window(folder.path(), ProgramVersion);
    QVERIFY(!window.Close->isVisible());
    window.CheckForUpdates();
    QVERIFY(window.isVisible());
    QTest::mouseClick(window.Close->findChild<QWidget*>(QStringLiteral("HyperLabel")),
                      Qt::LeftButton);
    QTRY_VERIFY(!window.isVisible());
    QCOMPARE(window.lblMessage->text(), Latest);

    window.CheckForUpdates();
    QVERIFY(window.isVisible());
    QCOMPARE(http.requested, (QStringList{VersionPath, VersionPath}));
}

void tst_update::downloadFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<Route>("route");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("localName");
    QTest::addColumn<QByteArray>("content"); // of the local file afterwards

    QTest::newRow("replaces an existing file")
        << "/HALVOUpdate/HALVOUpdate.exe" << Route{200, NewProgram} << true << "HALVOUpdate.exe"
        << NewProgram;
    QTest::newRow("last element of a deeper path")
        << "/a/b/c/notes.txt" << Route{200, "one\r\ntwo"} << true << "notes.txt"
        << QByteArray("one\r\ntwo");
    QTest::newRow("bytes kept exactly")
        << "/HALVOUpdate/bin.dat" << Route{200, QByteArray("\0\r\n\x1a\xff", 5)} << true
        << "bin.dat" << QByteArray("\0\r\n\x1a\xff", 5);
    QTest::newRow("404 keeps the existing file")
        << "/HALVOUpdate/HALVOUpdate.exe" << Route{404, "not found"} << false
        << "HALVOUpdate.exe" << QByteArray("old program");
    QTest::newRow("cut off keeps the existing file")
        << "/HALVOUpdate/HALVOUpdate.exe" << Route{200, NewProgram, true} << false
        << "HALVOUpdate.exe" << QByteArray("old program");
}

void tst_update::downloadFile()
{
    QFETCH(QString, path);
    QFETCH(Route, route);
    QFETCH(bool, ok);
    QFETCH(QString, localName);
    QFETCH(QByteArray, content);

    QTemporaryDir folder;
    const QDir dir(folder.path());
    writeFile(dir.filePath(localName), "old program");
    TestServer http;
    QVERIFY(http.start());
    http.routes = {{path, route}};

    InternetTransfer Inet1;
    const QString url = QStringLiteral("http://127.0.0.1:%1%2").arg(http.port()).arg(path);
    QCOMPARE(Puiblic_Module::downloadFileName(url), localName);
    const Status result = Puiblic_Module::DownloadFile(Inet1, url, folder.path() + "/");
    QCOMPARE(result.ok(), ok);
    if (!ok)
        QVERIFY(!result.error().description.isEmpty());
    QCOMPARE(contentOf(dir.filePath(localName)), content);
    QCOMPARE(dir.entryList(QDir::Files), QStringList{localName});
    QVERIFY(!Inet1.StillExecuting());
}

// The manifest is read strictly: a text that breaks any rule of its form is refused as a whole.
// The one that reads is written back exactly as it was, which is how the maker's tool writes it.
void tst_update::manifest_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("version"); // empty: refused

    const QByteArray abc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    const QByteArray empty = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
    const QByteArray heading = "HALVO release 1.0.10\n";
    const QByteArray program = "HALVOUpdate.exe 1.0.10 3 " + abc + "\n";
    const QByteArray good = heading + program + "HALVOHELP.HLP 1.0.9 0 " + empty + "\n";

    QTest::newRow("two files") << good << "1.0.10";
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("heading only") << heading << QString();
    QTest::newRow("no line end at the end") << good.chopped(1) << QString();
    QTest::newRow("CR LF line ends") << QByteArray(good).replace("\n", "\r\n") << QString();
    QTest::newRow("empty line") << heading + "\n" + program << QString();
    QTest::newRow("blank at a line's end") << heading + program.chopped(1) + " \n" << QString();
    QTest::newRow("two blanks between fields")
        << heading + "HALVOUpdate.exe  1.0.10 3 " + abc + "\n" << QString();
    QTest::newRow("heading in other letter case") << "halvo release 1.0.10\n" + program
                                                  << QString();
    QTest::newRow("version of two parts") << "HALVO release 1.0\n" + program << QString();
    QTest::newRow("version of four parts") << "HALVO release 1.0.10.1\n" + program << QString();
    QTest::newRow("version with a leading zero") << "HALVO release 1.0.010\n" + program
                                                 << QString();
    QTest::newRow("version too long for a number")
        << "HALVO release 1.0.10000000000\n" + program << QString();
    QTest::newRow("file newer than its release")
        << heading + "HALVOUpdate.exe 1.1.0 3 " + abc + "\n" << QString();
    QTest::newRow("size with a sign") << heading + "HALVOUpdate.exe 1.0.10 +3 " + abc + "\n"
                                      << QString();
    QTest::newRow("size with a leading zero")
        << heading + "HALVOUpdate.exe 1.0.10 03 " + abc + "\n" << QString();
    QTest::newRow("SHA-256 in upper case")
        << heading + "HALVOUpdate.exe 1.0.10 3 " + abc.toUpper() + "\n" << QString();
    QTest::newRow("SHA-256 a digit short")
        << heading + "HALVOUpdate.exe 1.0.10 3 " + abc.chopped(1) + "\n" << QString();
    QTest::newRow("name with a folder") << heading + "bin/halvo 1.0.10 3 " + abc + "\n"
                                        << QString();
    QTest::newRow("name starting with a dot") << heading + "..halvo 1.0.10 3 " + abc + "\n"
                                              << QString();
    QTest::newRow("a name twice in other letter case")
        << heading + program + "halvoupdate.exe 1.0.10 3 " + abc + "\n" << QString();
    QTest::newRow("a fifth field") << heading + program.chopped(1) + " x\n" << QString();
    QByteArray large = good;
    for (int i = 0; large.size() <= 64 * 1024; ++i)
        large += "file" + QByteArray::number(i) + " 1.0.10 3 " + abc + "\n";
    QTest::newRow("larger than 64 KiB") << large << QString();
}

void tst_update::manifest()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, version);

    const std::optional<UpdateManifest> manifest = UpdateManifest::parse(text);
    QCOMPARE(manifest.has_value(), !version.isEmpty());
    if (!manifest)
        return;
    QCOMPARE(manifest->version.text(), version);
    const UpdateManifest::File* program = manifest->file("HALVOUpdate.exe");
    QVERIFY(program);
    QCOMPARE(program->version.text(), QStringLiteral("1.0.10"));
    QVERIFY(program->describes("abc"));
    QVERIFY(!program->describes("abd"));
    QVERIFY(!program->describes("abcd"));
    QVERIFY(!manifest->file("halvoupdate.exe"));
    QCOMPARE(manifest->text(), text);
}

QTEST_MAIN(tst_update)
#include "tst_update.moc"
