#include "report_page_view.h"

#include <QPainter>
#include <QPaintEvent>

namespace halvo {

ReportPageView::ReportPageView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ReportPageView::setImage(QImage image)
{
    image_ = std::move(image);
    resize(sizeHint());
    updateGeometry();
    update();
}

QRect ReportPageView::sheetRect() const
{
    return QRect(QPoint(Gap, Gap), image_.deviceIndependentSize().toSize());
}

QSize ReportPageView::sizeHint() const
{
    return image_.deviceIndependentSize().toSize() + QSize(2 * Gap, 2 * Gap);
}

void ReportPageView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect sheet = sheetRect();
    // A soft shadow under the sheet's right and bottom edges lifts it off the desk.
    for (int i = 3; i >= 1; --i)
        painter.fillRect(sheet.translated(i, i), QColor(0, 0, 0, 28 + 14 * (3 - i)));
    painter.fillRect(sheet, Qt::white);
    if (!image_.isNull() && event->rect().intersects(sheet))
        painter.drawImage(sheet.topLeft(), image_);
    painter.setPen(QColor(0, 0, 0, 90));
    painter.drawRect(sheet.adjusted(0, 0, -1, -1));
}

} // namespace halvo
