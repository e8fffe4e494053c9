#include "sms/gateway.h"

#include "common/code_page.h"
#include "common/text_ops.h"

namespace sms {
namespace {

QString hexByte(uchar b) {
    return QStringLiteral("%") +
           QString::number(b, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

bool urlSafe(uchar b) {
    if (b <= 0x20 || b >= 0x7F) return false;
    switch (b) {
    case '"':
    case '#':
    case '<':
    case '>':
    case '\\':
    case '^':
    case '`':
    case '{':
    case '|':
    case '}':
        return false;
    default:
        return true;
    }
}

// A query value that arrives as written: the characters that would end it, start another
// field or be read as an escape are percent-encoded; WireUrl does the rest.
QString queryValue(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '%':
        case '&':
        case '=':
        case '+':
        case '#':
        case '?':
            out += hexByte(uchar(c.unicode()));
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

QString GatewayAddress(const QString& host) {
    return QStringLiteral("http://") + host + QStringLiteral("/api/ServerPort.asp");
}

QString EscapeSmsText(const QString& text) {
    QString out;
    out.reserve(text.size() * 3);
    for (qsizetype i = 0; i < text.size(); ++i) {
        // One character, or a surrogate pair as one.
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, n);
        i += n - 1;
        const QByteArray code = common::ToGbk(ch);
        if (code.size() == 2) {
            out += hexByte(uchar(code[0])) + hexByte(uchar(code[1]));
            continue;
        }
        switch (ch.at(0).unicode()) {
        case '%':
            out += QStringLiteral("%25");
            break;
        case '&':
            out += QStringLiteral("%26");
            break;
        case '+':
            out += QStringLiteral("%2B");
            break;
        case '#':
            out += QStringLiteral("%23");
            break;
        default:
            out += ch;
        }
    }
    out.replace(QLatin1Char(' '), QStringLiteral("%20"));
    return out;
}

QString WireUrl(const QString& url) {
    const QByteArray bytes = common::ToGbk(url);
    QString out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const uchar b = uchar(c);
        if (urlSafe(b))
            out += QLatin1Char(char(b));
        else
            out += hexByte(b);
    }
    return out;
}

QString SignInRequest(const QString& gateway, const QString& workstationId, const QString& user,
                      const QString& password, const QString& now) {
    return WireUrl(gateway + QStringLiteral("?Services=6&Hdnumber=") + queryValue(workstationId) +
                   QStringLiteral("&username=") + queryValue(user) + QStringLiteral("&password=") +
                   queryValue(password) + QStringLiteral("&nwo=") + queryValue(now));
}

QString RegisterRequest(const QString& gateway, const QString& workstationId, const QString& now) {
    const QString id = queryValue(workstationId);
    return WireUrl(gateway + QStringLiteral("?Services=1&Hdnumber=") + id +
                   QStringLiteral("&username=") + id + QStringLiteral("&password=") + id +
                   QStringLiteral("&nwo=") + queryValue(now));
}

QString SendRequest(const QString& gateway, const QString& user, const QString& password,
                    const QString& mobile, const QString& text) {
    return WireUrl(gateway + QStringLiteral("?Services=3&Channel=1&username=") + queryValue(user) +
                   QStringLiteral("&password=") + queryValue(password) + QStringLiteral("&mob=") +
                   queryValue(mobile) + QStringLiteral("&Content=") + EscapeSmsText(text));
}

QString AccountPageUrl(const QString& host, const QString& user, const QString& password) {
    return WireUrl(QStringLiteral("http://") + host + QStringLiteral("/logint.asp?UserName=") +
                   queryValue(user) + QStringLiteral("&Password=") + queryValue(password));
}

SignInReply ReadSignInReply(const QString& reply) {
    SignInReply r;
    if (!reply.startsWith(QLatin1Char('1'))) return r;
    r.ok = true;
    const QStringList f = reply.split(QLatin1Char(','));
    // A short reply keeps the fields it has; a missing balance counts as 0.
    if (f.size() > 1) {
        r.shortName = f[1];
        r.hasShortName = true;
    }
    if (f.size() > 2) {
        r.servicePhone = f[2];
        r.hasServicePhone = true;
    }
    if (f.size() > 5) r.balance = float(common::LeadingNumber(f[5]));
    return r;
}

bool RegisterSucceeded(const QString& reply) {
    return reply.startsWith(QLatin1Char('1'));
}

SendReply ReadSendReply(const QString& reply) {
    SendReply r;
    if (reply.size() == 1 && reply.at(0) >= QLatin1Char('0') && reply.at(0) <= QLatin1Char('9')) {
        r.isStatus = true;
        r.status = reply.at(0).unicode() - '0';
    }
    return r;
}

QString ShownReply(const QString& reply) {
    return reply.isEmpty() ? QStringLiteral("连接短信服务器失败，请检查网络！") : reply;
}

} // namespace sms
