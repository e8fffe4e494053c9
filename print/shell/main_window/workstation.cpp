#include "workstation.h"

#include "a_main.h"
#include "browser_profile.h"
#include "hosted_print_form.h"
#include "print_form_host.h"
#include "widget_seams.h"

#include "deploy_config.h"

#include <QApplication>

namespace shell {
namespace {

// The SMS panel's opener; the SMS windows hook in here.
void openSmsPanel() {}

} // namespace

int RunWorkstation(const QString& programFolder) {
    const DeployConfig config = DeployConfig::load(programFolder);
    WebState web;
    itin::PCommon common;
    itin::PrintSettings settings;
    itin::BoxMessages messages(config.value(QStringLiteral("ProductTitle")));
    SystemClock clock;
    itin::SystemDesktopBrowser desktop;
    itin::WidgetFileDialogs fileDialogs;
    itin::ItineraryContext itinerary{common,  settings,    messages,      clock, config,
                                     desktop, fileDialogs, programFolder, {}};
    browser::BrowserProfile profile;
    itin::PrintFormHost printHost(itinerary);
    HostedPrintForm printForm(printHost);
    ShellServices services{config,  web,     common,    messages,
                           desktop, profile, printForm, openSmsPanel};
    A_Main main(services);
    printHost.setMdiArea(main.mdiArea());
    // Company sign-in comes first once its form is in the program.
    main.load();
    return QApplication::exec();
}

} // namespace shell
