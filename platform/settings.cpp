#include "settings.h"

#include "prompts.h"

#include <QDir>
#include <QFile>
#include <QSettings>

namespace halvo {

const QString Settings::FileName = QStringLiteral("settings.ini");

namespace {
const QString group = QStringLiteral("Settings");
QString keptFile; // empty: the user's configuration folder

QSettings configurationStore()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, programTitle(), programTitle());
}

QSettings store()
{
    if (keptFile.isEmpty())
        return configurationStore();
    return QSettings(keptFile, QSettings::IniFormat);
}
} // namespace

void Settings::keepIn(const QString& dataFolder)
{
    if (dataFolder.isEmpty()) {
        keptFile.clear();
        return;
    }
    keptFile = QDir(dataFolder).filePath(FileName);
    const QString earlier = configurationStore().fileName();
    if (!QFile::exists(keptFile) && QFile::exists(earlier) && QFile::copy(earlier, keptFile))
        QFile::setPermissions(keptFile, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

QString Settings::value(const QString& key, const QString& defaultValue)
{
    QSettings s = store();
    s.beginGroup(group);
    return s.value(key, defaultValue).toString();
}

void Settings::setValue(const QString& key, const QString& value)
{
    {
        QSettings s = store();
        s.beginGroup(group);
        s.setValue(key, value);
        s.sync();
    }
    // The settings are the user's alone, whatever the umask made of a new file.
    if (!keptFile.isEmpty() && QFile::exists(keptFile))
        QFile::setPermissions(keptFile, QFile::permissions(keptFile)
                                            & (QFileDevice::ReadOwner | QFileDevice::WriteOwner));
}

} // namespace halvo
