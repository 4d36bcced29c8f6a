// The floor of the program's start: a bare Qt program that shows one dialog, started as halvo is
// and saying when its window is up the same way. Not a benchmark of its own: bench_start starts it.

#include "shell/first_window_notice.h"

#include <QApplication>
#include <QDialog>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    halvo::sayWhenFirstWindowShown();
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("bare dialog"));
    dialog.show();
    return app.exec();
}
