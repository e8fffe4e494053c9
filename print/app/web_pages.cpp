#include "app/web_pages.h"

#include "browser/browser_profile.h"
#include "browser/markup_dump.h"
#include "import/import_context.h"
#include "import/platform/order_page_headless.h"
#include "import/platform/order_retrieval.h"
#include "import/ticket/p_xty2.h"
#include "import/ticket/ticket_page_run.h"
#include "shell/management/b_main.h"

#include <QRect>

namespace app {
namespace {

class Pages final : public browser::WebModule {
public:
    browser::BrowserProfile* createProfile() override { return new browser::BrowserProfile(); }
    void destroyProfile(browser::BrowserProfile* profile) override { delete profile; }

    QWidget* createManagementWindow(browser::BrowserProfile& profile, shell::WebState& web,
                                    const shell::ManagementSite& site,
                                    itin::PrintFormState& formState,
                                    itin::BookingForm& printForm) override {
        return new shell::B_Main(profile, web, site, formState, printForm);
    }
    QRect managementWindowGeometry() override { return shell::B_Main::loadGeometry(); }
    void clickNavItem(QWidget* window, const QString& id,
                      std::function<void(bool)> found) override {
        static_cast<shell::B_Main*>(window)->clickNavItem(id, std::move(found));
    }

    std::function<void()> ticketImport(ximport::ImportContext& ctx) override {
        auto* opener = new ximport::TicketImport(ctx);
        return [opener] { opener->open(); };
    }
    std::function<void()> orderRetrieval(ximport::ImportContext& ctx,
                                         itin::RetrievalForm& form) override {
        auto* opener = new ximport::OrderRetrieval(ctx, form);
        return [opener] { opener->open(); };
    }

    int dumpMarkup(const QString& url, int timeoutMs) override {
        return browser::DumpMarkup(url, timeoutMs);
    }
    QUrl ticketPageUrl(const QString& page, QString* error) override {
        return ximport::TicketPageUrl(page, error);
    }
    ximport::TicketPageRun applyTicketPage(const QString& page, itin::ItineraryRecord& record,
                                           const QString& programFolder, int timeoutMs) override {
        return ximport::ApplyTicketPage(page, record, programFolder, timeoutMs);
    }
    int runOrderPage(const ximport::OrderPageJob& job, const common::Clock& clock,
                     const std::function<void(const QByteArray&)>& out,
                     const std::function<void(const QString&)>& err) override {
        return ximport::RunOrderPage(job, clock, out, err);
    }
};

} // namespace

browser::WebModule& LinkedWebModule() {
    static Pages pages;
    return pages;
}

} // namespace app
