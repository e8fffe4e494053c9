#include "itinerary/receipts/receipt_log.h"

#include "common/deploy_config.h"
#include "common/text_ops.h"
#include "itinerary/print_form_state.h"
#include "itinerary/receipts/pg_ledger.h"
#include "itinerary/receipts/sqlite_ledger.h"
#include "itinerary/record_json.h"
#include "itinerary/workstation_id.h"

#include <QDir>
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

// Status as stored.
int statusValue(ReceiptStatus s) {
    return s == ReceiptStatus::Reserved ? 0 : s == ReceiptStatus::Printed ? 1 : 2;
}
ReceiptStatus statusFrom(int v) {
    return v == 0   ? ReceiptStatus::Reserved
           : v == 2 ? ReceiptStatus::Failed
                    : ReceiptStatus::Printed;
}

// A local log's rows carry no counter: they are all this one's.
const char* const kListColumns =
    "id, printed_at, check_code, passenger, id_number, ticket_number, pnr, route, total, mode, "
    "target, spoiled, status, reason, reused, %1";
QString listColumns(const LedgerBackend& b) {
    return QLatin1String(kListColumns)
        .arg(b.sharedByCounters() ? QLatin1String("workstation") : QLatin1String("NULL"));
}

// The sortable SQL column of each window column.
const char* const kSortColumns[ReceiptColumnCount] = {
    "printed_at", "code_number", "passenger", "id_number", "ticket_number", "pnr",        "route",
    "total",      "mode",        "target",    "spoiled",   "status",        "workstation"};

Receipt fromQuery(const QSqlQuery& q, bool withRecord, const QString& counter) {
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
    r.workstation = q.value(15).isNull() ? counter : q.value(15).toString();
    if (withRecord) r.record = q.value(16).toByteArray();
    return r;
}

