#include "update_server.h"

#include <QDir>
#include <QSettings>

namespace halvo {

const QString UpdateServer::SettingsFileName = QStringLiteral("halvo.ini");
const QString UpdateServer::DefaultHost = QStringLiteral("updates.corvane.example");

QString UpdateServer::host(const QString& programFolder)
{
    QSettings installation(QDir(programFolder).filePath(SettingsFileName), QSettings::IniFormat);
    const QString configured =
        installation.value(QStringLiteral("Update/Host")).toString().trimmed();
    return configured.isEmpty() ? DefaultHost : configured;
}

QString UpdateServer::url(const QString& host, const QString& path)
{
    return QStringLiteral("http://") + host + path;
}

} // namespace halvo
