// The statement windows as a user meets them: a CSV file through its mapping (the date order the
// user's to choose when the file cannot tell it, the mapping saved by name), the lines before
// they are written, choices that follow the same payee, and Undo Last Import.

#include "ledger/csv_mapping_window.h"
#include "ledger/export_window.h"
#include "ledger/import_window.h"
#include "ledger/payee_rules_window.h"
#include "ledger/statement_account_window.h"
#include "ledger/statement_commands.h"
#include "controls/pickers.h"
#include "platform/prompts.h"
#include "statements/saved_mappings.h"
#include "statements/statement_accounts.h"
#include "tests/support/temp_database.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QApplication>
#include <QScreen>
#include <QScrollBar>
#include <QHeaderView>

using namespace halvo;

namespace {

// Every day of March 4 and May 6 could be a month: the file cannot tell the order.
const QByteArray bankFile = "\xEF\xBB\xBF"
                            "Date,Description,Debit,Credit\r\n"
                            "03/04/2026,\"ACE ROOFING, INC\",300.00,\r\n"
                            "05/06/2026,J SMITH RENT,,\"1,200.00\"\r\n"
                            "05/07/2026,HARDWARE DEPOT,12.99,\r\n"
                            "05/09/2026,HARDWARE DEPOT,40.00,\r\n";

QStringList previewRow(const frmCsvMapping& window, int row)
{
    QStringList cells;
    for (int c = 0; c < window.grdPreview->columnCount(); ++c)
        cells.append(window.grdPreview->item(row, c) ? window.grdPreview->item(row, c)->text()
                                                      : QString());
    return cells;
}

struct Prompted {
    ScriptedPrompts prompts;
    Prompted() { setPrompts(&prompts); }
    ~Prompted() { setPrompts(nullptr); }
};

} // namespace

class TestStatementWindows : public QObject {
    Q_OBJECT
private slots:
    void csvMappingAsksForTheDateOrderAndIsSaved();
    void savedMappingSaysHowItReadsDatesOfBothWays_data();
    void savedMappingSaysHowItReadsDatesOfBothWays();
    void previewFollowsTheUsersChoices();
    void namingTheAccountsOfAStatement_data();
    void namingTheAccountsOfAStatement();
    void previewOfSeveralAccountsAndAnInvestmentAccount();
    void undoLastImport();
    void payeeRulesListedAsTriedAndDeletedOnlyWhenConfirmed();
    void exportQueries_data();
    void exportQueries();
};

void TestStatementWindows::csvMappingAsksForTheDateOrderAndIsSaved()
{
    test::TempDatabase db;
    Prompted p;
    Connection c = db.connect();
    frmCsvMapping window(c, bankFile);
    // The header named the columns; the amounts are in debit and credit columns.
    QCOMPARE(window.pickers["cboDateColumn"]->text(), QString("1: Date"));
    QCOMPARE(window.pickers["cboPayeeColumn"]->text(), QString("2: Description"));
    QCOMPARE(window.pickers["cboAmounts"]->text(), QString("Debit and credit columns"));
    QCOMPARE(window.pickers["cboDateOrder"]->text(), QString("Choose the date order"));
    QCOMPARE(window.lblProblem->text(),
             QString("Choose the date order: day/month/year, month/day/year or year/month/day."));
    window.Import_Click();
    QCOMPARE(p.prompts.texts(),
             QStringList{"Choose the date order: day/month/year, month/day/year or year/month/day."});

    window.pickers["cboDateOrder"]->setCurrentIndex(2); // Month/Day/Year
    QCOMPARE(window.lblProblem->text(), QString());
    QCOMPARE(previewRow(window, 0),
             QStringList({"3/4/2026", "ACE ROOFING, INC", "", "-$300.00", ""}));
    QCOMPARE(previewRow(window, 1), QStringList({"5/6/2026", "J SMITH RENT", "", "$1,200.00", ""}));
    p.prompts.shown.clear();
    window.Import_Click();
    QCOMPARE(p.prompts.texts(), QStringList{"[Name] Please, enter required data."});
    QVERIFY(window.result() != QDialog::Accepted);

    QTest::keyClicks(window.txtName, "First Bank");
    QTest::keyClicks(window.cboAccount, "First Bank checking");
    window.Import_Click();
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QCOMPARE(mappingNames(c).value(), QStringList{"First Bank"});
    QCOMPARE(accountNames(c).value(), QStringList{"First Bank checking"});

    // The next file from the bank opens on the saved mapping, which reads it as it read the
    // first; a file of other columns that it cannot read opens on a new mapping.
    frmCsvMapping next(c, bankFile);
    QCOMPARE(next.cboSaved->text(), QString("First Bank"));
    QCOMPARE(next.txtName->text(), QString("First Bank"));
    QCOMPARE(next.cboAccount->currentText(), QString("First Bank checking"));
    QCOMPARE(next.pickers["cboDateOrder"]->text(), QString("Month/Day/Year"));
    QCOMPARE(next.statement().value().lines.size(), 4);
    frmCsvMapping other(c, "Posted,Amount,Payee\r\n2026-05-06,-12.00,HARDWARE DEPOT\r\n");
    QCOMPARE(other.cboSaved->text(), QString("(new mapping)"));
}

