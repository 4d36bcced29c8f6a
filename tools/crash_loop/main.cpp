// halvo_crash_loop: kills a writer of the ledger again and again, at random moments, and checks
// after every kill that the database file is whole and holds every change the writer had
// reported as committed.
//
// The writer enters, edits and deletes tblFinance rows through the program's own Connection and
// RecordSet, one unit of work at a time, on the real encrypted file, and prints a unit only once
// its commit has come back as a success. After each kill (SIGKILL, no warning) the loop opens
// the file with the key, runs PRAGMA integrity_check, and compares the ledger with what was
// confirmed; the same file goes on growing from kill to kill.
//
// The short run is a CTest test (halvo_crash_loop). The long run, by hand, from a build with
// the tools folder (any build folder of your own):
//
//     cmake --build <build> --target halvo_crash_loop
//     <build>/tools/halvo_crash_loop --kills 200
//
// It prints its seed first; --seed <n> repeats the same kills (the moments, and what each writer
// does). --file <path> makes the database there and leaves it for a look afterwards.
// Between its units the writer runs the portfolio summary's tick; at a random moment among the
// writes another program (as the sqlcipher command line would) opens the file, reads and closes.
// --confirm-early makes the writer confirm work before it is committed, and --second-descriptor
// makes it read the file through a descriptor of its own after each tick, which drops the
// engine's locks: with either the loop must report lost rows, which shows that it can.
// --rekey makes the writer key the file anew now and then, alternating two keys: a kill in the
// middle must leave a file that opens with one of them, holding everything confirmed.
// --restore makes the writer restore the backup it has just made, every few units: a kill in
// the middle must leave a database file under its name, holding everything confirmed.
//
// The exit code is 0 only when nothing confirmed was lost and the file stayed whole.

#include "crash_loop.h"
#include "writer.h"

#include "data/connection_string.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <random>

using namespace halvo;
using namespace halvo::crashloop;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Kills a ledger writer at random moments and checks what it leaves."));
    parser.addHelpOption();
    const QCommandLineOption kills(QStringLiteral("kills"), QStringLiteral("How many kills."),
                                   QStringLiteral("n"), QStringLiteral("200"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Repeats a run."),
                                  QStringLiteral("n"));
    const QCommandLineOption file(QStringLiteral("file"),
                                  QStringLiteral("The database to make and keep."),
                                  QStringLiteral("path"));
    const QCommandLineOption confirmEarly(QStringLiteral("confirm-early"),
                                          QStringLiteral("Confirm before committing."));
    const QCommandLineOption secondDescriptor(
        QStringLiteral("second-descriptor"),
        QStringLiteral("Let the writer read the file through a descriptor of its own."));
    const QCommandLineOption writer(QStringLiteral("writer"),
                                    QStringLiteral("Be the writer, on this file."),
                                    QStringLiteral("path"));
    const QCommandLineOption generation(QStringLiteral("generation"),
                                        QStringLiteral("The writer's run."), QStringLiteral("n"),
                                        QStringLiteral("1"));
    const QCommandLineOption rekey(QStringLiteral("rekey"),
                                   QStringLiteral("Let the writer key the file anew now and then."));
    const QCommandLineOption restore(QStringLiteral("restore"),
                                     QStringLiteral("Let the writer restore its own backup now and then."));
    parser.addOptions({kills, seed, file, confirmEarly, secondDescriptor, rekey, restore, writer,
                       generation});
    parser.process(app);

    std::uint64_t seedValue =
        parser.isSet(seed) ? parser.value(seed).toULongLong()
                           : (std::uint64_t(std::random_device{}()) << 32) | std::random_device{}();
    if (parser.isSet(writer))
        return runWriter({parser.value(writer), seedValue, parser.value(generation).toLongLong(),
                          parser.isSet(confirmEarly), parser.isSet(secondDescriptor),
                          parser.isSet(rekey), parser.isSet(restore)});

    LoopOptions options;
    options.kills = parser.value(kills).toInt();
    options.seed = seedValue;
    options.program = QCoreApplication::applicationFilePath();
    options.confirmEarly = parser.isSet(confirmEarly);
    options.secondDescriptor = parser.isSet(secondDescriptor);
    options.rekey = parser.isSet(rekey);
    options.restore = parser.isSet(restore);
    QTemporaryDir folder;
    options.file = parser.isSet(file) ? parser.value(file) : databasePath(folder.path());
    const int code = runLoop(options);
    // A real failure keeps its file for a look at what went wrong; the loss that --confirm-early
    // brings about on purpose does not.
    if (code != 0 && !parser.isSet(file) && !options.confirmEarly && !options.secondDescriptor) {
        folder.setAutoRemove(false);
        std::printf("The file is kept: %s\n", qPrintable(options.file));
    }
    return code;
}
