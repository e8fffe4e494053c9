#include "shell/forms/sign_in_flow.h"

#include "shell/forms/reg1.h"
#include "shell/forms/reg2.h"
#include "shell/forms/reg3.h"
#include "shell/up_ini.h"

#include "common/deploy_config.h"

namespace shell {

SignInFlow::SignInFlow(VendorSession& vendor, common::Messages& messages,
                       const common::DeployConfig& config, QString programFolder, QObject* parent)
    : QObject(parent), vendor_(vendor), messages_(messages), config_(config),
      folder_(std::move(programFolder)) {}

SignInFlow::~SignInFlow() {
    delete reg1_;
    delete reg2_;
    delete reg3_;
}

Reg1* SignInFlow::reg1() const {
    return reg1_;
}
Reg2* SignInFlow::reg2() const {
    return reg2_;
}
Reg3* SignInFlow::reg3() const {
    return reg3_;
}

QString SignInFlow::upIniPath() const {
    return UpIniPath(folder_);
}

QString SignInFlow::caption(const QString& prefix) const {
    return prefix + config_.value(QStringLiteral("ProductTitle")) + QLatin1Char(' ') +
           config_.value(QStringLiteral("ProductVersion"));
}

void SignInFlow::track(QWidget* form) {
    // Checked once the form is gone, when the next form of the path is already open.
    connect(form, &QObject::destroyed, this, [this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!finished_ && !reg1_ && !reg2_ && !reg3_) emit abandoned();
            },
            Qt::QueuedConnection);
    });
}

Reg1* SignInFlow::start() {
    reg1_ = new Reg1(*this);
    track(reg1_);
    reg1_->show();
    return reg1_;
}

void SignInFlow::openReg2(QWidget* from) {
    reg2_ = new Reg2(*this);
    track(reg2_);
    reg2_->show();
    from->close();
}

void SignInFlow::openReg3(QWidget* from) {
    reg3_ = new Reg3(*this);
    track(reg3_);
    reg3_->load();
    reg3_->show();
    from->close();
}

void SignInFlow::finish(QWidget* from) {
    finished_ = true;
    emit signedIn();
    from->close();
}

} // namespace shell
