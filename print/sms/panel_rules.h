#pragma once
// The SMS panel's and the SMS sign-in window's rules, without widgets.
#include <QString>

#include <optional>

namespace common {
class Messages;
} // namespace common

namespace sms {

class SmsClient;

enum class Signature { Ok, Missing, TooLong };

// The text must end with "】" and what follows its last "【" may be at most 8
// characters (a short name of at most seven).
Signature CheckSignature(const QString& text);

// The panel's text as it is sent: without surrounding white space.
QString SendableText(const QString& editorText);

// How long a text is as sent (its signature included) and how many SMS it goes out as:
// one for up to 70 characters, 67 characters a part when longer.
struct SmsLength {
    int characters = 0;
    int parts = 0;
};
SmsLength MeasureSms(const QString& editorText);
// The panel's line for it: "共 75 字，分 2 条发送".
QString SmsLengthText(const SmsLength& length);

// The signature checks of a send. When the text is refused, shows why and returns the
// editor's new text (the text with the placeholder "【公司简称】" appended).
std::optional<QString> RefuseUnsigned(const QString& editorText, common::Messages& messages);

// The sign-in window's button: account and password checked (the account is taken
// over before the password is looked at), then the sign-in; on success the account
// is saved. True when the window is to hide.
bool SubmitSmsLogin(const QString& account, const QString& password, SmsClient& client,
                    common::Messages& messages);

} // namespace sms
