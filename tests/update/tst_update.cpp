// The update check against a real HTTP server on 127.0.0.1 started by the test: what the status
// window says, the message the user is shown, the requests made and the files left in the program
// folder afterwards. The files on the server are signed with a key pair made by the test, and
// described by a release manifest signed with it.

#include "update/download_file.h"
#include "update/internet_transfer.h"
#include "update/update_manifest.h"
#include "update/update_window.h"

#include "hyperlink/vey_hyperlink_label.h"
#include "platform/program_files.h"
#include "platform/prompts.h"
#include "tests/support/signing_keys.h"

#include <QCryptographicHash>
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

const QString ManifestPath = QStringLiteral("/HALVOUpdate/manifest.txt");
const QString ManifestSignaturePath = ManifestPath + ".sig";
// Kept on the server for the programs from before the manifest; this one never asks for it.
const QString VersionPath = QStringLiteral("/HALVOUpdate/version.txt");
const QString ProgramPath = QStringLiteral("/HALVOUpdate/HALVOUpdate.exe");
const QString HelpPath = QStringLiteral("/HALVOUpdate/HALVOHELP.HLP");
const QString ProgramSignaturePath = ProgramPath + ".sig";
const QString HelpSignaturePath = HelpPath + ".sig";

const QByteArray NewProgram = QByteArray("#!/bin/sh\n# new program\n") + QByteArray(80000, 'p');
const QByteArray NewHelp = QByteArray("<html><body>new help</body></html>") + QByteArray(40000, 'h');
const QByteArray OldProgram = QByteArray("#!/bin/sh\n# old program\n") + QByteArray(70000, 'o');
const QByteArray OldHelp = "<html><body>old help</body></html>";
const QByteArray OldBackup = "<html><body>older help</body></html>";

// A release manifest as the maker's tool writes it: "HALVO release <version>", then one line for
// each file with its name, version, size and SHA-256 in lowercase hex; every line ends with LF.
QByteArray manifestLine(const char* name, const char* version, const QByteArray& content)
{
    return QByteArray(name) + ' ' + version + ' ' + QByteArray::number(content.size()) + ' '
           + QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex() + '\n';
}

