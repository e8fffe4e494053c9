// Open XML workbooks: a zip of XML parts. The workbook part lists the sheets, the
// relationships give their parts, shared strings hold the texts and the styles hold
// the number formats. The sheet and the shared strings are read as they decompress and
// only as far as the import needs, so a huge sheet costs no more than its first rows.
#include "import/workbook/number_format.h"
#include "import/workbook/workbook.h"

#include <QHash>
#include <QIODevice>
#include <QList>
#include <QXmlStreamReader>

#include <zip.h>

#include <memory>
#include <optional>

namespace wbook {
namespace {

// Parts read whole (workbook, relationships, styles) and the bytes decompressed from a
// streamed part are bounded; beyond that the workbook is refused as too large.
constexpr qint64 kMaxPartBytes = 16 * 1024 * 1024;
constexpr qint64 kMaxStreamedBytes = 64 * 1024 * 1024;

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
using ZipPtr = std::unique_ptr<zip_t, ZipCloser>;

enum class PartStatus { Ok, Missing, Damaged, TooLarge };

// One part, decompressed as it is read; stops with an error past `limit` bytes.
class PartDevice : public QIODevice {
public:
    PartDevice(zip_t* z, const QString& name, qint64 limit) : limit_(limit) {
        file_ = zip_fopen(z, name.toUtf8().constData(), 0);
        if (file_) open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    ~PartDevice() override {
        if (file_) zip_fclose(file_);
    }
    bool isSequential() const override { return true; }
    PartStatus status() const {
        return !file_      ? PartStatus::Missing
               : tooLarge_ ? PartStatus::TooLarge
               : damaged_  ? PartStatus::Damaged
                           : PartStatus::Ok;
    }

protected:
    qint64 readData(char* data, qint64 max) override {
        if (ended_ || !file_) return -1;
        if (read_ + max > limit_) max = limit_ + 1 - read_;
        const zip_int64_t n = zip_fread(file_, data, zip_uint64_t(max));
        if (n < 0) damaged_ = true;
        if (n <= 0) {
            ended_ = true;
            return n < 0 ? -1 : 0;
        }
        read_ += n;
        if (read_ > limit_) {
            tooLarge_ = ended_ = true;
            return -1;
        }
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    zip_file_t* file_ = nullptr;
    qint64 limit_;
    qint64 read_ = 0;
    bool ended_ = false;
    bool damaged_ = false;
    bool tooLarge_ = false;
};

// The bytes of one part read whole.
PartStatus readPart(zip_t* z, const QString& name, QByteArray& out) {
    PartDevice part(z, name, kMaxPartBytes);
    if (!part.isOpen()) return PartStatus::Missing;
    out = part.readAll();
    return part.status();
}
std::optional<QByteArray> readPart(zip_t* z, const QString& name) {
    QByteArray out;
    if (readPart(z, name, out) != PartStatus::Ok) return {};
    return out;
}

// Resolves a relationship target against the folder of the part that names it.
QString resolveTarget(const QString& baseFolder, const QString& target) {
    if (target.startsWith(u'/')) return target.mid(1);
    QStringList parts = baseFolder.split(u'/', Qt::SkipEmptyParts);
    for (const QString& p : target.split(u'/', Qt::SkipEmptyParts)) {
        if (p == u"..") {
            if (!parts.isEmpty()) parts.removeLast();
        } else if (p != u".") {
            parts << p;
        }
    }
    return parts.join(u'/');
}

QString attr(const QXmlStreamReader& x, QStringView name) {
    for (const QXmlStreamAttribute& a : x.attributes())
        if (a.name() == name) return a.value().toString();
    return {};
}

// Relationship id -> (type, resolved target).
struct Relationship {
    QString type;
    QString target;
};
QHash<QString, Relationship> readRelationships(const QByteArray& xml, const QString& baseFolder) {
    QHash<QString, Relationship> out;
    QXmlStreamReader x(xml);
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement() && x.name() == u"Relationship")
            out.insert(attr(x, u"Id"),
                       {attr(x, u"Type"), resolveTarget(baseFolder, attr(x, u"Target"))});
    }
    return out;
}

// "_x000D_" escapes of characters that XML cannot carry.
QString unescapeXstring(const QString& s) {
    if (!s.contains(QStringLiteral("_x"))) return s;
    QString out;
    for (int i = 0; i < s.size(); ++i) {
        if (s.at(i) == u'_' && i + 6 < s.size() && s.at(i + 1) == u'x' && s.at(i + 6) == u'_') {
            bool ok = false;
            const uint code = s.mid(i + 2, 4).toUInt(&ok, 16);
            if (ok) {
                out += QChar(char16_t(code));
                i += 6;
                continue;
            }
        }
        out += s.at(i);
    }
    return out;
}

// The text of an <si> or <is> element: its <t> runs, without phonetic runs.
QString readRichText(QXmlStreamReader& x) {
    const QString end = x.name().toString();
    QString text;
    int phonetic = 0;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement()) {
            if (x.name() == u"rPh") ++phonetic;
            if (x.name() == u"t" && phonetic == 0) text += x.readElementText();
        } else if (x.isEndElement()) {
            if (x.name() == u"rPh") --phonetic;
            if (x.name() == end) break;
        }
    }
    return unescapeXstring(text);
}

