#pragma once
// The one web profile of the program: every embedded browser and every picture-code
// download shares its cookie store, so a sign-in in one window counts in all of them.
// Owned by the program (or a test) and handed to whoever creates a browser.
#include "browser/web_module.h" // PrepareEngine

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class QWebEngineProfile;
class QWebEnginePage;

namespace browser {

class BrowserProfile : public QObject {
    Q_OBJECT
public:
    // An empty storage name keeps cookies in memory for this run only.
    explicit BrowserProfile(const QString& storageName = {}, QObject* parent = nullptr);
    ~BrowserProfile() override;

    QWebEngineProfile* profile() const { return profile_; }

    // Downloads an address to a file with the shared cookies, as the system's URL download
    // service would. done(true) once the file is complete; done(false) on failure or
    // after timeoutMs. done is called once, on the user-interface thread.
    void downloadToFile(const QUrl& url, const QString& path, int timeoutMs,
                        std::function<void(bool)> done);

private:
    QWebEngineProfile* profile_ = nullptr;
    QWebEnginePage* downloader_ = nullptr;
};

} // namespace browser
