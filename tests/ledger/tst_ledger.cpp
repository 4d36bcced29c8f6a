// The income and expense windows as a user sees them: what Save asks for and stores, the lists of
// the pickers, Delete and Refresh, the date stored, the loan question after a loan payment, a new
// vendor handed back, the totals from the summary, the grid, and the keyboard.

#include "controls/pickers.h"
#include "editors/vendor_window.h"
#include "ledger/ledger_window.h"
#include "platform/desktop.h"
#include "platform/twips.h"
#include "summary/portfolio_summary.h"
#include "tests/editors/editor_test_support.h"

#include <QAccessible>
#include <QHeaderView>
#include <QLabel>
#include <QProcess>
#include <QTableView>
#include <QToolButton>

using namespace halvo;
using namespace halvo::test;

namespace {

// Properties, vendors and categories in the order they were entered, not the lists' order. A
// category row may name only one kind, or an empty name.
const QString lists = QStringLiteral(
    "INSERT INTO tblBuilding (BldNickName) VALUES ('OAK'), ('ELM');"
    "INSERT INTO tblVendor (Company) VALUES ('Zed Supply'), ('Acme');"
    "INSERT INTO tblCategory (Income, Expense) VALUES ('Rent', 'Repairs'), (NULL, '4000 Mortgage'),"
    " ('', NULL), ('Late Fee', ''), ('Deposit', 'Advertising');");

// The column a window keeps its amounts in.
QString amountColumn(const QString& window)
{
    return window == QLatin1String("frmIncome") ? QStringLiteral("Income")
                                                : QStringLiteral("Expense");
}

std::unique_ptr<LedgerWindow> makeLedger(const QString& window, const QString& folder,
                                         LedgerContext context = {})
{
    std::unique_ptr<LedgerWindow> ledger;
    if (window == QLatin1String("frmIncome"))
        ledger = std::make_unique<frmIncome>(folder, std::move(context));
    else
        ledger = std::make_unique<frmExpense>(folder, std::move(context));
    ledger->setAttribute(Qt::WA_DeleteOnClose, false); // the test owns it
    ledger->resize(1000, 600);
    ledger->show();
    return ledger;
}

void run(const TempDatabase& db, const QString& script)
{
    QVERIFY2(db.connect().executeScript(script).ok(), qPrintable(script));
}

// Transactions of the window's kind with the given reference numbers, dated in that order.
void addTransactions(const TempDatabase& db, const QString& window, const QStringList& refs)
{
    for (int i = 0; i < refs.size(); ++i)
        QVERIFY(db.connect()
                    .execute(QStringLiteral("INSERT INTO tblFinance (CheckNo, RecDate, Payee, %1) "
                                            "VALUES (?, ?, 'Acme', 1000000)")
                                 .arg(amountColumn(window)),
                             {refs[i], QStringLiteral("2026-01-1%1").arg(i)})
                    .ok());
}

qlonglong rows(const TempDatabase& db) { return count(db.connect(), QStringLiteral("tblFinance")); }

QString storedText(const TempDatabase& db, const QString& sql)
{
    return db.connect().scalar(sql).value().toString();
}

int gridRows(LedgerWindow& window) { return window.grid()->model()->rowCount(); }

// The ledger's edge cases, each a short story told the same way in both windows.
enum class Story {
    SaveNothing,
    SaveWithoutPayee,
    SaveWithoutPropertyOrCategory,
    SaveAmountZero,
    CategoryList,
    DeleteLast,
    DeleteOnly,
    PickedDate,
    NoDatePicked,
    StoredWithoutDate,
    AddThenClose,
    TypedThenClosed,
    EmptiedDateWithoutAmount,
    RefreshReadsAgain,
    SaveOnAnEmptyList,
    DeleteFirstOfFour,
    DiskFull,
    FileMoved,
    LockedByAnotherProgram,
};

QStringList messages(const ScriptedSession& session)
{
    QStringList seen;
    for (const ShownMessage& m : session.prompts.shown)
        seen.append(QStringLiteral("message: ") + m.text);
    return seen;
}

// What a story leaves for the user to see and in the database, as lines of text.
QStringList tell(Story story, const QString& window, const TempDatabase& db,
                 ScriptedSession& session)
{
    QStringList seen;
    const bool hasThree = story == Story::DeleteLast;
    if (story == Story::DeleteFirstOfFour)
        addTransactions(db, window, {"101", "102", "103", "104"});
    if (story == Story::RefreshReadsAgain)
        addTransactions(db, window, {"101", "102"});
    if (hasThree || story == Story::DeleteOnly)
        addTransactions(db, window, hasThree ? QStringList{"101", "102", "103"} : QStringList{"101"});
    if (story == Story::StoredWithoutDate)
        run(db, QStringLiteral("INSERT INTO tblFinance (Payee, %1) VALUES ('Acme', 50000);")
                    .arg(amountColumn(window)));
    auto ledger = makeLedger(window, db.folder());
    const QString add = ledger->description().addCommand;

    switch (story) {
    case Story::SaveNothing:
        press(*ledger, add);
        press(*ledger, QStringLiteral("Save"));
        break;
    case Story::SaveWithoutPayee:
        press(*ledger, add);
        type(*ledger, QStringLiteral("txtAmount"), QStringLiteral("25"));
        press(*ledger, QStringLiteral("Save"));
        break;
    case Story::SaveWithoutPropertyOrCategory:
    case Story::NoDatePicked:
        press(*ledger, add);
        type(*ledger, QStringLiteral("txtAmount"), QStringLiteral("25"));
        choose(*ledger, QStringLiteral("cboVendor"), QStringLiteral("Acme"));
        press(*ledger, QStringLiteral("Save"));
        break;
    case Story::SaveAmountZero:
        press(*ledger, add);
        type(*ledger, QStringLiteral("txtAmount"), QStringLiteral("0"));
        choose(*ledger, QStringLiteral("cboVendor"), QStringLiteral("Acme"));
        press(*ledger, QStringLiteral("Save"));
        seen.append(QStringLiteral("grid: %1").arg(gridRows(*ledger)));
        press(*ledger, QStringLiteral("Refresh"));
        seen.append(QStringLiteral("Refresh, grid: %1").arg(gridRows(*ledger)));
        break;
    case Story::CategoryList: {
        Picker* categories = ledger->picker(QStringLiteral("cboCategory"));
        for (int i = 0; i < categories->count(); ++i)
            seen.append(QStringLiteral("item: ") + categories->itemText(i));
        break;
    }
    case Story::DeleteLast:
    case Story::DeleteOnly:
    case Story::DeleteFirstOfFour:
        if (story == Story::DeleteFirstOfFour && !ledger->moveFirst())
            seen.append(QStringLiteral("cannot move to the first"));
        seen.append(QStringLiteral("opened on: ") + ledger->fieldText(QStringLiteral("txtRefNo")));
        session.prompts.queueAnswer(Prompts::Answer::Yes);
        press(*ledger, QStringLiteral("Delete"));
        seen.append(QStringLiteral("asked: %1 | %2")
                        .arg(session.prompts.shown.value(0).title, session.prompts.shown.value(0).text));
        session.prompts.shown.clear();
        seen.append(QStringLiteral("now on: %1, position %2 of %3")
                        .arg(ledger->fieldText(QStringLiteral("txtRefNo")))
                        .arg(ledger->records().absolutePosition())
                        .arg(gridRows(*ledger)));
        break;
    case Story::PickedDate:
        press(*ledger, add);
        // As the calendar sets it when the user picks a day.
        qobject_cast<DatePicker*>(ledger->control(QStringLiteral("DTPicker3")))->setDate(QDate(2025, 3, 4));
        type(*ledger, QStringLiteral("txtAmount"), QStringLiteral("25"));
        choose(*ledger, QStringLiteral("cboVendor"), QStringLiteral("Acme"));
        press(*ledger, QStringLiteral("Save"));
        break;
    case Story::StoredWithoutDate:
        press(*ledger, QStringLiteral("Save"));
        break;
    case Story::AddThenClose:
        press(*ledger, add);
        press(*ledger, QStringLiteral("Close"));
        break;
    case Story::EmptiedDateWithoutAmount: {
        press(*ledger, add);
        QWidget* date = ledger->control(QStringLiteral("DTPicker3"));
        date->setFocus();
        QTest::keyClick(date, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(date, Qt::Key_Delete);
        seen.append(QStringLiteral("date shown: ") + ledger->fieldText(QStringLiteral("DTPicker3")));
        press(*ledger, QStringLiteral("Save"));
        seen.append(QStringLiteral("date shown: ") + ledger->fieldText(QStringLiteral("DTPicker3")));
        break;
    }
    case Story::RefreshReadsAgain: {
        auto entries = [&](const QString& name) {
            Picker* list = ledger->picker(name);
            QStringList items;
            for (int i = 0; i < list->count(); ++i)
                items.append(list->itemText(i));
            return name + QStringLiteral(": ") + items.join(QLatin1Char('|'));
        };
        if (!ledger->moveFirst())
            seen.append(QStringLiteral("cannot move to the first"));
        // Entered in other windows while this one is open.
        run(db, QStringLiteral("INSERT INTO tblVendor (Company) VALUES ('Beta');"
                               "INSERT INTO tblBuilding (BldNickName) VALUES ('ASH');"
                               "INSERT INTO tblCategory (Income, Expense) VALUES ('Bonus', 'Bonus');"));
        run(db, QStringLiteral("INSERT INTO tblFinance (CheckNo, RecDate, Payee, %1) "
                               "VALUES ('103', '2026-02-01', 'Acme', 10000);")
                    .arg(amountColumn(window)));
        const QStringList pickers{"cboVendor", "cboNickname"};
        for (const QString& name : pickers)
            seen.append(entries(name));
        press(*ledger, QStringLiteral("Refresh"));
        for (const QString& name : pickers + QStringList{"cboCategory"})
            seen.append(entries(name));
        seen.append(QStringLiteral("now on: ") + ledger->fieldText(QStringLiteral("txtRefNo")));
        break;
    }
    case Story::SaveOnAnEmptyList:
        press(*ledger, QStringLiteral("Save"));
        press(*ledger, add);
        seen.append(QStringLiteral("Add afterwards: %1")
                        .arg(ledger->records().editMode() == RecordSet::EditMode::Adding
                                 ? QStringLiteral("a new transaction")
                                 : QStringLiteral("nothing")));
        break;
    case Story::TypedThenClosed:
        press(*ledger, add);
        type(*ledger, QStringLiteral("txtAmount"), QStringLiteral("25"));
        press(*ledger, QStringLiteral("Close"));
        break;
    case Story::DiskFull:
    case Story::FileMoved:
    case Story::LockedByAnotherProgram: {
        // The disk fills up, as the engine meets it: the file may not grow by a single page.
        // Or the file is moved away from the program folder while the window is open.
        // Or another program holds the file locked for writing.
        const QString moved = db.path() + QStringLiteral(".moved");
        QProcess holder;
        const auto breakIt = [&] {
            if (story == Story::LockedByAnotherProgram) {
                holder.start(QStringLiteral(LEDGER_WRITER), {QStringLiteral("hold"), db.path()});
                QVERIFY(holder.waitForReadyRead(10000));
            } else if (story == Story::DiskFull)
                run(db, QStringLiteral("PRAGMA max_page_count = %1")
                            .arg(db.connect().scalar(QStringLiteral("PRAGMA page_count")).value().toLongLong()));
            else
                QVERIFY(QFile::rename(db.path(), moved));
        };
        const auto mendIt = [&] {
            if (story == Story::LockedByAnotherProgram) {
                holder.kill();
                holder.waitForFinished();
            } else if (story == Story::DiskFull)
                run(db, QStringLiteral("PRAGMA max_page_count = 1073741823"));
            else
                QVERIFY(QFile::rename(moved, db.path()));
        };
        press(*ledger, add);
        type(*ledger, QStringLiteral("txtAmount"), QStringLiteral("200"));
        choose(*ledger, QStringLiteral("cboVendor"), QStringLiteral("Acme"));
        ledger->box(QStringLiteral("txtMemo"))->insert(QString(50000, QLatin1Char('m'))); // pasted
        breakIt();
        press(*ledger, QStringLiteral("Save"));
        press(*ledger, add); // refused: it would type over what is not saved
        seen.append(QStringLiteral("shown: %1 %2").arg(ledger->fieldText(QStringLiteral("txtAmount")),
                                                       ledger->fieldText(QStringLiteral("cboVendor"))));
        seen.append(messages(session));
        session.prompts.shown.clear();
        mendIt();
        press(*ledger, QStringLiteral("Save"));
        seen.append(QStringLiteral("saved: ") + ledger->fieldText(QStringLiteral("txtAmount")));
        break;
    }
    }
    seen.append(messages(session));
    seen.append(QStringLiteral("rows: %1").arg(rows(db)));
    if (story == Story::SaveWithoutPropertyOrCategory)
        seen.append(QStringLiteral("stored: ")
                    + storedText(db, QStringLiteral("SELECT ifnull(NickName, '') || '|' || Payee || '|' "
                                                    "|| ifnull(Category, '') || '|' || Income || '|' "
                                                    "|| Expense FROM tblFinance")));
    if (story >= Story::PickedDate && story <= Story::TypedThenClosed && story != Story::AddThenClose)
        seen.append(QStringLiteral("date: ")
                    + storedText(db, QStringLiteral("SELECT RecDate FROM tblFinance")));
    return seen;
}

} // namespace

Q_DECLARE_METATYPE(Story)

class TestLedger : public QObject {
    Q_OBJECT
private slots:
    void init() { Clock::fixAt(QDateTime(QDate(2026, 12, 7), QTime(9, 30))); }
    void cleanup()
    {
        Clock::fixAt(QDateTime());
        Puiblic_Module::CallerTag.clear();
    }

