#pragma once
// The pages side of print behind one small interface: the web engine, the browser windows
// and the headless page readers live in a module of their own (print_web, beside the
// program) that is loaded the first time a page is needed, so the windows and jobs that show
// no page never load the engine. No widgets here; the window types are only named.
#include <QString>
#include <QUrl>

#include <functional>

class QRect;
class QWidget;

namespace common {
class Clock;
}
namespace itin {
struct PrintFormState;
class ItineraryRecord;
class BookingForm;
class RetrievalForm;
} // namespace itin
namespace shell {
class ManagementSite;
struct WebState;
} // namespace shell
namespace ximport {
struct ImportContext;
struct OrderPageJob;
struct TicketPageRun;
} // namespace ximport

namespace browser {

class BrowserProfile;

class WebModule {
public:
    virtual ~WebModule() = default;

    // The one profile of a program (cookies in memory); destroyed after its pages.
    virtual BrowserProfile* createProfile() = 0;
    virtual void destroyProfile(BrowserProfile* profile) = 0;

    // B_Main on the management site's sign-in page, its place when it loads, and its
    // navigation clicks (window is one this module made).
    virtual QWidget* createManagementWindow(BrowserProfile& profile, shell::WebState& web,
                                            const shell::ManagementSite& site,
                                            itin::PrintFormState& formState,
                                            itin::BookingForm& printForm) = 0;
    virtual QRect managementWindowGeometry() = 0;
    virtual void clickNavItem(QWidget* window, const QString& id,
                              std::function<void(bool found)> found) = 0;

    // The openers of the print form's "票号导入" and "导 入", made now as children of the
    // print form host; the order retrieval's opener holds the platform state and drives the
    // form's platform, status and controls through form.
    virtual std::function<void()> ticketImport(ximport::ImportContext& ctx) = 0;
    virtual std::function<void()> orderRetrieval(ximport::ImportContext& ctx,
                                                 itin::RetrievalForm& form) = 0;

    // The headless page options (--markup, --ticket-page, --order-page).
    virtual int dumpMarkup(const QString& url, int timeoutMs) = 0;
    virtual QUrl ticketPageUrl(const QString& page, QString* error) = 0;
    virtual ximport::TicketPageRun applyTicketPage(const QString& page,
                                                   itin::ItineraryRecord& record,
                                                   const QString& programFolder, int timeoutMs) = 0;
    virtual int runOrderPage(const ximport::OrderPageJob& job, const common::Clock& clock,
                             const std::function<void(const QByteArray&)>& out,
                             const std::function<void(const QString&)>& err) = 0;
};

// The module's file name and the function it exports, which returns its WebModule.
QString WebModuleFileName();
inline constexpr char kWebModuleEntry[] = "ws_web_module";

// Loads the module from the program's folder (the folder of the running executable) on the
// first call and returns it; null with the reason in *error when it cannot be loaded. Needs
// the application object.
WebModule* LoadWebModule(QString* error);

// Call before the QApplication is created, by every run that may show a page: the engine
// shares the GUI's GL contexts. Run as root, it turns the engine's sandbox off (the engine
// will not start it for root) and says so in one line on standard error. The engine's
// informational logging stays off unless QT_LOGGING_RULES asks for it, and without
// XDG_RUNTIME_DIR the engine gets a private runtime folder of its own.
void PrepareEngine();

} // namespace browser
