#pragma once
// The updater program's set-up: application, options, module state, HTTP client,
// downloader, window.
#include "update/updater_options.h"

#include <QCoreApplication>

#include <memory>
#include <optional>

namespace upd {

// The application the arguments ask for, made before they are read: a core one for
// --register, --help, --version and bad options, a widgets one for the window.
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv);

// Reads the application's arguments into options. Returns the exit code when the run ends
// here: 0 after printing the help or the version, 2 after one line on standard error
// saying what is wrong; nothing when the updater is to run.
std::optional<int> ReadOptions(UpdaterOptions& options);

// Runs the window until the update pass has ended and print was started; exit status:
// 1 when print could not be started.
int RunUpdater(const UpdaterOptions& options);

} // namespace upd
