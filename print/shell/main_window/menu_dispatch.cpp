#include "shell/main_window/menu_dispatch.h"

namespace shell {

void WebEntry(MenuContext& c, const QString& navId) {
    if (!c.web.webSignedIn) {
        c.messages.show(QStringLiteral("请登陆系统"));
        if (c.web.browserOpen) c.browser.unloadBrowser();
        c.browser.showBrowser();
        return;
    }
    if (!c.web.browserOpen) {
        // Signed in, but the agent closed the browser window: bring it back.
        c.messages.show(QStringLiteral("票务管理系统窗口已关闭，请重新登陆系统"));
        c.browser.showBrowser();
        return;
    }
    common::Messages* messages = &c.messages;
    c.browser.clickNavItem(navId, [messages](bool found) {
        if (!found) messages->show(QStringLiteral("当前页面没有这个菜单项"));
    });
}

void ChooseMenuItem(MenuContext& c, const MenuItem& item) {
    if (!item.enabled) return;
    switch (item.action) {
    case MenuAction::Web:
        WebEntry(c, item.navId);
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
        c.desktop.open(c.contactUrl);
        break;
    case MenuAction::None:
        break;
    }
}

} // namespace shell
