#include "browser/embedded_browser.h"

#include "browser/browser_profile.h"

#include <QMessageBox>
#include <QPointer>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace browser {

// Carries the document-complete announcements out of the page's console.
class BrowserPage : public QWebEnginePage {
    Q_OBJECT
public:
    using QWebEnginePage::QWebEnginePage;

signals:
    void announced(const QString& url);
    void dialog(const QString& text);

protected:
    // Page dialogs are answered at once, as OK would answer them, so that no page can
    // stop the program waiting for a Click (headless nobody could give it).
    void javaScriptAlert(const QUrl&, const QString& text) override { emit dialog(text); }
    bool javaScriptConfirm(const QUrl&, const QString& text) override {
        emit dialog(text);
        return true;
    }
    bool javaScriptPrompt(const QUrl&, const QString& text, const QString& defaultValue,
                          QString* result) override {
        emit dialog(text);
        if (result) *result = defaultValue;
        return true;
    }

    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int,
                                  const QString&) override {
        const QString marker = DocumentCompleteMarker();
        if (message.startsWith(marker)) emit announced(message.mid(marker.size()));
    }
};

EmbeddedBrowser::EmbeddedBrowser(BrowserProfile& profile, QWidget* parent) : QWidget(parent) {
    static_assert(kProgramWorld == QWebEngineScript::ApplicationWorld);
    page_ = new BrowserPage(profile.profile(), this);
    view_ = new QWebEngineView(this);
    view_->setPage(page_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);

    connect(page_, &BrowserPage::announced, this,
            [this](const QString& url) { emit documentComplete(CanonicalUrl(url)); });
    connect(page_, &BrowserPage::dialog, this, [this](const QString& text) {
        emit pageDialog(text);
        if (!isVisible()) return; // headless and hidden browsers never show one
        // Shown beside the page without waiting for the agent.
        auto* box = new QMessageBox(QMessageBox::Information, window()->windowTitle(), text,
                                    QMessageBox::Ok, window());
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
        box->show();
    });
    connect(page_, &QWebEnginePage::loadStarted, this, [this] {
        readyState_ = 1;
        emit downloadBegin();
    });
    connect(page_, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        readyState_ = 4;
        emit downloadComplete();
        emit topLoadFinished(ok);
        // The browser's own status text once a page is done, as callers wait for it; a
        // page that could not be loaded is not done.
        if (ok) emit statusTextChange(doneStatusText());
    });
    connect(page_, &QWebEnginePage::linkHovered, this,
            [this](const QString& url) { emit statusTextChange(url); });
}

EmbeddedBrowser::~EmbeddedBrowser() {
    // Calls still waiting are dropped unanswered: the engine answers them while the page
    // goes, when their callers may be gone.
    pending_.clear();
    // The page goes first, while the view it renders into still exists.
    view_->setPage(nullptr);
    delete page_;
    page_ = nullptr;
}

void EmbeddedBrowser::navigate(const QString& url) {
    readyState_ = 1;
    page_->load(QUrl(url));
}

QString EmbeddedBrowser::locationUrl() const {
    return CanonicalUrl(page_->url().toString());
}

void EmbeddedBrowser::runScript(const QString& code, std::function<void(const QString&)> done) {
    const quint64 call = ++lastCall_;
    pending_.emplace(call, std::move(done));
    // The engine's callback holds only a guarded pointer and the call's number.
    QPointer<EmbeddedBrowser> self(this);
    page_->runJavaScript(code, kProgramWorld, [self, call](const QVariant& result) {
        if (self) self->answer(call, result.toString());
    });
}

void EmbeddedBrowser::answer(quint64 call, const QString& result) {
    const auto it = pending_.find(call);
    if (it == pending_.end()) return; // dropped
    const std::function<void(const QString&)> done = std::move(it->second);
    pending_.erase(it);
    if (done) done(result);
}

void EmbeddedBrowser::snapshot(std::function<void(const DomDocument&)> done) {
    runScript(CollectorScript(), [done = std::move(done)](const QString& json) {
        DomDocument d = DocumentFromJson(json.toUtf8());
        if (done) done(d);
    });
}

void EmbeddedBrowser::run(const BrowserActions& actions,
                          std::function<void(const QList<bool>&)> done) {
    const int count = int(actions.actions().size());
    runScript(actions.script(), [count, done = std::move(done)](const QString& json) {
        if (done) done(ActionResults(json, count));
    });
}

void EmbeddedBrowser::execScript(const QString& code, const QStringList& frames) {
    run(BrowserActions().runScript(code, frames));
}

} // namespace browser

#include "embedded_browser.moc"
