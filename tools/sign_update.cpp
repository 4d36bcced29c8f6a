// halvo_sign_update: signs a release for the update server.
//
//     halvo_sign_update <secret-key-file> <version> <file>...
//
// writes, beside the files (which are served from one folder, so they are in one folder here):
//
//     <file>.sig        the detached Ed25519 signature of each file (64 bytes)
//     manifest.txt      the release's manifest: its version, and each file's name, version, size
//                       and SHA-256 (update/update_manifest.h); every file is of the release's
//                       version
//     manifest.txt.sig  the manifest's signature
//     version.txt       the version alone, which the programs from before the manifest read
//
// The secret key file holds libsodium's 64-byte secret key and is kept by the maker, never in the
// source tree. A key whose signatures the program would refuse (not the secret half of its
// built-in update key) signs nothing, so that a release is never published with a signature no
// installation accepts; nor is anything written when a file or the version would not make a
// manifest the program reads.

#include "update/update_manifest.h"
#include "update/update_signature.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <cstdio>
#include <optional>
#include <sodium.h>

using halvo::ReleaseVersion;
using halvo::UpdateManifest;
using halvo::UpdateSignature;

namespace {

const QString VersionFileName = QStringLiteral("version.txt");

std::optional<QByteArray> contentOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

int fail(const QString& text)
{
    std::fprintf(stderr, "halvo_sign_update: %s\n", qPrintable(text));
    return 1;
}

QByteArray signature(const QByteArray& content, const QByteArray& secret)
{
    QByteArray signature(crypto_sign_BYTES, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                         reinterpret_cast<const unsigned char*>(content.constData()),
                         static_cast<unsigned long long>(content.size()),
                         reinterpret_cast<const unsigned char*>(secret.constData()));
    return signature;
}

struct Output {
    QString path;
    QByteArray content;
};

// One file of the release, read; its name is the one it is served under.
struct ReleaseFile {
    QString name;
    QByteArray content;
};

// The files named on the command line, or why they make no release.
std::optional<QString> readFiles(const QStringList& paths, QList<ReleaseFile>& files,
                                 QString& folder)
{
    QSet<QString> names;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        const QString name = info.fileName();
        if (!UpdateManifest::isFileName(name))
            return QStringLiteral("\"%1\": a release's file is named with letters, digits, \".\", "
                                  "\"_\" and \"-\", not starting with \".\".")
                .arg(path);
        if (name.compare(UpdateManifest::FileName, Qt::CaseInsensitive) == 0
            || name.compare(VersionFileName, Qt::CaseInsensitive) == 0)
            return QStringLiteral("\"%1\": this name is the release's own.").arg(path);
        // One name is one file on the server and in a program folder, whatever its letter case.
        if (names.contains(name.toLower()))
            return QStringLiteral("\"%1\": a file of that name is in the release already.")
                .arg(path);
        names.insert(name.toLower());
        const QString in = info.absoluteDir().canonicalPath();
        if (folder.isEmpty())
            folder = in;
        else if (in != folder)
            return QStringLiteral("\"%1\" is not in \"%2\": a release's files are served from one "
                                  "folder.")
                .arg(path, folder);
        const std::optional<QByteArray> content = contentOf(path);
        if (!content)
            return QStringLiteral("\"%1\" could not be read.").arg(path);
        files.append({name, *content});
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 4)
        return fail(
            QStringLiteral("usage: halvo_sign_update <secret-key-file> <version> <file>..."));
    if (sodium_init() < 0)
        return fail(QStringLiteral("libsodium could not be started."));
    const QString keyPath = QString::fromLocal8Bit(argv[1]);
    const QString versionText = QString::fromLocal8Bit(argv[2]);
    QStringList paths;
    for (int i = 3; i < argc; ++i)
        paths << QString::fromLocal8Bit(argv[i]);

    const std::optional<ReleaseVersion> version = ReleaseVersion::parse(versionText.toLatin1());
    if (!version)
        return fail(QStringLiteral("\"%1\" is not a version: major.minor.revision, such as 1.0.9, "
                                   "each without leading zeros.")
                        .arg(versionText));
    std::optional<QByteArray> secret = contentOf(keyPath);
    if (!secret)
        return fail(QStringLiteral("\"%1\" could not be read.").arg(keyPath));
    if (secret->size() != qsizetype(crypto_sign_SECRETKEYBYTES))
        return fail(QStringLiteral("\"%1\" is not a secret key (%2 bytes, not %3).")
                        .arg(keyPath)
                        .arg(secret->size())
                        .arg(crypto_sign_SECRETKEYBYTES));
    QList<ReleaseFile> files;
    QString folder;
    if (const std::optional<QString> refused = readFiles(paths, files, folder))
        return fail(*refused);

    // Everything is signed in memory first: nothing is written unless all of it is.
    UpdateManifest manifest;
    manifest.version = *version;
    QList<Output> outputs;
    const QDir dir(folder);
    for (const ReleaseFile& file : files) {
        manifest.files.append(UpdateManifest::File::of(file.name, *version, file.content));
        outputs.append({UpdateSignature::pathFor(dir.filePath(file.name)),
                        signature(file.content, *secret)});
    }
    const QByteArray text = manifest.text();
    if (!UpdateManifest::parse(text))
        return fail(QStringLiteral("the manifest would be larger than %1 bytes.")
                        .arg(UpdateManifest::MaxSize));
    const QByteArray manifestSignature = signature(text, *secret);
    sodium_memzero(secret->data(), static_cast<size_t>(secret->size()));
    if (!UpdateSignature::checks(text, manifestSignature, UpdateSignature::builtInKey()))
        return fail(QStringLiteral("\"%1\" is not the key HALVO checks its updates against; "
                                   "nothing was signed.")
                        .arg(keyPath));
    const QString manifestPath = dir.filePath(UpdateManifest::FileName);
    outputs.append({manifestPath, text});
    outputs.append({UpdateSignature::pathFor(manifestPath), manifestSignature});
    outputs.append({dir.filePath(VersionFileName), version->text().toLatin1() + '\n'});

    for (const Output& output : outputs) {
        QSaveFile out(output.path);
        if (!out.open(QIODevice::WriteOnly) || out.write(output.content) != output.content.size()
            || !out.commit())
            return fail(QStringLiteral("\"%1\" could not be written (%2).")
                            .arg(output.path, out.errorString()));
        std::printf("%s\n", qPrintable(output.path));
    }
    return 0;
}