    void edgeCases_data();
    void edgeCases();
    void loanQuestion_data();
    void loanQuestion();
    void loanAnsweredYes_data();
    void loanAnsweredYes();
    void newVendorComesBack_data();
    void newVendorComesBack();
    void categoryButtonShowsTheCategoryEditor();
    void pickersShowTheCurrentRecord();
    void totals_data();
    void totals();
    void totalsFollowASaveAtOnce_data();
    void totalsFollowASaveAtOnce();
    void grid_data();
    void grid();
    void keyboard_data();
    void keyboard();
    void transactionsInTheOrderEntered();
    void incomeNamesItsTenant();
};

void TestLedger::edgeCases_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<Story>("story");
    QTest::addColumn<QStringList>("seen");
    const QString required = QStringLiteral("message: [%1] Please, enter required data.");
    const QString notSaved = QStringLiteral("message: The record could not be saved: %1\n\nWhat you "
                                            "typed is still on the screen. Save it again once that "
                                            "is put right.");
    const QString movedAway = QStringLiteral(
        "The database file \"<file>\" was moved, renamed or deleted while it was open, so nothing "
        "more is written to it. Put it back where it was and try again.");
    for (const QString window : {"frmIncome", "frmExpense"}) {
        const bool income = window == QLatin1String("frmIncome");
        const char* w = income ? "income" : "expense";
        QTest::addRow("%s: empty amount and payee ask for the amount only", w)
            << window << Story::SaveNothing << QStringList{required.arg("Amt"), "rows: 0"};
        QTest::addRow("%s: without a payee, the expense window's words", w)
            << window << Story::SaveWithoutPayee
            << QStringList{required.arg("PAY TO THE ORDER OF"), "rows: 0"};
        QTest::addRow("%s: saved without property or category", w)
            << window << Story::SaveWithoutPropertyOrCategory
            << QStringList{"rows: 1", income ? "stored: |Acme||250000|0" : "stored: |Acme||0|250000"};
        QTest::addRow("%s: amount 0 stored, gone after Refresh", w)
            << window << Story::SaveAmountZero
            << QStringList{"grid: 1", "Refresh, grid: 0", "rows: 1"};
        QTest::addRow("%s: categories of the kind, ascending, no null, empty kept", w)
            << window << Story::CategoryList
            << (income ? QStringList{"item: ", "item: Deposit", "item: Late Fee", "item: Rent", "rows: 0"}
                       : QStringList{"item: ", "item: 4000 Mortgage", "item: Advertising",
                                     "item: Repairs", "rows: 0"});
        QTest::addRow("%s: deleting the last leaves the new last current", w)
            << window << Story::DeleteLast
            << QStringList{"opened on: 103", "asked: Delete | Delete current record?",
                           "now on: 102, position 2 of 2", "rows: 2"};
        QTest::addRow("%s: deleting the first of four goes to the one that followed it", w)
            << window << Story::DeleteFirstOfFour
            << QStringList{"opened on: 101", "asked: Delete | Delete current record?",
                           "now on: 102, position 1 of 3", "rows: 3"};
        QTest::addRow("%s: a full disk is told, the income kept on screen and saved later", w)
            << window << Story::DiskFull
            << QStringList{"shown: 200 Acme", notSaved.arg("The disk is full."),
                           notSaved.arg("The disk is full."), "saved: $200.00", "rows: 1"};
        QTest::addRow("%s: a file moved away takes nothing until it is back", w)
            << window << Story::FileMoved
            << QStringList{"shown: 200 Acme", notSaved.arg(movedAway), notSaved.arg(movedAway),
                           "saved: $200.00", "rows: 1"};
        QTest::addRow("%s: a file another program holds locked is told in use, saved later", w)
            << window << Story::LockedByAnotherProgram
            << QStringList{"shown: 200 Acme",
                           notSaved.arg("The database file is in use by another program."),
                           notSaved.arg("The database file is in use by another program."),
                           "saved: $200.00", "rows: 1"};
        QTest::addRow("%s: deleting the only one leaves an empty grid", w)
            << window << Story::DeleteOnly
            << QStringList{"opened on: 101", "asked: Delete | Delete current record?",
                           "now on: , position 0 of 0", "rows: 0"};
        QTest::addRow("%s: the date picked is stored", w)
            << window << Story::PickedDate << QStringList{"rows: 1", "date: 2025-03-04"};
        QTest::addRow("%s: no date picked stores today", w)
            << window << Story::NoDatePicked << QStringList{"rows: 1", "date: 2026-12-07"};
        QTest::addRow("%s: a transaction without a date gets today", w)
            << window << Story::StoredWithoutDate << QStringList{"rows: 1", "date: 2026-12-07"};
        QTest::addRow("%s: an untouched new transaction is not stored", w)
            << window << Story::AddThenClose << QStringList{"rows: 0"};
        QTest::addRow("%s: a typed one left unsaved keeps today's date", w)
            << window << Story::TypedThenClosed << QStringList{"rows: 1", "date: 2026-12-07"};
        QTest::addRow("%s: an emptied date is today again, even when the amount is missing", w)
            << window << Story::EmptiedDateWithoutAmount
            << QStringList{"date shown: ", "date shown: 12/7/2026", required.arg("Amt"), "rows: 0"};
        QTest::addRow("%s: Save on an empty list does nothing and leaves Add working", w)
            << window << Story::SaveOnAnEmptyList
            << QStringList{"Add afterwards: a new transaction", "rows: 0"};
        QTest::addRow("%s: Refresh reads the lists again and goes to the last", w)
            << window << Story::RefreshReadsAgain
            << QStringList{"cboVendor: Acme|Zed Supply", "cboNickname: ELM|OAK",
                           "cboVendor: Acme|Beta|Zed Supply", "cboNickname: ASH|ELM|OAK",
                           income ? "cboCategory: |Bonus|Deposit|Late Fee|Rent"
                                  : "cboCategory: |4000 Mortgage|Advertising|Bonus|Repairs",
                           "now on: 103", "rows: 3"};
    }
}

