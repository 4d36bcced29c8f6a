#pragma once
// The preview of a report: a window of its own that shows one page at a time at a zoom, with page
// navigation, Print (the system print dialog) and Save as PDF. Reachable by keyboard: Page Up and
// Page Down, Home and End, Ctrl++ and Ctrl+-, Ctrl+P prints, Ctrl+S saves as PDF. It remembers
// nothing between reports: every report opens a preview of its own.

#include "core/result.h"
#include "reports/report_layout.h"

#include <QDate>
#include <QWidget>
#include <memory>

namespace halvo {

class RowSource;
class ReportDocument;

class ReportPreview : public QWidget {
    Q_OBJECT
public:
    // Takes a paginated document; the caption is the layout's caption.
    explicit ReportPreview(std::unique_ptr<ReportDocument> document, QWidget* parent = nullptr);
    ~ReportPreview() override;

    // Lays the rows out and shows them in a new preview, a window of its own, in front, that is
    // deleted when closed. The rows are read while the preview is open: whoever re-runs or closes
    // the record set closes the preview first. A failure is shown to no one: it is returned.
    static Result<ReportPreview*> show(ReportLayout layout, const RowSource& rows, QDate today,
                                       QWidget* parent = nullptr);

    // The same for rows computed for this report alone: the preview keeps them while it is open.
    static Result<ReportPreview*> show(ReportLayout layout, std::shared_ptr<const RowSource> rows,
                                       QDate today, QWidget* parent = nullptr);

    const ReportDocument& document() const;
    int currentPage() const; // 0-based
    void showPage(int page);
    double zoom() const; // 1.0 is the sheet's real size
    void setZoom(double zoom);

    void print();     // the system print dialog, then the pages
    void saveAsPdf(); // asks for a file name through the prompts, then writes the PDF

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void render();
    double fitPageZoom() const;  // the whole sheet in the window
    double fitWidthZoom() const; // the sheet's width in the window

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace halvo
