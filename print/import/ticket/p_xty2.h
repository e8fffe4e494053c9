#pragma once
// The ticket-number import dialog "票号导入": the verification page in an embedded
// browser, the ticket number, name and picture code typed beside it; a result page is cut
// into the print form's record (created when no form is open).
#include "common/forms/window_host.h"
#include "import/ticket/ticket_lookup.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace browser {
class BrowserProfile;
class EmbeddedBrowser;
} // namespace browser

namespace itin {
class ClickLabel;
class BookingForm;
struct ItineraryContext;
} // namespace itin

namespace ximport {

class P_XTY2 : public QWidget {
    Q_OBJECT
public:
    // form, ctx and profile must outlive the dialog. Loads on creation: the home page and
    // a picture code are on their way when the constructor returns.
    P_XTY2(itin::BookingForm& form, itin::ItineraryContext& ctx, browser::BrowserProfile& profile,
           int pictureTimeoutMs = 0, QWidget* parent = nullptr);

signals:
    // A result page was cut into the record (fields written).
    void resultApplied(int written);

private:
    // Event handlers.
    void Command1_Click();
    void Text3_Change();
    void WebBs_DocumentComplete(const QString& url);
    void WebBs_StatusTextChange(const QString& text);
    void WebBs_DownloadComplete();
    void WebBs_TopLoadFinished(bool ok);
    // Clears Image1 and fetches a new picture code (Image1 and "刷新" clicks).
    void refreshPicture();
    void showButton();

    itin::BookingForm& form_;
    itin::ItineraryContext& ctx_;
    browser::BrowserProfile& profile_;
    int pictureTimeoutMs_;
    TicketPageState state_;
    bool loadFailed_ = false; // the last page could not be loaded
    bool querying_ = false;   // a query was sent and its page has not come yet
    QTimer* wait_;
    QString siteUrl_;
    QLineEdit* Text1_;
    QLineEdit* Text2_;
    QLineEdit* Text3_;
    itin::ClickLabel* Image1_;
    QLabel* Label7_;
    QPushButton* Command1_;
    browser::EmbeddedBrowser* WebBs_;
};

struct ImportContext;

// Opens the dialog from the print form's "票号导入" (one at a time, raised when already
// open): it belongs to the window holding the print form (the main window), when there is
// one, and reaches the form through ctx.printForm. A child of the print form's host; the
// dialog goes with it. ctx must outlive it.
class TicketImport : public QObject {
    Q_OBJECT
public:
    explicit TicketImport(ImportContext& ctx);
    P_XTY2* open() { return dialog_.show(); }
    // Picture-code time-out for dialogs opened from now on (0: the default).
    void setPictureTimeoutMs(int ms) { pictureTimeoutMs_ = ms; }

private:
    int pictureTimeoutMs_ = 0;
    forms::WindowHost<P_XTY2> dialog_;
};

} // namespace ximport
