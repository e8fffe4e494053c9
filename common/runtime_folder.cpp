#include "common/runtime_folder.h"

#include <QByteArray>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#endif

namespace common {

void EnsurePrivateRuntimeFolder() {
#ifdef Q_OS_UNIX
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return;
    const QByteArray named = "/tmp/print-runtime-" + QByteArray::number(::geteuid());
    ::mkdir(named.constData(), 0700);
    struct stat st {};
    if (::lstat(named.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
        ::chmod(named.constData(), 0700) == 0) {
        qputenv("XDG_RUNTIME_DIR", named);
        return;
    }
    QByteArray fresh = named + ".XXXXXX";
    if (::mkdtemp(fresh.data())) qputenv("XDG_RUNTIME_DIR", fresh);
#endif
}

} // namespace common
