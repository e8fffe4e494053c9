#include "widget_seams.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace itin {

void BoxMessages::deliver(const QString& text, const QString& title) {
    QMessageBox::information(QApplication::activeWindow(), title, text);
}

QString WidgetFileDialogs::openFile(const QString& title, const QString& folder,
                                    const QString& filter) {
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, folder, filter);
}

void SystemDesktopBrowser::open(const QString& url) {
    QDesktopServices::openUrl(QUrl(url));
}

} // namespace itin
