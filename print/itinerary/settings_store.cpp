#include "itinerary/settings_store.h"

#include "itinerary/workstation_id.h"

#include "common/date_format.h"
#include "common/fso.h"

#include <QDir>

#include <cmath>

namespace itin {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Stored flags: false when empty or "0", true otherwise.
bool flagOf(const QString& text) {
    return !(text.isEmpty() || text == QLatin1String("0"));
}

QString flagText(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// A stored size; anything that is not a positive number gives the default.
double sizeOf(const QString& text, double fallback) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(v) && v > 0 ? v : fallback;
}

QString sizeText(double size) {
    return size > 0 ? QString::number(size) : QString();
}

QString tagLine(const QString& key, const QString& value) {
    return QLatin1Char('<') + key + QLatin1Char('>') + value + QLatin1String("</") + key +
           QLatin1Char('>') + kCrLf;
}

QString pageBlock(const PageSetup& p) {
    return QStringLiteral("<setup>") + kCrLf + tagLine(QStringLiteral("leftr"), p.leftr) +
           tagLine(QStringLiteral("topb"), p.topb) +
           tagLine(QStringLiteral("companycode"), p.agentCode) +
           tagLine(QStringLiteral("companynumber"), p.agentNumber) +
           tagLine(QStringLiteral("companyname"), p.issuedBy) + QStringLiteral("</setup>");
}

QString fontBlock(const FontChoice& c) {
    return QStringLiteral("<font>") + kCrLf + tagLine(QStringLiteral("fonttype1"), c.face1) +
           tagLine(QStringLiteral("fontsize1"), c.size1) +
           tagLine(QStringLiteral("bold1"), flagText(c.bold1)) +
           tagLine(QStringLiteral("italic1"), flagText(c.italic1)) +
           tagLine(QStringLiteral("underline1"), flagText(c.underline1)) +
           tagLine(QStringLiteral("strikethrough1"), flagText(c.strikethrough1)) +
           tagLine(QStringLiteral("fonttype2"), c.face2) +
           tagLine(QStringLiteral("fontsize2"), c.size2) +
           tagLine(QStringLiteral("bold2"), flagText(c.bold2)) +
           tagLine(QStringLiteral("italic2"), flagText(c.italic2)) +
           tagLine(QStringLiteral("underline2"), flagText(c.underline2)) +
           tagLine(QStringLiteral("strikethrough2"), flagText(c.strikethrough2)) +
           tagLine(QStringLiteral("sc"), flagText(c.sc)) + QStringLiteral("</font>");
}

void computePaths(PrintSettings& s, const QString& folder) {
    s.infoPath = InfoIniPath(folder);
    s.pingTaiPath = PingTaiIniPath(folder);
    s.defaultPlatformList = DefaultPlatformList();
}

} // namespace

QString InfoIniPath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("info.ini"));
}

QString PingTaiIniPath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("PingTai.ini"));
}

QString DefaultPlatformList() {
    return QStringLiteral("0,今日天下通,,") + kCrLf + QStringLiteral("1,羿天下,,");
}

QString GetTagValue(const QString& text, const QString& key) {
    const QString open = QLatin1Char('<') + key + QLatin1Char('>');
    const QString close = QLatin1String("</") + key + QLatin1Char('>');
    const qsizetype start = text.indexOf(open, 0, Qt::CaseSensitive);
    if (start < 0) return {};
    const qsizetype from = start + open.size();
    const qsizetype end = text.indexOf(close, from, Qt::CaseSensitive);
    if (end < 0) return {};
    return text.mid(from, end - from);
}

bool LoadPrintSettings(PrintSettings& s, const QString& programFolder, ItineraryRecord& record,
                       const common::Clock& clock) {
    QString date = common::ShortDate(clock.today());
    date.replace(QLatin1Char('/'), QLatin1Char('-'));
    date.replace(QLatin1Char('\\'), QLatin1Char('-'));
    record.setField(IssueDate, date);

    if (s.workstationId.isEmpty()) s.workstationId = MachineWorkstationId();
    computePaths(s, programFolder);

    // Texts of the keys; without a file every key keeps what it held.
    QString size1 = sizeText(s.fontsize1), size2 = sizeText(s.fontsize2);
    QString sc = flagText(s.sc);
    QString bold1 = flagText(s.bold1), bold2 = flagText(s.bold2);
    QString underline1 = flagText(s.underline1), underline2 = flagText(s.underline2);
    QString italic1 = flagText(s.italic1), italic2 = flagText(s.italic2);
    QString strike1 = flagText(s.strikethrough1), strike2 = flagText(s.strikethrough2);

    const bool exists = common::FileExists(s.infoPath);
    if (exists) {
        const QString text = common::ReadTextFile(s.infoPath);
        s.infoText = text;
        auto tag = [&text](const char* key) { return GetTagValue(text, QLatin1String(key)); };
        s.leftr = tag("leftr");
        s.topb = tag("topb");
        s.companycode = tag("companycode");
        s.companynumber = tag("companynumber");
        s.companyname = tag("companyname");
        s.fonttype1 = tag("fonttype1");
        size1 = tag("fontsize1");
        bold1 = tag("bold1");
        underline1 = tag("underline1");
        italic1 = tag("italic1");
        strike1 = tag("strikethrough1");
        s.fonttype2 = tag("fonttype2");
        size2 = tag("fontsize2");
        bold2 = tag("bold2");
        underline2 = tag("underline2");
        italic2 = tag("italic2");
        strike2 = tag("strikethrough2");
        sc = tag("sc");
    }

    s.sc = flagOf(sc);
    if (s.fonttype1.isEmpty()) s.fonttype1 = QLatin1String(kDefaultFont1);
    if (s.fonttype2.isEmpty()) s.fonttype2 = QLatin1String(kDefaultFont2);
    s.fontsize1 = sizeOf(size1, kDefaultSize1);
    s.fontsize2 = sizeOf(size2, kDefaultSize2);
    s.bold1 = flagOf(bold1);
    s.bold2 = flagOf(bold2);
    s.underline1 = flagOf(underline1);
    s.underline2 = flagOf(underline2);
    s.italic1 = flagOf(italic1);
    s.italic2 = flagOf(italic2);
    s.strikethrough1 = flagOf(strike1);
    s.strikethrough2 = flagOf(strike2);
    return exists;
}

