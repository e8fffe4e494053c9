#pragma once
// The workstation identifier sent as "Hdnumber": derived from the machine's own unique
// id, so it is stable across runs and reinstalls of the program and differs between
// machines; 16 upper-case hex digits, safe in a query string.
#include <QByteArray>
#include <QString>

namespace itin {

// Identifier for a machine key (a hash; empty key falls back to the host name).
QString WorkstationIdFor(const QByteArray& machineKey, const QString& hostName);
// Identifier of this machine.
QString MachineWorkstationId();

} // namespace itin
