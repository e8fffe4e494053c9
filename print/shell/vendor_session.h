#pragma once
// The vendor session: the client side of the vendor account service and the sign-in values of
// the run. One object, owned by the program and handed to the sign-in forms.
#include "shell/cipher_key_table.h"
#include "shell/random_source.h"

#include <QString>

namespace common {
class Clock;
class DeployConfig;
class Messages;
} // namespace common
namespace net {
class HttpClient;
}

namespace shell {

class VendorSession {
public:
    VendorSession(const common::DeployConfig& config, const CipherKeyTable& keys,
                  net::HttpClient& http, common::Messages& messages, const common::Clock& clock,
                  RandomSource& random);

    // Sign-in values, set by a successful sign-in or the first enrolment step.
    QString loginComUser;
    QString loginStaffUser;
    QString loginPassword;

    // "u=...&u2=...&p=..." from the sign-in values, unescaped.
    QString credentialQuery() const;
    // Appends the time stamp, encodes, enciphers and posts params to VendorServiceUrl;
    // the reply body decoded as GB2312. Empty when the exchange fails or times out (why, in
    // transportError when given).
    QString postVendorRequest(const QString& params, QString* transportError = nullptr);
    // Encipher with a random row and filler; shows "加密错误" and returns empty when the
    // text holds a character outside the cipher alphabet, "%" and "+".
    QString encipherParams(const QString& text);
    int randomInRange(int n) { return shell::RandomInRange(n, random_); }
    // The time stamp: system short date, a blank, long time.
    QString timeStamp() const;

    const CipherKeyTable& keyTable() const { return keys_; }
    QString vendorServiceUrl() const;

private:
    const common::DeployConfig& config_;
    CipherKeyTable keys_;
    net::HttpClient& http_;
    common::Messages& messages_;
    const common::Clock& clock_;
    RandomSource& random_;
};

// A reply that stands for the number 1 ("1", " 1", "1.0"); the service's way of saying yes.
bool IsNumberOne(const QString& reply);

} // namespace shell
