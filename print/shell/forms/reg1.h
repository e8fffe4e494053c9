#pragma once
// Company sign-in: account, staff number, password, the two remember ticks.
#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace shell {

class SignInFlow;

class Reg1 : public QWidget {
    Q_OBJECT
public:
    explicit Reg1(SignInFlow& flow);

private:
    void login();
    void showEvent(QShowEvent* e) override;

    SignInFlow& flow_;
    QLineEdit* account_;
    QLineEdit* staff_;
    QLineEdit* password_;
    QCheckBox* rememberAccount_;
    QCheckBox* rememberPassword_;
    bool centred_ = false;
};

} // namespace shell
