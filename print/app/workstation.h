#pragma once
// The composition root of print: the one place that builds the module objects and seams
// once, creates every window when it is first needed, owns it, and hands each window what
// it needs. print/main.cpp reads the options and hands over to RunWorkstation or
// RunPrintFormAlone; tests build a Workstation with stand-in seams and services.
#include "itinerary/print_surface.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace common {
class Clock;
class DeployConfig;
class DesktopBrowser;
class FileDialogs;
class Messages;
} // namespace common

namespace browser {
class BrowserProfile;
class WebModule;
} // namespace browser
namespace net {
class HttpClient;
}
namespace itin {
class ItineraryRecord;
struct PrintFormState;
class BookingForm;
class RetrievalForm;
class PrintFormHost;
struct ItineraryContext;
struct PrintSettings;
} // namespace itin
namespace shell {
class A_Main;
class SignInFlow;
class VendorSession;
struct WebState;
} // namespace shell
namespace sms {
struct SmsAccount;
} // namespace sms
namespace ximport {
struct ImportContext;
}

namespace app {

// Where the program meets the agent and the desktop. Null members take the desktop's own:
// message boxes, the open-file dialog, the system web browser, the system clock, the
// default printer.
struct Seams {
    common::Messages* messages = nullptr;
    common::FileDialogs* fileDialogs = nullptr;
    common::DesktopBrowser* desktop = nullptr;
    const common::Clock* clock = nullptr;
    std::function<std::unique_ptr<itin::PrintSurface>()> printSurface;
    // The pages (web engine) side; null: the module beside the program, loaded on first use.
    browser::WebModule* pages = nullptr;
};

class Workstation : public QObject {
    Q_OBJECT
public:
    // Loads the deployment values of programFolder (deploy.ini) and builds what the first
    // window needs; the rest (the web profile and the pages module, the SMS and platform
    // state) is made on first use. No window is shown yet.
    explicit Workstation(const QString& programFolder, Seams seams = {});
    ~Workstation() override;

    // Shows the company sign-in form; a successful sign-in or enrolment opens the main
    // window. False when the vendor key table is refused (the agent has been told).
    bool start();
    // A_Main's load: maximised, captioned, B_Main and then the print form in front.
    shell::A_Main& openMainWindow();
    // The print form alone as a top-level window; its final close ends the program.
    void openPrintFormAlone();

    const common::DeployConfig& config() const;
    common::Messages& messages();
    net::HttpClient& http();
    // The pages module, loaded on the first call; null when it cannot be (the agent has been
    // told once).
    browser::WebModule* pages();
    // Made on first use; with them the pages module.
    browser::BrowserProfile& profile();
    itin::PrintFormState& formState();
    itin::PrintSettings& settings();
    itin::ItineraryContext& itinerary();
    itin::PrintFormHost& printForms();
    itin::BookingForm& printForm();
    // What the platform retrieval alone drives on the print form (platform, status, controls).
    itin::RetrievalForm& retrievalForm();
    sms::SmsAccount& smsAccount();
    shell::WebState& web();
    ximport::ImportContext& imports();
    // The sign-in path (null when the key table was refused), the main window (null
    // before sign-in and after it closed).
    shell::SignInFlow* signIn();
    // The vendor session (sign-in values, service client); null before start().
    shell::VendorSession* vendor();
    shell::A_Main* mainWindow() const;

signals:
    // The main window (or the lone print form) closed: the program ends.
    void finished();

private:
    void mainWindowClosed();
    struct Sms;
    Sms& sms();
    void followForSms(itin::ItineraryRecord& record);

    struct State;
    std::unique_ptr<State> s_;
};

// The windows of print: sign-in, then the main window; returns when the main window
// closes (2 when the vendor key table is refused). Needs a QApplication.
int RunWorkstation(const QString& programFolder);
// "print --form": the print form alone, in international mode when asked.
int RunPrintFormAlone(const QString& programFolder, bool international);

// Installs every import window on the print form's buttons (print/app/imports.cpp); the
// ones that show pages are made on their first click.
void InstallImports(Workstation& station);

} // namespace app
