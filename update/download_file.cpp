#include "download_file.h"

#include "internet_transfer.h"

#include <QCoreApplication>
#include <QSaveFile>

namespace halvo::Puiblic_Module {

QString downloadFileName(const QString& url)
{
    return url.section(QLatin1Char('/'), -1);
}

Status DownloadFile(InternetTransfer& Inet1, const QString& url, const QString& targetFolder)
{
    const QString name = downloadFileName(url);
    if (name.isEmpty())
        return Error{url + QStringLiteral(": the address names no file")};
    return DownloadFileAs(Inet1, url, targetFolder + name);
}

Status DownloadFileAs(InternetTransfer& Inet1, const QString& url, const QString& targetPath)
{
    Result<QByteArray> body = Inet1.OpenURL(url);
    if (!body)
        return body.error();

    QSaveFile file(targetPath);
    if (!file.open(QIODevice::WriteOnly))
        return Error{targetPath + QStringLiteral(": ") + file.errorString()};
    if (file.write(body.value()) != body.value().size()) {
        file.cancelWriting();
        return Error{targetPath + QStringLiteral(": ") + file.errorString()};
    }
    QCoreApplication::processEvents();
    if (!file.commit())
        return Error{targetPath + QStringLiteral(": ") + file.errorString()};
    QCoreApplication::processEvents();
    return {};
}

} // namespace halvo::Puiblic_Module
