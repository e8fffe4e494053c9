#include "itinerary/headless_booking.h"

#include "common/code_page.h"
#include "common/headless_input.h"

namespace itin {

std::unique_ptr<HeadlessBooking>
PrepareHeadlessBooking(const QString& pnrFile, const QString& programFolder, bool international,
                       const common::Clock& clock, const std::function<void(const QString&)>& out) {
    QString error;
    const auto bytes = common::ReadInputFile(pnrFile, &error);
    if (!bytes) {
        out(error);
        return nullptr;
    }
    auto b = std::make_unique<HeadlessBooking>();
    b->text = common::DecodeDetect(*bytes);
    b->formState.printMode = international ? International : Domestic;
    LoadPrintSettings(b->settings, programFolder, b->record, clock);
    b->boxes = PageSetup{QStringLiteral("0"), QStringLiteral("0"), {}, {}, {}};
    ApplyPrintSettings(b->settings, programFolder, b->record, clock, b->boxes);
    return b;
}

} // namespace itin
