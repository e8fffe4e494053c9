#pragma once
// Messages shown as modal single-button message boxes over the active window.
#include "messages.h"

namespace shell {

class WidgetMessages : public Messages {
public:
    using Messages::Messages;

protected:
    void deliver(const QString& text, const QString& title) override;
};

} // namespace shell
