#include "browser/browser_profile.h"

#include "browser/browser_scripts.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

#include <memory>

namespace browser {

BrowserProfile::BrowserProfile(const QString& storageName, QObject* parent) : QObject(parent) {
    profile_ = storageName.isEmpty() ? new QWebEngineProfile(this)
                                     : new QWebEngineProfile(storageName, this);
    QWebEngineScript announce;
    announce.setName(QStringLiteral("ws-document-complete"));
    announce.setInjectionPoint(QWebEngineScript::DocumentReady);
    announce.setWorldId(kProgramWorld);
    announce.setRunsOnSubFrames(true);
    announce.setSourceCode(DocumentCompleteScript());
    profile_->scripts()->insert(announce);
    // A page loaded from a file reads neither other files nor the network.
    QWebEngineSettings* settings = profile_->settings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    // No engine error page: a page that cannot be loaded is reported by its window.
    settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
}

BrowserProfile::~BrowserProfile() {
    // Pages must go before their profile.
    delete downloader_;
}

void BrowserProfile::downloadToFile(const QUrl& url, const QString& path, int timeoutMs,
                                    std::function<void(bool)> done) {
    if (!downloader_) downloader_ = new QWebEnginePage(profile_);
    struct State {
        std::function<void(bool)> done;
        QMetaObject::Connection requested;
        QPointer<QWebEngineDownloadRequest> request;
        bool finished = false;
        void finish(bool ok) {
            if (finished) return;
            finished = true;
            QObject::disconnect(requested);
            if (!ok && request && !request->isFinished()) request->cancel();
            if (done) done(ok);
        }
    };
    auto state = std::make_shared<State>();
    state->done = std::move(done);
    const QFileInfo target(path);
    state->requested = connect(
        profile_, &QWebEngineProfile::downloadRequested, this,
        [state, url, target](QWebEngineDownloadRequest* request) {
            // Two fetches of one address each take their own request, in order.
            if (request->url() != url || state->finished || request->property("ws_taken").toBool())
                return;
            request->setProperty("ws_taken", true);
            QObject::disconnect(state->requested);
            state->request = request;
            request->setDownloadDirectory(target.absolutePath());
            request->setDownloadFileName(target.fileName());
            QObject::connect(request, &QWebEngineDownloadRequest::isFinishedChanged, request,
                             [state, request] {
                                 if (request->isFinished())
                                     state->finish(request->state() ==
                                                   QWebEngineDownloadRequest::DownloadCompleted);
                             });
            request->accept();
        });
    QTimer::singleShot(timeoutMs, this, [state] { state->finish(false); });
    downloader_->download(url, target.fileName());
}

} // namespace browser
