#include "update/update_run.h"

#include "common/clock.h"
#include "common/date_format.h"
#include "common/deploy_config.h"
#include "common/fso.h"
#include "common/messages.h"
#include "common/net/http_client.h"
#include "update/folder_tokens.h"
#include "update/list_signature.h"
#include "update/registrar.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace upd {

UpdateState MakeUpdateState(const QString& appFolder, const common::DeployConfig& config,
                            const common::Clock& clock) {
    UpdateState s;
    QString host = config.value(QStringLiteral("UpdateServiceHost"));
    if (!host.contains(QStringLiteral("://"))) host.prepend(QStringLiteral("http://"));
    while (host.endsWith(QLatin1Char('/')))
        host.chop(1);
    s.updateListUrl = host + QStringLiteral("/update/print/main/update.asp?t=") +
                      common::GeneralDate(clock.now());
    s.updatePublicKey = config.value(QStringLiteral("UpdatePublicKey")).trimmed();
    const QDir dir(appFolder);
    s.logPath = dir.filePath(QStringLiteral("update.log"));
    s.serialPath = dir.filePath(QStringLiteral("update.serial"));
#ifdef Q_OS_WIN
    s.programPath = dir.filePath(QStringLiteral("print.exe"));
#else
    s.programPath = dir.filePath(QStringLiteral("print"));
#endif
    return s;
}

UpdateRun::UpdateRun(UpdateState& state, const common::Clock& clock, net::HttpClient& http,
                     const FolderProvider& folders, UpdateView& view, Downloader& downloader,
                     common::Messages& messages)
    : state_(state), clock_(clock), http_(http), folders_(folders), view_(view),
      downloader_(downloader), messages_(messages) {}

QString UpdateRun::fetchUpdateList() {
    view_.setStatus(QStringLiteral("正在获取更新文件列表……"));
    const net::HttpReply reply = http_.post(
        state_.updateListUrl, QByteArray(),
        {{"Content-Length ", "0"}, {"CONTENT-TYPE ", "application/x-www-form-urlencoded "}});
    list_ = ListOutcome::Refused;
    if (reply.tooLarge) {
        messages_.show(QStringLiteral("更新列表过大，已拒绝"));
        return {};
    }
    // Unreachable, timed out, or an error page instead of a list: not a run.
    if (!reply.arrived || reply.status < 200 || reply.status > 299) {
        list_ = ListOutcome::NoReply;
        return {};
    }
    const QString text = reply.text("GB2312");
    if (!state_.updatePublicKey.isEmpty() && !acceptSigned(reply, text)) return {};
    list_ = ListOutcome::Answered;
    return text;
}

bool UpdateRun::acceptSigned(const net::HttpReply& reply, const QString& text) {
    const auto release = VerifyListSignature(reply.body, reply.header("X-Update-Signature"),
                                             state_.updatePublicKey.toLatin1())
                             ? ReadReleaseElement(text)
                             : std::nullopt;
    if (!release) {
        messages_.show(QStringLiteral("更新列表签名无效"));
        return false;
    }
    // A recorded older list replayed, or one past its date, must not roll the files back.
    bool known = false;
    const qint64 accepted = common::ReadTextFile(state_.serialPath).trimmed().toLongLong(&known);
    if ((known && release->serial < accepted) ||
        (release->expires.isValid() && clock_.now() > release->expires)) {
        messages_.show(QStringLiteral("更新列表已过期"));
        return false;
    }
    if (!known || release->serial > accepted)
        common::WriteTextFile(state_.serialPath, QString::number(release->serial));
    return true;
}

void UpdateRun::buildUpdateList() {
    const QString text = fetchUpdateList();
    SelectionInputs in;
    in.lastUpdate = ParseListDate(state_.lastUpdateTime);
    in.resolveTarget = [this](const QString& to) { return ResolveTargetInside(to, folders_); };
    in.fileExists = [](const QString& path) { return common::FileExists(path); };
    state_.updateList = SelectUpdateRows(text, in);
}

void UpdateRun::runUpdate() {
    state_.lastUpdateTime = ReadLastUpdateTime(state_.logPath);
    const QDateTime last = ParseListDate(state_.lastUpdateTime);
    // A time that cannot be read, or one in the future (the clock was set back), starts over.
    if (!last.isValid() || last.secsTo(clock_.now()) <= 0)
        state_.lastUpdateTime = QString::fromLatin1(kNoLastUpdate);

    buildUpdateList();
    state_.handedOver = state_.handOver && state_.handOver(state_.updateList);
    if (state_.handedOver) return;
    bool allInstalled = list_ == ListOutcome::Answered;
    if (!state_.updateList.isEmpty()) {
        view_.setHeadline(QStringLiteral("正在更新到最新版本，请不要关闭程序！"));
        const int count = int(state_.updateList.size());
        for (int i = 0; i < count; ++i) {
            const UpdateRow row = state_.updateList[i];
            view_.setCounter(QString::number(i + 1) + QLatin1Char('/') + QString::number(count));
            if (!installable(row)) {
                allInstalled = false;
                continue;
            }
            if (downloader_.downloadFile(row.surl, row.to, row.registerFlag(), row.sha256) !=
                    DownloadEnd::Complete ||
                (row.listedTo.startsWith(QStringLiteral("{font}")) && !RegisterFont(row.to)))
                allInstalled = false;
        }
    }
    view_.setStatus(QStringLiteral("更新完成！"));
    // A failed file must be fetched again next time, so the run is recorded only when
    // nothing failed.
    if (allInstalled) common::WriteTextFile(state_.logPath, common::GeneralDate(clock_.now()));
}

bool UpdateRun::installable(const UpdateRow& row) {
    if (row.refused()) {
        messages_.show(QStringLiteral("更新文件的目标位置不允许：") + row.listedTo);
        return false;
    }
    const QString scheme = QUrl(row.surl).scheme().toLower();
    if (scheme != QStringLiteral("http") && scheme != QStringLiteral("https")) {
        messages_.show(QStringLiteral("更新文件的下载地址不允许：") + row.surl);
        return false;
    }
    // A signed list vouches for its files only through their hashes.
    if (!state_.updatePublicKey.isEmpty() && !IsWellFormedSha256(row.sha256)) {
        messages_.show(QStringLiteral("文件校验失败：") + row.to, QStringLiteral("提示"));
        return false;
    }
    return true;
}

bool StartProgram(const QString& path, QString* why) {
    QProcess program;
    program.setProgram(path);
    program.setWorkingDirectory(QFileInfo(path).absolutePath());
    if (program.startDetached()) return true;
    if (why) *why = program.errorString();
    return false;
}

} // namespace upd
