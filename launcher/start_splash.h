#pragma once
// frmStartSplash: the launcher's start-up panel. Everything the launcher does happens while the
// panel is loaded (Form_Load): it puts a waiting update in place, starts the main program and
// ends, so the panel itself is never displayed.

#include "launcher/program_replacement.h"
#include "update/update_manifest.h"
#include "update/update_signature.h"

#include <QString>
#include <QWidget>
#include <functional>

class QFrame;
class QLabel;
class QTimer;

namespace halvo {

class frmStartSplash : public QWidget {
    Q_OBJECT
public:
    // Starts a program without waiting for it; false when it could not be started.
    using Starter = std::function<bool(const QString& program, const QString& folder)>;

    // `programFolder` holds the launcher and the main program; `start` defaults to starting a
    // detached process; a waiting update is put in place only when its signature and its
    // release's manifest check against `updateKey` and it is newer than the program, which was
    // of `installedVersion` when it was installed with the launcher (program_replacement.h).
    explicit frmStartSplash(const QString& programFolder, Starter start = {},
                            QWidget* parent = nullptr,
                            const UpdateSignature::Key& updateKey = UpdateSignature::builtInKey(),
                            const ReleaseVersion& installedVersion =
                                ProgramReplacement::builtVersion());
    ~frmStartSplash() override;

    // A system install's files are the distribution's to replace: there the launcher only
    // starts the program and leaves any file waiting in its folder alone.
    void setReplacesProgramFiles(bool replacesFiles) { replaces = replacesFiles; }

    // "Version " + the launcher's own major "." minor "." revision.
    static QString versionText();

    QFrame* fraMainFrame = nullptr;
    QLabel* picLogo = nullptr;
    QLabel* lblProductName = nullptr;
    QLabel* lblCompanyProduct = nullptr;
    QLabel* lblPlatform = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblWarning = nullptr;
    QLabel* lblCompany = nullptr;
    QLabel* lblCopyright = nullptr;
    QTimer* Timer1 = nullptr; // laid out with the panel; it runs nothing

    // Puts a waiting update in place and starts the main program; a failure of either is told
    // in a message. True when the main program was started.
    bool Form_Load();

private:
    QString folder;
    Starter start;
    UpdateSignature::Key key;
    ReleaseVersion installed;
    bool replaces = true;

    QLabel* addLabel(const char* name, const QString& text);
};

} // namespace halvo
