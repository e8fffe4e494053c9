#pragma once
// The SMS gateway client: start-up sign-in or automatic registration, sign-in, and
// sending one message, on the account state of the run.
#include "sms/gateway.h"
#include "sms/sms_account.h"

#include <optional>

namespace common {
class Clock;
class Messages;
} // namespace common

namespace sms {

// What the client needs from the program besides the account.
struct SmsEnvironment {
    HttpGet get;           // one GET with the deployment's time-out
    QString gatewayHost;   // deployment value SmsGatewayHost
    QString programFolder; // where SmsSetup.inf lives
    QString workstationId; // sent as Hdnumber
};

class SmsClient {
public:
    SmsClient(SmsAccount& account, common::Messages& messages, const common::Clock& clock,
              SmsEnvironment env);

    // Sets the gateway address and account file, signs in (SmsSetup.inf present) or
    // registers the workstation (absent). Returns the panel's new balance line, or
    // nothing when the line stays as it is (a failed start-up sign-in).
    std::optional<QString> smsStartup();
    // Sign-in with the account's user name and password: 1 and the reply's fields
    // stored, or 0 after showing the reply.
    int smsSignIn();
    // Registers the workstation identifier as an account: 1, or 0 after a message.
    int smsAutoRegister();
    // Sends one message: the gateway's status, or 0 when nothing was sent.
    int sendSms(const QString& mobile, const QString& text);

    // The gateway's account page for the current account.
    QString accountPage() const;
    // Saves the current user name and password to SmsSetup.inf.
    bool saveAccount();

    SmsAccount& account() { return account_; }

private:
    void fixAddresses();
    QString fetch(const QString& url);

    SmsAccount& account_;
    common::Messages& messages_;
    const common::Clock& clock_;
    SmsEnvironment env_;
};

} // namespace sms
