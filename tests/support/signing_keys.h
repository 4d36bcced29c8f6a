#pragma once
// A key pair of the tests' own for signed updates, and a detached signature made with it.

#include "update/update_signature.h"

#include <QByteArray>
#include <sodium.h>

namespace halvo::testing {

struct KeyPair {
    UpdateSignature::Key publicKey{};
    QByteArray secretKey;
};

inline KeyPair makeKeyPair()
{
    KeyPair keys;
    keys.secretKey.resize(crypto_sign_SECRETKEYBYTES);
    crypto_sign_keypair(keys.publicKey.data(),
                        reinterpret_cast<unsigned char*>(keys.secretKey.data()));
    return keys;
}

inline QByteArray signedBy(const KeyPair& keys, const QByteArray& content)
{
    QByteArray signature(crypto_sign_BYTES, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                         reinterpret_cast<const unsigned char*>(content.constData()),
                         content.size(),
                         reinterpret_cast<const unsigned char*>(keys.secretKey.constData()));
    return signature;
}

} // namespace halvo::testing
