#include "settings_standin.h"

#include "date_format.h"
#include "fso.h"
#include "text_ops.h"

namespace itin::standin {
namespace {

QString tag(const QString& text, const QString& key) {
    const QString open = QLatin1Char('<') + key + QLatin1Char('>');
    const int a = int(text.indexOf(open));
    if (a < 0) return {};
    const int from = a + int(open.size());
    const int b = int(text.indexOf(QStringLiteral("</") + key + QLatin1Char('>'), from));
    return b < 0 ? QString() : text.mid(from, b - from);
}

QString infoPath(const QString& folder) {
    return folder + QStringLiteral("/info.ini");
}

} // namespace

bool LoadPrintSettings(PrintSettings& s, const QString& folder, ItineraryRecord& record,
                       const Clock& clock) {
    QString date = datefmt::shortDate(clock.today());
    date.replace(QLatin1Char('/'), QLatin1Char('-'));
    record.setField(IssueDate, date);
    if (!fso::FileExists(infoPath(folder))) return false;
    const QString t = fso::ReadTextFile(infoPath(folder));
    s.leftr = tag(t, QStringLiteral("leftr"));
    s.topb = tag(t, QStringLiteral("topb"));
    s.companycode = tag(t, QStringLiteral("companycode"));
    s.companynumber = tag(t, QStringLiteral("companynumber"));
    s.companyname = tag(t, QStringLiteral("companyname"));
    return true;
}

void ApplyPrintSettings(PrintSettings& s, const QString& folder, ItineraryRecord& record,
                        const Clock& clock, QString& leftr, QString& topb) {
    if (!LoadPrintSettings(s, folder, record, clock)) return;
    leftr = s.leftr;
    topb = s.topb;
    record.setField(AgentCode, s.companycode);
    record.setField(AgentNumber, s.companynumber);
    record.setField(IssuedBy, s.companyname);
}

void SavePageSetup(const QString& folder, const QString& leftr, const QString& topb,
                   const ItineraryRecord& record) {
    const QString old = fso::ReadTextFile(infoPath(folder));
    const int end = int(old.indexOf(QStringLiteral("</setup>")));
    const QString rest = end < 0 ? QString() : old.mid(end + 8);
    auto line = [](const QString& k, const QString& v) {
        return QLatin1Char('<') + k + QLatin1Char('>') + v + QStringLiteral("</") + k +
               QStringLiteral(">\r\n");
    };
    fso::WriteTextFile(infoPath(folder),
                       QStringLiteral("<setup>\r\n") + line(QStringLiteral("leftr"), leftr) +
                           line(QStringLiteral("topb"), topb) +
                           line(QStringLiteral("companycode"), record[AgentCode]) +
                           line(QStringLiteral("companynumber"), record[AgentNumber]) +
                           line(QStringLiteral("companyname"), record[IssuedBy]) +
                           QStringLiteral("</setup>") + rest);
}

void SaveFontSettings(PrintSettings& s, const QString&, const PrintSettings& chosen) {
    const PrintSettings page = s;
    s = chosen;
    s.leftr = page.leftr;
    s.topb = page.topb;
    s.companycode = page.companycode;
    s.companynumber = page.companynumber;
    s.companyname = page.companyname;
}

QStringList LoadPlatformList(const QString&, QString& listText) {
    listText = QStringLiteral("0,今日天下通,,\r\n1,羿天下,,");
    return {QStringLiteral("今日天下通"), QStringLiteral("羿天下")};
}

void PrintItinerary(ItineraryRecord& record, const QString&, const QString&, qint16,
                    const PrintSettings&, PrintSurface* surface, Messages& messages) {
    if (record[PnrQuery].isEmpty()) return messages.show(QStringLiteral("请填写PNR"));
    if (textops::trimSpaces(record[CheckCode]).isEmpty())
        return messages.show(QStringLiteral("请填写验证码!"));
    if (!surface) return;
    surface->drawText(1040, 740, record[PassengerName]);
    surface->endPage();
    const QString next = QString::number(textops::trimSpaces(record[CheckCode]).toInt() + 1);
    record.setField(CheckCode, next.rightJustified(4, QLatin1Char('0')).left(4));
}

} // namespace itin::standin
