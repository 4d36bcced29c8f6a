// Shared books from the main window, against a cluster of the test's own: File > Open Shared
// Books by keyboard and back to the local books, a role that may only read, and the backup.

#include "shell_test_support.h"

#include "editors/record_editor.h"
#include "platform/desktop.h"
#include "server/books_place.h"
#include "shell/main_window.h"
#include "shell/login_window.h"
#include "shell/password_windows.h"
#include "shell/shared_books.h"
#include "shell/startup.h"
#include "shell/window_table.h"
#include "tests/support/pg_cluster.h"

#include <QAction>
#include <QApplication>
#include <QTableWidget>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

using namespace halvo;
using testing::ProgramFolder;

namespace {

const QString AnnPassword = QStringLiteral("ann's secret");
const QString ReaderPassword = QStringLiteral("only reads");

// The nick name the property window shows.
QString shownProperty(frmMain& main)
{
    auto* editor = qobject_cast<RecordEditor*>(main.openWindow(QStringLiteral("mnufrmProperty")));
    return editor ? editor->fieldText(QStringLiteral("txtNickName")) : QStringLiteral("(none)");
}

// Replaces what a box holds with `text`, typed.
void retype(QWidget* box, const QString& text)
{
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

} // namespace

class tst_shell_shared_books : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void openSharedBooksByKeyboardAndLocalAgain();
    void readOnlyRoleCannotUseWritingCommands();
    void backupOfSharedBooks();
    void startAsksForThePasswordOnTheServer();
    void startOffersLocalBooksWhenServerIsAway();

private:
    std::unique_ptr<test::PgCluster> cluster;

    ServerAddress books(const QString& user) const
    {
        return {QString(), cluster->socketFolder(), cluster->port(), QStringLiteral("books"), user};
    }
    // File > Open Shared Books..., the window filled in as given and OK.
    void openShared(frmMain& main, const ServerAddress& address);
};

void tst_shell_shared_books::initTestCase()
{
    // Only the passwords the tests give: never one from the user's own .pgpass.
    qputenv("PGPASSFILE", QDir::temp().filePath(QStringLiteral("halvo-no-pgpass")).toUtf8());
    Result<std::unique_ptr<test::PgCluster>> started = test::PgCluster::start();
    QVERIFY2(started.ok(), qPrintable(started ? QString() : started.error().description));
    cluster = std::move(started).value();
    const Status made = cluster->run(QStringLiteral(
        "CREATE ROLE ann LOGIN CREATEDB PASSWORD 'ann''s secret';\n"
        "CREATE ROLE reader LOGIN PASSWORD 'only reads';\n"
        "CREATE DATABASE books OWNER ann;"));
    QVERIFY2(made.ok(), qPrintable(made ? QString() : made.error().description));
    // The books are given their tables by the first opening; the reader may then read them all.
    const Result<Connection> first =
        Connection::openServer(conninfo(books(QStringLiteral("ann"))), AnnPassword);
    QVERIFY2(first.ok(), qPrintable(first ? QString() : first.error().description));
    const Status granted = cluster->run(
        QStringLiteral("SET ROLE ann;\n"
                       "GRANT USAGE ON SCHEMA public TO reader;\n"
                       "GRANT SELECT ON ALL TABLES IN SCHEMA public TO reader;\n"
                       "INSERT INTO tblBuilding (BldNickName) VALUES ('ON SERVER');\n"
                       "INSERT INTO tblFinance (NickName, RecDate, Payee, Category, Income, "
                       "Expense) VALUES ('ON SERVER', '2026-02-01', 'Ace Roofing', 'Repairs', 0, "
                       "25000000);"),
        QStringLiteral("books"));
    QVERIFY2(granted.ok(), qPrintable(granted ? QString() : granted.error().description));
}

void tst_shell_shared_books::init()
{
    Clock::fixAt(QDateTime(QDate(2026, 3, 7), QTime(14, 5, 9)));
    sharedSession() = SharedSession{};
    sharedSession().fileOpened = true;
}

void tst_shell_shared_books::cleanup() { Clock::fixAt({}); }

void tst_shell_shared_books::openShared(frmMain& main, const ServerAddress& address)
{
    main.entry(QStringLiteral("OpenSharedBooks"))->trigger();
    auto* window = qobject_cast<frmOpenShared*>(QApplication::activeModalWidget());
    QVERIFY(window);
    window->txtServer->setText(address.host);
    window->txtPort->setValue(address.port);
    window->txtDatabase->setText(address.database);
    window->txtUser->setText(address.user);
    window->accept();
}