bool ApplyPrintSettings(PrintSettings& s, const QString& programFolder, ItineraryRecord& record,
                        const common::Clock& clock, PageSetup& boxes) {
    if (!LoadPrintSettings(s, programFolder, record, clock)) return false;
    boxes = PageSetup{s.leftr, s.topb, s.companycode, s.companynumber, s.companyname};
    record.setField(AgentCode, s.companycode);
    record.setField(AgentNumber, s.companynumber);
    record.setField(IssuedBy, s.companyname);
    return true;
}

PageSetup PageSetupFromForm(const QString& leftrBox, const QString& topbBox,
                            const ItineraryRecord& record) {
    return PageSetup{leftrBox, topbBox, record.field(AgentCode), record.field(AgentNumber),
                     record.field(IssuedBy)};
}

bool SavePageSetup(const PrintSettings& s, const QString& programFolder, const PageSetup& form) {
    const QString path = InfoIniPath(programFolder);
    const QString text = common::FileExists(path) ? common::ReadTextFile(path) : QString();
    const QString closeTag = QStringLiteral("</setup>");
    const qsizetype cut = text.indexOf(closeTag);
    QString rest;
    if (cut >= 0) {
        rest = text.mid(cut + closeTag.size());
    } else {
        // No page block to replace: keep the file's font block, or write the one in memory,
        // so the offsets are not lost.
        const qsizetype font = text.indexOf(QStringLiteral("<font>"));
        rest = kCrLf + (font >= 0 ? text.mid(font) : fontBlock(FontChoiceFromSettings(s)));
    }
    return common::WriteTextFile(path, pageBlock(form) + rest);
}

FontChoice FontChoiceFromSettings(const PrintSettings& s) {
    FontChoice c;
    c.face1 = s.fonttype1;
    c.size1 = sizeText(s.fontsize1);
    c.bold1 = s.bold1;
    c.italic1 = s.italic1;
    c.underline1 = s.underline1;
    c.strikethrough1 = s.strikethrough1;
    c.face2 = s.fonttype2;
    c.size2 = sizeText(s.fontsize2);
    c.bold2 = s.bold2;
    c.italic2 = s.italic2;
    c.underline2 = s.underline2;
    c.strikethrough2 = s.strikethrough2;
    c.sc = s.sc;
    return c;
}

bool SaveFontSettings(PrintSettings& s, const QString& programFolder, const FontChoice& c) {
    const QString path = InfoIniPath(programFolder);
    const QString text = common::FileExists(path) ? common::ReadTextFile(path) : QString();
    const qsizetype font = text.indexOf(QStringLiteral("<font>"));
    const QString before = font >= 0 ? text.left(font) : text;
    const bool written = common::WriteTextFile(path, before + fontBlock(c));

    s.fonttype1 = c.face1;
    s.fonttype2 = c.face2;
    s.fontsize1 = sizeOf(c.size1, kDefaultSize1);
    s.fontsize2 = sizeOf(c.size2, kDefaultSize2);
    s.bold1 = c.bold1;
    s.italic1 = c.italic1;
    s.underline1 = c.underline1;
    s.strikethrough1 = c.strikethrough1;
    s.bold2 = c.bold2;
    s.italic2 = c.italic2;
    s.underline2 = c.underline2;
    s.strikethrough2 = c.strikethrough2;
    s.sc = c.sc;
    return written;
}

PlatformList LoadPlatformList(PrintSettings& s, const QString& programFolder) {
    computePaths(s, programFolder);
    const QString& path = s.pingTaiPath;
    if (!common::FileExists(path)) common::WriteTextFile(path, s.defaultPlatformList);
    QString text = common::FileExists(path) ? common::ReadTextFile(path) : s.defaultPlatformList;
    QStringList lines = text.split(kCrLf);
    const QStringList defaults = s.defaultPlatformList.split(kCrLf);

    if (lines.size() < defaults.size()) {
        for (qsizetype i = lines.size(); i < defaults.size(); ++i)
            text += kCrLf + defaults.at(i);
        common::WriteTextFile(path, text);
        lines = text.split(kCrLf);
    } else if (lines.size() > defaults.size()) {
        text = lines.mid(0, defaults.size()).join(kCrLf);
        common::WriteTextFile(path, text);
        lines = text.split(kCrLf);
    }

    PlatformList out;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringList fields = lines.at(i).split(QLatin1Char(','));
        out.names << (fields.size() >= 2 ? fields.at(1) : defaults.at(i).split(u',').at(1));
    }
    out.tag = text;
    return out;
}

} // namespace itin
