// Feeds arbitrary Content-Range header values to the downloader's reading of them.
#include "update/downloader.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qint64 first = 0, last = 0, total = 0;
    const QByteArray value(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)upd::ParseContentRange(value, first, last, total);
    (void)upd::UnsatisfiedRangeTotal(value);
    return 0;
}
