// The reports as a user meets them: the six layouts, the data environment's commands, the three
// windows that choose what a report covers, and the list reports, over a real database.

#include "data/connection.h"
#include "data/money.h"
#include "data/record_set.h"
#include "controls/pickers.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/desktop.h"
#include "platform/prompts.h"
#include "reports/data_environment.h"
#include "reports/report_document.h"
#include "reports/report_layouts.h"
#include "reports/report_preview.h"
#include "reports/report_selection.h"
#include "reports/select_category.h"
#include "reports/property_selection.h"
#include "tests/support/temp_database.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>
#include <memory>

using namespace halvo;
using test::TempDatabase;

namespace {

// ---- the layouts as the reports print them ----

QString kindName(ReportControlKind kind)
{
    switch (kind) {
    case ReportControlKind::Label: return "Label";
    case ReportControlKind::TextBox: return "TextBox";
    case ReportControlKind::Sum: return "Sum";
    case ReportControlKind::Line: return "Line";
    }
    return {};
}

QString alignName(Qt::Alignment a)
{
    if (a & Qt::AlignRight)
        return "right";
    if (a & Qt::AlignHCenter)
        return "centre";
    return "left";
}

QString fontName(ReportFont f)
{
    switch (f) {
    case ReportFont::Body: return "Body";
    case ReportFont::Heading: return "Heading";
    case ReportFont::Title: return "Title";
    case ReportFont::Caption: return "Caption";
    }
    return {};
}

// A layout as a listing, one line a band and one a control under it, in the layout's order:
// what the stored listings in layouts/ hold, read by a person as the layout prints.
QString listing(const ReportLayout& l)
{
    QStringList lines{QStringLiteral("%1 \"%2\" %3 width %4 margin %5")
                          .arg(l.name, l.caption, l.command)
                          .arg(l.width)
                          .arg(l.margin)};
    for (const ReportSection* s :
         {&l.reportHeader, &l.pageHeader, &l.detail, &l.pageFooter, &l.reportFooter}) {
        lines << QStringLiteral("%1 height %2").arg(s->name).arg(s->height);
        for (const ReportControl& c : s->controls)
            lines << QStringLiteral("  %1 %2 \"%3\" \"%4\" %5 at %6,%7 size %8x%9%10%11")
                         .arg(kindName(c.kind), c.name, c.text, c.format, alignName(c.alignment))
                         .arg(c.left)
                         .arg(c.top)
                         .arg(c.width)
                         .arg(c.height)
                         .arg(c.kind == ReportControlKind::Line ? QString()
                                                                : QLatin1Char(' ') + fontName(c.font),
                              c.growsDown ? QStringLiteral(" grows") : QString());
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

// ---- a database with a small portfolio ----

qlonglong money(double dollars) { return qRound64(dollars * 10000); }

void seed(const Connection& db)
{
    auto run = [&](const QString& sql, const QVariantList& params) {
        const Result<int> done = db.execute(sql, params);
        if (!done)
            qFatal("%s: %s", qPrintable(sql), qPrintable(done.error().description));
    };
    const QString building = "INSERT INTO tblBuilding (BldNickName, BldPropAddress) VALUES (?, ?)";
    run(building, {"ELM", "12 Elm Street"});
    run(building, {"O'HARA", "7 O'Hara Lane"});
    run(building, {QVariant(), "No nickname"});
    run(building, {"BIRCH", "3 Birch Road"});

    // Entered out of date order, with a year before and a year after the one reported.
    const QString ledger = "INSERT INTO tblFinance (NickName, RecDate, CheckNo, Payee, Category, "
                           "Income, Expense) VALUES (?, ?, ?, ?, ?, ?, ?)";
    run(ledger, {"ELM", "2026-03-15", "101", "Rent March", "Rent", money(1500), 0});
    run(ledger, {"ELM", "2026-01-10", "100", "Plumber", "Repairs", 0, money(200)});
    run(ledger, {"BIRCH", "2026-02-01", "", "Rent Feb", "Rent", money(900), 0});
    run(ledger, {"O'HARA", "2026-05-20", "", "Roofer", "Repairs", 0, money(3000)});
    run(ledger, {"ELM", "2025-12-31", "", "Old Rent", "Rent", money(1400), 0});
    run(ledger, {"BIRCH", "2027-01-01", "", "Next Rent", "Rent", money(950), 0});
    run(ledger, {"O'HARA", "2026-06-01", "", "Landlord's fee", "Owner's Draw", 0, money(50)});
    run(ledger, {"BIRCH", "2026-04-01", "", "Laundry income", "Laundry", money(30), 0});
    run(ledger, {"BIRCH", "2026-04-02", "", "Laundry repair", "Laundry", 0, money(10)});

    const QString category = "INSERT INTO tblCategory (Income, Expense) VALUES (?, ?)";
    run(category, {"Rent", "Repairs"});
    run(category, {QVariant(), "Owner's Draw"});
    run(category, {"Laundry", ""});
    run(category, {"Repairs", QVariant()});
    run(category, {"", "Laundry"});

    const QString note = "INSERT INTO tblNotes (NoteDate, NoteTime, NickName, Notes) VALUES (?, ?, ?, ?)";
    run(note, {"2026-09-01", "10:00:00", "ELM", "Painted the porch"});
    run(note, {"2026-02-14", "09:30:00", "ELM", "Boiler checked"});
    run(note, {"2025-07-04", "12:00:00", "ELM", "Old note"});
    run(note, {"2026-05-05", "08:15:00", "O'HARA", "Gutter cleaned"});
    run(note, {"2027-03-03", "16:45:00", "BIRCH", "Next year's note"});
}

// The texts of one column of a record set, row by row.
QStringList columnOf(const RecordSet& rows, const QString& name)
{
    QStringList texts;
    const int c = rows.columnIndex(name);
    for (int row = 0; row < rows.recordCount(); ++row)
        texts << rows.valueAt(row, c).toString();
    return texts;
}

QStringList items(const Picker* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}

void choose(Picker* list, const QString& entry)
{
    const int index = list->findText(entry);
    QVERIFY2(index >= 0, qPrintable(entry));
    list->setCurrentIndex(index);
    emit list->activated(index);
}

void press(VeyHyperLinkLabel* link) { QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2)); }

// A selection window inside a frame of its own, as the main window holds it.
struct Framed {
    explicit Framed(ReportSelection* window)
    {
        area.resize(900, 600);
        area.show();
        sub = area.addSubWindow(window);
        sub->show();
        selection = window;
    }
    QMdiArea area;
    QMdiSubWindow* sub = nullptr;
    ReportSelection* selection = nullptr;
};

std::unique_ptr<ReportSelection> makeSelection(const QString& kind, const QString& folder)
{
    if (kind == "frmSelectCategory")
        return std::make_unique<frmSelectCategory>(folder);
    if (kind == "frmSelectNote")
        return std::make_unique<frmSelectNote>(folder);
    return std::make_unique<frmSelectProperty>(folder);
}

Picker* firstList(ReportSelection& window)
{
    return window.findChild<Picker*>(window.objectName() == "frmSelectCategory" ? "cboCategory"
                                                                                  : "cboNickname");
}

DataCommand& command(const QString& name) { return *DataEnvironment::existing()->command(name); }

ReportPreview* previewOf(const QString& name)
{
    return qobject_cast<ReportPreview*>(command(name).preview());
}

} // namespace