// Shared strings 0..last, read only as far as that.
PartStatus readSharedStrings(zip_t* z, const QString& name, qsizetype last, QStringList& out) {
    PartDevice part(z, name, kMaxStreamedBytes);
    if (!part.isOpen()) return PartStatus::Damaged;
    QXmlStreamReader x(&part);
    while (out.size() <= last && !x.atEnd()) {
        x.readNext();
        if (x.isStartElement() && x.name() == u"si") out << readRichText(x);
    }
    if (part.status() != PartStatus::Ok) return part.status();
    return x.hasError() && out.size() <= last ? PartStatus::Damaged : PartStatus::Ok;
}

// The attribute as a view into the reader's current token (empty when absent): no copy.
QStringView attrView(const QXmlStreamReader& x, QStringView name) {
    for (const QXmlStreamAttribute& a : x.attributes())
        if (a.name() == name) return a.value();
    return {};
}

// Number format code of every cell style (the "s" attribute of a cell indexes it), read
// once per style; General is kept as the empty code the cells carry.
QStringList readCellFormats(const QByteArray& xml) {
    QHash<int, QString> custom;
    QStringList out;
    QXmlStreamReader x(xml);
    bool inCellXfs = false;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement()) {
            if (x.name() == u"numFmt")
                custom.insert(attr(x, u"numFmtId").toInt(), attr(x, u"formatCode"));
            else if (x.name() == u"cellXfs")
                inCellXfs = true;
            else if (inCellXfs && x.name() == u"xf") {
                const int id = attrView(x, u"numFmtId").toInt();
                QString code =
                    custom.contains(id) ? custom.value(id) : wbook::BuiltinFormatCode(id);
                if (code == u"General") code.clear();
                out << code;
            }
        } else if (x.isEndElement() && x.name() == u"cellXfs") {
            inCellXfs = false;
        }
    }
    return out;
}

// "AB12" -> column 28 (row digits ignored); 0 when there are no letters.
int columnOf(QStringView ref) {
    int col = 0;
    for (QChar c : ref) {
        const char16_t u = c.toUpper().unicode();
        if (u < u'A' || u > u'Z') break;
        col = col * 26 + (u - u'A' + 1);
        if (col > 16384) return 0;
    }
    return col;
}

// ISO date text of a "d" cell as a serial.
double isoToSerial(const QString& iso, bool date1904) {
    QDateTime at = QDateTime::fromString(iso, Qt::ISODate);
    if (!at.isValid()) at = QDateTime(QDate::fromString(iso, Qt::ISODate), QTime(0, 0));
    if (!at.isValid()) return 0;
    const QDate base = date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
    double days = double(base.daysTo(at.date()));
    if (!date1904 && days < 61) days -= 1;
    return days + at.time().msecsSinceStartOfDay() / 86400000.0;
}

// A cell whose text is shared string `index`, filled in once the strings are read.
struct SharedRef {
    int row, col;
    qsizetype index;
};

PartStatus readSheet(PartDevice& part, const QStringList& formats, int maxRow, int maxColumn,
                     SheetCells& cells, QList<SharedRef>& sharedRefs) {
    QXmlStreamReader x(&part);
    int row = 0, col = 0;
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement()) continue;
        if (x.name() == u"row") {
            const QString r = attr(x, u"r");
            row = r.isEmpty() ? row + 1 : r.toInt();
            col = 0;
            if (row > maxRow) return PartStatus::Ok; // rows come in order; the rest is not needed
            continue;
        }
        if (x.name() != u"c") continue;
        const int refCol = columnOf(attrView(x, u"r"));
        col = refCol > 0 ? refCol : col + 1;
        const QString type = attr(x, u"t");
        Cell cell;
        cell.format = formats.value(attrView(x, u"s").toInt()); // shared, not copied
        QString value;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isEndElement() && x.name() == u"c") break;
            if (!x.isStartElement()) continue;
            if (x.name() == u"v")
                value = x.readElementText();
            else if (x.name() == u"is")
                value = readRichText(x);
        }
        // A formula without a stored result reads as empty, like an empty cell.
        if (row < 1 || row > maxRow || col < 1 || col > maxColumn ||
            (value.isEmpty() && type != u"inlineStr" && type != u"str"))
            continue;
        if (type == u"s") {
            bool ok = false;
            const qsizetype index = value.trimmed().toLongLong(&ok);
            if (!ok || index < 0) return PartStatus::Damaged;
            cell.kind = Cell::Text;
            sharedRefs.append({row, col, index});
        } else if (type == u"str" || type == u"inlineStr") {
            cell.kind = Cell::Text;
            cell.text = type == u"str" ? unescapeXstring(value) : value;
        } else if (type == u"b") {
            cell.kind = Cell::Boolean;
            cell.number = value.trimmed() == u"1" ? 1 : 0;
        } else if (type == u"e") {
            cell.kind = Cell::Error;
            cell.text = value;
        } else if (type == u"d") {
            cell.kind = Cell::Number;
            cell.number = isoToSerial(value, cells.date1904);
        } else {
            bool ok = false;
            cell.number = value.trimmed().toDouble(&ok);
            if (!ok) return PartStatus::Damaged;
            cell.kind = Cell::Number;
        }
        cells.set(row, col, cell);
    }
    if (const PartStatus s = part.status(); s != PartStatus::Ok) return s;
    return !x.hasError() || x.error() == QXmlStreamReader::PrematureEndOfDocumentError
               ? PartStatus::Ok
               : PartStatus::Damaged;
}

