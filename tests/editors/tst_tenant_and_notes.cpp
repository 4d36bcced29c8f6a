// What the tenant, insurance and notes editors add to the pattern: the tenant's property address
// and management fee, the management company handed back from the vendor editor, the order
// after Save, and the notes' filter, stamps and messages.

#include "data/dates.h"
#include "editors/vendor_window.h"
#include "platform/desktop.h"
#include "tests/editors/editor_test_support.h"

#include <QPlainTextEdit>
#include <QTableView>

using namespace halvo;
using namespace halvo::test;

namespace {

QVariant scalar(const TempDatabase& db, const QString& sql)
{
    return db.connect().scalar(sql).value();
}

void run(const TempDatabase& db, const QString& script)
{
    QVERIFY(db.connect().executeScript(script).ok());
}

const QString twoProperties = QStringLiteral(
    "INSERT INTO tblBuilding (BldNickName, BldPropAddress) VALUES "
    "('OAK', '12 Oak Lane'), ('ELM', '4 Elm Street');");

} // namespace

class TestTenantAndNotes : public QObject {
    Q_OBJECT
private slots:
    void init() { Clock::fixAt(QDateTime(QDate(2026, 12, 7), QTime(13, 5, 9))); }
    void cleanup() { Clock::fixAt(QDateTime()); }

    void choosingAPropertyShowsItsAddress();
    void managementFee_data();
    void managementFee();
    void feeFollowsTheRentAsItIsTyped();
    void refreshKeepsFullLists();
    void newCompanyComesBackSelected();
    void tenantFindsItsDatabaseInTheProgramFolder();
    void insuranceShowsTheFirstPolicyAfterSave();
    void insuranceTypesAreTheListOnly();

    void notesFilterAndRefresh();
    void notesFilterTakesAQuoteAsWritten();
    void notesSaveMessages_data();
    void notesSaveMessages();
    void addNoteStampsDateAndTime();
    void notesGridByPosition();
    void notesDeleteLeavesTheSecondCurrent_data();
    void notesDeleteLeavesTheSecondCurrent();
};

void TestTenantAndNotes::choosingAPropertyShowsItsAddress()
{
    TempDatabase db;
    ScriptedSession session;
    run(db, twoProperties);
    auto window = makeEditor(QStringLiteral("frmTenant"), db.folder());
    QCOMPARE(window->picker(QStringLiteral("cboNickname"))->itemText(0), QStringLiteral("ELM"));
    choose(*window, QStringLiteral("cboNickname"), QStringLiteral("OAK"));
    QCOMPARE(window->fieldText(QStringLiteral("lblRentalProperty")), QStringLiteral("12 Oak Lane"));
    QCOMPARE(window->records().value(QStringLiteral("Building")).toString(), QStringLiteral("12 Oak Lane"));
    QCOMPARE(window->records().value(QStringLiteral("Nickname")).toString(), QStringLiteral("OAK"));
}

void TestTenantAndNotes::managementFee_data()
{
    QTest::addColumn<QString>("rent");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<QString>("fee");
    QTest::newRow("1,200.00 at 10 %") << "1,200.00" << "10" << "$120.00";
    QTest::newRow("5.00 at 1 %, no leading zero") << "5.00" << "1" << "$.05";
    QTest::newRow("0 %") << "1,200.00" << "0" << "$0.00";
    QTest::newRow("a rent that is no number keeps the fee") << "abc" << "10" << "";
    QTest::newRow("thousands") << "$12,345.00" << "20" << "$2,469.00";
}

void TestTenantAndNotes::managementFee()
{
    QFETCH(QString, rent);
    QFETCH(QString, percent);
    QFETCH(QString, fee);
    TempDatabase db;
    ScriptedSession session;
    auto window = makeEditor(QStringLiteral("frmTenant"), db.folder());
    type(*window, QStringLiteral("txtFields(15)"), rent);
    choose(*window, QStringLiteral("cboMangFee"), percent);
    QCOMPARE(window->fieldText(QStringLiteral("txtFields(4)")), fee);
}

