// halvo_sign_update: signs a release file for the update server.
//
//     halvo_sign_update <secret-key-file> <file>
//
// writes the detached Ed25519 signature of <file> (64 bytes) to <file>.sig. The secret key file
// holds libsodium's 64-byte secret key and is kept by the maker, never in the source tree. A key
// whose signatures the program would refuse (not the secret half of its built-in update key) signs
// nothing, so that a release is never published with a signature no installation accepts.

#include "update/update_signature.h"

#include <QFile>
#include <QSaveFile>
#include <cstdio>
#include <optional>
#include <sodium.h>

namespace {

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

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3)
        return fail(QStringLiteral("usage: halvo_sign_update <secret-key-file> <file>"));
    if (sodium_init() < 0)
        return fail(QStringLiteral("libsodium could not be started."));
    const QString keyPath = QString::fromLocal8Bit(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);

    std::optional<QByteArray> secret = contentOf(keyPath);
    if (!secret)
        return fail(QStringLiteral("\"%1\" could not be read.").arg(keyPath));
    if (secret->size() != qsizetype(crypto_sign_SECRETKEYBYTES))
        return fail(QStringLiteral("\"%1\" is not a secret key (%2 bytes, not %3).")
                        .arg(keyPath)
                        .arg(secret->size())
                        .arg(crypto_sign_SECRETKEYBYTES));
    const std::optional<QByteArray> content = contentOf(path);
    if (!content)
        return fail(QStringLiteral("\"%1\" could not be read.").arg(path));

    QByteArray signature(crypto_sign_BYTES, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                         reinterpret_cast<const unsigned char*>(content->constData()),
                         static_cast<unsigned long long>(content->size()),
                         reinterpret_cast<const unsigned char*>(secret->constData()));
    sodium_memzero(secret->data(), static_cast<size_t>(secret->size()));
    if (!halvo::UpdateSignature::checks(*content, signature, halvo::UpdateSignature::builtInKey()))
        return fail(QStringLiteral("\"%1\" is not the key HALVO checks its updates against; "
                                   "nothing was signed.")
                        .arg(keyPath));

    const QString signaturePath = halvo::UpdateSignature::pathFor(path);
    QSaveFile out(signaturePath);
    if (!out.open(QIODevice::WriteOnly) || out.write(signature) != signature.size()
        || !out.commit())
        return fail(QStringLiteral("\"%1\" could not be written (%2).")
                        .arg(signaturePath, out.errorString()));
    std::printf("%s\n", qPrintable(signaturePath));
    return 0;
}
