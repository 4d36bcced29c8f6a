#include "update_window.h"

#include "download_file.h"
#include "internet_transfer.h"
#include "update_server.h"

#include "hyperlink/vey_hyperlink_label.h"
#include "platform/program_files.h"
#include "platform/prompts.h"
#include "platform/twips.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

namespace halvo {

namespace {

const QString UpdateFolder = QStringLiteral("/HALVOUpdate/");
// The names of the program update and of the help file on the server, as the manifest lists them.
const QString ProgramFileName = QStringLiteral("HALVOUpdate.exe");
const QString HelpServerName = QStringLiteral("HALVOHELP.HLP");
const QString HelpBackupName = QStringLiteral("HALVOHELP.bak");

const QString NetworkMessage = QStringLiteral("Please, check your network connection.");

using Puiblic_Module::SignedDownload;
using Puiblic_Module::SignedFile;

// Why a release's manifest was refused, as the status says it; nothing of the release is then
// downloaded.
QString manifestRefused(SignedDownload outcome)
{
    const QString notDownloaded = QStringLiteral("No update was downloaded: ");
    const QString manifest = QStringLiteral("\"") + UpdateManifest::FileName + QStringLiteral("\"");
    switch (outcome) {
    case SignedDownload::SignatureNotDownloaded:
        return notDownloaded + QStringLiteral("the signature of ") + manifest
               + QStringLiteral(" could not be downloaded.");
    case SignedDownload::SignatureMismatch:
        return notDownloaded + manifest
               + QStringLiteral(" does not carry a valid signature from Corvane Software.");
    default:
        return notDownloaded + manifest + QStringLiteral(" does not describe a release.");
    }
}

// What became of one download, as a sentence of the status; empty when it was kept. `what` is
// "application update" or "help file update", `file` the name it has in the program folder.
QString downloadSentence(SignedDownload outcome, const QString& what, const QString& file)
{
    const QString notKept = QStringLiteral("The ") + what + QStringLiteral(" was not kept: ");
    switch (outcome) {
    case SignedDownload::Kept:
    case SignedDownload::NotInRelease:
        return {};
    case SignedDownload::NotDownloaded:
        return what.left(1).toUpper() + what.mid(1) + QStringLiteral(" could not be downloaded.");
    case SignedDownload::SignatureNotDownloaded:
        return notKept + QStringLiteral("the signature of \"") + file
               + QStringLiteral("\" could not be downloaded.");
    case SignedDownload::SignatureMismatch:
        return notKept + QStringLiteral("\"") + file
               + QStringLiteral("\" does not carry a valid signature from Corvane Software.");
    case SignedDownload::NotAsListed:
        return notKept + QStringLiteral("\"") + file
               + QStringLiteral("\" does not match its entry in \"") + UpdateManifest::FileName
               + QStringLiteral("\".");
    }
    return {};
}

} // namespace

const QString frmUpdate::Caption = QStringLiteral("HALVO Update");

frmUpdate::frmUpdate(const QString& programFolder, const QString& programVersion, QWidget* parent,
                     const UpdateSignature::Key& updateKey)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , folder(programFolder)
    , localVersion(programVersion)
    , key(updateKey)
{
    setObjectName(QStringLiteral("frmUpdate"));
    setWindowTitle(Caption);
    Inet1 = new InternetTransfer(this);
    Inet1->setObjectName(QStringLiteral("Inet1"));

    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setFrameShadow(QFrame::Sunken);

    lblMessage = new QLabel(QStringLiteral("Status..."), Shape1);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setWordWrap(true);
    lblMessage->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    Close = new VeyHyperLinkLabel(QStringLiteral("Close"), this);
    Close->SetCaption(QStringLiteral("Close"));
    Close->SetAutoSize(true);
    Close->setVisible(false);
    connect(Close, &VeyHyperLinkLabel::Click, this, &frmUpdate::Close_Click);

    auto* inShape = new QVBoxLayout(Shape1);
    inShape->addWidget(lblMessage);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Shape1, 1);
    layout->addWidget(Close, 0, Qt::AlignRight);

