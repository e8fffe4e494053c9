#pragma once
// What an import gets from the program: the print form (its command registry, the owner of
// the windows opened from it, the form itself behind BookingForm, its place on the screen),
// the itinerary module state and seams, and the pages module with the one web profile, loaded
// on first use. The program owns all of it and builds the context once. The platform
// retrieval alone also gets the form's RetrievalForm.
#include "browser/web_module.h"
#include "itinerary/forms/form_commands.h"

#include <functional>

namespace browser {
class BrowserProfile;
}
namespace itin {
class BookingForm;
class FormPlacement;
class PrintFormHost;
struct ItineraryContext;
} // namespace itin

namespace ximport {

struct ImportContext {
    itin::PrintFormHost& printForms;   // commands(), ownerWindow(), formUnloaded
    itin::BookingForm& printForm;      // the record the windows fill
    itin::FormPlacement& placement;    // where the form is, to place a window beside it
    itin::ItineraryContext& itinerary; // PrintFormState, settings, messages, clock, deploy values
    // The pages module, loaded on the first call; null when it cannot be (the agent was told).
    std::function<browser::WebModule*()> pages;
    // The one web profile; asked for only once the pages module is there.
    std::function<browser::BrowserProfile&()> profile;
};

// A command handler for an import whose window shows a page: the pages module makes its
// opener on the first click (make, a method of WebModule), and the opener opens the window
// then and on every later click.
using PageOpener = std::function<void()> (browser::WebModule::*)(ImportContext&);
inline std::function<void(itin::P_GuoNei&)> OpenFromPages(ImportContext& ctx, PageOpener make) {
    return [&ctx, make, open = std::function<void()>()](itin::P_GuoNei&) mutable {
        if (!open)
            if (browser::WebModule* pages = ctx.pages()) open = (pages->*make)(ctx);
        if (open) open();
    };
}

} // namespace ximport
