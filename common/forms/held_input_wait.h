#pragma once
// The windows' side of the one wait: while a synchronous request waits, the busy cursor
// shows and the windows keep painting; the agent's clicks and keys are held and delivered
// in order once the wait is over, and a window closed meanwhile closes after it. So no
// handler runs twice at once and no handler finds its window gone. The windows are not
// disabled, because moving the focus out of a box would run its lost-focus handler.
// Nested waits are counted.
#include "common/net/wait_hook.h"

#include <QList>
#include <QObject>
#include <QPointer>

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
    bool waiting() const { return depth_ > 0; }
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
    std::vector<Held> input_;
    QList<QPointer<QWidget>> closes_;
};

} // namespace forms
