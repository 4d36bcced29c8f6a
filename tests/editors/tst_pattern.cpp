// What the record editor pattern promises, for every editor built on it: opening on an empty
// table, the required fields, Delete, Refresh, pickers that take no typing, the state list,
// mistyped amounts, and what is pending when the window closes.

#include "data/statements.h"
#include "tests/editors/editor_test_support.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTableView>
#include <QVBoxLayout>

using namespace halvo;
using namespace halvo::test;

namespace {

// What a user sees of each editor on the pattern, written out: its table, its record counter,
// its Add command, whether it stands on a blank record when the table is empty, and the fields
// Save requires, in the order it checks them, with a value that passes and the message shown
// while the field is empty.
struct Requirement {
    QString control;
    QString value;
    QString message;
};

struct EditorCase {
    QString table;
    QString countBox;
    QString addCommand;
    bool blankWhenEmpty;
    QString listColumn; // a column that orders the editor's records
    QList<Requirement> required;
};

const QHash<QString, EditorCase>& cases()
{
    static const QHash<QString, EditorCase> all{
        {"frmVendor",
         {"tblVendor", "txtFields(8)", "AddVendor", true, "Company",
          {{"txtFields(2)", "  ", "[Company] Please, enter required data."}}}},
        {"frmLoan",
         {"tblLoan", "txtFields(30)", "AddLoan", true, "NickName",
          {{"txtFields(15)", "  ", "[Finance Company] Please, enter required data."},
           {"txtFields(32)", "  ", "[Address] Please, enter required data."},
           {"txtBldValue(27)", "1000", "[Market Value] Please, enter required data."},
           {"cboNickName", "ELM", "[Property] Please, enter required data."},
           {"txtLoanAmount", "1000", "[Loan Balance] Please, enter required data."},
           {"txtIntRate", "5.5", "[Interest Rate] Please, enter required data."}}}},
        {"frmProperty",
         {"tblBuilding", "txtFields(30)", "AddProperty", true, "BldLastName",
          {{"txtFields(3)", "  ", "[First Name] Please, enter required data."},
           {"txtFields(12)", "  ", "[Last Name] Please, enter required data."},
           {"txtFields(9)", "  ", "[Owner Address] Please, enter required data."},
           {"txtFields(1)", "  ", "[City] Please, enter required data."},
           {"txtFields(22)", "  ", "[Postal Code] Please, enter required data."},
           {"txtFields(24)", "  ", "[Rental Property Address] Please, enter required data."},
           {"txtNickName", "  ", "[Property Nickname] Please, enter required data."},
           {"cboState", "Alabama    ", "[State] Please, enter required data."}}}},
        {"frmTenant",
         {"tblTenant", "txtFields(8)", "AddTenant", true, "Nickname",
          {{"txtFields(6)", "  ", "[First Name] Please, enter required data."},
           {"txtFields(9)", "  ", "[Last Name] Please, enter required data."},
           {"txtFields(0)", "  ", "[Address] Please, enter required data."},
           {"cboNickname", "ELM", "[Property] Please, enter required data."},
           {"txtFields(15)", "1200", "[Monthly Rent] Please, enter required data."}}}},
        {"frmInsurance",
         {"tblInsurance", "txtFields(30)", "AddInsuranceCompany", true, "Nickname",
          {{"txtFields(10)", "  ", "[Insurance Company] Please, enter required data."},
           {"cboNickname", "ELM", "[Property] Please, enter required data."}}}},
        {"frmCategory", {"tblCategory", "txtFields(30)", "AddCategory", false, "Income", {}}},
        {"frmNote", {"tblNotes", "txtFields(30)", "AddNote", true, "NickName", {}}},
    };
    return all;
}

const EditorCase& caseOf(const QString& editor) { return *cases().find(editor); }

// Fills the required fields in order, up to (not including) the one at `upTo`.
void fillRequired(RecordEditor& editor, const QString& name, int upTo = -1)
{
    const QList<Requirement>& required = caseOf(name).required;
    const int last = upTo < 0 ? int(required.size()) : upTo;
    for (int i = 0; i < last; ++i)
        fill(editor, required[i].control, required[i].value);
}

void addEditorsWithRequiredFields()
{
    QTest::addColumn<QString>("editor");
    for (const char* name : {"frmVendor", "frmLoan", "frmProperty", "frmTenant", "frmInsurance"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void addEveryEditor()
{
    addEditorsWithRequiredFields();
    QTest::newRow("frmCategory") << "frmCategory";
    QTest::newRow("frmNote") << "frmNote";
}

// One property, ELM, for the property pickers of the editors that have one.
void addProperty(const TempDatabase& db, const QString& editor = {})
{
    if (editor == QLatin1String("frmProperty"))
        return;
    QVERIFY(db.connect().execute(QStringLiteral("INSERT INTO tblBuilding (BldNickName) VALUES ('ELM')")).ok());
}

// Stored records in the editor's table, in its order: A1, B2, C3 and D4, the first so many.
void addRecords(const Connection& c, const QString& editor, int howMany)
{
    const EditorCase& e = caseOf(editor);
    const QStringList names{"A1", "B2", "C3", "D4"};
    for (const QString& name : names.mid(0, howMany))
        QVERIFY(c.execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (?)").arg(e.table, e.listColumn),
                          {name})
                    .ok());
}

void addThreeRecords(const Connection& c, const QString& editor)
{
    addRecords(c, editor, 3);
}

QString countText(const RecordEditor& editor, const QString& name)
{
    const QLineEdit* box = editor.box(caseOf(name).countBox);
    return box ? box->text() : QStringLiteral("(no count box)");
}

} // namespace

class TestPattern : public QObject {
    Q_OBJECT
private slots:
    void opensOnAnEmptyTable_data() { addEveryEditor(); }
    void opensOnAnEmptyTable();
    void saveReportsOnlyTheFirstMissingField_data() { addEditorsWithRequiredFields(); }
    void saveReportsOnlyTheFirstMissingField();
    void saveWritesWhenBlanksFillTheFields_data() { addEditorsWithRequiredFields(); }
    void saveWritesWhenBlanksFillTheFields();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void deletingTheOnlyRecordLeavesABlankOne_data() { addEditorsWithRequiredFields(); }

    void deletingTheOnlyRecordLeavesABlankOne();
    void refreshShowsWhatOthersSaved_data() { addEveryEditor(); }
    void refreshShowsWhatOthersSaved();
    void pickersTakeNoTyping_data() { addEditorsWithRequiredFields(); }
    void pickersTakeNoTyping();
    void stateIsStoredWithItsBlanks_data();
    void stateIsStoredWithItsBlanks();
    void mistypedAmountIsNotWritten();
    void moveKeysWorkFromEveryField_data();
    void moveKeysWorkFromEveryField();
    void datesAreTypedAndStepped_data();
    void datesAreTypedAndStepped();
    void aDateTypedInFullArrivesAsTyped_data();
    void aDateTypedInFullArrivesAsTyped();
    void textReachesTheRecordWhole_data();
    void textReachesTheRecordWhole();
    void closingWritesWhatIsPending();
    void aChangeThatCannotBeWrittenAsksBeforeClosing();
    void emailLinkHoldsTheCurrentAddress();
    void tabReachesEveryFieldAndCommand_data();
    void tabReachesEveryFieldAndCommand();
};

void TestPattern::opensOnAnEmptyTable()
{
    QFETCH(QString, editor);
    TempDatabase db;
    ScriptedSession session;
    auto window = makeEditor(editor, db.folder());
    QCOMPARE(countText(*window, editor), QStringLiteral("Record Count: 0"));
    const bool blank = caseOf(editor).blankWhenEmpty;
    QCOMPARE(window->records().editMode() == RecordSet::EditMode::Adding, blank);
    QCOMPARE(window->records().recordCount(), blank ? 1 : 0);
    QVERIFY(session.prompts.shown.isEmpty());
}

// Each required field in turn is the first empty one: Save names it, and only it.
void TestPattern::saveReportsOnlyTheFirstMissingField()
{
    QFETCH(QString, editor);
    const QList<Requirement>& required = caseOf(editor).required;
    for (int missing = 0; missing < required.size(); ++missing) {
        TempDatabase db;
        ScriptedSession session;
        addProperty(db, editor);
        auto window = makeEditor(editor, db.folder());
        fillRequired(*window, editor, missing);
        press(*window, QStringLiteral("Save"));
        QCOMPARE(session.prompts.texts(), QStringList{required[missing].message});
        QCOMPARE(count(db.connect(), caseOf(editor).table), 0);
    }
}

void TestPattern::saveWritesWhenBlanksFillTheFields()
{
    QFETCH(QString, editor);
    TempDatabase db;
    ScriptedSession session;
    addProperty(db, editor);
    auto window = makeEditor(editor, db.folder());
    const QString table = caseOf(editor).table;
    const qlonglong before = count(db.connect(), table);
    if (before > 0)
        press(*window, caseOf(editor).addCommand);
    fillRequired(*window, editor);
    press(*window, QStringLiteral("Save"));
    QVERIFY2(session.prompts.shown.isEmpty(), qPrintable(session.prompts.texts().join('|')));
    QCOMPARE(count(db.connect(), table), before + 1);
    QCOMPARE(countText(*window, editor), QStringLiteral("Record Count: %1").arg(before + 1));
}

void TestPattern::deleteAsksFirst_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("question");
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("at");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("countAfter");
    QTest::addColumn<int>("positionAfter");
    const QList<QPair<QString, QString>> editors{
        {"frmVendor", "Delete current record?"},
        {"frmCategory", "Delete current Income and Expense record?"},
        {"frmProperty", "Delete current record?"},
        {"frmTenant", "Delete current record?"},
        {"frmInsurance", "Delete current record?"},
        {"frmNote", "Delete current record?"}};
    for (const auto& [editor, question] : editors) {
        const QByteArray name = editor.toLatin1();
        QTest::addRow("%s: No changes nothing", name.data()) << editor << question << 3 << 2 << false << 3 << 2;
        QTest::addRow("%s: Yes on the first", name.data()) << editor << question << 3 << 1 << true << 2 << 2;
        QTest::addRow("%s: Yes on the last", name.data()) << editor << question << 3 << 3 << true << 2 << 2;
        // The count goes back to the first record, and the one after it becomes current: the
        // second of the three left, not the last.
        QTest::addRow("%s: Yes on the first of four", name.data()) << editor << question << 4 << 1 << true << 3 << 2;
    }
}

void TestPattern::deleteAsksFirst()
{
    QFETCH(QString, editor);
    QFETCH(QString, question);
    QFETCH(int, records);
    QFETCH(int, at);
    QFETCH(bool, yes);
    QFETCH(int, countAfter);
    QFETCH(int, positionAfter);
    TempDatabase db;
    ScriptedSession session;
    addRecords(db.connect(), editor, records);
    auto window = makeEditor(editor, db.folder());
    QVERIFY(window->moveTo(at));
    session.prompts.queueAnswer(yes ? Prompts::Answer::Yes : Prompts::Answer::No);
    press(*window, QStringLiteral("Delete"));

    QCOMPARE(session.prompts.shown.size(), 1);
    QCOMPARE(session.prompts.shown.first().title, QStringLiteral("Delete"));
    QCOMPARE(session.prompts.shown.first().text, question);
    QCOMPARE(count(db.connect(), caseOf(editor).table), countAfter);
    QCOMPARE(window->records().recordCount(), countAfter);
    QCOMPARE(window->records().absolutePosition(), positionAfter);
}

void TestPattern::deletingTheOnlyRecordLeavesABlankOne()
{
    QFETCH(QString, editor);
    TempDatabase db;
    ScriptedSession session;
    const QString table = caseOf(editor).table;
    addThreeRecords(db.connect(), editor);
    QVERIFY(db.connect().execute(QStringLiteral("DELETE FROM %1 WHERE ID > 1").arg(table)).ok());
    auto window = makeEditor(editor, db.folder());
    session.prompts.queueAnswer(Prompts::Answer::Yes);
    press(*window, QStringLiteral("Delete"));
    QCOMPARE(count(db.connect(), table), 0);
    QCOMPARE(countText(*window, editor), QStringLiteral("Record Count: 0"));
    QCOMPARE(window->records().editMode(), RecordSet::EditMode::Adding); // ready for typing
}

void TestPattern::refreshShowsWhatOthersSaved()
{
    QFETCH(QString, editor);
    TempDatabase db;
    ScriptedSession session;
    auto window = makeEditor(editor, db.folder());
    addThreeRecords(db.connect(), editor);
    press(*window, QStringLiteral("Refresh"));
    QCOMPARE(countText(*window, editor), QStringLiteral("Record Count: 3"));
    QCOMPARE(window->records().absolutePosition(), 1);
    // Add, too, shows what was saved elsewhere since; the notes window adds to the set as it
    // stands.
    const EditorCase& e = caseOf(editor);
    QVERIFY(db.connect()
                .execute(QStringLiteral("INSERT INTO %1 (%2) VALUES ('E5')").arg(e.table, e.listColumn))
                .ok());
    press(*window, e.addCommand);
    QCOMPARE(window->records().recordCount(), editor == QLatin1String("frmNote") ? 4 : 5);
}

void TestPattern::pickersTakeNoTyping()
{
    QFETCH(QString, editor);
    TempDatabase db;
    ScriptedSession session;
    addProperty(db);
    auto window = makeEditor(editor, db.folder());
    const QList<Picker*> pickers = window->findChildren<Picker*>();
    QVERIFY(!pickers.isEmpty());
    for (Picker* list : pickers) {
        list->setFocus();
        const QString before = list->text();
        QTest::keyClicks(list, QStringLiteral("Tex"));
        QTest::keyClick(list, Qt::Key_Backspace);
        QCOMPARE(list->text(), before);
        QTest::keyClick(list, Qt::Key_Down); // the arrow keys still choose
        QCOMPARE(list->text(), list->itemText(0));
    }
    // Down on the state list chose the first state, and the record holds it as listed.
    const QString stateColumn = editor == QLatin1String("frmProperty") ? QStringLiteral("BldState")
                                : editor == QLatin1String("frmTenant") ? QStringLiteral("TenantState")
                                                                       : QStringLiteral("State");
    QCOMPARE(window->records().value(stateColumn).toString(), QStringLiteral("Alabama    "));
}

void TestPattern::stateIsStoredWithItsBlanks_data()
{
    QTest::addColumn<QString>("state");
    QTest::newRow("Texas") << "Texas    ";
    QTest::newRow("District of Columbia") << "District of Columbia    ";
    QTest::newRow("Wyoming, the last, without") << "Wyoming";
}

void TestPattern::stateIsStoredWithItsBlanks()
{
    QFETCH(QString, state);
    TempDatabase db;
    ScriptedSession session;
    auto window = makeEditor(QStringLiteral("frmVendor"), db.folder());
    QCOMPARE(stateList().size(), 51);
    type(*window, QStringLiteral("txtFields(2)"), QStringLiteral("Acme"));
    choose(*window, QStringLiteral("cboState"), state);
    press(*window, QStringLiteral("Save"));
    QCOMPARE(db.connect().scalar(QStringLiteral("SELECT State FROM tblVendor")).value().toString(), state);
}

void TestPattern::mistypedAmountIsNotWritten()
{
    TempDatabase db;
    ScriptedSession session;
    addThreeRecords(db.connect(), QStringLiteral("frmLoan"));
    auto window = makeEditor(QStringLiteral("frmLoan"), db.folder());
    type(*window, QStringLiteral("txtLoanAmount"), QStringLiteral("12a"));
    QVERIFY(!window->moveNext());
    QCOMPARE(session.prompts.shown.size(), 1);
    const QString message = session.prompts.texts().first();
    QVERIFY2(message.startsWith(QStringLiteral("Data error event hit err:")), qPrintable(message));
    QVERIFY(message.contains(QStringLiteral("12a")) && message.contains(QStringLiteral("Loan Balance")));
    QCOMPARE(window->records().absolutePosition(), 1);
    QVERIFY(db.connect().scalar(QStringLiteral("SELECT LoanAmt FROM tblLoan")).value().isNull());

    type(*window, QStringLiteral("txtLoanAmount"), QStringLiteral("$1,200.50"));
    QVERIFY(window->moveNext());
    QCOMPARE(db.connect().sum(QStringLiteral("SELECT SUM(LoanAmt) FROM tblLoan")).value(),
             Money::fromCents(120050));
}

void TestPattern::moveKeysWorkFromEveryField_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("field");
    QTest::newRow("a text box") << "frmVendor" << "txtFields(2)";
    QTest::newRow("a picker") << "frmVendor" << "cboState";
    QTest::newRow("a date picker") << "frmLoan" << "DTPicker2";
    QTest::newRow("a memo") << "frmNote" << "txtNote";
    QTest::newRow("the grid") << "frmVendor" << "DataGrid1";
}

