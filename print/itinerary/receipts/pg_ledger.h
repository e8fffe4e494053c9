#pragma once
// The agency's shared receipt ledger on PostgreSQL (Qt SQL's QPSQL driver): every counter's
// rows in one table, each counter with its own next check code.
#include "itinerary/receipts/ledger_backend.h"
#include "itinerary/receipts/ledger_uri.h"

namespace itin {

class PgLedger : public LedgerBackend {
public:
    PgLedger(LedgerUri uri, QString counter);

    // The schema version this program brings a ledger to.
    static int currentSchemaVersion();

    QString driver() const override;
    QString name() const override;
    QString counter() const override { return counter_; }
    bool sharedByCounters() const override { return true; }
    void configure(QSqlDatabase& db) const override;
    QString openFailure(const QString& why) const override;
    QString failure(const QString& why) const override;
    bool migrate(QSqlDatabase& db, QString* why) const override;
    int schemaVersion(QSqlDatabase& db) const override;
    bool beginWrite(QSqlQuery& q) const override;
    std::optional<QString> readNext(QSqlQuery& q) const override;
    bool writeNext(QSqlQuery& q, const QString& code) const override;
    QString returningId() const override;
    QString skipCopied() const override;
    bool connectionLost(QSqlDatabase& db) const override;

private:
    LedgerUri uri_;
    QString counter_;
};

} // namespace itin
