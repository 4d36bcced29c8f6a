// libhalvo_pdf.so: PDF pages drawn by Debian's Poppler for Qt 6.

#include "attachments/pdf_pages.h"

#include <poppler-qt6.h>

namespace {

class PopplerPages final : public halvo::PdfPages {
public:
    explicit PopplerPages(std::unique_ptr<Poppler::Document> document) : pdf(std::move(document))
    {
        pdf->setRenderHint(Poppler::Document::Antialiasing);
        pdf->setRenderHint(Poppler::Document::TextAntialiasing);
    }

    int count() const override { return pdf->numPages(); }

    QImage draw(int page, double dpi) const override
    {
        const std::unique_ptr<Poppler::Page> p = pdf->page(page);
        return p ? p->renderToImage(dpi, dpi) : QImage();
    }

private:
    std::unique_ptr<Poppler::Document> pdf;
};

} // namespace

extern "C" Q_DECL_EXPORT halvo::PdfPages* halvo_open_pdf(const QByteArray& bytes)
{
    std::unique_ptr<Poppler::Document> pdf = Poppler::Document::loadFromData(bytes);
    if (!pdf || pdf->isLocked() || pdf->numPages() < 1)
        return nullptr;
    return new PopplerPages(std::move(pdf));
}
