#include "import/workbook/number_format.h"

#include "common/date_format.h"

#include <QList>

#include <cmath>

namespace wbook {
namespace {

struct Token {
    enum Kind { Literal, DatePart, Digit, Point, Comma, Percent, Exponent, TextAt, General };
    Kind kind;
    QString text; // Literal: the text; Exponent: "+" or "-"
    QChar part;   // DatePart: y m d h s a (am/pm); Digit: 0 # ?
    int count = 0;
    bool elapsed = false; // [h] [m] [s]
    bool minute = false;  // an "m" that stands for minutes
};

struct Section {
    QList<Token> tokens;
    bool english = false; // a [$-409] locale tag: English month and day names
    bool hasDate = false;
};

// Cuts the code at ";" outside quotes, escapes and brackets.
QStringList splitSections(const QString& code) {
    QStringList out;
    QString cur;
    for (int i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (c == u'"') {
            const int end = code.indexOf(u'"', i + 1);
            const int stop = end < 0 ? code.size() - 1 : end;
            cur += code.mid(i, stop - i + 1);
            i = stop;
        } else if ((c == u'\\' || c == u'_' || c == u'*') && i + 1 < code.size()) {
            cur += code.mid(i, 2);
            ++i;
        } else if (c == u'[') {
            const int end = code.indexOf(u']', i + 1);
            const int stop = end < 0 ? code.size() - 1 : end;
            cur += code.mid(i, stop - i + 1);
            i = stop;
        } else if (c == u';') {
            out << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    out << cur;
    return out;
}

bool startsWithCi(const QString& s, int at, QStringView word) {
    return QStringView(s).mid(at, word.size()).compare(word, Qt::CaseInsensitive) == 0;
}

void addLiteral(QList<Token>& tokens, const QString& text) {
    if (!tokens.isEmpty() && tokens.last().kind == Token::Literal)
        tokens.last().text += text;
    else
        tokens.append({Token::Literal, text, {}, 0});
}

Section tokenize(const QString& sec) {
    Section out;
    QList<Token>& t = out.tokens;
    for (int i = 0; i < sec.size(); ++i) {
        const QChar c = sec.at(i);
        const QChar lc = c.toLower();
        if (c == u'"') {
            int end = sec.indexOf(u'"', i + 1);
            if (end < 0) end = sec.size();
            addLiteral(t, sec.mid(i + 1, end - i - 1));
            i = end;
        } else if (c == u'\\') {
            if (i + 1 < sec.size()) addLiteral(t, sec.mid(++i, 1));
        } else if (c == u'_') {
            ++i; // space as wide as the next character
            addLiteral(t, QStringLiteral(" "));
        } else if (c == u'*') {
            ++i; // fill character: a list cell has no width to fill
        } else if (c == u'[') {
            int end = sec.indexOf(u']', i + 1);
            if (end < 0) end = sec.size();
            const QString inner = sec.mid(i + 1, end - i - 1);
            i = end;
            const QString li = inner.toLower();
            if (!li.isEmpty() && li.count(li.at(0)) == li.size() &&
                (li.at(0) == u'h' || li.at(0) == u'm' || li.at(0) == u's')) {
                Token tok{Token::DatePart, {}, li.at(0), int(li.size())};
                tok.elapsed = true;
                t.append(tok);
            } else if (inner.startsWith(u'$')) {
                const int dash = inner.indexOf(u'-');
                addLiteral(t, inner.mid(1, dash < 0 ? -1 : dash - 1));
                if (dash >= 0 && inner.mid(dash + 1).toInt(nullptr, 16) == 0x409)
                    out.english = true;
            } // colours, conditions and numeral systems change nothing in the text
        } else if (startsWithCi(sec, i, u"general")) {
            t.append({Token::General, {}, {}, 0});
            i += 6;
        } else if (startsWithCi(sec, i, u"am/pm")) {
            t.append({Token::DatePart, {}, u'a', 5});
            i += 4;
        } else if (startsWithCi(sec, i, u"a/p")) {
            t.append({Token::DatePart, {}, u'a', 3});
            i += 2;
        } else if (sec.mid(i, 5) == QStringLiteral("上午/下午")) {
            t.append({Token::DatePart, {}, u'a', 0});
            i += 4;
        } else if (lc == u'y' || lc == u'm' || lc == u'd' || lc == u'h' || lc == u's' ||
                   (lc == u'e' &&
                    !(i + 1 < sec.size() && (sec.at(i + 1) == u'+' || sec.at(i + 1) == u'-')))) {
            int n = 1;
            while (i + n < sec.size() && sec.at(i + n).toLower() == lc)
                ++n;
            // "e" is the year of the era, shown in full
            t.append({Token::DatePart, {}, lc == u'e' ? u'y' : lc, lc == u'e' ? 4 : n});
            i += n - 1;
        } else if (lc == u'e') {
            t.append({Token::Exponent, sec.mid(i + 1, 1), {}, 0});
            ++i;
        } else if (c == u'0' || c == u'#' || c == u'?') {
            t.append({Token::Digit, {}, c, 1});
        } else if (c == u'.') {
            t.append({Token::Point, {}, {}, 0});
        } else if (c == u',') {
            t.append({Token::Comma, {}, {}, 0});
        } else if (c == u'%') {
            t.append({Token::Percent, {}, {}, 0});
        } else if (c == u'@') {
            t.append({Token::TextAt, {}, {}, 0});
        } else if ((lc == u'b' || lc == u'g') && i + 1 < sec.size()) {
            // calendar switches (b1, b2) and era names: nothing to show for our calendar
            if (lc == u'b' && (sec.at(i + 1) == u'1' || sec.at(i + 1) == u'2')) ++i;
        } else {
            addLiteral(t, QString(c));
        }
    }
    // An "m" right after an hour or right before a second is minutes.
    for (int i = 0; i < t.size(); ++i) {
        if (t[i].kind != Token::DatePart) continue;
        out.hasDate = true;
        if (t[i].part != u'm' || t[i].elapsed || t[i].count > 2) continue;
        for (int j = i - 1; j >= 0; --j) {
            if (t[j].kind != Token::DatePart) continue;
            t[i].minute = t[j].part == u'h';
            break;
        }
        for (int j = i + 1; j < t.size() && !t[i].minute; ++j) {
            if (t[j].kind != Token::DatePart) continue;
            t[i].minute = t[j].part == u's';
            break;
        }
    }
    return out;
}

QString pad(qint64 n, int width) {
    return QStringLiteral("%1").arg(n, width, 10, QLatin1Char('0'));
}

QString chineseNumeral(int n) { // 1..12
    static const char16_t* digits[] = {u"",   u"一", u"二", u"三", u"四",   u"五",  u"六",
                                       u"七", u"八", u"九", u"十", u"十一", u"十二"};
    return n >= 1 && n <= 12 ? QString::fromUtf16(digits[n]) : QString::number(n);
}

QString monthName(int month, int count, bool english) {
    static const char* names[] = {"January",   "February", "March",    "April",
                                  "May",       "June",     "July",     "August",
                                  "September", "October",  "November", "December"};
    if (english) {
        const QString full = QString::fromLatin1(names[month - 1]);
        return count == 3 ? full.left(3) : count == 4 ? full : full.left(1);
    }
    return (count == 4 ? chineseNumeral(month) : QString::number(month)) + QStringLiteral("月");
}

QString dayName(int dayOfWeek, int count, bool english) { // Qt: 1 = Monday
    static const char* names[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                  "Friday", "Saturday", "Sunday"};
    static const char16_t* zh[] = {u"一", u"二", u"三", u"四", u"五", u"六", u"日"};
    if (english) {
        const QString full = QString::fromLatin1(names[dayOfWeek - 1]);
        return count == 3 ? full.left(3) : full;
    }
    return (count == 3 ? QStringLiteral("周") : QStringLiteral("星期")) +
           QString::fromUtf16(zh[dayOfWeek - 1]);
}

QString formatDate(double value, const Section& sec, bool date1904) {
    // Fractional seconds shown as ss.0 .. ss.000 decide the rounding.
    int fracDigits = 0;
    for (int i = 0; i + 1 < sec.tokens.size(); ++i) {
        if (sec.tokens[i].kind != Token::Point) continue;
        int n = 0;
        while (i + 1 + n < sec.tokens.size() && sec.tokens[i + 1 + n].kind == Token::Digit &&
               sec.tokens[i + 1 + n].part == u'0')
            ++n;
        fracDigits = std::max(fracDigits, std::min(n, 3));
    }
    if (!(value < 2958466)) return QStringLiteral("########"); // beyond 9999-12-31
    const double unit = std::pow(10.0, fracDigits);
    const qint64 ticks = std::llround(value * 86400.0 * unit); // in 1/unit seconds
    const qint64 totalSeconds = ticks / qint64(unit);
    const QDateTime at = SerialToDateTime(double(totalSeconds) / 86400.0, date1904);
    if (!at.isValid()) return QStringLiteral("########");
    bool twelveHour = false;
    for (const Token& t : sec.tokens)
        if (t.kind == Token::DatePart && t.part == u'a') twelveHour = true;
    const QDate d = at.date();
    const QTime tm = at.time();
    QString out;
    for (int i = 0; i < sec.tokens.size(); ++i) {
        const Token& t = sec.tokens[i];
        switch (t.kind) {
        case Token::Literal:
            out += t.text;
            break;
        case Token::Point:
            if (i + 1 < sec.tokens.size() && sec.tokens[i + 1].kind == Token::Digit) {
                int n = 0;
                while (i + 1 + n < sec.tokens.size() && sec.tokens[i + 1 + n].kind == Token::Digit)
                    ++n;
                const qint64 frac = ticks % qint64(unit);
                out += u'.' + pad(frac, fracDigits).left(n);
                i += n;
            } else {
                out += u'.';
            }
            break;
        case Token::DatePart: {
            const int n = t.count;
            if (t.elapsed) {
                const qint64 v = t.part == u'h'   ? totalSeconds / 3600
                                 : t.part == u'm' ? totalSeconds / 60
                                                  : totalSeconds;
                out += pad(v, n);
            } else if (t.part == u'y') {
                out += n <= 2 ? pad(d.year() % 100, 2) : pad(d.year(), 4);
            } else if (t.part == u'm' && t.minute) {
                out += pad(tm.minute(), std::min(n, 2));
            } else if (t.part == u'm') {
                out += n <= 2 ? pad(d.month(), n) : monthName(d.month(), n, sec.english);
            } else if (t.part == u'd') {
                out += n <= 2 ? pad(d.day(), n) : dayName(d.dayOfWeek(), n, sec.english);
            } else if (t.part == u'h') {
                int h = tm.hour();
                if (twelveHour) h = h % 12 == 0 ? 12 : h % 12;
                out += pad(h, std::min(n, 2));
            } else if (t.part == u's') {
                out += pad(tm.second(), std::min(n, 2));
            } else if (t.part == u'a') {
                const bool pm = tm.hour() >= 12;
                out += t.count == 0   ? (pm ? QStringLiteral("下午") : QStringLiteral("上午"))
                       : t.count == 3 ? (pm ? QStringLiteral("P") : QStringLiteral("A"))
                                      : (pm ? QStringLiteral("PM") : QStringLiteral("AM"));
            }
            break;
        }
        case Token::TextAt:
        case Token::General:
            break;
        default:
            out += t.kind == Token::Comma ? QStringLiteral(",") : QString();
            break;
        }
    }
    return out;
}

QString trimFraction(QString s) {
    if (!s.contains(u'.')) return s;
    while (s.endsWith(u'0'))
        s.chop(1);
    if (s.endsWith(u'.')) s.chop(1);
    return s;
}

// The "General" display: at most eleven characters, scientific beyond that.
QString generalText(double v) {
    if (v == 0) return QStringLiteral("0");
    const double a = std::fabs(v);
    if (a >= 1e11 || a < 1e-5) {
        QString s = QString::number(v, 'E', 5); // 1.23457E+11
        const int e = s.indexOf(u'E');
        QString mant = trimFraction(s.left(e));
        QString exp = s.mid(e + 1);
        const QChar sign = exp.at(0);
        exp = exp.mid(1);
        while (exp.size() > 2 && exp.startsWith(u'0'))
            exp.remove(0, 1);
        return mant + u'E' + sign + exp;
    }
    const int intLen = a < 1 ? 1 : int(std::floor(std::log10(a))) + 1;
    return trimFraction(QString::number(v, 'f', std::max(0, 10 - intLen)));
}

QString groupThousands(const QString& digits) {
    QString out;
    for (int i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += u',';
        out += digits.at(i);
    }
    return out;
}

// Digits after the point, with "#" dropping and "?" blanking trailing zeros.
QString fractionDigits(const QString& digits, const QList<QChar>& placeholders) {
    QString out = digits;
    for (int k = out.size() - 1; k >= 0; --k) {
        if (out.at(k) != u'0' || placeholders.at(k) == u'0') break;
        if (placeholders.at(k) == u'#')
            out.chop(1);
        else
            out[k] = u' ';
    }
    return out;
}

QString formatDigits(double v, const Section& sec, bool negative) {
    const QList<Token>& t = sec.tokens;
    int percents = 0, expAt = -1, pointAt = -1;
    for (int i = 0; i < t.size(); ++i) {
        if (t[i].kind == Token::Percent) ++percents;
        if (t[i].kind == Token::Exponent && expAt < 0) expAt = i;
        if (t[i].kind == Token::Point && pointAt < 0 && (expAt < 0 || i < expAt)) pointAt = i;
    }
    const int mantEnd = expAt < 0 ? int(t.size()) : expAt;
    const int intEnd = pointAt < 0 ? mantEnd : pointAt;
    QList<int> intPh;
    QList<QChar> fracPh;
    for (int i = 0; i < intEnd; ++i)
        if (t[i].kind == Token::Digit) intPh << i;
    for (int i = intEnd; i < mantEnd; ++i)
        if (t[i].kind == Token::Digit) fracPh << t[i].part;
    bool grouping = false;
    int scale = 0;
    for (int i = 0; i < intEnd; ++i) {
        if (t[i].kind != Token::Comma) continue;
        if (!intPh.isEmpty() && i > intPh.first() && i < intPh.last())
            grouping = true;
        else if (!intPh.isEmpty() && i > intPh.last())
            ++scale;
    }
    for (int i = 0; i < percents; ++i)
        v *= 100;
    for (int i = 0; i < scale; ++i)
        v /= 1000;
    if (!std::isfinite(v)) return QStringLiteral("#NUM!"); // "%" signs took it past the range

    QString expText;
    if (expAt >= 0 && v != 0) {
        int e = int(std::floor(std::log10(v)));
        // 10^e of the smallest numbers is below the range: scale in two steps.
        double m = e < -300 ? (v * 1e100) / std::pow(10.0, e + 100) : v / std::pow(10.0, e);
        if (QString::number(m, 'f', int(fracPh.size())).startsWith(QStringLiteral("10"))) {
            ++e;
            m /= 10;
        }
        v = m;
        int expDigits = 0;
        for (int i = expAt + 1; i < t.size(); ++i)
            if (t[i].kind == Token::Digit) ++expDigits;
        const QString sign = e < 0                   ? QStringLiteral("-")
                             : t[expAt].text == u"+" ? QStringLiteral("+")
                                                     : QString();
        expText = u'E' + sign + pad(std::abs(e), std::max(1, expDigits));
    } else if (expAt >= 0) {
        expText = QStringLiteral("E+") + pad(0, 2);
    }

    const QString fixed = QString::number(v, 'f', int(fracPh.size()));
    const int dot = fixed.indexOf(u'.');
    QString intDigits = dot < 0 ? fixed : fixed.left(dot);
    const QString frac = dot < 0 ? QString() : fractionDigits(fixed.mid(dot + 1), fracPh);
    if (intDigits == u"0") intDigits.clear(); // a "0" placeholder puts it back

    QString out;
    if (negative) out += u'-';
    // Integer placeholders take the digits from the right; the leftmost takes the rest.
    QStringList fill(intPh.size());
    int di = int(intDigits.size()) - 1;
    for (int k = int(intPh.size()) - 1; k >= 0; --k) {
        const QChar ph = t[intPh[k]].part;
        if (di >= 0)
            fill[k] = intDigits.at(di--);
        else
            fill[k] = ph == u'0'   ? QStringLiteral("0")
                      : ph == u'?' ? QStringLiteral(" ")
                                   : QString();
        if (k == 0 && di >= 0) fill[0] = intDigits.left(di + 1) + fill[0];
    }
    if (grouping) {
        const QString joined = fill.join(QString());
        const int lead = int(joined.size() - joined.trimmed().size());
        fill = QStringList(intPh.size());
        if (!fill.isEmpty()) fill[0] = joined.left(lead) + groupThousands(joined.mid(lead));
    }
    int fi = 0;
    for (int i = 0; i < t.size(); ++i) {
        const Token& tok = t[i];
        if (i == expAt) {
            out += expText;
            break; // exponent digits are part of expText; literals after it follow below
        }
        switch (tok.kind) {
        case Token::Literal:
            out += tok.text;
            break;
        case Token::Digit:
            if (i < intEnd)
                out += fill[intPh.indexOf(i)];
            else if (fi < frac.size())
                out += frac.at(fi++);
            break;
        case Token::Point:
            out += u'.';
            break;
        case Token::Percent:
            out += u'%';
            break;
        case Token::General:
            out += generalText(v);
            break;
        default:
            break;
        }
    }
    if (expAt >= 0)
        for (int i = expAt + 1; i < t.size(); ++i)
            if (t[i].kind == Token::Literal) out += t[i].text;
    return out;
}

bool hasNumberPart(const Section& sec) {
    for (const Token& t : sec.tokens)
        if (t.kind == Token::Digit || t.kind == Token::General) return true;
    return false;
}

} // namespace

QDateTime SerialToDateTime(double serial, bool date1904) {
    if (!(serial >= 0) || serial >= 2958466) return {}; // beyond 9999-12-31
    const qint64 secs = std::llround(serial * 86400.0);
    const qint64 days = secs / 86400;
    const int secOfDay = int(secs % 86400);
    QDate base;
    if (date1904)
        base = QDate(1904, 1, 1);
    else if (days >= 61)
        base = QDate(1899, 12, 30);
    else
        base = QDate(1899, 12, 31); // before the workbook's fictitious 1900-02-29
    return QDateTime(base.addDays(days), QTime(0, 0).addSecs(secOfDay));
}

QString BuiltinFormatCode(int id) {
    switch (id) {
    case 0:
        return QStringLiteral("General");
    case 1:
        return QStringLiteral("0");
    case 2:
        return QStringLiteral("0.00");
    case 3:
        return QStringLiteral("#,##0");
    case 4:
        return QStringLiteral("#,##0.00");
    case 5:
        return QStringLiteral("\"¥\"#,##0;\"¥\"-#,##0");
    case 6:
        return QStringLiteral("\"¥\"#,##0;[Red]\"¥\"-#,##0");
    case 7:
        return QStringLiteral("\"¥\"#,##0.00;\"¥\"-#,##0.00");
    case 8:
        return QStringLiteral("\"¥\"#,##0.00;[Red]\"¥\"-#,##0.00");
    case 9:
        return QStringLiteral("0%");
    case 10:
        return QStringLiteral("0.00%");
    case 11:
        return QStringLiteral("0.00E+00");
    case 12:
        return QStringLiteral("# ?/?");
    case 13:
        return QStringLiteral("# ?"
                              "?/?"
                              "?");
    case 14:
        return QStringLiteral("yyyy/m/d"); // the system short date
    case 15:
        return QStringLiteral("d-mmm-yy");
    case 16:
        return QStringLiteral("d-mmm");
    case 17:
        return QStringLiteral("mmm-yy");
    case 18:
        return QStringLiteral("h:mm AM/PM");
    case 19:
        return QStringLiteral("h:mm:ss AM/PM");
    case 20:
        return QStringLiteral("h:mm");
    case 21:
        return QStringLiteral("h:mm:ss");
    case 22:
        return QStringLiteral("yyyy/m/d h:mm");
    case 27:
    case 36:
    case 50:
    case 52:
    case 57:
        return QStringLiteral("yyyy\"年\"m\"月\"");
    case 28:
    case 29:
    case 51:
    case 53:
    case 54:
    case 58:
        return QStringLiteral("m\"月\"d\"日\"");
    case 30:
        return QStringLiteral("m-d-yy");
    case 31:
        return QStringLiteral("yyyy\"年\"m\"月\"d\"日\"");
    case 32:
        return QStringLiteral("h\"时\"mm\"分\"");
    case 33:
        return QStringLiteral("h\"时\"mm\"分\"ss\"秒\"");
    case 34:
    case 55:
        return QStringLiteral("上午/下午h\"时\"mm\"分\"");
    case 35:
    case 56:
        return QStringLiteral("上午/下午h\"时\"mm\"分\"ss\"秒\"");
    case 37:
        return QStringLiteral("#,##0 ;(#,##0)");
    case 38:
        return QStringLiteral("#,##0 ;[Red](#,##0)");
    case 39:
        return QStringLiteral("#,##0.00;(#,##0.00)");
    case 40:
        return QStringLiteral("#,##0.00;[Red](#,##0.00)");
    case 45:
        return QStringLiteral("mm:ss");
    case 46:
        return QStringLiteral("[h]:mm:ss");
    case 47:
        return QStringLiteral("mm:ss.0");
    case 48:
        return QStringLiteral("##0.0E+0");
    case 49:
        return QStringLiteral("@");
    default:
        return {};
    }
}

bool IsDateTimeFormat(const QString& code) {
    return tokenize(splitSections(code).value(0)).hasDate;
}

QString FormatNumber(double value, const QString& code, bool date1904) {
    if (!std::isfinite(value)) return QStringLiteral("#NUM!");
    const QStringList secs = splitSections(code.isEmpty() ? QStringLiteral("General") : code);
    int pick = 0;
    bool showMinus = value < 0;
    if (value < 0 && secs.size() >= 2) {
        pick = 1;
        showMinus = false;
    } else if (value == 0 && secs.size() >= 3) {
        pick = 2;
    }
    const Section sec = tokenize(secs.at(pick));
    if (sec.hasDate) {
        if (value < 0) return QStringLiteral("########");
        return formatDate(value, sec, date1904);
    }
    if (!hasNumberPart(sec)) {
        // Literal-only sections ("-" for zero, text sections) show their literals.
        QString out;
        for (const Token& t : sec.tokens)
            if (t.kind == Token::Literal) out += t.text;
        if (secs.size() == 1 && sec.tokens.isEmpty()) return generalText(value);
        return out;
    }
    return formatDigits(std::fabs(value), sec, showMinus);
}

QString FormatText(const QString& text, const QString& code) {
    const QStringList secs = splitSections(code);
    QString sec;
    if (secs.size() >= 4)
        sec = secs.at(3);
    else if (secs.size() == 1 && secs.at(0).contains(u'@'))
        sec = secs.at(0);
    else
        return text;
    QString out;
    for (const Token& t : tokenize(sec).tokens) {
        if (t.kind == Token::Literal) out += t.text;
        if (t.kind == Token::TextAt) out += text;
    }
    return out;
}

QString ValueText(double value) {
    if (value == 0) return QStringLiteral("0"); // also -0
    QString s = QString::number(value, 'g', 15);
    const int e = s.indexOf(u'e');
    if (e >= 0) s[e] = u'E';
    return s;
}

QString DateValueText(double serial, bool date1904) {
    const QDateTime at = SerialToDateTime(serial, date1904);
    if (!at.isValid()) return ValueText(serial);
    if (!date1904 && std::llround(serial * 86400.0) < 86400) return common::LongTime(at.time());
    if (at.time() == QTime(0, 0)) return common::ShortDate(at.date());
    return common::GeneralDate(at);
}

} // namespace wbook
