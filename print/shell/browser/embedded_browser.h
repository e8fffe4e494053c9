#pragma once
// The embedded browser control: one per window that drives web pages. The only place,
// with browser_profile, that knows the web engine. Page access is asynchronous: a
// snapshot or a batch of actions goes to the page and the answer comes back later on
// the user-interface thread; nothing here blocks the window.
#include "shell/browser/browser_scripts.h"
#include "shell/browser/dom_snapshot.h"

#include <QWidget>

#include <functional>

class QWebEngineView;

namespace browser {

class BrowserProfile;
class BrowserPage;

class EmbeddedBrowser : public QWidget {
    Q_OBJECT
public:
    EmbeddedBrowser(BrowserProfile& profile, QWidget* parent = nullptr);
    ~EmbeddedBrowser() override;

    void navigate(const QString& url);
    // The top-level address.
    QString locationUrl() const;
    // 0 before the first navigation, 1 while the top page loads, 4 when it is complete.
    int readyState() const { return readyState_; }

    // Collects the top document with its frames in one round trip.
    void snapshot(std::function<void(const DomDocument&)> done);
    // Performs the actions in one round trip; done gets one found-flag per action.
    void run(const BrowserActions& actions, std::function<void(const QList<bool>&)> done = {});
    // Runs code in the window of a document, as the page's own script would.
    void execScript(const QString& code, const QStringList& frames = {});

    QWebEngineView* view() const { return view_; }

    // "完成": the status text once the top page has finished loading.
    static QString doneStatusText() { return QStringLiteral("完成"); }

signals:
    // Once for every frame document and once for the top document, with its address.
    void documentComplete(const QString& url);
    void downloadBegin();
    void downloadComplete();
    // The top page has finished loading; ok is false when it could not be loaded.
    void topLoadFinished(bool ok);
    // The status text: a hovered link's address, and doneStatusText() when a page is done.
    void statusTextChange(const QString& text);
    // A page's alert, confirm or prompt, already answered (OK, with a prompt's default);
    // a visible browser also shows its text beside the page without waiting.
    void pageDialog(const QString& text);

private:
    void runScript(const QString& code, std::function<void(const QString&)> done);

    QWebEngineView* view_ = nullptr;
    BrowserPage* page_ = nullptr;
    int readyState_ = 0;
};

} // namespace browser
