#include "common/forms/box_messages.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QStyle>

namespace forms {
namespace {

QMessageBox::Icon boxIcon(BoxMessages::Icon icon) {
    return icon == BoxMessages::Icon::Information ? QMessageBox::Information : QMessageBox::NoIcon;
}

// The box grows to the title's width: the window manager would cut it otherwise.
void fitTitle(QMessageBox& box, const QString& title) {
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(TitleWidth(box, title), 0, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

int TitleWidth(const QMessageBox& box, const QString& title) {
    // The window manager's title font is unknown here: room for a larger one, its icon and
    // its three buttons.
    const int text =
        QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(title);
    return text * 3 / 2 + 4 * box.style()->pixelMetric(QStyle::PM_TitleBarHeight);
}

QWidget* BoxMessages::concerned() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (QWidget* active = QApplication::activeWindow()) return active;
    return main_ && main_->isVisible() ? main_.data() : nullptr;
}

void BoxMessages::deliver(const QString& text, const QString& title) {
    // Never an empty box: an empty text can only come from a reply that did not arrive.
    const QString shown = text.isEmpty() ? QStringLiteral("连接服务器失败，请检查网络！") : text;
    QMessageBox box(boxIcon(icon_), title, shown, QMessageBox::Ok, concerned());
    box.setObjectName(QStringLiteral("MessageBox"));
    fitTitle(box, title);
    box.exec();
}

bool BoxMessages::question(const QString& text, const QString& title) {
    QMessageBox box(boxIcon(icon_), title, text, QMessageBox::Yes | QMessageBox::No, concerned());
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setDefaultButton(QMessageBox::No);
    fitTitle(box, title);
    return box.exec() == QMessageBox::Yes;
}

} // namespace forms
