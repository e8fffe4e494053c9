#pragma once
// The receipt log: one row per printed receipt in receipts.db beside the program (SQLite
// through Qt SQL), and the check code the next receipt carries. A row and the next check
// code are written in one transaction, right after the page went out.
#include "itinerary/p_common.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace itin {

// The log's own file, in the program folder.
QString LogFileName();

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
    bool operator==(const Receipt&) const = default;
};

// Rows whose fields match every criterion given (empty ones match all); dates inclusive.
struct Filter {
    QDate from;
    QDate to;
    QString ticketNumber;
    QString pnr;
    QString checkCode;
};

// A row's columns in the order of the log window and the CSV header: time (in timeFormat),
// check code, passenger, ID, ticket, PNR, route, total, mode, printer or file, and
// spoiledMark when the row is spoiled.
QStringList ReceiptColumns(const Receipt& r, const QString& timeFormat, const QString& spoiledMark);

// The receipt the record describes now (before its check code advances).
Receipt ReceiptFromRecord(const itin::ItineraryRecord& record, qint16 printMode,
                          const QString& target, const QDateTime& at);

// The 59 field texts of the record a row was printed from, by field index; nullopt when the
// row does not keep it.
std::optional<QStringList> PrintedFields(const Receipt& receipt);

class ReceiptLog {
public:
    ReceiptLog();
    ~ReceiptLog();
    ReceiptLog(const ReceiptLog&) = delete;
    ReceiptLog& operator=(const ReceiptLog&) = delete;

    // Opens (creating or bringing up to date) the log file. False with error() set.
    bool open(const QString& path);
    bool isOpen() const;
    QString error() const { return error_; }
    // The schema version the file is at (PRAGMA user_version).
    int schemaVersion() const;

    // The check code for the next receipt; empty when none is remembered yet.
    QString nextCheckCode() const;
    bool setNextCheckCode(const QString& code);
    // Whether a receipt with this check code (trimmed) was already printed.
    bool contains(const QString& checkCode) const;

    // Logs one printed receipt and remembers the next check code, both or neither.
    bool record(const Receipt& receipt, const QString& nextCheckCode);
    // Newest first.
    QList<Receipt> list(const Filter& filter = {}) const;
    std::optional<Receipt> find(qint64 id) const;
    bool markSpoiled(qint64 id);

private:
    bool migrate();
    bool fail(const QString& what) const;

    QString connection_;
    mutable QString error_;
};

// What the agent is told when a check code is already in the log.
QString DuplicateCheckCodeMessage(const QString& checkCode);

// The rows as CSV in UTF-8 with a byte-order mark, header first, fields quoted as needed; a
// field a spreadsheet would take for a formula starts with a single quote.
QByteArray ToCsv(const QList<Receipt>& rows);

} // namespace itin
