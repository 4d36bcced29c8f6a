#pragma once
// frmAttachmentViewer: one attachment shown inside the program, from its bytes in memory: a
// picture through QImage, a PDF page by page (pdf_pages.h), rendered into images. Nothing is
// written to any folder; "Save a Copy..." writes where the user chooses, and only then.
// Page Up and Page Down turn a PDF's pages.

#include "attachments/attachment_store.h"

#include <QDialog>
#include <memory>

class QLabel;
class QScrollArea;
class VeyHyperLinkLabel;

namespace halvo {

class PdfPages;

class frmAttachmentViewer : public QDialog {
    Q_OBJECT
public:
    // A damaged or unreadable file is refused here: `failure` holds why, and nothing is shown.
    frmAttachmentViewer(const AttachmentInfo& info, QByteArray bytes, QWidget* parent = nullptr);
    ~frmAttachmentViewer() override;

    QString failure() const { return problem; }
    int pageCount() const;
    int currentPage() const { return page; } // 0-based
    void showPage(int page);
    const QImage& shownImage() const { return image; }

    QLabel* lblPage = nullptr;
    QLabel* lblPicture = nullptr;
    VeyHyperLinkLabel* SaveCopy = nullptr;
    VeyHyperLinkLabel* Close = nullptr;

    void SaveCopy_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AttachmentInfo info;
    QByteArray bytes;
    std::unique_ptr<PdfPages> pdf;
    QImage image;
    int page = 0;
    QString problem;
    QScrollArea* area = nullptr;
    void fitTo(const QSize& shown);
};

} // namespace halvo
