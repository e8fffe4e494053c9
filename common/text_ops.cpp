#include "common/text_ops.h"

#include <cmath>
#include <cstring>
#include <string>

namespace common {

QString TrimSpaces(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

QString Mid(const QString& s, int start, int length) {
    if (start < 1 || length <= 0 || start > s.size()) return {};
    return s.mid(start - 1, length);
}

QString MidToEnd(const QString& s, int start) {
    if (start < 1 || start > s.size()) return {};
    return s.mid(start - 1);
}

QString Left(const QString& s, int n) {
    return n <= 0 ? QString() : s.left(n);
}

QString Right(const QString& s, int n) {
    return n <= 0 ? QString() : s.right(n);
}

QStringList Split(const QString& s, const QString& marker) {
    return s.split(marker, Qt::KeepEmptyParts, Qt::CaseSensitive);
}

double LeadingNumber(const QString& s) {
    std::string t;
    t.reserve(size_t(s.size()));
    for (QChar c : s) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')) continue;
        t.push_back(c.unicode() < 128 ? char(c.unicode()) : '\x01');
    }
    size_t i = 0;
    std::string num;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) num.push_back(t[i++]);
    bool digits = false, point = false;
    while (i < t.size()) {
        const char c = t[i];
        if (c >= '0' && c <= '9') {
            digits = true;
            num.push_back(c);
        } else if (c == '.' && !point) {
            point = true;
            num.push_back(c);
        } else {
            break;
        }
        ++i;
    }
    if (!digits) return 0.0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E' || t[i] == 'd' || t[i] == 'D')) {
        size_t j = i + 1;
        std::string ex = "e";
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) ex.push_back(t[j++]);
        bool exDigits = false;
        while (j < t.size() && t[j] >= '0' && t[j] <= '9' && ex.size() < 8) {
            ex.push_back(t[j++]);
            exDigits = true;
        }
        if (exDigits) num += ex;
    }
    const double v = std::strtod(num.c_str(), nullptr);
    return std::isfinite(v) ? v : 0.0;
}

namespace {

// Where the first line end that is not CR LF starts (a lone CR or LF); -1 when there is none.
qsizetype firstOtherLineEnd(const char16_t* d, qsizetype n) {
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = d[i];
        if (c > u'\r') continue;
        if (c == u'\r') {
            if (i + 1 >= n || d[i + 1] != u'\n') return i;
            ++i;
        } else if (c == u'\n') {
            return i;
        }
    }
    return -1;
}

} // namespace

QString ToCrLf(const QString& s) {
    const char16_t* d = QStringView(s).utf16();
    const qsizetype n = s.size();
    const qsizetype first = firstOtherLineEnd(d, n);
    if (first < 0) return s;
    // One pass: the text between line ends is copied in runs into a buffer sized for the
    // worst case (every character a line end), each line end written as CR LF.
    QString out(n + (n - first) + 1, Qt::Uninitialized);
    char16_t* o = reinterpret_cast<char16_t*>(out.data());
    const auto copy = [&](qsizetype from, qsizetype to) {
        std::memcpy(o, d + from, size_t(to - from) * sizeof(char16_t));
        o += to - from;
    };
    copy(0, first);
    for (qsizetype i = first; i < n;) {
        qsizetype end = i;
        while (end < n && (d[end] > u'\r' || (d[end] != u'\r' && d[end] != u'\n')))
            ++end;
        copy(i, end);
        if (end == n) break;
        *o++ = u'\r';
        *o++ = u'\n';
        i = end + (d[end] == u'\r' && end + 1 < n && d[end + 1] == u'\n' ? 2 : 1);
    }
    out.truncate(o - reinterpret_cast<char16_t*>(out.data()));
    return out;
}

QStringView TrimSpacesView(QStringView s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == u' ')
        ++b;
    while (e > b && s[e - 1] == u' ')
        --e;
    return s.sliced(b, e - b);
}

QStringView MidView(QStringView s, int start, int length) {
    if (start < 1 || length <= 0 || start > s.size()) return {};
    return s.sliced(start - 1, qMin<qsizetype>(length, s.size() - (start - 1)));
}

QStringView BeforeView(QStringView s, QStringView marker) {
    const qsizetype at = s.indexOf(marker);
    return at < 0 ? s : s.first(at);
}

QString Piece(const QString& s, const QString& marker, int n) {
    qsizetype from = 0;
    for (int i = 0; i < n; ++i) {
        const qsizetype at = s.indexOf(marker, from);
        if (at < 0) return {};
        from = at + marker.size();
    }
    const qsizetype at = s.indexOf(marker, from);
    return s.mid(from, (at < 0 ? s.size() : at) - from);
}

int PieceCount(const QString& s, const QString& marker, int limit) {
    int count = 1;
    qsizetype from = 0;
    while (count < limit) {
        const qsizetype at = s.indexOf(marker, from);
        if (at < 0) break;
        ++count;
        from = at + marker.size();
    }
    return count;
}

} // namespace common
