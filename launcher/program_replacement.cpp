#include "program_replacement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

namespace halvo {

namespace {

const QString NotInstalled = QStringLiteral("The application update could not be installed: ");

QString quoted(const QString& name)
{
    return QStringLiteral("\"") + name + QStringLiteral("\"");
}

// What the failed step reports, as the end of a sentence.
QString because(const QFile& file)
{
    return QStringLiteral(" (") + file.errorString() + QStringLiteral(").");
}

// The whole content of a file; none when it is not there or cannot be read.
std::optional<QByteArray> contentOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

} // namespace

const QString ProgramReplacement::UpdateFileName = QStringLiteral("HALVOUpdate.exe");
const QString ProgramReplacement::ProgramFileName = QStringLiteral("halvo");
const QString ProgramReplacement::AsideFileName = QStringLiteral("halvo.old");
const QString ProgramReplacement::RecordFileName = QStringLiteral("halvo.manifest");

ReleaseVersion ProgramReplacement::builtVersion()
{
    return {HALVO_PROGRAM_VERSION_MAJOR, HALVO_PROGRAM_VERSION_MINOR,
            HALVO_PROGRAM_VERSION_REVISION};
}

ProgramReplacement::ProgramReplacement(const QString& programFolder,
                                       const UpdateSignature::Key& updateKey,
                                       const ReleaseVersion& installedVersion)
    : folder(programFolder)
    , key(updateKey)
    , installed(installedVersion)
{
}

QString ProgramReplacement::updatePath() const { return QDir(folder).filePath(UpdateFileName); }
QString ProgramReplacement::programPath() const { return QDir(folder).filePath(ProgramFileName); }
QString ProgramReplacement::asidePath() const { return QDir(folder).filePath(AsideFileName); }
QString ProgramReplacement::signaturePath() const
{
    return UpdateSignature::pathFor(updatePath());
}
QString ProgramReplacement::manifestPath() const
{
    return QDir(folder).filePath(UpdateManifest::FileName);
}
QString ProgramReplacement::recordPath() const { return QDir(folder).filePath(RecordFileName); }

// The folder's own listing gives each name with its letter case as stored, so that
// "halvoupdate.exe" is never taken for the update, whatever the file system.
bool ProgramReplacement::updateWaiting() const
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden).contains(UpdateFileName);
}

ReleaseVersion ProgramReplacement::programVersion() const
{
    const std::optional<QByteArray> record = contentOf(recordPath());
    const std::optional<QByteArray> signature = contentOf(UpdateSignature::pathFor(recordPath()));
    if (!record || !signature || !UpdateSignature::checks(*record, *signature, key))
        return installed;
    const std::optional<UpdateManifest> manifest = UpdateManifest::parse(*record);
    const UpdateManifest::File* standing = manifest ? manifest->file(UpdateFileName) : nullptr;
    const std::optional<QByteArray> program = standing ? contentOf(programPath()) : std::nullopt;
    if (!program || !standing->describes(*program))
        return installed;
    return standing->version;
}

std::optional<QString> ProgramReplacement::refusal() const
{
    const std::optional<QByteArray> update = contentOf(updatePath());
    if (!update)
        return quoted(UpdateFileName) + QStringLiteral(" could not be read.");
    const std::optional<QByteArray> signature = contentOf(signaturePath());
    if (!signature)
        return QStringLiteral("its signature ") + quoted(UpdateSignature::pathFor(UpdateFileName))
               + QStringLiteral(" is missing.");
    if (!UpdateSignature::checks(*update, *signature, key))
        return quoted(UpdateFileName)
               + QStringLiteral(" does not carry a valid signature from Corvane Software.");

    const QString manifestName = quoted(UpdateManifest::FileName);
    const std::optional<QByteArray> text = contentOf(manifestPath());
    if (!text)
        return QStringLiteral("its manifest ") + manifestName + QStringLiteral(" is missing.");
    const std::optional<QByteArray> manifestSignature =
        contentOf(UpdateSignature::pathFor(manifestPath()));
    if (!manifestSignature)
        return QStringLiteral("the signature of its manifest, ")
               + quoted(UpdateSignature::pathFor(UpdateManifest::FileName))
               + QStringLiteral(", is missing.");
    if (!UpdateSignature::checks(*text, *manifestSignature, key))
        return manifestName
               + QStringLiteral(" does not carry a valid signature from Corvane Software.");
    const std::optional<UpdateManifest> manifest = UpdateManifest::parse(*text);
    if (!manifest)
        return manifestName + QStringLiteral(" does not describe a release.");
    const UpdateManifest::File* listed = manifest->file(UpdateFileName);
    if (!listed)
        return manifestName + QStringLiteral(" does not name ") + quoted(UpdateFileName)
               + QStringLiteral(".");
    if (!listed->describes(*update))
        return quoted(UpdateFileName) + QStringLiteral(" does not match its entry in ")
               + manifestName + QStringLiteral(".");
    const ReleaseVersion current = programVersion();
    if (!(listed->version > current))
        return quoted(UpdateFileName) + QStringLiteral(" is version ") + listed->version.text()
               + QStringLiteral(", not newer than the current version ") + current.text()
               + QStringLiteral(".");
    return std::nullopt;
}

