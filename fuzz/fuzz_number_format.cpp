// Feeds arbitrary number format codes to the format engine, with values of every kind.
#include "import/workbook/number_format.h"

#include <cstdint>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString code = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    constexpr double kInf = std::numeric_limits<double>::infinity();
    for (double v : {0.0, 1130.0, -2.5, 0.354166, 46093.75, 1e300, -1e308, 1e-300, kInf, -kInf,
                     std::numeric_limits<double>::quiet_NaN()})
        for (bool date1904 : {false, true})
            (void)wbook::FormatNumber(v, code, date1904);
    (void)wbook::FormatText(QStringLiteral("O'Neil"), code);
    (void)wbook::IsDateTimeFormat(code);
    return 0;
}
