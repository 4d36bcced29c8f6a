#include "desktop.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>

namespace halvo {

bool shellOpen(const QUrl& url)
{
    if (url.isEmpty() || !url.isValid())
        return false;
    return QDesktopServices::openUrl(url);
}

bool shellOpen(const QString& address)
{
    const QString text = address.trimmed();
    if (text.isEmpty())
        return false;
    const QUrl asTyped(text);
    if (!asTyped.scheme().isEmpty() && asTyped.scheme().size() > 1)
        return shellOpen(asTyped);
    if (QFileInfo::exists(text))
        return shellOpen(QUrl::fromLocalFile(text));
    return shellOpen(QUrl::fromUserInput(text));
}

namespace Clock {
namespace {
QDateTime fixedMoment;
}

QDateTime now() { return fixedMoment.isValid() ? fixedMoment : QDateTime::currentDateTime(); }
QDate today() { return now().date(); }
void fixAt(const QDateTime& moment) { fixedMoment = moment; }
} // namespace Clock

QString applicationFolder() { return QCoreApplication::applicationDirPath(); }

} // namespace halvo
