#pragma once
// A report laid out on pages: the layout, the rows of a row source read from its first row, and
// the day "%D" prints. Laying out measures every row once and keeps only where each page begins
// and the sums, so that memory grows with the pages painted, not with all of them. Failures come
// back as values.

#include "core/result.h"
#include "reports/report_layout.h"

#include <QDate>
#include <QList>
#include <QPageLayout>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <memory>

class QPainter;
class QPagedPaintDevice;

namespace halvo {

class RowSource;

// One thing printed on a page, as the painter paints it: what a user reads there and where. A
// label's caption with "%D" and "%i" replaced, a text box's value in its display format, a sum's
// total; a line has no text. Texts print in their box from its top; a wrapped text box's lines
// stand one under the other (joined here by "\n"), every other text is one line, cut off at the
// edges of its box.
struct ReportItem {
    ReportControlKind kind = ReportControlKind::Label;
    QString section; // "Section1"
    QString control; // the control's name
    int row = -1;    // a detail item's record, 0-based in the record set's order; -1 otherwise
    QString text;
    QRectF rect; // in twips from the sheet's top left; a line's height is 0
    // Where its text may show: its box, but no further than where the box of another text in
    // its row begins, so that boxes that overlap (a layout's column reaching into the next one)
    // never print over each other.
    QRectF clip;
    ReportFont font = ReportFont::Body;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool wraps = false;
};

class ReportDocument {
public:
    // The rows are read, not moved: the record set's current record stays where it was. The set
    // must outlive the document.
    ReportDocument(ReportLayout layout, const RowSource& rows, QDate today);
    ~ReportDocument();
    ReportDocument(const ReportDocument&) = delete;
    ReportDocument& operator=(const ReportDocument&) = delete;

    // Lays the rows out on pages of the size given (Letter, portrait, unless told), with the
    // layout's margins. Must succeed before pages are painted.
    Status paginate(const QPageSize& pageSize = QPageSize(QPageSize::Letter));

    const ReportLayout& layout() const;
    int pageCount() const;
    QPageSize pageSize() const; // the paper it was laid out on
    QSizeF pageSizeTwips() const;

    // What one page (0-based) carries, in the order it is painted; empty for a page that is not
    // there. Built anew for each call from the rows of that page alone.
    QList<ReportItem> pageItems(int page) const;

    // Paints one page (0-based) filling the painter's device as the whole sheet: origin at the
    // sheet's top left, resolution from the device's logical dots per inch.
    void paintPage(QPainter& painter, int page) const;

    // Writes every page to a PDF file, page by page; the file is only there when all went well.
    Status writePdf(const QString& path) const;
    // Prints every page (or the printer's chosen range) on an already set-up printer.
    Status print(QPagedPaintDevice& printer) const;

    // The distance from one line of a wrapped text to the next, in twips.
    static qreal lineSpacing(ReportFont font);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace halvo
