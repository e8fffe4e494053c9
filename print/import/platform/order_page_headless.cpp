#include "import/platform/order_page_headless.h"

#include "import/platform/order_reader.h"

#include "browser/headless_page.h"
#include "common/code_page.h"
#include "common/headless_input.h"
#include "common/messages.h"
#include "itinerary/parser.h"
#include "itinerary/print_form_state.h"
#include "itinerary/record_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QUrl>

namespace ximport {
namespace {

QByteArray withStatus(QByteArray json, const QString& status) {
    QByteArray s = QJsonDocument(QJsonArray{status}).toJson(QJsonDocument::Compact);
    s = s.mid(1, s.size() - 2);
    json.chop(1); // the closing brace
    return json + ", \"status\": " + s + "}";
}

} // namespace

int RunOrderPage(const OrderPageJob& job, const common::Clock& clock,
                 const std::function<void(const QByteArray&)>& out,
                 const std::function<void(const QString&)>& err) {
    if (job.platform != u"0" && job.platform != u"1") {
        err(QStringLiteral("--order-page needs platform 0 or 1"));
        return 2;
    }
    QString error;
    const QUrl url = browser::HeadlessPageUrl(job.page, &error);
    if (url.isEmpty()) {
        err(error);
        return 2;
    }
    itin::PrintFormState formState;
    itin::ItineraryRecord record;
    common::RecordingMessages messages;
    if (!job.pnrFile.isEmpty()) {
        const auto bytes = common::ReadInputFile(job.pnrFile, &error);
        if (!bytes) {
            err(error);
            return 2;
        }
        itin::ParseReservationText(common::DecodeDetect(*bytes), record, messages, clock);
    }
    const browser::HeadlessPage loaded = browser::LoadHeadlessPage(url, job.timeoutMs);
    if (loaded.outcome != browser::HeadlessPage::Read) {
        err(loaded.why(job.page));
        return 2;
    }
    const browser::DomDocument& page = loaded.document;
    formState.platformPnr = job.platformPnr;
    const OrderRead order = ReadPlatformOrder(job.platform.toInt(), page);
    const QString status = ApplyOrder(order, job.platformPnr, record);
    if (!order.ok) {
        out(status.toUtf8());
        return 1;
    }
    out(withStatus(itin::RecordJson(record, messages.shown), status));
    return 0;
}

} // namespace ximport
