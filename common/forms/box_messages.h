#pragma once
// The one message box of both programs: a single OK button over the window it concerns
// (the active window, else the program's main window), centred on it and inside the
// screen, wide enough for its whole title; questions with Yes and No. print shows no icon;
// the updater's boxes carry the information icon.
#include "common/messages.h"

#include <QPointer>

class QMessageBox;
class QWidget;

namespace forms {

class BoxMessages : public common::Messages {
public:
    enum class Icon { None, Information };
    explicit BoxMessages(QString defaultTitle, Icon icon = Icon::None)
        : common::Messages(std::move(defaultTitle)), icon_(icon) {}

    // The window a message concerns when no window of the program is active.
    void setMainWindow(QWidget* main) { main_ = main; }

protected:
    void deliver(const QString& text, const QString& title) override;
    bool question(const QString& text, const QString& title) override;

private:
    QWidget* concerned() const;

    Icon icon_;
    QPointer<QWidget> main_;
};

// The least width of a message box whose title bar shows title whole.
int TitleWidth(const QMessageBox& box, const QString& title);

} // namespace forms
