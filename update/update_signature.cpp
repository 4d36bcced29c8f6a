#include "update_signature.h"

#include <sodium.h>

namespace halvo {

namespace {

static_assert(std::tuple_size_v<UpdateSignature::Key> == crypto_sign_PUBLICKEYBYTES);

// Corvane Software's update key. Its secret half signs the releases and is kept by the maker,
// never in the source tree.
constexpr UpdateSignature::Key BuiltInKey{
    0x71, 0x24, 0xc7, 0x84, 0xa9, 0x33, 0xf2, 0x47, 0xc3, 0x85, 0x94, 0x4d, 0x01, 0x2a, 0x5b, 0x8f,
    0x3f, 0x1d, 0x3d, 0x0e, 0xd5, 0x5b, 0xe9, 0x3c, 0x5f, 0xa8, 0x5b, 0x3f, 0x9d, 0x55, 0x4a, 0x33,
};

} // namespace

const QString UpdateSignature::Suffix = QStringLiteral(".sig");

const UpdateSignature::Key& UpdateSignature::builtInKey()
{
    return BuiltInKey;
}

QString UpdateSignature::pathFor(const QString& path)
{
    return path + Suffix;
}

bool UpdateSignature::checks(const QByteArray& content, const QByteArray& signature, const Key& key)
{
    // sodium_init may be called any number of times; it only fails when the library cannot
    // work at all, and then nothing checks.
    if (sodium_init() < 0 || signature.size() != qsizetype(crypto_sign_BYTES))
        return false;
    return crypto_sign_verify_detached(
               reinterpret_cast<const unsigned char*>(signature.constData()),
               reinterpret_cast<const unsigned char*>(content.constData()),
               static_cast<unsigned long long>(content.size()), key.data())
           == 0;
}

} // namespace halvo