QString reasonFor(PartStatus s) {
    return s == PartStatus::TooLarge ? ReasonTooLarge() : ReasonCorrupt();
}

} // namespace

ReadResult ReadXlsx(const QByteArray& file, const QString& sheetName, int maxRow, int maxColumn) {
    ReadResult res;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source =
        zip_source_buffer_create(file.constData(), zip_uint64_t(file.size()), 0, &error);
    ZipPtr z(source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr);
    const int err = zip_error_code_zip(&error);
    zip_error_fini(&error);
    if (!z) {
        if (source) zip_source_free(source);
        res.reason = err == ZIP_ER_NOZIP ? ReasonNotWorkbook() : ReasonCorrupt();
        return res;
    }
    QString workbookPart = QStringLiteral("xl/workbook.xml");
    if (const auto rels = readPart(z.get(), QStringLiteral("_rels/.rels"))) {
        for (const Relationship& r : readRelationships(*rels, {}))
            if (r.type.endsWith(u"/officeDocument")) workbookPart = r.target;
    }
    QByteArray workbook;
    if (const PartStatus s = readPart(z.get(), workbookPart, workbook); s != PartStatus::Ok) {
        res.reason = s == PartStatus::Missing ? ReasonNotWorkbook() : reasonFor(s);
        return res;
    }
    const QString folder = workbookPart.left(workbookPart.lastIndexOf(u'/') + 1);
    const QString relsName = folder + QStringLiteral("_rels/") +
                             workbookPart.mid(workbookPart.lastIndexOf(u'/') + 1) +
                             QStringLiteral(".rels");
    const auto wbRelsXml = readPart(z.get(), relsName);
    const QHash<QString, Relationship> wbRels =
        wbRelsXml ? readRelationships(*wbRelsXml, folder) : QHash<QString, Relationship>();

    QString sheetRelId;
    bool found = false;
    QXmlStreamReader x(workbook);
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement()) continue;
        if (x.name() == u"workbookPr") {
            const QString v = attr(x, u"date1904");
            res.cells.date1904 = v == u"1" || v == u"true";
        } else if (x.name() == u"sheet" && !found &&
                   attr(x, u"name").compare(sheetName, Qt::CaseInsensitive) == 0) {
            sheetRelId = attr(x, u"id");
            found = true;
        }
    }
    if (x.hasError()) {
        res.reason = ReasonCorrupt();
        return res;
    }
    if (!found || !wbRels.contains(sheetRelId) ||
        !wbRels.value(sheetRelId).type.endsWith(u"/worksheet")) {
        res.reason = ReasonNoSheet(sheetName);
        return res;
    }
    QString sharedPart;
    QStringList formats;
    for (const Relationship& r : wbRels) {
        if (r.type.endsWith(u"/sharedStrings")) {
            sharedPart = r.target;
        } else if (r.type.endsWith(u"/styles")) {
            QByteArray styles;
            const PartStatus s = readPart(z.get(), r.target, styles);
            if (s == PartStatus::TooLarge) {
                res.reason = ReasonTooLarge();
                return res;
            }
            if (s == PartStatus::Ok) formats = readCellFormats(styles);
        }
    }
    PartDevice sheet(z.get(), wbRels.value(sheetRelId).target, kMaxStreamedBytes);
    QList<SharedRef> refs;
    PartStatus s = sheet.isOpen() ? readSheet(sheet, formats, maxRow, maxColumn, res.cells, refs)
                                  : PartStatus::Damaged;
    if (s == PartStatus::Ok && !refs.isEmpty()) {
        qsizetype last = 0;
        for (const SharedRef& r : refs)
            last = std::max(last, r.index);
        QStringList shared;
        if (!sharedPart.isEmpty()) s = readSharedStrings(z.get(), sharedPart, last, shared);
        for (const SharedRef& r : refs) {
            Cell c = res.cells.cell(r.row, r.col);
            c.text = shared.value(r.index);
            res.cells.set(r.row, r.col, c);
        }
    }
    if (s != PartStatus::Ok) {
        res.cells = SheetCells();
        res.reason = reasonFor(s);
        return res;
    }
    res.ok = true;
    return res;
}

} // namespace wbook
