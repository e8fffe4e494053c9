#include "itinerary/receipts/print_refusal.h"

#include "common/messages.h"
#include "common/text_ops.h"
#include "itinerary/print_out.h"
#include "itinerary/print_surface.h"
#include "itinerary/receipts/receipt_log.h"

namespace itin {

namespace {

// Notes that the print-out got as far as the page, and takes none.
class PageProbe : public PrintSurface {
public:
    bool reached = false;
    bool beginPage() override {
        reached = true;
        return false;
    }
    void setFontName(const QString&) override {}
    void setFontSize(double) override {}
    void setFontUnderline(bool) override {}
    void setFontBold(bool) override {}
    void setFontItalic(bool) override {}
    void setFontStrikethrough(bool) override {}
    void setPosition(int, int) override {}
    void drawText(const QString&) override {}
    bool endDocument() override { return false; }
    QString error() const override { return {}; }
};

} // namespace

QString PrintRefusal(const ItineraryRecord& record, const PrintFormState& formState,
                     const PrintSettings& settings, const QString& leftr, const QString& topb) {
    ItineraryRecord copy;
    for (int i = 0; i < kFieldCount; ++i)
        copy.setField(i, record.field(i));
    PageProbe probe;
    common::RecordingMessages messages;
    PrintItinerary(copy, formState, settings, leftr, topb, messages, probe);
    if (!probe.reached)
        return messages.shown.isEmpty() ? QStringLiteral("打印机不可用")
                                        : messages.shown.constLast().text;
    if (!CheckCodeNumber(record.field(CheckCode))) return BadCheckCodeMessage();
    return {};
}

} // namespace itin