// Ctrl+End, Ctrl+Page Up, Ctrl+Home, Ctrl+Page Down, as the data control's buttons name them.
void TestPattern::moveKeysWorkFromEveryField()
{
    QFETCH(QString, editor);
    QFETCH(QString, field);
    TempDatabase db;
    ScriptedSession session;
    addThreeRecords(db.connect(), editor);
    auto window = makeEditor(editor, db.folder());
    QVERIFY(window->moveFirst());
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QWidget* input = window->control(field);
    input->setFocus();
    QList<int> positions;
    for (Qt::Key key : {Qt::Key_End, Qt::Key_PageUp, Qt::Key_Home, Qt::Key_PageDown}) {
        QTest::keyClick(QApplication::focusWidget(), key, Qt::ControlModifier);
        positions.append(window->records().absolutePosition());
    }
    QCOMPARE(positions, (QList<int>{3, 2, 1, 2}));
}

void TestPattern::datesAreTypedAndStepped_data()
{
    QTest::addColumn<QString>("stored"); // the record's date before, empty for none
    QTest::addColumn<QString>("keys");   // typed; ">" a Right arrow, "v" a Down arrow
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QDate>("date");     // what the record holds afterwards
    QTest::newRow("typed as written, into an empty date")
        << "" << "03/15/2026" << "3/15/2026" << QDate(2026, 3, 15);
    QTest::newRow("typed without leading zeros, over a date")
        << "2024-11-30" << "3/5/2026" << "3/5/2026" << QDate(2026, 3, 5);
    QTest::newRow("a month and a day of two digits")
        << "2024-01-02" << "12/25/2025" << "12/25/2025" << QDate(2025, 12, 25);
    QTest::newRow("the day stepped down nine times")
        << "2026-03-15" << ">>vvvvvvvvv" << "3/6/2026" << QDate(2026, 3, 6);
}