QByteArray release(const char* version, const QByteArray& program, const QByteArray& help)
{
    QByteArray text = QByteArray("HALVO release ") + version + '\n';
    if (!program.isNull())
        text += manifestLine("HALVOUpdate.exe", version, program);
    if (!help.isNull())
        text += manifestLine("HALVOHELP.HLP", version, help);
    return text;
}

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
    QTest::addColumn<Route>("manifest");
    QTest::addColumn<Route>("manifestSignature");
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

    const QByteArray newer = release("1.0.9", NewProgram, NewHelp);
    const Route manifest{200, newer};
    const Route manifestSigned{200, signedBy(keys, newer)};
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
    const QStringList all{ManifestPath, ManifestSignaturePath, ProgramPath, ProgramSignaturePath,
                          HelpPath,     HelpSignaturePath};
    const QStringList manifestOnly{ManifestPath, ManifestSignaturePath};
    const QStringList noProgram{ManifestPath, ManifestSignaturePath, ProgramPath, HelpPath,
                                HelpSignaturePath};
    const QString programNotSigned = "The application update was not kept: \"HALVOUpdate.exe\" "
                                     "does not carry a valid signature from Corvane Software.";

    // Only a release newer than the running one is downloaded, and only when its manifest is
    // signed; the versions are compared as numbers.
    const QByteArray same = release("1.0.8", OldProgram, OldHelp);
    QTest::newRow("same version")
        << Server::Up << Route{200, same} << Route{200, signedBy(keys, same)} << program
        << programSigned << help << helpSigned << false << false << Latest << QStringList{}
        << manifestOnly << none << OldHelp << none;
    const QByteArray older = release("1.0.7", OldProgram, OldHelp);
    QTest::newRow("older signed release")
        << Server::Up << Route{200, older} << Route{200, signedBy(keys, older)}
        << Route{200, OldProgram} << Route{200, signedBy(keys, OldProgram)} << Route{200, OldHelp}
        << Route{200, signedBy(keys, OldHelp)} << false << false << Latest << QStringList{}
        << manifestOnly << none << OldHelp << none;
    const QByteArray tenth = release("1.0.10", NewProgram, NewHelp);
    QTest::newRow("newer signed release 1.0.10")
        << Server::Up << Route{200, tenth} << Route{200, signedBy(keys, tenth)} << program
        << programSigned << help << helpSigned << false << false << Complete << QStringList{}
        << all << NewProgram << NewHelp << OldHelp;
    QTest::newRow("help file served as HALVOUpdate.exe")
        << Server::Up << manifest << manifestSigned << help << helpSigned << help << helpSigned
        << false << false
        << "The application update was not kept: \"HALVOUpdate.exe\" does not match its entry "
           "in \"manifest.txt\"."
        << QStringList{} << all << none << NewHelp << OldHelp;
    QByteArray raised = older;
    raised.replace("HALVO release 1.0.7", "HALVO release 1.0.9");
    QTest::newRow("older release's manifest with its version raised")
        << Server::Up << Route{200, raised} << Route{200, signedBy(keys, older)}
        << Route{200, OldProgram} << Route{200, signedBy(keys, OldProgram)} << help << helpSigned
        << false << false
        << "No update was downloaded: \"manifest.txt\" does not carry a valid signature from "
           "Corvane Software."
        << QStringList{} << manifestOnly << none << OldHelp << none;
    QTest::newRow("manifest signed with another key")
        << Server::Up << manifest << Route{200, signedBy(otherKeys, newer)} << program
        << programSigned << help << helpSigned << false << false
        << "No update was downloaded: \"manifest.txt\" does not carry a valid signature from "
           "Corvane Software."
        << QStringList{} << manifestOnly << none << OldHelp << none;
    QTest::newRow("manifest signature missing")
        << Server::Up << manifest << missing << program << programSigned << help << helpSigned
        << false << false
        << "No update was downloaded: the signature of \"manifest.txt\" could not be downloaded."
        << QStringList{} << manifestOnly << none << OldHelp << none;
    QByteArray crlf = newer;
    crlf.replace("\n", "\r\n");
    QTest::newRow("signed manifest with CR LF line ends")
        << Server::Up << Route{200, crlf} << Route{200, signedBy(keys, crlf)} << program
        << programSigned << help << helpSigned << false << false
        << "No update was downloaded: \"manifest.txt\" does not describe a release."
        << QStringList{} << manifestOnly << none << OldHelp << none;
    // A file the release does not name is never asked for.
    const QByteArray programOnly = release("1.0.9", NewProgram, QByteArray());
    QTest::newRow("release without the help file")
        << Server::Up << Route{200, programOnly} << Route{200, signedBy(keys, programOnly)}
        << program << programSigned << help << helpSigned << false << false << Complete
        << QStringList{} << QStringList{ManifestPath, ManifestSignaturePath, ProgramPath,
                                        ProgramSignaturePath}
        << NewProgram << OldHelp << none;

    QTest::newRow("server down")
        << Server::Down << manifest << manifestSigned << program << programSigned << help
        << helpSigned << false << false << QString() << QStringList{NetworkMessage}
        << QStringList{} << none << OldHelp << none;
    QTest::newRow("manifest 404")
        << Server::Up << missing << manifestSigned << program << programSigned << help
        << helpSigned << false << false << QString() << QStringList{NetworkMessage}
        << QStringList{ManifestPath} << none << OldHelp << none;
    QTest::newRow("manifest cut off")
        << Server::Up << Route{200, newer, true} << manifestSigned << program << programSigned
        << help << helpSigned << false << false << QString() << QStringList{NetworkMessage}
        << QStringList{ManifestPath} << none << OldHelp << none;
    QTest::newRow("program 404") << Server::Up << manifest << manifestSigned << missing
                                 << programSigned << help << helpSigned << false << false
                                 << ProgramFailed << QStringList{} << noProgram << none << NewHelp
                                 << OldHelp;
    QTest::newRow("program cut off mid-way")
        << Server::Up << manifest << manifestSigned << Route{200, NewProgram, true}
        << programSigned << help << helpSigned << false << false << ProgramFailed
        << QStringList{} << noProgram << none << NewHelp << OldHelp;
    QTest::newRow("help cut off mid-way: the old help is put back")
        << Server::Up << manifest << manifestSigned << program << programSigned
        << Route{200, NewHelp, true} << helpSigned << false << false << HelpFailed
        << QStringList{}
        << QStringList{ManifestPath, ManifestSignaturePath, ProgramPath, ProgramSignaturePath,
                       HelpPath}
        << NewProgram << OldHelp << none;
    QTest::newRow("both 404") << Server::Up << manifest << manifestSigned << missing
                              << programSigned << missing << helpSigned << false << false
                              << BothFailed << QStringList{}
                              << QStringList{ManifestPath, ManifestSignaturePath, ProgramPath,
                                             HelpPath}
                              << none << OldHelp << none;
    QTest::newRow("existing HALVOHELP.bak")
        << Server::Up << manifest << manifestSigned << program << programSigned << help
        << helpSigned << true << false << Complete << QStringList{} << all << NewProgram << NewHelp
        << OldBackup;

    // A download is kept only with a signature that checks against the key; the status says
    // which was not kept and why.
    QTest::newRow("program signature with one byte changed")
        << Server::Up << manifest << manifestSigned << program << programChanged << help
        << helpSigned << false << false << programNotSigned << QStringList{} << all << none
        << NewHelp << OldHelp;
    QTest::newRow("program signed with another key")
        << Server::Up << manifest << manifestSigned << program << programOtherKey << help
        << helpSigned << false << false << programNotSigned << QStringList{} << all << none
        << NewHelp << OldHelp;
    QTest::newRow("program signature missing")
        << Server::Up << manifest << manifestSigned << program << missing << help << helpSigned
        << false << false
        << "The application update was not kept: the signature of \"HALVOUpdate.exe\" could "
           "not be downloaded."
        << QStringList{} << all << none << NewHelp << OldHelp;
    QTest::newRow("program refused: the earlier check's update goes too")
        << Server::Up << manifest << manifestSigned << program << programChanged << help
        << helpSigned << false << true << programNotSigned << QStringList{} << all << none
        << NewHelp << OldHelp;
    QTest::newRow("earlier check's update replaced")
        << Server::Up << manifest << manifestSigned << program << programSigned << help
        << helpSigned << false << true << Complete << QStringList{} << all << NewProgram << NewHelp
        << OldHelp;
    QTest::newRow("help signature with one byte changed: the old help is put back")
        << Server::Up << manifest << manifestSigned << program << programSigned << help
        << helpChanged << false << false
        << "The help file update was not kept: \"HALVOHelp.hlp\" does not carry a valid "
           "signature from Corvane Software. Restart application for the application update to "
           "take effect."
        << QStringList{} << all << NewProgram << OldHelp << none;
    QTest::newRow("help signature missing beside an existing HALVOHELP.bak")
        << Server::Up << manifest << manifestSigned << program << programSigned << help << missing
        << true << false
        << "The help file update was not kept: the signature of \"HALVOHelp.hlp\" could not be "
           "downloaded. Restart application for the application update to take effect."
        << QStringList{} << all << NewProgram << OldHelp << OldBackup;
    QTest::newRow("program signature missing, help 404")
        << Server::Up << manifest << manifestSigned << program << missing << missing
        << helpSigned << false << false
        << "The application update was not kept: the signature of \"HALVOUpdate.exe\" could "
           "not be downloaded. Help file update could not be downloaded. Please, check your "
           "network connection."
        << QStringList{}
        << QStringList{ManifestPath, ManifestSignaturePath, ProgramPath, ProgramSignaturePath,
                       HelpPath}
        << none << OldHelp << none;
    QTest::newRow("both signed with another key")
        << Server::Up << manifest << manifestSigned << program << programOtherKey << help
        << Route{200, signedBy(otherKeys, NewHelp)} << false << false
        << programNotSigned
               + " The help file update was not kept: \"HALVOHelp.hlp\" does not "
                 "carry a valid signature from Corvane Software."
        << QStringList{} << all << none << OldHelp << none;
    // The help file served in place of the help file is the only one that matches its entry.
    QTest::newRow("program served as the help file: the old help is put back")
        << Server::Up << manifest << manifestSigned << program << programSigned << program
        << programSigned << false << false
        << "The help file update was not kept: \"HALVOHelp.hlp\" does not match its entry in "
           "\"manifest.txt\". Restart application for the application update to take effect."
        << QStringList{} << all << NewProgram << OldHelp << none;
}

