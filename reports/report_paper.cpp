#include "report_paper.h"

#include "data/connection.h"
#include "platform/prompts.h"

#include <QDir>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

#include <algorithm>

namespace halvo {

namespace detail {

QFont reportFace(ReportFont face)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setHintingPreference(QFont::PreferNoHinting);
    switch (face) {
    case ReportFont::Body: font.setPixelSize(qRound(8.25 * TwipsPerPoint)); break;
    case ReportFont::Heading:
        font.setPixelSize(qRound(14.25 * TwipsPerPoint));
        font.setBold(true);
        break;
    case ReportFont::Title:
        font.setPixelSize(qRound(12 * TwipsPerPoint));
        font.setBold(true);
        break;
    case ReportFont::Caption:
        font.setPixelSize(qRound(8.25 * TwipsPerPoint));
        font.setBold(true);
        break;
    }
    return font;
}

namespace {

qreal alignedX(const QRectF& box, qreal advance, Qt::Alignment alignment)
{
    if (alignment & Qt::AlignRight)
        return box.right() - advance;
    if (alignment & Qt::AlignHCenter)
        return box.left() + (box.width() - advance) / 2;
    return box.left();
}

} // namespace

void paintItems(QPainter& painter, const QList<ReportItem>& items, const Faces& faces)
{
    const QPaintDevice* device = painter.device();
    if (!device || items.isEmpty())
        return;
    painter.save();
    painter.scale(device->logicalDpiX() / qreal(1440), device->logicalDpiY() / qreal(1440));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QPen linePen(Qt::black, LinePen, Qt::SolidLine, Qt::FlatCap);
    const QPen textPen(Qt::black);
    for (const ReportItem& item : items) {
        if (item.kind == ReportControlKind::Line) {
            painter.setPen(linePen);
            painter.drawLine(item.rect.topLeft(), item.rect.topRight());
            continue;
        }
        if (item.text.isEmpty())
            continue;
        const Face& face = faces[size_t(item.font)];
        painter.setPen(textPen);
        painter.setFont(face.font);
        if (item.wraps) {
            const QStringList lines = item.text.split(QLatin1Char('\n'));
            const qreal spacing = face.metrics.lineSpacing();
            for (int i = 0; i < lines.size(); ++i) {
                const qreal x = alignedX(item.rect, face.metrics.horizontalAdvance(lines[i]),
                                         item.alignment);
                painter.drawText(QPointF(x, item.rect.top() + i * spacing + face.metrics.ascent()),
                                 lines[i]);
            }
            continue;
        }
        const qreal advance = face.metrics.horizontalAdvance(item.text);
        const QPointF at(alignedX(item.rect, advance, item.alignment),
                         item.rect.top() + face.metrics.ascent());
        // Only a text that reaches out of its box is cut at the box's edges; clipping costs the
        // PDF and the printer a little for every text.
        if (at.x() < item.clip.left() - Slack || at.x() + advance > item.clip.right() + Slack) {
            painter.save();
            painter.setClipRect(item.clip, Qt::IntersectClip);
            painter.drawText(at, item.text);
            painter.restore();
        } else {
            painter.drawText(at, item.text);
        }
    }
    painter.restore();
}

Status paintPages(QPagedPaintDevice& device, int first, int last, const ReportDocument& document)
{
    QPainter painter;
    if (!painter.begin(&device))
        return Error{QStringLiteral("The pages could not be started on the printer or file.")};
    for (int page = first; page <= last; ++page) {
        if (page > first && !device.newPage()) {
            painter.end();
            return Error{QStringLiteral("A new page could not be started.")};
        }
        document.paintPage(painter, page);
    }
    painter.end();
    return {};
}

} // namespace detail

Status ReportDocument::writePdf(const QString& path) const
{
    if (pageCount() == 0)
        return Error{QStringLiteral("The report has not been laid out.")};
    if (Status free = notHeldByEngine(path); !free)
        return free;
    const QString shown = QDir::toNativeSeparators(path);
    // Written beside its place and put there only when complete: a failure leaves no half file,
    // and an earlier file of the same name stays as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Error{QStringLiteral("The report could not be saved as \"%1\": %2.")
                         .arg(shown, file.errorString())};
    {
        QPdfWriter writer(&file);
        writer.setTitle(layout().caption);
        writer.setCreator(programTitle());
        writer.setResolution(1440);
        writer.setPageSize(pageSize());
        writer.setPageOrientation(QPageLayout::Portrait);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        if (Status s = detail::paintPages(writer, 0, pageCount() - 1, *this); !s) {
            file.cancelWriting();
            return Error{QStringLiteral("The report could not be saved as \"%1\": %2")
                             .arg(shown, s.error().description)};
        }
    }
    if (!file.commit())
        return Error{QStringLiteral("The report could not be saved as \"%1\": %2.")
                         .arg(shown, file.errorString())};
    return {};
}

Status ReportDocument::print(QPagedPaintDevice& device) const
{
    if (pageCount() == 0)
        return Error{QStringLiteral("The report has not been laid out.")};
    int first = 0;
    int last = pageCount() - 1;
    if (auto* printer = dynamic_cast<QPrinter*>(&device)) {
        // A printer keeps the paper the user chose in its dialog; the pages are painted from
        // the sheet's corner, their margins in them.
        printer->setFullPage(true);
        if (printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
            first = printer->fromPage() - 1;
            if (printer->toPage() > 0)
                last = std::min(last, printer->toPage() - 1);
        }
        if (first > last)
            return Error{QStringLiteral("The report has no pages %1 to %2; it has %3.")
                             .arg(printer->fromPage())
                             .arg(printer->toPage())
                             .arg(pageCount())};
    } else {
        device.setPageSize(pageSize());
        device.setPageOrientation(QPageLayout::Portrait);
        device.setPageMargins(QMarginsF(0, 0, 0, 0));
    }
    if (Status s = detail::paintPages(device, first, last, *this); !s)
        return s;
    if (auto* printer = dynamic_cast<QPrinter*>(&device)) {
        if (printer->printerState() == QPrinter::Error)
            return Error{QStringLiteral("The printer reported an error.")};
        if (printer->printerState() == QPrinter::Aborted)
            return Error{QStringLiteral("Printing was cancelled.")};
    }
    return {};
}

} // namespace halvo
