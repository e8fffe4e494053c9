#pragma once
// The updater program's set-up: module state, HTTP client, downloader, window.
#include <QDateTime>
#include <QString>

namespace upd {

struct UpdaterOptions {
    bool noDialogs = false; // messages go to standard output instead of message boxes
    QDateTime now;          // pinned clock when valid
};

// Runs the window until the update pass has ended and print was started; exit status.
int RunUpdater(const UpdaterOptions& options);

} // namespace upd
