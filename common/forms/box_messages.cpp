#include "common/forms/box_messages.h"

#include <QApplication>
#include <QMessageBox>

namespace forms {
namespace {

QMessageBox::Icon boxIcon(BoxMessages::Icon icon) {
    return icon == BoxMessages::Icon::Information ? QMessageBox::Information : QMessageBox::NoIcon;
}

} // namespace

void BoxMessages::deliver(const QString& text, const QString& title) {
    // Never an empty box: an empty text can only come from a reply that did not arrive.
    const QString shown = text.isEmpty() ? QStringLiteral("连接服务器失败，请检查网络！") : text;
    QMessageBox box(boxIcon(icon_), title, shown, QMessageBox::Ok, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("MessageBox"));
    box.exec();
}

bool BoxMessages::question(const QString& text, const QString& title) {
    QMessageBox box(boxIcon(icon_), title, text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace forms