void TestTenantAndNotes::feeFollowsTheRentAsItIsTyped()
{
    TempDatabase db;
    ScriptedSession session;
    auto window = makeEditor(QStringLiteral("frmTenant"), db.folder());
    choose(*window, QStringLiteral("cboMangFee"), QStringLiteral("10"));
    type(*window, QStringLiteral("txtFields(15)"), QStringLiteral("900"));
    QCOMPARE(window->fieldText(QStringLiteral("txtFields(4)")), QStringLiteral("$90.00"));
    type(*window, QStringLiteral("txtFields(15)"), QStringLiteral("1,000"));
    QCOMPARE(window->fieldText(QStringLiteral("txtFields(4)")), QStringLiteral("$100.00"));
    QCOMPARE(window->records().value(QStringLiteral("ManagementFee")).value<Money>(),
             Money::fromCents(10000));
}

void TestTenantAndNotes::refreshKeepsFullLists()
{
    TempDatabase db;
    ScriptedSession session;
    run(db, twoProperties + QStringLiteral("INSERT INTO tblVendor (Company) VALUES ('Acme'), ('Best');"));
    auto window = makeEditor(QStringLiteral("frmTenant"), db.folder());
    run(db, QStringLiteral("INSERT INTO tblBuilding (BldNickName) VALUES ('ASH');"));
    for (int i = 0; i < 3; ++i)
        press(*window, QStringLiteral("Refresh"));
    Picker* properties = window->picker(QStringLiteral("cboNickname"));
    Picker* companies = window->picker(QStringLiteral("cboVendor"));
    QCOMPARE(properties->count(), 3);
    QCOMPARE(properties->itemText(0), QStringLiteral("ASH"));
    QCOMPARE(companies->count(), 2);
}

// The vendor editor, opened from the tenant editor, hands the company it saves back: it is
// chosen in the tenant's picker and stored in the tenant record; the vendor editor hides.
void TestTenantAndNotes::newCompanyComesBackSelected()
{
    TempDatabase db;
    ScriptedSession session;
    auto tenant = makeEditor(QStringLiteral("frmTenant"), db.folder());
    frmVendor vendor(db.folder());
    vendor.setAttribute(Qt::WA_DeleteOnClose, false);
    Puiblic_Module::setVendorWindowOpener([&vendor] { return &vendor; });
    QTest::mouseClick(tenant->findChild<QWidget*>(QStringLiteral("cmdAddMgntCompany")), Qt::LeftButton);
    QVERIFY(vendor.isVisible());
    QCOMPARE(Puiblic_Module::CallerTag, QStringLiteral("tenant"));
    type(vendor, QStringLiteral("txtFields(2)"), QStringLiteral("Prime Management"));
    press(vendor, QStringLiteral("Save"));
    QVERIFY(vendor.isHidden());
    QCOMPARE(tenant->picker(QStringLiteral("cboVendor"))->text(), QStringLiteral("Prime Management"));
    QCOMPARE(tenant->records().value(QStringLiteral("Company")).toString(), QStringLiteral("Prime Management"));
    Puiblic_Module::setVendorWindowOpener({});
}

// The window's design names the file without a folder: it is found in the program folder even
// while the current folder is elsewhere.
void TestTenantAndNotes::tenantFindsItsDatabaseInTheProgramFolder()
{
    TempDatabase db;
    ScriptedSession session;
    run(db, QStringLiteral("INSERT INTO tblTenant (Nickname, FirstName) VALUES ('ELM', 'Ann');"));
    const QString before = QDir::currentPath();
    QDir::setCurrent(QDir::tempPath());
    auto window = makeEditor(QStringLiteral("frmTenant"), db.folder());
    QDir::setCurrent(before);
    QVERIFY2(session.prompts.shown.isEmpty(), qPrintable(session.prompts.texts().join('|')));
    QCOMPARE(window->fieldText(QStringLiteral("txtFields(6)")), QStringLiteral("Ann"));
    QCOMPARE(window->box(QStringLiteral("txtFields(8)"))->text(), QStringLiteral("Record Count: 1"));
}

