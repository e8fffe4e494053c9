#pragma once
// The embedded browser control: one per window that drives web pages. The only place,
// with browser_profile, that knows the web engine. Page access is asynchronous: a
// snapshot or a batch of actions goes to the page and the answer comes back later on
// the user-interface thread; nothing here blocks the window.
#include "browser/browser_scripts.h"
#include "browser/dom_snapshot.h"

#include <QWidget>

#include <functional>
#include <map>

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
    // The top-level address, in the form CanonicalUrl gives.
    QString locationUrl() const;
    // 0 before the first navigation, 1 while the top page loads, 4 when it is complete.
    int readyState() const { return readyState_; }

    // Collects the top document with its frames in one round trip.
    // Every script call belongs to the browser: its answer reaches done only while the
    // browser lives; the browser going away drops the calls still waiting, without
    // running them. The scripts run in a world of the program's own, so nothing a page
    // redefines changes what they see or return.
    void snapshot(std::function<void(const DomDocument&)> done);
    // Performs the actions in one round trip; done gets one found-flag per action.
    void run(const BrowserActions& actions, std::function<void(const QList<bool>&)> done = {});
    // Script calls sent whose answers have not arrived yet.
    int pendingCalls() const { return int(pending_.size()); }
    // Runs code in the window of a document, as the page's own script would.
    void execScript(const QString& code, const QStringList& frames = {});

    QWebEngineView* view() const { return view_; }

    // "完成": the status text once the top page has finished loading.
    static QString doneStatusText() { return QStringLiteral("完成"); }

signals:
    // Once for every frame document and once for the top document, with its address in
    // the form CanonicalUrl gives.
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
    void answer(quint64 call, const QString& result);

    QWebEngineView* view_ = nullptr;
    std::map<quint64, std::function<void(const QString&)>> pending_;
    quint64 lastCall_ = 0;
    BrowserPage* page_ = nullptr;
    int readyState_ = 0;
};

} // namespace browser
