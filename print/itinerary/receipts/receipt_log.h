#pragma once
// The receipt log: the ledger of every printed form, one row per receipt in receipts.db
// beside the program (SQLite) or in the agency's shared ledger (PostgreSQL), through Qt SQL,
// and the check code the next receipt carries (one per counter).
// A print job's rows and their check codes are taken in one write transaction before the
// pages go out; the rows are marked printed or failed in one transaction afterwards.
#include "itinerary/receipts/ledger_backend.h"
#include "itinerary/record.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace common {
class DeployConfig;
}

class QSqlError;

namespace itin {

// The log's own file, in the program folder.
QString LogFileName();

// What became of a row's page.
enum class ReceiptStatus {
    Reserved, // written before the page went out; the page's fate is not known
    Printed,
    Failed, // the printer or the file refused; the row holds no check code
};

struct Receipt {
    qint64 id = 0;
    QDateTime printedAt;
    QString checkCode;
    QString passenger;
    QString idNumber;
    QString ticketNumber;
    QString pnr;
    QString route;
    QString total;
    QString mode;         // "国内" or "国际"
    QString target;       // the printer's name or the PDF file
    bool spoiled = false; // the form was wasted in the printer
    QByteArray record;    // the record as printed (JSON); empty in rows logged before it was kept
    ReceiptStatus status = ReceiptStatus::Printed;
    QString reason;      // why the page failed
    bool reused = false; // printed again with a check code the log already held
    QString workstation; // the counter that printed it
    bool operator==(const Receipt&) const = default;
};

// Rows whose fields match every criterion given (empty ones match all); dates inclusive.
// Ticket number and PNR match by part, ignoring case (and dashes in ticket numbers); the
// check code as a number.
struct Filter {
    QDate from;
    QDate to;
    QString ticketNumber;
    QString pnr;
    QString checkCode;
    QString workstation; // the counter, exactly
};

// A day as an agent types it: 2026-03-01, 2026-3-1, 2026/3/1, 2026.3.1 or 20260301. Invalid
// when the text is not a day.
QDate ParseDay(const QString& text);

// The check code as a number 0..9999: one to four digits, half- or full-width, spaces
// around; nullopt otherwise.
std::optional<int> CheckCodeNumber(const QString& checkCode);
// What the agent is told when a check code is not one to four digits.
QString BadCheckCodeMessage();

// The columns of the log window and the CSV, in order.
enum ReceiptColumn {
    TimeColumn,
    CodeColumn,
    PassengerColumn,
    IdColumn,
    TicketColumn,
    PnrColumn,
    RouteColumn,
    TotalColumn,
    ModeColumn,
    TargetColumn,
    SpoiledColumn,
    StatusColumn,
    WorkstationColumn,
    ReceiptColumnCount
};
QStringList ReceiptHeaders();

// A row's columns in ReceiptColumn order: time (in timeFormat), ..., spoiledMark when the
// row is spoiled, its status ("已打印", "未确认", "失败：" and the reason) and its counter.
QStringList ReceiptColumns(const Receipt& r, const QString& timeFormat, const QString& spoiledMark);

// The receipt the record describes now, with the record's check code.
Receipt ReceiptFromRecord(const itin::ItineraryRecord& record, qint16 printMode,
                          const QString& target, const QDateTime& at);

// The 59 field texts of the record a row was printed from, by field index; nullopt when the
// row does not keep it.
std::optional<QStringList> PrintedFields(const Receipt& receipt);

// How a print job's rows get their check codes.
enum class CodeSource {
    Given,   // the first row's own check code; the rows after it count on by one
    LogNext, // the log's next code, or the first free one after it; the rows after it too
    // The first row's own check code; each row after it the log's next code as the rows
    // before it left it, or the first free one after it (the print form's "全部打印").
    GivenThenNext,
};

// A page's fate, for finish().
struct PageOutcome {
    qint64 id = 0;
    bool printed = false;
    QString reason; // when not printed
};

// The ledger of printed forms: the rows, codes, filters, pages and CSV shared by every
// database, over a LedgerBackend for what differs (receipts.db by default).
class ReceiptLog : public QObject {
    Q_OBJECT
public:
    ReceiptLog();
    ~ReceiptLog() override;

