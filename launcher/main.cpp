// halvoStart: puts a waiting update of the main program in place, starts it and ends.
#include "launcher/start_splash.h"

#include "platform/folders.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString folder = QCoreApplication::applicationDirPath();
    halvo::frmStartSplash splash(folder);
    splash.setReplacesProgramFiles(halvo::locateFolders(folder).portable());
    return splash.Form_Load() ? 0 : 1;
}
