#pragma once
// The SMS sign-in window: change the SMS account of the run.
#include "sms/forms/sms_context.h"

#include <QWidget>

class QLineEdit;

namespace sms {

class Sms_Login : public QWidget {
    Q_OBJECT
public:
    explicit Sms_Login(SmsContext& ctx, QWidget* parent = nullptr);

private:
    void signIn();

    SmsContext& ctx_;
    QLineEdit* Text1_; // account
    QLineEdit* Text2_; // password
};

} // namespace sms
