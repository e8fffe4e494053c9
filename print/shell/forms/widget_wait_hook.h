#pragma once
// While a synchronous request waits: every visible window is disabled (input is dropped,
// painting goes on) and the busy cursor shows; afterwards the focus returns to where it
// was. Nested waits are counted.
#include "wait_hook.h"

#include <QList>
#include <QPointer>
#include <QWidget>

namespace shell {

class WidgetWaitHook : public net::WaitHook {
public:
    void beginWait() override;
    void endWait() override;
    bool waiting() const { return depth_ > 0; }

private:
    int depth_ = 0;
    QList<QPointer<QWidget>> disabled_;
    QPointer<QWidget> focus_; // given back when the wait ends
};

} // namespace shell
