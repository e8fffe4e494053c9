#pragma once
// Enrolment, step one: the new account name and its password. Three checks raise flags
// that stay raised until the form is loaded again.
#include <QWidget>

class QLabel;
class QLineEdit;

namespace shell {

class SignInFlow;

class Reg2 : public QWidget {
    Q_OBJECT
public:
    explicit Reg2(SignInFlow& flow);

    bool nameAccepted() const { return nameOk_; }
    bool passwordAccepted() const { return passwordOk_; }
    bool confirmationAccepted() const { return confirmOk_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* e) override;

private:
    void checkName();
    void next();

    SignInFlow& flow_;
    QLineEdit* username_;
    QLineEdit* password1_;
    QLineEdit* password2_;
    QLabel* label4_;
    QLabel* label5_;
    QLabel* label6_;
    bool nameOk_ = false;
    bool passwordOk_ = false;
    bool confirmOk_ = false;
    bool centred_ = false;
    bool checking_ = false; // the wait disables the form, which moves the focus again
};

} // namespace shell
