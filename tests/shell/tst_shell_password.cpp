// Start-up, login and the two password windows, on real database files.

#include "shell_test_support.h"

#include "hyperlink/vey_hyperlink_label.h"
#include "shell/login_window.h"
#include "shell/main_window.h"
#include "shell/password_store.h"
#include "shell/password_windows.h"
#include "shell/startup.h"
#include "editors/vendor_window.h"

#include <QMdiArea>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace halvo;
using testing::ProgramFolder;

namespace {

// How the first row of tblUser is left before the start.
enum class Stored { NoDatabase, NoRow, EmptyText, Null, Hashed, ClearText };

void store(ProgramFolder& folder, Stored stored, const QString& password = QStringLiteral("Secret"))
{
    switch (stored) {
    case Stored::NoDatabase: QFile::remove(databasePath(folder.path())); break;
    case Stored::NoRow: break;
    case Stored::EmptyText:
        folder.exec(QStringLiteral("INSERT INTO tblUser (Password) VALUES ('')"));
        break;
    case Stored::Null:
        folder.exec(QStringLiteral("INSERT INTO tblUser (Password) VALUES (NULL)"));
        break;
    case Stored::Hashed:
        folder.exec(QStringLiteral("INSERT INTO tblUser (Password) VALUES (?)"),
                    {PasswordStore::hash(password).value()});
        break;
    case Stored::ClearText:
        folder.exec(QStringLiteral("INSERT INTO tblUser (Password) VALUES (?)"), {password});
        break;
    }
}

QList<QVariantList> userRows(const ProgramFolder& folder)
{
    return folder.db().select(QStringLiteral("SELECT Password FROM tblUser ORDER BY rowid")).value().values;
}

// Makes every new row of tblUser fail, as a full disk would.
void failWrites(const ProgramFolder& folder)
{
    folder.exec(QStringLiteral("CREATE TRIGGER failAdd BEFORE INSERT ON tblUser "
                               "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END"));
}

bool logsIn(const QString& folder, const QString& typed)
{
    frmLogin login(folder);
    QSignalSpy in(&login, &frmLogin::loggedIn);
    login.txtPass->setText(typed);
    login.Login_Click();
    return in.count() == 1;
}

} // namespace

Q_DECLARE_METATYPE(Stored)

class tst_shell_password : public QObject {
    Q_OBJECT
private slots:
    void startupChoosesWindow_data();
    void startupChoosesWindow();
    void secondCopyIsRefused();
    void loginComparesExactly_data();
    void loginComparesExactly();
    void wrongTriesThenRightOpensMain();
    void closingLoginEndsProgram();
    void firstPasswordMismatch();
    void firstPasswordIsStoredHashed();
    void emptyFirstPasswordThenRealOne();
    void failedFirstSaveStaysOnWindow_data();
    void failedFirstSaveStaysOnWindow();
    void changePassword_data();
    void changePassword();
    void failedChangeKeepsOldPassword();
    void changeReplacesEveryRow();
    void commandsAreLinkLabelsWithBuddies();
};

void tst_shell_password::startupChoosesWindow_data()
{
    QTest::addColumn<Stored>("stored");
    QTest::addColumn<bool>("firstRun");
    // A database file that is missing or cannot be used is not a first run: the start-up names
    // it and shows neither window (tst_shell_bad_files).
    QTest::newRow("empty tblUser") << Stored::NoRow << true;
    QTest::newRow("empty text") << Stored::EmptyText << true;
    QTest::newRow("NULL password") << Stored::Null << false;
    QTest::newRow("hashed password") << Stored::Hashed << false;
    QTest::newRow("clear text of an older file") << Stored::ClearText << false;
}

void tst_shell_password::startupChoosesWindow()
{
    QFETCH(Stored, stored);
    QFETCH(bool, firstRun);
    ProgramFolder folder;
    store(folder, stored);
    Startup startup(Folders::portableAt(folder.path()), folder.lockFolder());
    QVERIFY(startup.start());
    QCOMPARE(startup.setPassWindow()->isVisible(), firstRun);
    QCOMPARE(startup.loginWindow()->isVisible(), !firstRun);
    QCOMPARE(startup.setPassWindow()->windowTitle(), QStringLiteral("User Password"));
    QCOMPARE(startup.loginWindow()->windowTitle(), QStringLiteral("Login"));
    QVERIFY(folder.scripted.shown.isEmpty());
}

