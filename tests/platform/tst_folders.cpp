// Where the program finds its own files and the user's data, for each way it can be installed,
// and the first start of a system install.

#include "platform/folders.h"
#include "platform/settings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

#include <unistd.h>

using namespace halvo;

namespace {
// A child run of this test as another user: the folder it is to judge.
const char* childFolder = "HALVO_TEST_JUDGE_FOLDER";
} // namespace

class TestFolders : public QObject {
    Q_OBJECT
private slots:
    void init();
    void layouts_data();
    void layouts();
    void readOnlyPortableFolder();
    void firstStartOfASystemInstall();
    void noEmptyDatabaseBesideARestoresFiles_data();
    void noEmptyDatabaseBesideARestoresFiles();
    void dataIsTheUsersAlone();

private:
    std::unique_ptr<QTemporaryDir> root;
    QString userData() const { return root->filePath("home/.local/share/halvo"); }
};

void TestFolders::init()
{
    root = std::make_unique<QTemporaryDir>();
    qputenv("XDG_DATA_HOME", root->filePath("home/.local/share").toUtf8());
}

void TestFolders::layouts_data()
{
    QTest::addColumn<QStringList>("made");    // folders below the temporary root
    QTest::addColumn<QString>("executables"); // the executable's folder
    QTest::addColumn<QString>("program");     // "<user data>" for the user's data folder
    QTest::addColumn<QString>("data");
    QTest::addColumn<bool>("portable");

    QTest::newRow("portable, writable") << QStringList{"halvo"} << "halvo" << "halvo" << "halvo"
                                        << true;
    QTest::newRow("system install") << QStringList{"usr/bin", "usr/share/halvo"} << "usr/bin"
                                    << "usr/share/halvo" << "<user data>" << false;
    QTest::newRow("system install below /usr/local")
        << QStringList{"usr/local/bin", "usr/local/share/halvo"} << "usr/local/bin"
        << "usr/local/share/halvo" << "<user data>" << false;
    QTest::newRow("a bin folder without share/halvo is portable")
        << QStringList{"opt/bin"} << "opt/bin" << "opt/bin" << "opt/bin" << true;
}

void TestFolders::layouts()
{
    QFETCH(QStringList, made);
    QFETCH(QString, executables);
    QFETCH(QString, program);
    QFETCH(QString, data);
    QFETCH(bool, portable);
    for (const QString& folder : made)
        QVERIFY(QDir().mkpath(root->filePath(folder)));
    const auto expected = [&](const QString& folder) {
        return folder == "<user data>" ? userData() : root->filePath(folder);
    };

    const Folders found = locateFolders(root->filePath(executables));
    QCOMPARE(found.program, expected(program));
    QCOMPARE(found.data, expected(data));
    QCOMPARE(found.portable(), portable);
}

// A portable folder the user cannot write to keeps its programs there and the data in the
// user's folder. Permission bits do not stop root, so as root the check runs as "nobody".
void TestFolders::readOnlyPortableFolder()
{
    if (qEnvironmentVariableIsSet(childFolder)) {
        const Folders found = locateFolders(qEnvironmentVariable(childFolder));
        QCOMPARE(found.program, qEnvironmentVariable(childFolder));
        QCOMPARE(found.data, QDir(qEnvironmentVariable("XDG_DATA_HOME")).filePath("halvo"));
        QVERIFY(!found.portable());
        return;
    }
    const QString folder = root->filePath("readonly/halvo");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QFile::setPermissions(root->path(), QFile::ReadOwner | QFile::WriteOwner
                                                    | QFile::ExeOwner | QFile::ReadOther
                                                    | QFile::ExeOther));
    QVERIFY(QFile::setPermissions(root->filePath("readonly"), QFile::ReadOwner | QFile::WriteOwner
                                      | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther
                                              | QFile::ExeOther));
    // The child runs from a copy beside the folder: "nobody" may not enter the build tree.
    const QString self = root->filePath("tst_folders");
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), self));
    QVERIFY(QFile::setPermissions(self, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther
                                            | QFile::ExeOther));
    QStringList command{self, "readOnlyPortableFolder"};
    if (geteuid() == 0)
        command = QStringList{"--reuid=65534", "--regid=65534", "--clear-groups"} + command;
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(childFolder, folder);
    child.setProcessEnvironment(environment);
    child.start(geteuid() == 0 ? QStringLiteral("setpriv") : command.takeFirst(), command);
    QVERIFY(child.waitForFinished(30000));
    const QByteArray output = child.readAllStandardOutput() + child.readAllStandardError();
    QVERIFY2(child.exitCode() == 0 && output.contains("PASS   : TestFolders::readOnlyPortableFolder()"),
             output.constData());
}

