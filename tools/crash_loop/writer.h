#pragma once
// The writer that the loop kills: it enters ledger rows into the database file the way the
// windows do, through the program's own connection and record sets, and says on its output what
// it has committed (the protocol in ledger_log.h). Between units it runs the portfolio summary's
// tick, as the main window does every second while the windows save.

#include <QString>
#include <cstdint>

namespace halvo::crashloop {

struct WriterOptions {
    QString file;
    std::uint64_t seed = 0;
    qlonglong generation = 0; // makes this run's check numbers differ from every other run's
    // For proving that the loop sees a loss: every unit is held inside a longer one that is
    // committed only now and then, so "done" is printed for work that is not yet in the file.
    bool confirmEarly = false;
    // For proving that the loop sees the engine's locks dropped: after each summary tick the
    // writer reads the file's first bytes through a descriptor of its own, as the program once
    // did on every opening of a connection.
    bool secondDescriptor = false;
    // Now and then the writer keys the file anew, with the other of the two keys (rekeyKeys()),
    // as locking it with the password and changing the password do; a kill may land in the
    // middle, and the file must then open with one of the two.
    bool rekey = false;
    // Now and then the writer closes its windows and restores the file from a backup it has
    // just made of it, as a user restores the backup of a moment ago: the restored file holds
    // every confirmed change, and a kill in the middle must leave a file under the database's
    // name that holds them all too.
    bool restore = false;
};

// The fixed password and a raw key with its salt, as a password's key is written.
QStringList rekeyKeys();
// Lets every connection of the process open the file with whichever of the two keys opens it;
// false when neither does.
bool useKeyThatOpens(const QString& path);

// Writes until killed; returns only on a failure (the exit code).
int runWriter(const WriterOptions& options);

} // namespace halvo::crashloop
