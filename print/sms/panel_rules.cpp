#include "sms/panel_rules.h"

#include "common/messages.h"
#include "common/text_ops.h"
#include "sms/sms_client.h"

namespace sms {

namespace {
const QString kPlaceholder = QStringLiteral("【公司简称】");
}

Signature CheckSignature(const QString& text) {
    if (!text.endsWith(QStringLiteral("】"))) return Signature::Missing;
    const QStringList parts = text.split(QStringLiteral("【"));
    if (parts.last().size() > 8) return Signature::TooLong;
    return Signature::Ok;
}

QString SendableText(const QString& editorText) {
    return editorText.trimmed();
}

SmsLength MeasureSms(const QString& editorText) {
    // The gateway counts UTF-16 units, as the phone network does.
    const int n = int(SendableText(editorText).size());
    return {n, n == 0 ? 0 : n <= 70 ? 1 : (n + 66) / 67};
}

QString SmsLengthText(const SmsLength& length) {
    return QStringLiteral("共 %1 字，分 %2 条发送").arg(length.characters).arg(length.parts);
}

std::optional<QString> RefuseUnsigned(const QString& editorText, common::Messages& messages) {
    const QString text = SendableText(editorText);
    switch (CheckSignature(text)) {
    case Signature::Missing:
        messages.show(QStringLiteral("短信必须加签名，格式为【公司简称】"));
        return text + kPlaceholder;
    case Signature::TooLong:
        messages.show(QStringLiteral("短信签名太长，不得超过七个字，格式为【公司简称】"));
        return text + kPlaceholder;
    case Signature::Ok:
        break;
    }
    return std::nullopt;
}

bool SubmitSmsLogin(const QString& account, const QString& password, SmsClient& client,
                    common::Messages& messages) {
    const QString user = common::TrimSpaces(account);
    if (user.size() < 3) {
        messages.show(QStringLiteral("短信帐号不正确！"));
        return false;
    }
    client.account().smsUserName = user;
    const QString pass = common::TrimSpaces(password);
    if (pass.size() < 3) {
        messages.show(QStringLiteral("密码太短不正确！"));
        return false;
    }
    client.account().smsPassword = pass;
    if (!client.smsSignIn()) return false;
    client.saveAccount();
    return true;
}

} // namespace sms
