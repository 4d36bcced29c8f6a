#include "hyperlink/cursors.h"

#include <QPainter>
#include <QPainterPath>

namespace VeyHyperLink {
namespace {

// Both hands are white with a dark outline above a blue cuff, like the pointers users know
// from links elsewhere on the desktop.
const QColor Outline(24, 24, 24);
const QColor Skin(Qt::white);
const QColor Cuff(40, 90, 200);

QPainterPath roundedRect(qreal left, qreal top, qreal right, qreal bottom, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(QPointF(left, top), QPointF(right, bottom)), radius, radius);
    return path;
}

QPainterPath unite(std::initializer_list<QPainterPath> parts)
{
    QPainterPath shape;
    for (const QPainterPath& part : parts)
        shape = shape.united(part);
    return shape.simplified();
}

// The thumb lies along the left of the palm, pointing up and outwards.
QPainterPath thumb(qreal top)
{
    QPainterPath path = roundedRect(-2.5, -6, 2.5, 5, 2.5);
    QTransform place;
    place.translate(7.5, top);
    place.rotate(-35);
    return place.map(path);
}

QPainterPath pointingHand()
{
    return unite({roundedRect(9.5, 0.5, 15.5, 18, 3),   // index finger, tip at the hot spot
                  roundedRect(15, 9, 19.5, 19, 2.2),    // middle finger
                  roundedRect(19, 10.5, 23.5, 19, 2.2), // ring finger
                  roundedRect(23, 12.5, 27.5, 20, 2.2), // little finger
                  roundedRect(9.5, 14, 27.5, 26.5, 3),  // palm
                  thumb(19)});
}

QPainterPath pressingHand()
{
    return unite({roundedRect(9.5, 9.5, 14, 17, 2.2),   // index finger, curled
                  roundedRect(13.5, 8.5, 18, 17, 2.2),  // middle finger
                  roundedRect(17.5, 9, 22, 17, 2.2),    // ring finger
                  roundedRect(21.5, 10.5, 26, 18, 2.2), // little finger
                  roundedRect(9.5, 13, 26, 26.5, 3),    // back of the hand
                  thumb(20)});
}

QPixmap drawHand(const QPainterPath& hand, std::initializer_list<QLineF> creases)
{
    QPixmap picture(CursorSize, CursorSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Outline, 1.2));
    painter.setBrush(Skin);
    painter.drawPath(hand);
    for (const QLineF& crease : creases)
        painter.drawLine(crease);
    painter.setBrush(Cuff);
    painter.drawRect(QRectF(11.5, 26.5, 14.5, 5));
    return picture;
}

QCursor hoverCursor()
{
    const QPixmap picture =
        drawHand(pointingHand(), {QLineF(15.5, 11, 15.5, 16), QLineF(19.5, 12.5, 19.5, 17),
                                  QLineF(23.5, 14, 23.5, 18.5)});
    return QCursor(picture, 12, 1);
}

QCursor clickCursor()
{
    const QPixmap picture =
        drawHand(pressingHand(), {QLineF(13.5, 12.5, 13.5, 17), QLineF(17.5, 12.5, 17.5, 17),
                                  QLineF(21.5, 13, 21.5, 18), QLineF(10, 17.5, 26, 17.5)});
    return QCursor(picture, 16, 14);
}

} // namespace

std::optional<QCursor> loadCursor(const QString& name)
{
    if (name.compare(QLatin1String(HoverCursorName), Qt::CaseInsensitive) == 0)
        return hoverCursor();
    if (name.compare(QLatin1String(ClickCursorName), Qt::CaseInsensitive) == 0)
        return clickCursor();
    return std::nullopt;
}

QPixmap toolboxBitmap()
{
    QPixmap picture(16, 15);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(Qt::blue);
    QFont font = painter.font();
    font.setPixelSize(12);
    font.setUnderline(true);
    painter.setFont(font);
    painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("A"));
    return picture;
}

} // namespace VeyHyperLink
