#pragma once
// Platform order retrieval from the print form's "导 入": the retrieval window W_Webfrm and
// the platform sign-in window P_Login, the module state they share, and the opener the
// program installs on the print form. The program owns the opener (and with it the state);
// the windows are created when shown and destroyed when they close.
#include "common/forms/window_host.h"

#include <QObject>
#include <QString>
#include <QUrl>

namespace common {
class DeployConfig;
}
namespace itin {
class RetrievalForm;
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
    // A child of the print form's host; ctx and form (the form's platform, status line and
    // controls, which the windows drive) must outlive it.
    OrderRetrieval(ImportContext& ctx, itin::RetrievalForm& form);

    PlatformState& state() { return state_; }

    // Cmdinput after its checks: closes a running retrieval, then shows the window anew.
    W_Webfrm* open();
    // After a successful platform sign-in: the window closes and loads again.
    W_Webfrm* restart();
    // The sign-in window of the selected platform (one at a time).
    P_Login* openSignIn();
    // The sign-in window closed without signing in: the retrieval stops too.
    void signInAbandoned();

private:
    ImportContext& ctx_;
    itin::RetrievalForm& form_;
    PlatformState state_;
    forms::WindowHost<W_Webfrm> window_;
    forms::WindowHost<P_Login> signIn_;
};

// The deployment address of a platform's site, and the neutral blank page.
QString PlatformSiteUrl(const common::DeployConfig& deploy, int platform);
QString PlatformBlankUrl(const common::DeployConfig& deploy);
// PingTai.ini (the print settings' path, or the program folder's) and its stored text, empty
// when there is none.
QString PingTaiPath(const itin::ItineraryContext& ctx);
QString ReadPingTai(const itin::ItineraryContext& ctx);

} // namespace ximport
