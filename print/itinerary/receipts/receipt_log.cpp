#include "itinerary/receipts/receipt_log.h"

#include "common/text_ops.h"
#include "itinerary/record_json.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>

namespace itin {

namespace {

constexpr QStringView kTimeFormat = u"yyyy-MM-ddTHH:mm:ss";

// Each step brings the file from the version before it to its own; user_version says
// which steps a file has had.
// Plain literals, so the log can be opened before any static QString is built.
const char* const kMigrations[][2] = {
    {"CREATE TABLE receipts (id INTEGER PRIMARY KEY AUTOINCREMENT,"
     " printed_at TEXT NOT NULL, check_code TEXT NOT NULL, passenger TEXT, id_number TEXT,"
     " ticket_number TEXT, pnr TEXT, route TEXT, total TEXT, mode TEXT, target TEXT,"
     " spoiled INTEGER NOT NULL DEFAULT 0)",
     "CREATE TABLE state (key TEXT PRIMARY KEY, value TEXT)"},
    {"CREATE INDEX receipts_check_code ON receipts (check_code)",
     "CREATE INDEX receipts_printed_at ON receipts (printed_at)"},
    // The record each receipt was printed from, so a row can be printed again.
    {"ALTER TABLE receipts ADD COLUMN record TEXT", nullptr},
};
constexpr int kSchemaVersion = int(std::size(kMigrations));

const char* const kColumns =
    "id, printed_at, check_code, passenger, id_number, ticket_number, pnr, route, total, mode, "
    "target, spoiled, record";

Receipt fromQuery(const QSqlQuery& q) {
    Receipt r;
    r.id = q.value(0).toLongLong();
    r.printedAt = QDateTime::fromString(q.value(1).toString(), kTimeFormat);
    r.checkCode = q.value(2).toString();
    r.passenger = q.value(3).toString();
    r.idNumber = q.value(4).toString();
    r.ticketNumber = q.value(5).toString();
    r.pnr = q.value(6).toString();
    r.route = q.value(7).toString();
    r.total = q.value(8).toString();
    r.mode = q.value(9).toString();
    r.target = q.value(10).toString();
    r.spoiled = q.value(11).toInt() != 0;
    r.record = q.value(12).toByteArray();
    return r;
}

// A route line without its padding: "北京   T3" becomes "北京 T3".
QString compactRoute(const QString& line) {
    return common::trimSpaces(line).split(QLatin1Char(' '), Qt::SkipEmptyParts).join(u' ');
}

// A field a spreadsheet would evaluate as a formula is kept as text by a leading quote.
QString csvField(QString s) {
    static const QString kFormulaStarts = QStringLiteral("=+-@\t\r");
    if (!s.isEmpty() && kFormulaStarts.contains(s.front())) s.prepend(QLatin1Char('\''));
    if (!s.contains(QLatin1Char(',')) && !s.contains(QLatin1Char('"')) &&
        !s.contains(QLatin1Char('\n')) && !s.contains(QLatin1Char('\r')))
        return s;
    QString quoted = s;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QString LogFileName() {
    return QStringLiteral("receipts.db");
}

Receipt ReceiptFromRecord(const itin::ItineraryRecord& record, qint16 printMode,
                          const QString& target, const QDateTime& at) {
    using namespace itin;
    Receipt r;
    r.printedAt = at;
    r.checkCode = common::trimSpaces(record.field(CheckCode));
    r.passenger = record.field(PassengerName);
    r.idNumber = record.field(IdNumber);
    r.ticketNumber = record.field(TicketNumber);
    r.pnr = common::trimSpaces(record.field(PnrCode));
    QStringList stops;
    for (int city : {City1, City2, City3, City4, City5}) {
        const QString stop = compactRoute(record.field(city));
        if (stop.isEmpty() || stop == QLatin1String("VOID")) break;
        stops << stop;
    }
    r.route = stops.join(QStringLiteral(" - "));
    r.total = record.field(Total);
    r.mode = printMode == International ? QStringLiteral("国际") : QStringLiteral("国内");
    r.target = target;
    r.record = RecordJson(PCommon{}, record, {});
    return r;
}

std::optional<QStringList> PrintedFields(const Receipt& receipt) {
    if (receipt.record.isEmpty()) return std::nullopt;
    const QJsonObject fields =
        QJsonDocument::fromJson(receipt.record).object().value(QLatin1String("fields")).toObject();
    if (fields.isEmpty()) return std::nullopt;
    QStringList out(itin::kFieldCount);
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        const int i = itin::fieldIndex(it.key());
        if (i >= 0 && i < itin::kFieldCount) out[i] = it.value().toString();
    }
    return out;
}

ReceiptLog::ReceiptLog() {
    static std::atomic<int> counter{0};
    connection_ = QStringLiteral("receipts-%1").arg(++counter);
}

ReceiptLog::~ReceiptLog() {
    if (QSqlDatabase::contains(connection_)) {
        QSqlDatabase::database(connection_, false).close();
        QSqlDatabase::removeDatabase(connection_);
    }
}

bool ReceiptLog::fail(const QString& what) const {
    error_ = QStringLiteral("打印记录 %1 出错：%2").arg(LogFileName(), what);
    return false;
}

bool ReceiptLog::open(const QString& path) {
    QSqlDatabase db = QSqlDatabase::contains(connection_)
                          ? QSqlDatabase::database(connection_, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    if (!db.isValid()) return fail(QStringLiteral("没有 SQLite 驱动"));
    db.close();
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) return fail(db.lastError().text());
    QSqlQuery q(db);
    // A rollback journal and full syncs: a write cut off by a crash is rolled back.
    if (!q.exec(QStringLiteral("PRAGMA synchronous = FULL")) || !migrate()) {
        db.close();
        return false;
    }
    return true;
}

bool ReceiptLog::isOpen() const {
    return QSqlDatabase::contains(connection_) &&
           QSqlDatabase::database(connection_, false).isOpen();
}

int ReceiptLog::schemaVersion() const {
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) return -1;
    return q.value(0).toInt();
}

bool ReceiptLog::migrate() {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    const int version = schemaVersion();
    if (version < 0) return fail(db.lastError().text());
    if (version > kSchemaVersion) return fail(QStringLiteral("文件来自较新的版本"));
    for (int v = version; v < kSchemaVersion; ++v) {
        if (!db.transaction()) return fail(db.lastError().text());
        QSqlQuery q(db);
        bool ok = true;
        for (const char* statement : kMigrations[v])
            ok = ok && (!statement || q.exec(QString::fromLatin1(statement)));
        ok = ok && q.exec(QStringLiteral("PRAGMA user_version = %1").arg(v + 1));
        if (!ok) {
            const QString why = q.lastError().text();
            db.rollback();
            return fail(why);
        }
        if (!db.commit()) return fail(db.lastError().text());
    }
    return true;
}

QString ReceiptLog::nextCheckCode() const {
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(QStringLiteral("SELECT value FROM state WHERE key = 'next_check_code'"));
    if (!q.exec() || !q.next()) return {};
    return q.value(0).toString();
}

bool ReceiptLog::setNextCheckCode(const QString& code) {
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(QStringLiteral(
        "INSERT OR REPLACE INTO state (key, value) VALUES ('next_check_code', ?)"));
    q.addBindValue(code);
    return q.exec() || fail(q.lastError().text());
}

bool ReceiptLog::contains(const QString& checkCode) const {
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(QStringLiteral("SELECT 1 FROM receipts WHERE check_code = ? LIMIT 1"));
    q.addBindValue(common::trimSpaces(checkCode));
    return q.exec() && q.next();
}

bool ReceiptLog::record(const Receipt& r, const QString& nextCheckCode) {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!db.isOpen()) return fail(QStringLiteral("未打开"));
    if (!db.transaction()) return fail(db.lastError().text());
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO receipts (printed_at, check_code, passenger, id_number,"
                             " ticket_number, pnr, route, total, mode, target, spoiled, record)"
                             " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const QVariant& v :
         {QVariant(r.printedAt.toString(kTimeFormat)), QVariant(r.checkCode),
          QVariant(r.passenger), QVariant(r.idNumber), QVariant(r.ticketNumber), QVariant(r.pnr),
          QVariant(r.route), QVariant(r.total), QVariant(r.mode), QVariant(r.target),
          QVariant(r.spoiled ? 1 : 0),
          r.record.isEmpty() ? QVariant(QMetaType::fromType<QString>())
                             : QVariant(QString::fromUtf8(r.record))})
        q.addBindValue(v);
    bool ok = q.exec();
    if (ok) {
        q.prepare(QStringLiteral(
            "INSERT OR REPLACE INTO state (key, value) VALUES ('next_check_code', ?)"));
        q.addBindValue(nextCheckCode);
        ok = q.exec();
    }
    if (!ok) {
        const QString why = q.lastError().text();
        db.rollback();
        return fail(why);
    }
    return db.commit() || fail(db.lastError().text());
}