void tst_shell_password::secondCopyIsRefused()
{
    ProgramFolder folder;
    store(folder, Stored::Hashed);
    Startup first(Folders::portableAt(folder.path()), folder.lockFolder());
    QVERIFY(first.start());
    Startup second(Folders::portableAt(folder.path()), folder.lockFolder());
    QVERIFY(!second.start());
    QCOMPARE(folder.scripted.shown.size(), 1);
    const ShownMessage& shown = folder.scripted.shown.first();
    QCOMPARE(shown.text, QStringLiteral("Program is already running!"));
    QCOMPARE(shown.title, QStringLiteral("HALVO"));
    QCOMPARE(shown.icon, Prompts::Icon::None);
    QCOMPARE(shown.buttons, Prompts::Buttons::Ok);
    QVERIFY(!second.loginWindow());
    // The running copy is left as it was.
    QVERIFY(first.loginWindow()->isVisible());
}

void tst_shell_password::loginComparesExactly_data()
{
    QTest::addColumn<Stored>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    for (Stored s : {Stored::Hashed, Stored::ClearText}) {
        const char* kind = s == Stored::Hashed ? "hashed" : "clear";
        QTest::addRow("%s: identical", kind) << s << "Secret" << true;
        QTest::addRow("%s: other letter case", kind) << s << "secret" << false;
        QTest::addRow("%s: trailing blank", kind) << s << "Secret " << false;
        QTest::addRow("%s: empty", kind) << s << "" << false;
    }
    QTest::newRow("NULL, empty typed") << Stored::Null << "" << false;
    QTest::newRow("NULL, text typed") << Stored::Null << "NULL" << false;
    QTest::newRow("empty text, empty typed") << Stored::EmptyText << "" << true;
    QTest::newRow("empty text, blank typed") << Stored::EmptyText << " " << false;
    QTest::newRow("no row") << Stored::NoRow << "" << false;
    QTest::newRow("no database") << Stored::NoDatabase << "" << false;
}

void tst_shell_password::loginComparesExactly()
{
    QFETCH(Stored, stored);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    ProgramFolder folder;
    store(folder, stored);
    frmLogin login(folder.path());
    login.show();
    QSignalSpy in(&login, &frmLogin::loggedIn);
    login.txtPass->setText(typed);
    login.Login_Click();
    QCOMPARE(in.count(), accepted ? 1 : 0);
    QCOMPARE(login.isVisible(), !accepted);
    if (accepted) {
        QVERIFY(folder.scripted.shown.isEmpty());
    } else {
        QCOMPARE(folder.scripted.shown.size(), 1);
        QCOMPARE(folder.scripted.shown[0].text, QStringLiteral("Password is incorrect!"));
        QCOMPARE(folder.scripted.shown[0].title, QStringLiteral("Login Failed"));
        QCOMPARE(folder.scripted.shown[0].icon, Prompts::Icon::Critical);
        // The typed text stays for another try.
        QCOMPARE(login.txtPass->text(), typed);
    }
}

void tst_shell_password::wrongTriesThenRightOpensMain()
{
    ProgramFolder folder;
    store(folder, Stored::Hashed);
    Startup startup(Folders::portableAt(folder.path()), folder.lockFolder());
    QVERIFY(startup.start());
    frmLogin* login = startup.loginWindow();
    for (const char* wrong : {"secret", "SECRET", "Secret "}) {
        login->txtPass->setText(QString::fromLatin1(wrong));
        // Enter in the password box is the Login command.
        QTest::keyClick(login->txtPass, Qt::Key_Return);
        QVERIFY(!startup.mainWindow());
    }
    login->txtPass->setText(QStringLiteral("Secret"));
    QTest::mouseClick(login->Login, Qt::LeftButton, {}, QPoint(4, 4));
    QVERIFY(startup.mainWindow());
    QVERIFY(startup.mainWindow()->isVisible());
    QVERIFY(!login->isVisible());
    QVERIFY(!startup.setPassWindow()->isVisible());
    QCOMPARE(folder.scripted.shown.size(), 3);
    // The property editor is the first child; the vendor editor, asked for by another window,
    // opens inside the main window once.
    frmMain* main = startup.mainWindow();
    QVERIFY(main->openedWindow(QStringLiteral("mnufrmProperty")));
    Puiblic_Module::OpenVendorWindow(QString());
    Puiblic_Module::OpenVendorWindow(QString());
    QVERIFY(main->openedWindow(QStringLiteral("mnuDatafrmVendor")));
    QCOMPARE(main->mdiArea()->subWindowList().size(), 2);

    // Closing the main window ends the program.
    QSignalSpy finished(&startup, &Startup::finished);
    startup.mainWindow()->close();
    QCOMPARE(finished.count(), 1);
}