void TestTenantAndNotes::insuranceShowsTheFirstPolicyAfterSave()
{
    TempDatabase db;
    ScriptedSession session;
    run(db, twoProperties
                + QStringLiteral("INSERT INTO tblInsurance (Nickname, InsuranceInfo) VALUES "
                                 "('ELM', 'Acme Mutual'), ('OAK', 'Oak Insurers');"));
    auto window = makeEditor(QStringLiteral("frmInsurance"), db.folder());
    press(*window, QStringLiteral("AddInsuranceCompany"));
    type(*window, QStringLiteral("txtFields(10)"), QStringLiteral("Zenith"));
    choose(*window, QStringLiteral("cboNickname"), QStringLiteral("OAK"));
    type(*window, QStringLiteral("txtFields(29)"), QStringLiteral("650"));
    press(*window, QStringLiteral("Save"));
    QVERIFY2(session.prompts.shown.isEmpty(), qPrintable(session.prompts.texts().join('|')));
    QCOMPARE(window->fieldText(QStringLiteral("txtFields(10)")), QStringLiteral("Acme Mutual"));
    QCOMPARE(window->fieldText(QStringLiteral("cboNickname")), QStringLiteral("ELM"));
    QCOMPARE(window->box(QStringLiteral("txtFields(30)"))->text(), QStringLiteral("Record Count: 3"));
    QCOMPARE(db.connect().sum(QStringLiteral("SELECT HomeOwnersIns FROM tblInsurance WHERE InsuranceInfo = 'Zenith'"))
                 .value(),
             Money::fromCents(65000));
}

void TestTenantAndNotes::insuranceTypesAreTheListOnly()
{
    TempDatabase db;
    ScriptedSession session;
    auto window = makeEditor(QStringLiteral("frmInsurance"), db.folder());
    Picker* types = window->picker(QStringLiteral("Combo3"));
    QStringList listed;
    for (int i = 0; i < types->count(); ++i)
        listed.append(types->itemText(i));
    QCOMPARE(listed, (QStringList{"Homeowners Insurance", "Renters Insurance", "Fire Insurance",
                                  "Hazard Insurance", "Flood Insurance", "Other"}));
    types->setFocus();
    QTest::keyClicks(types, QStringLiteral("Flood"));
    QCOMPARE(types->text(), QString());
}

void TestTenantAndNotes::notesFilterAndRefresh()
{
    TempDatabase db;
    ScriptedSession session;
    run(db, twoProperties
                + QStringLiteral("INSERT INTO tblNotes (NoteDate, NickName, Notes) VALUES "
                                 "('2026-01-02', 'ELM', 'roof'), ('2026-02-03', 'OAK', 'paint'), "
                                 "('2026-03-04', 'ELM', 'gutters');"));
    auto window = makeEditor(QStringLiteral("frmNote"), db.folder());
    auto* notes = static_cast<frmNote*>(window.get());
    Picker* filter = notes->filterPicker();
    QCOMPARE(filter->itemText(0), QStringLiteral("All Properties"));
    QCOMPARE(filter->itemText(1), QStringLiteral("ELM"));
    QCOMPARE(window->records().recordCount(), 3);
    QCOMPARE(window->fieldText(QStringLiteral("txtNote")), QStringLiteral("gutters")); // the last

    filter->setCurrentIndex(1);
    emit filter->activated(1);
    QCOMPARE(window->records().recordCount(), 2);
    run(db, QStringLiteral("INSERT INTO tblNotes (NickName, Notes) VALUES ('ELM', 'fence'), ('OAK', 'door');"));
    press(*window, QStringLiteral("Refresh"));
    QCOMPARE(window->records().recordCount(), 3);
    QCOMPARE(window->box(QStringLiteral("txtFields(30)"))->text(), QStringLiteral("Record Count: 3"));

    window->close();
    auto again = makeEditor(QStringLiteral("frmNote"), db.folder());
    QCOMPARE(again->records().recordCount(), 5);
}

