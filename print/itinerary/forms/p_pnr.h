#pragma once
// The PNR import dialog: the agent pastes the reservation display; "导入" parses it into
// the print form's record (domestic mode only). The print form is disabled while it is open.
#include <QPointer>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace itin {

class P_GuoNei;

class P_Pnr : public QWidget {
    Q_OBJECT
public:
    explicit P_Pnr(P_GuoNei& form);
    ~P_Pnr() override;

    QPlainTextEdit* Text1() const { return Text1_; }
    QPushButton* Command1() const { return Command1_; }
    QPushButton* Command2() const { return Command2_; }

    void Command1_Click();
    void Command2_Click();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    QPointer<P_GuoNei> form_;
    QPlainTextEdit* Text1_;
    QPushButton* Command1_;
    QPushButton* Command2_;
};

} // namespace itin
