// halvoStart: puts a waiting update of the main program in place, starts it and ends.
#include "launcher/start_splash.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    halvo::frmStartSplash splash(QCoreApplication::applicationDirPath());
    return splash.Form_Load() ? 0 : 1;
}
