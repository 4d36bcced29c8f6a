// What the record editor pattern promises, for every editor built on it: opening on an empty
// table, the required fields, Delete, Refresh, pickers that take no typing, the state list,
// mistyped amounts, and what is pending when the window closes.

#include "data/statements.h"
#include "tests/editors/editor_test_support.h"

#include <QSignalSpy>
#include <QTableView>

using namespace halvo;
using namespace halvo::test;

namespace {

struct Table {
    QString editor;
    QString table;
};

// Fills what Save requires with values that pass, leaving out the one named.
void fillRequired(RecordEditor& editor, const QString& except = {})
{
    for (const RequiredField& required : editor.description().required) {
        if (required.label == except)
            continue;
        const QString& control = required.control;
        if (control == QLatin1String("txtNickname(0)"))
            choose(editor, QStringLiteral("cboNickName"), QStringLiteral("ELM"));
        else if (Picker* list = editor.picker(control))
            choose(editor, control, list->itemText(0));
        else if (control.contains(QLatin1String("Value")) || control.contains(QLatin1String("Amount")))
            type(editor, control, QStringLiteral("1000"));
        else if (control == QLatin1String("txtIntRate"))
            type(editor, control, QStringLiteral("5.5"));
        else
            type(editor, control, QStringLiteral("  ")); // blanks count as content
    }
}

QString tableOf(const QString& editor)
{
    if (editor == QLatin1String("frmVendor"))
        return QStringLiteral("tblVendor");
    if (editor == QLatin1String("frmLoan"))
        return QStringLiteral("tblLoan");
    if (editor == QLatin1String("frmProperty"))
        return QStringLiteral("tblBuilding");
    return QStringLiteral("tblCategory");
}

void addEditorsWithRequiredFields()
{
    QTest::addColumn<QString>("editor");
    QTest::newRow("vendor") << "frmVendor";
    QTest::newRow("loan") << "frmLoan";
    QTest::newRow("property") << "frmProperty";
}

void addEveryEditor()
{
    addEditorsWithRequiredFields();
    QTest::newRow("category") << "frmCategory";
}

// Three stored records in the editor's table, in its order.
void addThreeRecords(const Connection& c, const QString& editor)
{
    const QString table = tableOf(editor);
    const QString column = editor == QLatin1String("frmVendor") ? QStringLiteral("Company")
                           : editor == QLatin1String("frmLoan") ? QStringLiteral("NickName")
                           : editor == QLatin1String("frmProperty") ? QStringLiteral("BldLastName")
                                                                : QStringLiteral("Income");
    for (const char* name : {"A1", "B2", "C3"})
        QVERIFY(c.execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (?)").arg(table, column),
                          {QString::fromLatin1(name)})
                    .ok());
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
    void closingWritesWhatIsPending();
    void aChangeThatCannotBeWrittenAsksBeforeClosing();
    void emailLinkHoldsTheCurrentAddress();
    void tabReachesEveryFieldAndCommand_data() { addEveryEditor(); }
    void tabReachesEveryFieldAndCommand();
};

void TestPattern::opensOnAnEmptyTable()
{
    QFETCH(QString, editor);
    TempDatabase db;
    ScriptedSession session;
    auto window = makeEditor(editor, db.folder());
    QCOMPARE(window->box(window->description().countBox)->text(), QStringLiteral("Record Count: 0"));
    const bool blank = window->description().blankRecordWhenEmpty;
    QCOMPARE(window->records().editMode() == RecordSet::EditMode::Adding, blank);
    QCOMPARE(window->records().recordCount(), blank ? 1 : 0);
    QVERIFY(session.prompts.shown.isEmpty());
}

void TestPattern::saveReportsOnlyTheFirstMissingField()
{
    QFETCH(QString, editor);
    TempDatabase db;
    ScriptedSession session;
    db.connect().execute(QStringLiteral("INSERT INTO tblBuilding (BldNickName) VALUES ('ELM')")).ok();
    auto window = makeEditor(editor, db.folder());
    const QList<RequiredField> required = window->description().required;
    const qlonglong before = count(db.connect(), tableOf(editor));

    press(*window, QStringLiteral("Save"));
    QCOMPARE(session.prompts.texts(), QStringList{requiredMessage(required.first().label)});

    fillRequired(*window, required.last().label);
    press(*window, QStringLiteral("Save"));
    QCOMPARE(session.prompts.texts().last(), requiredMessage(required.last().label));
    QCOMPARE(session.prompts.shown.size(), 2);
    QCOMPARE(count(db.connect(), tableOf(editor)), before);
}

