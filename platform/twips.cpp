#include "platform/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace halvo {

qreal logicalDpi(const QWidget* widget)
{
    const QScreen* screen = widget && widget->screen() ? widget->screen()
                                                       : QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

int twipsToPixels(int twips, const QWidget* widget)
{
    return twipsToPixels(twips, logicalDpi(widget));
}

int pixelsToTwips(int pixels, const QWidget* widget)
{
    return pixelsToTwips(pixels, logicalDpi(widget));
}

} // namespace halvo
