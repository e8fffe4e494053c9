#pragma once
// Called around every synchronous wait of the HTTP client. The forms layer disables the
// window and shows the busy cursor; the window keeps painting because the wait runs a
// local event loop.
namespace net {

class WaitHook {
public:
    virtual ~WaitHook() = default;
    virtual void beginWait() = 0;
    virtual void endWait() = 0;
};

} // namespace net
