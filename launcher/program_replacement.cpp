#include "program_replacement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

namespace halvo {

namespace {

const QString NotInstalled = QStringLiteral("The application update could not be installed: ");

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

ProgramReplacement::ProgramReplacement(const QString& programFolder,
                                       const UpdateSignature::Key& updateKey)
    : folder(programFolder)
    , key(updateKey)
{
}

QString ProgramReplacement::updatePath() const { return QDir(folder).filePath(UpdateFileName); }
QString ProgramReplacement::programPath() const { return QDir(folder).filePath(ProgramFileName); }
QString ProgramReplacement::asidePath() const { return QDir(folder).filePath(AsideFileName); }
QString ProgramReplacement::signaturePath() const
{
    return UpdateSignature::pathFor(updatePath());
}

// The folder's own listing gives each name with its letter case as stored, so that
// "halvoupdate.exe" is never taken for the update, whatever the file system.
bool ProgramReplacement::updateWaiting() const
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden).contains(UpdateFileName);
}

Status ProgramReplacement::checkSignature() const
{
    const std::optional<QByteArray> update = contentOf(updatePath());
    const std::optional<QByteArray> signature = contentOf(signaturePath());
    if (update && signature && UpdateSignature::checks(*update, *signature, key))
        return {};

    QString why;
    if (!update)
        why = QStringLiteral("\"") + UpdateFileName + QStringLiteral("\" could not be read.");
    else if (!signature)
        why = QStringLiteral("its signature \"") + UpdateSignature::pathFor(UpdateFileName)
              + QStringLiteral("\" is missing.");
    else
        why = QStringLiteral("\"") + UpdateFileName
              + QStringLiteral("\" does not carry a valid signature from Corvane Software.");
    QFile file(updatePath());
    const bool removed = file.remove();
    QFile::remove(signaturePath());
    if (!removed)
        return Error{NotInstalled + why + QStringLiteral(" It could not be removed") + because(file)
                     + QStringLiteral(" The current version is kept.")};
    return Error{NotInstalled + why
                 + QStringLiteral(" It has been removed; the current version is kept.")};
}

Result<bool> ProgramReplacement::apply() const
{
    if (!updateWaiting())
        return false;
    if (const Status signedUpdate = checkSignature(); !signedUpdate)
        return signedUpdate.error();

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
    return true;
}

} // namespace halvo
