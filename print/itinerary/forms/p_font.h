#pragma once
// The font settings dialog: face, size and styles of the Chinese and the Western print
// font, with live samples. The print form is disabled while it is open.
#include "itinerary/forms/store_link.h"

#include <QPointer>
#include <QWidget>

#include <array>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace itin {

class P_GuoNei;

class P_font : public QWidget {
    Q_OBJECT
public:
    // Fills the face lists from the installed fonts.
    explicit P_font(P_GuoNei& form);
    // Fills the face lists from the given names (tests pin the list).
    P_font(P_GuoNei& form, const QStringList& installedFaces);
    ~P_font() override;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    // What "保存修改" would save now.
    FontChoice choice() const;
    void build(const QStringList& faces);
    void updateSample(int set);

    QPointer<P_GuoNei> form_;
    FontChoice stored_;
    QListWidget *List1_, *List2_, *List3_, *List4_;
    std::array<QCheckBox*, 9> checks_{};
    QLabel *Label1_, *Label2_, *Label3_;
    QPushButton *Command1_, *Command2_, *Command3_;
};

} // namespace itin
