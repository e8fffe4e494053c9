// Feeds arbitrary info.ini contents to the print settings load (the tag reader and the
// readings of every key), as the print form loads them.
#include "itinerary/settings_store.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    static common::FixedClock clock(QDateTime(QDate(2026, 3, 1), QTime(9, 0)));
    QFile f(dir.filePath(QStringLiteral("info.ini")));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    f.write(reinterpret_cast<const char*>(data), qint64(size));
    f.close();
    itin::PrintSettings settings;
    settings.workstationId = QStringLiteral("FUZZ");
    itin::ItineraryRecord record;
    itin::LoadPrintSettings(settings, dir.path(), record, clock);
    (void)itin::FontChoiceFromSettings(settings);
    return 0;
}
