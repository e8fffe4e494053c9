#include "import/workbook/biff_scan.h"

#include "common/code_page.h"
#include "import/workbook/number_format.h"

#include <cstring>

namespace wbook {
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

// The compound document container: sectors chained through the allocation table. Every
// chain is bounded by the number of sectors in the file, so a looping or forged table
// cannot make a stream larger than the file.
class Container {
public:
    explicit Container(const QByteArray& file) : file_(file) {}

    bool open() {
        if (file_.size() < 512) return false;
        const int shift = u16(file_, 30);
        if (shift != 9 && shift != 12) return false;
        sectorSize_ = 1 << shift;
        fileSectors_ = file_.size() / sectorSize_ + 1;
        QList<quint32> fatSectors;
        for (int i = 0; i < 109; ++i) {
            const quint32 s = u32(file_, 76 + 4 * i);
            if (s == kFreeSector || s == kEndOfChain) break;
            fatSectors << s;
        }
        // Further table sectors are listed in the chain of extra index sectors.
        quint32 difat = u32(file_, 68);
        for (qsizetype guard = 0; difat != kEndOfChain && difat != kFreeSector; ++guard) {
            if (guard > fileSectors_) return false;
            const QByteArray s = sector(difat);
            if (s.isEmpty()) return false;
            for (int i = 0; i + 1 < sectorSize_ / 4; ++i) {
                const quint32 v = u32(s, 4 * i);
                if (v != kFreeSector) fatSectors << v;
            }
            difat = u32(s, sectorSize_ - 4);
        }
        if (fatSectors.size() > fileSectors_) return false;
        for (quint32 s : fatSectors) {
            const QByteArray data = sector(s);
            if (data.isEmpty()) return false;
            for (int i = 0; i < sectorSize_ / 4 && fat_.size() < fileSectors_; ++i)
                fat_ << u32(data, 4 * i);
        }
        bool ok = false;
        directory_ = chain(u32(file_, 48), fat_, &ok);
        if (!ok || directory_.size() < 128) return false;
        miniCutoff_ = u32(file_, 56);
        miniFatStart_ = u32(file_, 60);
        return true;
    }

    bool has(const QStringList& names) const { return entry(names) >= 0; }

    // A stream of the root storage by name (case-insensitive), or nothing.
    std::optional<QByteArray> stream(const QStringList& names) {
        const qsizetype at = entry(names);
        if (at < 0) return {};
        const quint32 start = u32(directory_, at + 116);
        const quint32 size = u32(directory_, at + 120);
        bool ok = false;
        QByteArray data = size < miniCutoff_ ? miniChain(start, &ok) : chain(start, fat_, &ok);
        if (!ok || data.size() < qsizetype(size)) return {};
        data.truncate(size);
        return data;
    }

private:
    qsizetype entry(const QStringList& names) const {
        for (qsizetype at = 0; at + 128 <= directory_.size(); at += 128) {
            const int nameBytes = std::min<int>(u16(directory_, at + 64), 64);
            if (uchar(directory_[at + 66]) != 2 || nameBytes < 2) continue;
            const QString name = QString::fromUtf16(
                reinterpret_cast<const char16_t*>(directory_.constData() + at), nameBytes / 2 - 1);
            for (const QString& n : names)
                if (name.compare(n, Qt::CaseInsensitive) == 0) return at;
        }
        return -1;
    }

    QByteArray sector(quint32 n) const {
        const qsizetype at = (qsizetype(n) + 1) * sectorSize_;
        if (n >= kEndOfChain - 4 || at >= file_.size()) return {};
        QByteArray s = file_.mid(at, sectorSize_);
        s.resize(sectorSize_, '\0'); // a short last sector reads as zeros
        return s;
    }

