#pragma once
// Puts a downloaded new main program in place. The update service leaves it in the program folder
// as "HALVOUpdate.exe"; it becomes the main program "halvo", executable.
//
// The replacement never leaves the folder without a main program: the old one is moved aside
// first, the update is moved in, and only then is the old one removed. When a step fails, what was
// done is undone and the old program stands where it stood.
//
// Only an update of a newer release signed by Corvane Software is put in place: its signature,
// "HALVOUpdate.exe.sig" beside it, must check against the update key, and so must the release's
// manifest beside it, "manifest.txt" with "manifest.txt.sig" (update_manifest.h), which must list
// "HALVOUpdate.exe" with exactly its size and SHA-256, at a version newer than the program's. A
// signature covers only a file's bytes: the manifest says which release and which file of it they
// are, so that neither an older release nor another file of a release (the help file under the
// program's name) takes the program's place. An update that does not pass is removed with its
// signature and the manifest, so that it is not tried again at every start, and the old program
// stays.
//
// The program's version: the launcher is installed with the program and never replaced by an
// update, so the program's version at the launcher's build holds only until an update is put in
// place. The manifest that vouched for that update is then kept as "halvo.manifest" (with
// "halvo.manifest.sig"), and its version of "HALVOUpdate.exe" is the program's for as long as the
// program is exactly the file it lists; a program installed anew over it is of the launcher's own
// build again.

#include "core/result.h"
#include "update/update_manifest.h"
#include "update/update_signature.h"

#include <QString>
#include <optional>

namespace halvo {

class ProgramReplacement {
public:
    static const QString UpdateFileName;  // "HALVOUpdate.exe", exactly this letter case
    static const QString ProgramFileName; // "halvo"
    static const QString AsideFileName;   // "halvo.old", the old program while it is replaced
    static const QString RecordFileName;  // "halvo.manifest", the standing program's manifest

    // The version the program had when this launcher was built, the one installed with it.
    static ReleaseVersion builtVersion();

    // `updateKey` is the public key the update's and the manifest's signatures are checked
    // against; `installedVersion` is the version of the program installed with the launcher.
    explicit ProgramReplacement(
        const QString& programFolder,
        const UpdateSignature::Key& updateKey = UpdateSignature::builtInKey(),
        const ReleaseVersion& installedVersion = builtVersion());

    QString updatePath() const;
    QString signaturePath() const; // the update's signature, "HALVOUpdate.exe.sig"
    QString manifestPath() const;  // the manifest of the update's release, "manifest.txt"
    QString programPath() const;
    QString asidePath() const;
    QString recordPath() const;

    // Whether the folder holds a file named exactly "HALVOUpdate.exe".
    bool updateWaiting() const;
    // The version of the program standing as "halvo".
    ReleaseVersion programVersion() const;
    // True when the update was put in place, false when there was none. A failure's description
    // is the message for the user and says what became of the old program.
    Result<bool> apply() const;

private:
    QString folder;
    UpdateSignature::Key key;
    ReleaseVersion installed;

    // Succeeds when the update passes; otherwise the update, its signature and its manifest are
    // removed and the failure says why.
    Status checkUpdate() const;
    // Why the update may not be put in place, as the end of the message; none when it may.
    std::optional<QString> refusal() const;
    void keepRecord() const;
};

} // namespace halvo
