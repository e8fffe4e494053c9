#pragma once
// What the running print program holds for the vendor service and sign-in: deployment
// values, the HTTP client with its input-dropping wait, message boxes, the module Common and
// the sign-in path.
// The cipher key table is checked here at start-up; a bad one stops the program.
#include "common.h"
#include "sign_in_flow.h"
#include "widget_messages.h"
#include "widget_wait_hook.h"

#include "clock.h"
#include "deploy_config.h"
#include "http_client.h"

#include <memory>

namespace shell {

class VendorSession {
public:
    explicit VendorSession(const QString& programFolder);
    ~VendorSession();

    // False when the key table was refused (the agent has been told).
    bool ready() const { return common_ != nullptr; }
    const QString& startError() const { return error_; }

    const DeployConfig& config() const { return config_; }
    Messages& messages() { return messages_; }
    net::HttpClient& http() { return http_; }
    const Clock& clock() const { return clock_; }
    Common& common() { return *common_; }
    SignInFlow& flow() { return *flow_; }

private:
    DeployConfig config_;
    WidgetMessages messages_;
    WidgetWaitHook waitHook_;
    net::HttpClient http_;
    SystemClock clock_;
    SystemRandom random_;
    QString error_;
    std::unique_ptr<Common> common_;
    std::unique_ptr<SignInFlow> flow_;
};

} // namespace shell
