#pragma once
// The SMS sign-in window: change the SMS account of the run.
#include "sms/forms/sms_panel_context.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace sms {

class Sms_Login : public QWidget {
    Q_OBJECT
public:
    explicit Sms_Login(SmsPanelContext& ctx, QWidget* parent = nullptr);

    QLineEdit* Text1; // account
    QLineEdit* Text2; // password
    QPushButton* Command1;

private:
    void signIn();

    SmsPanelContext& ctx_;
};

} // namespace sms
