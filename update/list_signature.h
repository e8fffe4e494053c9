#pragma once
// Signed update lists: an Ed25519 signature of the reply's exact body bytes, base64 in
// the response header "X-Update-Signature", checked against the deployment's public key.
#include <QByteArray>

namespace upd {

// True when signatureBase64 is a valid Ed25519 signature of body under publicKeyBase64
// (32 bytes). A malformed key or signature is never valid. A plain function (fuzzed).
bool VerifyListSignature(const QByteArray& body, const QByteArray& signatureBase64,
                         const QByteArray& publicKeyBase64);

} // namespace upd