void TestPattern::datesAreTypedAndStepped()
{
    QFETCH(QString, stored);
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    QFETCH(QDate, date);
    TempDatabase db;
    ScriptedSession session;
    QVERIFY(db.connect()
                .execute(QStringLiteral("INSERT INTO tblLoan (LoanInfo, LoanDate) VALUES ('Bank', ?)"),
                         {stored.isEmpty() ? QVariant() : QVariant(stored)})
                .ok());
    auto window = makeEditor(QStringLiteral("frmLoan"), db.folder());
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QWidget* picker = window->control(QStringLiteral("DTPicker2"));
    picker->setFocus(Qt::TabFocusReason);
    for (const QChar key : keys) {
        QWidget* at = QApplication::focusWidget();
        if (key == QLatin1Char('>'))
            QTest::keyClick(at, Qt::Key_Right);
        else if (key == QLatin1Char('v'))
            QTest::keyClick(at, Qt::Key_Down);
        else
            QTest::keyClicks(at, QString(key));
    }
    QCOMPARE(QApplication::focusWidget(), picker); // no "/" took the focus away
    picker->clearFocus();
    QCOMPARE(window->fieldText(QStringLiteral("DTPicker2")), shown);
    QCOMPARE(window->records().value(QStringLiteral("LoanDate")).toDate(), date);
}