// The mapping "First Bank" reads month first. A file whose dates read both ways is read with it
// only once the window has said so and the user agreed; a file that tells its own order, or an
// order the user chose in the window, needs no word.
void TestStatementWindows::savedMappingSaysHowItReadsDatesOfBothWays_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("userChoosesOrder");
    QTest::addColumn<bool>("agrees");
    QTest::addColumn<QStringList>("said");
    QTest::addColumn<bool>("accepted");
    const QString bothWays = "The dates in this file read both ways; the mapping \"First Bank\" "
                             "reads them month first: \"03/04/2026\" is March 4, 2026. Import "
                             "the file with this order?";
    QTest::newRow("agreed") << bankFile << false << true << QStringList{bothWays} << true;
    QTest::newRow("not agreed") << bankFile << false << false << QStringList{bothWays} << false;
    QTest::newRow("the file tells its order")
        << bankFile + "05/13/2026,HARDWARE DEPOT,4.00,\r\n" << false << true << QStringList{}
        << true;
    QTest::newRow("the user chose the order") << bankFile << true << true << QStringList{} << true;
}

void TestStatementWindows::savedMappingSaysHowItReadsDatesOfBothWays()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, userChoosesOrder);
    QFETCH(bool, agrees);
    QFETCH(QStringList, said);
    QFETCH(bool, accepted);
    test::TempDatabase db;
    Prompted p;
    Connection c = db.connect();
    {
        frmCsvMapping first(c, bankFile);
        first.pickers["cboDateOrder"]->setCurrentIndex(2); // Month/Day/Year
        first.txtName->setText("First Bank");
        first.Import_Click();
        QCOMPARE(first.result(), int(QDialog::Accepted));
    }
    frmCsvMapping next(c, file);
    QCOMPARE(next.cboSaved->text(), QString("First Bank"));
    if (userChoosesOrder) {
        next.pickers["cboDateOrder"]->setCurrentIndex(1);
        next.pickers["cboDateOrder"]->setCurrentIndex(2);
    }
    p.prompts.queueAnswer(agrees ? Prompts::Answer::Yes : Prompts::Answer::No);
    next.Import_Click();
    QCOMPARE(p.prompts.texts(), said);
    QCOMPARE(next.result() == QDialog::Accepted, accepted);
}

