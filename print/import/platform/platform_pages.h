#pragma once
// The two distribution platforms as the sign-in and order retrieval windows see them:
// their addresses, the stored accounts of "PingTai.ini", and what each finished page
// means. Every page is classified afresh from one snapshot; the result says what to do
// (page actions as one batch, a message, a status text, closing) and the window does it.
#include "browser/browser_scripts.h"
#include "browser/dom_snapshot.h"
#include "import/platform/platform_texts.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace ximport {

// Addresses of one platform; base is the site root as deployed ("http://host:port/").
class PlatformSite {
public:
    PlatformSite(int platform, const QString& baseUrl);

    int platform() const { return platform_; }
    QString homeUrl() const;       // the site root
    QString startUrl() const;      // "/Default.aspx" or "/Distributor/DIS_Default.aspx"
    QString signInUrl() const;     // P_Login: platform 0 the site root, 1 its sign-in page
    QString signInPageUrl() const; // platform 1: "/Distributor/Dis_Login.aspx"
    // Platform 1's picture code: "/SPL_ValidateCode.aspx?" and the local date and time.
    QString pictureCodeUrl(const QDateTime& now) const;

private:
    int platform_;
    QString base_; // without a trailing "/"
};

// Display name, account and password of one line of "PingTai.ini".
struct PlatformAccount {
    QString name;
    QString account;
    QString password;
};

// Line `platform` of the file text (lines at CR LF, fields at ","); missing parts are empty.
PlatformAccount ReadPlatformAccount(const QString& pingTaiText, int platform);
// The file text with line `platform` rewritten as index, name, account, password (its old
// fields 0 and 1 kept) and every other line unchanged.
QString RewritePlatformAccount(const QString& pingTaiText, int platform, const QString& account,
                               const QString& password);

// The "HTML" of a page as the windows test it: the top document's outer markup.
QString PageHtml(const browser::DomDocument& page);

// ---- the order retrieval window ------------------------------------------------------

struct RetrievalInput {
    int platform = 0;
    QString finishedUrl; // address of the finished document
    QString account;     // stored account and password
    QString password;
    QString pnr; // platformPnr
};

struct RetrievalStep {
    enum Kind {
        None,         // no row matched: nothing to do
        Refused,      // "Uname=" and the account: message, stop
        SignIn,       // sign-in page filled and submitted
        TimedOut,     // platform 0: the main frame's time-out text; back to the home page
        Desktop,      // menu and link clicked
        SearchPage,   // PNR entered, search pressed
        NothingFound, // message, status, close
        OrdersListed, // first order opened
        OrderDetail,  // read the order, then close
        TooLarge,     // over kMaxPageMarkup: message, status, close
    };
    Kind kind = None;
    bool pictureCodePage = false; // platform 1's sign-in page: come into view, new picture
    QStringList messages;         // shown first, in order
    QString status;               // Label7 when not empty
    QString navigateTo;           // after the actions
    browser::BrowserActions actions;
    bool close = false;
};

// One finished page of the order retrieval (the window's steps after the ready test).
RetrievalStep ClassifyRetrievalPage(const PlatformSite& site, const RetrievalInput& in,
                                    const browser::DomDocument& page);

// The picture-code sign-in of platform 1 (W_Webfrm's Command1): fields and button.
browser::BrowserActions PictureCodeSignIn(const QString& account, const QString& password,
                                          const QString& code);

// ---- the sign-in window --------------------------------------------------------------

struct SignInStep {
    enum Kind { None, SignInPage, SignedIn };
    Kind kind = None;
    QString message;       // shown when not empty
    bool showCode = false; // platform 0: whether the picture-code row shows
    QString pictureUrl;    // fetch this picture (empty: clear it)
};

// One finished page of P_Login; account is Text1 as it stands.
SignInStep ClassifySignInPage(const PlatformSite& site, const QString& finishedUrl,
                              const QString& account, const browser::DomDocument& page,
                              const QDateTime& now);

// P_Login's Command1 after its length checks: the page's fields and button.
browser::BrowserActions SignInActions(int platform, const browser::DomDocument& page,
                                      const QString& account, const QString& password,
                                      const QString& code);

// Platform 0's picture-code input id inside the inner markup of "CheckCodeLoading": the
// text after the first "id=" up to the next space (quotes and ">" dropped).
QString PictureCodeInputId(const QString& checkCodeLoadingMarkup);
// The first src attribute's value in markup: after src= and its opening double quote, up
// to the next double quote (a bare value up to a space or ">").
QString FirstSrc(const QString& markup);

} // namespace ximport