class tst_reports : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        Clock::fixAt(QDateTime(QDate(2026, 12, 7), QTime(13, 5, 9)));
        setPrompts(&scripted);
        scripted.shown.clear();
    }
    void cleanup()
    {
        DataEnvironment::end();
        setPrompts(nullptr);
        Clock::fixAt({});
    }

    void layouts_data();
    void layouts();
    void commands_data();
    void commands();
    void commandOperations();
    void selectionWindows_data();
    void selectionWindows();
    void listsSwallowTypedKeys();
    void placedInTheFrame();
    void incomeReport_data();
    void incomeReport();
    void categoryReport_data();
    void categoryReport();
    void noteReport_data();
    void noteReport();
    void headingOfTheLaterReportWins_data();
    void headingOfTheLaterReportWins();
    void listReports_data();
    void listReports();
    void listReportsShowWhatIsSaved();
    void failingQueryShowsMessageAndNoReport_data();
    void failingQueryShowsMessageAndNoReport();
    void hiddenWindowShownAgainWithLastChoices();
    void previewClosesBeforeItsRowsChange();

private:
    ScriptedPrompts scripted;
};

void tst_reports::layouts_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name : {"rptIncome", "rptProperty", "rptTenantLease", "rptMortgageLoan",
                             "rptVendor", "rptNotes"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

// Each layout is exactly its listing in layouts/: bands, controls, texts, formats, places and
// faces. Every control stands inside its report's width and its band; lines are level; the
// page footers print nothing.
void tst_reports::layouts()
{
    QFETCH(QString, name);
    const std::optional<ReportLayout> l = ReportLayouts::byName(name);
    QVERIFY(l);
    QFile stored(QStringLiteral(LAYOUT_LISTINGS "/") + name + QStringLiteral(".txt"));
    QVERIFY2(stored.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(stored.fileName()));
    QCOMPARE(listing(*l), QString::fromUtf8(stored.readAll()));
    for (const ReportSection* s :
         {&l->reportHeader, &l->pageHeader, &l->detail, &l->pageFooter, &l->reportFooter})
        for (const ReportControl& c : s->controls) {
            QVERIFY2(c.left + c.width <= l->width, qPrintable(c.name));
            QVERIFY2(c.top + c.height <= s->height, qPrintable(c.name));
            QVERIFY2((c.kind == ReportControlKind::Line) == (c.height == 0), qPrintable(c.name));
        }
    QVERIFY(l->pageFooter.controls.isEmpty());
    QCOMPARE(ReportLayouts::names(),
             (QStringList{"rptIncome", "rptProperty", "rptTenantLease", "rptMortgageLoan",
                          "rptVendor", "rptNotes"}));
    QVERIFY(!ReportLayouts::byName("rptNothing"));
}

void tst_reports::commands_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("recordSet");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("report");
    QTest::newRow("cmdIncome") << "cmdIncome" << "rscmdIncome"
                               << "SELECT ID, NickName, RecDate, CheckNo, Payee, `Memo`, Income, "
                                  "Expense, Income - Expense AS Total FROM tblFinance"
                               << "rptIncome";
    QTest::newRow("cmdProperty") << "cmdProperty" << "rscmdProperty" << "Select * From tblBuilding"
                                 << "rptProperty";
    QTest::newRow("cmdTenant") << "cmdTenant" << "rscmdTenant" << "Select * From tblTenant"
                               << "rptTenantLease";
    QTest::newRow("cmdLoan") << "cmdLoan" << "rscmdLoan" << "Select * From tblLoan"
                             << "rptMortgageLoan";
    QTest::newRow("cmdVendor") << "cmdVendor" << "rscmdVendor" << "Select * From tblVendor"
                               << "rptVendor";
    QTest::newRow("cmdNote") << "cmdNote" << "rscmdNote" << "Select * From tblNotes" << "rptNotes";
}