// However the picker was entered, a date typed in full replaces the one it held: after Tab, after
// Home, after a click inside the month, or with the whole text selected.
void TestPattern::aDateTypedInFullArrivesAsTyped_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDate>("date");
    for (const char* entry : {"Tab", "Home", "a click in the month", "Ctrl+A"}) {
        QTest::addRow("%s, then 1/1/2026", entry) << entry << "1/1/2026" << QDate(2026, 1, 1);
        QTest::addRow("%s, then 3/20/2026", entry) << entry << "3/20/2026" << QDate(2026, 3, 20);
    }
}

void TestPattern::aDateTypedInFullArrivesAsTyped()
{
    QFETCH(QString, entry);
    QFETCH(QString, typed);
    QFETCH(QDate, date);
    QWidget window;
    auto* before = new QLineEdit(&window);
    auto* picker = new DatePicker(&window);
    auto* column = new QVBoxLayout(&window);
    column->addWidget(before);
    column->addWidget(picker);
    picker->setValue(QDate(2026, 12, 5));
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    before->setFocus();
    auto* text = picker->findChild<QLineEdit*>();
    QCOMPARE(text->text(), QStringLiteral("12/5/2026"));
    if (entry == QLatin1String("a click in the month")) {
        // Between the "1" and the "2" of "12".
        const QPoint between(text->fontMetrics().horizontalAdvance(QLatin1Char('1')) + 3,
                             text->height() / 2);
        QCOMPARE(text->cursorPositionAt(between), 1);
        QTest::mouseClick(text, Qt::LeftButton, {}, between);
    } else {
        QTest::keyClick(before, Qt::Key_Tab);
        if (entry == QLatin1String("Home"))
            QTest::keyClick(picker, Qt::Key_Home);
        else if (entry == QLatin1String("Ctrl+A"))
            QTest::keyClick(picker, Qt::Key_A, Qt::ControlModifier);
    }
    QCOMPARE(QApplication::focusWidget(), picker);
    for (const QChar key : typed)
        QTest::keyClicks(QApplication::focusWidget(), QString(key));
    QCOMPARE(QApplication::focusWidget(), picker);
    QCOMPARE(text->text(), typed);
    QCOMPARE(picker->value(), date);
}