QList<Receipt> ReceiptLog::list(const Filter& f) const {
    QStringList where;
    QVariantList values;
    if (f.from.isValid()) {
        where << QStringLiteral("printed_at >= ?");
        values << QDateTime(f.from, QTime(0, 0)).toString(kTimeFormat);
    }
    if (f.to.isValid()) {
        where << QStringLiteral("printed_at < ?");
        values << QDateTime(f.to.addDays(1), QTime(0, 0)).toString(kTimeFormat);
    }
    const std::pair<const char*, QString> exact[] = {{"ticket_number", f.ticketNumber},
                                                     {"pnr", f.pnr},
                                                     {"check_code", f.checkCode}};
    for (const auto& [column, value] : exact) {
        const QString v = value.trimmed();
        if (v.isEmpty()) continue;
        where << QStringLiteral("%1 = ?").arg(QLatin1String(column));
        values << v;
    }
    QString sql = QStringLiteral("SELECT %1 FROM receipts").arg(QLatin1String(kColumns));
    if (!where.isEmpty()) sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY id DESC");
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(sql);
    for (const QVariant& v : values)
        q.addBindValue(v);
    QList<Receipt> out;
    if (!q.exec()) {
        fail(q.lastError().text());
        return out;
    }
    while (q.next())
        out << fromQuery(q);
    return out;
}