void TestFolders::firstStartOfASystemInstall()
{
    const Folders folders{root->filePath("usr/share/halvo"), userData()};
    QVERIFY(QDir().mkpath(folders.program));
    QFile delivered(QDir(folders.program).filePath("halvo0905.mdb"));
    QVERIFY(delivered.open(QIODevice::WriteOnly));
    delivered.write("the empty database");
    delivered.close();
    QVERIFY(QFile::setPermissions(delivered.fileName(), QFile::ReadOwner | QFile::ReadOther));

    QVERIFY(placeDeliveredFile(folders, "halvo0905.mdb").ok());
    QFile copy(QDir(folders.data).filePath("halvo0905.mdb"));
    QVERIFY(copy.open(QIODevice::ReadWrite)); // the user's copy is the user's to write
    QCOMPARE(copy.readAll(), QByteArray("the empty database"));
    copy.seek(0);
    copy.write("the user's records");
    copy.close();
    // nobody else's: no permission for the group or others
    QCOMPARE(QFile::permissions(folders.data) & QFile::Permissions(0x0077), QFile::Permissions{});
    QCOMPARE(QDir(folders.data).entryList(QDir::Files), QStringList{"halvo0905.mdb"});

    // Every later start finds the user's file and leaves it as it is.
    QVERIFY(placeDeliveredFile(folders, "halvo0905.mdb").ok());
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll().left(18), QByteArray("the user's records"));

    // A data folder that cannot be made is told, with its name.
    QFile blocker(root->filePath("blocked"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const Status refused =
        placeDeliveredFile({folders.program, root->filePath("blocked/halvo")}, "halvo0905.mdb");
    QVERIFY(!refused.ok());
    QCOMPARE(refused.error().description,
             "The folder for your data, \"" + root->filePath("blocked/halvo")
                 + "\", could not be made.");
}

void TestFolders::noEmptyDatabaseBesideARestoresFiles_data()
{
    QTest::addColumn<bool>("portable");
    QTest::addColumn<QString>("leftOver");
    QTest::newRow("the file a restore kept") << false
                                             << "halvo0905 before restore 2026-12-07 13-05-09.mdb";
    QTest::newRow("the copy on its way in") << false << "halvo0905.mdb.restoring";
    QTest::newRow("a portable install") << true << "halvo0905 before restore 2026-12-07 13-05-09.mdb";
}

// A database that is missing beside a restore's files is not replaced by an empty one, which
// would look as if the records were gone: the start says what it found.
void TestFolders::noEmptyDatabaseBesideARestoresFiles()
{
    QFETCH(bool, portable);
    QFETCH(QString, leftOver);
    const Folders folders = portable ? Folders::portableAt(userData())
                                     : Folders{root->filePath("usr/share/halvo"), userData()};
    QVERIFY(QDir().mkpath(folders.program));
    QVERIFY(QDir().mkpath(folders.data));
    QStringList files{QDir(folders.data).filePath(leftOver)};
    if (!portable)
        files << QDir(folders.program).filePath("halvo0905.mdb");
    for (const QString& file : files) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("records");
    }
    const Status placed = placeDeliveredFile(folders, "halvo0905.mdb");
    QVERIFY(!placed.ok());
    QCOMPARE(placed.error().description,
             "There is no database \"halvo0905.mdb\" in \"" + folders.data + "\", but a restore left \""
                 + leftOver + "\" there, which holds your records. Nothing was changed. To go on "
                              "with them, rename that file to \"halvo0905.mdb\" and start HALVO again.");
    QVERIFY(!QFileInfo::exists(QDir(folders.data).filePath("halvo0905.mdb")));
}

// Whatever the umask made of them, the records, their copies, the pictures and the settings
// lose the group's and others' permissions; the programs beside them in a portable install
// keep theirs, and so does what the user took away.
void TestFolders::dataIsTheUsersAlone()
{
    const QString folder = userData();
    QVERIFY(QDir().mkpath(folder + "/backup"));
    QVERIFY(QDir().mkpath(folder + "/Prop"));
    const QList<std::pair<QString, int>> files{
        {"halvo0905.mdb", 0644}, {"halvo0905.mdb-wal", 0644}, {"settings.ini", 0664},
        {"backup/HALVO_1272026.mdb", 0644}, {"Prop/house.jpg", 0644}, {"halvo", 0755},
        {"halvo0905 before restore 2026-12-07 13-05-09.mdb", 0444}};
    for (const auto& [name, mode] : files) {
        QFile f(folder + "/" + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(::chmod(QFile::encodeName(f.fileName()).constData(), mode_t(mode)) == 0);
    }
    const auto modeOf = [&](const QString& name) {
        struct stat info {};
        ::stat(QFile::encodeName(folder + "/" + name).constData(), &info);
        return int(info.st_mode & 0777);
    };
    const int folderBefore = modeOf("");
    keepDataPrivate(Folders::portableAt(folder));
    QCOMPARE(modeOf("halvo0905.mdb"), 0600);
    QCOMPARE(modeOf("halvo0905.mdb-wal"), 0600);
    QCOMPARE(modeOf("settings.ini"), 0600);
    QCOMPARE(modeOf("backup"), 0700);
    QCOMPARE(modeOf("backup/HALVO_1272026.mdb"), 0600);
    QCOMPARE(modeOf("Prop"), 0700);
    QCOMPARE(modeOf("Prop/house.jpg"), 0600);
    QCOMPARE(modeOf("halvo"), 0755);
    QCOMPARE(modeOf("halvo0905 before restore 2026-12-07 13-05-09.mdb"), 0400);
    QCOMPARE(modeOf(""), folderBefore); // the program folder too
    keepDataPrivate({root->filePath("usr/share/halvo"), folder});
    QCOMPARE(modeOf(""), 0700);
}

QTEST_GUILESS_MAIN(TestFolders)
#include "tst_folders.moc"
