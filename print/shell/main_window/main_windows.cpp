#include "main_windows.h"

#include "a_main.h"
#include "browser_profile.h"
#include "hosted_print_form.h"
#include "order_retrieval.h"
#include "p_excel.h"
#include "print_form_host.h"
#include "sms_http.h"
#include "sms_panel_host.h"
#include "widget_seams.h"

#include "deploy_config.h"

#include <QApplication>
#include <QMdiSubWindow>

namespace shell {

struct MainWindows::State {
    State(const DeployConfig& config, Messages& messages, const QString& folder)
        : itinerary{common, settings, messages, clock, config, desktop, fileDialogs, folder, {}},
          smsEnvironment{sms::NetworkGet(config.httpTimeoutMs()),
                         config.value(QStringLiteral("SmsGatewayHost")),
                         folder,
                         {}},
          smsContext{smsAccount,
                     common,
                     messages,
                     clock,
                     desktop,
                     smsEnvironment,
                     [this] { return openRecord(); },
                     [this] { return printFormFrame(); }},
          smsHost(smsContext), printHost(itinerary),
          printForm(printHost), services{config,
                                         web,
                                         common,
                                         messages,
                                         desktop,
                                         profile,
                                         printForm,
                                         [this] {
                                             if (openSmsPanel) openSmsPanel();
                                         }},
          main(services) {
        printHost.setMdiArea(main.mdiArea());
        // The SMS panel follows every print form's record and opens from the menu.
        QObject::connect(&printHost, &itin::PrintFormHost::formLoaded, &smsHost,
                         [this](itin::P_GuoNei* form) {
                             smsEnvironment.workstationId = settings.workstationId;
                             smsHost.follow(form->record());
                         });
        openSmsPanel = [this] { smsHost.show(); };
        ximport::InstallSpreadsheetImport(printHost, itinerary); // "导入表格文件"
        ximport::InstallOrderRetrieval(printHost, itinerary, profile); // "导 入"
    }
    const itin::ItineraryRecord* openRecord() {
        itin::P_GuoNei* form = printHost.form();
        return form ? &form->record() : nullptr;
    }
    QRect printFormFrame() {
        itin::P_GuoNei* form = printHost.form();
        if (!form) return {};
        QWidget* frame = qobject_cast<QMdiSubWindow*>(form->parentWidget())
                             ? form->parentWidget()
                             : static_cast<QWidget*>(form);
        const QPoint at =
            frame->parentWidget() ? frame->parentWidget()->mapToGlobal(frame->pos()) : frame->pos();
        return {at, frame->size()};
    }
    ~State() {
        printHost.unload();
        delete smsHost.panel();
    }

    WebState web;
    itin::PCommon common;
    itin::PrintSettings settings;
    SystemClock clock;
    itin::SystemDesktopBrowser desktop;
    itin::WidgetFileDialogs fileDialogs;
    itin::ItineraryContext itinerary;
    sms::SmsCommon smsAccount;
    sms::SmsEnvironment smsEnvironment;
    sms::SmsPanelContext smsContext;
    sms::SmsPanelHost smsHost;
    browser::BrowserProfile profile;
    itin::PrintFormHost printHost;
    HostedPrintForm printForm;
    std::function<void()> openSmsPanel;
    ShellServices services;
    A_Main main;
};

MainWindows::MainWindows(const DeployConfig& config, Messages& messages,
                         const QString& programFolder)
    : state_(std::make_unique<State>(config, messages, programFolder)) {}

MainWindows::~MainWindows() = default;

void MainWindows::show() {
    state_->main.load();
}

A_Main& MainWindows::mainWindow() {
    return state_->main;
}

itin::PrintFormHost& MainWindows::printFormHost() {
    return state_->printHost;
}

itin::ItineraryContext& MainWindows::itinerary() {
    return state_->itinerary;
}

browser::BrowserProfile& MainWindows::profile() {
    return state_->profile;
}

void MainWindows::setOpenSmsPanel(std::function<void()> open) {
    state_->openSmsPanel = std::move(open);
}

int RunMainWindows(const QString& programFolder) {
    const DeployConfig config = DeployConfig::load(programFolder);
    itin::BoxMessages messages(config.value(QStringLiteral("ProductTitle")));
    MainWindows windows(config, messages, programFolder);
    windows.show();
    return QApplication::exec();
}

} // namespace shell
