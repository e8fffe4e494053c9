#include "embedded_browser.h"

#include "browser_profile.h"

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

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int,
                                  const QString&) override {
        const QString marker = documentCompleteMarker();
        if (message.startsWith(marker)) emit announced(message.mid(marker.size()));
    }
};

EmbeddedBrowser::EmbeddedBrowser(BrowserProfile& profile, QWidget* parent) : QWidget(parent) {
    page_ = new BrowserPage(profile.profile(), this);
    view_ = new QWebEngineView(this);
    view_->setPage(page_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);

    connect(page_, &BrowserPage::announced, this, &EmbeddedBrowser::documentComplete);
    connect(page_, &QWebEnginePage::loadStarted, this, [this] {
        readyState_ = 1;
        emit downloadBegin();
    });
    connect(page_, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        readyState_ = 4;
        emit downloadComplete();
        emit topLoadFinished(ok);
        // The browser's own status text once a page is done, as callers wait for it.
        emit statusTextChange(doneStatusText());
    });
    connect(page_, &QWebEnginePage::linkHovered, this,
            [this](const QString& url) { emit statusTextChange(url); });
}

EmbeddedBrowser::~EmbeddedBrowser() {
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
    return page_->url().toString();
}

void EmbeddedBrowser::runScript(const QString& code, std::function<void(const QString&)> done) {
    QPointer<EmbeddedBrowser> self(this);
    page_->runJavaScript(code, QWebEngineScript::MainWorld,
                         [self, done = std::move(done)](const QVariant& result) {
                             if (self && done) done(result.toString());
                         });
}

void EmbeddedBrowser::snapshot(std::function<void(const DomDocument&)> done) {
    runScript(collectorScript(), [done = std::move(done)](const QString& json) {
        DomDocument d = documentFromJson(json.toUtf8());
        if (done) done(d);
    });
}

void EmbeddedBrowser::run(const BrowserActions& actions,
                          std::function<void(const QList<bool>&)> done) {
    const int count = int(actions.actions().size());
    runScript(actions.script(), [count, done = std::move(done)](const QString& json) {
        if (done) done(actionResults(json, count));
    });
}

void EmbeddedBrowser::execScript(const QString& code, const QStringList& frames) {
    run(BrowserActions().runScript(code, frames));
}

} // namespace browser

#include "embedded_browser.moc"
