#pragma once
// The one message box of both programs: a single OK button over the active window;
// questions with Yes and No. print shows no icon; the updater's boxes carry the
// information icon.
#include "common/messages.h"

namespace forms {

class BoxMessages : public common::Messages {
public:
    enum class Icon { None, Information };
    explicit BoxMessages(QString defaultTitle, Icon icon = Icon::None)
        : common::Messages(std::move(defaultTitle)), icon_(icon) {}

protected:
    void deliver(const QString& text, const QString& title) override;
    bool question(const QString& text, const QString& title) override;

private:
    Icon icon_;
};

} // namespace forms
