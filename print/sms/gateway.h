#pragma once
// The SMS gateway's wire: request addresses, the message-text escaping and the reading
// of its short comma-separated replies. No transport here.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace sms {

// One HTTP GET of an address; the body bytes, empty on any failure or time-out.
using HttpGet = std::function<QByteArray(const QString& url)>;

// "http://" host "/api/ServerPort.asp".
QString GatewayAddress(const QString& host);

// The message text as the gateway takes it: every double-byte GBK character as
// "%" lead "%" trail (upper-case hex), blanks as "%20", and "%", "&", "+", "#"
// percent-encoded so that the text arrives as written. Other ASCII stays as it is.
QString EscapeSmsText(const QString& text);

// An address ready for the wire: characters that may not stand in a URL (blanks,
// control characters, non-ASCII as GBK bytes, "#", quotes and the like) become
// percent escapes; everything else, escapes already made included, stays.
QString WireUrl(const QString& url);

// The three requests. Every value is percent-encoded where it would change the query
// ("%", "&", "=", "+", "#", "?"), then the whole made wire-safe.
QString SignInRequest(const QString& gateway, const QString& workstationId, const QString& user,
                      const QString& password, const QString& now);
QString RegisterRequest(const QString& gateway, const QString& workstationId, const QString& now);
QString SendRequest(const QString& gateway, const QString& user, const QString& password,
                    const QString& mobile, const QString& text);
// The gateway's account page for the desktop browser.
QString AccountPageUrl(const QString& host, const QString& user, const QString& password);

// A sign-in reply read: ok when it starts with "1"; the fields it carries.
struct SignInReply {
    bool ok = false;
    QString shortName;    // field 1
    QString servicePhone; // field 2
    float balance = 0;    // field 5
    bool hasShortName = false;
    bool hasServicePhone = false;
};
SignInReply ReadSignInReply(const QString& reply);
bool RegisterSucceeded(const QString& reply);

// A send reply: a single digit is the gateway's status; anything else is an error text.
struct SendReply {
    bool isStatus = false;
    int status = 0;
};
SendReply ReadSendReply(const QString& reply);

// A gateway reply as the agent is shown it; a reply that did not arrive is named as such.
QString ShownReply(const QString& reply);

} // namespace sms
