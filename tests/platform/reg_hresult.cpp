// A component whose registration entry point appends a line to the file named by
// WS_REG_COUNTER and answers 0x00040201 when COM was already initialised on its thread
// (E_UNEXPECTED otherwise; 0x00040201 off Windows), or the hexadecimal WS_REG_ANSWER.
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <objbase.h>
#define WS_EXPORT extern "C" __declspec(dllexport)
#define WS_CALL __stdcall
#else
#define WS_EXPORT extern "C" __attribute__((visibility("default")))
#define WS_CALL
using HRESULT = int;
#endif

WS_EXPORT HRESULT WS_CALL DllRegisterServer() {
    if (const char* counter = std::getenv("WS_REG_COUNTER"))
        if (FILE* f = std::fopen(counter, "ab")) {
            std::fputs("registered\n", f);
            std::fclose(f);
        }
    if (const char* answer = std::getenv("WS_REG_ANSWER"))
        return HRESULT(std::strtoul(answer, nullptr, 16));
#ifdef _WIN32
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(hr)) CoUninitialize();
    if (hr != S_FALSE) return HRESULT(0x8000FFFFL);
#endif
    return HRESULT(0x00040201);
}
