#pragma once
// The SMS panel: pick a template, review the text, type the mobile number and send.
#include "itinerary/forms/click_label.h"
#include "sms/forms/sms_panel_context.h"

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QPushButton;
class QTextEdit;

namespace sms {

using itin::ClickLabel;

class Sms_Login;

class P_Guonei2 : public QWidget {
    Q_OBJECT
public:
    explicit P_Guonei2(SmsPanelContext& ctx, QWidget* parent = nullptr);
    ~P_Guonei2() override;

    // Form load: beside the print form, template type 1, SMS start-up.
    void load();
    // A template label: compose with that type into the editor.
    void chooseTemplate(int type);
    // Replaces the editor's text (the print form's refresh).
    void setSmsText(const QString& text);
    QString smsText() const;
    Sms_Login* loginWindow() const;

    QTextEdit* Rtb;
    QLineEdit* Text2;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* SmsLengthLabel; // characters and parts of the text as sent
    ClickLabel* Label31; // 出票短信, type 1
    ClickLabel* Label32; // 出票短信, type 2
    ClickLabel* Label29; // 预订短信, type 3
    ClickLabel* Label30; // 预订短信, type 4
    ClickLabel* Label34; // 航程核对, type 5
    ClickLabel* Label35; // 姓名核对, type 6
    ClickLabel* Label33; // 专用模板, type 7
    QPushButton* Command10;
    QPushButton* Command6;
    QPushButton* Command5;
    QPushButton* Command7;

private:
    void send();
    void openLogin();
    void openAccountPage();

    SmsPanelContext& ctx_;
    QPointer<Sms_Login> login_;
};

} // namespace sms
