#pragma once
// Deployment values: service and site addresses, the cipher key table, product title,
// version and contacts. Build defaults, overridden by "deploy.ini" beside the program
// (section [deploy]); every key is listed in the README.
#include <QMap>
#include <QString>
#include <QStringList>

namespace common {

class DeployConfig {
public:
    // Build defaults only.
    DeployConfig();
    // Build defaults, then "deploy.ini" in folder when it exists.
    static DeployConfig load(const QString& folder);

    QString value(const QString& key) const;
    void set(const QString& key, const QString& value);
    static QStringList keys();

    // Network time-out for every request, in milliseconds.
    int httpTimeoutMs() const;

private:
    QMap<QString, QString> values_;
};

// The version of this build ("9.0"), the same in both programs; the caption's
// ProductVersion defaults to it with a leading "V".
QString BuildVersion();

} // namespace common
