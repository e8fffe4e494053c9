// A component whose registration entry point writes "registered <pid>" to the file named
// by WS_REG_MARKER; its unregistration entry point writes "unregistered <pid>".
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {
long mark(const char* what) {
    const char* path = std::getenv("WS_REG_MARKER");
    if (!path) return 1;
    FILE* f = std::fopen(path, "w");
    if (!f) return 1;
    std::fprintf(f, "%s %d", what, int(getpid()));
    std::fclose(f);
    return 0;
}
} // namespace

extern "C" __attribute__((visibility("default"))) long DllRegisterServer() {
    return mark("registered");
}
extern "C" __attribute__((visibility("default"))) long DllUnregisterServer() {
    return mark("unregistered");
}