void TestTenantAndNotes::notesFilterTakesAQuoteAsWritten()
{
    TempDatabase db;
    ScriptedSession session;
    run(db, QStringLiteral("INSERT INTO tblBuilding (BldNickName) VALUES ('O''HARA');"
                           "INSERT INTO tblNotes (NickName, Notes) VALUES ('O''HARA', 'lock'), ('ELM', 'x');"));
    auto window = makeEditor(QStringLiteral("frmNote"), db.folder());
    static_cast<frmNote*>(window.get())->cboPropSelect_Click(QStringLiteral("O'HARA"));
    QCOMPARE(window->records().recordCount(), 1);
    QCOMPARE(window->fieldText(QStringLiteral("txtNote")), QStringLiteral("lock"));
    QVERIFY(session.prompts.shown.isEmpty());
}

void TestTenantAndNotes::notesSaveMessages_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("note");
    QTest::addColumn<bool>("diskFull");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("saved");
    QTest::newRow("neither: only the property") << "" << "" << false << QStringList{"[Property] Please, enter required data."} << 0;
    QTest::newRow("no note") << "ELM" << "" << false << QStringList{"[Note] Please, enter required data."} << 0;
    QTest::newRow("no property") << "" << "roof" << false << QStringList{"[Property] Please, enter required data."} << 0;
    QTest::newRow("both, no date: today") << "ELM" << "roof" << false << QStringList{} << 1;
    // A failed write is told as what it is, never as missing data.
    QTest::newRow("both, the disk full") << "ELM" << "roof" << true
        << QStringList{"The record could not be saved: The disk is full.\n\nWhat you typed is still "
                       "on the screen. Save it again once that is put right."} << 0;
}

void TestTenantAndNotes::notesSaveMessages()
{
    QFETCH(QString, property);
    QFETCH(QString, note);
    QFETCH(bool, diskFull);
    QFETCH(QStringList, messages);
    QFETCH(int, saved);
    TempDatabase db;
    ScriptedSession session;
    run(db, twoProperties);
    auto window = makeEditor(QStringLiteral("frmNote"), db.folder());
    QCOMPARE(window->box(QStringLiteral("txtFields(30)"))->text(), QStringLiteral("Record Count: 0"));
    if (!property.isEmpty())
        choose(*window, QStringLiteral("cboNickname"), property);
    if (!note.isEmpty()) {
        window->control(QStringLiteral("txtNote"))->setFocus();
        QTest::keyClicks(window->control(QStringLiteral("txtNote")), note);
    }
    if (diskFull) // the file may not grow by a page, and the note needs several
        run(db, QStringLiteral("PRAGMA max_page_count = %1;")
                    .arg(scalar(db, QStringLiteral("PRAGMA page_count")).toLongLong()));
    if (diskFull)
        qobject_cast<QPlainTextEdit*>(window->control(QStringLiteral("txtNote")))
            ->insertPlainText(QString(50000, QLatin1Char('r'))); // pasted
    press(*window, QStringLiteral("Save"));
    QCOMPARE(session.prompts.texts(), messages);
    QCOMPARE(scalar(db, QStringLiteral("SELECT count(*) FROM tblNotes")).toInt(), saved);
    if (saved)
        QCOMPARE(scalar(db, QStringLiteral("SELECT NoteDate FROM tblNotes")).toString(),
                 QStringLiteral("2026-12-07"));
}

void TestTenantAndNotes::addNoteStampsDateAndTime()
{
    TempDatabase db;
    ScriptedSession session;
    run(db, twoProperties
                + QStringLiteral("INSERT INTO tblNotes (NoteDate, NoteTime, NickName, Notes) VALUES "
                                 "('2025-05-06', '08:00:00', 'ELM', 'old');"));
    auto window = makeEditor(QStringLiteral("frmNote"), db.folder());
    QCOMPARE(window->fieldText(QStringLiteral("txtTime")), QStringLiteral("8:00:00 AM"));
    press(*window, QStringLiteral("AddNote"));
    QCOMPARE(window->fieldText(QStringLiteral("DTPicker2")), QStringLiteral("12/7/2026"));
    QCOMPARE(window->fieldText(QStringLiteral("txtTime")), QStringLiteral("1:05:09 PM"));
    choose(*window, QStringLiteral("cboNickname"), QStringLiteral("OAK"));
    window->control(QStringLiteral("txtNote"))->setFocus();
    QTest::keyClicks(window->control(QStringLiteral("txtNote")), QStringLiteral("new tenant"));
    press(*window, QStringLiteral("Save"));
    QVERIFY2(session.prompts.shown.isEmpty(), qPrintable(session.prompts.texts().join('|')));
    QCOMPARE(db.connect().select(QStringLiteral("SELECT NoteDate, NoteTime, NickName FROM tblNotes WHERE Notes = 'new tenant'"))
                 .value().values.value(0),
             (QVariantList{QDate(2026, 12, 7), QTime(13, 5, 9), QStringLiteral("OAK")}));
    QCOMPARE(window->fieldText(QStringLiteral("txtNote")), QStringLiteral("new tenant")); // the last
}

