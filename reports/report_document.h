#pragma once
// A report laid out on pages: the layout, the rows of a record set read from its first row, and
// the day "%D" prints. Laying out measures every row once and keeps only where each page begins
// and the sums, so that memory grows with the pages painted, not with all of them. Failures come
// back as values.

#include "data/result.h"
#include "reports/report_layout.h"

#include <QDate>
#include <QPageLayout>
#include <QSizeF>
#include <memory>

class QPainter;
class QPagedPaintDevice;

namespace halvo {

class RecordSet;

class ReportDocument {
public:
    // The rows are read, not moved: the record set's current record stays where it was. The set
    // must outlive the document.
    ReportDocument(ReportLayout layout, const RecordSet& rows, QDate today);
    ~ReportDocument();
    ReportDocument(const ReportDocument&) = delete;
    ReportDocument& operator=(const ReportDocument&) = delete;

    // Lays the rows out on pages of the size given (Letter, portrait, unless told), with the
    // layout's margins. Must succeed before pages are painted.
    Status paginate(const QPageSize& pageSize = QPageSize(QPageSize::Letter));

    const ReportLayout& layout() const;
    int pageCount() const;
    QSizeF pageSizeTwips() const;

    // Paints one page (0-based) filling the painter's device as the whole sheet: origin at the
    // sheet's top left, resolution from the device's logical dots per inch.
    void paintPage(QPainter& painter, int page) const;

    // Writes every page to a PDF file, page by page; the file is only there when all went well.
    Status writePdf(const QString& path) const;
    // Prints every page (or the printer's chosen range) on an already set-up printer.
    Status print(QPagedPaintDevice& printer) const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace halvo
