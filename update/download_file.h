#pragma once
// DownloadFile: one file of the update server into a folder, under the last element of its URL.

#include "core/result.h"
#include "update/update_manifest.h"
#include "update/update_signature.h"

#include <QString>

namespace halvo {

class InternetTransfer;

namespace Puiblic_Module {

// The part of `url` after its last "/".
QString downloadFileName(const QString& url);

// Fetches `url` through Inet1 and writes exactly its bytes into `targetFolder` (which ends with
// a folder separator) + the URL's file name, replacing a file of that name.
Status DownloadFile(InternetTransfer& Inet1, const QString& url, const QString& targetFolder);

// The same into a file named by the caller, for a file whose local name is not its server name.
//
// The file is written beside its destination under a temporary name and takes the destination's
// name only once the whole body has arrived with a success status: a broken connection or an
// error page never leaves a cut-off or wrong file under the name, and a file already there stays
// as it was.
Status DownloadFileAs(InternetTransfer& Inet1, const QString& url, const QString& targetPath);

// How a signed download ended.
enum class SignedDownload {
    Kept,                   // the file and its signature are in place
    NotDownloaded,          // the file did not arrive or could not be written
    SignatureNotDownloaded, // the file arrived, its signature did not
    SignatureMismatch,      // the signature does not check against the key
    NotAsListed,            // its size or SHA-256 is not the one the release's manifest gives
    NotInRelease,           // the release does not bring it, so it was not asked for
};

// A signed file fetched into memory: its bytes and its signature when the signature checks
// (outcome Kept), otherwise how it failed.
struct SignedFile {
    SignedDownload outcome = SignedDownload::NotDownloaded;
    QByteArray content;
    QByteArray signature;
};

// Fetches `url` and its signature at `url` + ".sig" and checks the signature against `key`.
SignedFile FetchSignedFile(InternetTransfer& Inet1, const QString& url,
                           const UpdateSignature::Key& key);

// Writes `content` to `targetPath` and `signature` beside it (UpdateSignature::pathFor), each
// whole (as DownloadFileAs does) and the signature first, so that a failed write never costs the
// file already there; when the file cannot be written, the signature goes too.
Status KeepSignedFile(const QString& targetPath, const QByteArray& content,
                      const QByteArray& signature);

// The same for a signed file of a release: its signature is fetched from `url` + ".sig" and
// checked against `key`, and the file against `listed`, its line in the release's signed
// manifest, before anything is written. Only a file whose signature checks and whose size and
// SHA-256 are the listed ones is written to `targetPath`, and its signature beside it; otherwise
// the files there stay as they were.
SignedDownload DownloadSignedFileAs(InternetTransfer& Inet1, const QString& url,
                                    const QString& targetPath, const UpdateSignature::Key& key,
                                    const UpdateManifest::File& listed);

} // namespace Puiblic_Module
} // namespace halvo
