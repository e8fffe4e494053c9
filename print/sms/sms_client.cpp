#include "sms/sms_client.h"

#include "common/clock.h"
#include "common/code_page.h"
#include "common/date_format.h"
#include "common/messages.h"

namespace sms {

SmsClient::SmsClient(SmsAccount& account, common::Messages& messages, const common::Clock& clock,
                     SmsEnvironment env)
    : account_(account), messages_(messages), clock_(clock), env_(std::move(env)) {}

void SmsClient::fixAddresses() {
    account_.gatewayAddress = GatewayAddress(env_.gatewayHost);
    account_.accountFilePath = SmsSetupPath(env_.programFolder);
}

QString SmsClient::fetch(const QString& url) {
    if (!env_.get) return {};
    return common::FromGbk(env_.get(url));
}

std::optional<QString> SmsClient::smsStartup() {
    fixAddresses();
    if (ReadSmsSetup(account_.accountFilePath, account_)) {
        if (smsSignIn()) return BalanceLine(account_.smsBalance);
        messages_.show(QStringLiteral("登陆短信系统失败，如需要发短信请手工登陆！"));
        return std::nullopt;
    }
    if (!smsAutoRegister()) return NoAccountLine();
    account_.smsUserName = env_.workstationId;
    account_.smsPassword = env_.workstationId;
    saveAccount();
    // No sign-in here: the line shows the balance held from an earlier sign-in, if any.
    return BalanceLine(account_.smsBalance);
}

int SmsClient::smsSignIn() {
    if (account_.gatewayAddress.isEmpty()) fixAddresses();
    const QString reply =
        fetch(SignInRequest(account_.gatewayAddress, env_.workstationId, account_.smsUserName,
                            account_.smsPassword, common::GeneralDate(clock_.now())));
    const SignInReply r = ReadSignInReply(reply);
    if (!r.ok) {
        messages_.show(ShownReply(reply));
        return 0;
    }
    if (r.hasShortName) account_.agencyShortName = r.shortName;
    if (r.hasServicePhone) account_.agencyServicePhone = r.servicePhone;
    account_.smsBalance = r.balance;
    return 1;
}

int SmsClient::smsAutoRegister() {
    if (account_.gatewayAddress.isEmpty()) fixAddresses();
    const QString reply = fetch(RegisterRequest(account_.gatewayAddress, env_.workstationId,
                                                common::GeneralDate(clock_.now())));
    if (RegisterSucceeded(reply)) return 1;
    messages_.show(QStringLiteral("自动注册短信帐户时失败，手工注册，或联系客服，谢谢"));
    return 0;
}

int SmsClient::sendSms(const QString& mobile, const QString& text) {
    if (mobile.size() != 11) {
        messages_.show(QStringLiteral("手机号码位数不正确！"));
        return 0;
    }
    if (account_.smsUserName.isEmpty()) {
        messages_.show(QStringLiteral("您没有登陆，请登陆后再发"));
        return 0;
    }
    if (account_.gatewayAddress.isEmpty()) fixAddresses();
    const QString reply = fetch(SendRequest(account_.gatewayAddress, account_.smsUserName,
                                            account_.smsPassword, mobile, text));
    const SendReply r = ReadSendReply(reply);
    if (r.isStatus) return r.status;
    messages_.show(ShownReply(reply));
    return 0;
}

QString SmsClient::accountPage() const {
    return AccountPageUrl(env_.gatewayHost, account_.smsUserName, account_.smsPassword);
}

bool SmsClient::saveAccount() {
    if (account_.accountFilePath.isEmpty()) fixAddresses();
    return WriteSmsSetup(account_.accountFilePath, account_);
}

} // namespace sms