void TestLedger::edgeCases()
{
    QFETCH(QString, window);
    QFETCH(Story, story);
    QFETCH(QStringList, seen);
    TempDatabase db;
    run(db, lists);
    ScriptedSession session;
    seen.replaceInStrings(QStringLiteral("<file>"), db.path());
    QCOMPARE(tell(story, window, db, session), seen);
}

void TestLedger::loanQuestion_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QStringList>("asked");
    const QStringList question{"Update Loan Information | Do you wish to update the loan balance "
                               "for this property?"};
    QTest::newRow("4000 alone") << "frmExpense" << "4000" << question;
    QTest::newRow("4000 and more") << "frmExpense" << "4000 Mortgage" << question;
    QTest::newRow("three characters") << "frmExpense" << "400" << QStringList();
    QTest::newRow("4000 later in the name") << "frmExpense" << "Rent 4000" << QStringList();
    QTest::newRow("an income never") << "frmIncome" << "4000 Mortgage" << QStringList();
}

// The question comes after the expense is saved; answered No, nothing more happens.
void TestLedger::loanQuestion()
{
    QFETCH(QString, window);
    QFETCH(QString, category);
    QFETCH(QStringList, asked);
    TempDatabase db;
    run(db, lists);
    run(db, QStringLiteral("INSERT INTO tblCategory (Income, Expense) VALUES "
                           "('4000', '4000'), ('400', '400'), ('Rent 4000', 'Rent 4000'), "
                           "('4000 Mortgage', NULL);"));
    ScriptedSession session;
    int loanEditorShown = 0;
    LedgerContext context;
    context.showLoanEditor = [&] { ++loanEditorShown; };
    auto ledger = makeLedger(window, db.folder(), context);
    press(*ledger, ledger->description().addCommand);
    type(*ledger, QStringLiteral("txtAmount"), QStringLiteral("900"));
    choose(*ledger, QStringLiteral("cboVendor"), QStringLiteral("Acme"));
    choose(*ledger, QStringLiteral("cboCategory"), category);
    choose(*ledger, QStringLiteral("cboNickname"), QStringLiteral("ELM"));
    session.prompts.queueAnswer(Prompts::Answer::No);
    press(*ledger, QStringLiteral("Save"));

    QStringList seen;
    for (const ShownMessage& m : session.prompts.shown) {
        seen.append(m.title + QStringLiteral(" | ") + m.text);
        QCOMPARE(m.buttons, Prompts::Buttons::YesNo);
    }
    QCOMPARE(seen, asked);
    QCOMPARE(storedText(db, QStringLiteral("SELECT Category FROM tblFinance")), category);
    QCOMPARE(loanEditorShown, 0);
}

