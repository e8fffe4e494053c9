#include "import/forms/order_page_headless.h"

#include "import/order_reader.h"

#include "common/code_page.h"
#include "common/messages.h"
#include "itinerary/parser.h"
#include "itinerary/record_json.h"
#include "shell/browser/browser_profile.h"
#include "shell/browser/embedded_browser.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <QUrl>

namespace ximport {
namespace {

// A file path or an http(s) address; empty when PAGE is neither.
QString pageUrl(const QString& page) {
    if (QFileInfo(page).isFile())
        return QUrl::fromLocalFile(QFileInfo(page).absoluteFilePath()).toString();
    const QUrl url(page);
    const QString scheme = url.scheme().toLower();
    if (url.isValid() && (scheme == u"http" || scheme == u"https")) return page;
    return {};
}

// Snapshot of the page once it has loaded; false when it did not load in time.
bool loadSnapshot(const QString& url, int timeoutMs, browser::DomDocument& out) {
    browser::BrowserProfile profile;
    browser::EmbeddedBrowser b(profile);
    b.resize(1024, 768);
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    bool ok = false, asked = false;
    QObject::connect(&b, &browser::EmbeddedBrowser::topLoadFinished, &loop, [&](bool loaded) {
        if (asked) return;
        asked = true;
        if (!loaded) return loop.quit();
        b.snapshot([&](const browser::DomDocument& d) {
            out = d;
            ok = !d.root.tag.isEmpty();
            loop.quit();
        });
    });
    timeout.start(timeoutMs);
    b.navigate(url);
    loop.exec();
    return ok;
}

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
    const QString url = pageUrl(job.page);
    if (url.isEmpty()) {
        err(QStringLiteral("cannot read %1").arg(job.page));
        return 2;
    }
    itin::PCommon common;
    itin::ItineraryRecord record;
    common::RecordingMessages messages;
    if (!job.pnrFile.isEmpty()) {
        QFile f(job.pnrFile);
        if (!f.open(QIODevice::ReadOnly)) {
            err(QStringLiteral("cannot read %1").arg(job.pnrFile));
            return 2;
        }
        itin::ParseReservationText(common::decodeDetect(f.readAll()), common, record, messages,
                                   clock);
    }
    browser::DomDocument page;
    if (!loadSnapshot(url, job.timeoutMs, page)) {
        err(QStringLiteral("%1 did not load").arg(job.page));
        return 2;
    }
    common.PlatformPnr = job.platformPnr;
    const OrderRead order = ReadPlatformOrder(job.platform.toInt(), page);
    const QString status = ApplyOrder(order, job.platformPnr, common, record);
    if (!order.ok) {
        out(status.toUtf8());
        return 1;
    }
    out(withStatus(itin::RecordJson(common, record, messages.shown), status));
    return 0;
}

} // namespace ximport
