// The launcher on real program folders: which files stand under which names afterwards, whether
// the main program was started, and the messages the user is shown when the update cannot be put
// in place. Updates and the manifests of their releases are signed with a key pair made by the
// test; the real halvoStart, copied into a folder with a stand-in main program, checks against the
// program's own key, for which the test has no secret key.

#include "launcher/program_replacement.h"
#include "launcher/start_splash.h"

#include "platform/prompts.h"
#include "tests/support/signing_keys.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMap>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>
#include <sodium.h>
#include <unistd.h>

using namespace halvo;

namespace {

using Files = QMap<QString, QByteArray>;

void writeFiles(const QString& folder, const Files& files)
{
    for (auto it = files.begin(); it != files.end(); ++it) {
        QFile f(QDir(folder).filePath(it.key()));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(it.value());
    }
}

Files filesIn(const QString& folder)
{
    Files files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        QFile f(dir.filePath(name));
        files[name] = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
    }
    return files;
}

bool isExecutable(const QString& path)
{
    return QFile::permissions(path).testFlag(QFile::ExeOwner);
}

// A stand-in main program: a script that writes which version of it ran into "started".
QByteArray program(const char* version)
{
    return QByteArray("#!/bin/sh\necho ") + version + " > \"$(dirname \"$0\")/started\"\n";
}

const QString Halvo = QStringLiteral("halvo");
const QString Update = QStringLiteral("HALVOUpdate.exe");
const QString Signature = QStringLiteral("HALVOUpdate.exe.sig");
const QString Manifest = QStringLiteral("manifest.txt");
const QString ManifestSignature = QStringLiteral("manifest.txt.sig");
// The manifest of the release that put the standing program in place, kept by the launcher.
const QString Record = QStringLiteral("halvo.manifest");
const QString RecordSignature = QStringLiteral("halvo.manifest.sig");

// A release manifest: "HALVO release <version>", then a line for each file with its name, version,
// size and SHA-256 in lowercase hex; every line ends with LF.
QByteArray manifestLine(const char* name, const char* version, const QByteArray& content)
{
    return QByteArray(name) + ' ' + version + ' ' + QByteArray::number(content.size()) + ' '
           + QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex() + '\n';
}

QByteArray release(const char* version, const QByteArray& program)
{
    return QByteArray("HALVO release ") + version + '\n'
           + manifestLine("HALVOUpdate.exe", version, program);
}

using testing::KeyPair;
using testing::makeKeyPair;
using testing::signedBy;

} // namespace

class tst_launcher : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void replace_data();
    void replace();
    void startFailureIsReported();
    void splashTexts();
    void installedLauncher_data();
    void installedLauncher();

private:
    ScriptedPrompts scripted;
    KeyPair keys;      // the key the launcher checks against in these tests
    KeyPair otherKeys; // anyone else's

    Files withSignature(Files files, const KeyPair& signer) const
    {
        files[Signature] = signedBy(signer, files.value(Update));
        return files;
    }
    Files withManifest(Files files, const QByteArray& manifest) const
    {
        files[Manifest] = manifest;
        files[ManifestSignature] = signedBy(keys, manifest);
        return files;
    }
    // The update signed, with the signed manifest of its release at `version` beside it.
    Files released(const Files& files, const char* version) const
    {
        return withManifest(withSignature(files, keys), release(version, files.value(Update)));
    }
    // What a folder holds once `before`'s update stands as the program: the program, and the
    // manifest that vouched for it kept as the record of its version.
    static Files installedFrom(const Files& before)
    {
        return {{Halvo, before.value(Update)},
                {Record, before.value(Manifest)},
                {RecordSignature, before.value(ManifestSignature)}};
    }
};

void tst_launcher::initTestCase()
{
    QVERIFY(sodium_init() >= 0);
    keys = makeKeyPair();
    otherKeys = makeKeyPair();
}

void tst_launcher::init()
{
    scripted = ScriptedPrompts();
    setPrompts(&scripted);
}

void tst_launcher::cleanup() { setPrompts(nullptr); }

enum class Obstacle { None, ReadOnlyFolder, AsideIsFolder };
Q_DECLARE_METATYPE(Obstacle)

