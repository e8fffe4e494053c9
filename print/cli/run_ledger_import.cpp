// print --ledger-import [--data-dir DIR]: copies the rows of the local receipts.db into the
// shared ledger that "ReceiptLedger" names, once; says how many rows it copied.
#include "cli/command_line.h"

#include "common/deploy_config.h"
#include "itinerary/receipts/receipt_log.h"

#include <QDir>
#include <QFileInfo>

namespace cli {

int RunLedgerImport(const CommandLine& c) {
    const QString folder = c.programFolder();
    const common::DeployConfig config = common::DeployConfig::load(folder);
    if (config.value(QStringLiteral("ReceiptLedger")).trimmed().isEmpty())
        return Fail(QStringLiteral("deploy.ini 的 ReceiptLedger 未指向共用的打印记录数据库"));
    itin::ReceiptLog shared;
    QString error;
    if (!itin::UseConfiguredLedger(shared, config, folder, &error)) return Fail(error);
    if (!shared.open()) {
        PrintLine(shared.error());
        return 1;
    }
    // Without a local log there is nothing to copy (and none is made).
    const QString path = QDir(folder).filePath(itin::LogFileName());
    itin::ReceiptLog local;
    local.setPath(path);
    qint64 copied = 0;
    if (QFileInfo::exists(path) && !shared.importFrom(local, &copied)) {
        PrintLine(shared.error());
        return 1;
    }
    PrintLine(QStringLiteral("已复制 %1 条打印记录到 %2").arg(copied).arg(shared.counter()));
    return 0;
}

} // namespace cli
