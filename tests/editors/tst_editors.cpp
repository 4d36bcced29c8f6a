// What each editor adds to the pattern: the property editor's owner picker, nickname and
// picture; the loan editor's equity and pickers; the vendor editor's hand-back to the window
// that asked for a vendor; the category editor's grid.

#include "data/statements.h"
#include "controls/data_control.h"
#include "editors/vendor_window.h"
#include "tests/editors/editor_test_support.h"

#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QTableView>

using namespace halvo;
using namespace halvo::test;

namespace {

QVariant scalar(const TempDatabase& db, const QString& sql)
{
    return db.connect().scalar(sql).value();
}

QString savePicture(const QString& path, Qt::GlobalColor color)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(color);
    if (!image.save(path, "JPG"))
        qFatal("cannot write a picture");
    return path;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestEditors : public QObject {
    Q_OBJECT
private slots:
    void nicknameIsStoredInCapitals();
    void ownerPickerCopiesTheFirstOwnersDetails();
    void pictureIsCopiedIntoTheProgramFolder_data();
    void pictureIsCopiedIntoTheProgramFolder();
    void recordWithoutPictureShowsTheDefault();
    void equityFollowsValueAndBalance_data();
    void equityFollowsValueAndBalance();
    void loanPickersMirrorTheirBoxes();
    void vendorGoesBackToTheWindowThatAskedForIt();
    void closingTheVendorWindowTakesBackTheRequest();
    void categoriesAreTypedIntoTheGrid();
    void categoriesKeepTheirScheduleELine();
};

void TestEditors::nicknameIsStoredInCapitals()
{
    TempDatabase db;
    ScriptedSession session;
    auto window = makeEditor(QStringLiteral("frmProperty"), db.folder());
    for (const char* control : {"txtFields(3)", "txtFields(12)", "txtFields(9)", "txtFields(1)",
                                "txtFields(22)", "txtFields(24)"})
        type(*window, QString::fromLatin1(control), QStringLiteral("x"));
    choose(*window, QStringLiteral("cboState"), QStringLiteral("Texas    "));
    type(*window, QStringLiteral("txtNickName"), QStringLiteral("elmstreet9"));
    QCOMPARE(window->fieldText(QStringLiteral("txtNickName")), QStringLiteral("elmstree"));
    press(*window, QStringLiteral("Save"));
    QVERIFY2(session.prompts.shown.isEmpty(), qPrintable(session.prompts.texts().join('|')));
    QCOMPARE(scalar(db, QStringLiteral("SELECT BldNickName FROM tblBuilding")).toString(),
             QStringLiteral("ELMSTREE"));
}

void TestEditors::ownerPickerCopiesTheFirstOwnersDetails()
{
    TempDatabase db;
    ScriptedSession session;
    QVERIFY(db.connect().executeScript(QStringLiteral(
        "INSERT INTO tblBuilding (BldNickName, BldFirstName, BldLastName, BldCity, BldEmail) VALUES "
        "('ELM', 'John', 'Smith', 'Tulsa', NULL), ('OAK', 'Jane', 'Smith', 'Dallas', 'j@x.com'), "
        "('ASH', 'Ann', NULL, NULL, NULL), ('FIR', 'Bo', 'Adams', NULL, NULL);")).ok());
    auto window = makeEditor(QStringLiteral("frmProperty"), db.folder());
    auto* property = static_cast<frmProperty*>(window.get());
    QVERIFY(!property->ownerPickerShown());

    press(*window, QStringLiteral("AddProperty"));
    QVERIFY(property->ownerPickerShown());
    Picker* owners = property->ownerPicker();
    QCOMPARE(owners->count(), 2); // each last name once, none for an owner without one
    QCOMPARE(owners->itemText(0), QStringLiteral("Adams"));
    QCOMPARE(owners->itemText(1), QStringLiteral("Smith"));

    type(*window, QStringLiteral("txtFields(2)"), QStringLiteral("kept@x.com"));
    type(*window, QStringLiteral("txtNickName"), QStringLiteral("PINE"));
    choose(*window, QStringLiteral("cboNickname"), QStringLiteral("Smith"));
    QCOMPARE(window->fieldText(QStringLiteral("txtFields(3)")), QStringLiteral("John"));
    QCOMPARE(window->fieldText(QStringLiteral("txtFields(1)")), QStringLiteral("Tulsa"));
    QCOMPARE(window->fieldText(QStringLiteral("txtFields(2)")), QStringLiteral("kept@x.com"));
    QCOMPARE(window->fieldText(QStringLiteral("txtNickName")), QStringLiteral("PINE"));

    press(*window, QStringLiteral("Refresh"));
    QVERIFY(!property->ownerPickerShown());
}

void TestEditors::pictureIsCopiedIntoTheProgramFolder_data()
{
    QTest::addColumn<QString>("chosen"); // "picture", "missing" or "" (cancelled)
    QTest::addColumn<bool>("anotherOfTheName"); // Prop/house.jpg is another property's picture
    QTest::addColumn<QString>("copyName");     // empty: nothing copied
    QTest::addColumn<QString>("message");
    QTest::newRow("a picture") << "picture" << false << "Prop/house.jpg" << QString();
    QTest::newRow("another property's of the same name")
        << "picture" << true << "Prop/house (2).jpg" << QString();
    QTest::newRow("cancelled") << "" << false << QString() << QString();
    QTest::newRow("a file that is not there")
        << "missing" << false << QString() << " is not valid file name.";
}

void TestEditors::pictureIsCopiedIntoTheProgramFolder()
{
    QFETCH(QString, chosen);
    QFETCH(bool, anotherOfTheName);
    QFETCH(QString, copyName);
    QFETCH(QString, message);
    TempDatabase db;
    ScriptedSession session;
    QTemporaryDir elsewhere;
    const QString picture = savePicture(QDir(elsewhere.path()).filePath(QStringLiteral("house.jpg")), Qt::red);
    const QString others = QDir(db.folder()).filePath(QStringLiteral("Prop/house.jpg"));
    if (anotherOfTheName) {
        QVERIFY(QDir().mkpath(QDir(db.folder()).filePath(QStringLiteral("Prop"))));
        savePicture(others, Qt::blue);
    }
    const QByteArray othersBefore = fileBytes(others);
    QVERIFY(db.connect().execute(QStringLiteral("INSERT INTO tblBuilding (BldNickName, BldImage) "
                                                "VALUES ('ELM', 'before.jpg')")).ok());
    auto window = makeEditor(QStringLiteral("frmProperty"), db.folder());
    if (chosen == QLatin1String("picture"))
        session.prompts.queueFileName(picture);
    else if (chosen == QLatin1String("missing"))
        session.prompts.queueFileName(QDir(elsewhere.path()).filePath(QStringLiteral("gone.jpg")));

    static_cast<frmProperty*>(window.get())->cmdAddImage_Click();
    const QString copy = copyName.isEmpty() ? QString() : QDir(db.folder()).filePath(copyName);
    QCOMPARE(session.prompts.fileDialogs.size(), 1);
    QCOMPARE(window->fieldText(QStringLiteral("txtFields(5)")),
             copy.isEmpty() ? QStringLiteral("before.jpg") : copy);
    if (anotherOfTheName)
        QCOMPARE(fileBytes(others), othersBefore); // no other property's picture is replaced
    if (!copy.isEmpty()) {
        QCOMPARE(fileBytes(copy), fileBytes(picture));
        QCOMPARE(static_cast<frmProperty*>(window.get())->shownPicture(), copy);
        // The user's alone, as the database is.
        QCOMPARE(QFile::permissions(copy) & 0x0077, QFile::Permissions{});
        QCOMPARE(QFile::permissions(QFileInfo(copy).path()) & 0x0077, QFile::Permissions{});
    }
    QCOMPARE(session.prompts.shown.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QVERIFY(session.prompts.texts().first().endsWith(message));
}

void TestEditors::recordWithoutPictureShowsTheDefault()
{
    TempDatabase db;
    ScriptedSession session;
    const QString fallback = savePicture(QDir(db.folder()).filePath(QStringLiteral("default_prop.jpg")), Qt::green);
    const QString own = savePicture(QDir(db.folder()).filePath(QStringLiteral("own.jpg")), Qt::blue);
    QVERIFY(db.connect().executeScript(QStringLiteral(
        "INSERT INTO tblBuilding (BldLastName, BldImage) VALUES ('A', NULL), ('B', '%1'), "
        "('C', '/nowhere/lost.jpg');").arg(own)).ok());
    auto window = makeEditor(QStringLiteral("frmProperty"), db.folder());
    auto* property = static_cast<frmProperty*>(window.get());
    QCOMPARE(property->shownPicture(), fallback);
    QVERIFY(window->moveNext());
    QCOMPARE(property->shownPicture(), own);
    QVERIFY(window->moveNext());
    QCOMPARE(property->shownPicture(), own); // a picture that cannot be loaded keeps the last
}

void TestEditors::equityFollowsValueAndBalance_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("balance");
    QTest::addColumn<QString>("equity");
    QTest::newRow("value above balance") << "$250,000.00" << "180000" << "$70,000.00";
    QTest::newRow("balance above value") << "100000" << "150000" << "-$50,000.00";
    QTest::newRow("no balance yet") << "100000" << "" << "";
    QTest::newRow("letters in the value") << "12a" << "100" << "";
}

void TestEditors::equityFollowsValueAndBalance()
{
    QFETCH(QString, value);
    QFETCH(QString, balance);
    QFETCH(QString, equity);
    TempDatabase db;
    ScriptedSession session;
    auto window = makeEditor(QStringLiteral("frmLoan"), db.folder());
    type(*window, QStringLiteral("txtBldValue(27)"), value);
    type(*window, QStringLiteral("txtLoanAmount"), balance);
    QCOMPARE(window->fieldText(QStringLiteral("txtEquity(23)")), equity);
}

void TestEditors::loanPickersMirrorTheirBoxes()
{
    TempDatabase db;
    ScriptedSession session;
    QVERIFY(db.connect().executeScript(QStringLiteral(
        "INSERT INTO tblBuilding (BldNickName) VALUES ('OAK'), ('ELM');"
        "INSERT INTO tblLoan (NickName, LoanType) VALUES ('ELM', 'Balloon'), ('OAK', 'VA');")).ok());
    auto window = makeEditor(QStringLiteral("frmLoan"), db.folder());
    const QString caption = window->dataControl()->caption();
    Picker* properties = window->picker(QStringLiteral("cboNickName"));
    QCOMPARE(properties->itemText(0), QStringLiteral("ELM")); // in nickname order
    QCOMPARE(properties->text(), QStringLiteral("ELM"));
    QCOMPARE(window->picker(QStringLiteral("cboLoanType"))->text(), QStringLiteral("Balloon"));

    QVERIFY(window->moveNext());
    QCOMPARE(properties->text(), QStringLiteral("OAK"));
    QCOMPARE(window->dataControl()->caption(), caption); // the caption does not follow the record
    choose(*window, QStringLiteral("cboLoanType"), QStringLiteral("FHA"));
    QCOMPARE(window->fieldText(QStringLiteral("txtLoanType")), QStringLiteral("FHA"));
    QVERIFY(window->moveFirst());
    QCOMPARE(scalar(db, QStringLiteral("SELECT LoanType FROM tblLoan WHERE NickName = 'OAK'")).toString(),
             QStringLiteral("FHA"));
}

void TestEditors::vendorGoesBackToTheWindowThatAskedForIt()
{
    TempDatabase db;
    ScriptedSession session;
    frmVendor vendor(db.folder());
    vendor.setAttribute(Qt::WA_DeleteOnClose, false);
    Puiblic_Module::setVendorWindowOpener([&] { return &vendor; });
    QComboBox tenantPicker; // the tenant editor's management-company picker
    tenantPicker.addItem(QStringLiteral("Older Co"));
    QSignalSpy chosen(&tenantPicker, &QComboBox::activated);
    Puiblic_Module::registerVendorPicker(QStringLiteral("tenant"), &tenantPicker);

    Puiblic_Module::OpenVendorWindow(QStringLiteral("tenant"));
    QVERIFY(vendor.isVisible());
    QCOMPARE(vendor.records().editMode(), RecordSet::EditMode::Adding);
    type(vendor, QStringLiteral("txtFields(2)"), QStringLiteral("Zeta Management"));
    press(vendor, QStringLiteral("Save"));

    QCOMPARE(tenantPicker.count(), 2);
    QCOMPARE(tenantPicker.currentText(), QStringLiteral("Zeta Management"));
    QCOMPARE(chosen.count(), 1);
    QVERIFY(Puiblic_Module::CallerTag.isEmpty());
    QVERIFY(!vendor.isVisible());

    // Saved from the main window afterwards: no hand-back, and the window stays.
    vendor.show();
    press(vendor, QStringLiteral("AddVendor"));
    type(vendor, QStringLiteral("txtFields(2)"), QStringLiteral("Alpha"));
    press(vendor, QStringLiteral("Save"));
    QCOMPARE(tenantPicker.count(), 2);
    QVERIFY(vendor.isVisible());
    // Added since the set was opened, it stands last until the set is opened again.
    QCOMPARE(vendor.fieldText(QStringLiteral("txtFields(2)")), QStringLiteral("Alpha"));
    Puiblic_Module::setVendorWindowOpener(nullptr);
}

void TestEditors::closingTheVendorWindowTakesBackTheRequest()
{
    TempDatabase db;
    ScriptedSession session;
    auto vendor = std::make_unique<frmVendor>(db.folder());
    vendor->setAttribute(Qt::WA_DeleteOnClose, false);
    Puiblic_Module::setVendorWindowOpener([&] { return vendor.get(); });
    QComboBox expensePicker;
    Puiblic_Module::registerVendorPicker(QStringLiteral("expense"), &expensePicker);

    Puiblic_Module::OpenVendorWindow(QStringLiteral("expense"));
    QVERIFY(vendor->close());
    QVERIFY(Puiblic_Module::CallerTag.isEmpty());

    // Asked for by a window that is closed before the save: nothing to hand to, nothing breaks.
    {
        auto gone = std::make_unique<QComboBox>();
        Puiblic_Module::registerVendorPicker(QStringLiteral("income"), gone.get());
    }
    Puiblic_Module::OpenVendorWindow(QStringLiteral("income"));
    type(*vendor, QStringLiteral("txtFields(2)"), QStringLiteral("Beta"));
    press(*vendor, QStringLiteral("Save"));
    QVERIFY(Puiblic_Module::CallerTag.isEmpty());
    QCOMPARE(expensePicker.count(), 0);
    QCOMPARE(scalar(db, QStringLiteral("SELECT count(*) FROM tblVendor")).toLongLong(), 1);
    Puiblic_Module::setVendorWindowOpener(nullptr);
}

void TestEditors::categoriesAreTypedIntoTheGrid()
{
    TempDatabase db;
    ScriptedSession session;
    auto window = makeEditor(QStringLiteral("frmCategory"), db.folder());
    QCOMPARE(window->records().recordCount(), 0); // no blank row until Add
    press(*window, QStringLiteral("AddCategory"));
    QTableView* grid = window->grid();
    QCOMPARE(grid->model()->rowCount(), 1);
    QVERIFY(grid->model()->setData(grid->model()->index(0, 0), QStringLiteral("Rent")));
    press(*window, QStringLiteral("Save"));
    press(*window, QStringLiteral("AddCategory"));
    QVERIFY(grid->model()->setData(grid->model()->index(1, 1), QStringLiteral("4000 Mortgage")));
    press(*window, QStringLiteral("Save"));

    const Rows rows = db.connect().select(QStringLiteral("SELECT Income, Expense FROM tblCategory ORDER BY ID")).value();
    QCOMPARE(rows.values.size(), 2);
    QCOMPARE(rows.values[0][0].toString(), QStringLiteral("Rent"));
    QVERIFY(rows.values[0][1].isNull()); // a row may hold only one of the two names
    QCOMPARE(rows.values[1][1].toString(), QStringLiteral("4000 Mortgage"));
    QCOMPARE(window->box(QStringLiteral("txtFields(30)"))->text(), QStringLiteral("Record Count: 2"));
    QVERIFY(session.prompts.shown.isEmpty());
}

// A category the file starts with is offered the line its name suggests; a line the user chooses
// is kept for the next opening, in a table of its own.
void TestEditors::categoriesKeepTheirScheduleELine()
{
    TempDatabase db;
    ScriptedSession session;
    QVERIFY(db.connect().executeScript(
        QStringLiteral("INSERT INTO tblCategory (Income, Expense) VALUES ('Rent', 'Pest Control');")));
    auto lines = [](RecordEditor& window) {
        return QStringList{window.findChild<Picker*>(QStringLiteral("cboIncomeLine"))->text(),
                           window.findChild<Picker*>(QStringLiteral("cboExpenseLine"))->text()};
    };
    {
        auto window = makeEditor(QStringLiteral("frmCategory"), db.folder());
        QCOMPARE(lines(*window), QStringList({"3 Rents received", ""}));
        auto* expense = window->findChild<Picker*>(QStringLiteral("cboExpenseLine"));
        expense->setCurrentIndex(expense->findText(QStringLiteral("7 Cleaning and maintenance")));
    }
    auto window = makeEditor(QStringLiteral("frmCategory"), db.folder());
    QCOMPARE(lines(*window), QStringList({"3 Rents received", "7 Cleaning and maintenance"}));
    QCOMPARE(db.connect().select(QStringLiteral("SELECT Income, Expense FROM tblCategory")).value().values,
             QList<QVariantList>({{"Rent", "Pest Control"}}));
    QVERIFY(session.prompts.shown.isEmpty());
}

QTEST_MAIN(TestEditors)
#include "tst_editors.moc"
