#pragma once
// A PDF document's pages drawn into images. Poppler and the libraries below it are a part of their
// own, libhalvo_pdf.so, loaded when the first PDF is shown (core/late_part.h); this is all the
// rest of the program knows of them.

#include "core/result.h"

#include <QByteArray>
#include <QImage>
#include <memory>

namespace halvo {

class PdfPages {
public:
    virtual ~PdfPages() = default;
    virtual int count() const = 0;
    // The page (0-based) drawn at `dpi` dots per inch, smoothed; a null image when it cannot be.
    virtual QImage draw(int page, double dpi) const = 0;
};

// The document in `bytes`. A document that is damaged, locked with a password of its own or has
// no page gives a null pointer; an Error says why there is no reader for PDF files at all.
Result<std::unique_ptr<PdfPages>> openPdf(const QByteArray& bytes);

} // namespace halvo

// The part's one function: the document, or null as openPdf says. Its caller deletes it.
extern "C" halvo::PdfPages* halvo_open_pdf(const QByteArray& bytes);