void tst_reports::commands()
{
    QFETCH(QString, name);
    QFETCH(QString, recordSet);
    QFETCH(QString, query);
    QFETCH(QString, report);
    TempDatabase db;
    DataEnvironment& env = DataEnvironment::instance(db.folder());
    QCOMPARE(&DataEnvironment::instance(db.folder()), &env); // one instance
    DataCommand* c = env.command(name);
    QVERIFY(c);
    QCOMPARE(c->recordSetName(), recordSet);
    QCOMPARE(c->storedQuery(), query);
    QCOMPARE(c->source().text, query);
    QCOMPARE(c->report().name, report);
    QVERIFY(!c->isOpen());
    // The stored query runs on the database of the program folder.
    QVERIFY(env.prepare(name));
    QVERIFY(c->isOpen());
    QCOMPARE(c->recordSet().recordCount(), 0);
}

// Close, set the query while closed (refused while open), open, run again.
void tst_reports::commandOperations()
{
    TempDatabase db;
    seed(db.connect());
    DataCommand& c = DataEnvironment::instance(db.folder()).cmdNote();
    QVERIFY(c.open());
    QCOMPARE(c.recordSet().recordCount(), 5);
    QVERIFY(!c.setSource({"select * From tblNotes Where NoteDate Like ? Order By ID ASC", {"%2025%"}}));
    QVERIFY(c.close());
    QVERIFY(!c.isOpen());
    QVERIFY(c.setSource({"select * From tblNotes Where NoteDate Like ? Order By ID ASC", {"%2025%"}}));
    QVERIFY(c.open());
    QCOMPARE(columnOf(c.recordSet(), "Notes"), QStringList{"Old note"});
    db.connect().execute("INSERT INTO tblNotes (NoteDate, NickName, Notes) VALUES "
                         "('2025-01-02', 'ELM', 'Later note')").value();
    QCOMPARE(c.recordSet().recordCount(), 1);
    QVERIFY(c.requery());
    QCOMPARE(columnOf(c.recordSet(), "Notes"), (QStringList{"Old note", "Later note"}));
    QVERIFY(DataEnvironment::instance(db.folder()).command("cmdNothing") == nullptr);
}

