#pragma once
// Qt (and the web engine) keep sockets and locks in the runtime folder XDG_RUNTIME_DIR and
// warn on standard error when it is not set.

namespace common {

// When XDG_RUNTIME_DIR is not set (a root shell, a service), sets it to a folder only this
// user can enter: /tmp/print-runtime-UID (made if missing), or a fresh one beside it when
// that name is taken by someone else. Nothing on other systems.
void EnsurePrivateRuntimeFolder();

} // namespace common