void tst_shell_password::closingLoginEndsProgram()
{
    ProgramFolder folder;
    store(folder, Stored::Hashed);
    Startup startup(Folders::portableAt(folder.path()), folder.lockFolder());
    QVERIFY(startup.start());
    QSignalSpy finished(&startup, &Startup::finished);
    QCOMPARE(startup.loginWindow()->cmdExit->Caption(), QStringLiteral("Close"));
    startup.loginWindow()->cmdExit_Click();
    QCOMPARE(finished.count(), 1);
    startup.loginWindow()->close();
    QCOMPARE(finished.count(), 2);
}
void tst_shell_password::firstPasswordMismatch()
{
    ProgramFolder folder;
    Startup startup(Folders::portableAt(folder.path()), folder.lockFolder());
    QVERIFY(startup.start());
    frmSetPass* setPass = startup.setPassWindow();
    setPass->txtUserPass->setText(QStringLiteral("Secret"));
    setPass->txtConfirmPass->setText(QStringLiteral("secret"));
    setPass->Save_Click();
    QCOMPARE(folder.scripted.shown.size(), 1);
    QCOMPARE(folder.scripted.shown[0].text,
             QStringLiteral("The User Password does not match with the confirmed password!"));
    QCOMPARE(folder.scripted.shown[0].title, QStringLiteral("Set Pass Failed"));
    QCOMPARE(folder.scripted.shown[0].icon, Prompts::Icon::None);
    QVERIFY(userRows(folder).isEmpty());
    QVERIFY(setPass->isVisible());
    QVERIFY(!startup.loginWindow()->isVisible());
    QCOMPARE(setPass->txtConfirmPass->text(), QStringLiteral("secret"));
}

void tst_shell_password::firstPasswordIsStoredHashed()
{
    ProgramFolder folder;
    Startup startup(Folders::portableAt(folder.path()), folder.lockFolder());
    QVERIFY(startup.start());
    frmSetPass* setPass = startup.setPassWindow();
    setPass->txtUserPass->setText(QStringLiteral("Tr0ub4dor&3"));
    setPass->txtConfirmPass->setText(QStringLiteral("Tr0ub4dor&3"));
    QTest::keyClick(setPass->txtConfirmPass, Qt::Key_Return);
    QVERIFY(folder.scripted.shown.isEmpty());
    QVERIFY(!setPass->isVisible());
    QVERIFY(startup.loginWindow()->isVisible());

    const auto rows = userRows(folder);
    QCOMPARE(rows.size(), 1);
    const QString stored = rows[0][0].toString();
    QVERIFY(PasswordStore::isHash(stored));
    QVERIFY(!stored.contains(QStringLiteral("Tr0ub4dor")));
    // Salted: the same password hashes differently each time.
    QVERIFY(PasswordStore::hash(QStringLiteral("Tr0ub4dor&3")).value() != stored);

    QVERIFY(!logsIn(folder.path(), QStringLiteral("tr0ub4dor&3")));
    QVERIFY(logsIn(folder.path(), QStringLiteral("Tr0ub4dor&3")));
}

