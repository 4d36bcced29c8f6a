#include "resources/program_logo.h"

#include <QImageReader>
#include <QPixmap>

namespace halvo {

QIcon programLogo()
{
    QIcon logo;
    for (const auto& [path, ratio] : {std::pair{":/halvo/logo.png", 1.0},
                                      std::pair{":/halvo/logo@2x.png", 2.0}}) {
        QImageReader reader(QString::fromLatin1(path), "png");
        reader.setAutoDetectImageFormat(false);
        QPixmap picture = QPixmap::fromImage(reader.read());
        picture.setDevicePixelRatio(ratio);
        logo.addPixmap(picture);
    }
    return logo;
}

} // namespace halvo
