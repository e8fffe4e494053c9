#pragma once
// What the SMS windows need from the program. The program owns every object and builds the
// context once, with the SMS account, the first time the panel is needed.
#include "itinerary/booking_form.h"
#include "sms/sms_account.h"
#include "sms/sms_client.h"

namespace common {
class Clock;
class DesktopBrowser;
class Messages;
} // namespace common

namespace sms {

struct SmsContext {
    SmsAccount& account;
    common::Messages& messages;
    const common::Clock& clock;
    common::DesktopBrowser& browser;
    // Transport, gateway host, program folder and workstation identifier; the program
    // may update it (the identifier is known once the print settings are loaded).
    SmsEnvironment& environment;
    // The print form: the record it shows (templates compose from it) and its frame (the
    // panel opens beside it).
    itin::BookingForm& printForm;

    SmsClient client() const { return SmsClient(account, messages, clock, environment); }
};

} // namespace sms
