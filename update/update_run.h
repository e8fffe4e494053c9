#pragma once
// The update run: read the last run's time, fetch and select the update list, download
// each selected file, record the run in update.log. The window shows it through
// UpdateView and starts print afterwards.
#include "update/downloader.h"
#include "update/update_list.h"

#include <QString>

#include <functional>

namespace common {
class Clock;
class DeployConfig;
class Messages;
} // namespace common

namespace net {
struct HttpReply;
} // namespace net

namespace upd {

class FolderProvider;

// Module state of one run.
struct UpdateState {
    QString updateListUrl;   // host + "/update/print/main/update.asp?t=" + general date
    QString logPath;         // beside the updater: update.log
    QString serialPath;      // beside update.log: the highest release serial accepted
    QString programPath;     // beside the updater: print
    QString updatePublicKey; // base64 Ed25519 key; empty: lists are not signed
    QString lastUpdateTime;
    QList<UpdateRow> updateList; // empty: no update list
    // Asked once the list is read: true when an elevated copy of the updater took it over
    // (handedOver then; this copy installs nothing and does not start print).
    std::function<bool(const QList<UpdateRow>&)> handOver;
    bool handedOver = false;
};

// Addresses and paths for an updater started in appFolder.
UpdateState MakeUpdateState(const QString& appFolder, const common::DeployConfig& config,
                            const common::Clock& clock);

class UpdateView : public DownloadView {
public:
    virtual void setCounter(const QString& text) = 0;  // Label2
    virtual void setHeadline(const QString& text) = 0; // Label4
};

class UpdateRun {
public:
    UpdateRun(UpdateState& state, const common::Clock& clock, net::HttpClient& http,
              const FolderProvider& folders, UpdateView& view, Downloader& downloader,
              common::Messages& messages);

    // The list's text; empty when no reply came, and empty with a message when the reply
    // is too large or (with a public key) not validly signed, older than the release
    // accepted before, or expired.
    QString fetchUpdateList();
    void buildUpdateList();
    // Steps up to writing update.log, which is written only when the service answered
    // with a list that was not refused and every selected file was installed; the caller
    // then closes the window and starts print.
    void runUpdate();

private:
    enum class ListOutcome { NoReply, Refused, Answered };

    // With a public key: the signature, then the release element's serial against the
    // highest accepted so far (kept in serialPath) and its expiry.
    bool acceptSigned(const net::HttpReply& reply, const QString& text);
    // A refused target, a source that is not http(s), or (with a public key) a row without
    // a well-formed sha256: a message, and nothing written.
    bool installable(const UpdateRow& row);

    UpdateState& state_;
    const common::Clock& clock_;
    net::HttpClient& http_;
    const FolderProvider& folders_;
    UpdateView& view_;
    Downloader& downloader_;
    common::Messages& messages_;
    ListOutcome list_ = ListOutcome::NoReply;
};

// Starts the program as a normal window in its own folder; false, with the reason in why,
// when it cannot start.
bool StartProgram(const QString& path, QString* why = nullptr);

} // namespace upd
