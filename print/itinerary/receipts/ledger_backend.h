#pragma once
// What differs between the databases a receipt ledger can live in: the connection, the
// schema and its versions, the write lock, the upserts of the next check code, and how a new
// row gives its id. Everything else (the rows, codes, filters, pages, CSV) is shared by
// ReceiptLog.
#include <QString>

#include <optional>

class QSqlDatabase;
class QSqlError;
class QSqlQuery;

namespace itin {

// The cause of a database error in words: the database's own, else the driver's, with the
// error code.
QString ErrorCause(const QSqlError& e);

class LedgerBackend {
public:
    virtual ~LedgerBackend() = default;

    // The Qt SQL driver ("QSQLITE", "QPSQL").
    virtual QString driver() const = 0;
    // The ledger as the agent knows it, in messages: receipts.db, or the database's host.
    virtual QString name() const = 0;
    // The counter the ledger's rows and next code belong to.
    virtual QString counter() const = 0;
    // Whether the ledger holds several counters: rows carry theirs in the column
    // "workstation", and check codes are unique per counter.
    virtual bool sharedByCounters() const = 0;

    // Sets the connection up before it is opened.
    virtual void configure(QSqlDatabase& db) const = 0;
    // What the agent is told when the connection cannot be opened, and why.
    virtual QString openFailure(const QString& why) const = 0;
    // What the agent is told when the ledger fails a statement, and why.
    virtual QString failure(const QString& why) const = 0;
    // Settles a freshly opened connection and brings the schema up to date, also when another
    // counter does the same at the same moment. False with *why set.
    virtual bool migrate(QSqlDatabase& db, QString* why) const = 0;
    // The schema's version; -1 when it cannot be read.
    virtual int schemaVersion(QSqlDatabase& db) const = 0;

    // Starts a write transaction that holds this counter's next check code until it ends;
    // on failure the caller rolls back.
    virtual bool beginWrite(QSqlQuery& q) const = 0;
    // This counter's next check code (empty when none is remembered); nullopt on error.
    virtual std::optional<QString> readNext(QSqlQuery& q) const = 0;
    virtual bool writeNext(QSqlQuery& q, const QString& code) const = 0;
    // Put after the INSERT of a row so it answers the new id; empty when the driver's
    // lastInsertId does.
    virtual QString returningId() const = 0;
    // The import of another ledger's rows skips a row copied before: the end of the INSERT
    // that does so (the rows carry "local_id"); empty when this ledger takes no imports.
    virtual QString skipCopied() const = 0;
    // After a failed statement: whether the connection is gone, so opening it again and
    // trying once more is worth it.
    virtual bool connectionLost(QSqlDatabase& db) const = 0;
};

} // namespace itin
