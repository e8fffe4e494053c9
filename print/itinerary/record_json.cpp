#include "itinerary/record_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace itin {
namespace {

QByteArray str(const QString& s) {
    QByteArray a = QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact);
    return a.mid(1, a.size() - 2);
}

} // namespace

QByteArray RecordJson(const ItineraryRecord& record, const QList<common::ShownMessage>& messages) {
    // Written by hand so the fields keep their index order.
    QByteArray out = "{\"fields\": {";
    for (int i = 0; i < kFieldCount; ++i) {
        if (i) out += ", ";
        out += str(FieldName(i)) + ": " + str(record.field(i));
    }
    out += "}, \"passengers\": [";
    for (qsizetype i = 0; i < record.passengers().size(); ++i) {
        const PassengerRow& r = record.passengers().at(i);
        if (i) out += ", ";
        out += "[" + str(r.name) + ", " + str(r.id) + ", " + str(r.ticket) + "]";
    }
    out += "], \"currentPassenger\": " + QByteArray::number(record.currentPassenger());
    out += ", \"arrivalTimes\": [" + str(record.arrivalTime1()) + ", " +
           str(record.arrivalTime2()) + "]";
    out += ", \"previousEnabled\": ";
    out += record.previousEnabled() ? "true" : "false";
    out += ", \"nextEnabled\": ";
    out += record.nextEnabled() ? "true" : "false";
    out += ", \"messages\": [";
    for (qsizetype i = 0; i < messages.size(); ++i) {
        if (i) out += ", ";
        out += "{\"text\": " + str(messages.at(i).text) +
               ", \"title\": " + str(messages.at(i).title) + "}";
    }
    out += "]}";
    return out;
}

} // namespace itin
