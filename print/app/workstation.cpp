#include "app/workstation.h"

#include "browser/web_module.h"
#include "common/clock.h"
#include "common/deploy_config.h"
#include "common/desktop.h"
#include "common/forms/box_messages.h"
#include "common/forms/held_input_wait.h"
#include "common/forms/window_owners.h"
#include "common/messages.h"
#include "common/net/http_client.h"
#include "import/import_context.h"
#include "itinerary/forms/hosted_print_form.h"
#include "itinerary/forms/itinerary_context.h"
#include "itinerary/forms/print_form_host.h"
#include "itinerary/forms/widget_seams.h"
#include "itinerary/receipts/receipt_log.h"
#include "shell/forms/sign_in_flow.h"
#include "shell/main_window/a_main.h"
#include "shell/main_window/shell_context.h"
#include "shell/management/management_site.h"
#include "shell/management/web_state.h"
#include "shell/random_source.h"
#include "shell/vendor_session.h"
#include "sms/composer.h"
#include "sms/forms/sms_panel_host.h"
#include "sms/sms_http.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QRect>

namespace app {
namespace {

template <class T> T& either(T* given, std::unique_ptr<T>& own) {
    if (given) return *given;
    return *own;
}

// The program's messages, dropped once it closes: a request abandoned by the close is no
// failure to report.
class ClosingMessages : public common::Messages {
public:
    explicit ClosingMessages(common::Messages& to) : common::Messages(to.defaultTitle()), to_(to) {}
    bool closing = false;

protected:
    void deliver(const QString& text, const QString& title) override {
        if (!closing) to_.show(text, title);
    }
    bool question(const QString& text, const QString& title) override {
        return !closing && to_.ask(text, title);
    }

private:
    common::Messages& to_;
};

} // namespace

// The SMS module state and its panel, made on first use.
struct Workstation::Sms {
    Sms(net::HttpClient& http, const QString& gatewayHost, const QString& folder,
        common::Messages& messages, const common::Clock& clock, common::DesktopBrowser& desktop,
        itin::BookingForm& printForm)
        : environment{sms::GatewayGet(http), gatewayHost, folder, {}},
          context{account, messages, clock, desktop, environment, printForm}, host(context) {}
    sms::SmsAccount account;
    sms::SmsEnvironment environment;
    sms::SmsContext context;
    sms::SmsPanelHost host;
};

// B_Main for the main window, from the pages module.
class ManagementWindows final : public shell::BrowserWindows {
public:
    explicit ManagementWindows(Workstation& w) : w_(w) {}
    QWidget* create(const shell::ManagementSite& site) override {
        browser::WebModule* pages = w_.pages();
        if (!pages) return nullptr;
        return pages->createManagementWindow(w_.profile(), w_.web(), site, w_.formState(),
                                             w_.printForm());
    }
    QRect loadGeometry() override {
        browser::WebModule* pages = w_.pages();
        return pages ? pages->managementWindowGeometry() : QRect();
    }
    void clickNavItem(QWidget* window, const QString& id,
                      std::function<void(bool)> found) override {
        if (browser::WebModule* pages = w_.pages())
            pages->clickNavItem(window, id, std::move(found));
    }

private:
    Workstation& w_;
};

// Every module object and seam of the program, built once, in the order they depend on
// each other; destroyed in reverse, windows first.
struct Workstation::State {
    State(Workstation& w, const QString& folder, Seams given)
        : folder(folder), config(common::DeployConfig::load(folder)),
          ownMessages(given.messages ? nullptr
                                     : std::make_unique<forms::BoxMessages>(
                                           config.value(QStringLiteral("ProductTitle")))),
          ownDialogs(given.fileDialogs ? nullptr : std::make_unique<itin::WidgetFileDialogs>()),
          ownDesktop(given.desktop ? nullptr : std::make_unique<itin::SystemDesktopBrowser>()),
          ownClock(given.clock ? nullptr : std::make_unique<common::SystemClock>()),
          messages(either(given.messages, ownMessages)),
          fileDialogs(either(given.fileDialogs, ownDialogs)),
          desktop(either(given.desktop, ownDesktop)), clock(given.clock ? *given.clock : *ownClock),
          http(config, &wait),
          givenPages(given.pages), itinerary{formState,   settings, messages,
                                             clock,       config,   desktop,
                                             fileDialogs, folder,   std::move(given.printSurface)},
          printHost(itinerary), printForm(printHost),
          managementWindows(w), shell{config,    web,
                                      formState, messages,
                                      desktop,   managementWindows,
                                      printForm, [&w] { w.sms().host.show(); }} {}

