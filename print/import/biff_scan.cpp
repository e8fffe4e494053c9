#include "biff_scan.h"

#include "code_page.h"
#include "number_format.h"

#include <cstring>

namespace wbook::biff {
namespace {

constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFreeSector = 0xFFFFFFFF;

uchar u8(const QByteArray& b, qsizetype at) {
    return at >= 0 && at < b.size() ? uchar(b[at]) : 0;
}
quint16 u16(const QByteArray& b, qsizetype at) {
    if (at < 0 || at + 2 > b.size()) return 0;
    return quint16(uchar(b[at]) | (uchar(b[at + 1]) << 8));
}
quint32 u32(const QByteArray& b, qsizetype at) {
    if (at < 0 || at + 4 > b.size()) return 0;
    return quint32(u16(b, at)) | (quint32(u16(b, at + 2)) << 16);
}
double f64(const QByteArray& b, qsizetype at) {
    double v = 0;
    if (at >= 0 && at + 8 <= b.size()) std::memcpy(&v, b.constData() + at, 8);
    return v;
}

// The compound document container: sectors chained through the allocation table.
class Container {
public:
    explicit Container(const QByteArray& file) : file_(file) {}

    bool open() {
        if (file_.size() < 512) return false;
        const int shift = u16(file_, 30);
        if (shift != 9 && shift != 12) return false;
        sectorSize_ = 1 << shift;
        QList<quint32> fatSectors;
        for (int i = 0; i < 109; ++i) {
            const quint32 s = u32(file_, 76 + 4 * i);
            if (s == kFreeSector || s == kEndOfChain) break;
            fatSectors << s;
        }
        // Further table sectors are listed in the chain of extra index sectors.
        quint32 difat = u32(file_, 68);
        const qsizetype maxSectors = file_.size() / sectorSize_ + 1;
        for (qsizetype guard = 0; difat != kEndOfChain && difat != kFreeSector; ++guard) {
            if (guard > maxSectors) return false;
            const QByteArray s = sector(difat);
            if (s.isEmpty()) return false;
            for (int i = 0; i + 1 < sectorSize_ / 4; ++i) {
                const quint32 v = u32(s, 4 * i);
                if (v != kFreeSector) fatSectors << v;
            }
            difat = u32(s, sectorSize_ - 4);
        }
        for (quint32 s : fatSectors) {
            const QByteArray data = sector(s);
            if (data.isEmpty()) return false;
            for (int i = 0; i < sectorSize_ / 4; ++i)
                fat_ << u32(data, 4 * i);
        }
        bool ok = false;
        directory_ = chain(u32(file_, 48), fat_, &ok);
        if (!ok || directory_.size() < 128) return false;
        miniCutoff_ = u32(file_, 56);
        miniFatStart_ = u32(file_, 60);
        return true;
    }

    // A stream of the root storage by name (case-insensitive), or nothing.
    std::optional<QByteArray> stream(const QStringList& names) {
        for (qsizetype at = 0; at + 128 <= directory_.size(); at += 128) {
            const int nameBytes = std::min<int>(u16(directory_, at + 64), 64);
            if (uchar(directory_[at + 66]) != 2 || nameBytes < 2) continue;
            const QString name = QString::fromUtf16(
                reinterpret_cast<const char16_t*>(directory_.constData() + at), nameBytes / 2 - 1);
            bool wanted = false;
            for (const QString& n : names)
                wanted |= name.compare(n, Qt::CaseInsensitive) == 0;
            if (!wanted) continue;
            const quint32 start = u32(directory_, at + 116);
            const quint32 size = u32(directory_, at + 120);
            bool ok = false;
            QByteArray data = size < miniCutoff_ ? miniChain(start, &ok) : chain(start, fat_, &ok);
            if (!ok || data.size() < qsizetype(size)) return {};
            data.truncate(size);
            return data;
        }
        return {};
    }

private:
    QByteArray sector(quint32 n) const {
        const qsizetype at = (qsizetype(n) + 1) * sectorSize_;
        if (n >= kEndOfChain - 4 || at >= file_.size()) return {};
        QByteArray s = file_.mid(at, sectorSize_);
        s.resize(sectorSize_, '\0'); // a short last sector reads as zeros
        return s;
    }

