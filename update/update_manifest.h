#pragma once
// The manifest of a release: one signed description of everything a release is, so that a file
// signed for one release is never taken for another release's, nor for another file of it. It is
// served beside the release's files as "manifest.txt", with its detached signature
// "manifest.txt.sig" (update_signature.h), and written with scripts/sign-update:
//
//     HALVO release 1.0.9
//     HALVOUpdate.exe 1.0.9 2512344 3f0c...e1 (64 hex digits)
//     HALVOHELP.HLP 1.0.9 88213 9a41...07
//
// The first line gives the release's version; each further line one file of it: its name on the
// server, its version, its size in bytes and its SHA-256. Fields are separated by one space and
// every line, the last one too, ends with a line feed alone. A version is major.minor.revision,
// each a whole number written without leading zeros; a size is a whole number of bytes likewise;
// the SHA-256 is 64 lowercase hexadecimal digits. A name is made of letters, digits, ".", "_" and
// "-", does not start with ".", and names one file only, whatever its letter case. No file is of a
// later version than its release. Anything else is no manifest: a text that breaks one of these
// rules is refused as a whole; none of it is read.

#include <QByteArray>
#include <QList>
#include <QString>
#include <compare>
#include <optional>

namespace halvo {

// A version of the program: major "." minor "." revision, compared as numbers.
struct ReleaseVersion {
    int major = 0;
    int minor = 0;
    int revision = 0;

    // "1.0.10" and the like; none for anything else ("1.0", "1.00.8", " 1.0.8", "1.0.8a").
    static std::optional<ReleaseVersion> parse(QByteArrayView text);
    QString text() const;

    friend auto operator<=>(const ReleaseVersion&, const ReleaseVersion&) = default;
};

class UpdateManifest {
public:
    static const QString FileName; // "manifest.txt", on the server and in the program folder
    static constexpr qsizetype MaxSize = 64 * 1024;

    struct File {
        QString name;
        ReleaseVersion version;
        qint64 size = 0;
        QByteArray sha256; // 32 bytes

        // A file of `content`, as the maker's tool describes it.
        static File of(const QString& name, const ReleaseVersion& version,
                       const QByteArray& content);
        // Whether `content` is exactly this file: its size and its SHA-256.
        bool describes(const QByteArray& content) const;
    };

    ReleaseVersion version;
    QList<File> files;

    // The manifest `text` is, or none when it breaks any rule of the form.
    static std::optional<UpdateManifest> parse(const QByteArray& text);
    // The manifest's text, in the form parse reads.
    QByteArray text() const;
    // Whether `name` may name a file of a release.
    static bool isFileName(const QString& name);

    // The file of exactly this name, or none.
    const File* file(const QString& name) const;
};

} // namespace halvo
