// halvo: the record keeper's main program.

#include "shell/first_window_notice.h"
#include "shell/startup.h"

#include "platform/folders.h"
#include "platform/prompts.h"
#include "resources/program_logo.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(halvo::programTitle());
    // The desktop matches the running program to its menu entry and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.corvane.halvo"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("org.corvane.halvo"), halvo::programLogo()));
    // The program ends when the session says so (Close, Exit, or the last window closed),
    // never merely because the login window was hidden.
    QApplication::setQuitOnLastWindowClosed(false);
    // A start being measured (HALVO_SAY_SHOWN set) says when its first window is up.
    halvo::sayWhenFirstWindowShown();

    halvo::Startup startup(halvo::runningFolders());
    QObject::connect(&startup, &halvo::Startup::finished, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    if (!startup.start())
        return 0;
    return app.exec();
}