    // Where the log lives; it is opened (created or brought up to date) on its first use.
    void setBackend(std::unique_ptr<LedgerBackend> backend);
    // The local receipts.db at path, for this machine's counter.
    void setPath(const QString& path);
    // No ledger can be used (its address is wrong): every use fails with why.
    void setUnavailable(const QString& why);
    // Opens the log now. False with error() set.
    bool open();
    bool open(const QString& path);
    bool isOpen() const;
    // The last error: names the ledger and its cause, or says why a job was refused.
    QString error() const { return error_; }
    // The schema version the ledger is at.
    int schemaVersion() const;
    // The counter this program prints for, and whether the ledger holds other counters too.
    QString counter() const;
    bool shared() const;

    // The check code for the next receipt; empty when none is remembered yet.
    QString nextCheckCode() const;
    bool setNextCheckCode(const QString& code);
    // Whether a receipt with this check code (as a number) was printed or is being printed.
    bool contains(const QString& checkCode) const;

    // Writes the rows of one print job before their pages go out, in one write transaction:
    // each row takes its check code (a code of the log without allowReuse refuses the whole
    // job), and the next code moves on past every newly taken one, never back. Fills in
    // the rows' ids and check codes. False with error() set: nothing was written.
    bool reserve(QList<Receipt>& rows, CodeSource source, bool allowReuse);
    // Marks reserved rows printed or failed, in one transaction. The codes of failed rows
    // are free again; when the last rows of outcomes failed and their codes are the last
    // the counter gave, it goes back to the first of them: the code advances with the
    // receipts printed.
    bool finish(const QList<PageOutcome>& outcomes);
    // Logs one printed receipt and remembers the next check code, both or neither.
    bool record(const Receipt& receipt, const QString& nextCheckCode);

    // Newest first, all columns.
    QList<Receipt> list(const Filter& filter = {}) const;
    // How many rows match; -1 on error.
    qint64 count(const Filter& filter) const;
    // Rows offset.. of the filter in the order of a column, without the stored records.
    // Nullopt on error.
    std::optional<QList<Receipt>> page(const Filter& filter, ReceiptColumn sortColumn,
                                       bool ascending, qint64 offset, int limit) const;
    std::optional<Receipt> find(qint64 id) const;
    bool markSpoiled(qint64 id);

    // The filter's rows as CSV (see ToCsv), newest first, handed to write in pieces as they
    // are read; the stored records are not read. False with error() set when the log
    // cannot be read (some pieces may have been written) or write returns false.
    bool exportCsv(const Filter& filter, const std::function<bool(const QByteArray&)>& write,
                   qint64* rows = nullptr) const;

    // Copies the rows of a local log into this shared ledger as this counter's, in one
    // transaction; rows copied before are skipped. The next code moves on to the local
    // one if that is ahead. False with error() set: nothing was copied.
    bool importFrom(const ReceiptLog& local, qint64* copied);

signals:
    // Rows were added or changed.
    void changed();

private:
    bool ready() const;
    bool fail(const QString& what) const;
    bool failSql(const QSqlError& e) const;
    // Runs an operation; when it fails because the connection is gone, opens the connection
    // again and runs it once more. failed is its answer when it cannot run.
    template <class F, class R> R again(F&& operation, R failed) const;
    // One write transaction under the back end's write lock, through again: body's writes
    // are committed together, or rolled back when body (which sets the error) or the commit
    // fails.
    bool inWriteTransaction(const std::function<bool(QSqlDatabase&, QSqlQuery&)>& body);
    // " AND workstation = ?" for a shared ledger, with bindCounter to bind the value.
    QString counterScope() const;
    void bindCounter(QSqlQuery& q) const;

    QString connection_;
    std::unique_ptr<LedgerBackend> backend_;
    QString unavailable_;
    mutable QString error_;
};

// The counter's name: the deployment value "Workstation", else the machine's workstation
// identifier.
QString CounterName(const common::DeployConfig& config);

// Points log at the ledger the deployment value "ReceiptLedger" names: empty, receipts.db in
// folder; else the shared ledger at that address. False with *error set when the address is
// not one.
bool UseConfiguredLedger(ReceiptLog& log, const common::DeployConfig& config, const QString& folder,
                         QString* error);
// The same with the deployment values of folder (its deploy.ini), for headless jobs.
void UseConfiguredLedger(ReceiptLog& log, const QString& folder);

// What the agent is told when a check code is already in the log.
QString DuplicateCheckCodeMessage(const QString& checkCode);

// The rows as CSV in UTF-8 with a byte-order mark, header first, fields quoted as needed; a
// field a spreadsheet would take for a formula starts with a single quote.
QByteArray ToCsv(const QList<Receipt>& rows);

} // namespace itin
