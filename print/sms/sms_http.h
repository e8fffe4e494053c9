#pragma once
// The gateway's transport: one synchronous GET through the shared HTTP client.
#include "sms/gateway.h"

namespace net {
class HttpClient;
}

namespace sms {

// GETs through the program's client (its time-out and wait hook); client must outlive
// the function.
HttpGet GatewayGet(net::HttpClient& client);
// GETs through a client of its own with the given time-out.
HttpGet NetworkGet(int timeoutMs);

} // namespace sms
