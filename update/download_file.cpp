#include "download_file.h"

#include "internet_transfer.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

namespace halvo::Puiblic_Module {

namespace {

// Writes exactly `bytes` to `targetPath` under a temporary name and gives it the name only once
// all of it is written.
Status writeWhole(const QString& targetPath, const QByteArray& bytes)
{
    QSaveFile file(targetPath);
    if (!file.open(QIODevice::WriteOnly))
        return Error{targetPath + QStringLiteral(": ") + file.errorString()};
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return Error{targetPath + QStringLiteral(": ") + file.errorString()};
    }
    QCoreApplication::processEvents();
    if (!file.commit())
        return Error{targetPath + QStringLiteral(": ") + file.errorString()};
    QCoreApplication::processEvents();
    return {};
}

} // namespace

QString downloadFileName(const QString& url)
{
    return url.section(QLatin1Char('/'), -1);
}

Status DownloadFile(InternetTransfer& Inet1, const QString& url, const QString& targetFolder)
{
    const QString name = downloadFileName(url);
    if (name.isEmpty())
        return Error{url + QStringLiteral(": the address names no file")};
    return DownloadFileAs(Inet1, url, targetFolder + name);
}

Status DownloadFileAs(InternetTransfer& Inet1, const QString& url, const QString& targetPath)
{
    Result<QByteArray> body = Inet1.OpenURL(url);
    if (!body)
        return body.error();
    return writeWhole(targetPath, body.value());
}

SignedFile FetchSignedFile(InternetTransfer& Inet1, const QString& url,
                           const UpdateSignature::Key& key)
{
    // The file comes first: when it is not on the server at all, that is what the user is told,
    // not that its signature is missing.
    const Result<QByteArray> body = Inet1.OpenURL(url);
    if (!body)
        return {SignedDownload::NotDownloaded, {}, {}};
    const Result<QByteArray> signature = Inet1.OpenURL(UpdateSignature::pathFor(url));
    if (!signature)
        return {SignedDownload::SignatureNotDownloaded, {}, {}};
    if (!UpdateSignature::checks(body.value(), signature.value(), key))
        return {SignedDownload::SignatureMismatch, {}, {}};
    return {SignedDownload::Kept, body.value(), signature.value()};
}

Status KeepSignedFile(const QString& targetPath, const QByteArray& content,
                      const QByteArray& signature)
{
    // A signature left without its file checks against nothing and is removed.
    const QString signaturePath = UpdateSignature::pathFor(targetPath);
    if (const Status written = writeWhole(signaturePath, signature); !written)
        return written;
    if (const Status written = writeWhole(targetPath, content); !written) {
        QFile::remove(signaturePath);
        return written;
    }
    return {};
}

SignedDownload DownloadSignedFileAs(InternetTransfer& Inet1, const QString& url,
                                    const QString& targetPath, const UpdateSignature::Key& key,
                                    const UpdateManifest::File& listed)
{
    const SignedFile file = FetchSignedFile(Inet1, url, key);
    if (file.outcome != SignedDownload::Kept)
        return file.outcome;
    // Every file of the maker's carries a good signature; only the manifest says which file of
    // which release this one is.
    if (!listed.describes(file.content))
        return SignedDownload::NotAsListed;
    if (!KeepSignedFile(targetPath, file.content, file.signature))
        return SignedDownload::NotDownloaded;
    return SignedDownload::Kept;
}

} // namespace halvo::Puiblic_Module
