#pragma once
// The SMS account of the run (module Sms_Common): one object per program, owned by the
// program and handed to the gateway client, the composer and the SMS windows.
#include <QString>

namespace sms {

struct SmsAccount {
    // Fixed at SMS start-up: "http://" host "/api/ServerPort.asp" and the account file.
    QString gatewayAddress;
    QString accountFilePath;
    QString smsUserName;
    QString smsPassword;
    QString agencyShortName;    // signature of composed texts
    QString agencyServicePhone; // service telephone in composed texts
    float smsBalance = 0;       // yuan
    int templateType = 1;       // 1..7, chosen on the SMS panel
};

// "SmsSetup.inf" in the program folder: user name, CR LF, password, CR LF, "1".
QString SmsSetupPath(const QString& programFolder);
// Reads lines 1 and 2 into the account. False when the file does not exist.
bool ReadSmsSetup(const QString& path, SmsAccount& account);
// Writes the account's user name and password (atomically). False when it cannot.
bool WriteSmsSetup(const QString& path, const SmsAccount& account);

// "短信余额：" balance (two decimals, digit grouping) " 元".
QString BalanceLine(float balance);
// The balance line when no SMS account is signed in.
QString NoAccountLine();

} // namespace sms
