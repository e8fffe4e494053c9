// A component whose registration entry point writes its process id to WS_REG_MARKER and
// then never returns.
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

extern "C" __attribute__((visibility("default"))) long DllRegisterServer() {
    if (const char* path = std::getenv("WS_REG_MARKER")) {
        if (FILE* f = std::fopen(path, "w")) {
            std::fprintf(f, "%d", int(getpid()));
            std::fclose(f);
        }
    }
    for (;;)
        pause();
}
