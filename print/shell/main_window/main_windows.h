#pragma once
// The windows of a signed-in workstation: A_Main holding B_Main and P_GuoNei, and the
// program-wide state they share. Created when the company sign-in succeeds.
#include <QString>

#include <functional>
#include <memory>

class DeployConfig;
class Messages;

namespace browser {
class BrowserProfile;
}

namespace itin {
class PrintFormHost;
struct ItineraryContext;
} // namespace itin

namespace shell {

class A_Main;

class MainWindows {
public:
    // config and messages must outlive this object.
    MainWindows(const DeployConfig& config, Messages& messages, const QString& programFolder);
    ~MainWindows();

    // A_Main's load: maximised, captioned, with B_Main and then the print form.
    void show();
    A_Main& mainWindow();
    // For the windows that hook into the print form and the menus (the SMS panel).
    itin::PrintFormHost& printFormHost();
    itin::ItineraryContext& itinerary();
    // The one web profile: windows with their own browsers (the imports) use it too.
    browser::BrowserProfile& profile();
    // What "打开短信窗口" does.
    void setOpenSmsPanel(std::function<void()> open);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The main windows without a company sign-in in front of them; runs until A_Main closes.
int RunMainWindows(const QString& programFolder);

} // namespace shell
