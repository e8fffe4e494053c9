// A component whose registration entry point appends a line to the file WS_REG_COUNTER
// names and answers the hexadecimal WS_REG_ANSWER, or 0x00040201 (on Windows only when COM
// was initialised on its thread before the call; E_UNEXPECTED otherwise).
#include <cstdio>
#include <cstdlib>
#ifdef _WIN32
#include <objbase.h>
#define WS_ENTRY extern "C" __declspec(dllexport) HRESULT __stdcall
#else
#define WS_ENTRY extern "C" __attribute__((visibility("default"))) int
#endif

WS_ENTRY DllRegisterServer() {
    if (FILE* f = std::getenv("WS_REG_COUNTER") ? std::fopen(std::getenv("WS_REG_COUNTER"), "ab")
                                                : nullptr) {
        std::fputs("registered\n", f);
        std::fclose(f);
    }
    if (const char* answer = std::getenv("WS_REG_ANSWER"))
        return int(std::strtoul(answer, nullptr, 16));
#ifdef _WIN32
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(hr)) CoUninitialize();
    if (hr != S_FALSE) return E_UNEXPECTED;
#endif
    return 0x00040201;
}
