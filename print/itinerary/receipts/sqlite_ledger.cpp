#include "itinerary/receipts/sqlite_ledger.h"

#include "itinerary/receipts/receipt_log.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace itin {

namespace {

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
// Full syncs: a commit is on the disk before it returns, so a receipt's row is written
// before its page goes out. A write cut off by a crash is rolled back.
const char* const kFileSettings = "PRAGMA synchronous = FULL";
// A write-ahead log: each commit is one sync of the log instead of the rollback journal's
// three or four; readers and writers of other programs go on beside each other. Kept in the
// file once set; a file that cannot switch (another program holds it) keeps its journal.
const char* const kJournal = "PRAGMA journal_mode = WAL";
const char* const kReadVersion = "PRAGMA user_version";
const char* const kWriteVersion = "PRAGMA user_version = %1";
const char* const kConnectOptions = "QSQLITE_BUSY_TIMEOUT=5000";

QString receiptsFailure(const QString& why) {
    return QStringLiteral("打印记录 %1 出错：%2")
        .arg(LogFileName(), why.trimmed().isEmpty() ? QStringLiteral("原因不明") : why.trimmed());
}

} // namespace

SqliteLedger::SqliteLedger(QString path, QString counter)
    : path_(std::move(path)), counter_(std::move(counter)) {}

QString SqliteLedger::driver() const {
    return QStringLiteral("QSQLITE");
}

QString SqliteLedger::name() const {
    return LogFileName();
}

void SqliteLedger::configure(QSqlDatabase& db) const {
    db.setDatabaseName(path_);
    db.setConnectOptions(QLatin1String(kConnectOptions));
}

QString SqliteLedger::openFailure(const QString& why) const {
    return receiptsFailure(why);
}

QString SqliteLedger::failure(const QString& why) const {
    return receiptsFailure(why);
}

int SqliteLedger::schemaVersion(QSqlDatabase& db) const {
    QSqlQuery q(db);
    if (!q.exec(QLatin1String(kReadVersion)) || !q.next()) return -1;
    return q.value(0).toInt();
}

bool SqliteLedger::migrate(QSqlDatabase& db, QString* why) const {
    QSqlQuery q(db);
    const auto failed = [&](const QString& cause) {
        *why = cause;
        return false;
    };
    if (!q.exec(QLatin1String(kFileSettings))) return failed(ErrorCause(q.lastError()));
    if (q.exec(QLatin1String(kJournal))) q.finish();
    const auto version = [&]() -> int {
        if (!q.exec(QLatin1String(kReadVersion)) || !q.next()) return -1;
        const int v = q.value(0).toInt();
        q.finish();
        return v;
    };
    int v = version();
    if (v < 0) return failed(ErrorCause(q.lastError()));
    if (v > kSchemaVersion) return failed(QStringLiteral("文件来自较新的版本"));
    if (v == kSchemaVersion) return true;
    // Every pending step in one write transaction: the file is at its old version or the
    // newest. Another program may have brought it up meanwhile, so look again under the lock.
    const auto rollBack = [&](const QString& cause) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return failed(cause);
    };
    if (!q.exec(QLatin1String(kBeginWrite))) return failed(ErrorCause(q.lastError()));
    v = version();
    if (v < 0) return rollBack(ErrorCause(q.lastError()));
    if (v >= kSchemaVersion) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return v == kSchemaVersion || failed(QStringLiteral("文件来自较新的版本"));
    }
    for (; v < kSchemaVersion; ++v)
        for (const char* const* s = kMigrations[v]; *s; ++s)
            if (!q.exec(QLatin1String(*s))) return rollBack(ErrorCause(q.lastError()));
    if (!q.exec(QString::fromLatin1(kWriteVersion).arg(kSchemaVersion)) ||
        !q.exec(QStringLiteral("COMMIT")))
        return rollBack(ErrorCause(q.lastError()));
    return true;
}

bool SqliteLedger::beginWrite(QSqlQuery& q) const {
    return q.exec(QLatin1String(kBeginWrite));
}

std::optional<QString> SqliteLedger::readNext(QSqlQuery& q) const {
    if (!q.exec(QStringLiteral("SELECT value FROM state WHERE key = 'next_check_code'")))
        return std::nullopt;
    QString next = q.next() ? q.value(0).toString() : QString();
    q.finish();
    return next;
}

bool SqliteLedger::writeNext(QSqlQuery& q, const QString& code) const {
    q.prepare(QLatin1String(kSetNext));
    q.addBindValue(code);
    return q.exec();
}

} // namespace itin