void tst_reports::selectionWindows_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("years");
    QTest::newRow("property") << "frmSelectProperty" << "Generate Income and Expense Report"
                              << "Select Property:"
                              << QStringList{"All Properties", "BIRCH", "ELM", "O'HARA"}
                              << "2026, 2025, 2024, 2023, 2022, 2021, 2020, 2019, 2018, 2017, "
                                 "2016, 2015, 2014, 2013, 2012, 2011, 2010, 2009, 2008, 2007, "
                                 "2006, 2005, 2004, 2003, 2002, 2001, 2000";
    // Income names first, then expense names, each in the table's order; none empty.
    QTest::newRow("category") << "frmSelectCategory" << "Generate Category Report"
                              << "Select Category:"
                              << QStringList{"All Categories", "Rent", "Laundry", "Repairs",
                                             "Repairs", "Owner's Draw", "Laundry"}
                              << "2026, 2025, 2024, 2023, 2022, 2021, 2020, 2019, 2018, 2017, "
                                 "2016, 2015, 2014, 2013, 2012, 2011, 2010, 2009, 2008, 2007, "
                                 "2006, 2005, 2004, 2003, 2002, 2001, 2000";
    // The current year first, and again in its place, up to the year after it.
    QTest::newRow("note") << "frmSelectNote" << "Generate Note Report" << "Select Property:"
                          << QStringList{"All Notes", "BIRCH", "ELM", "O'HARA"}
                          << "2026, 2000, 2001, 2002, 2003, 2004, 2005, 2006, 2007, 2008, 2009, "
                             "2010, 2011, 2012, 2013, 2014, 2015, 2016, 2017, 2018, 2019, 2020, "
                             "2021, 2022, 2023, 2024, 2025, 2026, 2027";
}

void tst_reports::selectionWindows()
{
    QFETCH(QString, window);
    QFETCH(QString, caption);
    QFETCH(QString, label);
    QFETCH(QStringList, entries);
    QFETCH(QString, years);
    TempDatabase db;
    seed(db.connect());
    Framed f(makeSelection(window, db.folder()).release());
    ReportSelection& w = *f.selection;
    QCOMPARE(w.objectName(), window);
    QCOMPARE(w.windowTitle(), caption);
    QCOMPARE(w.Label1->text(), label);
    QCOMPARE(w.Label2->text(), "Year:");
    QCOMPARE(w.GenerateReport->Caption(), "Generate Report");
    Picker* list = firstList(w);
    QVERIFY(list);
    QCOMPARE(w.Label1->buddy(), list);
    QCOMPARE(w.Label2->buddy(), w.cboYear);
    QCOMPARE(items(list), entries);
    QCOMPARE(list->text(), entries.first());
    QCOMPARE(items(w.cboYear).join(", "), years);
    QCOMPARE(w.cboYear->text(), "2026");
}

