#pragma once
// frmUpdate ("HALVO Update"): the check for a newer program on the update server, and the small
// status window that shows how far it has come. The check reads the release's manifest
// (update_manifest.h) and goes on only when its signature checks against the update key
// (update_signature.h). When the release is newer than the program, the files it names are
// downloaded: the new program into the program folder as "HALVOUpdate.exe", with the manifest
// beside it, where the launcher checks them again and puts the program in place at the next
// start, and the help file renewed beside it. Each is kept only when its own signature checks and
// its size and SHA-256 are the ones the manifest lists under its name.
//
// The window is not modal: while a download waits, window events run and the main window stays
// usable. A check started while one is still running is refused; the running one's window comes
// forward instead.

#include "update/download_file.h"
#include "update/update_signature.h"

#include <QString>
#include <QWidget>
#include <optional>

class QFrame;
class QLabel;
class VeyHyperLinkLabel;

namespace halvo {

class InternetTransfer;

class frmUpdate : public QWidget {
    Q_OBJECT
public:
    // `programVersion` is the program's own version text, major "." minor "." revision;
    // `updateKey` is the public key the downloads' signatures are checked against.
    frmUpdate(const QString& programFolder, const QString& programVersion,
              QWidget* parent = nullptr,
              const UpdateSignature::Key& updateKey = UpdateSignature::builtInKey());
    ~frmUpdate() override;

    static const QString Caption;

    QLabel* lblMessage = nullptr;
    VeyHyperLinkLabel* Close = nullptr;
    QFrame* Shape1 = nullptr;
    InternetTransfer* Inet1 = nullptr;

    // Runs the whole check and the downloads; returns when they are over. False when it was
    // refused because a check is running already.
    bool CheckForUpdates();
    bool isChecking() const { return checking; }

public slots:
    // Hides the window; it stays loaded and the next check shows it again.
    void Close_Click();

signals:
    // A check has ended, whatever its outcome.
    void checkEnded();

private:
    QString folder;
    QString localVersion;
    UpdateSignature::Key key;
    bool checking = false;

    void place();
    void setStatus(const QString& text);
    QString url(const QString& path) const;
    void offerRelease(const UpdateManifest& release, const Puiblic_Module::SignedFile& manifest);
    // `program` and `help` are the release's lines for them, null for what it does not bring.
    void downloadUpdate(const UpdateManifest::File* program, const UpdateManifest::File* help,
                        const Puiblic_Module::SignedFile& manifest);
    Puiblic_Module::SignedDownload downloadProgram(const UpdateManifest::File& listed,
                                                   const Puiblic_Module::SignedFile& manifest);
    Puiblic_Module::SignedDownload downloadHelp(const UpdateManifest::File& listed);
    void showDownloaded(Puiblic_Module::SignedDownload program,
                        Puiblic_Module::SignedDownload help);
    void endCheck();
};

} // namespace halvo
