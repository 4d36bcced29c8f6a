#include "attachments/pdf_pages.h"

#include "core/late_part.h"

namespace halvo {

Result<std::unique_ptr<PdfPages>> openPdf(const QByteArray& bytes)
{
    const auto open = latePart<decltype(halvo_open_pdf)>(QStringLiteral("halvo_pdf"),
                                                         "halvo_open_pdf");
    if (!open)
        return open.error();
    return std::unique_ptr<PdfPages>(open.value()(bytes));
}

} // namespace halvo
