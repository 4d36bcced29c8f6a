#include "report_layouts.h"

namespace halvo::ReportLayouts {

namespace {

// The layouts give each control's place and width; its height follows its face: one line of
// the 8.25 point faces, of the 12 point title and of the 14.25 point heading.
constexpr int LineHeight = 240;
constexpr int TitleHeight = 300;
constexpr int HeadingHeight = 360;
// Where a layout names no width for the heading or the date, they are as wide as in the income
// report, which names both.
constexpr int HeadingWidth = 4890;
constexpr int DateWidth = 3315;

const QString MoneyFormat = QStringLiteral("\"$\"#,##0.00");
const QString WholeNumber = QStringLiteral("0");
const QString ShortDate = QStringLiteral("M/d/yyyy");
const QString PaddedDate = QStringLiteral("MM/dd/yyyy");
const QString ClockTime = QStringLiteral("h:mm:ss AMPM");

// One column: its heading in the page header over its field's text box in the detail.
struct ColumnSpec {
    const char* heading;
    const char* field;
    QString format;
    Qt::Alignment alignment;
    int left;
    int width;
    bool growsDown = false;
};

ReportSection section(const char* name, int height)
{
    ReportSection s;
    s.name = QString::fromLatin1(name);
    s.height = height;
    return s;
}

// The five sections with their heights, in the order the layouts give them: report header,
// page header, detail, page footer, report footer.
void setSections(ReportLayout& layout, int header, int pageHeader, int detail, int pageFooter,
                 int footer)
{
    layout.reportHeader = section("Section4", header);
    layout.pageHeader = section("Section2", pageHeader);
    layout.detail = section("Section1", detail);
    layout.pageFooter = section("Section3", pageFooter);
    layout.reportFooter = section("Section5", footer);
}

ReportLayout layout(const char* name, const char* caption, const char* command, int width)
{
    ReportLayout l;
    l.name = QString::fromLatin1(name);
    l.caption = QString::fromLatin1(caption);
    l.command = QString::fromLatin1(command);
    l.width = width;
    l.margin = 1440;
    return l;
}

// The report header: the heading, today's date at the right, and the line under them.
void addHeader(ReportLayout& l, const char* headingName, int headingLeft, int headingTop,
               int headingWidth, int dateLeft, int dateTop, int lineLeft, int lineTop,
               int lineWidth)
{
    QList<ReportControl>& c = l.reportHeader.controls;
    c << reportLabel(QString::fromLatin1(headingName), l.caption, headingLeft, headingTop,
                     headingWidth, HeadingHeight, ReportFont::Heading);
    c << reportLabel(QStringLiteral("Label8"), QStringLiteral("%D"), dateLeft, dateTop, DateWidth,
                     LineHeight, ReportFont::Body, Qt::AlignRight);
    c << reportLine(QStringLiteral("Line1"), lineLeft, lineTop, lineWidth);
}

// The title line under the heading's line, centred: what the report covers.
void addTitle(ReportLayout& l)
{
    l.reportHeader.controls << reportLabel(QStringLiteral("Label9"), QStringLiteral("%i"), 144,
                                           720, 9060, TitleHeight, ReportFont::Title,
                                           Qt::AlignHCenter);
}

void addColumns(ReportLayout& l, std::initializer_list<ColumnSpec> columns)
{
    for (const ColumnSpec& col : columns) {
        const QString field = QString::fromLatin1(col.field);
        l.pageHeader.controls << reportLabel(QStringLiteral("lbl") + field,
                                             QString::fromLatin1(col.heading), col.left, 0,
                                             col.width, LineHeight, ReportFont::Caption,
                                             col.alignment);
        ReportControl box = reportTextBox(QStringLiteral("txt") + field, field, col.format,
                                          col.left, 0, col.width, LineHeight, col.alignment);
        box.growsDown = col.growsDown;
        l.detail.controls << box;
    }
}

// The report footer: the total caption, and the sums right-aligned under the columns of the
// fields summed, at top 144.
void addTotals(ReportLayout& l, const char* caption, int captionLeft,
               std::initializer_list<const char*> fields)
{
    l.reportFooter.controls << reportLabel(QStringLiteral("lblTotal"), QString::fromLatin1(caption),
                                           captionLeft, 144, 720, LineHeight, ReportFont::Caption);
    for (const char* name : fields) {
        const QString field = QString::fromLatin1(name);
        const ReportControl* column = l.detail.control(QStringLiteral("txt") + field);
        l.reportFooter.controls << reportSum(QStringLiteral("sum") + field, field, MoneyFormat,
                                             column->left, 144, column->width, LineHeight,
                                             Qt::AlignRight);
    }
}

constexpr Qt::Alignment Left = Qt::AlignLeft;
constexpr Qt::Alignment Right = Qt::AlignRight;

} // namespace

ReportLayout rptIncome()
{
    ReportLayout l = layout("rptIncome", "Income and Expense Report", "cmdIncome", 9330);
    setSections(l, 1290, 285, 300, 435, 573);
    addHeader(l, "lblTitle", 144, 144, 4890, 5904, 288, 144, 576, 9060);
    addTitle(l);
    // The Category column is delivered only by the queries the two selection windows set.
    addColumns(l, {
                      {"Nickname", "Nickname", {}, Left, 144, 1140},
                      {"Date", "RecDate", PaddedDate, Left, 1152, 855},
                      {"Ref No.", "CheckNo", WholeNumber, Left, 2160, 870},
                      {"Payee", "Payee", {}, Left, 3168, 1440},
                      {"Category", "Category", {}, Left, 4752, 1875},
                      {"Income", "Income", MoneyFormat, Right, 6768, 1155},
                      {"Expense", "Expense", MoneyFormat, Right, 8064, 1155},
                  });
    addTotals(l, "Total:", 5472, {"Income", "Expense"});
    return l;
}

ReportLayout rptProperty()
{
    ReportLayout l = layout("rptProperty", "Property Report", "cmdProperty", 9315);
    setSections(l, 711, 285, 300, 360, 360);
    // The one layout whose heading stands at the very top and whose line starts at the margin.
    addHeader(l, "lbltitle", 144, 0, 4905, 5904, 144, 0, 432, 9216);
    addColumns(l, {
                      {"Rec ID", "ID", WholeNumber, Left, 288, 720},
                      {"PropID", "BldPropID", WholeNumber, Left, 1152, 855},
                      {"Owner", "BldLastName", {}, Left, 2160, 870},
                      {"Nickname", "BldNickName", {}, Left, 3168, 1152},
                      {"Property Address", "BldPropAddress", {}, Left, 4320, 2580},
                      {"Purchase Date", "BldPurchaseDate", ShortDate, Left, 7056, 1290},
                      {"Units", "BldNoOfUnits", WholeNumber, Left, 8496, 720},
                  });
    return l;
}

ReportLayout rptTenantLease()
{
    ReportLayout l = layout("rptTenantLease", "Tenant Lease Report", "cmdTenant", 8640);
    setSections(l, 735, 285, 285, 315, 432);
    addHeader(l, "lbltitle", 144, 144, HeadingWidth, 5184, 288, 144, 576, 8352);
    addColumns(l, {
                      {"ID", "ID", WholeNumber, Left, 144, 576},
                      {"Tenant", "LastName", {}, Left, 864, 864},
                      {"Phone", "HomePhone", {}, Left, 1872, 870},
                      {"Nickname", "Nickname", {}, Left, 2880, 1008},
                      {"Lease Date", "LeaseStartDate", ShortDate, Left, 4032, 1152},
                      {"Dep Amt.", "DepAmt", MoneyFormat, Right, 5328, 1008},
                      {"Rent", "MonthlyRentAmt", MoneyFormat, Right, 6480, 1008},
                      {"Mngt Fee", "ManagementFee", MoneyFormat, Right, 7632, 855},
                  });
    addTotals(l, "Total", 4320, {"DepAmt", "MonthlyRentAmt", "ManagementFee"});
    return l;
}

ReportLayout rptMortgageLoan()
{
    ReportLayout l = layout("rptMortgageLoan", "Mortgage Loan Report", "cmdLoan", 9360);
    setSections(l, 708, 285, 285, 435, 576);
    addHeader(l, "lbltitle", 144, 144, HeadingWidth, 5904, 288, 144, 576, 9216);
    addColumns(l, {
                      {"Rec ID", "ID", WholeNumber, Left, 144, 576},
                      {"Property", "NickName", {}, Left, 864, 864},
                      {"Loan Date", "LoanDate", ShortDate, Left, 1872, 861},
                      {"Company", "LoanInfo", {}, Left, 2880, 1296},
                      {"Loan No.", "LoanNo", WholeNumber, Left, 4320, 864},
                      {"Loan Type", "LoanType", {}, Left, 5328, 1008},
                      {"Int", "IntRate", {}, Left, 6480, 585},
                      {"Loan Amt.", "LoanAmt", MoneyFormat, Right, 7200, 1005},
                      {"Mortgage", "Mortgage", MoneyFormat, Right, 8352, 861},
                  });
    addTotals(l, "Total:", 6048, {"LoanAmt", "Mortgage"});
    return l;
}

ReportLayout rptVendor()
{
    ReportLayout l = layout("rptVendor", "Vendor Report", "cmdVendor", 9135);
    setSections(l, 708, 285, 285, 360, 360);
    addHeader(l, "lbltitle", 144, 144, 3024, 5760, 288, 144, 576, 8928);
    addColumns(l, {
                      {"Rec ID", "ID", WholeNumber, Left, 144, 570},
                      {"Lastname", "LastName", {}, Left, 864, 1008},
                      {"Company", "Company", {}, Left, 2016, 1296},
                      {"Address", "Address", {}, Left, 3456, 1584},
                      {"City", "City", {}, Left, 5184, 864},
                      {"State", "State", {}, Left, 6192, 870},
                      {"Postal", "PostalCode", {}, Left, 7200, 720},
                      {"Telephone", "WorkPhone", {}, Left, 8064, 1008},
                  });
    return l;
}

ReportLayout rptNotes()
{
    ReportLayout l = layout("rptNotes", "Note Report", "cmdNote", 9348);
    setSections(l, 1275, 288, 297, 360, 360);
    addHeader(l, "lbltitle", 144, 144, 2736, 5904, 288, 144, 576, 9060);
    addTitle(l);
    addColumns(l, {
                      {"ID", "ID", WholeNumber, Left, 144, 435},
                      {"Date", "NoteDate", ShortDate, Left, 720, 720},
                      {"Time", "NoteTime", ClockTime, Left, 1584, 864},
                      {"Nickname", "NickName", {}, Left, 2592, 1008},
                      // A note prints whole: its line grows downwards with its text.
                      {"Note", "Notes", {}, Left, 3744, 5472, true},
                  });
    return l;
}

ReportLayout rptScheduleE()
{
    ReportLayout l = layout("rptScheduleE", "Schedule E Worksheet", "", 9330);
    // Three properties to a page: each page's rows carry their page's number, and a new number
    // begins a new page under the headings of its own properties.
    l.newPageField = QStringLiteral("Page");
    setSections(l, 1290 + 300, 1770, 300, 435, 2010);
    // Line A under the part's heading, once, on the first page.
    l.reportHeader.controls << reportLabel(QStringLiteral("lblLineA"), QStringLiteral("A"), 144,
                                           1320, 432, LineHeight, ReportFont::Body)
                            << reportTextBox(QStringLiteral("txtQuestionA"),
                                             QStringLiteral("QuestionA"), {}, 576, 1320, 6900,
                                             LineHeight)
                            << reportTextBox(QStringLiteral("txtAnswerA"),
                                             QStringLiteral("AnswerA"), {}, 7524, 1320, 1680,
                                             LineHeight, Right);
    addHeader(l, "lblTitle", 144, 144, 4890, 5904, 288, 144, 576, 9060);
    addTitle(l);
    l.reportHeader.controls << reportLabel(QStringLiteral("lblPart"),
                                           QStringLiteral("Part I: Income or Loss From Rental "
                                                          "Real Estate and Royalties"),
                                           144, 1020, 9060, LineHeight, ReportFont::Body,
                                           Qt::AlignHCenter);

    // The page's properties, one a line, as the form lists them at the top; then the columns'
    // letters and nicknames over the amounts.
    QList<ReportControl>& head = l.pageHeader.controls;
    head << reportLabel(QStringLiteral("lblProperty"), QStringLiteral("Property"), 576, 0, 1728,
                        LineHeight)
         << reportLabel(QStringLiteral("lblAddress"), QStringLiteral("Address"), 2304, 0, 6900,
                        LineHeight);
    const QStringList letters{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
    constexpr int AmountLeft = 3744, AmountWidth = 1820;
    for (int i = 0; i < letters.size(); ++i) {
        const QString& x = letters[i];
        const int top = 240 + i * LineHeight;
        head << reportTextBox(QStringLiteral("txtLetter") + x, QStringLiteral("Letter") + x, {},
                              144, top, 432, LineHeight)
             << reportTextBox(QStringLiteral("txtName") + x, QStringLiteral("Name") + x, {}, 576,
                              top, 1728, LineHeight)
             << reportTextBox(QStringLiteral("txtAddress") + x, QStringLiteral("Address") + x, {},
                              2304, top, 6900, LineHeight);
        const int left = AmountLeft + i * AmountWidth;
        ReportControl letter = reportTextBox(QStringLiteral("txtColumn") + x,
                                             QStringLiteral("Letter") + x, {}, left, 1080,
                                             AmountWidth, LineHeight, Right);
        letter.font = ReportFont::Caption;
        ReportControl name = reportTextBox(QStringLiteral("txtColumnName") + x,
                                           QStringLiteral("Name") + x, {}, left, 1320,
                                           AmountWidth, LineHeight, Right);
        name.font = ReportFont::Caption;
        head << letter << name;
    }
    head << reportLine(QStringLiteral("Line2"), 144, 1000, 9060)
         << reportLine(QStringLiteral("Line3"), 144, 1650, 9060);

    l.detail.controls << reportTextBox(QStringLiteral("txtLine"), QStringLiteral("Line"), {}, 144,
                                       30, 432, LineHeight)
                      << reportTextBox(QStringLiteral("txtCaption"), QStringLiteral("Caption"), {},
                                       576, 30, 3168, LineHeight);
    for (int i = 0; i < letters.size(); ++i)
        l.detail.controls << reportTextBox(QStringLiteral("txtAmount") + letters[i],
                                           QStringLiteral("Amount") + letters[i], MoneyFormat,
                                           AmountLeft + i * AmountWidth, 30, AmountWidth,
                                           LineHeight, Right);
    // Lines 1b and 2 stand as text where the amounts stand on the other lines.
    for (int i = 0; i < letters.size(); ++i)
        l.detail.controls << reportTextBox(QStringLiteral("txtText") + letters[i],
                                           QStringLiteral("Text") + letters[i], {},
                                           AmountLeft + i * AmountWidth, 30, AmountWidth,
                                           LineHeight, Right);

    // The warning of a property whose line 18 holds both kinds of depreciation, on a row of its
    // own under the page's lines; empty, and taking no room, on every other row.
    ReportControl notice = reportTextBox(QStringLiteral("txtNotice"), QStringLiteral("Notice"), {},
                                         576, 30, 8628, LineHeight);
    notice.growsDown = true;
    l.detail.controls << notice;

    // The tax year stands on every page, the pages after the first having no title.
    l.pageFooter.controls << reportLabel(QStringLiteral("lblDepreciation"),
                                         QStringLiteral("Line 18: computed from the assets, plus "
                                                        "the ledger rows mapped to it."),
                                         144, 144, 6600, LineHeight, ReportFont::Body)
                          << reportLabel(QStringLiteral("lblYear"), QStringLiteral("%i"), 6744,
                                         144, 2460, LineHeight, ReportFont::Body, Right);

    // The totals of line 23 over all properties, once, under the last page's lines.
    QList<ReportControl>& totals = l.reportFooter.controls;
    totals << reportLine(QStringLiteral("Line4"), 144, 60, 9060)
           << reportLabel(QStringLiteral("lblTotals"), QStringLiteral("All properties"), 576, 150,
                          3168, LineHeight);
    const char* lines[] = {"23a", "23b", "23c", "23d", "23e"};
    for (int i = 0; i < 5; ++i) {
        const QString line = QString::fromLatin1(lines[i]);
        const int top = 450 + i * 300;
        totals << reportLabel(QStringLiteral("lbl") + line, line, 144, top, 432, LineHeight,
                              ReportFont::Body)
               << reportTextBox(QStringLiteral("txtCaption") + line,
                                QStringLiteral("Caption") + line, {}, 576, top, 5000, LineHeight)
               << reportTextBox(QStringLiteral("txtTotal") + line, QStringLiteral("Total") + line,
                                MoneyFormat, AmountLeft + 2 * AmountWidth, top, AmountWidth,
                                LineHeight, Right);
    }
    return l;
}

ReportLayout rptRentRoll()
{
    ReportLayout l = layout("rptRentRoll", "Rent Roll", "", 9330);
    setSections(l, 1290, 285, 300, 435, 573);
    addHeader(l, "lblTitle", 144, 144, 4890, 5904, 288, 144, 576, 9060);
    addTitle(l);
    addColumns(l, {
                      {"Tenant", "Tenant", {}, Left, 144, 1600},
                      {"Property", "Property", {}, Left, 1800, 1000},
                      {"Rent", "Rent", MoneyFormat, Right, 2800, 1000},
                      {"Due", "DueDay", WholeNumber, Right, 3800, 500},
                      {"Paid", "Paid", MoneyFormat, Right, 4300, 1150},
                      {"Balance", "Balance", MoneyFormat, Right, 5450, 1100},
                      {"Deposit", "Deposit", MoneyFormat, Right, 6550, 1100},
                      {"Ends", "LeaseEnd", ShortDate, Left, 7750, 850},
                      {"Days", "DaysLeft", WholeNumber, Right, 8600, 604},
                  });
    addTotals(l, "Total:", 144, {"Rent", "Paid", "Balance", "Deposit"});
    return l;
}

ReportLayout rptDepreciation()
{
    ReportLayout l = layout("rptDepreciation", "Depreciation Schedule", "", 9330);
    // Each asset on pages of its own, under its basis, class and dates.
    l.newPageField = QStringLiteral("Asset");
    setSections(l, 1290, 1530, 300, 435, 300);
    addHeader(l, "lblTitle", 144, 144, 4890, 5904, 288, 144, 576, 9060);
    addTitle(l);
    addColumns(l, {
                      {"Year", "Year", WholeNumber, Left, 144, 700},
                      {"Recovery Year", "RecoveryYear", WholeNumber, Right, 900, 1100},
                      {"Percentage", "Percentage", {}, Right, 2100, 1000},
                      {"Deduction", "Deduction", MoneyFormat, Right, 3200, 1300},
                      {"Accumulated", "Accumulated", MoneyFormat, Right, 4600, 1400},
                      {"Remaining", "Remaining", MoneyFormat, Right, 6100, 1400},
                      {"Note", "Note", {}, Left, 7600, 1600, true},
                  });
    QList<ReportControl>& head = l.pageHeader.controls;
    // The column headings stand under the asset's lines.
    for (ReportControl& c : head)
        c.top = 1230;
    // Label and value pairs, two to a line: the label at `left`, its value 1500 twips on.
    const auto pair = [&](const char* caption, const char* field, const QString& format, int left,
                          int top, int width) {
        const QString f = QString::fromLatin1(field);
        head << reportLabel(QStringLiteral("lbl") + f, QString::fromLatin1(caption), left, top,
                            1500, LineHeight)
             << reportTextBox(QStringLiteral("txt") + f, f, format, left + 1500, top, width,
                              LineHeight);
    };
    pair("Property:", "Property", {}, 144, 0, 2900);
    pair("Asset:", "Description", {}, 4700, 0, 3000);
    pair("Class:", "AssetClass", {}, 144, 240, 2900);
    pair("Kept in:", "Source", {}, 4700, 240, 3000);
    pair("Cost:", "Cost", MoneyFormat, 144, 480, 1400);
    pair("Additions:", "Additions", MoneyFormat, 4700, 480, 1400);
    pair("Land:", "Land", MoneyFormat, 144, 720, 1400);
    pair("Basis:", "Basis", MoneyFormat, 4700, 720, 1400);
    pair("In service:", "InService", ShortDate, 144, 960, 1400);
    pair("Sold:", "Disposed", ShortDate, 4700, 960, 1400);
    head << reportLine(QStringLiteral("Line2"), 144, 1500, 9060);
    return l;
}

// A vendor's row (its payee at the left, whether a form is needed under the category, its total
// at the right) over its payments' rows, which stand further in; the total over all vendors
// listed and line A once after the last. The vendor's address is in the CSV file, not on paper:
// the columns leave it no room.
ReportLayout rptVendorsPaid()
{
    ReportLayout l = layout("rptVendorsPaid", "Vendors Paid", "", 9330);
    setSections(l, 1290, 285, 300, 435, 1110);
    addHeader(l, "lblTitle", 144, 144, 4890, 5904, 288, 144, 576, 9060);
    addTitle(l);
    addColumns(l, {
                      {"Payee", "Payee", {}, Left, 144, 2500},
                      {"Date", "RecDate", ShortDate, Left, 2700, 900},
                      {"Ref No.", "CheckNo", {}, Left, 3650, 650},
                      {"Property", "Property", {}, Left, 4350, 1000},
                      {"Category / 1099", "Category", {}, Left, 5400, 1700},
                      {"Amount", "Amount", MoneyFormat, Right, 7150, 1000},
                      {"Total", "Total", MoneyFormat, Right, 8200, 1000},
                  });
    // The vendor's row says under the category whether a form is needed (a row fills one or
    // the other).
    l.detail.controls << reportTextBox(QStringLiteral("txtForm"), QStringLiteral("Form"), {}, 5400,
                                       0, 1700, LineHeight);
    addTotals(l, "Total:", 7150, {"Total"});
    QList<ReportControl>& footer = l.reportFooter.controls;
    footer << reportLabel(QStringLiteral("lblLineA"), QStringLiteral("A"), 144, 504, 432,
                          LineHeight, ReportFont::Body)
           << reportTextBox(QStringLiteral("txtLineA"), QStringLiteral("LineA"), {}, 576, 504,
                            6900, LineHeight)
           << reportTextBox(QStringLiteral("txtAnswerA"), QStringLiteral("AnswerA"), {}, 7524,
                            504, 1680, LineHeight, Right)
           << reportTextBox(QStringLiteral("txtWithoutPayee"), QStringLiteral("WithoutPayee"), {},
                            144, 804, 9060, LineHeight);
    return l;
}

QStringList names()
{
    return {QStringLiteral("rptIncome"),       QStringLiteral("rptProperty"),
            QStringLiteral("rptTenantLease"),  QStringLiteral("rptMortgageLoan"),
            QStringLiteral("rptVendor"),       QStringLiteral("rptNotes")};
}

std::optional<ReportLayout> byName(const QString& name)
{
    using Maker = ReportLayout (*)();
    static const std::pair<const char*, Maker> makers[] = {
        {"rptIncome", rptIncome},         {"rptProperty", rptProperty},
        {"rptTenantLease", rptTenantLease}, {"rptMortgageLoan", rptMortgageLoan},
        {"rptVendor", rptVendor},         {"rptNotes", rptNotes},
    };
    for (const auto& [n, make] : makers)
        if (name == QLatin1String(n))
            return make();
    return std::nullopt;
}

} // namespace halvo::ReportLayouts