void tst_shell_password::emptyFirstPasswordThenRealOne()
{
    ProgramFolder folder;
    {
        Startup startup(Folders::portableAt(folder.path()), folder.lockFolder());
        QVERIFY(startup.start());
        startup.setPassWindow()->Save_Click(); // both boxes empty
        QVERIFY(startup.loginWindow()->isVisible());
        QCOMPARE(userRows(folder)[0][0].toString(), QString());
        QVERIFY(!userRows(folder)[0][0].isNull());
        QVERIFY(logsIn(folder.path(), QString()));
    }
    // The next start treats the password as not set, and a password saved then is the one
    // in force: it replaces the empty row rather than standing behind it.
    Startup startup(Folders::portableAt(folder.path()), folder.lockFolder());
    QVERIFY(startup.start());
    QVERIFY(startup.setPassWindow()->isVisible());
    startup.setPassWindow()->txtUserPass->setText(QStringLiteral("Later"));
    startup.setPassWindow()->txtConfirmPass->setText(QStringLiteral("Later"));
    startup.setPassWindow()->Save_Click();
    QCOMPARE(userRows(folder).size(), 1);
    QVERIFY(!logsIn(folder.path(), QString()));
    QVERIFY(logsIn(folder.path(), QStringLiteral("Later")));
}

void tst_shell_password::failedFirstSaveStaysOnWindow_data()
{
    QTest::addColumn<bool>("databaseMissing");
    QTest::newRow("database file gone since the start") << true;
    QTest::newRow("row cannot be written") << false;
}

void tst_shell_password::failedFirstSaveStaysOnWindow()
{
    QFETCH(bool, databaseMissing);
    ProgramFolder folder;
    if (!databaseMissing)
        failWrites(folder);
    Startup startup(Folders::portableAt(folder.path()), folder.lockFolder());
    QVERIFY(startup.start());
    if (databaseMissing)
        store(folder, Stored::NoDatabase);
    frmSetPass* setPass = startup.setPassWindow();
    setPass->txtUserPass->setText(QStringLiteral("Secret"));
    setPass->txtConfirmPass->setText(QStringLiteral("Secret"));
    setPass->Save_Click();
    QCOMPARE(folder.scripted.shown.size(), 1);
    QVERIFY(folder.scripted.shown[0].text.startsWith(
        QStringLiteral("The password could not be saved.")));
    QCOMPARE(folder.scripted.shown[0].title, QStringLiteral("Set Pass Failed"));
    QCOMPARE(folder.scripted.shown[0].icon, Prompts::Icon::Critical);
    QVERIFY(setPass->isVisible());
    QVERIFY(!startup.loginWindow()->isVisible());
    if (databaseMissing)
        QVERIFY(!QFile::exists(databasePath(folder.path()))); // no new file made in its place
    else
        QVERIFY(userRows(folder).isEmpty());
}

void tst_shell_password::changePassword_data()
{
    QTest::addColumn<QString>("oldTyped");
    QTest::addColumn<QString>("newTyped");
    QTest::addColumn<QString>("confirmTyped");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");
    const QString changed = QStringLiteral("Password has been changed!");
    const QString oldWrong = QStringLiteral("Old Password is not correct!");
    const QString mismatch =
        QStringLiteral("The new password does not match with the confirmed password!");
    QTest::newRow("all right") << "Secret" << "Newer" << "Newer" << changed << "Password Changed";
    QTest::newRow("old in other case") << "secret" << "Newer" << "Newer" << oldWrong
                                       << "Password Error";
    QTest::newRow("old with trailing blank") << "Secret " << "Newer" << "Newer" << oldWrong
                                             << "Password Error";
    QTest::newRow("old wrong and new differ") << "Wrong" << "Newer" << "Other" << oldWrong
                                              << "Password Error";
    QTest::newRow("new differ in case") << "Secret" << "Newer" << "newer" << mismatch
                                        << "Password Error";
    QTest::newRow("changed to empty") << "Secret" << "" << "" << changed << "Password Changed";
}

