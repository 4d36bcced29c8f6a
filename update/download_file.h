#pragma once
// DownloadFile: one file of the update server into a folder, under the last element of its URL.

#include "core/result.h"
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
};

// The same for a signed file: its signature is fetched from `url` + ".sig" and checked against
// `key` before anything is written. Only a file whose signature checks is written to
// `targetPath`, and its signature beside it (UpdateSignature::pathFor); otherwise the files there
// stay as they were.
SignedDownload DownloadSignedFileAs(InternetTransfer& Inet1, const QString& url,
                                    const QString& targetPath, const UpdateSignature::Key& key);

} // namespace Puiblic_Module
} // namespace halvo