void TestStatementWindows::previewFollowsTheUsersChoices()
{
    test::TempDatabase db;
    Prompted p;
    Connection c = db.connect();
    QVERIFY(c.executeScript("INSERT INTO tblCategory (Income, Expense) VALUES ('Rent', 'Repairs');"
                            "INSERT INTO tblFinance (RecDate, Payee, Expense) VALUES "
                            "('2026-03-05', 'Ace Roofing', 3000000);"));
    frmCsvMapping mapping(c, bankFile);
    mapping.pickers["cboDateOrder"]->setCurrentIndex(2);
    mapping.txtName->setText("First Bank");
    frmImport window(c, planImport(c, mapping.statement().value()).value(), "may.csv");
    QCOMPARE(window.lblSummary->text(),
             QString("4 lines: 0 new, 1 duplicate, 3 need a category; 3 ticked."));
    QVERIFY(window.grdLines->isColumnHidden(ImportLinesModel::Account)); // one account
    QVERIFY(window.lblNote->isHidden());
    QCOMPARE(window.model()->index(0, ImportLinesModel::State).data().toString(), QString("Duplicate"));
    QCOMPARE(window.model()->index(0, ImportLinesModel::State).data(Qt::ToolTipRole).toString(),
             QString("$300.00 to Ace Roofing on 3/5/2026 is in the ledger"));

    // A category chosen for one hardware line is the other's too; the rent's stays empty.
    window.model()->setData(window.model()->index(2, ImportLinesModel::Category), "Repairs",
                            Qt::EditRole);
    QStringList categories;
    for (int r = 0; r < 4; ++r)
        categories.append(window.model()->index(r, ImportLinesModel::Category).data().toString());
    QCOMPARE(categories, QStringList({"", "", "Repairs", "Repairs"}));
    window.model()->setData(window.model()->index(1, ImportLinesModel::Tick), Qt::Unchecked,
                            Qt::CheckStateRole);
    QCOMPARE(window.lblSummary->text(),
             QString("4 lines: 2 new, 1 duplicate, 1 needs a category; 2 ticked."));

    window.Import_Click();
    QCOMPARE(p.prompts.texts(), QStringList{"2 lines were imported from \"may.csv\"."});
    QCOMPARE(c.select("SELECT Payee, Category, Expense FROM tblFinance ORDER BY ID").value().values,
             QList<QVariantList>({{"Ace Roofing", QVariant(), QVariant::fromValue(Money::fromCents(30000))},
                                  {"HARDWARE DEPOT", "Repairs", QVariant::fromValue(Money::fromCents(1299))},
                                  {"HARDWARE DEPOT", "Repairs", QVariant::fromValue(Money::fromCents(4000))}}));
}

// A statement of a checking and a savings account that HALVO has not imported from; the user
// has named "First Bank checking" before, for a CSV mapping.
void TestStatementWindows::namingTheAccountsOfAStatement_data()
{
    QTest::addColumn<QString>("checking");
    QTest::addColumn<QString>("savings");
    QTest::addColumn<QStringList>("said");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("names as proposed")
        << "Checking 0042-778" << "Savings 0042-990" << QStringList{} << true;
    QTest::newRow("an account named before") << "First Bank checking" << "Rainy day" << QStringList{}
                                             << true;
    QTest::newRow("one left without a name")
        << "First Bank checking" << " " << QStringList{"[Savings 0042-990] Please, enter required data."}
        << false;
    QTest::newRow("two named alike")
        << "First Bank checking" << "first bank CHECKING"
        << QStringList{"Checking 0042-778 and Savings 0042-990 are two accounts of the statement: "
                       "they cannot both be \"first bank CHECKING\"."}
        << false;
}

void TestStatementWindows::namingTheAccountsOfAStatement()
{
    QFETCH(QString, checking);
    QFETCH(QString, savings);
    QFETCH(QStringList, said);
    QFETCH(bool, accepted);
    test::TempDatabase db;
    Prompted p;
    Connection c = db.connect();
    CsvMapping export_;
    export_.name = "First Bank export";
    QVERIFY(saveMapping(c, export_, "First Bank checking"));
    frmStatementAccounts window(c, {{"121000358  0042-778", AccountKind::Checking, "0042-778"},
                                    {"121000358  0042-990", AccountKind::Savings, "0042-990"}});
    QCOMPARE(window.cboAccount.size(), 2);
    QStringList labels, proposed;
    for (QComboBox* name : window.cboAccount) {
        for (QLabel* label : window.findChildren<QLabel*>())
            if (label->buddy() == name)
                labels.append(label->text());
        proposed.append(name->currentText());
        QCOMPARE(name->itemText(0), QString("First Bank checking"));
    }
    QCOMPARE(labels, QStringList({"&1. Checking 0042-778:", "&2. Savings 0042-990:"}));
    QCOMPARE(proposed, QStringList({"Checking 0042-778", "Savings 0042-990"}));

    window.cboAccount[0]->setEditText(checking);
    window.cboAccount[1]->setEditText(savings);
    QTest::keyClick(window.cboAccount[1], Qt::Key_Return); // as OK
    QCOMPARE(p.prompts.texts(), said);
    QCOMPARE(window.result() == QDialog::Accepted, accepted);
    if (accepted)
        QCOMPARE(window.names(),
                 (QHash<QString, QString>{{"121000358  0042-778", checking},
                                          {"121000358  0042-990", savings}}));
}

