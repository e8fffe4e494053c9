#pragma once
// The windows of a signed-in workstation: A_Main holding B_Main and P_GuoNei, and the
// program-wide state they share. Created when the company sign-in succeeds.
#include <QString>

#include <memory>

class DeployConfig;
class Messages;

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

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The main windows without a company sign-in in front of them; runs until A_Main closes.
int RunMainWindows(const QString& programFolder);

} // namespace shell
