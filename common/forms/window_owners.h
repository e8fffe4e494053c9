#pragma once
// Owned windows for the window manager. Every window of the program that belongs to another
// (made as a Qt::Dialog, so the platform marks it transient) is given its owner as transient
// parent when it shows: the window of its parent widget, or the program's main window for a
// window made without a parent. The window manager then keeps it in front of its owner. A
// window that shows is also fitted into the available area of its screen.
#include <QObject>
#include <QPointer>
#include <QRect>

class QWidget;

namespace forms {

class WindowOwners : public QObject {
public:
    // Watches every window of the application from now on.
    WindowOwners();
    ~WindowOwners() override;
    // Windows without a parent belong to main (the main window, or the print form alone).
    void setMainWindow(QWidget* main) { main_ = main; }
    QWidget* mainWindow() const { return main_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> main_;
};

// The window w belongs to: its parent's window, or main for a window without a parent;
// null for main itself, for the kinds of window nobody owns (menus, tool tips) and when
// there is no owner.
QWidget* OwnerOf(const QWidget* w, QWidget* main);
// Makes owner's window the transient parent of w's window (both get native windows).
void HintOwner(QWidget* w, QWidget* owner);
// The place of a window of frame size `frame` that lies inside `area`: moved in, and made
// smaller when it is larger than the area. `frame` and the result are frame geometries.
QRect FitInside(const QRect& frame, const QRect& area);
// Moves and, if needed, shrinks w so that its frame lies inside its screen's available area.
void FitOnScreen(QWidget* w);

} // namespace forms
