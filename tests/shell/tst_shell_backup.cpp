// The Backup menu in the running main window: a backup while an editor holds a change and the
// summary ticks, and a restore that closes the windows and reports, replaces the file and opens
// the property editor on the restored data.

#include "controls/child_frame.h"
#include "shell_test_support.h"

#include "editors/record_editor.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/desktop.h"
#include "shell/main_window.h"
#include "shell/summary_panel.h"
#include "shell/window_table.h"

#include <QAction>
#include <QTimer>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>

using namespace halvo;
using testing::ProgramFolder;

namespace {

QStringList openChildren(const frmMain& main)
{
    QStringList names;
    for (const QMdiSubWindow* sub : main.mdiArea()->subWindowList())
        if (windowIn(sub))
            names.append(windowIn(sub)->objectName());
    return names;
}

QStringList topLevelCaptions()
{
    QStringList captions;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->isWindow() && !qobject_cast<frmMain*>(w))
            captions.append(w->windowTitle());
    return captions;
}

// Backup > Restore Database on the day's backup, as the user chooses it; what the user was told.
QStringList restoreTodaysBackup(ProgramFolder& folder, frmMain& main)
{
    folder.scripted.shown.clear();
    folder.scripted.queueFileName(folder.path() + QStringLiteral("/backup/HALVO_1272026.mdb"));
    main.entry(QStringLiteral("RestoreDatabase"))->trigger();
    QDir::setCurrent(QDir::tempPath());
    return folder.scripted.texts();
}

} // namespace

class tst_shell_backup : public QObject {
    Q_OBJECT
private slots:
    void init() { Clock::fixAt(QDateTime(QDate(2026, 12, 7), QTime(13, 5, 9))); }
    void cleanup() { Clock::fixAt({}); }

    void backupWhileAnEditorHoldsAChange();
    void restoreClosesWindowsAndReportsAndReopens();
    void restoreOfALargeFileWhileTheSummaryTicks();
};

