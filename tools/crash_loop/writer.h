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
};

// Writes until killed; returns only on a failure (the exit code).
int runWriter(const WriterOptions& options);

} // namespace halvo::crashloop
