// Feeds arbitrary print data texts (UTF-8 or GBK, as the print page hands them over) to
// the hand-off, which fills a fresh print form.
#include "common/code_page.h"
#include "shell/management/print_hand_off.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)shell::HandOffJson(common::DecodeDetect(bytes));
    return 0;
}
