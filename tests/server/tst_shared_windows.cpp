// Every window of the main window opens over shared books as it opens over the file: the same
// books moved to a server, each window opened once over each, and what it said compared.

#include "editors/record_editor.h"
#include "platform/folders.h"
#include "platform/prompts.h"
#include "platform/settings.h"
#include "server/move_books.h"
#include "shell/main_window.h"
#include "shell/window_table.h"
#include "tests/support/pg_cluster.h"
#include "tests/support/temp_database.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QSettings>
#include <QTest>

using namespace halvo;

namespace {

// A little of everything the windows show, this year and last.
const char* const books = R"(
INSERT INTO tblBuilding (BldNickName, BldPropAddress, BldLastName, BldPurchasePrice)
    VALUES ('ELM', '12 Elm St', 'Marsh', 2500000000), ('OAK', '3 Oak Ave', 'Brien', 1800000000);
INSERT INTO tblTenant (Nickname, FirstName, LastName, LeaseStartDate, LeasePeriod,
    MonthlyRentAmt, DepAmt) VALUES ('ELM', 'Kate', 'O''Brien', '2025-01-01', '1 year', 12500000,
    12500000);
INSERT INTO tblCategory (Income, Expense) VALUES ('Rent', 'Repairs'), ('Late Fee', 'Insurance');
INSERT INTO tblVendor (Company, FirstName, LastName) VALUES ('Ace Roofing', 'Al', 'Ace');
INSERT INTO tblLoan (NickName, LoanInfo, LoanAmt, Mortgage, Value, IntRate, LoanDate)
    VALUES ('ELM', 'First Bank', 1500000000, 12000000, 2600000000, 4.5, '2020-03-01');
INSERT INTO tblInsurance (Nickname, InsuranceInfo, HomeOwnersIns, InsDate)
    VALUES ('ELM', 'Safe Co', 12000000, '2026-01-01');
INSERT INTO tblFinance (NickName, RecDate, Payee, Category, Income, Expense) VALUES
    ('ELM', '2026-01-03', 'Kate', 'Rent', 12500000, 0),
    ('ELM', '2026-02-10', 'Ace Roofing', 'Repairs', 0, 21000000),
    ('OAK', '2025-12-30', 'Kate', 'Late Fee', 500000, 0);
INSERT INTO tblNotes (NoteDate, NoteTime, NickName, Notes)
    VALUES ('2026-02-10', '09:30:00', 'ELM', 'Roof done');
INSERT INTO tblAsset (NickName, Description, Cost, Land, InService, AssetClass)
    VALUES ('ELM', 'Building', 3000000000, 600000000, '2020-03-10', 'Residential rental');
INSERT INTO tblMileage (TripDate, NickName, Purpose, Miles) VALUES ('2026-02-10', 'ELM', 'Roof', 42);
)";

// What the window showed as it opened: its messages, then every text and figure in it (labels,
// boxes, lists, the rows of its grids), in the order of its widgets.
QString saidOpening(frmMain& main, ScriptedPrompts& answers, const QString& entry)
{
    answers.shown.clear();
    QWidget* window = main.openWindow(entry);
    QApplication::processEvents();
    QStringList said;
    if (!window)
        return QStringLiteral("no window");
    for (const ShownMessage& m : answers.shown)
        said.append(m.text);
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (auto* label = qobject_cast<QLabel*>(w))
            said.append(label->text());
        else if (auto* box = qobject_cast<QLineEdit*>(w))
            said.append(box->text());
        else if (auto* list = qobject_cast<QComboBox*>(w))
            said.append(list->currentText());
        else if (auto* grid = qobject_cast<QTableView*>(w))
            for (int r = 0; r < grid->model()->rowCount() && r < 20; ++r)
                for (int c = 0; c < grid->model()->columnCount(); ++c)
                    said.append(grid->model()->index(r, c).data().toString());
    }
    (void)main.closeChildWindows();
    return said.join(QLatin1Char('\n'));
}

} // namespace

class TestSharedWindows : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void opensAsOverTheFile_data();
    void opensAsOverTheFile();
    void anotherDesktopsChangeAsked();

private:
    std::unique_ptr<test::PgCluster> cluster;
    test::TempDatabase file;
    QTemporaryDir standIn; // a data folder whose file the shared books stand in for
    QTemporaryDir settings;
    ScriptedPrompts answers;
    std::unique_ptr<frmMain> overFile, overServer;
};

