// The documents of the records, as the windows show them: each window of a record that holds
// documents counts them on its Attachments command and opens them named after the record; a
// Delete keeps them, listed as unattached, unless the user says they go too; and a property's
// picture stays with the data when the copy in its folder is gone.

#include "attachments/attachments_window.h"
#include "ledger/ledger_window.h"
#include "tests/editors/editor_test_support.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QListWidget>

using namespace halvo;
using namespace halvo::test;

namespace {

QString picture(const QString& folder, const QString& name, Qt::GlobalColor colour)
{
    QImage image(120, 90, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = QDir(folder).filePath(name);
    image.save(path, "PNG");
    return path;
}

std::unique_ptr<RecordEditor> makeWindow(const QString& name, const QString& folder)
{
    if (name != QLatin1String("frmExpense"))
        return makeEditor(name, folder);
    auto ledger = std::make_unique<frmExpense>(folder, LedgerContext{});
    ledger->setAttribute(Qt::WA_DeleteOnClose, false);
    ledger->resize(1000, 600);
    ledger->show();
    return ledger;
}

// Where Tab goes from a control.
QWidget* nextTabStop(QWidget* from)
{
    QWidget* w = from->nextInFocusChain();
    while (w != from && !((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(from->window())))
        w = w->nextInFocusChain();
    return w;
}

frmAttachments* attachmentsOf(RecordEditor& window)
{
    window.link("Attachments")->Click();
    return window.findChild<frmAttachments*>();
}

qlonglong stored(const Connection& c)
{
    return c.scalar("SELECT count(*) FROM tblAttachment").value().toLongLong();
}

} // namespace

class TestRecordAttachments : public QObject {
    Q_OBJECT
private slots:
    void countedOnTheCommand_data();
    void countedOnTheCommand();
    void deleteAsksAboutThem_data();
    void deleteAsksAboutThem();
    void propertyPictureStaysWithTheData();
};

void TestRecordAttachments::countedOnTheCommand_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("caption");
    QTest::newRow("tenant") << "frmTenant"
                            << "INSERT INTO tblTenant (Nickname, FirstName, LastName, Address, "
                               "MonthlyRentAmt) VALUES ('ELM', 'Ann', 'Lee', '1 Elm St', 9000000)"
                            << "Attachments: Ann Lee";
    QTest::newRow("vendor") << "frmVendor"
                            << "INSERT INTO tblVendor (Company) VALUES ('Ace Roofing')"
                            << "Attachments: Ace Roofing";
    QTest::newRow("loan") << "frmLoan"
                          << "INSERT INTO tblLoan (NickName, LoanInfo, LoanNo) VALUES ('ELM', "
                             "'First Bank', 'L-7')"
                          << "Attachments: ELM First Bank L-7";
    QTest::newRow("insurance") << "frmInsurance"
                               << "INSERT INTO tblInsurance (Nickname, InsuranceInfo, InsPolicyNo) "
                                  "VALUES ('ELM', 'Acme Mutual', 'P-9')"
                               << "Attachments: ELM Acme Mutual P-9";
    QTest::newRow("property") << "frmProperty"
                              << "INSERT INTO tblBuilding (BldNickName) VALUES ('ELM')"
                              << "Attachments: ELM";
    QTest::newRow("ledger row") << "frmExpense"
                                << "INSERT INTO tblFinance (NickName, RecDate, Payee, Category, "
                                   "Expense) VALUES ('ELM', '2026-03-09', 'Ace Roofing', 'Repairs', "
                                   "1200000)"
                                << "Attachments: 3/9/2026 Ace Roofing $120.00";
}

// The command stands between Refresh and Close, Tab reaching it; attaching a file counts it there.
void TestRecordAttachments::countedOnTheCommand()
{
    QFETCH(QString, window);
    QFETCH(QString, record);
    QFETCH(QString, caption);
    TempDatabase db;
    ScriptedSession session;
    QVERIFY(db.connect().execute(record).ok());
    auto editor = makeWindow(window, db.folder());
    VeyHyperLinkLabel* command = editor->link("Attachments");
    QVERIFY(command);
    QCOMPARE(command->Caption(), QString("Attachments (0)"));
    QCOMPARE(nextTabStop(editor->link("Refresh")), command);
    QCOMPARE(nextTabStop(command), editor->link("Close"));

    frmAttachments* documents = attachmentsOf(*editor);
    QVERIFY(documents);
    QCOMPARE(documents->windowTitle(), caption);
    QVERIFY(documents->attach({picture(db.folder(), "receipt.png", Qt::darkGreen)}));
    QCOMPARE(command->Caption(), QString("Attachments (1)"));
    documents->close();
    QVERIFY(session.prompts.texts().isEmpty());
}

void TestRecordAttachments::deleteAsksAboutThem_data()
{
    QTest::addColumn<QList<Prompts::Answer>>("answers");
    QTest::addColumn<QStringList>("unattached");
    QTest::addColumn<qlonglong>("filesKept");
    // Enter takes the question's default, No.
    QTest::newRow("kept by default")
        << QList<Prompts::Answer>{Prompts::Answer::Yes}
        << QStringList{"lease.png   (PNG, 1 KB)   from a deleted tenant",
                       "deposit.png   (PNG, 1 KB)   from a deleted tenant"}
        << 2LL;
    QTest::newRow("deleted too") << QList<Prompts::Answer>{Prompts::Answer::Yes,
                                                           Prompts::Answer::Yes}
                                 << QStringList{} << 0LL;
}

void TestRecordAttachments::deleteAsksAboutThem()
{
    QFETCH(QList<Prompts::Answer>, answers);
    QFETCH(QStringList, unattached);
    QFETCH(qlonglong, filesKept);
    TempDatabase db;
    ScriptedSession session;
    QVERIFY(db.connect()
                .executeScript("INSERT INTO tblTenant (Nickname, FirstName, LastName, Address) "
                               "VALUES ('ELM', 'Ann', 'Lee', '1 Elm St'), ('OAK', 'Bob', 'Ray', "
                               "'2 Oak St');")
                .ok());
    auto editor = makeEditor("frmTenant", db.folder());
    frmAttachments* documents = attachmentsOf(*editor);
    QVERIFY(documents->attach({picture(db.folder(), "lease.png", Qt::blue),
                               picture(db.folder(), "deposit.png", Qt::red)}));
    documents->close();

    session.prompts.answers = answers;
    press(*editor, "Delete");
    QCOMPARE(session.prompts.texts(),
             (QStringList{"Delete current record?",
                          "Delete its 2 attachments too? If not, they are kept and listed under "
                          "Data > Unattached Documents."}));
    QCOMPARE(session.prompts.shown.last().buttons, Prompts::Buttons::YesNoDefaultNo);
    QCOMPARE(editor->fieldText("txtFields(6)"), QString("Bob"));
    QCOMPARE(editor->link("Attachments")->Caption(), QString("Attachments (0)"));

    frmAttachments list(db.connect(), RecordRef{}, QString());
    QCOMPARE(list.windowTitle(), QString("Unattached Documents"));
    QVERIFY(!list.Add->isVisible());
    QStringList shown;
    for (int i = 0; i < list.lstAttachments->count(); ++i)
        shown << list.lstAttachments->item(i)->text();
    QCOMPARE(shown, unattached);
    QCOMPARE(stored(db.connect()), filesKept);
}

// A picture chosen with "..." is kept inside the file as well, and shows from there when the
// folder's copy is gone; any picture attached can be the one shown instead, but not a PDF.
void TestRecordAttachments::propertyPictureStaysWithTheData()
{
    TempDatabase db;
    ScriptedSession session;
    QVERIFY(db.connect()
                .execute("INSERT INTO tblBuilding (BldNickName, BldPropAddress, BldFirstName, "
                         "BldLastName, BldAddress, BldCity, BldState, BldPostalCode) VALUES "
                         "('ELM', '1 Elm St', 'Ann', 'Lee', '9 Oak Rd', 'Salem', 'OR', '97301')")
                .ok());
    QTemporaryDir elsewhere;
    {
        frmProperty property(Folders::portableAt(db.folder()));
        property.show();
        session.prompts.queueFileName(picture(elsewhere.path(), "house.png", Qt::darkGreen));
        property.cmdAddImage_Click();
        press(property, "Save");
        QCOMPARE(property.link("Attachments")->Caption(), QString("Attachments (1)"));
    }
    QVERIFY(QFile::remove(QDir(db.folder()).filePath("Prop/house.png")));
    QVERIFY(QFile::remove(QDir(elsewhere.path()).filePath("house.png")));

    frmProperty property(Folders::portableAt(db.folder()));
    property.show();
    QCOMPARE(property.fieldText("txtFields(5)"), QDir(db.folder()).filePath("Prop/house.png"));
    QCOMPARE(property.shownPictureAttachment(), QString("house.png"));
    QCOMPARE(property.shownImage().pixelColor(60, 45), QColor(Qt::darkGreen));

    frmAttachments* documents = attachmentsOf(property);
    QVERIFY(documents->attach({picture(elsewhere.path(), "porch.png", Qt::red)}));
    auto* use = documents->findChild<VeyHyperLinkLabel*>("UsePicture");
    QVERIFY(use);
    use->Click();
    QCOMPARE(property.shownPictureAttachment(), QString("porch.png"));
    QCOMPARE(property.shownImage().pixelColor(60, 45), QColor(Qt::red));
    QVERIFY(session.prompts.texts().isEmpty());
}

QTEST_MAIN(TestRecordAttachments)
#include "tst_record_attachments.moc"
