#pragma once
// Window places and sizes are kept in twips, 1440 to the inch, converted with the screen's
// logical resolution (15 twips to the pixel at 96 dots per inch).

#include <QtGlobal>

class QWidget;

namespace halvo {

constexpr int TwipsPerInch = 1440;

constexpr int twipsToPixels(int twips, qreal dpi)
{
    return static_cast<int>(twips * dpi / TwipsPerInch + (twips >= 0 ? 0.5 : -0.5));
}
constexpr int pixelsToTwips(int pixels, qreal dpi)
{
    return static_cast<int>(pixels * TwipsPerInch / dpi + (pixels >= 0 ? 0.5 : -0.5));
}

// The logical resolution of the screen a widget stands on (96 when it has none yet).
qreal logicalDpi(const QWidget* widget);
int twipsToPixels(int twips, const QWidget* widget);
int pixelsToTwips(int pixels, const QWidget* widget);

} // namespace halvo
