// The database file locked with the user's password, on real files: the question after the first
// password, the login that opens the file, the changed password, the sqlcipher command line, the
// wait after wrong passwords, and backups restored into a locked file.

#include "shell_test_support.h"

#include "lock/file_lock.h"
#include "maintenance/backup_commands.h"
#include "platform/desktop.h"
#include "editors/record_editor.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "ledger/import_window.h"
#include "ledger/statement_account_window.h"
#include "shell/idle_lock.h"
#include "shell/login_window.h"
#include "shell/main_window.h"
#include "shell/window_table.h"
#include "shell/password_store.h"
#include "shell/password_windows.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMessageBox>
#include <QTableView>
#include <QTimer>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>

using namespace halvo;
using testing::ProgramFolder;

namespace {

// Forgets the key the login found, as a new start of the program does.
void restart(const ProgramFolder& folder)
{
    releaseDatabase(databasePath(folder.path()));
    setFileKey(databasePath(folder.path()), DatabasePassword);
}

bool opensWithFixedPassword(const ProgramFolder& folder)
{
    restart(folder);
    const bool opens = Connection::openFile(databasePath(folder.path()), DatabasePassword).ok();
    restart(folder);
    return opens;
}

// The login as the user meets it: the text typed and Login; the last message's text, or empty
// when the main window opened without one.
QString login(const ProgramFolder& folder, const QString& typed, bool* opened = nullptr)
{
    frmLogin window(folder.path());
    QSignalSpy in(&window, &frmLogin::loggedIn);
    const qsizetype before = folder.scripted.shown.size();
    window.txtPass->setText(typed);
    window.Login_Click();
    if (opened)
        *opened = in.count() == 1;
    return folder.scripted.shown.size() > before ? folder.scripted.shown.last().text : QString();
}

void firstPassword(ProgramFolder& folder, const QString& password, Prompts::Answer lockAnswer)
{
    Settings::setValue(DontOfferLockKey, {});
    folder.scripted.queueAnswer(lockAnswer);
    frmSetPass window(folder.path());
    window.txtUserPass->setText(password);
    window.txtConfirmPass->setText(password);
    window.Save_Click();
}

QString lockQuestion()
{
    return QStringLiteral("Lock the database file with your password?\n\nThen only your password "
                          "opens the file and its backups, here or anywhere they are copied. "
                          "Without the password the records cannot be read by anyone, so keep "
                          "it safe.");
}

QString note(const ProgramFolder& folder)
{
    return folder.db().scalar(QStringLiteral("SELECT Notes FROM tblNotes")).value().toString();
}

// A database holding one note, keyed with the fixed password, or locked with `password`.
void makeBackup(const QString& path, const QString& text, const QString& password)
{
    ProgramFolder other;
    other.exec(QStringLiteral("INSERT INTO tblNotes (Notes) VALUES (?)"), {text});
    if (!password.isEmpty()) {
        firstPassword(other, password, Prompts::Answer::Yes);
        restart(other);
    }
    releaseDatabase(databasePath(other.path()));
    QVERIFY(QFile::copy(databasePath(other.path()), path));
}

} // namespace

Q_DECLARE_METATYPE(Prompts::Answer)

class tst_shell_lock : public QObject {
    Q_OBJECT
private slots:
    void firstPasswordOffersTheLock_data();
    void firstPasswordOffersTheLock();
    void loginOffersTheLockOnce();
    void changedPasswordKeysTheFileAnew();
    void commandLineOpensTheLockedFile();
    void wrongPasswordsMakeTheLoginWait();
    void rightPasswordToAFileOfANewerProgram();
    void restoreIntoALockedFile_data();
    void restoreIntoALockedFile();
    void timeAwayFromTheSetting_data();
    void timeAwayFromTheSetting();
    void lockWhenAwayKeepsPendingEdits();
    void lockKeepsOpenDialogsAsTheyWere();
};

void tst_shell_lock::firstPasswordOffersTheLock_data()
{
    QTest::addColumn<Prompts::Answer>("answer");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<bool>("neverAskedAgain");
    QTest::newRow("Yes locks the file") << Prompts::Answer::Yes << true << false;
    QTest::newRow("No leaves it for the next start") << Prompts::Answer::No << false << false;
    QTest::newRow("Don't ask again") << Prompts::Answer::DontAsk << false << true;
}

