#include "sms/sms_client.h"

#include "common/clock.h"
#include "common/code_page.h"
#include "common/date_format.h"
#include "common/messages.h"

namespace sms {

SmsClient::SmsClient(SmsCommon& account, common::Messages& messages, const common::Clock& clock,
                     SmsEnvironment env)
    : account_(account), messages_(messages), clock_(clock), env_(std::move(env)) {}

void SmsClient::fixAddresses() {
    account_.GatewayAddress = GatewayAddress(env_.gatewayHost);
    account_.AccountFilePath = SmsSetupPath(env_.programFolder);
}

QString SmsClient::fetch(const QString& url) {
    if (!env_.get) return {};
    return common::fromGbk(env_.get(url));
}

std::optional<QString> SmsClient::SmsStartup() {
    fixAddresses();
    if (ReadSmsSetup(account_.AccountFilePath, account_)) {
        if (SmsSignIn()) return BalanceLine(account_.SmsBalance);
        messages_.show(QStringLiteral("登陆短信系统失败，如需要发短信请手工登陆！"));
        return std::nullopt;
    }
    if (!SmsAutoRegister()) return NoAccountLine();
    account_.SmsUserName = env_.workstationId;
    account_.SmsPassword = env_.workstationId;
    SaveAccount();
    // No sign-in here: the line shows the balance held from an earlier sign-in, if any.
    return BalanceLine(account_.SmsBalance);
}

int SmsClient::SmsSignIn() {
    if (account_.GatewayAddress.isEmpty()) fixAddresses();
    const QString reply =
        fetch(SignInRequest(account_.GatewayAddress, env_.workstationId, account_.SmsUserName,
                            account_.SmsPassword, common::generalDate(clock_.now())));
    const SignInReply r = ReadSignInReply(reply);
    if (!r.ok) {
        messages_.show(ShownReply(reply));
        return 0;
    }
    if (r.hasShortName) account_.AgencyShortName = r.shortName;
    if (r.hasServicePhone) account_.AgencyServicePhone = r.servicePhone;
    account_.SmsBalance = r.balance;
    return 1;
}

int SmsClient::SmsAutoRegister() {
    if (account_.GatewayAddress.isEmpty()) fixAddresses();
    const QString reply = fetch(RegisterRequest(account_.GatewayAddress, env_.workstationId,
                                                common::generalDate(clock_.now())));
    if (RegisterSucceeded(reply)) return 1;
    messages_.show(QStringLiteral("自动注册短信帐户时失败，手工注册，或联系客服，谢谢"));
    return 0;
}

int SmsClient::SendSms(const QString& mobile, const QString& text) {
    if (mobile.size() != 11) {
        messages_.show(QStringLiteral("手机号码位数不正确！"));
        return 0;
    }
    if (account_.SmsUserName.isEmpty()) {
        messages_.show(QStringLiteral("您没有登陆，请登陆后再发"));
        return 0;
    }
    if (account_.GatewayAddress.isEmpty()) fixAddresses();
    const QString reply = fetch(SendRequest(account_.GatewayAddress, account_.SmsUserName,
                                            account_.SmsPassword, mobile, text));
    const SendReply r = ReadSendReply(reply);
    if (r.isStatus) return r.status;
    messages_.show(ShownReply(reply));
    return 0;
}

QString SmsClient::AccountPage() const {
    return AccountPageUrl(env_.gatewayHost, account_.SmsUserName, account_.SmsPassword);
}

bool SmsClient::SaveAccount() {
    if (account_.AccountFilePath.isEmpty()) fixAddresses();
    return WriteSmsSetup(account_.AccountFilePath, account_);
}

} // namespace sms
