#include "update_run.h"

#include "clock.h"
#include "date_format.h"
#include "deploy_config.h"
#include "folder_tokens.h"
#include "fso.h"
#include "http_client.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace upd {

UpdateState MakeUpdateState(const QString& appFolder, const DeployConfig& config,
                            const Clock& clock) {
    UpdateState s;
    QString host = config.value(QStringLiteral("UpdateServiceHost"));
    if (!host.contains(QStringLiteral("://"))) host.prepend(QStringLiteral("http://"));
    while (host.endsWith(QLatin1Char('/')))
        host.chop(1);
    s.updateListUrl = host + QStringLiteral("/update/print/main/update.asp?t=") +
                      datefmt::generalDate(clock.now());
    const QDir dir(appFolder);
    s.logPath = dir.filePath(QStringLiteral("update.log"));
#ifdef Q_OS_WIN
    s.programPath = dir.filePath(QStringLiteral("print.exe"));
#else
    s.programPath = dir.filePath(QStringLiteral("print"));
#endif
    return s;
}

UpdateRun::UpdateRun(UpdateState& state, const Clock& clock, net::HttpClient& http,
                     const FolderProvider& folders, UpdateView& view, Downloader& downloader)
    : state_(state), clock_(clock), http_(http), folders_(folders), view_(view),
      downloader_(downloader) {}

QString UpdateRun::FetchUpdateList() {
    view_.setStatus(QStringLiteral("正在获取更新文件列表……"));
    const net::HttpReply reply = http_.post(
        state_.updateListUrl, QByteArray(),
        {{"Content-Length ", "0"}, {"CONTENT-TYPE ", "application/x-www-form-urlencoded "}});
    return reply.text("GB2312");
}

void UpdateRun::BuildUpdateList() {
    const QString text = FetchUpdateList();
    SelectionInputs in;
    in.lastUpdate = ParseListDate(state_.lastUpdateTime);
    in.resolveTarget = [this](const QString& to) { return ResolveFolderTokens(to, folders_); };
    in.fileExists = [](const QString& path) { return fso::FileExists(path); };
    state_.updateList = SelectUpdateRows(text, in);
}

void UpdateRun::RunUpdate() {
    state_.lastUpdateTime = ReadLastUpdateTime(state_.logPath);
    const QDateTime last = ParseListDate(state_.lastUpdateTime);
    // A time that cannot be read, or one in the future (the clock was set back), starts over.
    if (!last.isValid() || last.secsTo(clock_.now()) <= 0)
        state_.lastUpdateTime = QString::fromLatin1(kNoLastUpdate);

    BuildUpdateList();
    if (!state_.updateList.isEmpty()) {
        view_.setHeadline(QStringLiteral("正在更新到最新版本，请不要关闭程序！"));
        const int count = int(state_.updateList.size());
        for (int i = 0; i < count; ++i) {
            const UpdateRow row = state_.updateList[i];
            view_.setCounter(QString::number(i + 1) + QLatin1Char('/') + QString::number(count));
            downloader_.DownloadFile(row.surl, row.to, row.registerFlag());
        }
    }
    view_.setStatus(QStringLiteral("更新完成！"));
    fso::WriteTextFile(state_.logPath, datefmt::generalDate(clock_.now()));
}

bool StartProgram(const QString& path) {
    return QProcess::startDetached(path, {}, QFileInfo(path).absolutePath());
}

} // namespace upd