void tst_update::check()
{
    QFETCH(Server, server);
    QFETCH(Route, manifest);
    QFETCH(Route, manifestSignature);
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
    // The server keeps the release's version in version.txt as well, as the programs from before
    // the manifest read it.
    const QByteArray version = manifest.body.split('\n').value(0).split(' ').value(2) + "\r\n";
    http.routes = {{ManifestPath, manifest},
                   {ManifestSignaturePath, manifestSignature},
                   {VersionPath, Route{200, version}},
                   {ProgramPath, program},
                   {ProgramSignaturePath, programSignature},
                   {HelpPath, help},
                   {HelpSignaturePath, helpSignature}};
    const quint16 port = server == Server::Up ? http.port() : closedPort();
    setHost(folder.path(), QStringLiteral("127.0.0.1:%1").arg(port));
    writeFile(helpFilePath(folder.path()), OldHelp);
    if (backupThere)
        writeFile(dir.filePath("HALVOHELP.bak"), OldBackup);
    const QByteArray earlierManifest = release("1.0.9", "earlier program", QByteArray());
    if (earlierUpdate) {
        writeFile(dir.filePath("HALVOUpdate.exe"), "earlier program");
        writeFile(dir.filePath("HALVOUpdate.exe.sig"), signedBy(keys, "earlier program"));
        writeFile(dir.filePath("manifest.txt"), earlierManifest);
        writeFile(dir.filePath("manifest.txt.sig"), signedBy(keys, earlierManifest));
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
    // Each downloaded file has its signature beside it, and only it; the program update has the
    // signed manifest that names it beside it too, for the launcher to check again.
    const QByteArray none = "(missing)";
    QCOMPARE(contentOf(dir.filePath("HALVOUpdate.exe.sig")),
             programFile == none ? none : signedBy(keys, programFile));
    QCOMPARE(contentOf(dir.filePath("HALVOHelp.hlp.sig")),
             helpFile == NewHelp ? signedBy(keys, NewHelp) : none);
    QCOMPARE(contentOf(dir.filePath("manifest.txt")), programFile == none ? none : manifest.body);
    QCOMPARE(contentOf(dir.filePath("manifest.txt.sig")),
             programFile == none ? none : manifestSignature.body);
    // No half-written file is left behind under any name.
    const QStringList known{"HALVOHelp.hlp",   "HALVOHelp.hlp.sig",   "halvo.ini",
                            "HALVOUpdate.exe", "HALVOUpdate.exe.sig", "HALVOHELP.bak",
                            "manifest.txt",    "manifest.txt.sig"};
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden))
        QVERIFY2(known.contains(name), qPrintable(name));
    QVERIFY(!window.isChecking());
}

