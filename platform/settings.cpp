#include "settings.h"

#include "prompts.h"

#include <QSettings>

namespace halvo {

namespace {
const QString group = QStringLiteral("Settings");

QSettings store()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, programTitle(), programTitle());
}
} // namespace

QString Settings::value(const QString& key, const QString& defaultValue)
{
    QSettings s = store();
    s.beginGroup(group);
    return s.value(key, defaultValue).toString();
}

void Settings::setValue(const QString& key, const QString& value)
{
    QSettings s = store();
    s.beginGroup(group);
    s.setValue(key, value);
}

} // namespace halvo
