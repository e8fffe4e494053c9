// update: brings the program files of print up to date, then starts print.
// "--register FILE [--register-mode M]" runs a component's registration entry point (the
// updater starts itself this way for each component).
#include "update/forms/updater_app.h"
#include "update/registrar.h"

int main(int argc, char* argv[]) {
    const auto app = upd::MakeApplication(argc, argv);
    upd::UpdaterOptions options;
    if (const auto exitCode = upd::ReadOptions(options)) return *exitCode;
    if (!options.registerFile.isEmpty())
        return upd::RunRegistrationEntry(options.registerFile, options.registerMode);
    return upd::RunUpdater(options);
}