    setFixedSize(twipsToPixels(5400, this), twipsToPixels(1800, this));
    place();
}

frmUpdate::~frmUpdate() = default;

// A third of the free width in from the left of the screen, 800 twips down.
void frmUpdate::place()
{
    QScreen* where = parentWidget() ? parentWidget()->screen() : screen();
    const QRect area = where ? where->geometry() : QRect(0, 0, 1024, 768);
    move(area.left() + (area.width() - width()) / 3, area.top() + twipsToPixels(800, this));
}

void frmUpdate::setStatus(const QString& text)
{
    lblMessage->setText(text);
    lblMessage->repaint();
}

QString frmUpdate::url(const QString& path) const
{
    return UpdateServer::url(UpdateServer::host(folder), path);
}

void frmUpdate::Close_Click()
{
    hide();
}

bool frmUpdate::CheckForUpdates()
{
    if (checking) {
        raise();
        activateWindow();
        return false;
    }
    checking = true;
    // The waits run window events, and one of them may close the main window and this one with
    // it; from then on nothing here is touched.
    QPointer<frmUpdate> alive(this);

    Close->setVisible(false);
    show();
    raise();
    setStatus(QStringLiteral("Please, Wait... Checking for updates..."));

    const SignedFile manifest =
        Puiblic_Module::FetchSignedFile(*Inet1, url(UpdateFolder + UpdateManifest::FileName), key);
    if (!alive)
        return true;
    if (manifest.outcome == SignedDownload::NotDownloaded) {
        hide();
        checking = false;
        prompts().message(parentWidget(), NetworkMessage);
        if (alive)
            emit checkEnded();
        return true;
    }
    setStatus(QStringLiteral("Checking for current version..."));
    // Nothing of a release is downloaded before its manifest's signature has checked, and a
    // signed manifest that does not read as one is refused as a whole.
    const std::optional<UpdateManifest> release =
        manifest.outcome == SignedDownload::Kept ? UpdateManifest::parse(manifest.content)
                                                 : std::nullopt;
    if (release)
        offerRelease(*release, manifest);
    else
        setStatus(manifestRefused(manifest.outcome));
    if (!alive)
        return true;
    endCheck();
    return true;
}

// An older release on the server is never installed: the maker may have withdrawn a release by
// putting the one before it back, and anyone on the way to the server may serve an old signed
// release to bring its faults back. Either way there is nothing newer for this program, so the
// status says what it says when the server has this very version.
void frmUpdate::offerRelease(const UpdateManifest& release, const SignedFile& manifest)
{
    // The program's own version comes from the build and always reads; were it not to, nothing
    // could be told newer than it, and nothing is installed.
    const std::optional<ReleaseVersion> running =
        ReleaseVersion::parse(localVersion.trimmed().toLatin1());
    const UpdateManifest::File* program = release.file(ProgramFileName);
    // A program of no newer version would only be refused by the launcher.
    if (program && !(running && program->version > *running))
        program = nullptr;
    const UpdateManifest::File* help = release.file(HelpServerName);
    if (!running || !(release.version > *running) || (!program && !help)) {
        setStatus(QStringLiteral("Application is running latest version of ") + programTitle()
                  + QStringLiteral("..."));
        return;
    }
    setStatus(QStringLiteral("Updating application to version ") + release.version.text()
              + QStringLiteral("..."));
    downloadUpdate(program, help, manifest);
}

// The new program and then the help file, each only when the release names it. A download that
// fails does not stop the next one, and the status says which of them did not arrive, so that the
// user is never told of an update that is not there. A download whose signature does not check,
// or that is not the file the manifest lists under its name, is not kept: no file of Corvane
// Software's name that it did not make for this release is ever put to use.
void frmUpdate::downloadUpdate(const UpdateManifest::File* program,
                               const UpdateManifest::File* help, const SignedFile& manifest)
{
    QPointer<frmUpdate> alive(this);
    const SignedDownload programFile =
        program ? downloadProgram(*program, manifest) : SignedDownload::NotInRelease;
    if (!alive)
        return;
    const SignedDownload helpFile = help ? downloadHelp(*help) : SignedDownload::NotInRelease;
    if (!alive)
        return;
    showDownloaded(programFile, helpFile);
}

