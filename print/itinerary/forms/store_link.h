#pragma once
// The forms' one connection to the print settings store and the print-out.
#include "itinerary/forms/itinerary_context.h"
#include "itinerary/print_surface.h"
#include "itinerary/receipts/receipt_log.h"
#include "itinerary/record.h"
#include "itinerary/settings_store.h"

#include <QString>
#include <QStringList>

#include <memory>

class QLineEdit;

namespace itin {

// The settings part of the print form's load: load, apply the offsets and agency fields to
// the form.
void LoadSettingsIntoForm(ItineraryContext& ctx, ItineraryRecord& record, QLineEdit& leftr,
                          QLineEdit& topb);
// Writes the page block from the form's boxes.
void SavePageBlock(ItineraryContext& ctx, const QString& leftr, const QString& topb,
                   const ItineraryRecord& record);
// Creates or repairs the platform list; what the platform selector shows.
PlatformList LoadPlatforms(ItineraryContext& ctx);
// Writes the font block and takes the choice into memory.
void SaveFonts(ItineraryContext& ctx, const FontChoice& choice);

// One receipt for the passenger shown, on a surface opened from the context, logged in the
// receipt log; a check code already logged is printed only when the agent confirms. True
// when the page went out.
bool PrintReceipt(ItineraryContext& ctx, ItineraryRecord& record, const QString& leftr,
                  const QString& topb);

// One print job of the print form: the receipt of the passenger shown, or of every
// passenger from it on ("全部打印"), each on a surface of its own opened from the context.
// Its rows and check codes are taken in one write transaction before the first page (no
// row, no page); the rows are marked in one transaction when the job ends, those whose
// pages did not go out failed with why, so that their codes are free again. A passenger
// whose receipt would be refused ends the job before it and gets no row.
class ReceiptJob {
public:
    ReceiptJob(ItineraryContext& ctx, ItineraryRecord& record);
    // Marks what was not printed as not printed ("打印窗口已关闭"); the record is not touched.
    ~ReceiptJob();
    ReceiptJob(const ReceiptJob&) = delete;
    ReceiptJob& operator=(const ReceiptJob&) = delete;

    // Checks the receipts, asks before a check code the log holds, and takes the rows.
    // False when nothing is to be printed; the agent has been told why.
    bool begin(bool everyPassenger, const QString& leftr, const QString& topb);
    // Prints the next receipt, on the passenger the record shows, with its check code. False
    // when its page did not go out or the passenger's receipt is refused (the agent is told).
    bool printNext(const QString& leftr, const QString& topb);
    // Whether printNext has a receipt (or a refusal) left.
    bool hasNext() const { return next_ < rows_.size() || !refusal_.isEmpty(); }
    // Ends the job: the rows not printed are marked failed with whyNotPrinted; after a
    // printed receipt the check code box shows the log's next code.
    void end(const QString& whyNotPrinted);

private:
    // Marks every row once; tell: a failure of the log is shown to the agent.
    void settle(const QString& whyNotPrinted, bool tell);

    ItineraryContext& ctx_;
    ItineraryRecord& record_;
    ReceiptLog* log_ = nullptr;
    QList<Receipt> rows_;
    QList<PageOutcome> outcomes_;
    qsizetype next_ = 0;
    QString refusal_;                       // why the passenger after the rows is refused
    std::unique_ptr<PrintSurface> surface_; // the first page's, opened before the rows
    bool printed_ = false;
    bool settled_ = false;
};

} // namespace itin
