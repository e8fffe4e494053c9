#include "tests/itinerary/form_fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace itin::testing {

P_GuoNei* FormFixture::open() {
    P_GuoNei* form = host->show();
    form->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form));
    return form;
}

void FormFixture::type(QWidget* box, const QString& text) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, text);
}

void FormFixture::leave(P_GuoNei* form) {
    support::Child<QPushButton>(form, "cmdprint")->setFocus();
}

void FormFixture::tick(P_GuoNei* form) {
    QMetaObject::invokeMethod(support::Child<QTimer>(form, "Timer1"), "timeout");
}

void FormFixture::settle() {
    support::Settle();
}

} // namespace itin::testing
