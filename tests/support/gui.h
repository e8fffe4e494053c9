#pragma once
// Helpers for tests that drive windows offscreen.
#include <QApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace support {

// Processes events until cond holds or ms pass; false on time-out.
inline bool WaitUntil(const std::function<bool()>& cond, int ms = 15000) {
    QDeadlineTimer deadline(ms);
    while (!cond()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

// Lets closed windows go away.
inline void Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// The widget of type T named name inside root, or null.
template <class T = QWidget> T* Child(QObject* root, const char* name) {
    return root ? root->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}

// The window (top-level widget) of type T named name, or null.
template <class T = QWidget> T* Window(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name))
            if (auto* t = qobject_cast<T*>(w)) return t;
    return nullptr;
}

// A left click on the control named name inside root, as the agent clicks.
inline void Click(QObject* root, const char* name) {
    QWidget* w = Child(root, name);
    if (!w) {
        ADD_FAILURE() << "no control " << name;
        return;
    }
    QTest::mouseClick(w, Qt::LeftButton);
}

// The print form's edit box of the record field index.
inline QLineEdit* Box(QObject* form, int index) {
    return form ? form->findChild<QLineEdit*>(QStringLiteral("Pt_%1").arg(index)) : nullptr;
}

} // namespace support
