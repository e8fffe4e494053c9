#pragma once
// The receipt log: the ledger of every printed form, one row per receipt in receipts.db
// beside the program (SQLite through Qt SQL), and the check code the next receipt carries.
// A print job's rows and their check codes are taken in one write transaction before the
// pages go out; the rows are marked printed or failed in one transaction afterwards.
#include "itinerary/p_common.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

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
    QString mode;   // "国内" or "国际"
    QString target; // the printer's name or the PDF file
    bool spoiled = false; // the form was wasted in the printer
    QByteArray record;    // the record as printed (JSON); empty in rows logged before it was kept
    ReceiptStatus status = ReceiptStatus::Printed;
    QString reason;      // why the page failed
    bool reused = false; // printed again with a check code the log already held
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
    ReceiptColumnCount
};
QStringList ReceiptHeaders();

// A row's columns in ReceiptColumn order: time (in timeFormat), ..., spoiledMark when the
// row is spoiled, and its status ("已打印", "未确认", "失败：" and the reason).
QStringList ReceiptColumns(const Receipt& r, const QString& timeFormat, const QString& spoiledMark);

// The receipt the record describes now, with the record's check code.
Receipt ReceiptFromRecord(const itin::ItineraryRecord& record, qint16 printMode,
                          const QString& target, const QDateTime& at);

// The 59 field texts of the record a row was printed from, by field index; nullopt when the
// row does not keep it.
std::optional<QStringList> PrintedFields(const Receipt& receipt);

// How a print job's rows get their check codes.
// Either way the rows after the first count on by one.
enum class CodeSource {
    Given,   // the first row's own check code
    LogNext, // the log's next code, or the first free one after it
};

// A page's fate, for finish().
struct PageOutcome {
    qint64 id = 0;
    bool printed = false;
    QString reason; // when not printed
};

class ReceiptLog : public QObject {
    Q_OBJECT
public:
    ReceiptLog();
    ~ReceiptLog() override;

    // Where the log lives; it is opened (created or brought up to date) on its first use.
    void setPath(const QString& path);
    // Opens the log now. False with error() set.
    bool open(const QString& path);
    bool isOpen() const;
    // The last error: names receipts.db and its cause, or says why a job was refused.
    QString error() const { return error_; }
    // The schema version the file is at (PRAGMA user_version).
    int schemaVersion() const;

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
    // Marks reserved rows printed or failed, in one transaction.
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

signals:
    // Rows were added or changed.
    void changed();

private:
    bool ready() const;
    bool migrate();
    bool fail(const QString& what) const;
    bool failSql(const QSqlError& e) const;

    QString connection_;
    QString path_;
    mutable QString error_;
};

// What the agent is told when a check code is already in the log.
QString DuplicateCheckCodeMessage(const QString& checkCode);

// The rows as CSV in UTF-8 with a byte-order mark, header first, fields quoted as needed; a
// field a spreadsheet would take for a formula starts with a single quote.
QByteArray ToCsv(const QList<Receipt>& rows);

} // namespace itin
