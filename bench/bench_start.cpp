// The program started as the user starts it, until its first window is up: halvo in a program
// folder of its own, over a database whose password is set, so that the login is its first
// window. Beside it, the floor: a bare Qt program that shows one dialog (bare_dialog), started
// the same way. Ten starts each, the median. Both say when their window is up
// (shell/first_window_notice.h); each is ended as soon as it has said so.
//
// The target is met on a display, as the user sees a window appear: an X server of the run's own
// (Xvfb, on a display number nobody uses), connected to as any desktop's would be. The same starts
// offscreen are shown after it, for what they say of the program's own work, not held to the
// target: offscreen an empty dialog draws not a letter, so it never loads a font, while the login
// (like any window with a word in it) spends a quarter of its start reading the font
// configuration.

#include "bench/bench_support.h"
#include "data/file_identity.h"
#include "platform/settings.h"
#include "shell/database_as_left.h"
#include "shell/first_window_notice.h"
#include "shell/password_store.h"

#include <QCoreApplication>
#include <QProcess>
#include <QThread>

using namespace halvo;

namespace {

// A portable program folder, as an install lays it out: the program, its link label library,
// its help and its default picture, copied from the build's program folder (which holds the
// delivered database, never to be written), and a database with the program password set. The
// bare program stands beside it, so that both start from the same place.
class ProgramFolder {
public:
    // `asLeft`: the database as the program leaves it when it ends, as on every start but the
    // first after the file was changed elsewhere.
    ProgramFolder(const QString& built, bool asLeft)
    {
        const QDir from(built);
        QStringList names = from.entryList({QStringLiteral("libVeyHyperLink.so*")}, QDir::Files);
        names << QStringLiteral("halvo") << QStringLiteral("HALVOHelp.hlp")
              << QStringLiteral("default_prop.jpg") << QStringLiteral("bare_dialog");
        for (const QString& name : names)
            if (!QFile::copy(from.filePath(name), dir.filePath(name)))
                fail("cannot copy " + from.filePath(name));
        const QString path = databasePath(dir.path());
        if (!createDatabase(path, DatabasePassword))
            fail("cannot create the database");
        {
            const Connection c = Connection::openFile(path, DatabasePassword).value();
            if (!c.execute(QStringLiteral("INSERT INTO tblUser (Password) VALUES (?)"),
                           {PasswordStore::hash(QStringLiteral("Tr0ub4dor&3")).value()}))
                fail("cannot set the password");
        }
        // The file is the started program's alone from here on.
        releaseDatabase(path);
        if (asLeft) {
            Settings::keepIn(dir.path());
            rememberDatabaseAsLeft(path);
        }
    }

    QString path() const { return dir.path(); }

private:
    QTemporaryDir dir;

    static void fail(const QString& why)
    {
        std::fprintf(stderr, "%s\n", qPrintable(why));
        std::abort();
    }
};

// An X server of the run's own, on the first display number from 90 on that no server holds; ended
// with the run. Empty when Xvfb cannot be started.
class PrivateDisplay {
public:
    PrivateDisplay()
    {
        for (int number = 90; number < 140 && name.isEmpty(); ++number) {
            const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
            if (QFile::exists(socket) || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
                continue;
            server.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(number),
                                                   QStringLiteral("-screen"), QStringLiteral("0"),
                                                   QStringLiteral("1280x1024x24"),
                                                   QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            if (!server.waitForStarted(5000))
                return;
            for (int waited = 0; waited < 100 && server.state() == QProcess::Running; ++waited) {
                if (QFile::exists(socket)) {
                    name = QStringLiteral(":%1").arg(number);
                    return;
                }
                QThread::msleep(50);
            }
            server.kill();
            server.waitForFinished();
        }
    }
    ~PrivateDisplay()
    {
        server.terminate();
        server.waitForFinished(5000);
    }

    QString name;

private:
    QProcess server;
};

// What the started programs see: the display (none: offscreen), asked to say when their window
// is up, and the user's folders (the running copy's lock, the configuration) in a folder of the
// run's own.
QProcessEnvironment startEnvironment(const QString& home, const QString& display)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"),
               display.isEmpty() ? QStringLiteral("offscreen") : QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("HALVO_SAY_SHOWN"), QStringLiteral("1"));
    for (const char* folder : {"XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
        const QString path = QDir(home).filePath(QString::fromLatin1(folder));
        QDir().mkpath(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert(QString::fromLatin1(folder), path);
    }
    return env;
}

// From the start of the process to its line saying its first window, of this title, is up; then
// it is ended.
void startToFirstWindow(benchmark::State& state, const QString& program, const QString& title,
                        const QString& display)
{
    QTemporaryDir home;
    const QProcessEnvironment env = startEnvironment(home.path(), display);
    std::vector<double> ms;
    QElapsedTimer timer;
    for (auto _ : state) {
        QProcess process;
        process.setProcessEnvironment(env);
        timer.start();
        process.start(program, {});
        QByteArray said;
        while (!said.contains('\n') && process.waitForReadyRead(30000))
            said += process.readAllStandardOutput();
        ms.push_back(timer.nsecsElapsed() / 1e6);
        process.kill();
        process.waitForFinished();
        const QByteArray expected = FirstWindowShownLine + title.toUtf8() + '\n';
        if (!said.startsWith(expected)) {
            const QByteArray told = said + process.readAllStandardError();
            state.SkipWithError(qPrintable("not the window awaited: " + QString::fromUtf8(told)));
            break;
        }
    }
    state.counters["median_ms"] = bench::median(ms);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    ProgramFolder folder(QCoreApplication::applicationDirPath(), true);
    ProgramFolder changed(QCoreApplication::applicationDirPath(), false);
    const QDir programs(folder.path());
    const QDir changedPrograms(changed.path());
    const PrivateDisplay display;
    if (display.name.isEmpty())
        std::fprintf(stderr, "Xvfb cannot be started: the starts on a display are left out.\n");

    const auto add = [](const QString& name, const QString& program, const QString& title,
                        const QString& display) {
        benchmark::RegisterBenchmark(qPrintable(name), [=](benchmark::State& s) {
            startToFirstWindow(s, program, title, display);
        })->Unit(benchmark::kMillisecond)->Iterations(10);
    };
    const QString login = QStringLiteral("Login");
    const QString bare = QStringLiteral("bare dialog");
    QStringList displays; // the empty name: offscreen
    if (!display.name.isEmpty())
        displays << display.name;
    displays << QString();
    for (const QString& shown : displays) {
        const QString where = shown.isEmpty() ? QStringLiteral(" (offscreen, not held to the target)")
                                              : QStringLiteral(" (on a display)");
        add(QStringLiteral("start halvo to its first window, the login, target 1.5 x the floor")
                + where,
            programs.filePath(QStringLiteral("halvo")), login, shown);
        add(QStringLiteral("start halvo on a file changed since it was left, checked before the "
                           "login") + where,
            changedPrograms.filePath(QStringLiteral("halvo")), login, shown);
        add(QStringLiteral("floor: a bare Qt program to its one dialog") + where,
            programs.filePath(QStringLiteral("bare_dialog")), bare, shown);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