    // Follows a chain of sectors; a chain longer than the file or a sector out of range
    // is a malformed file.
    QByteArray chain(quint32 start, const QList<quint32>& table, bool* ok) const {
        QByteArray out;
        *ok = false;
        for (qsizetype steps = 0; start != kEndOfChain; ++steps) {
            if (start >= quint32(table.size()) || steps >= fileSectors_) return {};
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
        const qsizetype maxSteps = miniStream_.size() / 64;
        for (qsizetype steps = 0; start != kEndOfChain; ++steps) {
            const qsizetype at = qsizetype(start) * 64;
            if (start >= quint32(miniFat_.size()) || steps >= maxSteps ||
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
    qsizetype fileSectors_ = 0;
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

constexpr quint16 kContinue = 0x003C;

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
    // The record and the CONTINUE records after it, as the pieces of one long record.
    QList<QByteArray> withContinues(const Record& r) {
        QList<QByteArray> parts{r.data};
        Record c;
        while (u16(s_, at_) == kContinue && next(c))
            parts << c.data;
        return parts;
    }

private:
    const QByteArray& s_;
    qsizetype at_;
};

// Reads across a record and its continuations. Inside the characters of a string, each
// continuation begins with a byte whose lowest bit tells whether the rest is in two-byte
// characters; headers and trailing data just run on.
class Pieces {
public:
    explicit Pieces(const QList<QByteArray>& parts) : parts_(parts) {}

    bool skip(qint64 n) { return raw(n, nullptr); }
    bool u8(uchar& v) {
        QByteArray b;
        if (!raw(1, &b)) return false;
        v = uchar(b[0]);
        return true;
    }
    bool u16(quint16& v) {
        QByteArray b;
        if (!raw(2, &b)) return false;
        v = wbook::u16(b, 0);
        return true;
    }
    bool u32(quint32& v) {
        QByteArray b;
        if (!raw(4, &b)) return false;
        v = wbook::u32(b, 0);
        return true;
    }
    // cch characters, one byte (Latin-1) or two (UTF-16) each; false when cut short.
    bool chars(int cch, bool wide, QString& out) {
        while (cch > 0) {
            if (part_ >= parts_.size()) return false;
            const QByteArray& p = parts_[part_];
            if (at_ >= p.size()) {
                if (++part_ >= parts_.size() || parts_[part_].isEmpty()) return false;
                wide = parts_[part_][0] & 1;
                at_ = 1;
                continue;
            }
            const qsizetype n = std::min<qsizetype>(cch, (p.size() - at_) / (wide ? 2 : 1));
            if (n == 0) return false; // half a character at the end of a piece
            if (wide) {
                QByteArray b = p.mid(at_, 2 * n);
                out += QString::fromUtf16(reinterpret_cast<const char16_t*>(b.constData()), n);
            } else {
                out += QString::fromLatin1(p.constData() + at_, n);
            }
            at_ += wide ? 2 * n : n;
            cch -= int(n);
        }
        return true;
    }

private:
    bool raw(qint64 n, QByteArray* out) {
        while (n > 0) {
            if (part_ >= parts_.size()) return false;
            const QByteArray& p = parts_[part_];
            if (at_ >= p.size()) {
                ++part_;
                at_ = 0;
                continue;
            }
            const qsizetype take = std::min<qint64>(n, p.size() - at_);
            if (out) out->append(p.constData() + at_, take);
            at_ += take;
            n -= take;
        }
        return true;
    }

    const QList<QByteArray>& parts_;
    qsizetype part_ = 0;
    qsizetype at_ = 0;
};

struct Strings {
    bool biff8 = true;
    bool gbk = true; // byte strings of BIFF5: the workbook's code page, GBK unless it says

    QString bytes(const QByteArray& b) const {
        return gbk ? common::FromGbk(b) : QString::fromLatin1(b);
    }
    // A string whose length takes lenBytes (1 or 2) bytes, read across continuations.
    QString read(const QList<QByteArray>& parts, qsizetype at, int lenBytes) const {
        Pieces p(parts);
        p.skip(at);
        uchar c8 = 0;
        quint16 cch = 0;
        if (lenBytes == 1 ? !p.u8(c8) : !p.u16(cch)) return {};
        if (lenBytes == 1) cch = c8;
        QString out;
        if (!biff8) {
            QByteArray all = parts.value(0).mid(at + lenBytes);
            for (qsizetype i = 1; i < parts.size(); ++i)
                all += parts[i];
            return bytes(all.left(cch));
        }
        uchar flags = 0;
        if (!p.u8(flags)) return {};
        if (flags & 0x08) p.skip(2); // rich text run count
        if (flags & 0x04) p.skip(4); // phonetic data size
        p.chars(cch, flags & 0x01, out);
        return out;
    }
    QString read(const QByteArray& d, qsizetype at, int lenBytes) const {
        return read(QList<QByteArray>{d}, at, lenBytes);
    }
};

// The shared string table: a count, then strings that run on through continuations.
QStringList readSharedStrings(const QList<QByteArray>& parts) {
    Pieces p(parts);
    quint32 total = 0, unique = 0;
    QStringList out;
    if (!p.u32(total) || !p.u32(unique)) return out;
    while (quint32(out.size()) < unique) {
        quint16 cch = 0;
        uchar flags = 0;
        quint16 runs = 0;
        quint32 phonetic = 0;
        if (!p.u16(cch) || !p.u8(flags)) break;
        if ((flags & 0x08) && !p.u16(runs)) break;
        if ((flags & 0x04) && !p.u32(phonetic)) break;
        QString text;
        const bool whole = p.chars(cch, flags & 0x01, text);
        out << text;
        if (!whole || !p.skip(4 * qint64(runs)) || !p.skip(phonetic)) break;
    }
    return out;
}

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
    static const QHash<int, QString> texts{
        {0x00, QStringLiteral("#NULL!")},  {0x07, QStringLiteral("#DIV/0!")},
        {0x0F, QStringLiteral("#VALUE!")}, {0x17, QStringLiteral("#REF!")},
        {0x1D, QStringLiteral("#NAME?")},  {0x24, QStringLiteral("#NUM!")}};
    return texts.value(code, QStringLiteral("#N/A"));
}

constexpr quint16 kBof = 0x0809, kEof = 0x000A;

} // namespace

Stream WorkbookStream(const QByteArray& file) {
    Stream out;
    Container c(file);
    if (!c.open()) return out;
    if (auto data = c.stream({QStringLiteral("Workbook"), QStringLiteral("Book")})) {
        out.status = Stream::Ok;
        out.data = std::move(*data);
    } else if (c.has({QStringLiteral("EncryptedPackage")})) {
        out.status = Stream::Encrypted;
    } else if (!c.has({QStringLiteral("Workbook"), QStringLiteral("Book")})) {
        out.status = Stream::NotFound;
    }
    return out;
}

Scan ScanWorkbook(const QByteArray& stream, const QString& sheetName, int maxRow, int maxColumn) {
    Scan out;
    Strings str;
    Record r;
    RecordReader globals(stream, 0);
    if (!globals.next(r) || r.type != kBof) return out;
    const quint16 version = u16(r.data, 0);
    if (version != 0x0600 && version != 0x0500) {
        out.status = Scan::Unsupported;
        return out;
    }
    str.biff8 = version == 0x0600;
    QHash<int, QString> formats;
    QList<int> xfFormatIds;
    QStringList shared;
    qint64 sheetAt = -1;
    while (globals.next(r) && r.type != kEof) {
        switch (r.type) {
        case 0x002F: // FILEPASS: the rest of the stream is enciphered
            out.status = Scan::Encrypted;
            return out;
        case 0x0042:
            str.gbk = u16(r.data, 0) == 936 || u16(r.data, 0) == 0;
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
        case 0x00FC:
            shared = readSharedStrings(globals.withContinues(r));
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
        out.xfFormats << (formats.contains(id) ? formats.value(id) : wbook::BuiltinFormatCode(id));
    if (sheetAt < 0) {
        out.status = Scan::NoSheet;
        return out;
    }
    RecordReader sheet(stream, sheetAt);
    if (!sheet.next(r) || r.type != kBof) return out; // Damaged
    out.status = Scan::Ok;

    auto put = [&](int row0, int col0, ScannedCell c) -> std::optional<quint64> {
        if (row0 + 1 > maxRow || col0 + 1 > maxColumn) return {};
        const quint64 k = Scan::key(row0 + 1, col0 + 1);
        out.cells.insert(k, std::move(c));
        return k;
    };
    std::optional<quint64> pendingFormula; // a text formula whose result follows
    int depth = 1;
    while (sheet.next(r)) {
        const QByteArray& d = r.data;
        if (r.type == kBof) ++depth;
        if (r.type == kEof && --depth <= 0) break;
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
            for (qsizetype at = 4, c = col; at + 6 <= d.size() - 2 && c < maxColumn; at += 6, ++c)
                put(row, int(c), {u16(d, at), Cell::Number, rkValue(u32(d, at + 2)), {}});
            break;
        case 0x0201:
            put(row, col, {xf, Cell::Empty, 0, {}});
            break;
        case 0x00BE:
            for (qsizetype at = 4, c = col; at + 2 <= d.size() - 2 && c < maxColumn; at += 2, ++c)
                put(row, int(c), {u16(d, at), Cell::Empty, 0, {}});
            break;
        case 0x00FD: {
            const quint32 index = u32(d, 6);
            if (index < quint32(shared.size()))
                put(row, col, {xf, Cell::Text, 0, shared.at(index)});
            else
                put(row, col, {xf, Cell::Empty, 0, {}});
            break;
        }
        case 0x0204:
        case 0x00D6:
            put(row, col, {xf, Cell::Text, 0, str.read(sheet.withContinues(r), 6, 2)});
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
        case 0x0207: {
            const QList<QByteArray> parts = sheet.withContinues(r);
            if (pendingFormula) out.cells[*pendingFormula].text = str.read(parts, 0, 2);
            pendingFormula.reset();
            break;
        }
        default:
            break;
        }
    }
    return out;
}

} // namespace wbook
