#pragma once
// While a synchronous request waits, the windows take no input: clicks, keys and window
// closes from the agent are dropped (so no handler runs twice and no form is closed under
// its own request) while painting and timers go on, and the busy cursor shows. The
// windows are not disabled, because moving the focus out of a box would run its
// lost-focus handler. Nested waits are counted.
#include "wait_hook.h"

#include <QObject>

namespace shell {

class WidgetWaitHook : public QObject, public net::WaitHook {
public:
    void beginWait() override;
    void endWait() override;
    bool waiting() const { return depth_ > 0; }
    // How many agent events were dropped during waits.
    int dropped() const { return dropped_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int depth_ = 0;
    int dropped_ = 0;
};

} // namespace shell
