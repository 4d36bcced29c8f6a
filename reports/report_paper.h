#pragma once
// The report on paper, as the report document paints it: its four faces in twips, the items of a
// page painted on any device, and the pages painted one a sheet (a PDF file, a printer). The
// laying out of pages is the document's own (report_document.cpp).

#include "core/result.h"
#include "reports/report_document.h"

#include <QFont>
#include <QFontMetricsF>
#include <QList>
#include <array>

class QPagedPaintDevice;
class QPainter;

namespace halvo::detail {

constexpr qreal TwipsPerPoint = 20;
// A hair line: one pixel on a screen at 96 dots per inch, half a point on paper.
constexpr qreal LinePen = 15;
// Heights are whole twips, a wrapped text's lines fractions of them: what is this close fits.
constexpr qreal Slack = 0.01;

// Sizes are kept in twips as pixel sizes, so that every measure and every position on a page is
// in one unit whatever the page is painted on: the painter scales twips to the device. Hinting
// is off so that a text measures the same on a screen, an image, a printer and in a PDF.
QFont reportFace(ReportFont face);

struct Face {
    QFont font;
    QFontMetricsF metrics;
    explicit Face(ReportFont f) : font(reportFace(f)), metrics(font) {}
};
using Faces = std::array<Face, 4>; // by ReportFont

// Paints the items of a page, laid out in twips, scaled to the painter's device.
void paintItems(QPainter& painter, const QList<ReportItem>& items, const Faces& faces);

// Paints the document's pages `first` to `last` on the device, one a sheet.
Status paintPages(QPagedPaintDevice& device, int first, int last, const ReportDocument& document);

} // namespace halvo::detail
