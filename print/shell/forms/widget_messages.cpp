#include "widget_messages.h"

#include <QApplication>
#include <QMessageBox>

namespace shell {

void WidgetMessages::deliver(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

} // namespace shell
