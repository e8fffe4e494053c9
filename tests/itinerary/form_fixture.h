#pragma once
// A fresh program around the print form: module state, seams and a temporary program
// folder; receipts go to a counting surface.
#include "itinerary_context.h"
#include "print_form_host.h"
#include "print_standin.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace itin::testing {

class CountingSurface : public PrintSurface {
public:
    explicit CountingSurface(int& pages) : pages_(pages) {}
    void drawText(int, int, const QString&) override {}
    void endPage() override { ++pages_; }

private:
    int& pages_;
};

class FormFixture : public ::testing::Test {
protected:
    QTemporaryDir dir;
    PCommon common;
    PrintSettings settings;
    RecordingMessages messages;
    FixedClock clock{QDateTime(QDate(2026, 3, 1), QTime(9, 0))};
    DeployConfig deploy;
    RecordingDesktopBrowser browser;
    PresetFileDialogs fileDialogs;
    int pages = 0;
    ItineraryContext ctx{
        common, settings, messages, clock, deploy, browser, fileDialogs, dir.path(), [this] {
            return std::unique_ptr<PrintSurface>(new CountingSurface(pages));
        }};
    std::unique_ptr<PrintFormHost> host = std::make_unique<PrintFormHost>(ctx);

    // Shows the form and makes it the active window, so focus moves as for the agent.
    P_GuoNei* open();
    // Types into a box as the agent does: focus it, select all, type.
    static void type(QWidget* box, const QString& text);
    // Moves the focus away from whatever box has it.
    static void leave(P_GuoNei* form);
    // Lets deferred deletes and queued calls run.
    static void settle();
};

} // namespace itin::testing
