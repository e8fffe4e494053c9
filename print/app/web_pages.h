#pragma once
// The pages module's side of browser::WebModule: the web engine's windows and page readers.
// Built into print_web (loaded by print on first use) and linked directly by tests.
#include "browser/web_module.h"

namespace app {

// The one implementation in this build.
browser::WebModule& LinkedWebModule();

} // namespace app
