#include "shell/main_window/a_main.h"

#include "shell/management/b_main.h"

#include "common/deploy_config.h"
#include "itinerary/booking_form.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

namespace shell {

A_Main::A_Main(ShellContext& context, QWidget* parent) : QMainWindow(parent), context_(context) {
    setObjectName(QStringLiteral("A_Main"));
    mdi_ = new QMdiArea(this);
    setCentralWidget(mdi_);
    buildMenus();
}

A_Main::~A_Main() {
    // Child windows go while what they use still exists.
    delete browserWindow_.data();
}

void A_Main::closeEvent(QCloseEvent* event) {
    // Child windows close first (the print form saves its page settings), then every
    // window this one owns.
    mdi_->closeAllSubWindows();
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->isWindow() && w->isVisible()) w->close();
    QMainWindow::closeEvent(event);
    emit closed();
}

void A_Main::buildMenus() {
    for (const TopMenu& top : MainMenuTable()) {
        QMenu* menu = menuBar()->addMenu(top.caption);
        menu->setObjectName(top.control);
        menu->menuAction()->setObjectName(top.control);
        menu->setEnabled(top.enabled);
        for (const MenuItem& item : top.items) {
            QAction* a = menu->addAction(item.caption);
            a->setObjectName(item.objectName());
            a->setEnabled(item.enabled);
            connect(a, &QAction::triggered, this,
                    [this, item] { ChooseMenuItem(context_, *this, item); });
        }
    }
}

QAction* A_Main::menuAction(const QString& objectName) const {
    for (QAction* a : menuBar()->findChildren<QAction*>())
        if (a->objectName() == objectName) return a;
    return nullptr;
}

void A_Main::load() {
    setWindowTitle(context_.config.value(QStringLiteral("ProductTitle")) + u' ' +
                   context_.config.value(QStringLiteral("ProductVersion")));
    // The children first: the web view changes the kind of surface the window needs, and a
    // window re-created after it was shown comes back at its normal size, not maximised.
    showBrowser();
    context_.printForm.show();
    showMaximized();
}

B_Main* A_Main::browserWindow() const {
    // Every browser sub-window holds a B_Main (made by context_.browserWindows).
    return browserWindow_ ? static_cast<B_Main*>(browserWindow_->widget()) : nullptr;
}

void A_Main::showBrowser() {
    if (browserWindow_) {
        mdi_->setActiveSubWindow(browserWindow_);
        return;
    }
    const ManagementSite site(context_.config.value(QStringLiteral("ManagementSiteUrl")));
    QWidget* form = context_.browserWindows.create(site);
    if (!form) return; // no pages in this installation (the agent has been told)
    browserWindow_ = mdi_->addSubWindow(form);
    browserWindow_->setAttribute(Qt::WA_DeleteOnClose);
    browserWindow_->setGeometry(context_.browserWindows.loadGeometry());
    browserWindow_->show();
}

void A_Main::unloadBrowser() {
    // Synchronous, so that a following showBrowser loads a fresh window.
    delete browserWindow_.data();
}

void A_Main::clickNavItem(const QString& id, std::function<void(bool)> found) {
    if (browserWindow_) {
        context_.browserWindows.clickNavItem(browserWindow_->widget(), id, std::move(found));
        return;
    }
    if (found) found(false);
}

} // namespace shell
