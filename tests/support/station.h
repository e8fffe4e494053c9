#pragma once
// The program as its composition root builds it, for every test that drives its windows: a
// temporary program folder whose deploy.ini sends each outside service to a local stand-in
// or a closed port, recording seams in place of the desktop's, the receipts it prints kept
// in a log. The root is built on first use, so a test can set deployment values and write
// settings files before.
#include "app/workstation.h"
#include "common/clock.h"
#include "common/messages.h"
#include "itinerary/booking_form.h"
#include "itinerary/forms/itinerary_context.h"
#include "itinerary/forms/print_form_host.h"
#include "support/doubles.h"
#include "support/recording_surface.h"

#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

class QWidget;
namespace browser {
class WebModule;
}

namespace support {

class LocalGateway;

class Station {
public:
    // pages: the web side linked into the test program (app::LinkedWebModule()); without
    // it the program has no pages.
    explicit Station(browser::WebModule* pages = nullptr);
    ~Station();
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    QTemporaryDir dir; // the program folder
    // Written to deploy.ini when the root is built.
    QMap<QString, QString> deploy;
    common::RecordingMessages messages;
    PresetFileDialogs fileDialogs;
    RecordingDesktopBrowser desktop;
    common::FixedClock clock{QDateTime(QDate(2026, 3, 1), QTime(9, 0))};
    PrintLog printed;            // every receipt printed
    bool printerMissing = false; // no printer can be opened

    app::Workstation& root();
    // The print form as a window of its own, shown and active, as the agent finds it.
    itin::P_GuoNei* openForm();

private:
    browser::WebModule* pages_;
    std::unique_ptr<app::Workstation> root_;
};

// A test with a fresh station, and the agent's hand on the print form.
class StationTest : public ::testing::Test, public Station {
protected:
    using Station::Station;
    itin::P_GuoNei* open() { return openForm(); }
    // Types into a box as the agent does: focus it, select all, type.
    static void type(QWidget* box, const QString& text);
    // Timer1 ticks now: the print button is back.
    static void tick(itin::P_GuoNei* form);
    // Moves the focus away from whatever box has it.
    static void leave(itin::P_GuoNei* form);
};

// The local SMS gateway (tests/sites/sms_gateway.py), started on first use and shared by the
// test program; every station's SMS panel signs in to it as "demo".
LocalGateway& SharedGateway();

} // namespace support