// A route line without its padding: "北京   T3" becomes "北京 T3".
QString compactRoute(const QString& line) {
    return common::TrimSpaces(line).split(QLatin1Char(' '), Qt::SkipEmptyParts).join(u' ');
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

Where whereOf(const Filter& f, const LedgerBackend& b) {
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
    if (const QString counter = f.workstation.trimmed(); !counter.isEmpty()) {
        if (b.sharedByCounters()) {
            parts << QStringLiteral("workstation = ?");
            w.values << counter;
        } else if (counter != b.counter()) {
            parts << QStringLiteral("1 = 0"); // a local log holds this counter only
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
    const QString t = common::TrimSpaces(text);
    if (t.size() == 8 && !t.contains(QRegularExpression(QStringLiteral("\\D"))))
        return QDate::fromString(t, QStringLiteral("yyyyMMdd"));
    static const QRegularExpression kDay(
        QStringLiteral("^(\\d{4})\\s*[-/.年]\\s*(\\d{1,2})\\s*[-/.月]\\s*(\\d{1,2})\\s*日?$"));
    const QRegularExpressionMatch m = kDay.match(t);
    if (!m.hasMatch()) return {};
    return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

std::optional<int> CheckCodeNumber(const QString& checkCode) {
    const QString code = common::TrimSpaces(checkCode).trimmed();
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
            QStringLiteral("作废"),         QStringLiteral("状态"),
            QStringLiteral("工作站")};
}

Receipt ReceiptFromRecord(const itin::ItineraryRecord& record, qint16 printMode,
                          const QString& target, const QDateTime& at) {
    Receipt r;
    r.printedAt = at;
    r.checkCode = common::TrimSpaces(record.field(CheckCode));
    r.passenger = record.field(PassengerName);
    r.idNumber = record.field(IdNumber);
    r.ticketNumber = record.field(TicketNumber);
    r.pnr = common::TrimSpaces(record.field(PnrCode));
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
    r.record = RecordJson(record, {});
    return r;
}

std::optional<QStringList> PrintedFields(const Receipt& receipt) {
    if (receipt.record.isEmpty()) return std::nullopt;
    const QJsonObject fields =
        QJsonDocument::fromJson(receipt.record).object().value(QLatin1String("fields")).toObject();
    if (fields.isEmpty()) return std::nullopt;
    QStringList out(itin::kFieldCount);
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        const int i = itin::FieldIndex(it.key());
        if (i >= 0 && i < itin::kFieldCount) out[i] = it.value().toString();
    }
    return out;
}

QString ErrorCause(const QSqlError& e) {
    // The database's own words first ("database is locked", "file is not a database"), then
    // the driver's, then the bare error code.
    QString why = e.databaseText().simplified();
    if (why.isEmpty()) why = e.driverText().simplified();
    if (!e.nativeErrorCode().isEmpty())
        why += QStringLiteral("（错误码 %1）").arg(e.nativeErrorCode());
    return why;
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
    if (backend_)
        error_ = backend_->failure(what);
    else if (!unavailable_.isEmpty())
        error_ = unavailable_;
    else
        error_ = QStringLiteral("打印记录 %1 出错：%2").arg(LogFileName(), what);
    return false;
}

bool ReceiptLog::failSql(const QSqlError& e) const {
    return fail(ErrorCause(e));
}

void ReceiptLog::setBackend(std::unique_ptr<LedgerBackend> backend) {
    if (QSqlDatabase::contains(connection_)) {
        QSqlDatabase::database(connection_, false).close();
        QSqlDatabase::removeDatabase(connection_);
    }
    backend_ = std::move(backend);
    unavailable_.clear();
}

void ReceiptLog::setPath(const QString& path) {
    setBackend(std::make_unique<SqliteLedger>(path, MachineWorkstationId()));
}

void ReceiptLog::setUnavailable(const QString& why) {
    setBackend(nullptr);
    unavailable_ = why;
}

bool ReceiptLog::ready() const {
    if (isOpen()) return true;
    if (!backend_) return fail(QStringLiteral("未打开"));
    return const_cast<ReceiptLog*>(this)->open();
}

bool ReceiptLog::open(const QString& path) {
    setPath(path);
    return open();
}

bool ReceiptLog::open() {
    if (!backend_) return fail(QStringLiteral("未打开"));
    QSqlDatabase db = QSqlDatabase::contains(connection_)
                          ? QSqlDatabase::database(connection_, false)
                          : QSqlDatabase::addDatabase(backend_->driver(), connection_);
    if (!db.isValid()) {
        error_ = backend_->openFailure(QStringLiteral("没有 %1 驱动").arg(backend_->driver()));
        return false;
    }
    db.close();
    backend_->configure(db);
    if (!db.open()) {
        error_ = backend_->openFailure(ErrorCause(db.lastError()));
        return false;
    }
    QString why;
    if (!backend_->migrate(db, &why)) {
        db.close();
        return fail(why);
    }
    return true;
}

bool ReceiptLog::isOpen() const {
    return QSqlDatabase::contains(connection_) &&
           QSqlDatabase::database(connection_, false).isOpen();
}

QString ReceiptLog::counter() const {
    return backend_ ? backend_->counter() : QString();
}

bool ReceiptLog::shared() const {
    return backend_ && backend_->sharedByCounters();
}

template <class F, class R> R ReceiptLog::again(F&& operation, R failed) const {
    error_.clear();
    // A ledger that cannot be reached is told at once, not after a second wait.
    if (!ready()) return failed;
    R result = operation();
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (error_.isEmpty() || !backend_->connectionLost(db)) return result;
    // The connection went since its last use (a restarted server, a network break).
    if (!const_cast<ReceiptLog*>(this)->open()) return failed;
    error_.clear();
    return operation();
}

bool ReceiptLog::inWriteTransaction(const std::function<bool(QSqlDatabase&, QSqlQuery&)>& body) {
    return again(
        [&] {
            QSqlDatabase db = QSqlDatabase::database(connection_, false);
            QSqlQuery q(db);
            // failSql keeps the cause and answers false; body sets its own.
            const bool done = (backend_->beginWrite(q) || failSql(q.lastError())) && body(db, q) &&
                              (q.exec(QStringLiteral("COMMIT")) || failSql(q.lastError()));
            if (!done) QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            return done;
        },
        false);
}

QString ReceiptLog::counterScope() const {
    return shared() ? QStringLiteral(" AND workstation = ?") : QString();
}

void ReceiptLog::bindCounter(QSqlQuery& q) const {
    if (shared()) q.addBindValue(backend_->counter());
}

int ReceiptLog::schemaVersion() const {
    return again(
        [&] {
            QSqlDatabase db = QSqlDatabase::database(connection_, false);
            const int v = backend_->schemaVersion(db);
            if (v < 0) failSql(db.lastError());
            return v;
        },
        -1);
}

QString ReceiptLog::nextCheckCode() const {
    return again(
        [&]() -> QString {
            QSqlQuery q(QSqlDatabase::database(connection_, false));
            const std::optional<QString> next = backend_->readNext(q);
            if (!next) failSql(q.lastError());
            return next.value_or(QString());
        },
        QString());
}

bool ReceiptLog::setNextCheckCode(const QString& code) {
    return again(
        [&] {
            QSqlQuery q(QSqlDatabase::database(connection_, false));
            return backend_->writeNext(q, code) || failSql(q.lastError());
        },
        false);
}

bool ReceiptLog::contains(const QString& checkCode) const {
    const std::optional<int> n = CheckCodeNumber(checkCode);
    if (!n) return false;
    return again(
        [&] {
            QSqlQuery q(QSqlDatabase::database(connection_, false));
            q.prepare(
                QStringLiteral("SELECT 1 FROM receipts WHERE code_number = ? AND status <> 2") +
                counterScope() + QStringLiteral(" LIMIT 1"));
            q.addBindValue(*n);
            bindCounter(q);
            if (!q.exec()) return failSql(q.lastError());
            return q.next();
        },
        false);
}

namespace {

// The columns a row is written with; a shared ledger adds the counter.
QString insertSql(const LedgerBackend& b, bool withLocalId = false) {
    QString columns = QStringLiteral(
        "printed_at, check_code, passenger, id_number, ticket_number, pnr, route, total, mode,"
        " target, spoiled, record, status, reason, code_number, reused");
    int values = 16;
    if (b.sharedByCounters()) {
        columns += QStringLiteral(", workstation");
        ++values;
    }
    if (withLocalId) {
        columns += QStringLiteral(", local_id");
        ++values;
    }
    QStringList marks(values, QStringLiteral("?"));
    return QStringLiteral("INSERT INTO receipts (%1) VALUES (%2)")
        .arg(columns, marks.join(QStringLiteral(", ")));
}

QVariant nullText() {
    return QVariant(QMetaType::fromType<QString>());
}

// Binds a row's values in the order of insertSql.
void bindRow(QSqlQuery& q, const Receipt& r, const LedgerBackend& b) {
    const std::optional<int> n = CheckCodeNumber(r.checkCode);
    for (const QVariant& v :
         {QVariant(r.printedAt.toString(kTimeFormat)), QVariant(r.checkCode), QVariant(r.passenger),
          QVariant(r.idNumber), QVariant(r.ticketNumber), QVariant(r.pnr), QVariant(r.route),
          QVariant(r.total), QVariant(r.mode), QVariant(r.target), QVariant(r.spoiled ? 1 : 0),
          r.record.isEmpty() ? nullText() : QVariant(QString::fromUtf8(r.record)),
          QVariant(statusValue(r.status)), r.reason.isEmpty() ? nullText() : QVariant(r.reason),
          n ? QVariant(*n) : QVariant(QMetaType::fromType<int>()), QVariant(r.reused ? 1 : 0)})
        q.addBindValue(v);
    if (b.sharedByCounters()) q.addBindValue(b.counter());
}

// Runs a prepared INSERT and gives the new row's id; 0 on error.
qint64 insertRow(QSqlQuery& q, const LedgerBackend& b) {
    if (!q.exec()) return 0;
    if (b.returningId().isEmpty()) return q.lastInsertId().toLongLong();
    return q.next() ? q.value(0).toLongLong() : 0;
}

} // namespace

bool ReceiptLog::reserve(QList<Receipt>& rows, CodeSource source, bool allowReuse) {
    const QList<Receipt> asGiven = rows;
    const bool done = inWriteTransaction([&](QSqlDatabase& db, QSqlQuery& q) {
        rows = asGiven; // a second try starts from the rows as they came
        // error_ is set by the caller's fail.
        const auto refuse = [](bool) { return false; };
        const auto taken = [&](int n, bool* ok) {
            QSqlQuery t(db);
            t.prepare(
                QStringLiteral("SELECT 1 FROM receipts WHERE code_number = ? AND status <> 2") +
                counterScope() + QStringLiteral(" LIMIT 1"));
            t.addBindValue(n);
            bindCounter(t);
            *ok = t.exec();
            if (!*ok) failSql(t.lastError());
            return *ok && t.next();
        };
        const std::optional<QString> read = backend_->readNext(q);
        if (!read) return refuse(failSql(q.lastError()));
        const QString storedNext = *read;
        std::optional<int> next = CheckCodeNumber(storedNext);
        std::optional<int> code;
        if (source == CodeSource::LogNext) {
            if (!next) {
                error_ = QStringLiteral("请填写验证码!");
                return refuse(false);
            }
        }
        // The counter may point at a code someone typed ahead: the log's codes go on to a
        // free one.
        const auto firstFree = [&](int from, bool* ok) {
            int c = from;
            for (int guard = 0; guard < 10000 && taken(c, ok) && *ok; ++guard)
                c = codeAfter(c);
            return c;
        };
        q.prepare(insertSql(*backend_) + backend_->returningId());
        for (qsizetype i = 0; i < rows.size(); ++i) {
            Receipt& r = rows[i];
            bool ok = true;
            if (source == CodeSource::LogNext || (source == CodeSource::GivenThenNext && i > 0)) {
                // After a reprint the counter has not moved; without one, count on.
                code = firstFree(next ? *next : codeAfter(*code), &ok);
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
                r.checkCode = common::TrimSpaces(r.checkCode).trimmed();
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
            r.workstation = backend_->counter();
            bindRow(q, r, *backend_);
            r.id = insertRow(q, *backend_);
            if (!r.id) return refuse(failSql(q.lastError()));
            // The counter only moves forward (or wraps from 9999); a reprint leaves it.
            if (!r.reused && (!next || *code >= *next)) next = codeAfter(*code);
        }
        if (next && codeText(*next) != storedNext) {
            QSqlQuery s(db);
            if (!backend_->writeNext(s, codeText(*next))) return refuse(failSql(s.lastError()));
        }
        return true;
    });
    if (done) emit changed();
    return done;
}

bool ReceiptLog::finish(const QList<PageOutcome>& outcomes) {
    if (outcomes.isEmpty()) return true;
    const bool done = inWriteTransaction([&](QSqlDatabase& db, QSqlQuery& q) {
        const auto refuse = [&](const QSqlError& e) { return failSql(e); };
        q.prepare(QStringLiteral("UPDATE receipts SET status = ?, reason = ? WHERE id = ?"));
        for (const PageOutcome& o : outcomes) {
            q.addBindValue(statusValue(o.printed ? ReceiptStatus::Printed : ReceiptStatus::Failed));
            q.addBindValue(
                o.printed ? nullText()
                          : QVariant(o.reason.isEmpty() ? QStringLiteral("原因不明") : o.reason));
            q.addBindValue(o.id);
            if (!q.exec()) return refuse(q.lastError());
        }
        // The failed rows at the end give their codes back to the counter while it still
        // stands right after them, newest first.
        QSqlQuery s(db);
        const std::optional<QString> stored = backend_->readNext(s);
        if (!stored) return refuse(s.lastError());
        const std::optional<int> next = CheckCodeNumber(*stored);
        std::optional<int> back = next;
        QSqlQuery c(db);
        c.prepare(QStringLiteral("SELECT code_number FROM receipts WHERE id = ? AND reused = 0"));
        for (auto o = outcomes.crbegin(); back && o != outcomes.crend() && !o->printed; ++o) {
            c.addBindValue(o->id);
            if (!c.exec()) return refuse(c.lastError());
            if (!c.next() || c.value(0).isNull() || codeAfter(c.value(0).toInt()) != *back) break;
            back = c.value(0).toInt();
            c.finish();
        }
        if (back != next && !backend_->writeNext(s, codeText(*back))) return refuse(s.lastError());
        return true;
    });
    if (done) emit changed();
    return done;
}

bool ReceiptLog::record(const Receipt& r, const QString& nextCheckCode) {
    const bool done = inWriteTransaction([&](QSqlDatabase& db, QSqlQuery& q) {
        const auto refuse = [&](const QSqlError& e) { return failSql(e); };
        q.prepare(insertSql(*backend_) + backend_->returningId());
        bindRow(q, r, *backend_);
        if (!insertRow(q, *backend_)) return refuse(q.lastError());
        QSqlQuery s(db);
        if (!backend_->writeNext(s, nextCheckCode)) return refuse(s.lastError());
        return true;
    });
    if (done) emit changed();
    return done;
}

bool ReceiptLog::importFrom(const ReceiptLog& local, qint64* copied) {
    *copied = 0;
    if (!shared() || backend_->skipCopied().isEmpty())
        return fail(QStringLiteral("ReceiptLedger 未指向共用的打印记录数据库"));
    if (!local.ready()) {
        error_ = local.error();
        return false;
    }
    const QString localNext = local.nextCheckCode();
    QList<Receipt> all = local.list();
    if (!local.error().isEmpty()) {
        error_ = local.error();
        return false;
    }
    const bool done = inWriteTransaction([&](QSqlDatabase& db, QSqlQuery& q) {
        *copied = 0;
        const auto refuse = [&](const QSqlError& e) { return failSql(e); };
        QSqlQuery t(db);
        t.prepare(QStringLiteral("SELECT 1 FROM receipts WHERE code_number = ? AND status <> 2"
                                 " AND reused = 0 AND workstation = ? AND local_id IS DISTINCT"
                                 " FROM ? LIMIT 1"));
        q.prepare(insertSql(*backend_, true) + backend_->skipCopied());
        // Oldest first, so the ledger's ids keep the local order.
        for (auto it = all.crbegin(); it != all.crend(); ++it) {
            Receipt r = *it;
            // A code this counter already holds in the ledger stays, as a reprint.
            if (const std::optional<int> n = CheckCodeNumber(r.checkCode); n && !r.reused) {
                t.addBindValue(*n);
                t.addBindValue(backend_->counter());
                t.addBindValue(r.id);
                if (!t.exec()) return refuse(t.lastError());
                r.reused = t.next();
            }
            bindRow(q, r, *backend_);
            q.addBindValue(r.id);
            if (!q.exec()) return refuse(q.lastError());
            *copied += q.numRowsAffected();
        }
        const std::optional<QString> next = backend_->readNext(q);
        if (!next) return refuse(q.lastError());
        const std::optional<int> ours = CheckCodeNumber(*next);
        const std::optional<int> theirs = CheckCodeNumber(localNext);
        if (theirs && (!ours || *theirs > *ours) && !backend_->writeNext(q, codeText(*theirs)))
            return refuse(q.lastError());
        return true;
    });
    if (done && *copied) emit changed();
    return done;
}

QList<Receipt> ReceiptLog::list(const Filter& f) const {
    return again(
        [&] {
            QList<Receipt> out;
            const Where w = whereOf(f, *backend_);
            QSqlQuery q(QSqlDatabase::database(connection_, false));
            q.setForwardOnly(true);
            q.prepare(QStringLiteral("SELECT %1, record FROM receipts%2 ORDER BY id DESC")
                          .arg(listColumns(*backend_), w.sql));
            for (const QVariant& v : w.values)
                q.addBindValue(v);
            if (!q.exec()) {
                failSql(q.lastError());
                return out;
            }
            while (q.next())
                out << fromQuery(q, true, backend_->counter());
            if (q.lastError().isValid()) {
                failSql(q.lastError());
                return QList<Receipt>();
            }
            return out;
        },
        QList<Receipt>());
}

qint64 ReceiptLog::count(const Filter& f) const {
    return again(
        [&]() -> qint64 {
            const Where w = whereOf(f, *backend_);
            QSqlQuery q(QSqlDatabase::database(connection_, false));
            q.prepare(QStringLiteral("SELECT count(*) FROM receipts") + w.sql);
            for (const QVariant& v : w.values)
                q.addBindValue(v);
            if (!q.exec() || !q.next()) {
                failSql(q.lastError());
                return -1;
            }
            return q.value(0).toLongLong();
        },
        qint64(-1));
}

std::optional<QList<Receipt>> ReceiptLog::page(const Filter& f, ReceiptColumn sortColumn,
                                               bool ascending, qint64 offset, int limit) const {
    return again(
        [&]() -> std::optional<QList<Receipt>> {
            const Where w = whereOf(f, *backend_);
            const int sort =
                sortColumn >= 0 && sortColumn < ReceiptColumnCount ? sortColumn : TimeColumn;
            // A local log's rows are all one counter's: in the order they came.
            const char* column = sort == WorkstationColumn && !shared() ? "id" : kSortColumns[sort];
            const QString dir = ascending ? QStringLiteral("ASC") : QStringLiteral("DESC");
            QSqlQuery q(QSqlDatabase::database(connection_, false));
            q.setForwardOnly(true);
            q.prepare(
                QStringLiteral("SELECT %1 FROM receipts%2 ORDER BY %3 %4, id %4 LIMIT ? OFFSET ?")
                    .arg(listColumns(*backend_), w.sql, QLatin1String(column), dir));
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
                out << fromQuery(q, false, backend_->counter());
            if (q.lastError().isValid()) {
                failSql(q.lastError());
                return std::nullopt;
            }
            return out;
        },
        std::optional<QList<Receipt>>());
}

std::optional<Receipt> ReceiptLog::find(qint64 id) const {
    return again(
        [&]() -> std::optional<Receipt> {
            QSqlQuery q(QSqlDatabase::database(connection_, false));
            q.prepare(QStringLiteral("SELECT %1, record FROM receipts WHERE id = ?")
                          .arg(listColumns(*backend_)));
            q.addBindValue(id);
            if (!q.exec()) {
                failSql(q.lastError());
                return std::nullopt;
            }
            if (!q.next()) return std::nullopt;
            return fromQuery(q, true, backend_->counter());
        },
        std::optional<Receipt>());
}

bool ReceiptLog::markSpoiled(qint64 id) {
    return again(
        [&] {
            QSqlQuery q(QSqlDatabase::database(connection_, false));
            q.prepare(QStringLiteral("UPDATE receipts SET spoiled = 1 WHERE id = ?"));
            q.addBindValue(id);
            if (!q.exec()) return failSql(q.lastError());
            if (q.numRowsAffected() != 1) return fail(QStringLiteral("没有第 %1 行").arg(id));
            emit const_cast<ReceiptLog*>(this)->changed();
            return true;
        },
        false);
}

bool ReceiptLog::exportCsv(const Filter& f, const std::function<bool(const QByteArray&)>& write,
                           qint64* rows) const {
    if (rows) *rows = 0;
    // A connection gone since the last use is opened again before anything is written.
    nextCheckCode();
    if (!error_.isEmpty()) return false;
    const Where w = whereOf(f, *backend_);
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT printed_at, check_code, passenger, id_number, ticket_number,"
                             " pnr, route, total, mode, target, spoiled, status, reason, reused, %1"
                             " FROM receipts%2 ORDER BY id DESC")
                  .arg(shared() ? QStringLiteral("workstation") : QStringLiteral("NULL"), w.sql));
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
        chunk += u',';
        appendCsvField(chunk, q.value(14).isNull() ? backend_->counter() : q.value(14).toString());
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
    return QStringLiteral("验证码 %1 已在打印记录中").arg(common::TrimSpaces(checkCode));
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
            statusText(r),
            r.workstation};
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

namespace itin {

QString CounterName(const common::DeployConfig& config) {
    const QString named = config.value(QStringLiteral("Workstation")).trimmed();
    return named.isEmpty() ? MachineWorkstationId() : named;
}

bool UseConfiguredLedger(ReceiptLog& log, const common::DeployConfig& config, const QString& folder,
                         QString* error) {
    const QString address = config.value(QStringLiteral("ReceiptLedger")).trimmed();
    if (address.isEmpty()) {
        log.setBackend(std::make_unique<SqliteLedger>(QDir(folder).filePath(LogFileName()),
                                                      CounterName(config)));
        return true;
    }
    QString why;
    const std::optional<LedgerUri> uri = ParseLedgerUri(address, &why);
    if (!uri) {
        log.setUnavailable(why);
        if (error) *error = why;
        return false;
    }
    log.setBackend(std::make_unique<PgLedger>(*uri, CounterName(config)));
    return true;
}

void UseConfiguredLedger(ReceiptLog& log, const QString& folder) {
    // A wrong address is told at the log's first use.
    UseConfiguredLedger(log, common::DeployConfig::load(folder), folder, nullptr);
}

} // namespace itin
