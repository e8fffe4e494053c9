#pragma once
// Headless use of the vendor protocol: one request from the command line, its reply and,
// for a result code, its message. Needs a running QCoreApplication.
#include <QString>

#include <functional>

namespace shell {

// Loads the deployment values of folder, checks the key table, sends params with
// postVendorRequest and writes the reply (and a result-code message) through out.
// Returns 0 when a reply came, 1 when none did (the line names the service's address and
// the transport error) or it was empty, 2 when the key table is refused.
int RunVendorRequest(const QString& folder, const QString& params,
                     const std::function<void(const QString&)>& out);

} // namespace shell