// One download of a checking and a savings account and a brokerage account's cash, named as the
// user did; the brokerage's one trade was left out.
void TestStatementWindows::previewOfSeveralAccountsAndAnInvestmentAccount()
{
    test::TempDatabase db;
    Prompted p;
    Connection c = db.connect();
    Statement s;
    s.lines = {{1, "121000358  0042-778", QDate(2026, 11, 3), Money::fromCents(-4510), "City Water",
                {}, {}, "K1", false},
               {2, "121000358  0042-990", QDate(2026, 11, 30), Money::fromCents(125), "Interest",
                {}, {}, "K1", false},
               {4, "harbourinvest.com X-2210", QDate(2026, 11, 20), Money::fromCents(-400000),
                "Transfer to checking", {}, {}, "W-1", true}};
    Result<QList<ImportLine>> planned =
        planImport(c, s,
                   {{"121000358  0042-778", "First Bank checking"},
                    {"121000358  0042-990", "First Bank savings"},
                    {"harbourinvest.com X-2210", "Harbour brokerage"}});
    QVERIFY(planned);
    frmImport window(c, planned.value(), "accounts.ofx");
    window.setTradesLeftOut(1);
    QVERIFY(!window.grdLines->isColumnHidden(ImportLinesModel::Account));
    // It opens wide enough that every column shows whole, its State heading too, as far as the
    // screen allows.
    window.show();
    QApplication::processEvents();
    const QHeaderView* header = window.grdLines->horizontalHeader();
    QVERIFY(window.width() >= window.screen()->availableGeometry().width()
            || (window.grdLines->horizontalScrollBar()->maximum() == 0
                && window.grdLines->columnWidth(ImportLinesModel::State)
                       >= header->sectionSizeHint(ImportLinesModel::State)));
    QStringList accounts, ticks;
    for (int r = 0; r < 3; ++r) {
        accounts.append(window.model()->index(r, ImportLinesModel::Account).data().toString());
        ticks.append(window.model()->index(r, ImportLinesModel::Tick).data(Qt::CheckStateRole)
                             .toInt() == Qt::Checked ? "ticked" : "unticked");
    }
    QCOMPARE(accounts, QStringList({"First Bank checking", "First Bank savings", "Harbour brokerage"}));
    QCOMPARE(ticks, QStringList({"ticked", "ticked", "unticked"}));
    QCOMPARE(window.lblNote->text(),
             QString("1 line is cash moved in or out of an investment account, not a bank "
                     "transaction: it is unticked. Tick what belongs in the ledger. 1 trade "
                     "(securities bought, sold or reinvested) was left out: trades are not bank "
                     "transactions."));
    QVERIFY(!window.lblNote->isHidden());

    window.Import_Click();
    QCOMPARE(p.prompts.texts(), QStringList{"2 lines were imported from \"accounts.ofx\"."});
    QCOMPARE(c.scalar("SELECT COUNT(*) FROM tblFinance").value().toInt(), 2);
    // The names are kept with the import, for the accounts' next statements.
    QCOMPARE(accountOf(c, "harbourinvest.com X-2210").value().name, QString("Harbour brokerage"));
}