void TestPattern::textReachesTheRecordWhole_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("stored"); // before the window opens
    // Added at the end of the text through the accessibility interface; the company is changed too,
    // so that the record is written either way.
    QTest::addColumn<QString>("added");
    QTest::addColumn<QString>("tip");
    const QString long200k(200000, QLatin1Char('a'));
    QTest::newRow("put in by assistive technology")
        << "Text1" << "City" << "" << "Tulsa" << "";
    QTest::newRow("200,000 characters in a field without a limit")
        << "txtFields(0)" << "Address" << long200k << "!" << "";
    QTest::newRow("longer than the field's limit, written by another program")
        << "Text2" << "PostalCode" << "74101-1234-5678" << ""
        << "This text is longer than the 12 characters this field takes; it is kept whole.";
}

void TestPattern::textReachesTheRecordWhole()
{
    QFETCH(QString, control);
    QFETCH(QString, column);
    QFETCH(QString, stored);
    QFETCH(QString, added);
    QFETCH(QString, tip);
    TempDatabase db;
    ScriptedSession session;
    QVERIFY(db.connect()
                .execute(QStringLiteral("INSERT INTO tblVendor (Company, %1) VALUES ('Acme', ?)").arg(column),
                         {stored})
                .ok());
    auto window = makeEditor(QStringLiteral("frmVendor"), db.folder());
    QLineEdit* box = window->box(control);
    QCOMPARE(box->text().size(), stored.size());
    QCOMPARE(box->toolTip(), tip);
    // As dictation and automation tools write: through the accessibility bus, no key pressed.
    QAccessibleEditableTextInterface* editable =
        QAccessible::queryAccessibleInterface(box)->editableTextInterface();
    QVERIFY(editable);
    editable->insertText(int(stored.size()), added);
    type(*window, QStringLiteral("txtFields(2)"), QStringLiteral("Acme Supply"));
    press(*window, QStringLiteral("Save"));
    QVERIFY2(session.prompts.shown.isEmpty(), qPrintable(session.prompts.texts().join('|')));
    QCOMPARE(db.connect().scalar(QStringLiteral("SELECT %1 FROM tblVendor").arg(column)).value().toString(),
             stored + added);
}

