#pragma once
// The SMS sign-in window: change the SMS account of the run.
#include "sms/forms/sms_panel_context.h"

#include <QWidget>

class QLineEdit;

namespace sms {

class Sms_Login : public QWidget {
    Q_OBJECT
public:
    explicit Sms_Login(SmsPanelContext& ctx, QWidget* parent = nullptr);

private:
    void signIn();

    SmsPanelContext& ctx_;
    QLineEdit* Text1_; // account
    QLineEdit* Text2_; // password
};

} // namespace sms
