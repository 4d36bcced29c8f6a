// The program at rest: the main window with every window of the Data menu open over a database
// of 1,000,000 ledger rows, and nothing happening for 10 s. The processor time the process uses
// meanwhile (user and system, from the kernel's own accounting) is at most 1 % of one core.
//
// Beside it, the naive way: the same windows kept in step by polling, as timers of 10 ms on the
// editors and 1 ms on the ledger windows that copy each mirrored box into its picker and the
// summary's totals into the ledger's labels, whether anything changed or not.

#include "bench/bench_support.h"
#include "controls/pickers.h"
#include "shell/main_window.h"
#include "shell/window_table.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

using namespace halvo;

namespace {

const char* const dataEntries[] = {"Property", "Tenant",   "Loan",   "Insurance", "Income",
                                   "Expense",  "Category", "Vendor", "Note"};

double processorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void runFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// What the polling timers did at every tick: every picker shown the text of the box beside it.
void pollOnce(QWidget* window)
{
    for (Picker* picker : window->findChildren<Picker*>()) {
        const QString text = picker->currentText();
        picker->setEditText(text);
    }
    for (QLabel* label : window->findChildren<QLabel*>(QStringLiteral("lblTotal")))
        label->setText(label->text());
}

// Percentage of one core used over `seconds`, with every Data window open.
double idleShare(int seconds)
{
    runFor(1000); // let the opening settle
    const double before = processorSeconds();
    QElapsedTimer wall;
    wall.start();
    runFor(seconds * 1000);
    return 100.0 * (processorSeconds() - before) / (double(wall.elapsed()) / 1000.0);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    bench::LargeDatabase db(1'000'000);
    frmMain main(Folders::portableAt(db.folder()));
    installWindows(main);
    main.resize(1400, 900);
    main.show();
    for (const char* key : dataEntries)
        main.Toolbar1_ButtonClick(QString::fromLatin1(key));

    const double ours = idleShare(10);

    QList<QTimer*> polling;
    for (const char* key : dataEntries) {
        QWidget* window = main.openedWindow(frmMain::entryForKey(QString::fromLatin1(key)));
        if (!window)
            continue;
        auto* timer = new QTimer(window);
        const bool ledger = QByteArray(key) == "Income" || QByteArray(key) == "Expense";
        timer->setInterval(ledger ? 1 : 10);
        QObject::connect(timer, &QTimer::timeout, window, [window] { pollOnce(window); });
        timer->start();
        polling.append(timer);
    }
    const double naive = idleShare(10);
    qDeleteAll(polling);

    std::printf("Idle, every Data window open, 10 s: %.2f %% of one core (target 1 %%); "
                "polling timers: %.2f %%\n",
                ours, naive);
    return ours <= 1.0 ? 0 : 1;
}