std::optional<Receipt> ReceiptLog::find(qint64 id) const {
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(QStringLiteral("SELECT %1 FROM receipts WHERE id = ?").arg(QLatin1String(kColumns)));
    q.addBindValue(id);
    if (!q.exec() || !q.next()) return std::nullopt;
    return fromQuery(q);
}

bool ReceiptLog::markSpoiled(qint64 id) {
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(QStringLiteral("UPDATE receipts SET spoiled = 1 WHERE id = ?"));
    q.addBindValue(id);
    return (q.exec() && q.numRowsAffected() == 1) || fail(q.lastError().text());
}

QString DuplicateCheckCodeMessage(const QString& checkCode) {
    return QStringLiteral("验证码 %1 已在打印记录中").arg(common::trimSpaces(checkCode));
}

QStringList ReceiptColumns(const Receipt& r, const QString& timeFormat,
                           const QString& spoiledMark) {
    return {r.printedAt.toString(timeFormat),
            r.checkCode,
            r.passenger,
            r.idNumber,
            r.ticketNumber,
            r.pnr,
            r.route,
            r.total,
            r.mode,
            r.target,
            r.spoiled ? spoiledMark : QString()};
}

QByteArray ToCsv(const QList<Receipt>& rows) {
    QStringList lines;
    lines << QStringLiteral("时间,验证码,旅客姓名,有效身份证号码,电子客票号码,PNR,航程,合计,类型,"
                            "打印机或文件,作废");
    for (const Receipt& r : rows) {
        QStringList quoted;
        for (const QString& f :
             ReceiptColumns(r, QStringLiteral("yyyy-MM-dd HH:mm:ss"), QStringLiteral("是")))
            quoted << csvField(f);
        lines << quoted.join(QLatin1Char(','));
    }
    return QByteArray("\xEF\xBB\xBF") + (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

} // namespace itin
