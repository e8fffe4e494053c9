#include "print_standin.h"

#include "text_ops.h"

namespace itin::standin {

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
