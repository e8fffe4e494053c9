// Open XML workbooks: a zip of XML parts. The workbook part lists the sheets, the
// relationships give their parts, shared strings hold the texts and the styles hold
// the number formats.
#include "number_format.h"
#include "workbook.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <QXmlStreamReader>

#include <zip.h>

#include <memory>
#include <optional>

namespace wbook {
namespace {

constexpr zip_uint64_t kMaxPartSize = 256u * 1024 * 1024; // guards against zip bombs

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
using ZipPtr = std::unique_ptr<zip_t, ZipCloser>;

// The bytes of one part, or nothing when it is missing or unreadable.
std::optional<QByteArray> readPart(zip_t* z, const QString& name) {
    const QByteArray n = name.toUtf8();
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat(z, n.constData(), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) return {};
    if (st.size > kMaxPartSize) return {};
    zip_file_t* f = zip_fopen(z, n.constData(), 0);
    if (!f) return {};
    QByteArray out(qsizetype(st.size), Qt::Uninitialized);
    zip_int64_t got = 0;
    while (got < zip_int64_t(st.size)) {
        const zip_int64_t r = zip_fread(f, out.data() + got, st.size - zip_uint64_t(got));
        if (r <= 0) break;
        got += r;
    }
    zip_fclose(f);
    if (got != zip_int64_t(st.size)) return {};
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

QStringList readSharedStrings(const QByteArray& xml) {
    QStringList out;
    QXmlStreamReader x(xml);
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement() && x.name() == u"si") out << readRichText(x);
    }
    return out;
}

// Number format code of every cell style (the "s" attribute of a cell indexes it).
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
                const int id = attr(x, u"numFmtId").toInt();
                out << (custom.contains(id) ? custom.value(id) : xlfmt::builtinFormatCode(id));
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

bool readSheet(const QByteArray& xml, const QStringList& shared, const QStringList& formats,
               int maxRow, int maxColumn, SheetCells& cells) {
    QXmlStreamReader x(xml);
    int row = 0, col = 0;
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement()) continue;
        if (x.name() == u"row") {
            const QString r = attr(x, u"r");
            row = r.isEmpty() ? row + 1 : r.toInt();
            col = 0;
            if (row > maxRow) return true; // rows come in order; the rest is not needed
            continue;
        }
        if (x.name() != u"c") continue;
        const QString ref = attr(x, u"r");
        const int refCol = columnOf(ref);
        col = refCol > 0 ? refCol : col + 1;
        const QString type = attr(x, u"t");
        Cell cell;
        cell.format = formats.value(attr(x, u"s").toInt());
        if (cell.format == u"General") cell.format.clear();
        QString value;
        bool hasValue = false;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isEndElement() && x.name() == u"c") break;
            if (!x.isStartElement()) continue;
            if (x.name() == u"v") {
                value = x.readElementText();
                hasValue = true;
            } else if (x.name() == u"is") {
                value = readRichText(x);
                hasValue = true;
            }
        }
        if (row < 1 || row > maxRow || col < 1 || col > maxColumn || !hasValue) continue;
        if (type == u"s") {
            cell.kind = Cell::Text;
            cell.text = shared.value(value.toInt());
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
            if (!ok) return false;
            cell.kind = Cell::Number;
        }
        cells.set(row, col, cell);
    }
    return !x.hasError() || x.error() == QXmlStreamReader::PrematureEndOfDocumentError;
}

} // namespace

ReadResult ReadXlsx(const QString& path, const QString& sheetName, int maxRow, int maxColumn) {
    ReadResult res;
    int err = 0;
    ZipPtr z(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err));
    if (!z) {
        res.reason = err == ZIP_ER_NOZIP ? reasonNotWorkbook() : reasonCorrupt();
        return res;
    }
    QString workbookPart = QStringLiteral("xl/workbook.xml");
    if (const auto rels = readPart(z.get(), QStringLiteral("_rels/.rels"))) {
        for (const Relationship& r : readRelationships(*rels, {}))
            if (r.type.endsWith(u"/officeDocument")) workbookPart = r.target;
    }
    const auto workbook = readPart(z.get(), workbookPart);
    if (!workbook) {
        res.reason = reasonNotWorkbook();
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
    QXmlStreamReader x(*workbook);
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
        res.reason = reasonCorrupt();
        return res;
    }
    if (!found || !wbRels.contains(sheetRelId) ||
        !wbRels.value(sheetRelId).type.endsWith(u"/worksheet")) {
        res.reason = reasonNoSheet(sheetName);
        return res;
    }
    QStringList shared, formats;
    for (const Relationship& r : wbRels) {
        if (r.type.endsWith(u"/sharedStrings")) {
            const auto p = readPart(z.get(), r.target);
            if (!p) {
                res.reason = reasonCorrupt();
                return res;
            }
            shared = readSharedStrings(*p);
        } else if (r.type.endsWith(u"/styles")) {
            if (const auto p = readPart(z.get(), r.target)) formats = readCellFormats(*p);
        }
    }
    const auto sheet = readPart(z.get(), wbRels.value(sheetRelId).target);
    if (!sheet || !readSheet(*sheet, shared, formats, maxRow, maxColumn, res.cells)) {
        res.cells = SheetCells();
        res.reason = reasonCorrupt();
        return res;
    }
    res.ok = true;
    return res;
}

} // namespace wbook
