#pragma once
// How long the program takes to start is measured from outside, by a benchmark that starts it
// offscreen, where there is no display to watch. With HALVO_SAY_SHOWN set in its environment the
// program writes one line to standard output once its first window has been shown and painted,
// "first window shown: " and the window's title (so that a message box in the login's place is
// not mistaken for the login); without it nothing is installed and nothing is written. Header
// only, so that the bare program the start is measured against says it the same way.

#include <QCoreApplication>
#include <QEvent>
#include <QWindow>
#include <cstdio>

namespace halvo {

inline constexpr char FirstWindowShownLine[] = "first window shown: ";

class FirstWindowNotice : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A window is painted while its first exposure is handled; the line is written once
        // that is done, from the event loop.
        if (event->type() == QEvent::Expose && watched->isWindowType()
            && static_cast<QWindow*>(watched)->isExposed()) {
            QCoreApplication::instance()->removeEventFilter(this);
            const QByteArray title = static_cast<QWindow*>(watched)->title().toUtf8();
            QMetaObject::invokeMethod(
                this,
                [this, title] {
                    std::printf("%s%s\n", FirstWindowShownLine, title.constData());
                    std::fflush(stdout);
                    deleteLater();
                },
                Qt::QueuedConnection);
        }
        return false;
    }
};

inline void sayWhenFirstWindowShown()
{
    if (qEnvironmentVariableIsSet("HALVO_SAY_SHOWN"))
        QCoreApplication::instance()->installEventFilter(
            new FirstWindowNotice(QCoreApplication::instance()));
}

} // namespace halvo
