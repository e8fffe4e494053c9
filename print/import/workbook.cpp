#include "workbook.h"

#include <QFile>
#include <QFileInfo>

namespace wbook {

QString reasonCorrupt() {
    return QStringLiteral("文件已损坏，无法读取");
}
QString reasonNotWorkbook() {
    return QStringLiteral("不是表格文件");
}
QString reasonNoSheet(const QString& sheetName) {
    return QStringLiteral("没有名为 %1 的工作表").arg(sheetName);
}

ReadResult ReadWorkbook(const QString& path, const QString& sheetName, int maxRow, int maxColumn) {
    ReadResult fail;
    const QFileInfo info(path);
    if (!info.exists()) {
        fail.reason = QStringLiteral("文件不存在");
        return fail;
    }
    if (!info.isFile()) {
        fail.reason = reasonNotWorkbook();
        return fail;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        fail.reason = QStringLiteral("文件无法打开，可能正被其他程序使用");
        return fail;
    }
    const QByteArray magic = f.read(8);
    f.close();
    if (magic.startsWith("PK\x03\x04")) return ReadXlsx(path, sheetName, maxRow, maxColumn);
    if (magic == QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))
        return ReadXls(path, sheetName, maxRow, maxColumn);
    fail.reason = magic.isEmpty() ? QStringLiteral("文件是空的") : reasonNotWorkbook();
    return fail;
}

} // namespace wbook