SignedDownload frmUpdate::downloadProgram(const UpdateManifest::File& listed,
                                          const SignedFile& manifest)
{
    QPointer<frmUpdate> alive(this);
    setStatus(QStringLiteral("Downloading application update..."));
    const QDir dir(folder);
    const QString update = dir.filePath(ProgramFileName);
    const QString keptManifest = dir.filePath(UpdateManifest::FileName);
    SignedDownload outcome = Puiblic_Module::DownloadSignedFileAs(
        *Inet1, url(UpdateFolder + listed.name), update, key, listed);
    if (!alive)
        return outcome;
    // The signed manifest goes beside the update, so that the launcher checks it again before it
    // puts the update in place; an update without it would only be refused there.
    if (outcome == SignedDownload::Kept
        && !Puiblic_Module::KeepSignedFile(keptManifest, manifest.content, manifest.signature)) {
        QFile::remove(update);
        QFile::remove(UpdateSignature::pathFor(update));
        outcome = SignedDownload::NotDownloaded;
    }
    // An update refused now leaves none behind from an earlier check either, so that the
    // launcher finds nothing the status has said was not kept.
    if (outcome == SignedDownload::SignatureNotDownloaded
        || outcome == SignedDownload::SignatureMismatch || outcome == SignedDownload::NotAsListed) {
        for (const QString& path : {update, keptManifest}) {
            QFile::remove(path);
            QFile::remove(UpdateSignature::pathFor(path));
        }
    }
    return outcome;
}

// The help file keeps the one spelling of its name that the help window reads, whatever its name
// on the server: on a file system that tells letter case apart, the server's spelling would be a
// second file that nothing reads. The old one is kept as "HALVOHELP.bak" unless a file of that
// name is there already (then the move fails and the old one is simply replaced); if the new one
// is not kept, the old one is put back, so that the program is never left without its help.
SignedDownload frmUpdate::downloadHelp(const UpdateManifest::File& listed)
{
    const QString help = helpFilePath(folder);
    const QString backup = QDir(folder).filePath(HelpBackupName);
    const bool movedAside = QFileInfo::exists(help) && QFile::rename(help, backup);
    setStatus(QStringLiteral("Downloading help file update..."));
    const SignedDownload outcome = Puiblic_Module::DownloadSignedFileAs(
        *Inet1, url(UpdateFolder + listed.name), help, key, listed);
    if (outcome != SignedDownload::Kept && movedAside)
        QFile::rename(backup, help);
    return outcome;
}

void frmUpdate::showDownloaded(SignedDownload program, SignedDownload help)
{
    using enum SignedDownload;
    // What the release does not bring was not awaited; it spoils nothing of a complete download.
    if ((program == Kept || program == NotInRelease) && (help == Kept || help == NotInRelease)) {
        setStatus(QStringLiteral(
            "Download complete... Restart application for updates to take affect."));
        return;
    }
    if (program == NotDownloaded && help == NotDownloaded) {
        setStatus(QStringLiteral("Application update and help file update could not be "
                                 "downloaded. Please, check your network connection."));
        return;
    }
    // One sentence for each download that was not kept, then what the user can do about it.
    QStringList sentences;
    for (const QString& sentence :
         {downloadSentence(program, QStringLiteral("application update"), ProgramFileName),
          downloadSentence(help, QStringLiteral("help file update"), HelpFileName)})
        if (!sentence.isEmpty())
            sentences << sentence;
    if (program == Kept)
        sentences << QStringLiteral("Restart application for the application update to take "
                                    "effect.");
    else if (program == NotDownloaded || help == NotDownloaded)
        sentences << QStringLiteral("Please, check your network connection.");
    setStatus(sentences.join(QLatin1Char(' ')));
}

void frmUpdate::endCheck()
{
    Close->setVisible(true);
    checking = false;
    emit checkEnded();
}

} // namespace halvo
