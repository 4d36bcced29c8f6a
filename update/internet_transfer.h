#pragma once
// Inet1, the main window's internet transfer: fetches the whole body of a URL into memory over
// HTTP. While it waits, pending window events run, so the windows stay usable; nothing runs on
// another thread.

#include "core/result.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>

namespace halvo {

class InternetTransfer : public QObject {
    Q_OBJECT
public:
    explicit InternetTransfer(QObject* parent = nullptr);

    // The body of `url`. A failure is any answer but a success status (2xx) with the whole body
    // the server announced: an unreachable server, an error status, a connection broken
    // mid-way, or no answer within the time-out.
    Result<QByteArray> OpenURL(const QString& url);
    // True while a fetch is waiting for its answer.
    bool StillExecuting() const { return executing; }

    // Milliseconds without any data before a fetch gives up.
    void setTimeout(int milliseconds) { timeout = milliseconds; }

private:
    QNetworkAccessManager manager;
    bool executing = false;
    int timeout = 30000;
};

} // namespace halvo