void TestSharedWindows::initTestCase()
{
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    setPrompts(&answers);
    QVERIFY(file.connect().executeScript(QString::fromUtf8(books)));
    Result<std::unique_ptr<test::PgCluster>> started = test::PgCluster::start();
    QVERIFY2(started, started ? "" : qPrintable(started.error().description));
    cluster = std::move(started.value());
    QVERIFY(cluster->run(QStringLiteral("CREATE DATABASE office")));
    Result<Connection> server =
        Connection::openServer(cluster->conninfo(QStringLiteral("office")), QString());
    QVERIFY2(server, server ? "" : qPrintable(server.error().description));
    QVERIFY(moveBooksToServer(file.connect(), server.value()).ok());
    Connection::putInPlaceOf(databasePath(standIn.path()), server.value());

    Settings::keepIn(file.folder());
    overFile = std::make_unique<frmMain>(Folders::portableAt(file.folder()));
    overServer = std::make_unique<frmMain>(Folders::portableAt(standIn.path()));
    for (frmMain* main : {overFile.get(), overServer.get()}) {
        installWindows(*main);
        main->resize(1200, 800);
        main->show();
        QApplication::processEvents();
        (void)main->closeChildWindows(); // the property window the frame opens as it loads
    }
}

void TestSharedWindows::cleanupTestCase()
{
    overServer.reset();
    overFile.reset();
    Connection::putAway(databasePath(standIn.path()));
}

void TestSharedWindows::opensAsOverTheFile_data()
{
    QTest::addColumn<QString>("entry");
    for (const QString& entry : overFile->windowEntries())
        QTest::newRow(qPrintable(entry)) << entry;
}

void TestSharedWindows::opensAsOverTheFile()
{
    QFETCH(QString, entry);
    const QString overTheFile = saidOpening(*overFile, answers, entry);
    QCOMPARE(saidOpening(*overServer, answers, entry), overTheFile);
}

// A record window's Save over a change another desktop made since it showed the record asks whose
// stays; a delete there of the record shown is told.
void TestSharedWindows::anotherDesktopsChangeAsked()
{
    auto* window =
        qobject_cast<RecordEditor*>(overServer->openWindow(QStringLiteral("mnuDatafrmInsurance")));
    QVERIFY(window);
    QApplication::processEvents();
    Result<Connection> other =
        Connection::openServer(cluster->conninfo(QStringLiteral("office")), QString());
    QVERIFY(other);
    QVERIFY(other.value().execute(
        QStringLiteral("UPDATE tblInsurance SET InsContact = 'Jo' WHERE Nickname = 'ELM'")));
    QLineEdit* policy = window->box(QStringLiteral("txtFields(8)"));
    policy->setFocus();
    QTest::keyClicks(policy, QStringLiteral("P-9"));
    answers.shown.clear();
    answers.queueAnswer(Prompts::Answer::No); // keep mine
    window->Save();
    QCOMPARE(answers.shown.size(), 1);
    QCOMPARE(answers.shown.first().text,
             cluster->superuser()
                 + QStringLiteral(" changed this record on another desktop after it was shown "
                                  "here.\n\nShow their record instead of yours? Yes shows theirs "
                                  "and puts your change away; No saves yours over theirs; Cancel "
                                  "leaves your change on the screen, not saved."));
    Result<Rows> row = other.value().select(
        QStringLiteral("SELECT InsPolicyNo, InsContact FROM tblInsurance WHERE Nickname = 'ELM'"));
    QVERIFY(row);
    QCOMPARE(row.value().values.value(0), (QVariantList{QStringLiteral("P-9"), QStringLiteral("Jo")}));

    answers.shown.clear();
    QVERIFY(other.value().execute(QStringLiteral("DELETE FROM tblInsurance WHERE Nickname = 'ELM'")));
    QTRY_COMPARE_WITH_TIMEOUT(answers.shown.size(), 1, 5000);
    QCOMPARE(answers.shown.first().text,
             cluster->superuser() + QStringLiteral(" deleted this record on another desktop."));
    (void)overServer->closeChildWindows();
}

QTEST_MAIN(TestSharedWindows)
#include "tst_shared_windows.moc"
