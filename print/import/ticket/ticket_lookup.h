#pragma once
// The ticket-number import without its window: the query the agent types, the actions
// that put it into the verification page, the page state with the import button, and
// what a result page does to the itinerary record.
#include "browser/browser_scripts.h"
#include "browser/dom_snapshot.h"

#include <QDateTime>
#include <QString>

#include <functional>

namespace itin {
class ItineraryRecord;
}

namespace ximport {

// The query after trimming; refusal is the message to show, empty when it may be sent.
struct TicketQuery {
    QString ticket; // without "-"
    QString name;
    QString code;
    QString refusal;
    bool ticketOk() const { return ticket.size() == 13; }
};
TicketQuery CheckTicketQuery(const QString& ticket, const QString& name, const QString& code);

// Fills "eticketNoORIn", "passengerName" and "randCode", then runs "validateStatus_info()".
browser::BrowserActions QueryActions(const TicketQuery& query);

// Hides the verification page's own picture code (an image from CallYanServlet): the
// dialog shows the one it fetched, which is the one the site keeps.
browser::BrowserActions HidePagePictureCode();
// The dialog's status line when the site cannot be reached.
QString UnreachableSiteMessage();

// The verification site's home page (its root address) and a picture-code address made
// unique by the local date and time.
QString VerificationHomeUrl(const QString& siteUrl);
QString PictureCodeUrl(const QString& siteUrl, const QDateTime& now);

// The page state (0 until the browser has finished a page, then 2) and the import button.
class TicketPageState {
public:
    static constexpr int kButtonWidthTwips = 1200;
    int pageState() const { return pageState_; }
    QString buttonCaption() const;
    bool buttonEnabled() const { return pageState_ == 2; }
    // Document complete, or the status text "完成".
    void pageFinished() { pageState_ = 2; }
    // The status text that also finishes the page.
    static bool finishesPage(const QString& statusText);

private:
    int pageState_ = 0;
};

// Markup beyond this is no verification page: it is refused, not cut.
constexpr qsizetype kMaxResultMarkup = 8 * 1024 * 1024;
// What the agent is told about a refused page.
QString ResultTooLargeMessage();

// What a finished download did with the page.
struct ResultApplied {
    bool result = false;   // the page carried the marker and was cut
    bool tooLarge = false; // over kMaxResultMarkup: nothing written
    bool dumped = false;   // its markup was written to "PNC.txt"
    int written = 0;       // field writes made
};

// When the page carries the result marker: writes its markup to "PNC.txt" in the folder
// and cuts the third table into the record that record() gives then (none: no cut). Any
// other page changes nothing and record() is not called.
ResultApplied ApplyResultPage(const browser::DomDocument& page,
                              const std::function<itin::ItineraryRecord*()>& record,
                              const QString& programFolder);

} // namespace ximport
