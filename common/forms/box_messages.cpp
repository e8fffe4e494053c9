#include "common/forms/box_messages.h"

#include <QApplication>
#include <QMessageBox>

namespace forms {

void BoxMessages::deliver(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("MessageBox"));
    box.exec();
}

} // namespace forms
