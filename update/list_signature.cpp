#include "update/list_signature.h"

#include <sodium.h>

namespace upd {

namespace {

QByteArray strictBase64(const QByteArray& text) {
    auto decoded = QByteArray::fromBase64Encoding(text.trimmed(),
                                                  QByteArray::AbortOnBase64DecodingErrors);
    return decoded ? *decoded : QByteArray();
}

} // namespace

bool VerifyListSignature(const QByteArray& body, const QByteArray& signatureBase64,
                         const QByteArray& publicKeyBase64) {
    if (sodium_init() < 0) return false;
    const QByteArray key = strictBase64(publicKeyBase64);
    const QByteArray signature = strictBase64(signatureBase64);
    if (key.size() != crypto_sign_PUBLICKEYBYTES || signature.size() != crypto_sign_BYTES)
        return false;
    return crypto_sign_verify_detached(
               reinterpret_cast<const unsigned char*>(signature.constData()),
               reinterpret_cast<const unsigned char*>(body.constData()),
               static_cast<unsigned long long>(body.size()),
               reinterpret_cast<const unsigned char*>(key.constData())) == 0;
}

} // namespace upd