void TestStatementWindows::undoLastImport()
{
    test::TempDatabase db;
    Prompted p;
    Connection c = db.connect();
    StatementCommands commands(nullptr, db.folder());
    commands.UndoLastImport();
    QCOMPARE(p.prompts.texts(), QStringList{"No import is left to undo."});

    StatementLine rent{1, "First Bank", QDate(2026, 5, 6), Money::fromCents(120000), "J SMITH",
                       {}, {}, "csv:1"};
    QVERIFY(writeImport(c, planImport(c, Statement{{rent}}).value(), "may.csv"));
    p.prompts.shown.clear();
    p.prompts.queueAnswer(Prompts::Answer::No);
    commands.UndoLastImport();
    QCOMPARE(p.prompts.shown.value(0).title, QString("Undo Last Import"));
    QVERIFY(p.prompts.shown.value(0).text.startsWith(
        "Remove the 1 ledger line imported from \"may.csv\" on "));
    QCOMPARE(c.scalar("SELECT COUNT(*) FROM tblFinance").value().toInt(), 1);
    p.prompts.shown.clear();
    p.prompts.queueAnswer(Prompts::Answer::Yes);
    commands.UndoLastImport();
    QCOMPARE(p.prompts.shown.value(1).text, QString("1 line was removed from the ledger."));
    QCOMPARE(c.scalar("SELECT COUNT(*) FROM tblFinance").value().toInt(), 0);
}

void TestStatementWindows::payeeRulesListedAsTriedAndDeletedOnlyWhenConfirmed()
{
    test::TempDatabase db;
    Prompted p;
    Connection c = db.connect();
    for (const PayeeRule& rule : {PayeeRule{0, PayeeRule::Match::Contains, "DEPOT", "", "", "Supplies"},
                                  PayeeRule{0, PayeeRule::Match::StartsWith, "HARDWARE", "ELM", "", ""},
                                  PayeeRule{0, PayeeRule::Match::Is, "HARDWARE DEPOT", "", "Depot", ""}})
        QVERIFY(savePayeeRule(c, rule));
    frmPayeeRules window(c);
    auto column = [&](int c) {
        QStringList cells;
        for (int r = 0; r < window.grdRules->rowCount(); ++r)
            cells.append(window.grdRules->item(r, c)->text());
        return cells;
    };
    QCOMPARE(column(0), QStringList({"Payee is", "Payee starts with", "Payee contains"}));
    QCOMPARE(column(2), QStringList({"", "ELM", ""}));

    window.grdRules->setCurrentCell(1, 0);
    p.prompts.queueAnswer(Prompts::Answer::No);
    window.Delete_Click();
    QCOMPARE(p.prompts.texts(), QStringList{"Delete the rule \"Payee starts with HARDWARE\"? Lines "
                                            "imported with it stay as they are."});
    QCOMPARE(window.grdRules->rowCount(), 3);
    p.prompts.queueAnswer(Prompts::Answer::Yes);
    window.Delete_Click();
    QCOMPARE(column(1), QStringList({"HARDWARE DEPOT", "DEPOT"}));
    QCOMPARE(window.grdRules->currentRow(), 1);
    QCOMPARE(c.scalar("SELECT COUNT(*) FROM tblPayeeRule").value().toInt(), 2);
}

void TestStatementWindows::exportQueries_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("whole ledger") << "Ledger" << "All Years" << "All Properties"
                                  << "SELECT * FROM tblFinance ORDER BY RecDate, ID" << "ledger";
    QTest::newRow("a year of one property")
        << "Ledger" << "2026" << "ELM"
        << "SELECT * FROM tblFinance WHERE RecDate >= ? AND RecDate < ? AND NickName = ? "
           "ORDER BY RecDate, ID"
        << "ledger-2026-ELM";
    QTest::newRow("another table") << "Vendors" << "2026" << "ELM"
                                   << "SELECT * FROM tblVendor ORDER BY ID" << "vendors";
}

void TestStatementWindows::exportQueries()
{
    QFETCH(QString, table);
    QFETCH(QString, year);
    QFETCH(QString, property);
    QFETCH(QString, sql);
    QFETCH(QString, fileName);
    const ExportQuery q = exportQuery(table, year, property);
    QCOMPARE(q.sql, sql);
    QCOMPARE(q.fileName, fileName);
}

QTEST_MAIN(TestStatementWindows)
#include "tst_statement_windows.moc"