void tst_shell_backup::backupWhileAnEditorHoldsAChange()
{
    ProgramFolder folder;
    folder.exec(QStringLiteral("INSERT INTO tblVendor (Company) VALUES ('City Water')"));
    folder.exec(QStringLiteral("INSERT INTO tblFinance (NickName, RecDate, Payee, Income, Expense) "
                               "VALUES ('ELM', '2026-03-01', 'Carl Diaz', 12500000, 0)"));
    frmMain main(Folders::portableAt(folder.path()));
    installWindows(main);
    main.show();
    main.summary()->tick();

    auto* vendors = qobject_cast<RecordEditor*>(main.openWindow(QStringLiteral("mnuDatafrmVendor")));
    QVERIFY(vendors);
    QTest::mouseClick(vendors->link(QStringLiteral("AddVendor")), Qt::LeftButton, {}, QPoint(2, 2));
    QLineEdit* company = vendors->box(QStringLiteral("txtFields(2)"));
    QVERIFY(company);
    company->setFocus();
    QTest::keyClicks(company, QStringLiteral("Quick Plumbing"));

    main.entry(QStringLiteral("BackupBackup"))->trigger();
    main.summary()->tick();
    const QString copy = folder.path() + QStringLiteral("/backup/HALVO_1272026.mdb");
    QCOMPARE(folder.scripted.texts(),
             QStringList{QStringLiteral("Database has been backed up to: \r\n") + copy
                         + QStringLiteral("...")});

    // The backup holds what was saved, not the change still in the editor, which stays there
    // and saves as ever; the summary goes on showing the year's income.
    Result<Connection> backup = Connection::openFile(copy, DatabasePassword);
    QVERIFY(backup);
    QCOMPARE(backup.value().scalar(QStringLiteral("SELECT group_concat(Company) FROM tblVendor")).value(),
             QVariant(QStringLiteral("City Water")));
    releaseDatabase(copy);
    QCOMPARE(company->text(), QStringLiteral("Quick Plumbing"));
    QTest::mouseClick(vendors->link(QStringLiteral("Save")), Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(folder.db().scalar(QStringLiteral("SELECT count(*) FROM tblVendor")).value().toInt(), 2);
    QCOMPARE(main.summaryPanel()->valueLabel(QStringLiteral("lblIncome"))->text(),
             QStringLiteral("$1,250.00"));
}

void tst_shell_backup::restoreClosesWindowsAndReportsAndReopens()
{
    ProgramFolder folder;
    folder.exec(QStringLiteral("INSERT INTO tblFinance (NickName, RecDate, Payee, Income, Expense) "
                               "VALUES ('ELM', '2026-03-01', 'Carl Diaz', 12500000, 0)"));
    frmMain main(Folders::portableAt(folder.path()));
    installWindows(main);
    main.show();
    main.entry(QStringLiteral("BackupBackup"))->trigger();
    // After the backup, more income is saved, and windows and a report are open on the file.
    folder.exec(QStringLiteral("INSERT INTO tblFinance (NickName, RecDate, Payee, Income, Expense) "
                               "VALUES ('ELM', '2026-04-01', 'Carl Diaz', 5000000, 0)"));
    main.openWindow(QStringLiteral("mnuDatafrmIncome"));
    main.openWindow(QStringLiteral("mnuDatafrmVendor"));
    main.entry(QStringLiteral("VendorReport"))->trigger();
    QVERIFY(topLevelCaptions().contains(QStringLiteral("Vendor Report")));
    main.summary()->tick();
    QCOMPARE(main.summaryPanel()->valueLabel(QStringLiteral("lblIncome"))->text(),
             QStringLiteral("$1,750.00"));

    QCOMPARE(restoreTodaysBackup(folder, main),
             (QStringList{"Restoring from backup will replace current data. Do you wish to proceed?",
                          "Backup has been restored..."}));
    QCOMPARE(openChildren(main), QStringList{QStringLiteral("frmProperty")});
    QVERIFY(!topLevelCaptions().contains(QStringLiteral("Vendor Report")));
    // The summary has read the restored file at once, without waiting for its tick.
    QCOMPARE(main.summaryPanel()->valueLabel(QStringLiteral("lblIncome"))->text(),
             QStringLiteral("$1,250.00"));
    QCOMPARE(folder.db().scalar(QStringLiteral("SELECT count(*) FROM tblFinance")).value().toInt(), 1);
}

// A backup of a few hundred megabytes (documents kept in the file make that ordinary) takes long
// enough that the progress window shows and lets window events run: the summary ticks through
// the copy, and nothing of it may open the old file while it is replaced.
void tst_shell_backup::restoreOfALargeFileWhileTheSummaryTicks()
{
    ProgramFolder folder;
    folder.exec(QStringLiteral("INSERT INTO tblFinance (NickName, RecDate, Payee, Income, Expense) "
                               "VALUES ('ELM', '2026-03-01', 'Carl Diaz', 12500000, 0)"));
    folder.exec(QStringLiteral("CREATE TABLE tblBulk (Bytes BLOB)"));
    folder.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                               "WHERE i < 300) INSERT INTO tblBulk SELECT zeroblob(1048576) FROM n"));
    frmMain main(Folders::portableAt(folder.path()));
    installWindows(main);
    main.show();
    main.entry(QStringLiteral("BackupBackup"))->trigger();
    folder.exec(QStringLiteral("DELETE FROM tblFinance"));
    // Every chance the progress gives to run events meets a tick.
    main.Timer1->setInterval(5);
    main.Timer1->start();
    main.summary()->tick();
    QCOMPARE(main.summaryPanel()->valueLabel(QStringLiteral("lblIncome"))->text(),
             QStringLiteral("$0.00"));

    QCOMPARE(restoreTodaysBackup(folder, main),
             (QStringList{"Restoring from backup will replace current data. Do you wish to proceed?",
                          "Backup has been restored..."}));
    // The file it replaced is kept alone: nothing opened it while it was being copied.
    const QString kept =
        folder.path() + QStringLiteral("/halvo0905 before restore 2026-12-07 13-05-09.mdb");
    QVERIFY(QFileInfo::exists(kept));
    QVERIFY(!QFileInfo::exists(kept + QStringLiteral("-wal")));
    QVERIFY(!QFileInfo::exists(kept + QStringLiteral("-shm")));
    QCOMPARE(main.summaryPanel()->valueLabel(QStringLiteral("lblIncome"))->text(),
             QStringLiteral("$1,250.00"));

    // A save after the restore reaches the file itself, as a program opening it anew reads it.
    auto* vendors = qobject_cast<RecordEditor*>(main.openWindow(QStringLiteral("mnuDatafrmVendor")));
    QVERIFY(vendors);
    QTest::mouseClick(vendors->link(QStringLiteral("AddVendor")), Qt::LeftButton, {}, QPoint(2, 2));
    QLineEdit* company = vendors->box(QStringLiteral("txtFields(2)"));
    company->setFocus();
    QTest::keyClicks(company, QStringLiteral("Quick Plumbing"));
    QTest::mouseClick(vendors->link(QStringLiteral("Save")), Qt::LeftButton, {}, QPoint(2, 2));
    QVERIFY(main.closeChildWindows());
    main.summary()->release();
    main.Timer1->stop();
    releaseDatabase(databasePath(folder.path()));
    QVERIFY(!databaseInUse(databasePath(folder.path())));
    QCOMPARE(folder.db().scalar(QStringLiteral("SELECT group_concat(Company) FROM tblVendor")).value(),
             QVariant(QStringLiteral("Quick Plumbing")));
}

QTEST_MAIN(tst_shell_backup)
#include "tst_shell_backup.moc"
