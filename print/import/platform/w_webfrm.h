#pragma once
// The order retrieval window: drives the selected platform's pages out of sight, from the
// start page to the order detail, and writes the order into the print form's record. It
// comes into view only when the second platform asks for a picture code.
#include "import/platform/platform_pages.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;
class QTimer;

namespace browser {
class EmbeddedBrowser;
}
namespace itin {
class RetrievalForm;
}

namespace ximport {

struct ImportContext;
class OrderRetrieval;
struct PlatformState;

class W_Webfrm : public QWidget {
    Q_OBJECT
public:
    // flow opens the sign-in window when no account is stored; the rest must outlive the
    // window.
    W_Webfrm(OrderRetrieval& flow, ImportContext& ctx, itin::RetrievalForm& form,
             PlatformState& state, QWidget* parent = nullptr);
    ~W_Webfrm() override;

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Event handlers.
    void Command1_Click();
    void Image1_Click();
    void pageFinished(const QString& url, const browser::DomDocument& page);
    void setStatus(const QString& text);
    void newPictureCode();
    void readOrder(const browser::DomDocument& page);
    void unload();
    void stalled();
    // Ends the retrieval with a status line that says how.
    void finish(const QString& status);
    // The status line for a step of platform 0, where no picture code is ever asked for.
    static QString progressStatus(RetrievalStep::Kind kind);
    // Messages go over the print form, not over this window while it is out of sight.
    void showMessage(const QString& text);

    ImportContext& ctx_;
    itin::RetrievalForm& form_;
    PlatformState& state_;
    PlatformSite site_;
    PlatformAccount account_;
    bool unloaded_ = false;
    bool ended_ = false; // the status line already says how the retrieval ended
    bool inView_ = false;
    // The stored account was submitted and no signed-in page has come since: another
    // sign-in page means the platform refused it, and it is not sent again.
    bool signInSent_ = false;
    // Runs while pages should follow one another; a platform page that changed so that no
    // row matches would otherwise leave the print form disabled for good.
    QTimer* stall_;
    browser::EmbeddedBrowser* WebBs_;
    QTextEdit* Rtb_;
    QLabel* Image1_;
    QLineEdit* Text1_;
    QPushButton* Command1_;
};

} // namespace ximport
