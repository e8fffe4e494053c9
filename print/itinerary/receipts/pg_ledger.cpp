#include "itinerary/receipts/pg_ledger.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace itin {

namespace {

// Held for the length of a migration, so two counters starting at once prepare the
// database one after the other ("WSLEDGER" in ASCII).
constexpr qint64 kMigrationLock = 0x57534C4544474552;

// Each step brings the database from the version before it to its own. The columns and
// their meanings are those of receipts.db; "workstation" names the counter, "local_id" the
// row's id in the receipts.db it was copied from.
const char* const kStep1[] = {
    "CREATE TABLE receipts (id bigserial PRIMARY KEY, workstation text NOT NULL,"
    " printed_at text NOT NULL, check_code text NOT NULL, code_number integer,"
    " passenger text, id_number text, ticket_number text, pnr text, route text, total text,"
    " mode text, target text, spoiled integer NOT NULL DEFAULT 0, record text,"
    " status integer NOT NULL DEFAULT 1, reason text, reused integer NOT NULL DEFAULT 0,"
    " local_id bigint)",
    "CREATE TABLE counters (workstation text PRIMARY KEY, next_code text)",
    // One row per code and counter, except confirmed reprints and failed pages.
    "CREATE UNIQUE INDEX receipts_code_once ON receipts (workstation, code_number)"
    " WHERE status <> 2 AND reused = 0",
    "CREATE UNIQUE INDEX receipts_copied_once ON receipts (workstation, local_id)"
    " WHERE local_id IS NOT NULL",
    "CREATE INDEX receipts_printed_at ON receipts (printed_at)", nullptr};
const char* const* const kMigrations[] = {kStep1};
constexpr int kSchemaVersion = int(std::size(kMigrations));

QString plain(const QString& text) {
    return text.simplified();
}

} // namespace

PgLedger::PgLedger(LedgerUri uri, QString counter)
    : uri_(std::move(uri)), counter_(std::move(counter)) {}

int PgLedger::currentSchemaVersion() {
    return kSchemaVersion;
}

QString PgLedger::driver() const {
    return QStringLiteral("QPSQL");
}

QString PgLedger::name() const {
    return uri_.host;
}

void PgLedger::configure(QSqlDatabase& db) const {
    db.setHostName(uri_.host);
    db.setPort(uri_.port);
    db.setDatabaseName(uri_.database);
    db.setUserName(uri_.user);
    db.setPassword(uri_.password);
    // An unreachable server is given up after a few seconds, not the system's minutes.
    QString options = QStringLiteral("connect_timeout=5");
    if (!uri_.sslMode.isEmpty()) options += QStringLiteral(";sslmode=") + uri_.sslMode;
    db.setConnectOptions(options);
}

QString PgLedger::openFailure(const QString& why) const {
    return QStringLiteral("无法连接打印记录数据库 %1：%2")
        .arg(uri_.host, why.trimmed().isEmpty() ? QStringLiteral("原因不明") : plain(why));
}

QString PgLedger::failure(const QString& why) const {
    return QStringLiteral("打印记录数据库 %1 出错：%2")
        .arg(uri_.host, why.trimmed().isEmpty() ? QStringLiteral("原因不明") : plain(why));
}

int PgLedger::schemaVersion(QSqlDatabase& db) const {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT to_regclass('ledger_schema') IS NOT NULL")) || !q.next())
        return -1;
    if (!q.value(0).toBool()) return 0;
    if (!q.exec(QStringLiteral("SELECT coalesce(max(version), 0) FROM ledger_schema")) || !q.next())
        return -1;
    return q.value(0).toInt();
}

bool PgLedger::migrate(QSqlDatabase& db, QString* why) const {
    QSqlQuery q(db);
    const auto failed = [&](const QString& text) {
        *why = plain(text);
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return false;
    };
    const auto run = [&](const QString& sql) { return q.exec(sql); };
    // The notices of "IF NOT EXISTS" are of no use to the agent.
    if (!run(QStringLiteral("SET client_min_messages = warning")) || !run(QStringLiteral("BEGIN")))
        return failed(q.lastError().databaseText());
    // The lock ends with the transaction; whoever comes second finds the schema ready.
    if (!run(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kMigrationLock)) ||
        !run(QStringLiteral(
            "CREATE TABLE IF NOT EXISTS ledger_schema (version integer NOT NULL)")) ||
        !run(QStringLiteral("SELECT coalesce(max(version), 0) FROM ledger_schema")) || !q.next())
        return failed(q.lastError().databaseText());
    const int version = q.value(0).toInt();
    q.finish();
    if (version > kSchemaVersion) return failed(QStringLiteral("数据库来自较新的版本"));
    for (int v = version; v < kSchemaVersion; ++v)
        for (const char* const* s = kMigrations[v]; *s; ++s)
            if (!run(QLatin1String(*s))) return failed(q.lastError().databaseText());
    if (version < kSchemaVersion &&
        (!run(QStringLiteral("DELETE FROM ledger_schema")) ||
         !run(QStringLiteral("INSERT INTO ledger_schema (version) VALUES (%1)")
                  .arg(kSchemaVersion))))
        return failed(q.lastError().databaseText());
    if (!run(QStringLiteral("COMMIT"))) return failed(q.lastError().databaseText());
    return true;
}

bool PgLedger::beginWrite(QSqlQuery& q) const {
    if (!q.exec(QStringLiteral("BEGIN"))) return false;
    // The counter's row, made on its first print, is held until the transaction ends: two
    // print jobs of one counter take codes one after the other; other counters go on.
    q.prepare(QStringLiteral(
        "INSERT INTO counters (workstation) VALUES (?) ON CONFLICT (workstation) DO NOTHING"));
    q.addBindValue(counter_);
    if (!q.exec()) return false;
    q.prepare(QStringLiteral("SELECT 1 FROM counters WHERE workstation = ? FOR UPDATE"));
    q.addBindValue(counter_);
    return q.exec();
}

std::optional<QString> PgLedger::readNext(QSqlQuery& q) const {
    q.prepare(QStringLiteral("SELECT next_code FROM counters WHERE workstation = ?"));
    q.addBindValue(counter_);
    if (!q.exec()) return std::nullopt;
    QString next = q.next() ? q.value(0).toString() : QString();
    q.finish();
    return next;
}

bool PgLedger::writeNext(QSqlQuery& q, const QString& code) const {
    q.prepare(
        QStringLiteral("INSERT INTO counters (workstation, next_code) VALUES (?, ?)"
                       " ON CONFLICT (workstation) DO UPDATE SET next_code = excluded.next_code"));
    q.addBindValue(counter_);
    q.addBindValue(code);
    return q.exec();
}

QString PgLedger::returningId() const {
    return QStringLiteral(" RETURNING id");
}

QString PgLedger::skipCopied() const {
    return QStringLiteral(
        " ON CONFLICT (workstation, local_id) WHERE local_id IS NOT NULL DO NOTHING");
}

bool PgLedger::connectionLost(QSqlDatabase& db) const {
    if (!db.isOpen()) return true;
    QSqlQuery probe(db);
    return !probe.exec(QStringLiteral("SELECT 1"));
}

} // namespace itin