void tst_launcher::replace_data()
{
    QTest::addColumn<Files>("before");
    QTest::addColumn<Obstacle>("obstacle");
    QTest::addColumn<Files>("after");
    QTest::addColumn<QString>("messageStart"); // empty: no message
    QTest::addColumn<QString>("messageEnd");

    const Files oldOnly{{Halvo, "old program"}};
    const Files unsignedUpdate{{Halvo, "old program"}, {Update, "new program"}};
    // Versions are compared as numbers: 1.0.10 is newer than the current 1.0.8.
    const Files both = released(unsignedUpdate, "1.0.10");
    const Files newOnly = installedFrom(both);
    Files changedSignature = both;
    changedSignature[Signature][10] = char(changedSignature[Signature][10] ^ 0x01);
    const QString notInstalled = "The application update could not be installed: ";
    const QString notSigned = notInstalled + "\"HALVOUpdate.exe\" does not carry a valid "
                                             "signature from Corvane Software.";
    const QString manifestNotSigned = notInstalled + "\"manifest.txt\" does not carry a valid "
                                                     "signature from Corvane Software.";
    const QString removed = " It has been removed; the current version is kept.";

    QTest::newRow("no update file") << oldOnly << Obstacle::None << oldOnly << QString()
                                    << QString();
    QTest::newRow("update file of release 1.0.10")
        << both << Obstacle::None << newOnly << QString() << QString();
    const Files alone = released({{Update, "new program"}}, "1.0.9");
    QTest::newRow("update without a main program")
        << alone << Obstacle::None << installedFrom(alone) << QString() << QString();
    const Files lower{{Halvo, "old program"}, {"halvoupdate.exe", "new program"}};
    QTest::newRow("lower-case update name") << lower << Obstacle::None << lower << QString()
                                            << QString();
    const Files upper{{Halvo, "old program"}, {"HALVOUPDATE.EXE", "new program"}};
    QTest::newRow("upper-case update name") << upper << Obstacle::None << upper << QString()
                                            << QString();
    const Files leftAside = released(
        {{Halvo, "old program"}, {Update, "new program"}, {"halvo.old", "older"}}, "1.0.9");
    QTest::newRow("old program left aside by an earlier start")
        << leftAside << Obstacle::None << installedFrom(leftAside) << QString() << QString();
    QTest::newRow("read-only folder")
        << both << Obstacle::ReadOnlyFolder << both
        << "The application update could not be installed: the current program could not be "
           "moved aside ("
        << "). The current version is kept.";
    QTest::newRow("old program's aside name taken by a folder")
        << both << Obstacle::AsideIsFolder << both
        << "The application update could not be installed: \"halvo.old\" could not be removed ("
        << "). The current version is kept.";
    // Only an update that Corvane Software signed is put in place; any other is removed, so that
    // it is not tried at every start, and the old program runs.
    QTest::newRow("signature with one byte changed")
        << changedSignature << Obstacle::None << oldOnly << notSigned << removed;
    QTest::newRow("signed with another key") << withSignature(both, otherKeys) << Obstacle::None
                                             << oldOnly << notSigned << removed;
    Files noSignature = both;
    noSignature.remove(Signature);
    QTest::newRow("signature missing")
        << noSignature << Obstacle::None << oldOnly
        << "The application update could not be installed: its signature "
           "\"HALVOUpdate.exe.sig\" is missing."
        << removed;
    Files changedUpdate = both;
    changedUpdate[Update] = "new program!";
    QTest::newRow("update changed after signing")
        << changedUpdate << Obstacle::None << oldOnly << notSigned << removed;

    // A signed file is not yet a signed release: the update is put in place only when the signed
    // manifest beside it names it, with its size and SHA-256, at a version newer than the
    // program's.
    QTest::newRow("older signed release")
        << released(unsignedUpdate, "1.0.7") << Obstacle::None << oldOnly
        << notInstalled + "\"HALVOUpdate.exe\" is version 1.0.7, not newer than the current "
                          "version 1.0.8."
        << removed;
    QTest::newRow("same version")
        << released(unsignedUpdate, "1.0.8") << Obstacle::None << oldOnly
        << notInstalled + "\"HALVOUpdate.exe\" is version 1.0.8, not newer than the current "
                          "version 1.0.8."
        << removed;
    const QByteArray help = "<html><body>help</body></html>";
    const Files helpAsUpdate = withManifest(
        {{Halvo, "old program"}, {Update, help}, {Signature, signedBy(keys, help)}},
        release("1.0.9", "new program") + manifestLine("HALVOHELP.HLP", "1.0.9", help));
    QTest::newRow("help file served as HALVOUpdate.exe")
        << helpAsUpdate << Obstacle::None << oldOnly
        << notInstalled + "\"HALVOUpdate.exe\" does not match its entry in \"manifest.txt\"."
        << removed;
    Files raised = released(unsignedUpdate, "1.0.7");
    raised[Manifest].replace("HALVO release 1.0.7", "HALVO release 1.0.9");
    raised[Manifest].replace("HALVOUpdate.exe 1.0.7", "HALVOUpdate.exe 1.0.9");
    QTest::newRow("older release's manifest with its versions raised")
        << raised << Obstacle::None << oldOnly << manifestNotSigned << removed;
    Files manifestOtherKey = both;
    manifestOtherKey[ManifestSignature] = signedBy(otherKeys, both[Manifest]);
    QTest::newRow("manifest signed with another key")
        << manifestOtherKey << Obstacle::None << oldOnly << manifestNotSigned << removed;
    QTest::newRow("manifest missing")
        << withSignature(unsignedUpdate, keys) << Obstacle::None << oldOnly
        << notInstalled + "its manifest \"manifest.txt\" is missing." << removed;
    Files noManifestSignature = both;
    noManifestSignature.remove(ManifestSignature);
    QTest::newRow("manifest signature missing")
        << noManifestSignature << Obstacle::None << oldOnly
        << notInstalled + "the signature of its manifest, \"manifest.txt.sig\", is missing."
        << removed;
    QTest::newRow("manifest without the update")
        << withManifest(withSignature(unsignedUpdate, keys),
                        "HALVO release 1.0.9\n" + manifestLine("HALVOHELP.HLP", "1.0.9", help))
        << Obstacle::None << oldOnly
        << notInstalled + "\"manifest.txt\" does not name \"HALVOUpdate.exe\"." << removed;
    QTest::newRow("signed manifest with CR LF line ends")
        << withManifest(withSignature(unsignedUpdate, keys),
                        release("1.0.9", "new program").replace("\n", "\r\n"))
        << Obstacle::None << oldOnly
        << notInstalled + "\"manifest.txt\" does not describe a release." << removed;

    // The launcher is not replaced by an update: once it has put one in place, the program's
    // version is the one its kept manifest gives for exactly the program's bytes.
    const QByteArray eleventh = "program 1.0.11";
    const Files updated = withManifest({{Halvo, eleventh}}, release("1.0.11", eleventh));
    const Files standing{{Halvo, eleventh},
                         {Record, updated[Manifest]},
                         {RecordSignature, updated[ManifestSignature]}};
    Files olderThanStanding = released(unsignedUpdate, "1.0.10");
    olderThanStanding.insert(standing);
    QTest::newRow("update older than the one an earlier start put in place")
        << olderThanStanding << Obstacle::None << standing
        << notInstalled + "\"HALVOUpdate.exe\" is version 1.0.10, not newer than the current "
                          "version 1.0.11."
        << removed;
    // A program installed anew over an updated one is not the one the record is of.
    Files reinstalled = olderThanStanding;
    reinstalled[Halvo] = "old program";
    QTest::newRow("record of a program no longer there")
        << reinstalled << Obstacle::None << newOnly << QString() << QString();
}

