#include "itinerary/forms/widget_seams.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>

namespace itin {

QString WidgetFileDialogs::openFile(const QString& title, const QString& folder,
                                    const QString& filter) {
    // Patterns may be separated by ";" as in "表格文件(*.xls; *.xlt)"; the Qt dialog wants
    // blanks between patterns (";;" still separates filters).
    QStringList filters = filter.split(QStringLiteral(";;"));
    for (QString& f : filters) {
        const qsizetype open = f.lastIndexOf(u'(');
        if (open < 0 || !f.endsWith(u')')) continue;
        QString patterns = f.mid(open + 1, f.size() - open - 2);
        patterns.replace(u';', u' ');
        f = f.left(open) + u'(' + patterns.simplified() + u')';
    }
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, folder,
                                        filters.join(QStringLiteral(";;")));
}

QString WidgetFileDialogs::saveFile(const QString& title, const QString& folder,
                                    const QString& filter) {
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, folder, filter);
}

bool SystemDesktopBrowser::open(const QString& url) {
    return QDesktopServices::openUrl(QUrl(url));
}

} // namespace itin
