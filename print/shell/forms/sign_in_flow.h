#pragma once
// The company sign-in and enrolment path: Reg1, or Reg2 then Reg3. Each form is created
// when shown and deleted when it closes; the path ends with signedIn(), after which the
// finishing form closes itself.
#include <QObject>
#include <QPointer>
#include <QString>

namespace common {
class DeployConfig;
class Messages;
} // namespace common
class QWidget;

namespace shell {

class VendorSession;
class Reg1;
class Reg2;
class Reg3;

class SignInFlow : public QObject {
    Q_OBJECT
public:
    SignInFlow(VendorSession& vendor, common::Messages& messages,
               const common::DeployConfig& config, QString programFolder,
               QObject* parent = nullptr);
    ~SignInFlow() override;

    // Shows Reg1, the first window of the program.
    Reg1* start();
    // The forms open now (null once closed).
    Reg1* reg1() const;
    Reg2* reg2() const;
    Reg3* reg3() const;

    VendorSession& vendor() { return vendor_; }
    common::Messages& messages() { return messages_; }
    QString upIniPath() const;
    // prefix + product title + " " + version.
    QString caption(const QString& prefix) const;

    // Transitions, called by the forms.
    void openReg2(QWidget* from);
    void openReg3(QWidget* from);
    void finish(QWidget* from);

signals:
    // Sign-in values are set: show the main window.
    void signedIn();
    // The last sign-in form closed without success: the program ends.
    void abandoned();

private:
    void track(QWidget* form);

    VendorSession& vendor_;
    common::Messages& messages_;
    const common::DeployConfig& config_;
    QString folder_;
    QPointer<Reg1> reg1_;
    QPointer<Reg2> reg2_;
    QPointer<Reg3> reg3_;
    bool finished_ = false;
};

} // namespace shell
