#pragma once
// What the main window and its menus need from the program. The program owns every object
// and builds the context once.
#include <QRect>
#include <QString>

#include <functional>

class QWidget;

namespace common {
class DeployConfig;
class DesktopBrowser;
class Messages;
} // namespace common
namespace itin {
class BookingForm;
struct PrintFormState;
} // namespace itin

namespace shell {

class ManagementSite;
struct WebState;

// Makes and drives the browser window B_Main; the program loads the pages module (and the
// web engine) the first time a window is made.
class BrowserWindows {
public:
    virtual ~BrowserWindows() = default;
    // A new B_Main on the site's sign-in page; null when there can be none.
    virtual QWidget* create(const ManagementSite& site) = 0;
    // Its place when it loads, in pixels.
    virtual QRect loadGeometry() = 0;
    virtual void clickNavItem(QWidget* window, const QString& id,
                              std::function<void(bool found)> found) = 0;
};

struct ShellContext {
    // Caption, the management site and the contact page.
    const common::DeployConfig& config;
    WebState& web;
    itin::PrintFormState& formState;
    common::Messages& messages;
    common::DesktopBrowser& desktop;
    BrowserWindows& browserWindows;
    itin::BookingForm& printForm;
    std::function<void()> openSmsPanel;
};

} // namespace shell
