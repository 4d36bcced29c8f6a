#pragma once
// Puts a downloaded new main program in place. The update service leaves it in the program folder
// as "HALVOUpdate.exe"; it becomes the main program "halvo", executable.
//
// The replacement never leaves the folder without a main program: the old one is moved aside
// first, the update is moved in, and only then is the old one removed. When a step fails, what was
// done is undone and the old program stands where it stood.

#include "core/result.h"

#include <QString>

namespace halvo {

class ProgramReplacement {
public:
    static const QString UpdateFileName;  // "HALVOUpdate.exe", exactly this letter case
    static const QString ProgramFileName; // "halvo"
    static const QString AsideFileName;   // "halvo.old", the old program while it is replaced

    explicit ProgramReplacement(const QString& programFolder);

    QString updatePath() const;
    QString programPath() const;
    QString asidePath() const;

    // Whether the folder holds a file named exactly "HALVOUpdate.exe".
    bool updateWaiting() const;
    // True when the update was put in place, false when there was none. A failure's description
    // is the message for the user and says what became of the old program.
    Result<bool> apply() const;

private:
    QString folder;
};

} // namespace halvo
