#pragma once
// Component registration. The library is loaded and its entry point run in a child
// process (the updater started with --register), which is ended when the entry point has
// not returned within the limit: nothing can keep running inside an unloaded library.
#include <QString>
#include <QStringList>

#include <functional>

namespace upd {

inline constexpr int kRegisterLimitMs = 10000;

enum class RegisterOutcome {
    Registered,   // the entry point returned
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
    virtual RegisterOutcome RegisterComponent(const QString& path, const QString& mode) const;

private:
    QString program_;
    QStringList args_;
    int limitMs_;
    std::function<void(bool)> busy_;
};

// The child's side: loads the library, runs the entry point, returns the exit status
// (0 registered, 3 not a library, 4 no entry point, 5 bad mode).
int RunRegistrationEntry(const QString& path, const QString& mode);

} // namespace upd
