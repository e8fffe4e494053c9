// Parse time of a two-passenger and a nine-passenger booking display.
#include "parser.h"

#include <benchmark/benchmark.h>

namespace {

QString segment(int item, const char* flight, const char* date, const char* route) {
    return QStringLiteral("%1.  %2 Y   SA%3%4 HK2   0830 1040          E T3T2\r\n")
        .arg(item, 2)
        .arg(QString::fromLatin1(flight).leftJustified(6))
        .arg(QString::fromLatin1(date).leftJustified(7))
        .arg(QString::fromLatin1(route));
}

QString booking(int passengers) {
    QString names;
    for (int k = 1; k <= passengers; ++k)
        names += QStringLiteral("%1.旅客%2 ").arg(k).arg(k);
    int item = passengers + 1;
    QString text = names + QStringLiteral("HX3K8M\r\n");
    text += segment(item++, "CA1501", "12MAR", "PEKSHA");
    text += segment(item++, "MU5101", "14MAR", "SHAPEK");
    text += QStringLiteral("%1.FN/A/FCNY1130.00/SCNY1130.00/C3.00/XCNY100.00/TCNY50.00CN/"
                           "TCNY50.00YQ/ACNY1230.00\r\n")
                .arg(item++, 2);
    for (int k = 1; k <= passengers; ++k)
        text +=
            QStringLiteral("%1.SSR FOID CA HK1 NIE1234567%2/P%3\r\n").arg(item++, 2).arg(k).arg(k);
    for (int k = 1; k <= passengers; ++k)
        text += QStringLiteral("%1.TN/000-000000000%2/P%3\r\n").arg(item++, 2).arg(k).arg(k);
    return text;
}

void parse(benchmark::State& state) {
    const QString text = booking(int(state.range(0)));
    FixedClock clock(QDateTime(QDate(2026, 3, 1), QTime(9, 0)));
    itin::PCommon common;
    itin::ItineraryRecord record;
    RecordingMessages messages;
    for (auto _ : state) {
        itin::ParseReservationText(text, common, record, messages, clock);
        benchmark::DoNotOptimize(common.PassengerList.size());
    }
    if (common.PassengerList.size() != state.range(0)) state.SkipWithError("parse lost passengers");
}

} // namespace

BENCHMARK(parse)->Arg(2)->Arg(9)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