void tst_shell_shared_books::openSharedBooksByKeyboardAndLocalAgain()
{
    ProgramFolder folder;
    folder.exec(QStringLiteral("INSERT INTO tblBuilding (BldNickName) VALUES ('IN FILE')"));
    frmMain main(Folders::portableAt(folder.path()));
    installWindows(main);
    main.show();
    QApplication::setActiveWindow(&main);
    QVERIFY(!main.entry(QStringLiteral("OpenLocalBooks"))->isEnabled());
    QCOMPARE(shownProperty(main), QStringLiteral("IN FILE"));

    QTest::keyClick(&main, Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    auto* window = qobject_cast<frmOpenShared*>(QApplication::activeModalWidget());
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Open Shared Books"));
    QCOMPARE(window->txtPort->value(), 5432);
    retype(window->txtServer, cluster->socketFolder());
    retype(window->txtPort, QString::number(cluster->port()));
    retype(window->txtDatabase, QStringLiteral("books"));
    retype(window->txtUser, QStringLiteral("ann"));
    folder.scripted.queuePassword(AnnPassword);
    QTest::keyClick(window->txtUser, Qt::Key_Return);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QCOMPARE(folder.scripted.passwordQuestions,
             QStringList{QStringLiteral("Password of ann on the server:")});
    QCOMPARE(folder.scripted.texts(), QStringList());
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(main.windowTitle(),
             QStringLiteral("HALVO - books on ") + cluster->socketFolder());
    QVERIFY(main.entry(QStringLiteral("OpenLocalBooks"))->isEnabled());
    const BooksPlace remembered = BooksPlace::read();
    QVERIFY(remembered.shared);
    QCOMPARE(remembered.address.host, cluster->socketFolder());
    QCOMPARE(remembered.address.port, cluster->port());
    QCOMPARE(remembered.address.user, QStringLiteral("ann"));
    QVERIFY(!QSettings(QSettings::IniFormat, QSettings::UserScope, programTitle())
                 .allKeys()
                 .join(QLatin1Char(' '))
                 .contains(QStringLiteral("Password"), Qt::CaseInsensitive));
    // The property window opened on the shared books reads the server.
    QCOMPARE(shownProperty(main), QStringLiteral("ON SERVER"));

    main.entry(QStringLiteral("OpenLocalBooks"))->trigger();
    QCOMPARE(main.windowTitle(), QStringLiteral("HALVO"));
    QCOMPARE(shownProperty(main), QStringLiteral("IN FILE"));
    QVERIFY(!BooksPlace::read().shared);
    QVERIFY(!main.entry(QStringLiteral("OpenLocalBooks"))->isEnabled());
    QCOMPARE(folder.scripted.passwordQuestions.size(), 1);
}

void tst_shell_shared_books::readOnlyRoleCannotUseWritingCommands()
{
    ProgramFolder folder;
    frmMain main(Folders::portableAt(folder.path()));
    installWindows(main);
    main.show();
    folder.scripted.queuePassword(ReaderPassword);
    openShared(main, books(QStringLiteral("reader")));
    QCOMPARE(folder.scripted.texts(), QStringList());
    QCOMPARE(main.windowTitle(), QStringLiteral("HALVO - books on ") + cluster->socketFolder());

    const QStringList writing = {"ImportStatement", "UndoLastImport", "PayeeRules",
                                 "RestoreDatabase", "ChangePassword"};
    const QStringList reading = {"ExportToCsv", "BackupBackup", "OpenSharedBooks",
                                 "OpenLocalBooks", "VendorReport", "mnufrmProperty"};
    for (const QString& name : writing)
        QVERIFY2(!main.entry(name)->isEnabled(), qPrintable(name));
    for (const QString& name : reading)
        QVERIFY2(main.entry(name)->isEnabled(), qPrintable(name));
    // So are the windows' commands that change the books.
    const QList<QPair<QString, QString>> heldBack = {
        {"mnufrmProperty", "Save"}, {"mnufrmProperty", "Delete"}, {"mnufrmProperty", "cmdAddImage"},
        {"RentRoll", "Deposit"},
        {"RentRoll", "LeaseTerms"}, {"MileageLog", "ImportTrips"}, {"MileageLog", "Save"}};
    for (const auto& [window, command] : heldBack) {
        QWidget* shown = main.openWindow(window);
        QVERIFY2(shown, qPrintable(window));
        QApplication::processEvents();
        auto* found = shown->findChild<QWidget*>(command);
        QVERIFY2(found && !found->isEnabled(), qPrintable(window + QLatin1Char(' ') + command));
    }

    // Vendors Paid shows the year's payees with their ticks, which cannot be changed.
    QWidget* paid = main.openWindow(QStringLiteral("VendorsPaid"));
    QVERIFY(paid);
    QApplication::processEvents();
    auto* vendors = paid->findChild<QTableWidget*>(QStringLiteral("grdVendors"));
    QVERIFY(vendors && vendors->rowCount() == 1);
    QCOMPARE(vendors->item(0, 1)->text(), QStringLiteral("Ace Roofing"));
    QVERIFY(!vendors->item(0, 0)->flags().testFlag(Qt::ItemIsUserCheckable));

    // Back on the file, every command is there again.
    main.entry(QStringLiteral("OpenLocalBooks"))->trigger();
    for (const QString& name : writing)
        QVERIFY2(main.entry(name)->isEnabled(), qPrintable(name));
}

void tst_shell_shared_books::backupOfSharedBooks()
{
    ProgramFolder folder;
    frmMain main(Folders::portableAt(folder.path()));
    installWindows(main);
    main.show();
    folder.scripted.queuePassword(AnnPassword);
    openShared(main, books(QStringLiteral("ann")));
    folder.scripted.shown.clear();

    main.entry(QStringLiteral("BackupBackup"))->trigger();
    const QString dump = folder.path() + QStringLiteral("/backup/books 2026-03-07 14-05-09.dump");
    QCOMPARE(folder.scripted.texts(),
             QStringList{QStringLiteral("Database has been backed up to: \r\n") + dump
                         + QStringLiteral("...")});
    QCOMPARE(QDir(folder.path() + QStringLiteral("/backup")).entryList(QDir::Files),
             QStringList{QStringLiteral("books 2026-03-07 14-05-09.dump")});
    // Nothing of the local file was copied.
    QVERIFY(QFileInfo(databasePath(folder.path())).isFile());
    main.entry(QStringLiteral("OpenLocalBooks"))->trigger();
}

namespace {

QString loginCaption(const frmLogin& login)
{
    for (const QLabel* label : login.findChildren<QLabel*>())
        if (label->buddy() == login.txtPass)
            return label->text();
    return {};
}

// The program started with the shared books at `port` remembered.
void rememberShared(ProgramFolder& folder, const test::PgCluster& cluster, int port)
{
    Settings::keepIn(folder.path());
    BooksPlace{true, {QString(), cluster.socketFolder(), port, QStringLiteral("books"),
                      QStringLiteral("ann")}}
        .write();
}

} // namespace

void tst_shell_shared_books::startAsksForThePasswordOnTheServer()
{
    ProgramFolder folder;
    rememberShared(folder, *cluster, cluster->port());
    Startup startup(Folders::portableAt(folder.path()), folder.lockFolder());
    QVERIFY(startup.start());
    frmLogin* login = startup.loginWindow();
    QVERIFY(login->isVisible());
    QCOMPARE(loginCaption(*login), QStringLiteral("&Password of ann on the server:"));
    QVERIFY(folder.scripted.shown.isEmpty());

    login->txtPass->setText(QStringLiteral("not it"));
    QTest::keyClick(login->txtPass, Qt::Key_Return);
    QVERIFY(!startup.mainWindow());
    QCOMPARE(folder.scripted.shown.size(), 1);
    QVERIFY2(folder.scripted.shown[0].text.startsWith(
                 QStringLiteral("The shared books could not be opened: ")),
             qPrintable(folder.scripted.shown[0].text));
    QCOMPARE(folder.scripted.shown[0].title, QStringLiteral("Login Failed"));

    login->txtPass->setText(AnnPassword);
    QTest::keyClick(login->txtPass, Qt::Key_Return);
    QVERIFY(startup.mainWindow());
    QCOMPARE(startup.mainWindow()->windowTitle(),
             QStringLiteral("HALVO - books on ") + cluster->socketFolder());
    QCOMPARE(shownProperty(*startup.mainWindow()), QStringLiteral("ON SERVER"));
}

void tst_shell_shared_books::startOffersLocalBooksWhenServerIsAway()
{
    ProgramFolder folder;
    rememberShared(folder, *cluster, cluster->port() + 1); // nothing listens there
    folder.scripted.queueAnswer(Prompts::Answer::Yes);
    Startup startup(Folders::portableAt(folder.path()), folder.lockFolder());
    QVERIFY(startup.start());
    QCOMPARE(folder.scripted.shown.size(), 1);
    const ShownMessage& told = folder.scripted.shown[0];
    QVERIFY2(told.text.startsWith(QStringLiteral("The shared books could not be opened: ")),
             qPrintable(told.text));
    QVERIFY2(told.text.endsWith(QStringLiteral("\r\n\r\nOpen the local books instead?")),
             qPrintable(told.text));
    QCOMPARE(told.buttons, Prompts::Buttons::YesNo);
    // The file's own start: its first password, as for any new file.
    QVERIFY(startup.setPassWindow()->isVisible());
    QVERIFY(BooksPlace::read().shared);
}

QTEST_MAIN(tst_shell_shared_books)
#include "tst_shell_shared_books.moc"