void TestLedger::loanAnsweredYes_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QStringList>("seen");
    QTest::addColumn<QString>("callerTag");
    QTest::addColumn<int>("loanEditorShown");
    QTest::newRow("no property")
        << "" << QStringList{"Property Unknown | You must select a property."} << "tenant" << 0;
    QTest::newRow("property chosen") << "ELM" << QStringList() << "1" << 1;
}

// Yes without a property names what is missing and leaves the saved expense in place; with one,
// the loan editor comes forward and a vendor requested meanwhile goes to no window.
void TestLedger::loanAnsweredYes()
{
    QFETCH(QString, property);
    QFETCH(QStringList, seen);
    QFETCH(QString, callerTag);
    QFETCH(int, loanEditorShown);
    TempDatabase db;
    run(db, lists);
    ScriptedSession session;
    int shown = 0;
    LedgerContext context;
    context.showLoanEditor = [&] { ++shown; };
    auto ledger = makeLedger(QStringLiteral("frmExpense"), db.folder(), context);
    press(*ledger, QStringLiteral("AddExpense"));
    type(*ledger, QStringLiteral("txtAmount"), QStringLiteral("1,250.50"));
    choose(*ledger, QStringLiteral("cboVendor"), QStringLiteral("Acme"));
    choose(*ledger, QStringLiteral("cboCategory"), QStringLiteral("4000 Mortgage"));
    if (!property.isEmpty())
        choose(*ledger, QStringLiteral("cboNickname"), property);
    Puiblic_Module::CallerTag = QStringLiteral("tenant"); // a vendor asked for elsewhere
    session.prompts.queueAnswer(Prompts::Answer::Yes);
    press(*ledger, QStringLiteral("Save"));

    QStringList after;
    for (const ShownMessage& m : session.prompts.shown.mid(1)) {
        after.append(m.title + QStringLiteral(" | ") + m.text);
        QCOMPARE(m.buttons, Prompts::Buttons::Ok);
    }
    QCOMPARE(after, seen);
    QCOMPARE(Puiblic_Module::CallerTag, callerTag);
    QCOMPARE(shown, loanEditorShown);
    QCOMPARE(storedText(db, QStringLiteral("SELECT Expense || ' ' || Payee || ' ' || Category "
                                           "FROM tblFinance")),
             QStringLiteral("12505000 Acme 4000 Mortgage"));
    QCOMPARE(ledger->records().editMode(), RecordSet::EditMode::None);
    QCOMPARE(ledger->fieldText(QStringLiteral("txtAmount")), QStringLiteral("$1,250.50"));
}

