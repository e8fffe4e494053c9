#pragma once
// The windows' side of the one wait: while a synchronous request waits, the busy cursor
// shows and the windows keep painting; the agent's clicks and keys are held and delivered
// in order once the wait is over, and a window closed meanwhile closes after it. So no
// handler runs twice at once and no handler finds its window gone. The windows are not
// disabled, because moving the focus out of a box would run its lost-focus handler.
// Nested waits are counted. Closing the program's main window during a wait abandons every
// wait: the loops end at once, the requests go unanswered, and the close follows.
#include "common/net/wait_hook.h"

#include <QEventLoop>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QEvent;
class QWidget;

namespace forms {

class HeldInputWait : public QObject, public net::WaitHook {
public:
    HeldInputWait();
    ~HeldInputWait() override;
    void beginWait() override;
    void endWait() override;
    void waitLoop(QEventLoop& loop) override;
    bool abandoned() const override { return abandoned_; }
    bool waiting() const { return depth_ > 0; }
    // A close of main (the window whose close ends the program) abandons the waits;
    // then is called once, before the loops unwind.
    void abandonWhenClosed(QWidget* main, std::function<void()> then = {});
    // Ends every wait now and lets no new one begin.
    void abandon();
    // How many input events and window closes were held during waits.
    int held() const { return held_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void deliverHeld();

    struct Held {
        QPointer<QObject> receiver;
        std::unique_ptr<QEvent> event;
    };
    int depth_ = 0;
    int held_ = 0;
    bool abandoned_ = false;
    QList<QPointer<QEventLoop>> loops_;
    QPointer<QWidget> main_;
    std::function<void()> onAbandon_;
    std::vector<Held> input_;
    QList<QPointer<QWidget>> closes_;
};

} // namespace forms
