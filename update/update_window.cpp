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

const QString VersionPath = QStringLiteral("/HALVOUpdate/version.txt");
const QString ProgramPath = QStringLiteral("/HALVOUpdate/HALVOUpdate.exe");
const QString HelpPath = QStringLiteral("/HALVOUpdate/HALVOHELP.HLP");
const QString ProgramFileName = QStringLiteral("HALVOUpdate.exe");
const QString VersionFileName = QStringLiteral("version.txt");
const QString HelpBackupName = QStringLiteral("HALVOHELP.bak");

const QString NetworkMessage = QStringLiteral("Please, check your network connection.");

// The first line of a text file without its line end; none when the file cannot be read or holds
// no line at all.
std::optional<QString> firstLine(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text) || file.atEnd())
        return std::nullopt;
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

using Puiblic_Module::SignedDownload;

// What became of one download, as a sentence of the status; empty when it was kept. `what` is
// "application update" or "help file update", `file` the name it has in the program folder.
QString downloadSentence(SignedDownload outcome, const QString& what, const QString& file)
{
    const QString notKept = QStringLiteral("The ") + what + QStringLiteral(" was not kept: ");
    switch (outcome) {
    case SignedDownload::Kept:
        return {};
    case SignedDownload::NotDownloaded:
        return what.left(1).toUpper() + what.mid(1) + QStringLiteral(" could not be downloaded.");
    case SignedDownload::SignatureNotDownloaded:
        return notKept + QStringLiteral("the signature of \"") + file
               + QStringLiteral("\" could not be downloaded.");
    case SignedDownload::SignatureMismatch:
        return notKept + QStringLiteral("\"") + file
               + QStringLiteral("\" does not carry a valid signature from Corvane Software.");
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

    const std::optional<QString> newest = serverVersion();
    if (!alive)
        return true;
    if (!newest) {
        hide();
        checking = false;
        prompts().message(parentWidget(), NetworkMessage);
        if (alive)
            emit checkEnded();
        return true;
    }

    if (newest->trimmed() == localVersion.trimmed()) {
        setStatus(QStringLiteral("Application is running latest version of ") + programTitle()
                  + QStringLiteral("..."));
    } else {
        setStatus(QStringLiteral("Updating application to version ") + *newest
                  + QStringLiteral("..."));
        downloadUpdate();
        if (!alive)
            return true;
    }
    endCheck();
    return true;
}

std::optional<QString> frmUpdate::serverVersion()
{
    QPointer<frmUpdate> alive(this);
    const QString versionFile = QDir(folder).filePath(VersionFileName);
    // The last check's file goes first, so that only this check's answer is ever read.
    if (QFileInfo::exists(versionFile) && !QFile::remove(versionFile))
        return std::nullopt;
    if (!Puiblic_Module::DownloadFile(*Inet1, url(VersionPath), folder + QLatin1Char('/')))
        return std::nullopt;
    if (!alive)
        return std::nullopt;
    setStatus(QStringLiteral("Checking for current version..."));
    return firstLine(versionFile);
}

// The new program and then the help file. A download that fails does not stop the next one, and
// the status says which of them did not arrive, so that the user is never told of an update that
// is not there. A download whose signature does not check is not kept: no file of Corvane
// Software's name that it did not make is ever put to use.
void frmUpdate::downloadUpdate()
{
    QPointer<frmUpdate> alive(this);
    setStatus(QStringLiteral("Downloading application update..."));
    const QString update = QDir(folder).filePath(ProgramFileName);
    const SignedDownload program =
        Puiblic_Module::DownloadSignedFileAs(*Inet1, url(ProgramPath), update, key);
    if (!alive)
        return;
    // An update refused now leaves none behind from an earlier check either, so that the
    // launcher finds nothing the status has said was not kept.
    if (program == SignedDownload::SignatureNotDownloaded
        || program == SignedDownload::SignatureMismatch) {
        QFile::remove(update);
        QFile::remove(UpdateSignature::pathFor(update));
    }

    // The help file keeps the one spelling of its name that the help window reads, whatever its
    // name on the server: on a file system that tells letter case apart, the server's spelling
    // would be a second file that nothing reads. The old one is kept as "HALVOHELP.bak" unless a
    // file of that name is there already (then the move fails and the old one is simply
    // replaced); if the new one is not kept, the old one is put back, so that the program is
    // never left without its help.
    const QString help = helpFilePath(folder);
    const QString backup = QDir(folder).filePath(HelpBackupName);
    const bool movedAside = QFileInfo::exists(help) && QFile::rename(help, backup);
    setStatus(QStringLiteral("Downloading help file update..."));
    const SignedDownload helpFile =
        Puiblic_Module::DownloadSignedFileAs(*Inet1, url(HelpPath), help, key);
    if (!alive)
        return;
    if (helpFile != SignedDownload::Kept && movedAside)
        QFile::rename(backup, help);
    showDownloaded(program, helpFile);
}

void frmUpdate::showDownloaded(SignedDownload program, SignedDownload help)
{
    using enum SignedDownload;
    if (program == Kept && help == Kept) {
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
