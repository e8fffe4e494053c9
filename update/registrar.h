#pragma once
// Component registration. The library is loaded and its entry point run in a child
// process (the updater started with --register), which is ended when the entry point has
// not returned within the limit: nothing can keep running inside an unloaded library.
#include "update/update_list.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace upd {

inline constexpr int kRegisterLimitMs = 10000;

enum class RegisterOutcome {
    Registered,   // the entry point returned success
    Failed,       // the entry point returned a failure HRESULT (lastHresult())
    NotLibrary,   // the file could not be loaded as a library
    NoEntryPoint, // the library lacks the entry point
    BadMode,      // a mode other than "", "U", "u"
    TimedOut,     // the entry point had not returned within the limit; the child was ended
    HelperFailed, // the child process could not be started
};

class Registrar {
public:
    // helperProgram is started as: helperProgram helperArgs... --register PATH --register-mode M
    explicit Registrar(QString helperProgram, QStringList helperArgs = {},
                       int limitMs = kRegisterLimitMs);
    virtual ~Registrar() = default;

    // Called with true before the wait and false after it (the busy mouse pointer).
    void setBusyHook(std::function<void(bool)> hook) { busy_ = std::move(hook); }
    int limitMs() const { return limitMs_; }

    // Empty mode registers, "U" or "u" unregisters. Nothing is reported to the user.
    virtual RegisterOutcome registerComponent(const QString& path, const QString& mode) const;
    // The entry point's answer in the last Registered or Failed outcome.
    qint32 lastHresult() const { return hresult_; }

private:
    QString program_;
    QStringList args_;
    int limitMs_;
    std::function<void(bool)> busy_;
    mutable qint32 hresult_ = 0;
};

// The child's side: loads the library, runs the entry point with COM initialised, prints
// "HRESULT 0x........" on standard output and returns the exit status (0 registered,
// 3 not a library, 4 no entry point, 5 bad mode, 6 the entry point failed).
int RunRegistrationEntry(const QString& path, const QString& mode);
// Argument i of the program as given, whatever the code page (the wide command line on
// Windows).
QString ArgumentAt(int argc, char* argv[], int i);

// A font saved into the fonts folder made known to the system (Windows: AddFontResourceW,
// the fonts registry value, WM_FONTCHANGE); elsewhere the copy is enough.
bool RegisterFont(const QString& path);

// Whether the rows need administrator rights: "{sys}" and "{font}" targets always,
// "{app}" ones when the program folder cannot be written.
bool NeedsElevation(const QList<UpdateRow>& rows, bool appFolderWritable);
// The update run's hand-over: when the rows need rights this updater lacks, starts it
// again elevated with the same arguments (args without the program) and answers true;
// this copy then ends without installing anything.
bool HandOverElevated(const QList<UpdateRow>& rows, const QString& appFolder,
                      const QStringList& args);

} // namespace upd