// While the manifest is on its way, the window events run: a second check chosen then is
// refused and asks the server for nothing, and the first one ends as it would have.
void tst_update::secondCheckIsRefused()
{
    QTemporaryDir folder;
    TestServer http;
    QVERIFY(http.start());
    const QByteArray same = release("1.0.8", OldProgram, OldHelp);
    http.routes = {{ManifestPath, Route{200, same, false, 400}},
                   {ManifestSignaturePath, Route{200, signedBy(keys, same)}}};
    setHost(folder.path(), QStringLiteral("127.0.0.1:%1").arg(http.port()));

    frmUpdate window(folder.path(), ProgramVersion, nullptr, keys.publicKey);
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
    QCOMPARE(http.requested, (QStringList{ManifestPath, ManifestSignaturePath}));
    QCOMPARE(window.lblMessage->text(), Latest);
}

void tst_update::closeHidesAndNextCheckShowsAgain()
{
    QTemporaryDir folder;
    TestServer http;
    QVERIFY(http.start());
    const QByteArray same = release("1.0.8", OldProgram, OldHelp);
    http.routes = {{ManifestPath, Route{200, same}},
                   {ManifestSignaturePath, Route{200, signedBy(keys, same)}}};
    setHost(folder.path(), QStringLiteral("127.0.0.1:%1").arg(http.port()));

    frmUpdate window(folder.path(), ProgramVersion, nullptr, keys.publicKey);
    QVERIFY(!window.Close->isVisible());
    window.CheckForUpdates();
    QVERIFY(window.isVisible());
    QTest::mouseClick(window.Close->findChild<QWidget*>(QStringLiteral("HyperLabel")),
                      Qt::LeftButton);
    QTRY_VERIFY(!window.isVisible());
    QCOMPARE(window.lblMessage->text(), Latest);

    window.CheckForUpdates();
    QVERIFY(window.isVisible());
    QCOMPARE(http.requested, (QStringList{ManifestPath, ManifestSignaturePath, ManifestPath,
                                          ManifestSignaturePath}));
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
    QTest::newRow("version of two numbers") << "HALVO release 1.0\n" + program << QString();
    QTest::newRow("version of four numbers") << "HALVO release 1.0.10.1\n" + program << QString();
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