void tst_launcher::replace()
{
    QFETCH(Files, before);
    QFETCH(Obstacle, obstacle);
    QFETCH(Files, after);
    QFETCH(QString, messageStart);
    QFETCH(QString, messageEnd);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    writeFiles(folder.path(), before);
    const QString path = folder.path();
    auto writable = qScopeGuard([path] {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    if (obstacle == Obstacle::ReadOnlyFolder) {
        if (geteuid() == 0)
            QSKIP("Running as root: the permission bits of a read-only folder do not stop root "
                  "from renaming in it; the folder-in-the-way row covers a failed replacement.");
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner));
    }
    if (obstacle == Obstacle::AsideIsFolder) {
        QVERIFY(QDir(path).mkpath(QStringLiteral("halvo.old/kept")));
    }

    QStringList started;
    frmStartSplash splash(
        path,
        [&](const QString& program, const QString& in) {
            started << program << in;
            return true;
        },
        nullptr, keys.publicKey, ReleaseVersion{1, 0, 8});
    QVERIFY(splash.Form_Load());

    writable.dismiss();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(started, (QStringList{QDir(path).filePath(Halvo), path}));
    QCOMPARE(filesIn(path), after);
    // A program put in place can run; one left alone is as it was.
    QVERIFY(isExecutable(QDir(path).filePath(Halvo)) || after.value(Halvo) == before.value(Halvo));
    if (messageStart.isEmpty()) {
        QCOMPARE(scripted.texts(), QStringList());
    } else {
        QCOMPARE(scripted.shown.size(), 1);
        const QString text = scripted.shown.first().text;
        QVERIFY2(text.startsWith(messageStart) && text.endsWith(messageEnd)
                     && text.size() >= messageStart.size() + messageEnd.size(),
                 qPrintable(text));
        QCOMPARE(scripted.shown.first().title, QStringLiteral("HALVO"));
        QCOMPARE(scripted.shown.first().icon, Prompts::Icon::Warning);
    }
    QVERIFY(!splash.isVisible());
}