    QString folder;
    common::DeployConfig config;
    std::unique_ptr<common::Messages> ownMessages;
    std::unique_ptr<common::FileDialogs> ownDialogs;
    std::unique_ptr<common::DesktopBrowser> ownDesktop;
    std::unique_ptr<common::Clock> ownClock;
    ClosingMessages messages;
    common::FileDialogs& fileDialogs;
    common::DesktopBrowser& desktop;
    const common::Clock& clock;
    forms::HeldInputWait wait;
    forms::WindowOwners owners;
    net::HttpClient http;
    shell::SystemRandom random;
    browser::WebModule* givenPages;
    browser::WebModule* pages = nullptr;        // loaded on first use
    bool pagesRefused = false;                  // the agent was told the module cannot load
    browser::BrowserProfile* profile = nullptr; // made with the first page

    // Module state.
    itin::PrintFormState formState;
    itin::PrintSettings settings;
    shell::WebState web;
    std::unique_ptr<Sms> sms;
    std::unique_ptr<shell::VendorSession>
        vendor;                  // the vendor session, once the key table is accepted
    itin::ReceiptLog receiptLog; // receipts.db, opened on first use

    itin::ItineraryContext itinerary;
    itin::PrintFormHost printHost;
    itin::HostedPrintForm printForm;
    std::unique_ptr<ximport::ImportContext> imports; // for the imports' install calls
    ManagementWindows managementWindows;
    shell::ShellContext shell;

    // Windows.
    std::unique_ptr<shell::SignInFlow> signIn;
    std::unique_ptr<shell::A_Main> main;

    // main is the window whose close ends the program: the other windows belong to it, and
    // its close abandons whatever request waits, silently.
    void endWith(QWidget* main) {
        owners.setMainWindow(main);
        if (auto* box = dynamic_cast<forms::BoxMessages*>(ownMessages.get()))
            box->setMainWindow(main);
        wait.abandonWhenClosed(main, [this] { messages.closing = true; });
    }
};

Workstation::Workstation(const QString& programFolder, Seams seams)
    : s_(std::make_unique<State>(*this, programFolder, std::move(seams))) {
    State& s = *s_;
    // receipts.db in the data folder, or the agency's shared ledger that deploy.ini names; it
    // opens on its first use (a print form, a print, the log window) and tells its errors there.
    itin::UseConfiguredLedger(s.receiptLog, s.config, s.folder, nullptr);
    s.itinerary.receiptLog = &s.receiptLog;
    // The SMS panel follows every print form's record.
    connect(&s.printHost, &itin::PrintFormHost::formLoaded, this,
            [this](itin::P_GuoNei* form) { followForSms(form->record()); });
    InstallImports(*this);
}

Workstation::~Workstation() {
    State& s = *s_;
    // Windows go first, while the objects they use still exist; the web profile after its
    // pages.
    if (s.sms) s.sms->host.destroy();
    s.printHost.unload();
    s.main.reset();
    s.signIn.reset();
    browser::WebModule* pages = s.pages;
    browser::BrowserProfile* profile = s.profile;
    s_.reset(); // the openers of the page windows go with the print form host
    if (profile) pages->destroyProfile(profile);
}

Workstation::Sms& Workstation::sms() {
    State& s = *s_;
    if (!s.sms) {
        s.sms = std::make_unique<Sms>(s.http, s.config.value(QStringLiteral("SmsGatewayHost")),
                                      s.folder, s.messages, s.clock, s.desktop, s.printForm);
        s.sms->host.setOwner(s.main.get());
    }
    s.sms->environment.workstationId = s.settings.workstationId;
    return *s.sms;
}

void Workstation::followForSms(itin::ItineraryRecord& record) {
    // The SMS state is made the first time a record holds what a notice needs.
    QPointer<Workstation> self(this);
    itin::ItineraryRecord* r = &record;
    record.setAfterChangeHook([self, r](int) {
        if (self && sms::SmsRefreshDue(*r)) self->sms().host.refreshFrom(*r);
    });
}

browser::WebModule* Workstation::pages() {
    State& s = *s_;
    if (!s.pages && s.givenPages) s.pages = s.givenPages;
    if (!s.pages && !s.pagesRefused) {
        QString why;
        s.pages = browser::LoadWebModule(&why);
        if (!s.pages) {
            s.pagesRefused = true;
            s.messages.show(why);
        }
    }
    return s.pages;
}

bool Workstation::start() {
    State& s = *s_;
    QString why;
    const auto keys =
        shell::CipherKeyTable::parse(s.config.value(QStringLiteral("CipherKeyTable")), &why);
    if (!keys) {
        s.messages.show(QStringLiteral("加密密钥表配置错误，程序无法连接服务。\nCipherKeyTable: ") +
                            why,
                        QStringLiteral("错误提示"));
        return false;
    }
    s.vendor = std::make_unique<shell::VendorSession>(s.config, *keys, s.http, s.messages, s.clock,
                                                      s.random);
    s.signIn = std::make_unique<shell::SignInFlow>(*s.vendor, s.messages, s.config, s.folder);
    // The main window shows before the finishing sign-in form closes, so the program goes on.
    connect(s.signIn.get(), &shell::SignInFlow::signedIn, this, [this] { openMainWindow(); });
    connect(s.signIn.get(), &shell::SignInFlow::abandoned, this, [this] {
        if (!s_->main) emit finished();
    });
    s.signIn->start();
    return true;
}

shell::A_Main& Workstation::openMainWindow() {
    State& s = *s_;
    if (!s.main) {
        s.main = std::make_unique<shell::A_Main>(s.shell);
        s.printHost.setMdiArea(s.main->mdiArea());
        if (s.sms) s.sms->host.setOwner(s.main.get());
        connect(s.main.get(), &shell::A_Main::closed, this, &Workstation::mainWindowClosed);
        s.endWith(s.main.get());
        s.main->load();
    }
    return *s.main;
}

void Workstation::mainWindowClosed() {
    s_->messages.closing = true;
    emit finished();
}

void Workstation::openPrintFormAlone() {
    State& s = *s_;
    connect(&s.printHost, &itin::PrintFormHost::formLoaded, this,
            [&s](itin::P_GuoNei* form) { s.endWith(form); });
    // The program ends when the form closes for good, not when it reloads in the other mode.
    connect(&s.printHost, &itin::PrintFormHost::formUnloaded, this, [this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!s_->printHost.form()) emit finished();
            },
            Qt::QueuedConnection);
    });
    s.printHost.show();
}

