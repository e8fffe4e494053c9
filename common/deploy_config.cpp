#include "deploy_config.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

struct DefaultValue {
    const char* key;
    const char* value;
};

// Build defaults. Keep this table and the README's list in step.
const DefaultValue kDefaults[] = {
    {"ProductTitle", "岚舟票务管理系统"},
    {"ProductVersion", "V9.0"},
    {"SupportContact", "800000001"},
    {"HttpTimeoutMs", "30000"},
    {"VendorServiceUrl", "http://127.0.0.1:8801/service.asp"},
    {"CipherKeyTable", ""},
    {"ManagementSiteUrl", "http://127.0.0.1:8802/"},
    {"ContactUrl", "http://127.0.0.1:8802/contact.html"},
    {"FontDownloadUrl", "http://127.0.0.1:8802/fonts.html"},
    {"SmsGatewayHost", "127.0.0.1:8803"},
    {"UpdateServiceHost", "127.0.0.1:8804"},
    {"DownloadSliceLimitMs", "12000000"},
    {"VerificationSiteUrl", "http://127.0.0.1:8805/"},
    {"PlatformSite1Url", "http://127.0.0.1:8806/"},
    {"PlatformSite2Url", "http://127.0.0.1:8807/"},
};

} // namespace

DeployConfig::DeployConfig() {
    for (const auto& d : kDefaults)
        values_.insert(QString::fromUtf8(d.key), QString::fromUtf8(d.value));
}

DeployConfig DeployConfig::load(const QString& folder) {
    DeployConfig cfg;
    const QString path = QDir(folder).filePath(QStringLiteral("deploy.ini"));
    if (!QFileInfo::exists(path)) return cfg;
    QSettings ini(path, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("deploy"));
    for (const QString& key : ini.childKeys())
        cfg.values_.insert(key, ini.value(key).toString());
    ini.endGroup();
    return cfg;
}

QString DeployConfig::value(const QString& key) const {
    return values_.value(key);
}

void DeployConfig::set(const QString& key, const QString& value) {
    values_.insert(key, value);
}

QStringList DeployConfig::keys() {
    QStringList out;
    for (const auto& d : kDefaults)
        out << QString::fromUtf8(d.key);
    return out;
}

int DeployConfig::httpTimeoutMs() const {
    bool ok = false;
    const int ms = value(QStringLiteral("HttpTimeoutMs")).toInt(&ok);
    return ok && ms > 0 ? ms : 30000;
}