    // Follows a chain of sectors; a loop or a sector out of range is a malformed file.
    QByteArray chain(quint32 start, const QList<quint32>& table, bool* ok) const {
        QByteArray out;
        *ok = false;
        for (qsizetype steps = 0; start != kEndOfChain; ++steps) {
            if (start >= quint32(table.size()) || steps > table.size()) return {};
            const QByteArray s = sector(start);
            if (s.isEmpty()) return {};
            out += s;
            start = table[start];
        }
        *ok = true;
        return out;
    }

    QByteArray miniChain(quint32 start, bool* ok) {
        *ok = false;
        if (!miniLoaded_) {
            miniLoaded_ = true;
            bool fine = false;
            const QByteArray table = chain(miniFatStart_, fat_, &fine);
            if (fine || miniFatStart_ == kEndOfChain)
                for (qsizetype i = 0; i + 4 <= table.size(); i += 4)
                    miniFat_ << u32(table, i);
            miniStream_ = chain(u32(directory_, 116), fat_, &fine); // the root entry's data
        }
        QByteArray out;
        for (qsizetype steps = 0; start != kEndOfChain; ++steps) {
            const qsizetype at = qsizetype(start) * 64;
            if (start >= quint32(miniFat_.size()) || steps > miniFat_.size() ||
                at + 64 > miniStream_.size())
                return {};
            out += miniStream_.mid(at, 64);
            start = miniFat_[start];
        }
        *ok = true;
        return out;
    }

    const QByteArray& file_;
    int sectorSize_ = 512;
    QList<quint32> fat_;
    QByteArray directory_;
    quint32 miniCutoff_ = 4096;
    quint32 miniFatStart_ = kEndOfChain;
    bool miniLoaded_ = false;
    QList<quint32> miniFat_;
    QByteArray miniStream_;
};

struct Record {
    quint16 type = 0;
    QByteArray data;
};

class RecordReader {
public:
    RecordReader(const QByteArray& stream, qsizetype at) : s_(stream), at_(at) {}
    bool next(Record& r) {
        if (at_ + 4 > s_.size()) return false;
        r.type = u16(s_, at_);
        const quint16 len = u16(s_, at_ + 2);
        if (at_ + 4 + len > s_.size()) return false;
        r.data = s_.mid(at_ + 4, len);
        at_ += 4 + len;
        return true;
    }

private:
    const QByteArray& s_;
    qsizetype at_;
};

struct Strings {
    bool biff8 = true;
    bool gbk = false; // byte strings of older workbooks in the Chinese code page

    QString bytes(const QByteArray& b) const {
        return gbk ? codepage::fromGbk(b) : QString::fromLatin1(b);
    }
    // A string with a length of lenBytes (1 or 2) bytes at `at`.
    QString read(const QByteArray& d, qsizetype at, int lenBytes) const {
        const int cch = lenBytes == 1 ? u8(d, at) : u16(d, at);
        at += lenBytes;
        if (!biff8) return bytes(d.mid(at, cch));
        const uchar flags = u8(d, at++);
        if (flags & 0x08) at += 2; // rich text run count
        if (flags & 0x04) at += 4; // phonetic data size
        if (flags & 0x01) {
            const QByteArray raw = d.mid(at, 2 * cch);
            return QString::fromUtf16(reinterpret_cast<const char16_t*>(raw.constData()),
                                      raw.size() / 2);
        }
        return QString::fromLatin1(d.mid(at, cch));
    }
};

double rkValue(quint32 rk) {
    double v;
    if (rk & 2) {
        v = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFC) << 32;
        std::memcpy(&v, &bits, 8);
    }
    return (rk & 1) ? v / 100 : v;
}

QString errorText(int code) {
    switch (code) {
    case 0x00:
        return QStringLiteral("#NULL!");
    case 0x07:
        return QStringLiteral("#DIV/0!");
    case 0x0F:
        return QStringLiteral("#VALUE!");
    case 0x17:
        return QStringLiteral("#REF!");
    case 0x1D:
        return QStringLiteral("#NAME?");
    case 0x24:
        return QStringLiteral("#NUM!");
    default:
        return QStringLiteral("#N/A");
    }
}

} // namespace

std::optional<QByteArray> workbookStream(const QByteArray& file) {
    Container c(file);
    if (!c.open()) return {};
    return c.stream({QStringLiteral("Workbook"), QStringLiteral("Book")});
}

