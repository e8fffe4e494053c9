#pragma once
// Program-wide flags of the management-system browser, one object per run, owned by the
// program and handed to the main window and the browser window.
namespace shell {

struct WebState {
    // True while the browser's top-level page is the management system's member area.
    bool webSignedIn = false;
    // True while the browser window B_Main is loaded.
    bool browserOpen = false;
};

} // namespace shell
