#pragma once
// What the SMS windows need from the program. The program owns every object.
#include "itinerary/p_common.h"
#include "itinerary/record.h"
#include "sms/sms_client.h"
#include "sms/sms_common.h"

#include <QRect>

#include <functional>

class Clock;
class DesktopBrowser;
class Messages;

namespace sms {

struct SmsPanelContext {
    SmsCommon& account;
    itin::PCommon& common;
    Messages& messages;
    const Clock& clock;
    DesktopBrowser& browser;
    // Transport, gateway host, program folder and workstation identifier; the program
    // may update it (the identifier is known once the print settings are loaded).
    SmsEnvironment& environment;
    // The record of the open print form, or nullptr when none is open.
    std::function<const itin::ItineraryRecord*()> currentRecord;
    // The print form's frame on the screen; an empty rectangle when none is open.
    std::function<QRect()> printFormFrame;

    SmsClient client() const { return SmsClient(account, messages, clock, environment); }
};

} // namespace sms