void TestPattern::closingWritesWhatIsPending()
{
    TempDatabase db;
    ScriptedSession session;
    {
        auto window = makeEditor(QStringLiteral("frmVendor"), db.folder());
        type(*window, QStringLiteral("txtFields(2)"), QStringLiteral("Acme")); // the blank record
        QVERIFY(window->close());
    }
    {
        auto window = makeEditor(QStringLiteral("frmVendor"), db.folder());
        press(*window, QStringLiteral("AddVendor")); // untouched: dropped on close
        QVERIFY(window->close());
    }
    QCOMPARE(count(db.connect(), QStringLiteral("tblVendor")), 1);
    QVERIFY(session.prompts.shown.isEmpty());
}

void TestPattern::aChangeThatCannotBeWrittenAsksBeforeClosing()
{
    TempDatabase db;
    ScriptedSession session;
    addThreeRecords(db.connect(), QStringLiteral("frmVendor"));
    auto window = makeEditor(QStringLiteral("frmVendor"), db.folder());
    type(*window, QStringLiteral("Text1"), QStringLiteral("Tulsa"));
    QVERIFY(db.connect().execute(QStringLiteral("DELETE FROM tblVendor WHERE Company = 'A1'")).ok());

    session.prompts.queueAnswer(Prompts::Answer::Ok);
    session.prompts.queueAnswer(Prompts::Answer::No); // keep the window and the change
    QVERIFY(!window->close());
    QCOMPARE(session.prompts.shown.size(), 2);
    QVERIFY(session.prompts.texts().first().startsWith(QStringLiteral("Data error event hit err:")));
    QVERIFY(window->records().isDirty());

    session.prompts.queueAnswer(Prompts::Answer::Ok);
    session.prompts.queueAnswer(Prompts::Answer::Yes); // give it up
    QVERIFY(window->close());
    QCOMPARE(count(db.connect(), QStringLiteral("tblVendor")), 2);
}