void tst_shell_lock::firstPasswordOffersTheLock()
{
    QFETCH(Prompts::Answer, answer);
    QFETCH(bool, locked);
    QFETCH(bool, neverAskedAgain);
    ProgramFolder folder;
    firstPassword(folder, QStringLiteral("Secret"), answer);
    QCOMPARE(folder.scripted.texts(), QStringList{lockQuestion()});
    QCOMPARE(folder.scripted.shown.first().title, QStringLiteral("Lock Database File"));
    QCOMPARE(folder.scripted.shown.first().buttons, Prompts::Buttons::YesNoDontAsk);

    QCOMPARE(opensWithFixedPassword(folder), !locked);
    bool opened = false;
    QCOMPARE(login(folder, QStringLiteral("secret"), &opened), QStringLiteral("Password is incorrect!"));
    QVERIFY(!opened);
    QCOMPARE(login(folder, QStringLiteral("Secret"), &opened), QString());
    QVERIFY(opened);
    // What the file holds is read with the key the login found.
    QCOMPARE(folder.db().select(QStringLiteral("SELECT count(*) FROM tblUser")).value().values,
             (QList<QVariantList>{{1}}));

    // The login right after does not ask again; "Don't ask again" holds for later starts.
    QCOMPARE(folder.scripted.shown.size(), 2);
    QCOMPARE(!Settings::value(DontOfferLockKey).isEmpty(), neverAskedAgain);
}

void tst_shell_lock::loginOffersTheLockOnce()
{
    ProgramFolder folder;
    folder.exec(QStringLiteral("INSERT INTO tblUser (Password) VALUES (?)"),
                {PasswordStore::hash(QStringLiteral("Secret")).value()});
    Settings::setValue(DontOfferLockKey, {});
    folder.scripted.queueAnswer(Prompts::Answer::No);
    bool opened = false;
    QCOMPARE(login(folder, QStringLiteral("Secret"), &opened), lockQuestion());
    QVERIFY(opened);
    // Asked once a run: the next login of this run goes straight in.
    QCOMPARE(login(folder, QStringLiteral("Secret"), &opened), QString());
    QVERIFY(opensWithFixedPassword(folder));
}

void tst_shell_lock::changedPasswordKeysTheFileAnew()
{
    ProgramFolder folder;
    firstPassword(folder, QStringLiteral("Secret"), Prompts::Answer::Yes);
    QCOMPARE(login(folder, QStringLiteral("Secret")), QString());
    folder.exec(QStringLiteral("INSERT INTO tblNotes (Notes) VALUES ('kept through the change')"));

    frmChangePass change(folder.path());
    change.txtOldPass->setText(QStringLiteral("Secret"));
    change.txtNewPass->setText(QStringLiteral("Other"));
    change.txtConfirmPass->setText(QStringLiteral("Other"));
    change.Save_Click();
    QCOMPARE(folder.scripted.shown.last().text, QStringLiteral("Password has been changed!"));
    // The windows still open go on with the file keyed anew.
    QCOMPARE(folder.db().scalar(QStringLiteral("SELECT Notes FROM tblNotes")).value().toString(),
             QStringLiteral("kept through the change"));

    restart(folder);
    QVERIFY(!opensWithFixedPassword(folder));
    bool opened = false;
    QCOMPARE(login(folder, QStringLiteral("Secret"), &opened), QStringLiteral("Password is incorrect!"));
    QVERIFY(!opened);
    QCOMPARE(login(folder, QStringLiteral("Other"), &opened), QString());
    QVERIFY(opened);
    QCOMPARE(folder.db().scalar(QStringLiteral("SELECT Notes FROM tblNotes")).value().toString(),
             QStringLiteral("kept through the change"));
}

// Exactly the README's commands.
void tst_shell_lock::commandLineOpensTheLockedFile()
{
    if (QStandardPaths::findExecutable(QStringLiteral("argon2")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("sqlcipher")).isEmpty())
        QSKIP("argon2 and sqlcipher are installed by scripts/setup");
    ProgramFolder folder;
    firstPassword(folder, QStringLiteral("Pass word \"quoted\""), Prompts::Answer::Yes);
    restart(folder);
    QProcess shell;
    shell.setWorkingDirectory(folder.path());
    shell.start(QStringLiteral("bash"),
                {QStringLiteral("-c"),
                 QStringLiteral(
                     "salt=$(head -c 16 halvo0905.mdb)\n"
                     "key=$(printf '%s' \"$1\" | argon2 \"$salt\" -id -t 3 -m 16 -p 1 -l 32 -r)\n"
                     "sqlcipher halvo0905.mdb \"PRAGMA key = \\\"x'$key'\\\";\" "
                     "'PRAGMA cipher_page_size = 4096;' 'SELECT count(*) FROM tblUser;'"),
                 QStringLiteral("bash"), QStringLiteral("Pass word \"quoted\"")});
    QVERIFY(shell.waitForFinished(30000));
    QCOMPARE(QString::fromUtf8(shell.readAllStandardOutput()).trimmed(), QStringLiteral("1"));
}

