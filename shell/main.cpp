// halvo: the record keeper's main program.

#include "shell/startup.h"

#include "platform/desktop.h"
#include "platform/prompts.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(halvo::programTitle());
    // The program ends when the session says so (Close, Exit, or the last window closed),
    // never merely because the login window was hidden.
    QApplication::setQuitOnLastWindowClosed(false);

    halvo::Startup startup(halvo::applicationFolder());
    QObject::connect(&startup, &halvo::Startup::finished, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    if (!startup.start())
        return 0;
    return app.exec();
}
