// Feeds arbitrary files to the workbook reader, as the import opens them (the reader tells
// the format by the content; the seeds decide which format a target mostly explores).
#include "import/workbook/workbook.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)wbook::ReadWorkbookData(file, QStringLiteral("sheet1"), 500, 13);
    return 0;
}
