#include "itinerary/receipts/receipt_log.h"

#include "common/text_ops.h"
#include "itinerary/record_json.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>

namespace itin {

namespace {

constexpr QStringView kTimeFormat = u"yyyy-MM-ddTHH:mm:ss";

// Everything below in this block is particular to SQLite: the schema steps, the write lock,
// the upsert of the counter and the file settings. Another database keeps the rest.
namespace sqlite {

// Each step brings the file from the version before it to its own; user_version says
// which steps a file has had. Plain literals, so the log can be opened before any static
// QString is built.
const char* const kStep1[] = {
    "CREATE TABLE receipts (id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " printed_at TEXT NOT NULL, check_code TEXT NOT NULL, passenger TEXT, id_number TEXT,"
    " ticket_number TEXT, pnr TEXT, route TEXT, total TEXT, mode TEXT, target TEXT,"
    " spoiled INTEGER NOT NULL DEFAULT 0)",
    "CREATE TABLE state (key TEXT PRIMARY KEY, value TEXT)", nullptr};
const char* const kStep2[] = {"CREATE INDEX receipts_check_code ON receipts (check_code)",
                              "CREATE INDEX receipts_printed_at ON receipts (printed_at)", nullptr};
// The record each receipt was printed from, so a row can be printed again.
const char* const kStep3[] = {"ALTER TABLE receipts ADD COLUMN record TEXT", nullptr};
// The ledger: what became of each page, the check code as a number, and one row per code
// except confirmed reprints. Rows from before that repeat a code are marked reprints.
const char* const kStep4[] = {
    "ALTER TABLE receipts ADD COLUMN status INTEGER NOT NULL DEFAULT 1",
    "ALTER TABLE receipts ADD COLUMN reason TEXT",
    "ALTER TABLE receipts ADD COLUMN code_number INTEGER",
    "ALTER TABLE receipts ADD COLUMN reused INTEGER NOT NULL DEFAULT 0",
    "UPDATE receipts SET code_number = CAST(trim(check_code) AS INTEGER)"
    " WHERE length(trim(check_code)) BETWEEN 1 AND 4 AND trim(check_code) NOT GLOB '*[^0-9]*'",
    "UPDATE receipts SET reused = 1 WHERE code_number IS NOT NULL AND id NOT IN"
    " (SELECT min(id) FROM receipts WHERE code_number IS NOT NULL GROUP BY code_number)",
    "CREATE UNIQUE INDEX receipts_code_once ON receipts (code_number)"
    " WHERE status <> 2 AND reused = 0",
    nullptr};
const char* const* const kMigrations[] = {kStep1, kStep2, kStep3, kStep4};
constexpr int kSchemaVersion = int(std::size(kMigrations));

// Takes the write lock at once, so two writers never read the same next code.
const char* const kBeginWrite = "BEGIN IMMEDIATE";
const char* const kSetNext = "INSERT INTO state (key, value) VALUES ('next_check_code', ?)"
                             " ON CONFLICT (key) DO UPDATE SET value = excluded.value";
// A rollback journal and full syncs: a write cut off by a crash is rolled back.
const char* const kFileSettings = "PRAGMA synchronous = FULL";
const char* const kReadVersion = "PRAGMA user_version";
const char* const kWriteVersion = "PRAGMA user_version = %1";
const char* const kConnectOptions = "QSQLITE_BUSY_TIMEOUT=5000";
const char* const kDriver = "QSQLITE";

} // namespace sqlite

// Status as stored.
int statusValue(ReceiptStatus s) {
    return s == ReceiptStatus::Reserved ? 0 : s == ReceiptStatus::Printed ? 1 : 2;
}
ReceiptStatus statusFrom(int v) {
    return v == 0   ? ReceiptStatus::Reserved
           : v == 2 ? ReceiptStatus::Failed
                    : ReceiptStatus::Printed;
}

const char* const kListColumns =
    "id, printed_at, check_code, passenger, id_number, ticket_number, pnr, route, total, mode, "
    "target, spoiled, status, reason, reused";

// The sortable SQL column of each window column.
const char* const kSortColumns[ReceiptColumnCount] = {
    "printed_at", "code_number", "passenger", "id_number", "ticket_number", "pnr",
    "route",      "total",       "mode",      "target",    "spoiled",       "status"};

Receipt fromQuery(const QSqlQuery& q, bool withRecord) {
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
    r.status = statusFrom(q.value(12).toInt());
    r.reason = q.value(13).toString();
    r.reused = q.value(14).toInt() != 0;
    if (withRecord) r.record = q.value(15).toByteArray();
    return r;
}

// A route line without its padding: "北京   T3" becomes "北京 T3".
QString compactRoute(const QString& line) {
    return common::trimSpaces(line).split(QLatin1Char(' '), Qt::SkipEmptyParts).join(u' ');
}

// A field a spreadsheet would evaluate as a formula is kept as text by a leading quote.
void appendCsvField(QString& line, QStringView s) {
    static const QString kFormulaStarts = QStringLiteral("=+-@\t\r");
    const bool formula = !s.isEmpty() && kFormulaStarts.contains(s.front());
    const bool quote =
        s.contains(u',') || s.contains(u'"') || s.contains(u'\n') || s.contains(u'\r');
    if (quote) line += u'"';
    if (formula) line += u'\'';
    if (quote && s.contains(u'"'))
        line += s.toString().replace(QLatin1Char('"'), QLatin1String("\"\""));
    else
        line += s;
    if (quote) line += u'"';
}

QString statusText(const Receipt& r) {
    switch (r.status) {
    case ReceiptStatus::Reserved:
        return QStringLiteral("未确认");
    case ReceiptStatus::Failed:
        return QStringLiteral("失败：") + r.reason;
    case ReceiptStatus::Printed:
        break;
    }
    return r.reused ? QStringLiteral("已打印（重复验证码）") : QStringLiteral("已打印");
}

QString codeText(int n) {
    return QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'));
}

// The code after n: 0041 gives 0042, 9999 gives 1000.
int codeAfter(int n) {
    return n + 1 > 9999 ? 1000 : n + 1;
}

// The WHERE clause of a filter and its values.
struct Where {
    QString sql;
    QVariantList values;
};

QString likePattern(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('%'), QLatin1String("\\%"))
        .replace(QLatin1Char('_'), QLatin1String("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

Where whereOf(const Filter& f) {
    QStringList parts;
    Where w;
    if (f.from.isValid()) {
        parts << QStringLiteral("printed_at >= ?");
        w.values << f.from.toString(Qt::ISODate);
    }
    if (f.to.isValid()) {
        // Every time of the day sorts below "T24", also on the last day there is.
        parts << QStringLiteral("printed_at < ?");
        w.values << f.to.toString(Qt::ISODate) + QStringLiteral("T24");
    }
    QString ticket = f.ticketNumber.trimmed();
    ticket.remove(QLatin1Char('-'));
    if (!ticket.isEmpty()) {
        parts << QStringLiteral("replace(ticket_number, '-', '') LIKE ? ESCAPE '\\'");
        w.values << likePattern(ticket);
    }
    if (const QString pnr = f.pnr.trimmed(); !pnr.isEmpty()) {
        parts << QStringLiteral("pnr LIKE ? ESCAPE '\\'");
        w.values << likePattern(pnr);
    }
    if (const QString code = f.checkCode.trimmed(); !code.isEmpty()) {
        const std::optional<int> n = CheckCodeNumber(code);
        if (n) {
            parts << QStringLiteral("code_number = ?");
            w.values << *n;
        } else {
            parts << QStringLiteral("check_code = ?");
            w.values << code;
        }
    }
    if (!parts.isEmpty()) w.sql = QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
    return w;
}

} // namespace

QString LogFileName() {
    return QStringLiteral("receipts.db");
}

QDate ParseDay(const QString& text) {
    const QString t = common::trimSpaces(text);
    if (t.size() == 8 && !t.contains(QRegularExpression(QStringLiteral("\\D"))))
        return QDate::fromString(t, QStringLiteral("yyyyMMdd"));
    static const QRegularExpression kDay(
        QStringLiteral("^(\\d{4})\\s*[-/.年]\\s*(\\d{1,2})\\s*[-/.月]\\s*(\\d{1,2})\\s*日?$"));
    const QRegularExpressionMatch m = kDay.match(t);
    if (!m.hasMatch()) return {};
    return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

std::optional<int> CheckCodeNumber(const QString& checkCode) {
    const QString code = common::trimSpaces(checkCode).trimmed();
    if (code.isEmpty() || code.size() > 4) return std::nullopt;
    int n = 0;
    for (QChar c : code) {
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c.unicode() - u'0';
        else if (c >= u'\uFF10' && c <= u'\uFF19') // full-width digits
            digit = c.unicode() - 0xFF10;
        if (digit < 0) return std::nullopt;
        n = n * 10 + digit;
    }
    return n;
}

QString BadCheckCodeMessage() {
    return QStringLiteral("验证码只能是1到4位数字");
}

QStringList ReceiptHeaders() {
    return {QStringLiteral("时间"),         QStringLiteral("验证码"),
            QStringLiteral("旅客姓名"),     QStringLiteral("有效身份证号码"),
            QStringLiteral("电子客票号码"), QStringLiteral("PNR"),
            QStringLiteral("航程"),         QStringLiteral("合计"),
            QStringLiteral("类型"),         QStringLiteral("打印机或文件"),
            QStringLiteral("作废"),         QStringLiteral("状态")};
}

Receipt ReceiptFromRecord(const itin::ItineraryRecord& record, qint16 printMode,
                          const QString& target, const QDateTime& at) {
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
    error_ = QStringLiteral("打印记录 %1 出错：%2")
                 .arg(LogFileName(),
                      what.trimmed().isEmpty() ? QStringLiteral("原因不明") : what.trimmed());
    return false;
}

bool ReceiptLog::failSql(const QSqlError& e) const {
    // SQLite's own words first ("database is locked", "file is not a database"), then the
    // driver's, then the bare error code.
    QString why = e.databaseText().trimmed();
    if (why.isEmpty()) why = e.driverText().trimmed();
    if (!e.nativeErrorCode().isEmpty())
        why += QStringLiteral("（错误码 %1）").arg(e.nativeErrorCode());
    return fail(why);
}

void ReceiptLog::setPath(const QString& path) {
    path_ = path;
}

bool ReceiptLog::ready() const {
    if (isOpen()) return true;
    if (path_.isEmpty()) return fail(QStringLiteral("未打开"));
    return const_cast<ReceiptLog*>(this)->open(path_);
}

bool ReceiptLog::open(const QString& path) {
    path_ = path;
    QSqlDatabase db = QSqlDatabase::contains(connection_)
                          ? QSqlDatabase::database(connection_, false)
                          : QSqlDatabase::addDatabase(QLatin1String(sqlite::kDriver), connection_);
    if (!db.isValid()) return fail(QStringLiteral("没有 SQLite 驱动"));
    db.close();
    db.setDatabaseName(path);
    db.setConnectOptions(QLatin1String(sqlite::kConnectOptions));
    if (!db.open()) return failSql(db.lastError());
    QSqlQuery q(db);
    if (!q.exec(QLatin1String(sqlite::kFileSettings))) {
        failSql(q.lastError());
        db.close();
        return false;
    }
    if (!migrate()) {
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
    if (!ready()) return -1;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (!q.exec(QLatin1String(sqlite::kReadVersion)) || !q.next()) {
        failSql(q.lastError());
        return -1;
    }
    return q.value(0).toInt();
}

bool ReceiptLog::migrate() {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    const auto version = [&]() -> int {
        if (!q.exec(QLatin1String(sqlite::kReadVersion)) || !q.next()) return -1;
        const int v = q.value(0).toInt();
        q.finish();
        return v;
    };
    int v = version();
    if (v < 0) return failSql(q.lastError());
    if (v > sqlite::kSchemaVersion) return fail(QStringLiteral("文件来自较新的版本"));
    if (v == sqlite::kSchemaVersion) return true;
    // Every pending step in one write transaction: the file is at its old version or the
    // newest. Another program may have brought it up meanwhile, so look again under the lock.
    const auto rollBack = [&](const QSqlError& e) {
        failSql(e);
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return false;
    };
    if (!q.exec(QLatin1String(sqlite::kBeginWrite))) return failSql(q.lastError());
    v = version();
    if (v < 0) return rollBack(q.lastError());
    if (v >= sqlite::kSchemaVersion) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return v == sqlite::kSchemaVersion || fail(QStringLiteral("文件来自较新的版本"));
    }
    for (; v < sqlite::kSchemaVersion; ++v)
        for (const char* const* s = sqlite::kMigrations[v]; *s; ++s)
            if (!q.exec(QLatin1String(*s))) return rollBack(q.lastError());
    if (!q.exec(QString::fromLatin1(sqlite::kWriteVersion).arg(sqlite::kSchemaVersion)) ||
        !q.exec(QStringLiteral("COMMIT")))
        return rollBack(q.lastError());
    return true;
}

QString ReceiptLog::nextCheckCode() const {
    if (!ready()) return {};
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (!q.exec(QStringLiteral("SELECT value FROM state WHERE key = 'next_check_code'"))) {
        failSql(q.lastError());
        return {};
    }
    return q.next() ? q.value(0).toString() : QString();
}

bool ReceiptLog::setNextCheckCode(const QString& code) {
    if (!ready()) return false;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(QLatin1String(sqlite::kSetNext));
    q.addBindValue(code);
    return q.exec() || failSql(q.lastError());
}

bool ReceiptLog::contains(const QString& checkCode) const {
    const std::optional<int> n = CheckCodeNumber(checkCode);
    if (!n || !ready()) return false;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(
        QStringLiteral("SELECT 1 FROM receipts WHERE code_number = ? AND status <> 2 LIMIT 1"));
    q.addBindValue(*n);
    return q.exec() && q.next();
}

bool ReceiptLog::reserve(QList<Receipt>& rows, CodeSource source, bool allowReuse) {
    if (!ready()) return false;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    if (!q.exec(QLatin1String(sqlite::kBeginWrite))) return failSql(q.lastError());
    // Ends the transaction unwritten; error_ is set by the caller's fail.
    const auto refuse = [&](bool) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return false;
    };
    const auto taken = [&](int n, bool* ok) {
        QSqlQuery t(db);
        t.prepare(
            QStringLiteral("SELECT 1 FROM receipts WHERE code_number = ? AND status <> 2 LIMIT 1"));
        t.addBindValue(n);
        *ok = t.exec();
        if (!*ok) failSql(t.lastError());
        return *ok && t.next();
    };
    if (!q.exec(QStringLiteral("SELECT value FROM state WHERE key = 'next_check_code'")))
        return refuse(failSql(q.lastError()));
    const QString storedNext = q.next() ? q.value(0).toString() : QString();
    q.finish();
    std::optional<int> next = CheckCodeNumber(storedNext);
    std::optional<int> code;
    if (source == CodeSource::LogNext) {
        if (!next) {
            error_ = QStringLiteral("请填写验证码!");
            return refuse(false);
        }
    }
    // The counter may point at a code someone typed ahead: the log's codes go on to a free one.
    const auto firstFree = [&](int from, bool* ok) {
        int c = from;
        for (int guard = 0; guard < 10000 && taken(c, ok) && *ok; ++guard)
            c = codeAfter(c);
        return c;
    };
    q.prepare(QStringLiteral(
        "INSERT INTO receipts (printed_at, check_code, passenger, id_number, ticket_number, pnr,"
        " route, total, mode, target, spoiled, record, status, reason, code_number, reused)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0, ?, 0, NULL, ?, ?)"));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        Receipt& r = rows[i];
        bool ok = true;
        if (source == CodeSource::LogNext) {
            code = firstFree(i == 0 ? *next : codeAfter(*code), &ok);
            if (!ok) return refuse(false);
            r.checkCode = codeText(*code);
        } else if (i > 0) {
            code = codeAfter(*code);
            r.checkCode = codeText(*code);
        } else {
            code = CheckCodeNumber(r.checkCode);
            if (!code) {
                error_ = BadCheckCodeMessage();
                return refuse(false);
            }
            r.checkCode = common::trimSpaces(r.checkCode).trimmed();
        }
        r.reused = taken(*code, &ok);
        if (!ok) return refuse(false);
        if (r.reused && !allowReuse) {
            error_ = DuplicateCheckCodeMessage(r.checkCode);
            return refuse(false);
        }
        r.status = ReceiptStatus::Reserved;
        r.reason.clear();
        r.spoiled = false;
        for (const QVariant& v :
             {QVariant(r.printedAt.toString(kTimeFormat)), QVariant(r.checkCode),
              QVariant(r.passenger), QVariant(r.idNumber), QVariant(r.ticketNumber),
              QVariant(r.pnr), QVariant(r.route), QVariant(r.total), QVariant(r.mode),
              QVariant(r.target),
              r.record.isEmpty() ? QVariant(QMetaType::fromType<QString>())
                                 : QVariant(QString::fromUtf8(r.record)),
              QVariant(*code), QVariant(r.reused ? 1 : 0)})
            q.addBindValue(v);
        if (!q.exec()) return refuse(failSql(q.lastError()));
        r.id = q.lastInsertId().toLongLong();
        // The counter only moves forward (or wraps from 9999); a reprint leaves it.
        if (!r.reused && (!next || *code >= *next)) next = codeAfter(*code);
    }
    if (next && codeText(*next) != storedNext) {
        QSqlQuery s(db);
        s.prepare(QLatin1String(sqlite::kSetNext));
        s.addBindValue(codeText(*next));
        if (!s.exec()) return refuse(failSql(s.lastError()));
    }
    if (!q.exec(QStringLiteral("COMMIT"))) return refuse(failSql(q.lastError()));
    emit changed();
    return true;
}

bool ReceiptLog::finish(const QList<PageOutcome>& outcomes) {
    if (outcomes.isEmpty()) return true;
    if (!ready()) return false;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    if (!q.exec(QLatin1String(sqlite::kBeginWrite))) return failSql(q.lastError());
    q.prepare(QStringLiteral("UPDATE receipts SET status = ?, reason = ? WHERE id = ?"));
    for (const PageOutcome& o : outcomes) {
        q.addBindValue(statusValue(o.printed ? ReceiptStatus::Printed : ReceiptStatus::Failed));
        q.addBindValue(o.printed
                           ? QVariant(QMetaType::fromType<QString>())
                           : QVariant(o.reason.isEmpty() ? QStringLiteral("原因不明") : o.reason));
        q.addBindValue(o.id);
        if (!q.exec()) {
            failSql(q.lastError());
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            return false;
        }
    }
    if (!q.exec(QStringLiteral("COMMIT"))) {
        failSql(q.lastError());
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    emit changed();
    return true;
}

bool ReceiptLog::record(const Receipt& r, const QString& nextCheckCode) {
    if (!ready()) return false;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    if (!q.exec(QLatin1String(sqlite::kBeginWrite))) return failSql(q.lastError());
    q.prepare(QStringLiteral("INSERT INTO receipts (printed_at, check_code, passenger, id_number,"
                             " ticket_number, pnr, route, total, mode, target, spoiled, record,"
                             " status, reason, code_number, reused)"
                             " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const std::optional<int> n = CheckCodeNumber(r.checkCode);
    for (const QVariant& v :
         {QVariant(r.printedAt.toString(kTimeFormat)), QVariant(r.checkCode), QVariant(r.passenger),
          QVariant(r.idNumber), QVariant(r.ticketNumber), QVariant(r.pnr), QVariant(r.route),
          QVariant(r.total), QVariant(r.mode), QVariant(r.target), QVariant(r.spoiled ? 1 : 0),
          r.record.isEmpty() ? QVariant(QMetaType::fromType<QString>())
                             : QVariant(QString::fromUtf8(r.record)),
          QVariant(statusValue(r.status)),
          r.reason.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(r.reason),
          n ? QVariant(*n) : QVariant(QMetaType::fromType<int>()), QVariant(r.reused ? 1 : 0)})
        q.addBindValue(v);
    bool ok = q.exec();
    if (ok) {
        q.prepare(QLatin1String(sqlite::kSetNext));
        q.addBindValue(nextCheckCode);
        ok = q.exec();
    }
    if (!ok) {
        failSql(q.lastError());
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    if (!q.exec(QStringLiteral("COMMIT"))) return failSql(q.lastError());
    emit changed();
    return true;
}

QList<Receipt> ReceiptLog::list(const Filter& f) const {
    QList<Receipt> out;
    if (!ready()) return out;
    const Where w = whereOf(f);
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1, record FROM receipts%2 ORDER BY id DESC")
                  .arg(QLatin1String(kListColumns), w.sql));
    for (const QVariant& v : w.values)
        q.addBindValue(v);
    if (!q.exec()) {
        failSql(q.lastError());
        return out;
    }
    while (q.next())
        out << fromQuery(q, true);
    if (q.lastError().isValid()) {
        failSql(q.lastError());
        return {};
    }
    return out;
}

qint64 ReceiptLog::count(const Filter& f) const {
    if (!ready()) return -1;
    const Where w = whereOf(f);
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(QStringLiteral("SELECT count(*) FROM receipts") + w.sql);
    for (const QVariant& v : w.values)
        q.addBindValue(v);
    if (!q.exec() || !q.next()) {
        failSql(q.lastError());
        return -1;
    }
    return q.value(0).toLongLong();
}

std::optional<QList<Receipt>> ReceiptLog::page(const Filter& f, ReceiptColumn sortColumn,
                                               bool ascending, qint64 offset, int limit) const {
    if (!ready()) return std::nullopt;
    const Where w = whereOf(f);
    const char* column =
        kSortColumns[sortColumn >= 0 && sortColumn < ReceiptColumnCount ? sortColumn : TimeColumn];
    const QString dir = ascending ? QStringLiteral("ASC") : QStringLiteral("DESC");
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM receipts%2 ORDER BY %3 %4, id %4 LIMIT ? OFFSET ?")
                  .arg(QLatin1String(kListColumns), w.sql, QLatin1String(column), dir));
    for (const QVariant& v : w.values)
        q.addBindValue(v);
    q.addBindValue(limit);
    q.addBindValue(offset);
    if (!q.exec()) {
        failSql(q.lastError());
        return std::nullopt;
    }
    QList<Receipt> out;
    while (q.next())
        out << fromQuery(q, false);
    if (q.lastError().isValid()) {
        failSql(q.lastError());
        return std::nullopt;
    }
    return out;
}

std::optional<Receipt> ReceiptLog::find(qint64 id) const {
    if (!ready()) return std::nullopt;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(QStringLiteral("SELECT %1, record FROM receipts WHERE id = ?")
                  .arg(QLatin1String(kListColumns)));
    q.addBindValue(id);
    if (!q.exec() || !q.next()) return std::nullopt;
    return fromQuery(q, true);
}

bool ReceiptLog::markSpoiled(qint64 id) {
    if (!ready()) return false;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(QStringLiteral("UPDATE receipts SET spoiled = 1 WHERE id = ?"));
    q.addBindValue(id);
    if (!q.exec()) return failSql(q.lastError());
    if (q.numRowsAffected() != 1) return fail(QStringLiteral("没有第 %1 行").arg(id));
    emit changed();
    return true;
}

bool ReceiptLog::exportCsv(const Filter& f, const std::function<bool(const QByteArray&)>& write,
                           qint64* rows) const {
    if (rows) *rows = 0;
    if (!ready()) return false;
    const Where w = whereOf(f);
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT printed_at, check_code, passenger, id_number, ticket_number,"
                             " pnr, route, total, mode, target, spoiled, status, reason, reused"
                             " FROM receipts%1 ORDER BY id DESC")
                  .arg(w.sql));
    for (const QVariant& v : w.values)
        q.addBindValue(v);
    if (!q.exec()) return failSql(q.lastError());
    QString chunk =
        QStringLiteral("\uFEFF") + ReceiptHeaders().join(QLatin1Char(',')) + QStringLiteral("\r\n");
    const auto flush = [&] {
        const bool ok = write(chunk.toUtf8());
        chunk.clear();
        return ok || fail(QStringLiteral("无法写出导出的记录"));
    };
    qint64 n = 0;
    Receipt r;
    while (q.next()) {
        QString time = q.value(0).toString();
        if (time.size() > 10 && time.at(10) == u'T') time[10] = u' ';
        appendCsvField(chunk, time);
        for (int c = 1; c <= 9; ++c) {
            chunk += u',';
            appendCsvField(chunk, q.value(c).toString());
        }
        chunk += u',';
        if (q.value(10).toInt() != 0) chunk += QStringLiteral("是");
        chunk += u',';
        r.status = statusFrom(q.value(11).toInt());
        r.reason = q.value(12).toString();
        r.reused = q.value(13).toInt() != 0;
        appendCsvField(chunk, statusText(r));
        chunk += QLatin1String("\r\n");
        ++n;
        if (chunk.size() > 32768 && !flush()) return false;
    }
    if (q.lastError().isValid()) return failSql(q.lastError());
    if (!flush()) return false;
    if (rows) *rows = n;
    return true;
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
            r.spoiled ? spoiledMark : QString(),
            statusText(r)};
}

QByteArray ToCsv(const QList<Receipt>& rows) {
    QString text =
        QStringLiteral("\uFEFF") + ReceiptHeaders().join(QLatin1Char(',')) + QStringLiteral("\r\n");
    for (const Receipt& r : rows) {
        const QStringList fields =
            ReceiptColumns(r, QStringLiteral("yyyy-MM-dd HH:mm:ss"), QStringLiteral("是"));
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i) text += u',';
            appendCsvField(text, fields[i]);
        }
        text += QLatin1String("\r\n");
    }
    return text.toUtf8();
}

} // namespace itin