void TestLedger::newVendorComesBack_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("callerTag");
    QTest::newRow("income") << "frmIncome" << "income";
    QTest::newRow("expense") << "frmExpense" << "expense";
}

// "..." beside the payee opens the vendor editor on a new vendor; once saved, the company is the
// ledger's payee, last in its list.
void TestLedger::newVendorComesBack()
{
    QFETCH(QString, window);
    QFETCH(QString, callerTag);
    TempDatabase db;
    run(db, lists);
    ScriptedSession session;
    frmVendor vendor(db.folder());
    vendor.setAttribute(Qt::WA_DeleteOnClose, false);
    Puiblic_Module::setVendorWindowOpener([&] { return &vendor; });
    auto ledger = makeLedger(window, db.folder());
    press(*ledger, ledger->description().addCommand);
    type(*ledger, QStringLiteral("txtAmount"), QStringLiteral("75"));

    auto* button = ledger->findChild<QToolButton*>(QStringLiteral("cmdAddVendor"));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("..."));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(Puiblic_Module::CallerTag, callerTag);
    QVERIFY(vendor.isVisible());
    type(vendor, QStringLiteral("txtFields(2)"), QStringLiteral("Zeta Supply"));
    press(vendor, QStringLiteral("Save"));

    Picker* payees = ledger->picker(QStringLiteral("cboVendor"));
    QCOMPARE(payees->itemText(payees->count() - 1), QStringLiteral("Zeta Supply"));
    QCOMPARE(payees->text(), QStringLiteral("Zeta Supply"));
    QVERIFY(!vendor.isVisible());
    QCOMPARE(ledger->focusWidget(), payees); // the user goes on where the vendor was asked for
    press(*ledger, QStringLiteral("Save"));
    QVERIFY2(session.prompts.shown.isEmpty(), qPrintable(session.prompts.texts().join('|')));
    QCOMPARE(storedText(db, QStringLiteral("SELECT Payee FROM tblFinance")), QStringLiteral("Zeta Supply"));
    Puiblic_Module::setVendorWindowOpener(nullptr);
}

void TestLedger::categoryButtonShowsTheCategoryEditor()
{
    TempDatabase db;
    ScriptedSession session;
    int shown = 0;
    LedgerContext context;
    context.showCategoryEditor = [&] { ++shown; };
    auto ledger = makeLedger(QStringLiteral("frmIncome"), db.folder(), context);
    auto* button = ledger->findChild<QToolButton*>(QStringLiteral("cmdAddMemo"));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("..."));
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
    QCOMPARE(shown, 1);
}

