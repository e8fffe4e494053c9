#pragma once
// The one message box of the program: a single OK button over the active window, no icon;
// questions with Yes and No.
#include "common/messages.h"

namespace forms {

class BoxMessages : public Messages {
public:
    using Messages::Messages;

protected:
    void deliver(const QString& text, const QString& title) override;
    bool question(const QString& text, const QString& title) override;
};

} // namespace forms
