#pragma once
// The gateway's transport: one synchronous GET with a time-out.
#include "gateway.h"

namespace sms {

// A GET that waits at most timeoutMs for the whole reply; empty on failure.
HttpGet NetworkGet(int timeoutMs);

} // namespace sms
