#pragma once
// Platform order retrieval from the print form's "导 入": the retrieval window W_Webfrm and
// the platform sign-in window P_Login, the module state they share, and the opener the
// program installs on the print form. The program owns the opener (and with it the state);
// the windows are created when shown and destroyed when they close.
#include "common/forms/window_host.h"

#include <QObject>
#include <QString>
#include <QUrl>

class QLabel;

namespace browser {
class BrowserProfile;
}
namespace itin {
class PrintFormAccess;
class PrintFormHost;
struct ItineraryContext;
} // namespace itin

namespace ximport {

struct ImportContext;
class P_Login;
class W_Webfrm;

// The platform windows' module state.
struct PlatformState {
    qint16 selectedPlatform = 0;
    qint16 orderRetrievalActive = 0;
};

class OrderRetrieval : public QObject {
    Q_OBJECT
public:
    // A child of the print form's host; ctx must outlive it.
    explicit OrderRetrieval(ImportContext& ctx);

    PlatformState& state() { return state_; }
    // The print form the windows read the platform from and write the order into.
    itin::PrintFormAccess& printForm() { return form_; }
    itin::ItineraryContext& context() { return ctx_; }
    browser::BrowserProfile& profile() { return profile_; }
    // The picture-code fetch (LoadPictureFromURL) into a picture control.
    void loadPicture(QLabel* target, const QUrl& url);

    // Cmdinput after its checks: closes a running retrieval, then shows the window anew.
    W_Webfrm* open();
    // After a successful platform sign-in: the window closes and loads again.
    W_Webfrm* restart();
    // The sign-in window of the selected platform (one at a time).
    P_Login* openSignIn();
    // The sign-in window closed without signing in: the retrieval stops too.
    void signInAbandoned();

    // The deployment address of a platform's site, and the neutral blank page.
    QString siteUrl(int platform) const;
    QString blankUrl() const;
    // The stored text of PingTai.ini, empty when there is none.
    QString pingTaiText() const;
    QString pingTaiPath() const;

private:
    itin::PrintFormAccess& form_;
    itin::ItineraryContext& ctx_;
    browser::BrowserProfile& profile_;
    PlatformState state_;
    forms::WindowHost<W_Webfrm> window_;
    forms::WindowHost<P_Login> signIn_;
};

} // namespace ximport
