#pragma once
// A_Main: the workstation's multiple-document main window. Its menus drive the
// management system's navigation in B_Main or open the native windows.
#include "shell/main_window/menu_dispatch.h"

#include <QMainWindow>
#include <QPointer>

class QMdiArea;
class QMdiSubWindow;

namespace shell {

class B_Main;

class A_Main : public QMainWindow, public BrowserWindowControl {
    Q_OBJECT
public:
    explicit A_Main(ShellContext& context, QWidget* parent = nullptr);
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

    ShellContext& context_;
    QMdiArea* mdi_ = nullptr;
    QPointer<QMdiSubWindow> browserWindow_;
};

} // namespace shell
