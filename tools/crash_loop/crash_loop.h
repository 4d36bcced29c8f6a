#pragma once
// The loop: starts the writer, kills it at a random moment, and checks the file it leaves.

#include <QString>
#include <cstdint>

namespace halvo::crashloop {

struct LoopOptions {
    int kills = 200;
    std::uint64_t seed = 0;
    QString file;    // made by the loop; it must not exist yet
    QString program; // this program, run again as the writer
    bool confirmEarly = false;
    bool secondDescriptor = false; // the writer's fault to catch (WriterOptions)
    bool rekey = false;            // the writer keys the file anew now and then (WriterOptions)
    bool restore = false;          // the writer restores its own backup now and then (WriterOptions)
};

// The exit code: 0 when every confirmed change survived every kill and the file stayed whole.
int runLoop(const LoopOptions& options);

} // namespace halvo::crashloop