void tst_reports::listsSwallowTypedKeys()
{
    TempDatabase db;
    seed(db.connect());
    Framed f(new frmSelectProperty(db.folder()));
    auto& w = static_cast<frmSelectProperty&>(*f.selection);
    for (Picker* list : {w.cboNickname, w.cboYear}) {
        const QString before = list->text();
        list->setFocus();
        QTest::keyClicks(list, "E1999");
        QTest::keyClick(list, Qt::Key_Backspace);
        QCOMPARE(list->text(), before);
    }
    // Chosen from the list, they change.
    QTest::keyClick(w.cboYear, Qt::Key_Down);
    QCOMPARE(w.cboYear->text(), "2025");
}

// A third of the free width in, a quarter of the height down, measured in the frame's area.
void tst_reports::placedInTheFrame()
{
    TempDatabase db;
    Framed f(new frmSelectNote(db.folder()));
    const QSize area = f.area.viewport()->size();
    QCOMPARE(f.sub->pos(), QPoint((area.width() - f.sub->width()) / 3, area.height() / 4));
}

void tst_reports::incomeReport_data()
{
    QTest::addColumn<QString>("nickname");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QStringList>("payees");
    QTest::addColumn<QString>("title");
    QTest::newRow("all properties, in date order")
        << "All Properties" << "2026"
        << QStringList{"Plumber", "Rent Feb", "Rent March", "Laundry income", "Laundry repair",
                       "Roofer", "Landlord's fee"}
        << "Report for All Properties";
    QTest::newRow("one property") << "ELM" << "2026" << QStringList{"Plumber", "Rent March"}
                                  << "12 Elm Street";
    QTest::newRow("a nickname with a quote") << "O'HARA" << "2026"
                                             << QStringList{"Roofer", "Landlord's fee"}
                                             << "7 O'Hara Lane";
    QTest::newRow("the year before") << "ELM" << "2025" << QStringList{"Old Rent"}
                                     << "12 Elm Street";
    QTest::newRow("a year with none") << "BIRCH" << "2024" << QStringList{} << "3 Birch Road";
    QTest::newRow("all properties, another year") << "All Properties" << "2025"
                                                  << QStringList{"Old Rent"}
                                                  << "Report for All Properties";
}

void tst_reports::incomeReport()
{
    QFETCH(QString, nickname);
    QFETCH(QString, year);
    QFETCH(QStringList, payees);
    QFETCH(QString, title);
    TempDatabase db;
    seed(db.connect());
    Framed f(new frmSelectProperty(db.folder()));
    auto& w = static_cast<frmSelectProperty&>(*f.selection);
    choose(w.cboNickname, nickname);
    choose(w.cboYear, year);
    press(w.GenerateReport);
    QCOMPARE(scripted.texts(), QStringList{});
    DataCommand& c = command("cmdIncome");
    QVERIFY(c.isOpen());
    QCOMPARE(columnOf(c.recordSet(), "Payee"), payees);
    // Every column of the ledger, the category among them.
    QVERIFY(c.recordSet().columnIndex("Category") >= 0);
    for (const QString& date : columnOf(c.recordSet(), "RecDate"))
        QVERIFY2(date.startsWith(year + "-"), qPrintable(date));
    QCOMPARE(c.report().reportHeader.control("lblTitle")->text, "Income and Expense Report");
    QCOMPARE(c.report().title, title);
    // The window hides; the report stands in front in a window of its own.
    QVERIFY(f.sub->isHidden());
    ReportPreview* preview = previewOf("cmdIncome");
    QVERIFY(preview);
    QVERIFY(preview->isVisible());
    QVERIFY(preview->isWindow());
    QCOMPARE(preview->windowTitle(), "Income and Expense Report");
    QCOMPARE(preview->document().layout().title, title);
    QCOMPARE(preview->document().layout().reportHeader.control("lblTitle")->text,
             "Income and Expense Report");
}

