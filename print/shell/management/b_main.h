#pragma once
// B_Main "票务管理系统": the management system's pages in one embedded browser, WbBs.
// It keeps webSignedIn in step with the top-level page and hands print pages to the
// print form. Loading it opens the sign-in page; browserOpen follows its lifetime.
#include "itinerary/booking_form.h"
#include "shell/management/management_site.h"
#include "shell/management/web_state.h"

#include <QWidget>

#include <functional>

namespace browser {
class BrowserProfile;
class EmbeddedBrowser;
} // namespace browser

namespace shell {

class B_Main : public QWidget {
    Q_OBJECT
public:
    B_Main(browser::BrowserProfile& profile, WebState& web, const ManagementSite& site,
           itin::PrintFormState& formState, itin::BookingForm& printForm,
           QWidget* parent = nullptr);
    ~B_Main() override;

    browser::EmbeddedBrowser* WbBs = nullptr;

    // Clicks the element with this id in the navigation frame "leftFrame"; found tells
    // whether the frame had it. Returns at once.
    void clickNavItem(const QString& id, std::function<void(bool found)> found = {});

    // The window's place when it loads, in pixels.
    static QRect loadGeometry();

signals:
    // A print page was handed to the print form (filled tells whether its text named a mode).
    void printHandedOff(bool filled);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void onDocumentComplete(const QString& url);

    WebState& web_;
    ManagementSite site_;
    itin::PrintFormState& formState_;
    itin::BookingForm& printForm_;
};

} // namespace shell
