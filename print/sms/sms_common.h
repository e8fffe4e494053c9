#pragma once
// The SMS account of the run (module Sms_Common): one object per program, owned by the
// program and handed to the gateway client, the composer and the SMS windows.
#include <QString>

namespace sms {

struct SmsCommon {
    // Fixed at SMS start-up: "http://" host "/api/ServerPort.asp" and the account file.
    QString GatewayAddress;
    QString AccountFilePath;
    QString SmsUserName;
    QString SmsPassword;
    QString AgencyShortName;    // signature of composed texts
    QString AgencyServicePhone; // service telephone in composed texts
    float SmsBalance = 0;       // yuan
    int TemplateType = 1;       // 1..7, chosen on the SMS panel
};

// "SmsSetup.inf" in the program folder: user name, CR LF, password, CR LF, "1".
QString SmsSetupPath(const QString& programFolder);
// Reads lines 1 and 2 into the account. False when the file does not exist.
bool ReadSmsSetup(const QString& path, SmsCommon& account);
// Writes the account's user name and password (atomically). False when it cannot.
bool WriteSmsSetup(const QString& path, const SmsCommon& account);

// "短信余额：" balance (two decimals, digit grouping) " 元".
QString BalanceLine(float balance);
// The balance line when no SMS account is signed in.
QString NoAccountLine();

} // namespace sms
