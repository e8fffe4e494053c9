#pragma once
// What a chosen menu entry does, apart from the window that shows the menus.
#include "shell/main_window/menu_table.h"
#include "shell/main_window/shell_context.h"

#include <QString>

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

// The entry's action: a web entry, the SMS panel, the print form in a mode, the contact page.
void ChooseMenuItem(ShellContext& context, BrowserWindowControl& browser, const MenuItem& item);
// A web entry: the click when signed in, otherwise "请登陆系统" and the browser reloaded.
void WebEntry(ShellContext& context, BrowserWindowControl& browser, const QString& navId);

} // namespace shell
