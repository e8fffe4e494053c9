#pragma once
// What a chosen menu entry does, apart from the window that shows the menus.
#include "itinerary/booking_form.h"
#include "shell/main_window/menu_table.h"
#include "shell/management/web_state.h"

#include "common/desktop.h"
#include "common/messages.h"

#include <functional>

namespace shell {

// The browser window as the menus see it.
class BrowserWindowControl {
public:
    virtual ~BrowserWindowControl() = default;
    // Clicks the navigation entry with this id in the frame "leftFrame"; found tells later
    // whether the element was there.
    virtual void clickNavItem(const QString& id, std::function<void(bool found)> found) = 0;
    virtual void unloadBrowser() = 0;
    // Shows the browser window; a window that is not open loads at the sign-in page.
    virtual void showBrowser() = 0;
};

struct MenuContext {
    WebState& web;
    itin::PrintFormState& formState;
    itin::BookingForm& printForm;
    BrowserWindowControl& browser;
    common::Messages& messages;
    common::DesktopBrowser& desktop;
    QString contactUrl;
    std::function<void()> openSmsPanel;
};

void ChooseMenuItem(MenuContext& context, const MenuItem& item);
// A web entry: the click when signed in, otherwise "请登陆系统" and the browser reloaded.
void WebEntry(MenuContext& context, const QString& navId);

} // namespace shell
