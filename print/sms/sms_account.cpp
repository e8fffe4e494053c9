#include "sms/sms_account.h"

#include "common/fso.h"
#include "common/text_ops.h"

#include <QDir>
#include <QLocale>

namespace sms {

QString SmsSetupPath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("SmsSetup.inf"));
}

bool ReadSmsSetup(const QString& path, SmsAccount& account) {
    common::RemoveStaleCopies(path); // an interrupted save's copy holds the password too
    if (!common::FileExists(path)) return false;
    const QStringList lines = common::Split(common::ReadTextFile(path), QStringLiteral("\r\n"));
    account.smsUserName = lines.value(0);
    account.smsPassword = lines.value(1);
    return true;
}

bool WriteSmsSetup(const QString& path, const SmsAccount& account) {
    return common::WriteTextFile(path,
                                 account.smsUserName + QStringLiteral("\r\n") +
                                     account.smsPassword + QStringLiteral("\r\n1"),
                                 common::Access::OwnerOnly);
}

QString BalanceLine(float balance) {
    // The desktop's number format: grouped thousands, two decimals, leading zero.
    const QLocale zh(QLocale::Chinese, QLocale::China);
    return QStringLiteral("短信余额：") + zh.toString(double(balance), 'f', 2) +
           QStringLiteral(" 元");
}

QString NoAccountLine() {
    return QStringLiteral("您还没有登陆短信帐号！");
}

} // namespace sms
