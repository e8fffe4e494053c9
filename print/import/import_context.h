#pragma once
// What an import window gets from the program: the print form (its buttons' hooks, and
// the form itself behind PrintFormAccess), the itinerary module state and seams, the one web
// profile and the one HTTP client, whose synchronous waits hold the agent's input. The program owns
// all of it.
namespace browser {
class BrowserProfile;
}
namespace net {
class HttpClient;
}
namespace itin {
class PrintFormAccess;
class PrintFormHost;
struct ItineraryContext;
} // namespace itin

namespace ximport {

struct ImportContext {
    itin::PrintFormHost& printForms;   // setOpen...() hooks, ownerWindow(), formUnloaded
    itin::PrintFormAccess& printForm;  // everything the windows read from or do to the form
    itin::ItineraryContext& itinerary; // PrintFormState, settings, messages, clock, deploy values
    browser::BrowserProfile& profile;
    net::HttpClient& http;
};

} // namespace ximport
