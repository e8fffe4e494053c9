#include "import/ticket/ticket_lookup.h"

#include "common/date_format.h"
#include "common/fso.h"
#include "import/ticket/result_cut.h"
#include "itinerary/record.h"

#include <QDir>
#include <QUrl>

namespace ximport {

TicketQuery CheckTicketQuery(const QString& ticket, const QString& name, const QString& code) {
    TicketQuery q;
    q.ticket = ticket.trimmed().remove(u'-');
    q.name = name.trimmed();
    q.code = code.trimmed();
    if (!q.ticketOk())
        q.refusal = QStringLiteral("票号位数不正确！");
    else if (q.code.size() != 4)
        q.refusal = QStringLiteral("验证码不正确");
    return q;
}

browser::BrowserActions QueryActions(const TicketQuery& query) {
    return browser::BrowserActions()
        .setValue(QStringLiteral("eticketNoORIn"), query.ticket)
        .setValue(QStringLiteral("passengerName"), query.name)
        .setValue(QStringLiteral("randCode"), query.code)
        .runScript(QStringLiteral("validateStatus_info()"));
}

browser::BrowserActions HidePagePictureCode() {
    return browser::BrowserActions().runScript(
        QStringLiteral("(function(){var i=document.images;for(var k=0;k<i.length;k++)"
                       "if(String(i[k].src).indexOf('/newsky/servlet/CallYanServlet')>=0)"
                       "i[k].style.display='none';})()"));
}

QString UnreachableSiteMessage() {
    return QStringLiteral("无法打开验证网站，请检查网络！");
}

QString VerificationHomeUrl(const QString& siteUrl) {
    const QUrl root = QUrl(siteUrl.trimmed())
                          .adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment);
    return root.toString() + u'/';
}

QString PictureCodeUrl(const QString& siteUrl, const QDateTime& now) {
    return VerificationHomeUrl(siteUrl) + QStringLiteral("newsky/servlet/CallYanServlet?") +
           common::GeneralDate(now);
}

QString TicketPageState::buttonCaption() const {
    return pageState_ == 2 ? QStringLiteral("导    入") : QStringLiteral("正在加载，请稍等……");
}

bool TicketPageState::finishesPage(const QString& statusText) {
    return statusText == QStringLiteral("完成");
}

QString ResultTooLargeMessage() {
    return QStringLiteral("结果页面过大，未导入");
}

ResultApplied ApplyResultPage(const browser::DomDocument& page,
                              const std::function<itin::ItineraryRecord*()>& record,
                              const QString& programFolder) {
    ResultApplied out;
    const QString markup = page.root.outerMarkup();
    if (markup.size() > kMaxResultMarkup) {
        out.tooLarge = true;
        return out;
    }
    if (!markup.contains(ResultMarker())) return out;
    out.result = true;
    out.dumped =
        common::WriteTextFile(QDir(programFolder).filePath(QStringLiteral("PNC.txt")), markup);
    const std::vector<const browser::DomNode*> tables =
        page.elementsByTagName(QStringLiteral("table"));
    itin::ItineraryRecord* target = record ? record() : nullptr;
    if (tables.size() < 3 || !target) return out;
    const QList<FieldCut> cuts = CutResultTable(tables[2]->innerMarkup());
    if (cuts.isEmpty()) return out;
    // The whole cut goes in before what follows a change (the SMS panel) runs; the ticket is
    // a booking of its own with one passenger.
    const itin::ItineraryRecord::HeldChanges held(*target);
    target->startBooking();
    for (const FieldCut& cut : cuts) {
        target->setField(cut.field, cut.text);
        ++out.written;
    }
    target->takePassengerFromFields();
    return out;
}

} // namespace ximport
