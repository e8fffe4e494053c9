#include "import/workbook/workbook.h"

#include "common/fso.h"

#include <QFileInfo>

namespace wbook {

QString ReasonCorrupt() {
    return QStringLiteral("文件已损坏，无法读取");
}
QString ReasonNotWorkbook() {
    return QStringLiteral("不是表格文件");
}
QString ReasonNoSheet(const QString& sheetName) {
    return QStringLiteral("没有名为 %1 的工作表").arg(sheetName);
}
QString ReasonPassword() {
    return QStringLiteral("文件有密码保护");
}
QString ReasonTooLarge() {
    return QStringLiteral("文件太大，无法读取");
}

ReadResult ReadWorkbook(const QString& path, const QString& sheetName, int maxRow, int maxColumn) {
    ReadResult fail;
    const QFileInfo info(path);
    if (!info.exists()) {
        fail.reason = QStringLiteral("文件不存在");
        return fail;
    }
    if (info.isDir()) {
        fail.reason = ReasonNotWorkbook();
        return fail;
    }
    QByteArray file;
    switch (common::ReadAtMost(path, kMaxWorkbookBytes, file)) {
    case common::ReadStatus::Ok:
        return ReadWorkbookData(file, sheetName, maxRow, maxColumn);
    case common::ReadStatus::TooLarge:
        fail.reason = ReasonTooLarge();
        return fail;
    case common::ReadStatus::NotAFile:
        fail.reason = ReasonNotWorkbook();
        return fail;
    case common::ReadStatus::Unreadable:
        break;
    }
    fail.reason = QStringLiteral("文件无法打开，可能正被其他程序使用");
    return fail;
}

ReadResult ReadWorkbookData(const QByteArray& file, const QString& sheetName, int maxRow,
                            int maxColumn) {
    if (file.startsWith("PK\x03\x04")) return ReadXlsx(file, sheetName, maxRow, maxColumn);
    if (file.startsWith(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)))
        return ReadXls(file, sheetName, maxRow, maxColumn);
    ReadResult fail;
    fail.reason = file.isEmpty() ? QStringLiteral("文件是空的") : ReasonNotWorkbook();
    return fail;
}

} // namespace wbook