void TestPattern::emailLinkHoldsTheCurrentAddress()
{
    TempDatabase db;
    ScriptedSession session;
    QVERIFY(db.connect().execute(QStringLiteral("INSERT INTO tblVendor (Company, Email) VALUES "
                                                "('A1', 'a@example.com'), ('B2', NULL)")).ok());
    auto window = makeEditor(QStringLiteral("frmVendor"), db.folder());
    VeyHyperLinkLabel* email = window->link(QStringLiteral("Email"));
    QCOMPARE(email->URL(), QStringLiteral("mailto:a@example.com"));
    QVERIFY(window->moveNext());
    QCOMPARE(email->URL(), QString()); // an empty box opens nothing
    type(*window, QStringLiteral("txtEmail(5)"), QStringLiteral("b@example.com"));
    QCOMPARE(email->URL(), QStringLiteral("mailto:b@example.com"));
    type(*window, QStringLiteral("txtWebSite"), QStringLiteral("www.example.com"));
    QCOMPARE(window->link(QStringLiteral("WebSite"))->URL(), QStringLiteral("www.example.com"));
}

void TestPattern::tabReachesEveryFieldAndCommand_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("firstField");
    QTest::newRow("frmVendor") << "frmVendor" << "txtFields(2)";
    QTest::newRow("frmLoan") << "frmLoan" << "cboNickName";
    QTest::newRow("frmProperty") << "frmProperty" << "txtNickName";
    QTest::newRow("frmTenant") << "frmTenant" << "cboNickname";
    QTest::newRow("frmInsurance") << "frmInsurance" << "cboNickname";
    QTest::newRow("frmCategory") << "frmCategory" << "DataGrid1";
    QTest::newRow("frmNote") << "frmNote" << "DTPicker2";
}

void TestPattern::tabReachesEveryFieldAndCommand()
{
    QFETCH(QString, editor);
    QFETCH(QString, firstField);
    TempDatabase db;
    ScriptedSession session;
    auto window = makeEditor(editor, db.folder());
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    window->setFocus(); // as the main window gives a window it opens the focus
    QWidget* first = QApplication::focusWidget();
    QVERIFY(first);
    QStringList visited;
    for (QWidget* w = first; visited.size() < 80; w = QApplication::focusWidget()) {
        visited.append(w->objectName());
        QTest::keyClick(w, Qt::Key_Tab);
        if (QApplication::focusWidget() == first)
            break;
    }
    const EditorDescription& d = window->description();
    QCOMPARE(visited.first(), firstField);
    for (const QString& command : {caseOf(editor).addCommand, QStringLiteral("Save"),
                                   QStringLiteral("Delete"), QStringLiteral("Refresh"),
                                   QStringLiteral("Close"), d.grid.name})
        QVERIFY2(visited.contains(command), qPrintable(command + ": " + visited.join(' ')));
    for (const Field& field : d.fields)
        if (!field.readOnly && !field.label.isEmpty() && !field.hidden)
            QVERIFY2(visited.contains(field.control), qPrintable(field.control));
    if (editor == QLatin1String("frmProperty")) // the picture's button follows its path box
        QCOMPARE(visited.indexOf(QStringLiteral("cmdAddImage")),
                 visited.indexOf(QStringLiteral("txtFields(5)")) + 1);
}

QTEST_MAIN(TestPattern)
#include "tst_pattern.moc"