void TestPattern::saveWritesWhenBlanksFillTheFields()
{
    QFETCH(QString, editor);
    TempDatabase db;
    ScriptedSession session;
    db.connect().execute(QStringLiteral("INSERT INTO tblBuilding (BldNickName) VALUES ('ELM')")).ok();
    auto window = makeEditor(editor, db.folder());
    const qlonglong before = count(db.connect(), tableOf(editor));
    if (before > 0)
        press(*window, window->description().addCommand);
    fillRequired(*window);
    press(*window, QStringLiteral("Save"));
    QVERIFY2(session.prompts.shown.isEmpty(), qPrintable(session.prompts.texts().join('|')));
    QCOMPARE(count(db.connect(), tableOf(editor)), before + 1);
    QCOMPARE(window->box(window->description().countBox)->text(),
             QStringLiteral("Record Count: %1").arg(before + 1));
}

void TestPattern::deleteAsksFirst_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("at");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("countAfter");
    QTest::addColumn<int>("positionAfter");
    for (const QString editor : {"frmVendor", "frmCategory", "frmProperty"}) {
        QTest::addRow("%s: No changes nothing", qPrintable(editor)) << editor << 3 << 2 << false << 3 << 2;
        QTest::addRow("%s: Yes on the first", qPrintable(editor)) << editor << 3 << 1 << true << 2 << 2;
        QTest::addRow("%s: Yes on the last", qPrintable(editor)) << editor << 3 << 3 << true << 2 << 2;
    }
}

void TestPattern::deleteAsksFirst()
{
    QFETCH(QString, editor);
    QFETCH(int, at);
    QFETCH(bool, yes);
    QFETCH(int, countAfter);
    QFETCH(int, positionAfter);
    TempDatabase db;
    ScriptedSession session;
    addThreeRecords(db.connect(), editor);
    auto window = makeEditor(editor, db.folder());
    QVERIFY(window->moveTo(at));
    session.prompts.queueAnswer(yes ? Prompts::Answer::Yes : Prompts::Answer::No);
    press(*window, QStringLiteral("Delete"));

    QCOMPARE(session.prompts.shown.size(), 1);
    QCOMPARE(session.prompts.shown.first().title, QStringLiteral("Delete"));
    QCOMPARE(session.prompts.shown.first().text, window->description().deleteQuestion);
    QCOMPARE(count(db.connect(), tableOf(editor)), countAfter);
    QCOMPARE(window->records().recordCount(), countAfter);
    QCOMPARE(window->records().absolutePosition(), positionAfter);
}

void TestPattern::deletingTheOnlyRecordLeavesABlankOne()
{
    QFETCH(QString, editor);
    TempDatabase db;
    ScriptedSession session;
    addThreeRecords(db.connect(), editor);
    QVERIFY(db.connect().execute(QStringLiteral("DELETE FROM %1 WHERE ID > 1").arg(tableOf(editor))).ok());
    auto window = makeEditor(editor, db.folder());
    session.prompts.queueAnswer(Prompts::Answer::Yes);
    press(*window, QStringLiteral("Delete"));
    QCOMPARE(count(db.connect(), tableOf(editor)), 0);
    QCOMPARE(window->box(window->description().countBox)->text(), QStringLiteral("Record Count: 0"));
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
    QCOMPARE(window->box(window->description().countBox)->text(), QStringLiteral("Record Count: 3"));
    QCOMPARE(window->records().absolutePosition(), 1);
}

void TestPattern::pickersTakeNoTyping()
{
    QFETCH(QString, editor);
    TempDatabase db;
    ScriptedSession session;
    db.connect().execute(QStringLiteral("INSERT INTO tblBuilding (BldNickName) VALUES ('ELM')")).ok();
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
    for (const Field& field : window->description().fields)
        if (field.control == QLatin1String("cboState"))
            QCOMPARE(window->records().value(field.column).toString(), stateList().first());
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
    db.connect().execute(QStringLiteral("INSERT INTO tblVendor (Company, Email) VALUES "
                                        "('A1', 'a@example.com'), ('B2', NULL)")).ok();
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

void TestPattern::tabReachesEveryFieldAndCommand()
{
    QFETCH(QString, editor);
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
    if (!d.fields.isEmpty())
        QVERIFY2(visited.first() == d.fields.first().control
                     || visited.first() == d.mirrors.value(0).picker,
                 qPrintable(visited.first()));
    for (const QString& command : {d.addCommand, QStringLiteral("Save"), QStringLiteral("Delete"),
                                   QStringLiteral("Refresh"), QStringLiteral("Close"),
                                   QStringLiteral("DataGrid1")})
        QVERIFY2(visited.contains(command), qPrintable(command + ": " + visited.join(' ')));
    for (const Field& field : d.fields)
        if (!field.readOnly && !field.label.isEmpty())
            QVERIFY2(visited.contains(field.control), qPrintable(field.control));
    if (editor == QLatin1String("frmProperty")) // the picture's button follows its path box
        QCOMPARE(visited.indexOf(QStringLiteral("cmdAddImage")),
                 visited.indexOf(QStringLiteral("txtFields(5)")) + 1);
}

QTEST_MAIN(TestPattern)
#include "tst_pattern.moc"