void tst_shell_lock::wrongPasswordsMakeTheLoginWait()
{
    ProgramFolder folder;
    folder.exec(QStringLiteral("INSERT INTO tblUser (Password) VALUES (?)"),
                {PasswordStore::hash(QStringLiteral("Secret")).value()});
    // Tried at a moment between two whole seconds, as a user's tries always are.
    const QDateTime start(QDate(2026, 12, 8), QTime(9, 0, 0, 700));
    Clock::fixAt(start);
    bool opened = false;
    // Three wrong, then the right one opens at once, and the count starts again.
    for (int i = 0; i < 3; ++i)
        QCOMPARE(login(folder, QStringLiteral("wrong")), QStringLiteral("Password is incorrect!"));
    QCOMPARE(login(folder, QStringLiteral("Secret"), &opened), QString());
    QVERIFY(opened);

    const QStringList waits{{}, {}, {}, {}, QStringLiteral("1 second"), QStringLiteral("2 seconds"),
                            QStringLiteral("4 seconds"), QStringLiteral("8 seconds"),
                            QStringLiteral("16 seconds"), QStringLiteral("30 seconds"),
                            QStringLiteral("30 seconds")};
    QDateTime now = start;
    for (const QString& wait : waits) {
        const QString said = login(folder, QStringLiteral("wrong"));
        QCOMPARE(said, wait.isEmpty() ? QStringLiteral("Password is incorrect!")
                                      : QStringLiteral("Password is incorrect!\n\nYou can try "
                                                       "again in %1.").arg(wait));
        if (wait.isEmpty())
            continue;
        // During the wait even the right password is not tried, also after a new start.
        QCOMPARE(login(folder, QStringLiteral("Secret"), &opened),
                 QStringLiteral("Wait %1 before you try again.").arg(wait));
        QVERIFY(!opened);
        const int seconds = wait.section(QLatin1Char(' '), 0, 0).toInt();
        // A second later, a second less, to the end it was said to have.
        if (seconds > 2) {
            Clock::fixAt(now.addSecs(1));
            QCOMPARE(login(folder, QStringLiteral("Secret"), &opened),
                     QStringLiteral("Wait %1 seconds before you try again.").arg(seconds - 1));
            Clock::fixAt(now.addMSecs(seconds * 1000 - 1));
            QCOMPARE(login(folder, QStringLiteral("Secret"), &opened),
                     QStringLiteral("Wait 1 second before you try again."));
        }
        now = now.addSecs(seconds);
        Clock::fixAt(now);
    }
    QCOMPARE(login(folder, QStringLiteral("Secret"), &opened), QString());
    QVERIFY(opened);
    QCOMPARE(login(folder, QStringLiteral("wrong")), QStringLiteral("Password is incorrect!"));
    Clock::fixAt({});
}

// The password opens the locked file, which a newer HALVO has written: the user is told so, not
// that the password is wrong, and the try is not counted against them.
void tst_shell_lock::rightPasswordToAFileOfANewerProgram()
{
    ProgramFolder folder;
    firstPassword(folder, QStringLiteral("Secret"), Prompts::Answer::Yes);
    QVERIFY(login(folder, QStringLiteral("Secret")).isEmpty());
    folder.exec(QStringLiteral("PRAGMA user_version = 1000"));
    restart(folder);
    const QString path = databasePath(folder.path());
    for (int tries = 0; tries < 6; ++tries)
        QCOMPARE(login(folder, QStringLiteral("Secret")),
                 QStringLiteral("The database file cannot be opened:\n\nThe database file \"%1\" "
                                "was written by a newer version of HALVO, which keeps its records "
                                "in a way this one does not know. It is left as it is: open it "
                                "with that version.")
                     .arg(path));
    QCOMPARE(folder.scripted.shown.last().title, QStringLiteral("Login Failed"));
}

