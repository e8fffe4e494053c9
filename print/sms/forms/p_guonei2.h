#pragma once
// The SMS panel: pick a template, review the text, type the mobile number and send.
#include "sms/forms/sms_context.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;

namespace sms {

class Sms_Login;

class P_Guonei2 : public QWidget {
    Q_OBJECT
public:
    explicit P_Guonei2(SmsContext& ctx, QWidget* parent = nullptr);
    ~P_Guonei2() override;

    // Form load: beside the print form, template type 1, SMS start-up.
    void load();
    // Replaces the editor's text (the print form's refresh).
    void setSmsText(const QString& text);

private:
    // A template label: compose with that type into the editor.
    void chooseTemplate(int type);
    QString smsText() const;
    void send();
    void openLogin();
    void openAccountPage();

    SmsContext& ctx_;
    QPointer<Sms_Login> login_;
    QTextEdit* Rtb_;
    QLineEdit* Text2_;
    QLabel* Label8_;
    QLabel* SmsLength_; // characters and parts of the text as sent
    QPushButton* Command10_;
};

} // namespace sms
