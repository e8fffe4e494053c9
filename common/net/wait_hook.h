#pragma once
// The one synchronous wait of both programs. Wait() runs a local event loop until it quits:
// timers run and windows keep painting, while the agent's input (keys, clicks) stays in the
// queue and is delivered after the wait, never lost. The hook, when there is one, hears the
// wait begin and end (the windows' hook shows the busy cursor, holds input that reaches the
// program anyway, and holds window closes until the wait is over).
#include <QEventLoop>

namespace net {

class WaitHook {
public:
    virtual ~WaitHook() = default;
    virtual void beginWait() = 0;
    virtual void endWait() = 0;
    // The loop of the wait that has just begun (nested waits stack up).
    virtual void waitLoop(QEventLoop& loop) { Q_UNUSED(loop); }
    // True once the waits are abandoned: the program is closing.
    virtual bool abandoned() const { return false; }
};

// False when the wait was abandoned: what it waited for has not come and will not.
inline bool Wait(QEventLoop& loop, WaitHook* hook) {
    if (hook && hook->abandoned()) return false;
    if (hook) {
        hook->beginWait();
        hook->waitLoop(loop);
    }
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (hook) hook->endWait();
    return !(hook && hook->abandoned());
}

} // namespace net
