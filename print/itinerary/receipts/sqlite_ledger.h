#pragma once
// The local receipt ledger: receipts.db in the data folder (Qt SQL's QSQLITE driver), the
// receipts of this one counter.
#include "itinerary/receipts/ledger_backend.h"

namespace itin {

class SqliteLedger : public LedgerBackend {
public:
    SqliteLedger(QString path, QString counter);

    QString driver() const override;
    QString name() const override;
    QString counter() const override { return counter_; }
    bool sharedByCounters() const override { return false; }
    void configure(QSqlDatabase& db) const override;
    QString openFailure(const QString& why) const override;
    QString failure(const QString& why) const override;
    bool migrate(QSqlDatabase& db, QString* why) const override;
    int schemaVersion(QSqlDatabase& db) const override;
    bool beginWrite(QSqlQuery& q) const override;
    std::optional<QString> readNext(QSqlQuery& q) const override;
    bool writeNext(QSqlQuery& q, const QString& code) const override;
    QString returningId() const override { return {}; }
    QString skipCopied() const override { return {}; }
    bool connectionLost(QSqlDatabase&) const override { return false; }

private:
    QString path_;
    QString counter_;
};

} // namespace itin
