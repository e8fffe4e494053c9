// Cost of the booking parser against a floor measured in the same run: the floor decodes
// the same UTF-8 bytes into a QString and splits it into lines, the least any reader of
// the text must do. Inputs: the worked two-passenger example, a nine-passenger booking
// a mixed set of generated bookings, and a 200-passenger booking with CR LF and with LF line
// ends. After the runs, prints parse / floor per input and the LF / CR LF parse ratio, from
// the medians of repetitions run in random interleaving (so the machine's load falls on all
// alike; --benchmark_repetitions sets another count).
#include "itinerary/parser.h"

#include <QMap>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* const kWorkedExample =
    " 1.张三 2.李四 HX3K8M\r\n"
    " 3.  CA1501 Y   SA12MAR  PEKSHA HK2   0830 1040          E T3T2\r\n"
    " 4.  MU5101 Y   MO14MAR  SHAPEK HK2   0900 1120          E T2T2\r\n"
    " 5.BJS/T BJS/T 000-00000000/ABC TRAVEL\r\n"
    " 6.FN/A/FCNY1130.00/SCNY1130.00/C3.00/XCNY100.00/TCNY50.00CN/TCNY50.00YQ/ACNY1230.00\r\n"
    " 7.SSR FOID CA HK1 NIE12345678/P1\r\n"
    " 8.SSR FOID CA HK1 NIE87654321/P2\r\n"
    " 9.TN/000-0000000001/P1\r\n"
    "10.TN/000-0000000002/P2\r\n";

const char* const kFlights[] = {"CA1501", "MU5101", "CZ3101", "HU7601", "3U8881", "FM9301"};
const char* const kRoutes[] = {"PEKSHA", "SHAPEK", "CANCTU", "PVGKMG", "XIYURC", "JJNDYG"};
const char* const kDates[] = {"12MAR", "14MAR", "05JAN14", "28DEC", "01OCT26", "30APR"};
const char* const kTerminals[] = {"T3T2", "T2T2", "--T1", "T1--", "----", "T3T3"};

QString segment(int item, int s) {
    return QStringLiteral("%1.  %2 Y   SA%3%4 HK2   0830 1040          E %5\r\n")
        .arg(item, 2)
        .arg(QString::fromLatin1(kFlights[s % 6]).leftJustified(6))
        .arg(QString::fromLatin1(kDates[s % 6]).leftJustified(7))
        .arg(QString::fromLatin1(kRoutes[s % 6]))
        .arg(QString::fromLatin1(kTerminals[s % 6]));
}

// A booking of the given shape; variant picks flights, dates, missing items and line ends.
QString booking(int passengers, int segments, int variant) {
    QString text;
    for (int k = 1; k <= passengers; ++k)
        text += QStringLiteral("%1.旅客%2 ").arg(k).arg(QChar(0x7532 + k + variant));
    text += QStringLiteral("HX3K8M\r\n");
    int item = passengers + 1;
    for (int s = 0; s < segments; ++s)
        text += segment(item++, variant + s);
    if (variant % 5 != 4)
        text += QStringLiteral("%1.FN/A/FCNY1130.00/SCNY1130.00/C3.00/XCNY100.00/TCNY50.00CN/"
                               "TCNY50.00YQ/ACNY1230.00\r\n")
                    .arg(item++, 2);
    const int ids = variant % 7 == 3 ? passengers - 1 : passengers;
    for (int k = 1; k <= ids; ++k)
        text +=
            QStringLiteral("%1.SSR FOID CA HK1 NIE1234567%2/P%3\r\n").arg(item++, 2).arg(k).arg(k);
    for (int k = 1; k <= passengers; ++k)
        text += QStringLiteral("%1.TN/000-000000000%2/P%3\r\n").arg(item++, 2).arg(k).arg(k);
    if (variant % 3 == 1) text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

QList<QByteArray> inputs(int which) {
    if (which == 0) return {QByteArray(kWorkedExample)};
    if (which == 1) return {booking(9, 2, 0).toUtf8()};
    if (which == 3) return {booking(200, 2, 0).toUtf8()};
    if (which == 4)
        return {booking(200, 2, 0).replace(QLatin1String("\r\n"), QLatin1String("\n")).toUtf8()};
    QList<QByteArray> set;
    for (int v = 0; v < 24; ++v)
        set << booking(1 + v % 9, 1 + v % 3, v).toUtf8();
    return set;
}

const char* const kInputNames[] = {"worked_example", "nine_passengers", "mixed_set", "crlf_200",
                                   "lf_200"};

void floorRead(benchmark::State& state) {
    const QList<QByteArray> bytes = inputs(int(state.range(0)));
    for (auto _ : state) {
        for (const QByteArray& b : bytes) {
            const QStringList lines = QString::fromUtf8(b).split(QStringLiteral("\r\n"));
            benchmark::DoNotOptimize(lines.size());
        }
    }
    state.SetLabel(kInputNames[state.range(0)]);
}

void parse(benchmark::State& state) {
    QStringList texts;
    for (const QByteArray& b : inputs(int(state.range(0))))
        texts << QString::fromUtf8(b);
    common::FixedClock clock(QDateTime(QDate(2026, 3, 1), QTime(9, 0)));
    itin::ItineraryRecord record;
    common::RecordingMessages messages;
    for (auto _ : state) {
        for (const QString& text : texts) {
            itin::ParseReservationText(text, record, messages, clock);
            benchmark::DoNotOptimize(record.passengers().size());
        }
    }
    if ((state.range(0) == 1 && record.passengers().size() != 9) ||
        (state.range(0) >= 3 && record.passengers().size() != 200))
        state.SkipWithError("parse lost passengers");
    state.SetLabel(kInputNames[state.range(0)]);
}

// Console output as usual, then the parse / floor ratio of each input from the CPU times.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.error_occurred || r.run_type != Run::RT_Iteration) continue;
            const double perIteration = r.cpu_accumulated_time / double(r.iterations);
            times_[QString::fromStdString(r.report_label)]
                  [QString::fromStdString(r.run_name.function_name)]
                      .push_back(perIteration);
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const char* name : kInputNames) {
            const auto& t = times_.value(QString::fromLatin1(name));
            const double floor = median(t.value(QStringLiteral("floorRead"))),
                         parsed = median(t.value(QStringLiteral("parse")));
            if (floor > 0 && parsed > 0)
                std::printf("ratio parse/floor %-16s %6.2f  (parse %.2f us, floor %.2f us)\n", name,
                            parsed / floor, parsed * 1e6, floor * 1e6);
        }
        const double crLf = median(times_.value("crlf_200").value("parse")),
                     lf = median(times_.value("lf_200").value("parse"));
        if (crLf > 0 && lf > 0)
            std::printf("ratio parse LF/CR LF 200 passengers %6.2f  (LF %.2f us, CR LF %.2f us; "
                        "goal <= 1.3)\n",
                        lf / crLf, lf * 1e6, crLf * 1e6);
    }

private:
    static double median(std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0 : v[v.size() / 2];
    }
    QMap<QString, QMap<QString, std::vector<double>>> times_;
};

} // namespace

BENCHMARK(floorRead)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK(parse)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=9",
                interleaved = "--benchmark_enable_random_interleaving=true";
    if (std::none_of(args.begin(), args.end(), [](const char* a) {
            return std::string(a).starts_with("--benchmark_repetitions");
        })) {
        args.push_back(repetitions.data());
        args.push_back(interleaved.data());
    }
    argc = int(args.size());
    args.push_back(nullptr);
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
