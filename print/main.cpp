// print: the agency workstation. Without options it starts the windows; the options are
// headless entry points for scripted use and tests, one file each in cli/. The jobs that
// need no widgets, network, workbooks or pages run here alone; every other run goes to the
// desk module (cli/desk.h), so those jobs start without loading what they never use.
#include "cli/desk.h"

int main(int argc, char* argv[]) {
    using namespace cli;
    const std::optional<Entry> entry = PeekEntry(argc, argv);
    if (entry && !RunsWithoutDesk(*entry)) return RunDesk(argc, argv);
    const auto app = MakeJobApplication(entry, argc, argv);
    CommandLine c;
    if (const auto exitCode = c.parse(QCoreApplication::arguments())) return *exitCode;
    switch (PickEntry(c)) {
    case Entry::PdfJob:
        return RunPrintJob(c);
    case Entry::Preview:
        return RunPreview(c);
    case Entry::Receipts:
        return RunReceipts(c);
    case Entry::RecordJson:
        return RunRecordJson(c);
    default:
        return 2; // not reached: the peek read the same options
    }
}