// The pickers show the current transaction's payee, category and property as the user moves,
// and nothing on a new one.
void TestLedger::pickersShowTheCurrentRecord()
{
    TempDatabase db;
    run(db, lists);
    run(db, QStringLiteral("INSERT INTO tblFinance (NickName, RecDate, Payee, Category, Income) "
                           "VALUES ('OAK', '2026-02-01', 'Acme', 'Rent', 10000), "
                           "('ELM', '2026-02-02', 'Zed Supply', 'Late Fee', 20000);"));
    ScriptedSession session;
    auto ledger = makeLedger(QStringLiteral("frmIncome"), db.folder());
    auto pickers = [&] {
        return QStringList{ledger->picker(QStringLiteral("cboVendor"))->text(),
                           ledger->picker(QStringLiteral("cboCategory"))->text(),
                           ledger->picker(QStringLiteral("cboNickname"))->text()};
    };
    QCOMPARE(pickers(), (QStringList{"Zed Supply", "Late Fee", "ELM"}));
    QVERIFY(ledger->moveFirst());
    QCOMPARE(pickers(), (QStringList{"Acme", "Rent", "OAK"}));
    QCOMPARE(ledger->fieldText(QStringLiteral("DTPicker3")), QStringLiteral("2/1/2026"));
    press(*ledger, QStringLiteral("AddIncome"));
    QCOMPARE(pickers(), (QStringList{"", "", ""}));
    QCOMPARE(ledger->fieldText(QStringLiteral("DTPicker3")), QStringLiteral("12/7/2026"));
}

void TestLedger::totals_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("fromSummary");
    QTest::addColumn<QString>("income");
    QTest::addColumn<QString>("expense");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("balance");
    QTest::addColumn<QString>("spoken"); // what a screen reader hears of the total
    QTest::newRow("income, before the summary") << "frmIncome" << false << "" << "" << "Total Income"
                                                << "$ 0.00 " << "Profit/Loss: $0.00"
                                                << "Total Income: $ 0.00";
    QTest::newRow("expense, before the summary") << "frmExpense" << false << "" << "" << "Total Expense"
                                                 << "$ 0.00 " << "Balance: $0.00"
                                                 << "Total Expense: $ 0.00";
    QTest::newRow("income, a profit") << "frmIncome" << true << "$1,200.00" << "$200.00"
                                      << "Total Income" << "$1,200.00 " << "2026 P/L: $1,000.00"
                                      << "Total Income: $1,200.00";
    QTest::newRow("expense, a profit") << "frmExpense" << true << "$1,200.00" << "$200.00"
                                       << "Total Expense" << "-$200.00 " << "2026 P/L: $1,000.00"
                                       << "Total Expense: -$200.00";
    QTest::newRow("income, a loss") << "frmIncome" << true << "$0.00" << "$150.00" << "Total Income"
                                    << "$0.00 " << "2026 P/L: -$150.00" << "Total Income: $0.00";
    QTest::newRow("expense, a loss") << "frmExpense" << true << "$0.00" << "$150.00"
                                     << "Total Expense" << "-$150.00 " << "2026 P/L: -$150.00"
                                     << "Total Expense: -$150.00";
}

// The totals follow the summary as it recomputes: the window opens with what it shows and
// follows each change.
void TestLedger::totals()
{
    QFETCH(QString, window);
    QFETCH(bool, fromSummary);
    QFETCH(QString, income);
    QFETCH(QString, expense);
    QFETCH(QString, title);
    QFETCH(QString, total);
    QFETCH(QString, balance);
    QFETCH(QString, spoken);
    TempDatabase db;
    ScriptedSession session;
    PortfolioSummary summary(db.folder());
    LedgerContext context;
    context.summary = &summary;
    auto label = [](LedgerWindow& w, const char* name) {
        QLabel* l = w.findChild<QLabel*>(QString::fromLatin1(name));
        return l ? l->text() : QStringLiteral("<none>");
    };
    // This year's ledger, one row holding the income and the expense.
    const auto ledgerHolds = [&](const char* in, const char* out) {
        run(db, QStringLiteral("DELETE FROM tblFinance"));
        QVERIFY(db.connect()
                    .execute(QStringLiteral("INSERT INTO tblFinance (RecDate, Income, Expense) "
                                            "VALUES ('2026-03-01', ?, ?)"),
                             {QVariant::fromValue(Money::parse(QString::fromLatin1(in)).value()),
                              QVariant::fromValue(Money::parse(QString::fromLatin1(out)).value())})
                    .ok());
        summary.tick();
    };

    // Opened while the summary shows other figures, then the summary recomputes; or opened
    // before the summary's first computation.
    if (fromSummary)
        ledgerHolds("5", "7");
    auto ledger = makeLedger(window, db.folder(), context);
    if (fromSummary) {
        QCOMPARE(label(*ledger, "lblBalance"), QStringLiteral("2026 P/L: -$2.00"));
        ledgerHolds(qPrintable(income), qPrintable(expense));
    }
    QCOMPARE(label(*ledger, "lbltitle"), title);
    QCOMPARE(label(*ledger, "lblTotal"), total);
    QCOMPARE(label(*ledger, "lblBalance"), balance);
    QCOMPARE(QAccessible::queryAccessibleInterface(ledger->findChild<QLabel*>(QStringLiteral("lblTotal")))
                 ->text(QAccessible::Name),
             spoken);

    // A window opened after the summary's change shows it at once.
    if (fromSummary) {
        auto another = makeLedger(window, db.folder(), context);
        QCOMPARE(label(*another, "lblTotal"), total);
        QCOMPARE(label(*another, "lblBalance"), balance);
    }
}

void TestLedger::totalsFollowASaveAtOnce_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("seen");
    QTest::newRow("income") << "frmIncome"
                            << QStringList{"$0.00 | 2026 P/L: $0.00", "$75.50 | 2026 P/L: $75.50",
                                           "$0.00 | 2026 P/L: $0.00"};
    QTest::newRow("expense") << "frmExpense"
                             << QStringList{"-$0.00 | 2026 P/L: $0.00",
                                            "-$75.50 | 2026 P/L: -$75.50",
                                            "-$0.00 | 2026 P/L: $0.00"};
}

