#pragma once
// The texts of the vendor service protocol: GBK percent-encoding of request parameters,
// the substitution cipher of request bodies, the percent-decoder of reply columns and the
// result-code messages.
#include "shell/cipher_key_table.h"

#include <QString>
#include <QStringList>

namespace shell {

// What the agent is told when a request got no reply (service down, time-out).
inline const QString kNoReplyMessage = QStringLiteral("连接服务器失败，请检查网络！");

// The message for a service result code ("001".."009"); any other text comes back as is.
QString ResultCodeMessage(const QString& reply);

// Letters stay, a blank becomes "+", every other character becomes "%XX" per GBK byte
// (digits, "%", "+", "&" and "=" included).
QString UrlEncodeGbk(const QString& text);

// The substitution with a chosen row (0..9) and filler (1..62): "%" + row number +
// filler character + the text with each alphanumeric character replaced from the row;
// "%" and "+" stay. Empty, with *ok false, when the text holds any other character.
QString EncipherWithRow(const QString& text, const CipherKeyTable& table, int row, int filler,
                        bool* ok = nullptr);

// Sign-in and enrolment values go into the request unescaped, so a "&" would start a field
// of its own: such a value is refused before any request, with RequestValueRefused().
bool FitsVendorRequest(const QStringList& values);
QString RequestValueRefused();

// Two hexadecimal digits (blanks around them ignored) to 0..255; -1 for anything else.
int HexByte(const QString& twoChars);

// Percent-decoding that tells UTF-8 from GBK by the first escaped high byte; "+" is a
// blank. A first high byte that could start either leaves the choice to the next one,
// and the text is decoded again from its first "%" once it is decided.
QString UrlDecodeAuto(const QString& text);

} // namespace shell
