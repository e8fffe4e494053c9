#pragma once
// A_Main: the workstation's multiple-document main window. Its menus drive the
// management system's navigation in B_Main or open the native windows.
#include "shell/main_window/menu_dispatch.h"

#include <QMainWindow>
#include <QPointer>

class QMdiArea;
class QMdiSubWindow;
namespace common {
class DeployConfig;
} // namespace common

namespace shell {

class B_Main;
class ManagementSite;

// Makes and drives the browser window B_Main; the program's loads the pages module (and the
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

// Everything the main window works with; owned by the program.
struct ShellServices {
    const common::DeployConfig& config;
    WebState& web;
    itin::PrintFormState& formState;
    common::Messages& messages;
    common::DesktopBrowser& desktop;
    BrowserWindows& browserWindows;
    itin::BookingForm& printForm;
    std::function<void()> openSmsPanel;
};

class A_Main : public QMainWindow, public BrowserWindowControl {
    Q_OBJECT
public:
    explicit A_Main(ShellServices& services, QWidget* parent = nullptr);
    ~A_Main() override;

    // Maximises the window, sets its caption, shows B_Main and then the print form.
    void load();

    QMdiArea* mdiArea() const { return mdi_; }
    // The open browser window, or null.
    B_Main* browserWindow() const;
    // The menu entry with this control name ("m_Att(0)", "m_CallHz", "m_TelManage").
    QAction* menuAction(const QString& objectName) const;

    void clickNavItem(const QString& id, std::function<void(bool found)> found) override;
    void unloadBrowser() override;
    void showBrowser() override;

signals:
    // The agent closed the main window; its child and owned windows have closed.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();

    ShellServices& services_;
    MenuContext context_;
    QMdiArea* mdi_ = nullptr;
    QPointer<QMdiSubWindow> browserWindow_;
};

} // namespace shell