void tst_reports::categoryReport_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QStringList>("payees");
    QTest::addColumn<QString>("title");
    QTest::newRow("all categories")
        << "All Categories" << "2026"
        << QStringList{"Plumber", "Rent Feb", "Rent March", "Laundry income", "Laundry repair",
                       "Roofer", "Landlord's fee"}
        << "Report for All Categories";
    QTest::newRow("one category") << "Repairs" << "2026" << QStringList{"Plumber", "Roofer"}
                                  << "Repairs";
    QTest::newRow("incomes and expenses of one name")
        << "Laundry" << "2026" << QStringList{"Laundry income", "Laundry repair"} << "Laundry";
    QTest::newRow("a name with a quote") << "Owner's Draw" << "2026"
                                         << QStringList{"Landlord's fee"} << "Owner's Draw";
    QTest::newRow("a year with none") << "Rent" << "2024" << QStringList{} << "Rent";
    QTest::newRow("never another year") << "Rent" << "2025" << QStringList{"Old Rent"} << "Rent";
}

void tst_reports::categoryReport()
{
    QFETCH(QString, category);
    QFETCH(QString, year);
    QFETCH(QStringList, payees);
    QFETCH(QString, title);
    TempDatabase db;
    seed(db.connect());
    Framed f(new frmSelectCategory(db.folder()));
    auto& w = static_cast<frmSelectCategory&>(*f.selection);
    choose(w.cboCategory, category);
    choose(w.cboYear, year);
    press(w.GenerateReport);
    QCOMPARE(scripted.texts(), QStringList{});
    DataCommand& c = command("cmdIncome");
    QCOMPARE(columnOf(c.recordSet(), "Payee"), payees);
    QCOMPARE(c.report().reportHeader.control("lblTitle")->text, "Category Report");
    QCOMPARE(c.report().title, title);
    QVERIFY(f.sub->isHidden());
    ReportPreview* preview = previewOf("cmdIncome");
    QVERIFY(preview && preview->isVisible());
    QCOMPARE(preview->document().layout().title, title);
}

void tst_reports::noteReport_data()
{
    QTest::addColumn<QString>("nickname");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QStringList>("notes");
    QTest::addColumn<QString>("title");
    QTest::newRow("all notes, in entry order")
        << "All Notes" << "2026"
        << QStringList{"Painted the porch", "Boiler checked", "Gutter cleaned"}
        << "Report for All Notes";
    QTest::newRow("one property, entry order not date order")
        << "ELM" << "2026" << QStringList{"Painted the porch", "Boiler checked"} << "12 Elm Street";
    QTest::newRow("a nickname with a quote") << "O'HARA" << "2026"
                                             << QStringList{"Gutter cleaned"} << "7 O'Hara Lane";
    QTest::newRow("next year, the last of the list") << "All Notes" << "2027"
                                                     << QStringList{"Next year's note"}
                                                     << "Report for All Notes";
    QTest::newRow("a year with none") << "BIRCH" << "2026" << QStringList{} << "3 Birch Road";
}

void tst_reports::noteReport()
{
    QFETCH(QString, nickname);
    QFETCH(QString, year);
    QFETCH(QStringList, notes);
    QFETCH(QString, title);
    TempDatabase db;
    seed(db.connect());
    Framed f(new frmSelectNote(db.folder()));
    auto& w = static_cast<frmSelectNote&>(*f.selection);
    choose(w.cboNickname, nickname);
    choose(w.cboYear, year);
    press(w.GenerateReport);
    QCOMPARE(scripted.texts(), QStringList{});
    DataCommand& c = command("cmdNote");
    QCOMPARE(columnOf(c.recordSet(), "Notes"), notes);
    QCOMPARE(c.report().reportHeader.control("lbltitle")->text, "Note Report");
    QCOMPARE(c.report().title, title);
    QVERIFY(f.sub->isHidden());
    ReportPreview* preview = previewOf("cmdNote");
    QVERIFY(preview && preview->isVisible());
    QCOMPARE(preview->windowTitle(), "Note Report");
    QCOMPARE(preview->document().layout().title, title);
}