void tst_shell_lock::restoreIntoALockedFile_data()
{
    QTest::addColumn<QString>("madeWith"); // the backup's password; empty: the fixed one
    QTest::addColumn<QStringList>("typed"); // answers to the password question
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("noteAfter");
    const QString proceed = QStringLiteral("Restoring from backup will replace current data. Do "
                                           "you wish to proceed?");
    const QString restored = QStringLiteral("Backup has been restored...");
    // Made by Backup Database from the locked file itself.
    QTest::newRow("locked with the same key") << QStringLiteral("Secret") << QStringList{}
                                                   << QStringList{proceed, restored}
                                                   << QStringLiteral("from the backup");
    QTest::newRow("keyed with the fixed password") << QString() << QStringList{}
                                                   << QStringList{proceed, restored}
                                                   << QStringLiteral("from the backup");
    QTest::newRow("another password, given") << QStringLiteral("Older")
                                             << QStringList{QStringLiteral("Older")}
                                             << QStringList{proceed, restored}
                                             << QStringLiteral("from the backup");
    QTest::newRow("another password, wrong")
        << QStringLiteral("Older") << QStringList{QStringLiteral("older")}
        << QStringList{proceed,
                       QStringLiteral("The file \"%1\" cannot be restored: the password does "
                                      "not open it.\r\n\r\nThe current data is left as it is.")}
        << QStringLiteral("live");
    QTest::newRow("another password, cancelled")
        << QStringLiteral("Older") << QStringList{}
        << QStringList{proceed,
                       QStringLiteral("The file \"%1\" cannot be restored: it is locked with "
                                      "another password, which was not given.\r\n\r\nThe "
                                      "current data is left as it is.")}
        << QStringLiteral("live");
}

void tst_shell_lock::restoreIntoALockedFile()
{
    QFETCH(QString, madeWith);
    QFETCH(QStringList, typed);
    QFETCH(QStringList, messages);
    QFETCH(QString, noteAfter);
    // The backup is made first: a folder of its own installs its own prompts and settings.
    const bool sameKey = madeWith == QStringLiteral("Secret");
    QTemporaryDir made;
    if (!sameKey)
        makeBackup(made.filePath(QStringLiteral("backup.mdb")), QStringLiteral("from the backup"),
                   madeWith);
    ProgramFolder folder;
    folder.exec(QStringLiteral("INSERT INTO tblNotes (Notes) VALUES ('from the backup')"));
    firstPassword(folder, QStringLiteral("Secret"), Prompts::Answer::Yes);
    QCOMPARE(login(folder, QStringLiteral("Secret")), QString());
    BackupCommands commands({nullptr, folder.path(), [] { return true; }, {}});
    QString backup;
    if (sameKey) {
        commands.Backup();
        backup = QDir(commands.backupFolder()).filePath(BackupCommands::backupFileName(Clock::today()));
    } else {
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("backup")));
        backup = QDir(folder.path()).filePath(QStringLiteral("backup/HALVO_1212026.mdb"));
        QVERIFY(QFile::copy(made.filePath(QStringLiteral("backup.mdb")), backup));
    }
    folder.exec(QStringLiteral("UPDATE tblNotes SET Notes = 'live'"));

    folder.scripted.shown.clear();
    for (const QString& answer : typed)
        folder.scripted.queuePassword(answer);
    folder.scripted.queueFileName(backup);
    commands.Restore();
    for (QString& m : messages)
        if (m.contains(QLatin1String("%1")))
            m = m.arg(backup);
    QCOMPARE(folder.scripted.texts(), messages);
    const bool otherPassword = !madeWith.isEmpty() && madeWith != QStringLiteral("Secret");
    QCOMPARE(folder.scripted.passwordQuestions.size(), otherPassword ? 1 : 0);
    if (otherPassword)
        QCOMPARE(folder.scripted.passwordQuestions.first(),
                 QStringLiteral("The backup \"%1\" is locked with another password. Enter the "
                                "password it was made with:")
                     .arg(backup));

    // Whatever the backup was keyed with, the file is locked with the password in force.
    QCOMPARE(note(folder), noteAfter);
    restart(folder);
    QVERIFY(!opensWithFixedPassword(folder));
    bool opened = false;
    QCOMPARE(login(folder, QStringLiteral("Secret"), &opened), QString());
    QVERIFY(opened);
    QCOMPARE(note(folder), noteAfter);
}

