#include "itinerary/forms/store_link.h"

#include "common/text_ops.h"
#include "itinerary/printer_surface.h"
#include "itinerary/print_out.h"
#include "itinerary/receipts/print_refusal.h"
#include "itinerary/receipts/receipt_log.h"

#include <QLineEdit>

#include <utility>

namespace itin {

void LoadSettingsIntoForm(ItineraryContext& ctx, ItineraryRecord& record, QLineEdit& leftr,
                          QLineEdit& topb) {
    LoadPrintSettings(ctx.settings, ctx.programFolder, record, ctx.clock);
    PageSetup boxes;
    if (ApplyPrintSettings(ctx.settings, ctx.programFolder, record, ctx.clock, boxes)) {
        leftr.setText(boxes.leftr);
        topb.setText(boxes.topb);
    }
}

void SavePageBlock(ItineraryContext& ctx, const QString& leftr, const QString& topb,
                   const ItineraryRecord& record) {
    SavePageSetup(ctx.settings, ctx.programFolder, PageSetupFromForm(leftr, topb, record));
}

PlatformList LoadPlatforms(ItineraryContext& ctx) {
    return LoadPlatformList(ctx.settings, ctx.programFolder);
}

void SaveFonts(ItineraryContext& ctx, const FontChoice& choice) {
    SaveFontSettings(ctx.settings, ctx.programFolder, choice);
}

bool PrintReceipt(ItineraryContext& ctx, ItineraryRecord& record, const QString& leftr,
                  const QString& topb) {
    ReceiptJob job(ctx, record);
    if (!job.begin(false, leftr, topb)) return false;
    const bool printed = job.printNext(leftr, topb);
    job.end(QString());
    return printed;
}

namespace {

// The record as the form holds it, on a record of its own that can step through the
// passengers without the form seeing it.
void copyRecord(const ItineraryRecord& from, ItineraryRecord& to) {
    if (!from.passengers().isEmpty()) {
        to.setPassengers(from.passengers());
        to.showPassenger(from.currentPassenger());
    }
    for (int i = 0; i < kFieldCount; ++i)
        to.setField(i, from.field(i));
    to.setArrivalTimes(from.arrivalTime1(), from.arrivalTime2());
}

QString pageRefused(const PrintSurface& surface) {
    return surface.error().isEmpty() ? QStringLiteral("打印机没有接受这一页") : surface.error();
}

} // namespace

ReceiptJob::ReceiptJob(ItineraryContext& ctx, ItineraryRecord& record)
    : ctx_(ctx), record_(record), log_(ctx.receiptLog) {}

ReceiptJob::~ReceiptJob() {
    settle(QStringLiteral("打印窗口已关闭，未打印"), false);
}

bool ReceiptJob::begin(bool everyPassenger, const QString& leftr, const QString& topb) {
    const QString code = common::TrimSpaces(record_.field(CheckCode));
    // The receipts from the passenger shown on, up to the first one refused.
    ItineraryRecord passenger;
    copyRecord(record_, passenger);
    const QDateTime now = ctx_.clock.now();
    for (;;) {
        refusal_ = PrintRefusal(passenger, ctx_.formState, ctx_.settings, leftr, topb);
        if (!refusal_.isEmpty()) break;
        rows_ << ReceiptFromRecord(passenger, ctx_.formState.printMode, QStringLiteral("default"),
                                   now);
        if (!everyPassenger || !passenger.nextEnabled()) break;
        passenger.nextPassenger();
    }
    if (rows_.isEmpty()) {
        ctx_.messages.show(refusal_);
        return false;
    }
    const bool reuse = log_ && log_->contains(code);
    if (reuse && !ctx_.messages.ask(itin::DuplicateCheckCodeMessage(code) +
                                    QStringLiteral("，确定用它再打印一张吗？"))) {
        rows_.clear();
        return false;
    }
    // Once per booking: the flights the receipt leaves out.
    if (const QStringList leftOut = record_.takeLeftOutFlights(); !leftOut.isEmpty())
        ctx_.messages.show(QStringLiteral("行程单只打印前两个航段，以下航班不在行程单上：") +
                           leftOut.join(QStringLiteral("、")));
    surface_ = ctx_.makePrintSurface ? ctx_.makePrintSurface() : std::make_unique<PrinterSurface>();
    if (!surface_) {
        rows_.clear();
        ctx_.messages.show(QStringLiteral("打印机不可用"));
        return false;
    }
    // The rows and their check codes are written before the first page goes out.
    if (log_ && !log_->reserve(rows_, CodeSource::GivenThenNext, reuse)) {
        rows_.clear();
        ctx_.messages.show(log_->error() + QStringLiteral("，行程单没有打印"));
        return false;
    }
    return true;
}

bool ReceiptJob::printNext(const QString& leftr, const QString& topb) {
    if (next_ >= rows_.size()) {
        if (!refusal_.isEmpty()) ctx_.messages.show(std::exchange(refusal_, QString()));
        return false;
    }
    const Receipt& row = rows_.at(next_);
    if (next_++ > 0 && log_) record_.setField(CheckCode, row.checkCode);
    std::unique_ptr<PrintSurface> surface = surface_ ? std::move(surface_)
                                            : ctx_.makePrintSurface
                                                ? ctx_.makePrintSurface()
                                                : std::make_unique<PrinterSurface>();
    if (!surface) {
        ctx_.messages.show(QStringLiteral("打印机不可用"));
        outcomes_.append({row.id, false, QStringLiteral("打印机不可用")});
        return false;
    }
    const bool printed = PrintItinerary(record_, ctx_.formState, ctx_.settings, leftr, topb,
                                        ctx_.messages, *surface);
    outcomes_.append({row.id, printed, printed ? QString() : pageRefused(*surface)});
    printed_ = printed_ || printed;
    return printed;
}

void ReceiptJob::end(const QString& whyNotPrinted) {
    settle(whyNotPrinted, true);
    // The counter moves with the receipts printed: the box shows where it stands now.
    if (!printed_ || !log_) return;
    if (const QString next = log_->nextCheckCode(); !next.isEmpty())
        record_.setField(CheckCode, next);
}

void ReceiptJob::settle(const QString& whyNotPrinted, bool tell) {
    if (settled_) return;
    settled_ = true;
    if (!log_ || rows_.isEmpty()) return;
    for (qsizetype i = outcomes_.size(); i < rows_.size(); ++i)
        outcomes_.append({rows_.at(i).id, false, whyNotPrinted});
    if (!log_->finish(outcomes_) && tell) ctx_.messages.show(log_->error());
}

} // namespace itin