void tst_reports::headingOfTheLaterReportWins_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("title");
    QTest::newRow("income after category") << "frmSelectCategory" << "frmSelectProperty"
                                           << "Income and Expense Report"
                                           << "Report for All Properties";
    QTest::newRow("category after income") << "frmSelectProperty" << "frmSelectCategory"
                                           << "Category Report" << "Report for All Categories";
}

void tst_reports::headingOfTheLaterReportWins()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, heading);
    QFETCH(QString, title);
    TempDatabase db;
    seed(db.connect());
    Framed a(makeSelection(first, db.folder()).release());
    press(a.selection->GenerateReport);
    QPointer<ReportPreview> earlier = previewOf("cmdIncome");
    QVERIFY(earlier);
    Framed b(makeSelection(second, db.folder()).release());
    press(b.selection->GenerateReport);
    QCOMPARE(scripted.texts(), QStringList{});
    // One report at a time reads the command's rows: the earlier preview is gone.
    QVERIFY(!earlier);
    ReportPreview* preview = previewOf("cmdIncome");
    QVERIFY(preview);
    QCOMPARE(preview->document().layout().reportHeader.control("lblTitle")->text, heading);
    QCOMPARE(preview->document().layout().title, title);
}

void tst_reports::listReports_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("insert");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("property") << "cmdProperty" << "Property Report"
                              << "INSERT INTO tblBuilding (BldNickName) VALUES ('ASH'), ('BEECH')"
                              << "BldNickName" << QStringList{"ASH", "BEECH"};
    QTest::newRow("tenant") << "cmdTenant" << "Tenant Lease Report"
                            << "INSERT INTO tblTenant (LastName) VALUES ('Smith')" << "LastName"
                            << QStringList{"Smith"};
    QTest::newRow("loan") << "cmdLoan" << "Mortgage Loan Report"
                          << "INSERT INTO tblLoan (LoanInfo) VALUES ('First Bank'), ('Second Bank')"
                          << "LoanInfo" << QStringList{"First Bank", "Second Bank"};
    QTest::newRow("vendor") << "cmdVendor" << "Vendor Report"
                            << "INSERT INTO tblVendor (Company) VALUES ('Acme Plumbing')"
                            << "Company" << QStringList{"Acme Plumbing"};
}

// An empty table gives a report with no rows; rows added later are there the next time.
void tst_reports::listReports()
{
    QFETCH(QString, command);
    QFETCH(QString, caption);
    QFETCH(QString, insert);
    QFETCH(QString, field);
    QFETCH(QStringList, rows);
    TempDatabase db;
    QWidget frame;
    QVERIFY(showListReport(db.folder(), command, &frame));
    QCOMPARE(::command(command).recordSet().recordCount(), 0);
    ReportPreview* preview = previewOf(command);
    QVERIFY(preview && preview->isVisible());
    QCOMPARE(preview->windowTitle(), caption);
    QVERIFY(db.connect().execute(insert));
    QVERIFY(showListReport(db.folder(), command, &frame));
    QCOMPARE(columnOf(::command(command).recordSet(), field), rows);
    QCOMPARE(scripted.texts(), QStringList{});
}

// A vendor saved through a record set, as an editor saves it, is listed; one still being typed
// is not.
void tst_reports::listReportsShowWhatIsSaved()
{
    TempDatabase db;
    const Connection c = db.connect();
    RecordSet editor;
    QVERIFY(editor.open(c, "SELECT * FROM tblVendor ORDER BY Company ASC"));
    QVERIFY(editor.addNew());
    QVERIFY(editor.setValue("Company", "Saved Roofing"));
    QVERIFY(editor.update());
    QVERIFY(editor.addNew());
    QVERIFY(editor.setValue("Company", "Pending Painters"));
    QWidget frame;
    QVERIFY(showListReport(db.folder(), "cmdVendor", &frame));
    QCOMPARE(columnOf(command("cmdVendor").recordSet(), "Company"), QStringList{"Saved Roofing"});
    QVERIFY(editor.update());
    QVERIFY(showListReport(db.folder(), "cmdVendor", &frame));
    QCOMPARE(columnOf(command("cmdVendor").recordSet(), "Company"),
             (QStringList{"Saved Roofing", "Pending Painters"}));
}