// The window's totals follow its own Save and Delete at once, with no tick of the summary.
void TestLedger::totalsFollowASaveAtOnce()
{
    QFETCH(QString, window);
    QFETCH(QStringList, seen);
    TempDatabase db;
    run(db, lists);
    ScriptedSession session;
    PortfolioSummary summary(db.folder());
    summary.tick();
    LedgerContext context;
    context.summary = &summary;
    auto ledger = makeLedger(window, db.folder(), context);
    QStringList shown;
    const auto look = [&] {
        shown << ledger->findChild<QLabel*>(QStringLiteral("lblTotal"))->text().trimmed() + " | "
                     + ledger->findChild<QLabel*>(QStringLiteral("lblBalance"))->text();
    };
    look();
    press(*ledger, ledger->description().addCommand);
    type(*ledger, QStringLiteral("txtAmount"), QStringLiteral("75.50"));
    choose(*ledger, QStringLiteral("cboVendor"), QStringLiteral("Acme"));
    press(*ledger, QStringLiteral("Save"));
    look();
    session.prompts.queueAnswer(Prompts::Answer::Yes);
    press(*ledger, QStringLiteral("Delete"));
    look();
    QCOMPARE(shown, seen);
    QCOMPARE(summary.fullReadings(), 1);
}

void TestLedger::grid_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QString>("amount");
    QTest::newRow("income") << "frmIncome"
                            << QStringList{"ID", "Property", "Date", "Ref No.", "Payee", "Category",
                                           "Memo", "Income"}
                            << "$1234.50";
    QTest::newRow("expense") << "frmExpense"
                             << QStringList{"ID", "Property", "Date", "Ref No.", "Payee", "Category",
                                            "Memo", "Expense"}
                             << "$1234.50";
}

// Every column of the transactions under its own name but those named here; the other kind's
// amount hidden; the same after Add and after Refresh.
void TestLedger::grid()
{
    QFETCH(QString, window);
    QFETCH(QStringList, captions);
    QFETCH(QString, amount);
    TempDatabase db;
    run(db, QStringLiteral("INSERT INTO tblFinance (NickName, RecDate, CheckNo, Payee, %1) VALUES "
                           "('OAK', '2026-03-09', '7', 'Acme', 12345000);")
                .arg(amountColumn(window)));
    ScriptedSession session;
    auto ledger = makeLedger(window, db.folder());
    QTableView* view = ledger->grid();
    const QList<QPair<QString, int>> widths{{"Property", 1000}, {"Date", 1200}, {"Ref No.", 1000},
                                            {"Memo", 2500}, {captions.last(), 1000}};
    for (const QString step : {"opened", "Add", "Refresh"}) {
        if (step == QLatin1String("Add"))
            press(*ledger, ledger->description().addCommand);
        if (step == QLatin1String("Refresh"))
            press(*ledger, QStringLiteral("Refresh"));
        QStringList shown;
        QHash<QString, int> columnOf;
        for (int c = 0; c < view->model()->columnCount(); ++c) {
            if (view->isColumnHidden(c))
                continue;
            shown.append(view->model()->headerData(c, Qt::Horizontal).toString());
            columnOf.insert(shown.last(), c);
        }
        QCOMPARE(shown, captions);
        QCOMPARE(view->model()->columnCount(), captions.size() + 1); // one amount hidden
        for (const auto& [caption, twips] : widths)
            QCOMPARE(view->columnWidth(columnOf.value(caption)), twipsToPixels(twips, ledger.get()));
        const QModelIndex first = view->model()->index(0, columnOf.value(captions.last()));
        QCOMPARE(first.data().toString(), amount);
        QVERIFY(first.data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
        QCOMPARE(view->model()->index(0, columnOf.value("Date")).data().toString(),
                 QStringLiteral("3/9/2026"));
    }
}

void TestLedger::keyboard_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("tabOrder");
    QTest::addColumn<QStringList>("labels");
    const QStringList after{"txtAmount", "cboCategory", "cmdAddMemo", "txtMemo"};
    const QStringList commands{"Save", "Delete", "Refresh", "Attachments", "Close", "DataGrid1"};
    const QStringList before{"txtRefNo", "DTPicker3", "cboNickname", "cboVendor", "cmdAddVendor"};
    // Income names the tenant whose rent it is, after the payee and its button.
    QTest::newRow("income") << "frmIncome"
                            << before + QStringList{"cboTenant"} + after + QStringList{"AddIncome"}
                                   + commands
                            << QStringList{"R&ef No.:", "Da&te:", "&Property:", "&INCOME RECEIVED:",
                                           "Te&nant:", "A&mt.:", "&Category:", "Mem&o:"};
    QTest::newRow("expense") << "frmExpense" << before + after + QStringList{"AddExpense"} + commands
                             << QStringList{"R&ef No.:", "Da&te:", "&Property:", "PA&Y TO THE ORDER OF:",
                                            "A&mt.:", "&Category:", "Mem&o:"};
}

