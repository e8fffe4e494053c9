// Fuzzes the legacy workbook scan (compound document and records) and the number-format
// engine: the first input byte picks the target, the rest is the input.
#include "biff_scan.h"
#include "number_format.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const QByteArray input(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    if (data[0] & 1) {
        // A format code and a few values under it.
        const QString code = QString::fromUtf8(input.left(256));
        for (double v : {0.0, 1130.0, -2.5, 0.354166, 46093.75, 1e300})
            (void)xlfmt::formatNumber(v, code, data[0] & 2);
        (void)xlfmt::formatText(QStringLiteral("O'Neil"), code);
        (void)xlfmt::isDateTimeFormat(code);
    } else {
        const QByteArray file =
            QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + input; // always a container
        if (const auto stream = wbook::biff::workbookStream(file))
            (void)wbook::biff::scanWorkbook(*stream, QStringLiteral("sheet1"), 500, 13);
        (void)wbook::biff::scanWorkbook(input, QStringLiteral("sheet1"), 500, 13);
    }
    return 0;
}
