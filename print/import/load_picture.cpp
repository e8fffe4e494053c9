#include "import/load_picture.h"

#include "browser/browser_profile.h"

#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>

namespace ximport {

namespace {

struct Fetch {
    QString url;
    int timeoutMs = kPictureTimeoutMs;
    std::function<void(bool)> done;
    QPointer<browser::BrowserProfile> profile;
};

// Kept on the target: the fetch under way and the one waiting behind it.
class PictureQueue : public QObject {
public:
    explicit PictureQueue(QLabel* target) : QObject(target), target_(target) {
        setObjectName(QStringLiteral("ws_picture_queue"));
    }

    static PictureQueue* of(QLabel* target) {
        auto* q = target->findChild<PictureQueue*>(QStringLiteral("ws_picture_queue"),
                                                   Qt::FindDirectChildrenOnly);
        return q ? q : new PictureQueue(target);
    }

    void add(Fetch f) {
        if (waiting_ && waiting_->done) waiting_->done(false);
        waiting_ = std::make_unique<Fetch>(std::move(f));
        if (!busy_) startNext();
    }

private:
    void startNext() {
        if (!waiting_) return;
        Fetch f = std::move(*waiting_);
        waiting_.reset();
        auto dir = std::make_shared<QTemporaryDir>(
            QDir::temp().filePath(QStringLiteral("ws_picture_XXXXXX")));
        if (!f.profile || !dir->isValid()) {
            if (f.done) f.done(false);
            return startNext();
        }
        busy_ = true;
        const QString path = dir->filePath(QStringLiteral("picture"));
        QPointer<PictureQueue> self(this);
        f.profile->downloadToFile(QUrl(f.url), path, f.timeoutMs,
                                  [self, dir, path, done = f.done](bool ok) {
                                      QPixmap picture;
                                      const bool loaded = ok && picture.load(path);
                                      dir->remove();
                                      if (!self) return; // the window closed meanwhile
                                      if (loaded) self->target_->setPixmap(picture);
                                      self->busy_ = false;
                                      if (done) done(loaded);
                                      if (self) self->startNext();
                                  });
    }

    QLabel* target_;
    bool busy_ = false;
    std::unique_ptr<Fetch> waiting_;
};

} // namespace

void LoadPictureFromURL(QLabel* target, const QString& url, browser::BrowserProfile& profile,
                        int timeoutMs, std::function<void(bool)> done) {
    if (!target) {
        if (done) done(false);
        return;
    }
    PictureQueue::of(target)->add({url, timeoutMs, std::move(done), &profile});
}

} // namespace ximport