void tst_reports::failingQueryShowsMessageAndNoReport_data()
{
    QTest::addColumn<QString>("window"); // empty: the vendor list report
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("command");
    QTest::newRow("income") << "frmSelectProperty" << "tblFinance" << "cmdIncome";
    QTest::newRow("category") << "frmSelectCategory" << "tblFinance" << "cmdIncome";
    QTest::newRow("note") << "frmSelectNote" << "tblNotes" << "cmdNote";
    QTest::newRow("vendor list") << "" << "tblVendor" << "cmdVendor";
}

void tst_reports::failingQueryShowsMessageAndNoReport()
{
    QFETCH(QString, window);
    QFETCH(QString, table);
    QFETCH(QString, command);
    TempDatabase db;
    seed(db.connect());
    QWidget frame;
    // A report shown before, from rows that are there.
    QVERIFY(showReport(db.folder(), command, std::nullopt, {}, &frame));
    QPointer<QWidget> earlier = ::command(command).preview();
    QVERIFY(earlier);
    std::unique_ptr<Framed> f;
    if (!window.isEmpty())
        f = std::make_unique<Framed>(makeSelection(window, db.folder()).release());
    QVERIFY(db.connect().execute("ALTER TABLE " + table + " RENAME TO tblGone"));
    if (f)
        press(f->selection->GenerateReport);
    else
        QVERIFY(!showListReport(db.folder(), command, &frame));
    QCOMPARE(scripted.shown.size(), 1);
    QVERIFY2(scripted.shown[0].text.startsWith("The report cannot be shown: "),
             qPrintable(scripted.shown[0].text));
    QVERIFY2(scripted.shown[0].text.contains(table), qPrintable(scripted.shown[0].text));
    QCOMPARE(scripted.shown[0].buttons, Prompts::Buttons::Ok);
    // Nothing half shown: no preview, not the old one either, no rows; the window stays to try
    // again.
    QVERIFY(!earlier);
    QVERIFY(!::command(command).preview());
    QVERIFY(!::command(command).isOpen());
    if (f)
        QVERIFY(!f->sub->isHidden());
}

// Hidden after its report, shown again with the last choices and the lists as they were built.
void tst_reports::hiddenWindowShownAgainWithLastChoices()
{
    TempDatabase db;
    seed(db.connect());
    Framed f(new frmSelectProperty(db.folder()));
    auto& w = static_cast<frmSelectProperty&>(*f.selection);
    choose(w.cboNickname, "ELM");
    choose(w.cboYear, "2025");
    press(w.GenerateReport);
    QVERIFY(f.sub->isHidden());
    QVERIFY(db.connect().execute("INSERT INTO tblBuilding (BldNickName) VALUES ('ASPEN')"));
    f.sub->show();
    QVERIFY(w.isVisible());
    QCOMPARE(w.cboNickname->text(), "ELM");
    QCOMPARE(w.cboYear->text(), "2025");
    QCOMPARE(items(w.cboNickname), (QStringList{"All Properties", "BIRCH", "ELM", "O'HARA"}));
    press(w.GenerateReport);
    QCOMPARE(columnOf(command("cmdIncome").recordSet(), "Payee"), QStringList{"Old Rent"});
}

// Whoever runs a command's query again or closes it closes the preview that reads its rows.
void tst_reports::previewClosesBeforeItsRowsChange()
{
    TempDatabase db;
    seed(db.connect());
    QWidget frame;
    for (const char* step : {"requery", "close", "end"}) {
        QVERIFY(showListReport(db.folder(), "cmdProperty", &frame));
        QPointer<QWidget> preview = command("cmdProperty").preview();
        QVERIFY(preview && preview->isVisible());
        const QString s = QString::fromLatin1(step);
        if (s == "requery")
            QVERIFY(command("cmdProperty").requery());
        else if (s == "close")
            QVERIFY(command("cmdProperty").close());
        else
            DataEnvironment::end();
        QVERIFY2(!preview, step);
    }
}

QTEST_MAIN(tst_reports)
#include "tst_reports.moc"
