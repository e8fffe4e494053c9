#include "shell/vendor_codec.h"

#include "common/code_page.h"
#include "common/text_ops.h"

namespace shell {
namespace {

bool isKeptLetter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
}

QString hexByte2(int b) {
    return QStringLiteral("%%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
}

// The GBK character whose two-byte code is code (one byte when below 256).
QString gbkChar(int code) {
    QByteArray bytes;
    if (code > 0xFF) bytes.append(char((code >> 8) & 0xFF));
    bytes.append(char(code & 0xFF));
    return common::FromGbk(bytes);
}

// The lead-byte class: 0 for a two-byte UTF-8 lead, 1 for three, up to 4; -1 otherwise.
int utf8Len(int v) {
    static const int B[] = {192, 224, 240, 248, 252, 254};
    for (int p = 4; p >= 0; --p)
        if (B[p] <= v && v < B[p + 1]) return p;
    return -1;
}

} // namespace

QString ResultCodeMessage(const QString& reply) {
    static const struct {
        const char* code;
        const char* message;
    } kCodes[] = {
        {"001", "用户名太短"},
        {"002", "密码太短"},
        {"003", "用户名已经被注册了"},
        {"004", "您传送的用户信息有误，请关闭软件后重新打开"},
        {"005", "您传送的密码信息有误，请关闭软件后重新打开"},
        {"006", "解密错误"},
        {"007", "加密错误"},
        {"008", "记录为空"},
        {"009", "用户名或密码错误"},
    };
    if (reply.isEmpty()) return kNoReplyMessage;
    for (const auto& c : kCodes)
        if (reply == QLatin1String(c.code)) return QString::fromUtf8(c.message);
    return reply;
}

QString UrlEncodeGbk(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype width = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, width);
        i += width - 1;
        const QByteArray bytes = common::ToGbk(ch);
        if (bytes.size() >= 2) {
            // Double-byte (or longer) code: every byte escaped, upper-case hex.
            for (char b : bytes)
                out += QLatin1Char('%') + QString::number(uchar(b), 16).toUpper();
        } else if (ch == QLatin1String(" ")) {
            out += QLatin1Char('+');
        } else if (isKeptLetter(ch[0])) {
            out += ch;
        } else {
            out += hexByte2(bytes.isEmpty() ? int('?') : uchar(bytes[0]));
        }
    }
    return out;
}

QString EncipherWithRow(const QString& text, const CipherKeyTable& table, int row, int filler,
                        bool* ok) {
    QString body;
    body.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('%') || c == QLatin1Char('+')) {
            body += c;
            continue;
        }
        const QChar sub = table.substitute(row, c);
        if (sub.isNull()) {
            if (ok) *ok = false;
            return {};
        }
        body += sub;
    }
    if (ok) *ok = true;
    return QLatin1Char('%') + QString::number(row + 1) + CipherAlphabet()[filler - 1] + body;
}

int HexByte(const QString& twoChars) {
    const QString t = common::TrimSpaces(twoChars);
    if (t.size() != 2) return -1;
    bool ok = false;
    const int v = t.toInt(&ok, 16);
    // toInt accepts a sign; a hexadecimal literal does not.
    if (!ok || !t[0].isLetterOrNumber() || !t[1].isLetterOrNumber()) return -1;
    return v;
}

QString UrlDecodeAuto(const QString& input) {
    QString text = input;
    text.replace(QLatin1Char('+'), QLatin1Char(' '));
    const qsizetype L = text.size();
    const qsizetype first0 = text.indexOf(QLatin1Char('%'));
    if (first0 < 0 || L < 3) return text;
    // Positions below count from 1, as the escapes are read two characters at a time.
    auto at = [&](qsizetype pos) { return text.mid(pos - 1, 1); };
    auto hexAt = [&](qsizetype pos) { return HexByte(text.mid(pos - 1, 2)); };
    const qsizetype first = first0 + 1;
    const QString head = text.left(first0);
    QString decoded;
    int mode = -1; // -1 undecided, -2 undecided after a two-byte candidate, 0 GBK, 1 UTF-8
    static const int B[] = {192, 224, 240, 248, 252, 254};

    // The loop runs to the end of the text, so characters after a "%" that starts no
    // escape are kept even when that "%" is the last one.
    for (qsizetype i = first; i <= L; ++i) {
        if (at(i) != QLatin1String("%")) {
            decoded += at(i);
            continue;
        }
        const int v = hexAt(i + 1);
        if (v > 31 && v < 128) {
            decoded += QChar(v);
            i += 2;
            continue;
        }
        if (v <= 127) continue; // not an escape: drop the "%", copy what follows
        i += 2;
        if (mode < 0) {
            int candidate = 1;
            const int len = utf8Len(v);
            if (len < 0) {
                candidate = 0;
            } else {
                for (int p = 0; p <= len; ++p) {
                    const int w = hexAt(i + 3 * p + 2);
                    if (w < 128 || w > 191) {
                        candidate = 0;
                        break;
                    }
                }
            }
            if (candidate == 1 && len == 0) candidate = -2;
            const bool restart = candidate > -1 && mode == -2;
            mode = candidate;
            if (restart) {
                i = first - 1;
                decoded.clear();
                continue;
            }
        }
        if (mode == 1) {
            const int len = utf8Len(v);
            if (len < 0) continue;
            qint64 base = qint64(B[len] ^ v);
            for (int k = 0; k <= len; ++k)
                base *= 64;
            qint64 acc = 0;
            for (int p = 0; p <= len; ++p) {
                const int w = hexAt(i + 2);
                i += 3;
                if (w < 128 || w > 191) {
                    acc = 0;
                    break;
                }
                qint64 weight = 1;
                for (int k = 0; k < len - p; ++k)
                    weight *= 64;
                acc += qint64(w & 63) * weight;
            }
            const qint64 code = acc + base;
            if (acc > 0 && code <= 0x10FFFF) {
                const char32_t cp = char32_t(code);
                decoded += QString::fromUcs4(&cp, 1);
            }
        } else {
            const int lo = hexAt(i + 2);
            if (lo > 0) {
                decoded += gbkChar(256 * v + lo);
                i += 3;
            } else if (i + 1 <= L) {
                // The trail byte stands as a plain character right after the lead escape.
                const QByteArray trail = common::ToGbk(at(i + 1));
                decoded += gbkChar(256 * v + (trail.isEmpty() ? 0 : uchar(trail[0])));
                i += 1;
            }
        }
    }
    return head + decoded;
}

bool FitsVendorRequest(const QStringList& values) {
    for (const QString& v : values)
        if (v.contains(QLatin1Char('&'))) return false;
    return true;
}

QString RequestValueRefused() {
    return QStringLiteral("帐号、工号和密码中不能有“&”字符，请修改后再试。");
}

} // namespace shell
