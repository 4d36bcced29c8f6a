#include "internet_transfer.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QUrl>

namespace halvo {

namespace {

Error failure(const QString& url, const QString& why)
{
    return Error{url + QStringLiteral(": ") + why};
}

} // namespace

InternetTransfer::InternetTransfer(QObject* parent)
    : QObject(parent)
{
}

Result<QByteArray> InternetTransfer::OpenURL(const QString& url)
{
    const QUrl address(url, QUrl::StrictMode);
    if (!address.isValid() || address.host().isEmpty())
        return failure(url, QStringLiteral("not a valid address"));

    QNetworkRequest request(address);
    request.setTransferTimeout(timeout);
    QPointer<QNetworkReply> reply = manager.get(request);

    // The one wait of the program: the event loop runs until the answer is complete, the reply
    // is gone, or the application is told to end (which ends every running loop).
    executing = true;
    QEventLoop wait;
    connect(reply, &QNetworkReply::finished, &wait, &QEventLoop::quit);
    connect(reply, &QObject::destroyed, &wait, &QEventLoop::quit);
    if (!reply->isFinished())
        wait.exec();
    executing = false;

    if (!reply)
        return failure(url, QStringLiteral("the transfer was cancelled"));
    if (!reply->isFinished()) {
        reply->abort();
        reply->deleteLater();
        return failure(url, QStringLiteral("the transfer was cancelled"));
    }
    reply->deleteLater();

    if (reply->error() != QNetworkReply::NoError)
        return failure(url, reply->errorString());
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status < 200 || status > 299)
        return failure(url, QStringLiteral("the server answered %1").arg(status));
    QByteArray body = reply->readAll();
    // A connection closed before the announced length is a broken download, never a short file.
    bool announced = false;
    const qint64 length = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&announced);
    if (announced && length != body.size())
        return failure(url, QStringLiteral("the transfer ended after %1 of %2 bytes")
                                .arg(body.size())
                                .arg(length));
    return body;
}

} // namespace halvo