void tst_launcher::startFailureIsReported()
{
    QTemporaryDir folder;
    writeFiles(folder.path(), {{Halvo, "old program"}});
    frmStartSplash splash(folder.path(), [](const QString&, const QString&) { return false; });
    QVERIFY(!splash.Form_Load());
    QCOMPARE(scripted.texts(),
             QStringList{"The application could not be started: \""
                         + QDir(folder.path()).filePath(Halvo) + "\"."});
}

void tst_launcher::splashTexts()
{
    QTemporaryDir folder;
    frmStartSplash splash(folder.path(), [](const QString&, const QString&) { return true; });
    QCOMPARE(splash.lblVersion->text(), QStringLiteral("Version"));
    splash.Form_Load();
    QCOMPARE(splash.lblVersion->text(), QStringLiteral("Version 1.0.0"));
    QCOMPARE(splash.lblProductName->text(), QStringLiteral("HALVO"));
    QVERIFY(!splash.isVisible());
    for (const char* name : {"fraMainFrame", "picLogo", "lblProductName", "lblCompanyProduct",
                             "lblPlatform", "lblVersion", "lblWarning", "Timer1"})
        QVERIFY2(splash.findChild<QObject*>(QString::fromLatin1(name)), name);
    QVERIFY(!splash.picLogo->pixmap().isNull());
}

void tst_launcher::installedLauncher_data()
{
    QTest::addColumn<bool>("systemInstall"); // in <prefix>/bin, with <prefix>/share/halvo
    QTest::addColumn<Files>("before");
    QTest::addColumn<QByteArray>("ran"); // empty: the launcher waits at its warning
    QTest::addColumn<QStringList>("after");

    QTest::newRow("no update file") << false << Files{{Halvo, program("old")}}
                                    << QByteArray("old\n")
                                    << QStringList{Halvo, "halvoStart", "started"};
    // The installed launcher checks against the program's own key, not the test's: the update
    // is refused and removed, and the warning waits for the user.
    QTest::newRow("update signed with a key not the program's")
        << false << withSignature({{Halvo, program("old")}, {Update, program("new")}}, keys)
        << QByteArray() << QStringList{Halvo, "halvoStart"};
    QTest::newRow("lower-case update name")
        << false << Files{{Halvo, program("old")}, {"halvoupdate.exe", program("new")}}
        << QByteArray("old\n") << QStringList{Halvo, "halvoStart", "halvoupdate.exe", "started"};
    // The distribution updates a system install: the launcher only starts the program.
    QTest::newRow("system install with an update file")
        << true << Files{{Halvo, program("old")}, {Update, program("new")}}
        << QByteArray("old\n") << QStringList{Halvo, "halvoStart", Update, "started"};
}

void tst_launcher::installedLauncher()
{
    QFETCH(bool, systemInstall);
    QFETCH(Files, before);
    QFETCH(QByteArray, ran);
    QFETCH(QStringList, after);

    // The build folder is laid out like the program folder: halvoStart stands beside the tests.
    const QString built = qEnvironmentVariable("HALVO_TEST_PROGRAM_DIR",
                                               QCoreApplication::applicationDirPath())
                          + "/halvoStart";
    QVERIFY2(QFile::exists(built), qPrintable(built));
    QTemporaryDir prefix;
    const QString bin = prefix.filePath(systemInstall ? "bin" : "");
    QVERIFY(QDir().mkpath(bin));
    if (systemInstall)
        QVERIFY(QDir().mkpath(prefix.filePath("share/halvo")));
    const QDir dir(bin);
    QVERIFY(QFile::copy(built, dir.filePath("halvoStart")));
    writeFiles(bin, before);
    // The main program as installed is executable; a downloaded update is not yet.
    QFile::setPermissions(dir.filePath(Halvo),
                          QFile::permissions(dir.filePath(Halvo)) | QFile::ExeOwner);

    QProcess launcher;
    launcher.start(dir.filePath("halvoStart"), {});
    if (ran.isEmpty()) {
        QTRY_COMPARE_WITH_TIMEOUT(dir.entryList(QDir::Files), after, 20000);
        QTest::qWait(200);
        QCOMPARE(launcher.state(), QProcess::Running);
        launcher.kill();
        QVERIFY(launcher.waitForFinished(20000));
        QCOMPARE(dir.entryList(QDir::Files), after);
        QCOMPARE(filesIn(bin).value(Halvo), program("old"));
        return;
    }
    QVERIFY(launcher.waitForFinished(20000));
    QCOMPARE(launcher.exitCode(), 0);
    QTRY_VERIFY(QFile::exists(dir.filePath("started")));
    QTRY_COMPARE(filesIn(bin).value("started"), ran);
    QStringList names = dir.entryList(QDir::Files);
    QCOMPARE(names, after);
    QVERIFY(isExecutable(dir.filePath(Halvo)));
}

QTEST_MAIN(tst_launcher)
#include "tst_launcher.moc"