Scan scanWorkbook(const QByteArray& stream, const QString& sheetName, int maxRow, int maxColumn) {
    Scan out;
    Strings str;
    Record r;
    RecordReader globals(stream, 0);
    if (!globals.next(r) || r.type != 0x0809) return out;
    str.biff8 = u16(r.data, 0) == 0x0600;
    QHash<int, QString> formats;
    QList<int> xfFormatIds;
    qint64 sheetAt = -1;
    while (globals.next(r) && r.type != 0x000A) {
        switch (r.type) {
        case 0x0042:
            str.gbk = u16(r.data, 0) == 936;
            break;
        case 0x0022:
            out.date1904 = u16(r.data, 0) == 1;
            break;
        case 0x041E:
            formats.insert(u16(r.data, 0), str.read(r.data, 2, str.biff8 ? 2 : 1));
            break;
        case 0x00E0:
            xfFormatIds << u16(r.data, 2);
            break;
        case 0x0085:
            if (sheetAt < 0 && u8(r.data, 5) == 0 &&
                str.read(r.data, 6, 1).compare(sheetName, Qt::CaseInsensitive) == 0)
                sheetAt = u32(r.data, 0);
            break;
        default:
            break;
        }
    }
    for (int id : xfFormatIds)
        out.xfFormats << (formats.contains(id) ? formats.value(id) : xlfmt::builtinFormatCode(id));
    if (sheetAt < 0 || sheetAt >= stream.size()) return out;
    out.sheetFound = true;

    RecordReader sheet(stream, sheetAt);
    auto put = [&](int row0, int col0, ScannedCell c) -> std::optional<quint64> {
        if (row0 + 1 > maxRow || col0 + 1 > maxColumn) return {};
        const quint64 k = Scan::key(row0 + 1, col0 + 1);
        out.cells.insert(k, std::move(c));
        return k;
    };
    std::optional<quint64> pendingFormula; // a text formula whose result follows
    int depth = 0;
    while (sheet.next(r)) {
        const QByteArray& d = r.data;
        if (r.type == 0x0809) ++depth;
        if (r.type == 0x000A && --depth <= 0) break;
        if (depth > 1) continue; // an embedded chart's records
        const int row = u16(d, 0), col = u16(d, 2), xf = u16(d, 4);
        switch (r.type) {
        case 0x0203:
            put(row, col, {xf, Cell::Number, f64(d, 6), {}});
            break;
        case 0x027E:
            put(row, col, {xf, Cell::Number, rkValue(u32(d, 6)), {}});
            break;
        case 0x00BD: // several RK numbers in one row
            for (qsizetype at = 4, c = col; at + 6 <= d.size() - 2; at += 6, ++c)
                put(row, int(c), {u16(d, at), Cell::Number, rkValue(u32(d, at + 2)), {}});
            break;
        case 0x0201:
            put(row, col, {xf, Cell::Empty, 0, {}});
            break;
        case 0x00BE:
            for (qsizetype at = 4, c = col; at + 2 <= d.size() - 2; at += 2, ++c)
                put(row, int(c), {u16(d, at), Cell::Empty, 0, {}});
            break;
        case 0x00FD: {
            ScannedCell c{xf, Cell::Text, 0, {}};
            c.sharedText = true;
            put(row, col, c);
            break;
        }
        case 0x0204:
        case 0x00D6:
            put(row, col, {xf, Cell::Text, 0, str.read(d, 6, 2)});
            break;
        case 0x0205:
            if (u8(d, 7))
                put(row, col, {xf, Cell::Error, 0, errorText(u8(d, 6))});
            else
                put(row, col, {xf, Cell::Boolean, double(u8(d, 6) ? 1 : 0), {}});
            break;
        case 0x0006: {
            pendingFormula.reset();
            if (u16(d, 12) != 0xFFFF) {
                put(row, col, {xf, Cell::Number, f64(d, 6), {}});
                break;
            }
            const int kind = u8(d, 6), v = u8(d, 8);
            if (kind == 0)
                pendingFormula = put(row, col, {xf, Cell::Text, 0, {}}); // text in STRING
            else if (kind == 1)
                put(row, col, {xf, Cell::Boolean, double(v ? 1 : 0), {}});
            else if (kind == 2)
                put(row, col, {xf, Cell::Error, 0, errorText(v)});
            else
                put(row, col, {xf, Cell::Text, 0, {}});
            break;
        }
        case 0x0207:
            if (pendingFormula) out.cells[*pendingFormula].text = str.read(d, 0, 2);
            pendingFormula.reset();
            break;
        default:
            break;
        }
    }
    return out;
}

} // namespace wbook::biff
