#pragma once
// A fresh program around the print form: module state, seams and a temporary program
// folder; receipts go to a counting surface.
#include "itinerary/forms/hosted_print_form.h"
#include "itinerary/forms/itinerary_context.h"
#include "itinerary/forms/print_form_host.h"
#include "support/doubles.h"
#include "support/gui.h"
#include "support/recording_surface.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace itin::testing {

// Hands every call on to one recording surface that outlives the prints.
class SharedSurface : public PrintSurface {
public:
    explicit SharedSurface(support::RecordingSurface& to) : to_(to) {}
    bool beginPage() override { return to_.beginPage(); }
    void setFontName(const QString& f) override { to_.setFontName(f); }
    void setFontSize(double p) override { to_.setFontSize(p); }
    void setFontUnderline(bool on) override { to_.setFontUnderline(on); }
    void setFontBold(bool on) override { to_.setFontBold(on); }
    void setFontItalic(bool on) override { to_.setFontItalic(on); }
    void setFontStrikethrough(bool on) override { to_.setFontStrikethrough(on); }
    void setPosition(int x, int y) override { to_.setPosition(x, y); }
    void drawText(const QString& t) override { to_.drawText(t); }
    bool endDocument() override { return to_.endDocument(); }
    QString error() const override { return to_.error(); }

private:
    support::RecordingSurface& to_;
};

class FormFixture : public ::testing::Test {
protected:
    QTemporaryDir dir;
    PrintFormState formState;
    PrintSettings settings;
    common::RecordingMessages messages;
    common::FixedClock clock{QDateTime(QDate(2026, 3, 1), QTime(9, 0))};
    common::DeployConfig deploy;
    RecordingDesktopBrowser browser;
    PresetFileDialogs fileDialogs;
    support::RecordingSurface printed;
    bool printerMissing = false;
    ItineraryContext ctx{formState,
                         settings,
                         messages,
                         clock,
                         deploy,
                         browser,
                         fileDialogs,
                         dir.path(),
                         [this]() -> std::unique_ptr<PrintSurface> {
                             if (printerMissing) return nullptr;
                             return std::make_unique<SharedSurface>(printed);
                         }};
    std::unique_ptr<PrintFormHost> host = std::make_unique<PrintFormHost>(ctx);
    HostedPrintForm printForm{*host}; // what the import windows reach the form through

    // Shows the form and makes it the active window, so focus moves as for the agent.
    P_GuoNei* open();
    // Types into a box as the agent does: focus it, select all, type.
    static void type(QWidget* box, const QString& text);
    // Timer1 ticks now: the print button is back.
    static void tick(P_GuoNei* form);
    // Moves the focus away from whatever box has it.
    static void leave(P_GuoNei* form);
    // Lets deferred deletes and queued calls run.
    static void settle();
};

} // namespace itin::testing
