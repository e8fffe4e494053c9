#include "shell/main_window/menu_dispatch.h"

#include "common/deploy_config.h"
#include "common/desktop.h"
#include "common/messages.h"
#include "itinerary/booking_form.h"
#include "shell/management/web_state.h"

namespace shell {

void WebEntry(ShellContext& c, BrowserWindowControl& browser, const QString& navId) {
    if (!c.web.webSignedIn) {
        c.messages.show(QStringLiteral("请登陆系统"));
        if (c.web.browserOpen) browser.unloadBrowser();
        browser.showBrowser();
        return;
    }
    if (!c.web.browserOpen) {
        // Signed in, but the agent closed the browser window: bring it back.
        c.messages.show(QStringLiteral("票务管理系统窗口已关闭，请重新登陆系统"));
        browser.showBrowser();
        return;
    }
    common::Messages* messages = &c.messages;
    browser.clickNavItem(navId, [messages](bool found) {
        if (!found) messages->show(QStringLiteral("当前页面没有这个菜单项"));
    });
}

void ChooseMenuItem(ShellContext& c, BrowserWindowControl& browser, const MenuItem& item) {
    if (!item.enabled) return;
    switch (item.action) {
    case MenuAction::Web:
        WebEntry(c, browser, item.navId);
        break;
    case MenuAction::SmsPanel:
        if (c.openSmsPanel) c.openSmsPanel();
        break;
    case MenuAction::PrintDomestic:
        itin::OpenPrintForm(c.formState, c.printForm, itin::Domestic);
        break;
    case MenuAction::PrintInternational:
        itin::OpenPrintForm(c.formState, c.printForm, itin::International);
        break;
    case MenuAction::Contact:
        c.desktop.open(c.config.value(QStringLiteral("ContactUrl")));
        break;
    case MenuAction::None:
        break;
    }
}

} // namespace shell