void TestTenantAndNotes::notesGridByPosition()
{
    TempDatabase db;
    ScriptedSession session;
    // Notes of several lines, as typed here and as typed on Windows: a cell shows the first line,
    // the note's own box the whole note.
    run(db, QStringLiteral("INSERT INTO tblNotes (NoteDate, NoteTime, NickName, Notes) VALUES "
                           "('2026-01-02', '09:00:00', 'OAK', 'gutters' || char(13, 10) || 'and downspouts'), "
                           "('2026-01-02', '13:05:09', 'ELM', 'roof' || char(10) || 'leaks over the porch');"));
    auto window = makeEditor(QStringLiteral("frmNote"), db.folder());
    QTableView* grid = window->grid();
    QCOMPARE(grid->objectName(), QStringLiteral("DataGrid2"));
    QAbstractItemModel* model = grid->model();
    QStringList captions;
    for (int i = 0; i < model->columnCount(); ++i)
        captions.append(model->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString());
    QCOMPARE(captions, (QStringList{"ID", "Date", "NoteTime", "Property", "Notes"}));
    QVERIFY(grid->isColumnHidden(2));
    QCOMPARE(model->index(1, 1).data().toString(), QStringLiteral("1/2/2026"));
    QCOMPARE(model->index(0, 4).data().toString(), QStringLiteral("gutters"));
    QCOMPARE(model->index(1, 4).data().toString(), QStringLiteral("roof"));
    QCOMPARE(window->fieldText(QStringLiteral("txtTime")), QStringLiteral("1:05:09 PM"));
    QCOMPARE(window->fieldText(QStringLiteral("txtNote")), QStringLiteral("roof\nleaks over the porch"));
}

void TestTenantAndNotes::notesDeleteLeavesTheSecondCurrent_data()
{
    QTest::addColumn<QStringList>("notes");
    QTest::addColumn<bool>("first");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("counted");
    // The count goes back to the first note and the one after it becomes current, never the last.
    QTest::newRow("the last of three") << QStringList{"a", "b", "c"} << false << "b" << "Record Count: 2";
    QTest::newRow("the first of four") << QStringList{"a", "b", "c", "d"} << true << "c" << "Record Count: 3";
}

void TestTenantAndNotes::notesDeleteLeavesTheSecondCurrent()
{
    QFETCH(QStringList, notes);
    QFETCH(bool, first);
    QFETCH(QString, after);
    QFETCH(QString, counted);
    TempDatabase db;
    ScriptedSession session;
    for (const QString& note : notes)
        QVERIFY(db.connect().execute(QStringLiteral("INSERT INTO tblNotes (NickName, Notes) VALUES ('ELM', ?)"), {note}).ok());
    auto window = makeEditor(QStringLiteral("frmNote"), db.folder());
    if (first)
        QVERIFY(window->moveFirst());
    session.prompts.queueAnswer(Prompts::Answer::Yes);
    press(*window, QStringLiteral("Delete"));
    QCOMPARE(window->fieldText(QStringLiteral("txtNote")), after);
    QCOMPARE(window->box(QStringLiteral("txtFields(30)"))->text(), counted);
}

QTEST_MAIN(TestTenantAndNotes)
#include "tst_tenant_and_notes.moc"