Status ProgramReplacement::checkUpdate() const
{
    const std::optional<QString> why = refusal();
    if (!why)
        return {};
    QFile file(updatePath());
    const bool removed = file.remove();
    QFile::remove(signaturePath());
    QFile::remove(manifestPath());
    QFile::remove(UpdateSignature::pathFor(manifestPath()));
    if (!removed)
        return Error{NotInstalled + *why + QStringLiteral(" It could not be removed")
                     + because(file) + QStringLiteral(" The current version is kept.")};
    return Error{NotInstalled + *why
                 + QStringLiteral(" It has been removed; the current version is kept.")};
}

// The manifest that vouched for the program now standing is kept under a name of its own, so
// that the next download's manifest never takes its place; the one of an earlier update goes
// first. Should it not be kept, the program's version is taken to be the launcher's build's.
void ProgramReplacement::keepRecord() const
{
    const QString recordSignature = UpdateSignature::pathFor(recordPath());
    QFile::remove(recordSignature);
    QFile::remove(recordPath());
    QFile::rename(UpdateSignature::pathFor(manifestPath()), recordSignature);
    QFile::rename(manifestPath(), recordPath());
}

Result<bool> ProgramReplacement::apply() const
{
    if (!updateWaiting())
        return false;
    if (const Status release = checkUpdate(); !release)
        return release.error();

    // An old program left aside by a replacement that was cut short goes first; it is never the
    // program that runs.
    QFile aside(asidePath());
    if (QFileInfo(asidePath()).exists() && !aside.remove())
        return Error{NotInstalled + QStringLiteral("\"") + AsideFileName
                     + QStringLiteral("\" could not be removed") + because(aside)
                     + QStringLiteral(" The current version is kept.")};

    QFile current(programPath());
    const bool hadProgram = current.exists();
    if (hadProgram && !current.rename(asidePath()))
        return Error{NotInstalled + QStringLiteral("the current program could not be moved aside")
                     + because(current) + QStringLiteral(" The current version is kept.")};

    QFile update(updatePath());
    const bool movedIn = update.rename(programPath());
    const bool executable =
        movedIn
        && update.setPermissions(update.permissions() | QFile::ExeOwner | QFile::ExeUser
                                 | QFile::ExeGroup | QFile::ExeOther | QFile::ReadOwner
                                 | QFile::ReadUser | QFile::ReadGroup | QFile::ReadOther);
    if (!executable) {
        const QString why = because(update);
        // A new program that cannot run goes back to the update's name, so that the old one can
        // stand in its place again.
        if (movedIn)
            update.rename(updatePath());
        if (!hadProgram)
            return Error{NotInstalled + QStringLiteral("it could not be put in place") + why};
        QFile old(asidePath());
        if (!old.rename(programPath()))
            return Error{NotInstalled + QStringLiteral("it could not be put in place") + why
                         + QStringLiteral(" The current version could not be put back either; it "
                                          "is kept in the program folder as \"")
                         + AsideFileName + QStringLiteral("\".")};
        return Error{NotInstalled + QStringLiteral("it could not be put in place") + why
                     + QStringLiteral(" The current version has been put back.")};
    }

    // The new program stands under its name; the old one is no longer needed. Should it stay,
    // the next replacement removes it first.
    if (hadProgram)
        QFile::remove(asidePath());
    QFile::remove(signaturePath());
    keepRecord();
    return true;
}

} // namespace halvo