// Tab reaches every input, both small buttons and every command, in the order of the window;
// every shown input has its label, with an Alt key of its own, as buddy.
void TestLedger::keyboard()
{
    QFETCH(QString, window);
    QFETCH(QStringList, tabOrder);
    QFETCH(QStringList, labels);
    TempDatabase db;
    ScriptedSession session;
    auto ledger = makeLedger(window, db.folder());
    ledger->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(ledger.get()));
    ledger->setFocus();
    QWidget* first = QApplication::focusWidget();
    QVERIFY(first);
    QStringList visited;
    for (QWidget* w = first; visited.size() < 40; w = QApplication::focusWidget()) {
        visited.append(w->objectName());
        QTest::keyClick(w, Qt::Key_Tab);
        if (QApplication::focusWidget() == first)
            break;
    }
    QCOMPARE(visited, tabOrder);

    QStringList shownLabels;
    for (const QString& input : tabOrder.mid(0, tabOrder.indexOf("txtMemo") + 1)) {
        if (input.startsWith(QLatin1String("cmd")))
            continue;
        QWidget* w = ledger->control(input);
        QLabel* found = nullptr;
        for (QLabel* label : ledger->findChildren<QLabel*>())
            if (label->buddy() == w)
                found = label;
        QVERIFY2(found, qPrintable(input));
        shownLabels.append(found->text());
    }
    QCOMPARE(shownLabels, labels);
    QSet<QChar> keys; // no two labels share an Alt key
    for (const QString& label : shownLabels)
        keys.insert(label.at(label.indexOf(QLatin1Char('&')) + 1).toLower());
    QCOMPARE(keys.size(), shownLabels.size());
    for (const char* button : {"cmdAddVendor", "cmdAddMemo"})
        QVERIFY(!ledger->findChild<QToolButton*>(QString::fromLatin1(button))->accessibleName().isEmpty());
}

// The transactions are listed as they were entered, whatever their dates, and the window opens
// on the one entered last.
void TestLedger::transactionsInTheOrderEntered()
{
    TempDatabase db;
    ScriptedSession session;
    run(db, QStringLiteral("INSERT INTO tblFinance (CheckNo, RecDate, Payee, Income) VALUES "
                           "('1', '2026-05-01', 'Acme', 10000), ('2', '2026-01-01', 'Acme', 10000), "
                           "('3', '2026-03-01', 'Acme', 10000);"));
    auto ledger = makeLedger(QStringLiteral("frmIncome"), db.folder());
    QStringList refs;
    for (int row = 0; row < gridRows(*ledger); ++row)
        refs.append(ledger->grid()->model()->index(row, 3).data().toString());
    QCOMPARE(refs, (QStringList{"1", "2", "3"}));
    QCOMPARE(ledger->fieldText(QStringLiteral("txtRefNo")), QStringLiteral("3"));
}

// An income row names the tenant whose rent it pays: written with a new row when it is saved, at
// once for a saved one, and shown again with its row.
void TestLedger::incomeNamesItsTenant()
{
    TempDatabase db;
    ScriptedSession session;
    run(db, QStringLiteral("INSERT INTO tblBuilding (BldNickName) VALUES ('ELM');"
                           "INSERT INTO tblVendor (Company) VALUES ('Acme');"
                           "INSERT INTO tblTenant (ID, Nickname, FirstName, LastName) "
                           "VALUES (7, 'ELM', 'Ann', 'Lee')"));
    auto ledger = makeLedger(QStringLiteral("frmIncome"), db.folder());
    auto* tenant = ledger->findChild<Picker*>(QStringLiteral("cboTenant"));
    QVERIFY(tenant);
    QCOMPARE(tenant->count(), 2);
    QCOMPARE(tenant->itemText(1), QStringLiteral("Ann Lee (ELM)"));
    auto chooseTenant = [tenant](int index) {
        tenant->setCurrentIndex(index);
        emit tenant->activated(index);
    };
    const QString paidBy = QStringLiteral("SELECT group_concat(FinanceID || ':' || TenantID) "
                                          "FROM tblRentPayment");
    for (int row = 0; row < 2; ++row) {
        press(*ledger, QStringLiteral("AddIncome"));
        type(*ledger, QStringLiteral("txtAmount"), QStringLiteral("1000"));
        choose(*ledger, QStringLiteral("cboVendor"), QStringLiteral("Acme"));
        chooseTenant(row == 0 ? 1 : 0);
        // Not before the row is saved.
        QCOMPARE(storedText(db, paidBy), row == 0 ? QString() : QStringLiteral("1:7"));
        press(*ledger, QStringLiteral("Save"));
    }
    QCOMPARE(storedText(db, paidBy), QStringLiteral("1:7"));
    QVERIFY(ledger->moveFirst());
    QCOMPARE(tenant->currentText(), QStringLiteral("Ann Lee (ELM)"));
    QVERIFY(ledger->moveLast());
    QCOMPARE(tenant->currentText(), QString());
    chooseTenant(1);
    QCOMPARE(storedText(db, paidBy), QStringLiteral("1:7,2:7"));
    QVERIFY(ledger->moveFirst());
    chooseTenant(0);
    QCOMPARE(storedText(db, paidBy), QStringLiteral("2:7"));
    QCOMPARE(session.prompts.texts(), QStringList());

    // The row and its tenant are one unit of work: when the tenant cannot be written, neither
    // is the row, and it stays on the screen to be saved again.
    run(db, QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON tblRentPayment "
                           "BEGIN SELECT RAISE(ABORT, 'the disk is full'); END"));
    press(*ledger, QStringLiteral("AddIncome"));
    type(*ledger, QStringLiteral("txtAmount"), QStringLiteral("750"));
    choose(*ledger, QStringLiteral("cboVendor"), QStringLiteral("Acme"));
    chooseTenant(1);
    press(*ledger, QStringLiteral("Save"));
    QCOMPARE(session.prompts.shown.size(), 1);
    QVERIFY2(session.prompts.shown.first().text.contains(QStringLiteral("the disk is full")),
             qPrintable(session.prompts.shown.first().text));
    QCOMPARE(storedText(db, QStringLiteral("SELECT count(*) FROM tblFinance")), QStringLiteral("2"));
    run(db, QStringLiteral("DROP TRIGGER refuse"));
    press(*ledger, QStringLiteral("Save"));
    QCOMPARE(storedText(db, paidBy), QStringLiteral("2:7,3:7"));
}

QTEST_MAIN(TestLedger)
#include "tst_ledger.moc"
