#pragma once
// Desktop implementations of the seams: message boxes, the open-file dialog, the system
// web browser.
#include "desktop.h"
#include "messages.h"

namespace itin {

class BoxMessages : public Messages {
public:
    using Messages::Messages;

protected:
    void deliver(const QString& text, const QString& title) override;
};

class WidgetFileDialogs : public FileDialogs {
public:
    QString openFile(const QString& title, const QString& folder, const QString& filter) override;
};

class SystemDesktopBrowser : public DesktopBrowser {
public:
    void open(const QString& url) override;
};

} // namespace itin
