#include "vendor_session.h"

namespace shell {

VendorSession::VendorSession(const QString& programFolder)
    : config_(DeployConfig::load(programFolder)),
      messages_(config_.value(QStringLiteral("ProductTitle"))), http_(config_, &waitHook_) {
    QString why;
    const auto keys = CipherKeyTable::parse(config_.value(QStringLiteral("CipherKeyTable")), &why);
    if (!keys) {
        error_ = QStringLiteral("CipherKeyTable: ") + why;
        messages_.show(QStringLiteral("加密密钥表配置错误，程序无法连接服务。\n") + error_,
                       QStringLiteral("错误提示"));
        return;
    }
    common_ = std::make_unique<Common>(config_, *keys, http_, messages_, clock_, random_);
    flow_ = std::make_unique<SignInFlow>(*common_, messages_, config_, programFolder);
}

VendorSession::~VendorSession() = default;

} // namespace shell
