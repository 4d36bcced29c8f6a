#pragma once
// Puts a downloaded new main program in place. The update service leaves it in the program folder
// as "HALVOUpdate.exe"; it becomes the main program "halvo", executable.
//
// The replacement never leaves the folder without a main program: the old one is moved aside
// first, the update is moved in, and only then is the old one removed. When a step fails, what was
// done is undone and the old program stands where it stood.
//
// Only an update signed by Corvane Software is put in place: its signature, "HALVOUpdate.exe.sig"
// beside it, must check against the update key. An update that does not pass is removed with its
// signature, so that it is not tried again at every start, and the old program stays.

#include "core/result.h"
#include "update/update_signature.h"

#include <QString>

namespace halvo {

class ProgramReplacement {
public:
    static const QString UpdateFileName;  // "HALVOUpdate.exe", exactly this letter case
    static const QString ProgramFileName; // "halvo"
    static const QString AsideFileName;   // "halvo.old", the old program while it is replaced

    // `updateKey` is the public key the update's signature is checked against.
    explicit ProgramReplacement(
        const QString& programFolder,
        const UpdateSignature::Key& updateKey = UpdateSignature::builtInKey());

    QString updatePath() const;
    QString signaturePath() const; // the update's signature, "HALVOUpdate.exe.sig"
    QString programPath() const;
    QString asidePath() const;

    // Whether the folder holds a file named exactly "HALVOUpdate.exe".
    bool updateWaiting() const;
    // True when the update was put in place, false when there was none. A failure's description
    // is the message for the user and says what became of the old program.
    Result<bool> apply() const;

private:
    QString folder;
    UpdateSignature::Key key;

    // Succeeds when the update's signature checks; otherwise the update and its signature are
    // removed and the failure says why.
    Status checkSignature() const;
};

} // namespace halvo
