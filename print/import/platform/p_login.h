#pragma once
// The platform sign-in window: the platform's own sign-in page in a browser, the agent's
// account, password and picture code filled into it, the pages that follow recognised, and
// on success the account stored in the platform's line of PingTai.ini and the retrieval
// window restarted.
#include "import/platform/platform_pages.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
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

class P_Login : public QWidget {
    Q_OBJECT
public:
    // Signs in to platform (0 or 1); flow restarts the retrieval after a sign-in and stops it
    // when the window closes without one. ctx and form must outlive the window.
    P_Login(OrderRetrieval& flow, ImportContext& ctx, const itin::RetrievalForm& form, int platform,
            QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    // Event handlers.
    void Command1_Click();
    void pageFinished(const QString& url, const browser::DomDocument& page);
    void showCodeRow(bool on);
    void succeed();
    // Sends nothing more until the page answers or the wait ends.
    void awaitAnswer();

    OrderRetrieval& flow_;
    ImportContext& ctx_;
    PlatformSite site_;
    bool succeeded_ = false;
    bool signedIn_ = false; // the platform accepted the account; PingTai.ini not yet written
    QTimer* wait_;
    QLabel *Label1_, *Label2_, *Label3_, *Image1_;
    QLineEdit *Text1_, *Text2_, *Text3_;
    QPushButton* Command1_;
    browser::EmbeddedBrowser* WebBs_;
};

} // namespace ximport
