#pragma once
// Every file the update server delivers is signed by Corvane Software: beside it on the server,
// at its address with ".sig" appended, is a detached Ed25519 signature of its bytes (64 bytes,
// nothing else). A downloaded file keeps its signature beside it under its own name with ".sig"
// appended, and it is put to use only when the signature checks against the public key built
// into the program and the launcher. The secret key that belongs to it never leaves the maker; a
// release is signed with scripts/sign-update.

#include <QByteArray>
#include <QString>
#include <array>

namespace halvo {

class UpdateSignature {
public:
    using Key = std::array<unsigned char, 32>; // an Ed25519 public key

    static const QString Suffix; // ".sig"

    // Corvane Software's public key, the one every update is checked against.
    static const Key& builtInKey();

    // Where the signature of the file at `path` is kept: `path` + ".sig".
    static QString pathFor(const QString& path);

    // Whether `signature` is the signature of exactly `content` by the holder of `key`'s secret
    // key. Anything but 64 bytes is no signature.
    static bool checks(const QByteArray& content, const QByteArray& signature, const Key& key);
};

} // namespace halvo
