// Time to render one receipt to a PDF file: settings, print-out and the finished file;
// beside it, in the same run, one redraw of the print preview for a record with every
// field filled, and logging one printed receipt in the receipt log.
#include "itinerary/painter_surface.h"
#include "itinerary/preview_surface.h"
#include "itinerary/print_out.h"
#include "itinerary/receipts/receipt_log.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace itin;

namespace {

void fillRecord(ItineraryRecord& r) {
    r.setField(PnrQuery, "HX3K8M");
    r.setField(PassengerName, QStringLiteral("张三"));
    r.setField(IdNumber, "E12345678");
    r.setField(City1, QStringLiteral("北京首都   T3"));
    r.setField(Carrier1, QStringLiteral("国航"));
    r.setField(Flight1, "CA1501");
    r.setField(Class1, "Y");
    r.setField(Date1, "2026-03-12");
    r.setField(Time1, "08:30");
    r.setField(Baggage1, "20K");
    r.setField(City2, QStringLiteral("上海虹桥   T2"));
    r.setField(Carrier2, "VOID");
    r.setField(Fare, "CNY 1130.00");
    r.setField(CnTax, "CN 50.00");
    r.setField(YqTax, "YQ 50.00");
    r.setField(Total, "CNY 1230.00");
    r.setField(TicketNumber, "000-0000000001");
    r.setField(AgentCode, "SHA123");
    r.setField(IssuedBy, QStringLiteral("上海某某票务"));
    r.setField(IssueDate, "2026-3-1");
}

// The fonts the receipts are drawn in: installed from Debian's packages.
PrintSettings benchFonts() {
    PrintSettings settings;
    settings.fonttype1 = QStringLiteral("WenQuanYi Zen Hei");
    settings.fontsize1 = 18;
    settings.fonttype2 = QStringLiteral("DejaVu Sans");
    settings.fontsize2 = 13;
    return settings;
}

void BM_ReceiptToPdf(benchmark::State& state) {
    QTemporaryDir dir;
    ItineraryRecord record;
    fillRecord(record);
    PrintFormState formState;
    const PrintSettings settings = benchFonts();
    common::RecordingMessages messages;
    const QString path = dir.filePath("receipt.pdf");
    for (auto _ : state) {
        record.setField(CheckCode, "0041");
        PdfSurface pdf(path);
        const bool ok = PrintItinerary(record, formState, settings, "0", "0", messages, pdf);
        if (!ok || !pdf.finish()) state.SkipWithError("receipt not printed");
    }
}
BENCHMARK(BM_ReceiptToPdf)->Unit(benchmark::kMillisecond);

void BM_PreviewRedraw(benchmark::State& state) {
    ItineraryRecord record;
    fillRecord(record);
    for (int i = 0; i < kFieldCount; ++i) // every box holds something
        if (record.field(i).isEmpty()) record.setField(i, QStringLiteral("X%1").arg(i));
    record.setField(CheckCode, "0041");
    PrintFormState formState;
    const PrintSettings settings = benchFonts();
    for (auto _ : state) {
        PreviewSurface preview(int(state.range(0)));
        if (!RenderPreview(record, formState, settings, "0", "0", preview).isEmpty())
            state.SkipWithError("preview refused");
        benchmark::DoNotOptimize(preview.image().constBits());
    }
}
BENCHMARK(BM_PreviewRedraw)->Arg(96)->Arg(150)->Unit(benchmark::kMillisecond);

void BM_LogOneReceipt(benchmark::State& state) {
    QTemporaryDir dir;
    itin::ReceiptLog log;
    if (!log.open(dir.filePath("receipts.db"))) state.SkipWithError("log not opened");
    ItineraryRecord record;
    fillRecord(record);
    int code = 41;
    for (auto _ : state) {
        record.setField(CheckCode, QString::number(code));
        const itin::Receipt r =
            itin::ReceiptFromRecord(record, Domestic, "default", QDateTime::currentDateTime());
        if (!log.record(r, QString::number(++code))) state.SkipWithError("not logged");
    }
}
BENCHMARK(BM_LogOneReceipt)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
