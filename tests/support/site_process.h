#pragma once
// A local stand-in of an outside service (a script under tests/sites/), started with
// Debian's python3 and stopped when this object goes. The script prints "PORT n" first.
#include <QProcess>
#include <QString>
#include <QStringList>

namespace support {

class SiteProcess {
public:
    // script: a file name under tests/sites/.
    explicit SiteProcess(const QString& script, const QStringList& args = {});
    ~SiteProcess();
    SiteProcess(const SiteProcess&) = delete;
    SiteProcess& operator=(const SiteProcess&) = delete;

    bool running() const { return port_ > 0; }
    int port() const { return port_; }
    // "127.0.0.1:port".
    QString host() const;
    // "http://127.0.0.1:port" followed by path.
    QString url(const QString& path = {}) const;
    // The body of a GET of path on this site (its test hooks); empty after 5 s without one.
    QByteArray get(const QString& path) const;

private:
    QProcess process_;
    int port_ = 0;
};

} // namespace support
