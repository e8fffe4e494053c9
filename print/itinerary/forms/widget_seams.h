#pragma once
// Desktop implementations of the seams: the open-file dialog, the system web browser.
// Message boxes: forms::BoxMessages.
#include "common/desktop.h"
#include "common/messages.h"

namespace itin {

class WidgetFileDialogs : public common::FileDialogs {
public:
    QString openFile(const QString& title, const QString& folder, const QString& filter) override;
    QString saveFile(const QString& title, const QString& folder, const QString& filter) override;
};

class SystemDesktopBrowser : public common::DesktopBrowser {
public:
    bool open(const QString& url) override;
};

} // namespace itin
