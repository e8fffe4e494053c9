#include "workstation.h"

#include "a_main.h"
#include "browser_profile.h"

#include "deploy_config.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace shell {
namespace {

class MessageBoxMessages : public Messages {
public:
    using Messages::Messages;

protected:
    void deliver(const QString& text, const QString& title) override {
        QMessageBox::information(QApplication::activeWindow(), title, text);
    }
};

class SystemDesktopBrowser : public DesktopBrowser {
public:
    // A browser that cannot be started leaves the program running.
    void open(const QString& url) override { QDesktopServices::openUrl(QUrl(url)); }
};

// The SMS panel's opener; the SMS windows hook in here.
void openSmsPanel() {}

} // namespace

int RunWorkstation(const QString& programFolder) {
    const DeployConfig config = DeployConfig::load(programFolder);
    WebState web;
    itin::PCommon common;
    MessageBoxMessages messages;
    SystemDesktopBrowser desktop;
    browser::BrowserProfile profile;
    // The print form's window host takes this place once it is in the program.
    HeadlessPrintForm printForm(common);
    ShellServices services{config,  web,     common,    messages,
                           desktop, profile, printForm, openSmsPanel};
    A_Main main(services);
    main.load();
    return QApplication::exec();
}

} // namespace shell