void tst_shell_password::changePassword()
{
    QFETCH(QString, oldTyped);
    QFETCH(QString, newTyped);
    QFETCH(QString, confirmTyped);
    QFETCH(QString, message);
    QFETCH(QString, title);
    ProgramFolder folder;
    store(folder, Stored::Hashed);
    frmChangePass dialog(folder.path());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Change Password"));
    dialog.show();
    dialog.txtOldPass->setText(oldTyped);
    dialog.txtNewPass->setText(newTyped);
    dialog.txtConfirmPass->setText(confirmTyped);
    dialog.Save_Click();

    QCOMPARE(folder.scripted.texts(), QStringList{message});
    QCOMPARE(folder.scripted.shown[0].title, title);
    const bool changed = title == QLatin1String("Password Changed");
    QCOMPARE(folder.scripted.shown[0].icon,
             changed ? Prompts::Icon::Information : Prompts::Icon::Critical);
    QCOMPARE(dialog.isVisible(), !changed);
    QCOMPARE(userRows(folder).size(), 1);
    QCOMPARE(logsIn(folder.path(), QStringLiteral("Secret")), !changed);
    QCOMPARE(logsIn(folder.path(), newTyped), changed || newTyped == QLatin1String("Secret"));
}

void tst_shell_password::failedChangeKeepsOldPassword()
{
    ProgramFolder folder;
    store(folder, Stored::Hashed);
    failWrites(folder); // the old row can go, the new one cannot come
    frmChangePass dialog(folder.path());
    dialog.show();
    dialog.txtOldPass->setText(QStringLiteral("Secret"));
    dialog.txtNewPass->setText(QStringLiteral("Newer"));
    dialog.txtConfirmPass->setText(QStringLiteral("Newer"));
    dialog.Save_Click();
    QCOMPARE(folder.scripted.shown.size(), 1);
    QVERIFY(!folder.scripted.texts().contains(QStringLiteral("Password has been changed!")));
    QCOMPARE(folder.scripted.shown[0].title, QStringLiteral("Password Error"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(userRows(folder).size(), 1);
    QVERIFY(logsIn(folder.path(), QStringLiteral("Secret")));
    QVERIFY(!logsIn(folder.path(), QStringLiteral("Newer")));
    // And the next start still asks for the login, not for a first password.
    QVERIFY(!PasswordStore(folder.path()).isFirstRun());
}

void tst_shell_password::changeReplacesEveryRow()
{
    // A file with more than one row (written by hand, or by an older program) is left with
    // exactly the new password.
    ProgramFolder folder;
    store(folder, Stored::ClearText, QStringLiteral("Secret"));
    store(folder, Stored::ClearText, QStringLiteral("Second"));
    frmChangePass dialog(folder.path());
    dialog.txtOldPass->setText(QStringLiteral("Secret"));
    dialog.txtNewPass->setText(QStringLiteral("Newer"));
    dialog.txtConfirmPass->setText(QStringLiteral("Newer"));
    dialog.Save_Click();
    QCOMPARE(folder.scripted.texts(), QStringList{QStringLiteral("Password has been changed!")});
    QCOMPARE(userRows(folder).size(), 1);
    QVERIFY(PasswordStore::isHash(userRows(folder)[0][0].toString()));
    QVERIFY(logsIn(folder.path(), QStringLiteral("Newer")));
}

void tst_shell_password::commandsAreLinkLabelsWithBuddies()
{
    // Every password box is masked and reached by its label's access key.
    ProgramFolder folder;
    frmSetPass setPass(folder.path());
    frmLogin login(folder.path());
    frmChangePass change(folder.path());
    for (QWidget* window : std::initializer_list<QWidget*>{&setPass, &login, &change}) {
        const auto labels = window->findChildren<QLabel*>();
        for (QLineEdit* box : window->findChildren<QLineEdit*>()) {
            QCOMPARE(box->echoMode(), QLineEdit::Password);
            const bool hasBuddy = std::any_of(labels.begin(), labels.end(), [&](QLabel* l) {
                return l->buddy() == box && l->text().contains(QLatin1Char('&'));
            });
            QVERIFY2(hasBuddy, qPrintable(window->objectName() + "." + box->objectName()));
        }
    }
    QCOMPARE(setPass.Save->Caption(), QStringLiteral("Save"));
    QCOMPARE(login.Login->Caption(), QStringLiteral("Login"));
    QCOMPARE(change.Save->Caption(), QStringLiteral("Save"));
}

QTEST_MAIN(tst_shell_password)
#include "tst_shell_password.moc"
