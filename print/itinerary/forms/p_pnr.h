#pragma once
// The PNR import dialog: the agent pastes the reservation display; "导入" parses it into
// the print form's record (domestic mode only). The print form is disabled while it is open.
#include <QFont>
#include <QPointer>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace itin {

class P_GuoNei;

// A fixed-width font of the given size with Chinese glyphs: the terminal's display.
QFont TerminalFont(double points);

class P_Pnr : public QWidget {
    Q_OBJECT
public:
    explicit P_Pnr(P_GuoNei& form);
    ~P_Pnr() override;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void Command1_Click();
    void Command2_Click();

    QPointer<P_GuoNei> form_;
    QPlainTextEdit* Text1_;
    QPushButton* Command1_;
    QPushButton* Command2_;
};

} // namespace itin