const common::DeployConfig& Workstation::config() const {
    return s_->config;
}
common::Messages& Workstation::messages() {
    return s_->messages;
}
net::HttpClient& Workstation::http() {
    return s_->http;
}
browser::BrowserProfile& Workstation::profile() {
    State& s = *s_;
    if (!s.profile) {
        browser::WebModule* web = pages();
        Q_ASSERT(web); // callers ask for the profile only once the module is there
        s.profile = web->createProfile();
    }
    return *s.profile;
}
itin::PrintFormState& Workstation::formState() {
    return s_->formState;
}
itin::PrintSettings& Workstation::settings() {
    return s_->settings;
}
itin::ItineraryContext& Workstation::itinerary() {
    return s_->itinerary;
}
itin::PrintFormHost& Workstation::printForms() {
    return s_->printHost;
}
itin::BookingForm& Workstation::printForm() {
    return s_->printForm;
}
itin::RetrievalForm& Workstation::retrievalForm() {
    return s_->printForm;
}
sms::SmsAccount& Workstation::smsAccount() {
    return sms().account;
}
shell::WebState& Workstation::web() {
    return s_->web;
}
ximport::ImportContext& Workstation::imports() {
    State& s = *s_;
    if (!s.imports)
        s.imports = std::make_unique<ximport::ImportContext>(ximport::ImportContext{
            s.printHost, s.printForm, s.printForm, s.itinerary, [this] { return pages(); },
            [this]() -> browser::BrowserProfile& { return profile(); }});
    return *s.imports;
}
shell::SignInFlow* Workstation::signIn() {
    return s_->signIn.get();
}
shell::VendorSession* Workstation::vendor() {
    return s_->vendor.get();
}
shell::A_Main* Workstation::mainWindow() const {
    return s_->main.get();
}

int RunWorkstation(const QString& programFolder) {
    Workstation station(programFolder);
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&station, &Workstation::finished, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    if (!station.start()) return 2;
    return QApplication::exec();
}

int RunPrintFormAlone(const QString& programFolder, bool international) {
    Workstation station(programFolder);
    station.formState().printMode = international ? 1 : 0;
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&station, &Workstation::finished, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    station.openPrintFormAlone();
    return QApplication::exec();
}

} // namespace app