void tst_shell_lock::timeAwayFromTheSetting_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<int>("minutes"); // 0: never
    QTest::newRow("not set") << QString() << 15;
    QTest::newRow("five") << QStringLiteral("5") << 5;
    QTest::newRow("never") << QStringLiteral("never") << 0;
    QTest::newRow("Never, with blanks") << QStringLiteral(" Never ") << 0;
    QTest::newRow("zero") << QStringLiteral("0") << 0;
    QTest::newRow("negative") << QStringLiteral("-3") << 15;
    QTest::newRow("not a number") << QStringLiteral("ten") << 15;
}

void tst_shell_lock::timeAwayFromTheSetting()
{
    QFETCH(QString, setting);
    QFETCH(int, minutes);
    QCOMPARE(IdleLock::minutesFrom(setting).value_or(0), minutes);
}

// Whether the lock's cover stands over the whole of a window.
bool covered(QWidget* window)
{
    auto* cover = window->findChild<QWidget*>(QStringLiteral("lockCover"), Qt::FindDirectChildrenOnly);
    return cover && cover->isVisible() && cover->geometry() == window->rect();
}

void tst_shell_lock::lockWhenAwayKeepsPendingEdits()
{
    ProgramFolder folder;
    firstPassword(folder, QStringLiteral("Secret"), Prompts::Answer::Yes);
    QCOMPARE(login(folder, QStringLiteral("Secret")), QString());
    frmMain main(Folders::portableAt(folder.path()));
    installWindows(main);
    main.show();
    auto* vendors = qobject_cast<RecordEditor*>(main.openWindow(QStringLiteral("mnuDatafrmVendor")));
    QVERIFY(vendors);
    QTest::mouseClick(vendors->link(QStringLiteral("AddVendor")), Qt::LeftButton, {}, QPoint(2, 2));
    QLineEdit* company = vendors->box(QStringLiteral("txtFields(2)"));
    QTest::keyClicks(company, QStringLiteral("Quick Plumbing"));

    IdleLock idle(folder.path());
    idle.lockNow();
    QVERIFY(covered(&main));
    frmLocked* locked = idle.lockWindow();
    QVERIFY(locked->isVisible());
    QCOMPARE(locked->windowTitle(), QStringLiteral("HALVO is locked"));
    locked->close(); // only the password opens it
    QVERIFY(locked->isVisible());

    folder.scripted.shown.clear();
    locked->txtPass->setText(QStringLiteral("secret"));
    locked->Unlock_Click();
    QCOMPARE(folder.scripted.texts(), QStringList{QStringLiteral("Password is incorrect!")});
    QVERIFY(covered(&main));
    locked->txtPass->setText(QStringLiteral("Secret"));
    locked->Unlock_Click();
    QVERIFY(main.isVisible());
    QVERIFY(!covered(&main));
    QVERIFY(!locked->isVisible());
    // The change typed before the lock is there, not saved, and saves as ever.
    QCOMPARE(company->text(), QStringLiteral("Quick Plumbing"));
    QCOMPARE(folder.db().scalar(QStringLiteral("SELECT count(*) FROM tblVendor")).value().toInt(), 0);
    QTest::mouseClick(vendors->link(QStringLiteral("Save")), Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(folder.db().scalar(QStringLiteral("SELECT count(*) FROM tblVendor")).value().toInt(), 1);
}

// The lock comes while the import preview is open, with a question in front of it: both stay
// open under the cover, the lines as the user ticked them, and go on after the password. The
// lock's password waits after wrong ones as the login's does.
void tst_shell_lock::lockKeepsOpenDialogsAsTheyWere()
{
    ProgramFolder folder;
    folder.exec(QStringLiteral("INSERT INTO tblUser (Password) VALUES (?)"),
                {PasswordStore::hash(QStringLiteral("Secret")).value()});
    const QString statement = folder.path() + QStringLiteral("/checking.ofx");
    {
        QFile f(statement);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\n"
                "ENCODING:USASCII\r\nCHARSET:1252\r\nCOMPRESSION:NONE\r\nOLDFILEUID:NONE\r\n"
                "NEWFILEUID:NONE\r\n\r\n<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>0"
                "<SEVERITY>INFO</STATUS><DTSERVER>20261215083000<LANGUAGE>ENG</SONRS>"
                "</SIGNONMSGSRSV1><BANKMSGSRSV1><STMTTRNRS><TRNUID>1<STATUS><CODE>0"
                "<SEVERITY>INFO</STATUS><STMTRS><CURDEF>USD<BANKACCTFROM><BANKID>121000358"
                "<ACCTID>0042-778<ACCTTYPE>CHECKING</BANKACCTFROM><BANKTRANLIST>"
                "<DTSTART>20261101<DTEND>20261231"
                "<STMTTRN><TRNTYPE>CREDIT<DTPOSTED>20261101<TRNAMT>1450.00<FITID>A1"
                "<NAME>J SMITH RENT</STMTTRN>"
                "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20261103<TRNAMT>-142.37<FITID>A2"
                "<NAME>CITY WATER UTILITY</STMTTRN>"
                "</BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>\r\n");
    }
    frmMain main(Folders::portableAt(folder.path()));
    installWindows(main);
    main.show();
    IdleLock idle(folder.path());
    const QDateTime start(QDate(2026, 12, 8), QTime(9, 0));
    Clock::fixAt(start);

    QStringList seen;
    QStringList said;
    bool ticksKept = false;
    const std::function<void()> inThePreview = [&] {
        auto* preview = qobject_cast<frmImport*>(QApplication::activeModalWidget());
        QVERIFY(preview);
        auto* grid = preview->findChild<QTableView*>(QStringLiteral("grdLines"));
        QVERIFY(grid);
        QAbstractItemModel* lines = grid->model();
        QVERIFY(lines->setData(lines->index(1, 0), Qt::Unchecked, Qt::CheckStateRole));
        QMessageBox question(QMessageBox::Question, QStringLiteral("HALVO"),
                             QStringLiteral("Import the ticked lines?"),
                             QMessageBox::Yes | QMessageBox::No, preview);
        QTimer::singleShot(0, [&] {
            idle.lockNow();
            frmLocked* locked = idle.lockWindow();
            seen << QStringLiteral("locked: preview %1, question %2, both covered %3, lock in front %4")
                        .arg(preview->isVisible())
                        .arg(question.isVisible())
                        .arg(covered(preview) && covered(&question))
                        .arg(QApplication::activeModalWidget() == locked);
            folder.scripted.shown.clear();
            for (int i = 0; i < 5; ++i) {
                locked->txtPass->setText(QStringLiteral("wrong"));
                locked->Unlock_Click();
            }
            locked->txtPass->setText(QStringLiteral("Secret"));
            locked->Unlock_Click();
            said = folder.scripted.texts();
            Clock::fixAt(start.addSecs(1));
            locked->Unlock_Click();
            seen << QStringLiteral("unlocked: preview %1, question %2, covered %3, lock shown %4")
                        .arg(preview->isVisible())
                        .arg(question.isVisible())
                        .arg(covered(preview) || covered(&question))
                        .arg(locked->isVisible());
            ticksKept = lines->data(lines->index(1, 0), Qt::CheckStateRole).toInt() == Qt::Unchecked
                        && lines->data(lines->index(0, 0), Qt::CheckStateRole).toInt() == Qt::Checked;
            question.done(QMessageBox::No);
        });
        question.exec();
        seen << QStringLiteral("question answered, preview %1").arg(preview->isVisible());
        preview->reject();
    };
    // The first import from the account asks for its name first; the name offered is taken.
    QTimer::singleShot(0, [&] {
        auto* naming = qobject_cast<frmStatementAccounts*>(QApplication::activeModalWidget());
        QVERIFY(naming);
        QTimer::singleShot(0, inThePreview);
        naming->OK_Click();
    });
    folder.scripted.queueFileName(statement);
    main.entry(QStringLiteral("ImportStatement"))->trigger();
    Clock::fixAt({});

    QCOMPARE(seen, (QStringList{"locked: preview 1, question 1, both covered 1, lock in front 1",
                                "unlocked: preview 1, question 1, covered 0, lock shown 0",
                                "question answered, preview 1"}));
    QVERIFY(ticksKept);
    QCOMPARE(said, (QStringList{"Password is incorrect!", "Password is incorrect!",
                                "Password is incorrect!", "Password is incorrect!",
                                "Password is incorrect!\n\nYou can try again in 1 second.",
                                "Wait 1 second before you try again."}));
}

QTEST_MAIN(tst_shell_lock)
#include "tst_shell_lock.moc"
