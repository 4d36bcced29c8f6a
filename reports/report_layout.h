#pragma once
// A banded report as data: five sections printed in a fixed manner, each holding labels, text
// boxes (one field of the current row), sums over all rows, and lines. Positions and sizes are in
// twips (1440 to the inch), measured from the top left of the printable area of the page (inside
// the margins) for left, and from the top of the section for top.

#include <QList>
#include <QString>
#include <Qt>

namespace halvo {

// The four faces a report prints in; all are Arial (Liberation Sans where Arial is not there).
enum class ReportFont {
    Body,    // 8.25 pt regular: text boxes, sums, the "%D" label
    Heading, // 14.25 pt bold: the heading label of the report header
    Title,   // 12 pt bold: the "%i" label
    Caption, // 8.25 pt bold: column headings and total captions
};

enum class ReportControlKind { Label, TextBox, Sum, Line };

struct ReportControl {
    ReportControlKind kind = ReportControlKind::Label;
    QString name;
    // A label's caption ("%D" prints today's date in the long form, "%i" the report's title); a
    // text box's or a sum's field name.
    QString text;
    // A display format: "\"$\"#,##0.00", "MM/dd/yyyy", "M/d/yyyy", "h:mm:ss AMPM", "0"; empty
    // prints the value as the database delivers it.
    QString format;
    Qt::Alignment alignment = Qt::AlignLeft;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    ReportFont font = ReportFont::Body;
    // A text box that grows downwards to show its whole text; its section grows with it.
    bool growsDown = false;
};

struct ReportSection {
    QString name;
    int height = 0;
    QList<ReportControl> controls;

    ReportControl* control(const QString& controlName);
    const ReportControl* control(const QString& controlName) const;
};

struct ReportLayout {
    QString name;    // "rptIncome"
    QString caption; // the preview window's caption
    QString command; // the data command whose rows it prints, "cmdIncome"
    int width = 0;
    int margin = 1440; // on all four sides
    QString title;     // what "%i" prints
    // A row whose value of this field differs from that of the row before it begins a new page,
    // and the page header prints from it: each group of rows starts at the top of a page, under
    // headings of its own. Empty: the rows run on from page to page.
    QString newPageField;

    // Printed in this manner: the report header once at the top of the first page, the page
    // header at the top of every page, the detail once a row, the page footer at the bottom of
    // every page, the report footer once after the last row.
    ReportSection reportHeader; // Section4
    ReportSection pageHeader;   // Section2
    ReportSection detail;       // Section1
    ReportSection pageFooter;   // Section3
    ReportSection reportFooter; // Section5

    // By its name ("Section4"), or null.
    ReportSection* section(const QString& sectionName);
    const ReportSection* section(const QString& sectionName) const;
};

// Builders for the layouts' tables.
ReportControl reportLabel(const QString& name, const QString& caption, int left, int top,
                          int width, int height, ReportFont font = ReportFont::Caption,
                          Qt::Alignment alignment = Qt::AlignLeft);
ReportControl reportTextBox(const QString& name, const QString& field, const QString& format,
                            int left, int top, int width, int height,
                            Qt::Alignment alignment = Qt::AlignLeft);
ReportControl reportSum(const QString& name, const QString& field, const QString& format,
                        int left, int top, int width, int height,
                        Qt::Alignment alignment = Qt::AlignRight);
ReportControl reportLine(const QString& name, int left, int top, int width);

} // namespace halvo
