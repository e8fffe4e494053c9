#include "itinerary/workstation_id.h"

#include <QCryptographicHash>
#include <QSysInfo>

namespace itin {

QString WorkstationIdFor(const QByteArray& machineKey, const QString& hostName) {
    QByteArray key = machineKey.trimmed();
    if (key.isEmpty()) key = "host:" + hostName.toLower().toUtf8();
    // A salted hash: the raw machine id is not sent out, and the result is letters and
    // digits only.
    const QByteArray digest =
        QCryptographicHash::hash("ws-workstation:" + key, QCryptographicHash::Sha256);
    return QString::fromLatin1(digest.toHex().left(16)).toUpper();
}

QString MachineWorkstationId() {
    return WorkstationIdFor(QSysInfo::machineUniqueId(), QSysInfo::machineHostName());
}

} // namespace itin
