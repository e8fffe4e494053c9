// The print form driven as the agent drives it: typing, leaving boxes, clicking buttons.
#include "support/station.h"

#include "itinerary/forms/p_pnr.h"

#include "common/fso.h"
#include "support/gui.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QTimer>

using namespace itin;
using FormFixture = support::StationTest;
using support::Box;
using support::Child;
using support::Click;
using support::DrawnText;

namespace {

const char* const kBooking = " 1.张三 2.李四 HX3K8M\n"
                             " 3.  CA1501 Y   SA12MAR  PEKSHA HK2   0830 1040          E T3T2\n"
                             " 4.  MU5101 Y   MO14MAR  SHAPEK HK2   0900 1120          E T2T2\n"
                             " 5.BJS/T BJS/T 000-00000000/ABC TRAVEL\n"
                             " 6.FN/A/FCNY1130.00/SCNY1130.00/C3.00/XCNY100.00/TCNY50.00CN/"
                             "TCNY50.00YQ/ACNY1230.00\n"
                             " 7.SSR FOID CA HK1 NIE12345678/P1\n"
                             " 8.SSR FOID CA HK1 NIE87654321/P2\n"
                             " 9.TN/000-0000000001/P1\n"
                             "10.TN/000-0000000002/P2";

P_Pnr* pnrDialog() {
    return support::Window<P_Pnr>("P_Pnr");
}

} // namespace

TEST_F(FormFixture, BookingReferenceBoxesFollowEachOtherTrimmed) {
    P_GuoNei* f = open();
    type(Box(f, PnrQuery), QStringLiteral(" HX3K8M "));
    EXPECT_EQ(Box(f, PnrCode)->text(), "HX3K8M");
    // PnrCode's change trims PnrQuery back, so only the trailing blank, which leaves
    // PnrCode unchanged, stays where it was typed.
    EXPECT_EQ(Box(f, PnrQuery)->text(), "HX3K8M ");
    type(Box(f, PnrCode), QStringLiteral(" AB12CD"));
    EXPECT_EQ(Box(f, PnrQuery)->text(), "AB12CD");
    EXPECT_EQ(f->record()[PnrQuery], "AB12CD");
}

TEST_F(FormFixture, CodesOfRowsOneToThreeAreCompactedWithCaretAtEnd) {
    P_GuoNei* f = open();
    QLineEdit* flight1 = Box(f, Flight1);
    type(flight1, QStringLiteral("ca 1501"));
    EXPECT_EQ(flight1->text(), "CA1501");
    EXPECT_EQ(flight1->cursorPosition(), 6);
    EXPECT_EQ(f->record()[Flight1], "CA1501");

    type(Box(f, Flight4), QStringLiteral("ca 1501"));
    EXPECT_EQ(Box(f, Flight4)->text(), "ca 1501");
    EXPECT_EQ(f->record()[Flight4], "ca 1501");

    // An edit in the middle of an untouched box keeps the caret where the agent put it.
    QLineEdit* notice = Box(f, Notice);
    type(notice, QStringLiteral("abcd"));
    notice->setCursorPosition(2);
    QTest::keyClicks(notice, QStringLiteral("X"));
    EXPECT_EQ(notice->text(), "abXcd");
    EXPECT_EQ(notice->cursorPosition(), 3);
}

TEST_F(FormFixture, WritersShowInTheBoxes) {
    P_GuoNei* f = open();
    f->record().setField(Carrier2, QStringLiteral("mu 5101"));
    EXPECT_EQ(Box(f, Carrier2)->text(), "MU5101");
    f->record().setField(PnrQuery, QStringLiteral("XYZ789"));
    EXPECT_EQ(Box(f, PnrCode)->text(), "XYZ789");
}

TEST_F(FormFixture, DomesticMoneyBoxesNormaliseOnLeavingAndRecomputeTotal) {
    P_GuoNei* f = open();
    type(Box(f, Fare), QStringLiteral("1200"));
    type(Box(f, CnTax), QStringLiteral("CN 50"));
    EXPECT_EQ(Box(f, Fare)->text(), "CNY 1200.00");
    leave(f);
    EXPECT_EQ(Box(f, CnTax)->text(), "CN 50.00");
    EXPECT_EQ(Box(f, Total)->text(), "CNY 1250.00");

    // A hand-typed total is only reformatted.
    type(Box(f, Total), QStringLiteral("999"));
    leave(f);
    EXPECT_EQ(Box(f, Total)->text(), "CNY 999.00");
    // Other boxes are left as typed.
    type(Box(f, Notice), QStringLiteral("12"));
    leave(f);
    EXPECT_EQ(Box(f, Notice)->text(), "12");
}

TEST_F(FormFixture, InternationalMoneyBoxesStayAsTyped) {
    root().formState().printMode = International;
    P_GuoNei* f = open();
    type(Box(f, Fare), QStringLiteral("1200"));
    leave(f);
    EXPECT_EQ(Box(f, Fare)->text(), "1200");
    EXPECT_EQ(Box(f, Total)->text(), "CNY 0.00");
}

TEST_F(FormFixture, OffsetButtonsStepByOneMillimetreAndSurviveReopening) {
    P_GuoNei* f = open();
    EXPECT_EQ(Child<QLineEdit>(f, "leftr")->text(), "0");
    for (int i = 0; i < 3; ++i)
        Click(f, "cmdtoleft");
    EXPECT_EQ(Child<QLineEdit>(f, "leftr")->text(), "-3 毫米");
    Click(f, "cmdtobum");
    Click(f, "cmdtobum");
    Click(f, "cmdtotop");
    EXPECT_EQ(Child<QLineEdit>(f, "topb")->text(), "1 毫米");
    type(Box(f, AgentCode), QStringLiteral("PEK123"));

    f->close();
    support::Settle();
    EXPECT_EQ(root().printForms().form(), nullptr);
    EXPECT_FALSE(root().formState().printFormOpen);

    f = open();
    EXPECT_TRUE(root().formState().printFormOpen);
    EXPECT_EQ(Child<QLineEdit>(f, "leftr")->text(), "-3 毫米");
    EXPECT_EQ(Child<QLineEdit>(f, "topb")->text(), "1 毫米");
    EXPECT_EQ(f->record()[AgentCode], "PEK123");
    Click(f, "cmdtoright");
    EXPECT_EQ(Child<QLineEdit>(f, "leftr")->text(), "-2 毫米");
}

TEST_F(FormFixture, ShiftedOffsetReadsWhatTheAgentTyped) {
    EXPECT_EQ(ShiftedOffset(QString(), -1), "-1 毫米");
    EXPECT_EQ(ShiftedOffset(QStringLiteral("1.5 毫米"), 1), "2.5 毫米");
    EXPECT_EQ(ShiftedOffset(QStringLiteral("abc"), 1), "1 毫米");
}

TEST_F(FormFixture, PrintIsBlockedUntilTheNextTimerTick) {
    P_GuoNei* f = open();
    auto* timer = Child<QTimer>(f, "Timer1");
    type(Box(f, PnrQuery), QStringLiteral("HX3K8M"));
    type(Box(f, CheckCode), QStringLiteral("0041"));
    timer->stop(); // so only the print can start the block
    Click(f, "cmdprint");
    EXPECT_EQ(printed.pages.size(), 1);
    EXPECT_EQ(Box(f, CheckCode)->text(), "0042");
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 3000);
    Click(f, "cmdprint");
    EXPECT_EQ(printed.pages.size(), 1) << "a second click before the tick prints nothing";

    timer->setInterval(20); // the real tick, sooner
    QSignalSpy tick(timer, &QTimer::timeout);
    ASSERT_TRUE(tick.wait(2000));
    Click(f, "cmdprint");
    EXPECT_EQ(printed.pages.size(), 2);
}

TEST_F(FormFixture, PrintRefusalsLeaveTheCheckCode) {
    P_GuoNei* f = open();
    Click(f, "cmdprint");
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, "请填写PNR");
    EXPECT_TRUE(printed.pages.isEmpty());

    type(Box(f, PnrQuery), QStringLiteral("HX3K8M"));
    type(Box(f, CheckCode), QStringLiteral("0041"));
    printerMissing = true;
    tick(f);
    Click(f, "cmdprint");
    EXPECT_EQ(messages.shown.back().text, "打印机不可用");
    EXPECT_EQ(Box(f, CheckCode)->text(), "0041");
}

TEST_F(FormFixture, PrintsThePassengerShownAtTheFormsOffsetsAndMode) {
    root().formState().printMode = International;
    P_GuoNei* f = open();
    f->record().setPassengers({{"ZHANG/SAN", "1", "T1"}, {"李四", "2", "T2"}});
    type(Box(f, PnrCode), QStringLiteral("HX3K8M"));
    type(Box(f, CheckCode), QStringLiteral("0999"));
    Click(f, "cmdtoright");
    Click(f, "cmdtoright");
    Click(f, "cmdtotop");
    Click(f, "cmdprint");
    Click(f, "cmdnext");
    tick(f);
    Click(f, "cmdprint");

    ASSERT_EQ(printed.pages.size(), 2);
    const DrawnText* first = printed.pages[0].find("ZHANG/SAN");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->x, 1040 + 113);
    EXPECT_EQ(first->y, 740 - 57);
    EXPECT_NE(printed.pages[0].find("0999"), nullptr);
    EXPECT_NE(printed.pages[0].find(QStringLiteral("国际(I)")), nullptr);
    EXPECT_NE(printed.pages[1].find(QStringLiteral("李四")), nullptr);
    EXPECT_NE(printed.pages[1].find("1000"), nullptr);
    EXPECT_EQ(Box(f, CheckCode)->text(), "1001");
}

TEST_F(FormFixture, ModeSwitchDiscardsTheBookingButKeepsOffsets) {
    P_GuoNei* f = open();
    EXPECT_EQ(f->windowTitle(), "国内单据打印——客服QQ：800000001");
    EXPECT_EQ(Child<QLabel>(f, "Label27")->text(), "切换到国际");
    EXPECT_EQ(Child<QComboBox>(f, "Surs1")->count(), 2);

    f->record().setPassengers({{"张三", "1", "T1"}, {"李四", "2", "T2"}});
    type(Box(f, Notice), QStringLiteral("typed"));
    Click(f, "cmdtoright");
    QSignalSpy unloaded(&root().printForms(), &PrintFormHost::formUnloaded);
    QSignalSpy loaded(&root().printForms(), &PrintFormHost::formLoaded);

    Click(f, "Label27");
    support::Settle();
    EXPECT_EQ(unloaded.count(), 1);
    EXPECT_EQ(loaded.count(), 1);
    P_GuoNei* g = root().printForms().form();
    ASSERT_NE(g, nullptr);
    EXPECT_NE(g, f);
    EXPECT_EQ(root().formState().printMode, International);
    EXPECT_TRUE(root().formState().printFormOpen);
    EXPECT_EQ(g->windowTitle(), "国际单据打印——客服QQ：800000001");
    EXPECT_EQ(Child<QLabel>(g, "Label27")->text(), "切换到国内");
    EXPECT_EQ(g->record()[Notice], "");
    EXPECT_EQ(g->record()[PassengerName], "");
    EXPECT_EQ(Child<QLineEdit>(g, "leftr")->text(), "1 毫米");
    EXPECT_TRUE(g->record().passengers().isEmpty());
    EXPECT_EQ(Child<QLabel>(g, "PassengerPosition")->text(), ""); // no stale "第 1/2 位"
    for (QWidget* w :
         {Child(g, "Label15"), static_cast<QWidget*>(Box(g, PnrQuery)), Child(g, "Surs1")})
        EXPECT_FALSE(g->isVisible() && w->isVisible()) << w->objectName().toStdString();
    EXPECT_TRUE(Box(g, PnrCode)->isVisible());
    EXPECT_EQ(Child<QComboBox>(g, "Surs1")->count(), 0);

    // Hidden PnrQuery still follows PnrCode, so the print check passes.
    type(Box(g, PnrCode), QStringLiteral("HX3K8M"));
    EXPECT_EQ(g->record()[PnrQuery], "HX3K8M");

    Click(g, "Label27");
    support::Settle();
    EXPECT_EQ(root().formState().printMode, Domestic);
    EXPECT_TRUE(Child(root().printForms().form(), "Surs1")->isVisible());
}

TEST_F(FormFixture, PassengerButtonsStepThroughTheBooking) {
    P_GuoNei* f = open();
    EXPECT_FALSE(Child<QPushButton>(f, "cmdpau")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(f, "cmdnext")->isEnabled());
    f->record().setPassengers({{"A", "1", "T1"}, {"B", "2", "T2"}, {"C", "3", "T3"}});
    EXPECT_TRUE(Child<QPushButton>(f, "cmdnext")->isEnabled());
    Click(f, "cmdnext");
    Click(f, "cmdnext");
    EXPECT_EQ(Box(f, PassengerName)->text(), "C");
    EXPECT_EQ(Box(f, TicketNumber)->text(), "T3");
    EXPECT_FALSE(Child<QPushButton>(f, "cmdnext")->isEnabled());
    EXPECT_TRUE(Child<QPushButton>(f, "cmdpau")->isEnabled());
    Click(f, "cmdpau");
    EXPECT_EQ(Box(f, IdNumber)->text(), "2");

    // A reopened form starts with a fresh booking: both buttons disabled.
    f->close();
    support::Settle();
    f = open();
    EXPECT_FALSE(Child<QPushButton>(f, "cmdpau")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(f, "cmdnext")->isEnabled());
    EXPECT_TRUE(f->record().passengers().isEmpty());
}

// Run again at 144 dpi as a scaled screen shows it (device pixel ratio 1.5).
TEST_F(FormFixture, LayoutKeepsEveryTextWholeAndTheSwitchClickable) {
    const bool at96 = qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR");
    for (const qint16 mode : {Domestic, International}) {
        root().formState().printMode = mode;
        P_GuoNei* f = open();
        f->record().setPassengers(QList<PassengerRow>(12, {"A", "1", "T1"}));
        f->record().showPassenger(11);
        auto* modeSwitch = Child<QLabel>(f, "Label27");
        auto* position = Child<QLabel>(f, "PassengerPosition");
        EXPECT_EQ(position->text(), QStringLiteral("第 12/12 位"));
        for (QLabel* l : {modeSwitch, position})
            EXPECT_GE(l->width(), l->sizeHint().width()) << l->objectName().toStdString();
        EXPECT_FALSE(modeSwitch->geometry().intersects(position->geometry()));
        EXPECT_EQ(f->childAt(modeSwitch->geometry().center()), modeSwitch);
        const std::pair<int, const char*> money[] = {{Fare, "CNY 12345.50"},
                                                     {CnTax, "CN 1234.00"},
                                                     {YqTax, "YQ 1234.00"},
                                                     {XtTax, "XT 12345.00"},
                                                     {Total, "CNY 23456.50"}};
        for (const auto& [index, text] : money) {
            QLineEdit* b = Box(f, index);
            const int frame = b->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b);
            const int room = b->contentsRect().width() - 2 * frame - 4; // the edit's own margins
            EXPECT_LE(b->fontMetrics().horizontalAdvance(text), room) << text;
        }
        f->close();
        support::Settle();
    }
    if (!at96) return;
    QProcess again;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_SCALE_FACTOR", "1.5");
    again.setProcessEnvironment(env);
    again.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=FormFixture.LayoutKeepsEveryTextWholeAndTheSwitchClickable"});
    ASSERT_TRUE(again.waitForFinished(60000));
    EXPECT_EQ(again.exitCode(), 0) << again.readAllStandardOutput().toStdString();
}

TEST_F(FormFixture, TabFollowsTheScreenRowByRow) {
    P_GuoNei* f = open();
    const auto row = [f](QWidget* w) { return w->mapTo(f, w->rect().center()).y() / 13; };
    QList<QWidget*> chain;
    for (QWidget* w = Box(f, PnrQuery)->nextInFocusChain(); w != Box(f, PnrQuery);
         w = w->nextInFocusChain())
        if (w->isVisibleTo(f) && (w->focusPolicy() & Qt::TabFocus) && f->isAncestorOf(w))
            chain << w;
    for (int i = 1; i < chain.size(); ++i) {
        QWidget *a = chain[i - 1], *b = chain[i];
        const QPoint pa = a->mapTo(f, QPoint()), pb = b->mapTo(f, QPoint());
        const bool sameRowOnwards = std::abs(pa.y() - pb.y()) < 13 && pb.x() > pa.x();
        EXPECT_TRUE(sameRowOnwards || row(b) > row(a))
            << a->objectName().toStdString() << " -> " << b->objectName().toStdString();
    }
    const auto next = [&](QWidget* w) { return chain.value(chain.indexOf(w) + 1); };
    EXPECT_EQ(next(Box(f, YqTax)), Box(f, XtTax));
    EXPECT_EQ(next(Box(f, ValidUntil1)), Box(f, Baggage1));
    EXPECT_EQ(next(Box(f, Baggage1)), Box(f, City2));
}

TEST_F(FormFixture, EnsureLoadedLoadsWithoutShowing) {
    QSignalSpy loaded(&root().printForms(), &PrintFormHost::formLoaded);
    P_GuoNei* f = root().printForms().ensureLoaded();
    ASSERT_NE(f, nullptr);
    EXPECT_FALSE(f->isVisible());
    EXPECT_TRUE(root().formState().printFormOpen);
    EXPECT_EQ(root().printForms().ensureLoaded(), f);
    EXPECT_EQ(root().printForms().show(), f);
    EXPECT_EQ(loaded.count(), 1);
    EXPECT_EQ(f->record()[IssueDate], "2026-3-1");
}

TEST_F(FormFixture, PnrDialogDisablesTheFormAndParsesInDomesticMode) {
    P_GuoNei* f = open();
    Click(f, "Command1");
    P_Pnr* d = pnrDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "PNR内容导入");
    EXPECT_TRUE(d->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(f->isEnabled());
    Child<QPlainTextEdit>(d, "Text1")->setPlainText(QString::fromUtf8(kBooking));
    Click(d, "Command1");
    support::Settle();
    EXPECT_EQ(pnrDialog(), nullptr);
    EXPECT_TRUE(f->isEnabled());
    EXPECT_EQ(Box(f, PnrQuery)->text(), "HX3K8M");
    EXPECT_EQ(Box(f, Flight1)->text(), "CA1501");
    EXPECT_EQ(Box(f, PassengerName)->text(), "张三");
    EXPECT_TRUE(Child<QPushButton>(f, "cmdnext")->isEnabled());

    // Cancel, and closing by the window's own button, both give the form back.
    Click(f, "Command1");
    EXPECT_FALSE(f->isEnabled());
    Click(pnrDialog(), "Command2");
    EXPECT_TRUE(f->isEnabled());
    Click(f, "Command1");
    pnrDialog()->close();
    EXPECT_TRUE(f->isEnabled());
}

TEST_F(FormFixture, PnrDialogDoesNotParseInInternationalMode) {
    root().formState().printMode = International;
    P_GuoNei* f = open();
    const QStringList before = f->record().texts();
    Click(f, "Command1");
    Child<QPlainTextEdit>(pnrDialog(), "Text1")->setPlainText(QString::fromUtf8(kBooking));
    Click(pnrDialog(), "Command1");
    support::Settle();
    EXPECT_EQ(pnrDialog(), nullptr);
    EXPECT_EQ(f->record().texts(), before);
    EXPECT_TRUE(f->record().passengers().isEmpty());
    EXPECT_TRUE(f->isEnabled());
}

TEST_F(FormFixture, PnrDialogKeysAndColumns) {
    // A key pressed in the pasted display: where the focus goes (null: imported and closed).
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* focusAfter;
    } cases[] = {{Qt::Key_Tab, Qt::NoModifier, "Command2"}, // 取消, the next on screen
                 {Qt::Key_Return, Qt::NoModifier, "Text1"},
                 {Qt::Key_Return, Qt::ControlModifier, nullptr}};
    P_GuoNei* f = open();
    for (const auto& c : cases) {
        Click(f, "Command1");
        pnrDialog()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(pnrDialog()));
        auto* text = Child<QPlainTextEdit>(pnrDialog(), "Text1");
        text->setPlainText(QString::fromUtf8(kBooking));
        text->setFocus();
        QTest::keyClick(text, c.key, c.modifiers);
        EXPECT_EQ(Box(f, PassengerName)->text(), c.focusAfter ? "" : "张三") << c.key;
        EXPECT_TRUE(!c.focusAfter || QApplication::focusWidget()->objectName() == c.focusAfter);
        if (pnrDialog()) pnrDialog()->close();
        support::Settle();
    }
    // A fixed-width font with Chinese glyphs two columns wide, so the display lines up.
    Click(f, "Command1");
    const QFontMetricsF m(Child<QPlainTextEdit>(pnrDialog(), "Text1")->font());
    EXPECT_DOUBLE_EQ(m.horizontalAdvance("iiii"), m.horizontalAdvance("WWWW"));
    EXPECT_TRUE(m.inFont(QChar(u'张')));
    EXPECT_NEAR(m.horizontalAdvance(QStringLiteral("张三")), m.horizontalAdvance("WWWW"), 1.0);
}

TEST_F(FormFixture, PnrDialogOutlivingTheFormDoesNotTouchIt) {
    P_GuoNei* f = open();
    Click(f, "Command1");
    QPointer<P_Pnr> d = pnrDialog();
    root().printForms().unload();
    support::Settle();
    EXPECT_TRUE(d.isNull()) << "unloading the form closes its dialogs";
}

TEST_F(FormFixture, HookAttachedOnLoadSeesEveryEditOfEachNewForm) {
    QList<int> changed;
    QObject::connect(&root().printForms(), &PrintFormHost::formLoaded, [&](P_GuoNei* form) {
        form->record().setAfterChangeHook([&](int i) { changed << i; });
    });
    P_GuoNei* f = open();
    changed.clear();
    type(Box(f, Date1), QStringLiteral("2"));
    EXPECT_EQ(changed, QList<int>({Date1}));
    Click(f, "Label27");
    support::Settle();
    changed.clear();
    type(Box(root().printForms().form(), Notice), QStringLiteral("x"));
    EXPECT_EQ(changed, QList<int>({Notice}));
}

TEST_F(FormFixture, MdiChildPlacedBelowTheToolbarAndUnloadedWithItsWindow) {
    QMdiArea area;
    area.resize(1000, 700);
    area.show();
    root().printForms().setMdiArea(&area);
    P_GuoNei* f = root().printForms().show();
    ASSERT_EQ(area.subWindowList().size(), 1);
    QMdiSubWindow* sub = area.subWindowList().first();
    EXPECT_EQ(sub->widget(), f);
    EXPECT_EQ(sub->pos(), QPoint(0, 98));
    EXPECT_EQ(sub->windowTitle(), f->windowTitle());
    Click(f, "cmdtoleft");

    sub->close();
    support::Settle();
    EXPECT_EQ(root().printForms().form(), nullptr);
    EXPECT_FALSE(root().formState().printFormOpen);
    EXPECT_TRUE(area.subWindowList().isEmpty());
    EXPECT_TRUE(common::ReadTextFile(dir.filePath("info.ini")).contains("<leftr>-1 毫米</leftr>"));

    // The mode switch replaces the child in place.
    f = root().printForms().show();
    Click(f, "Label27");
    support::Settle();
    ASSERT_EQ(area.subWindowList().size(), 1);
    EXPECT_EQ(area.subWindowList().first()->widget(), root().printForms().form());
    EXPECT_EQ(area.subWindowList().first()->windowTitle(), "国际单据打印——客服QQ：800000001");
}

TEST_F(FormFixture, MoneyRulesWaitForTheFocusToLandOnAnotherControl) {
    P_GuoNei* f = open();
    type(Box(f, Fare), QStringLiteral("15"));
    // A switch to another program and back is not leaving the box.
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(Box(f, Fare), &away);
    EXPECT_EQ(Box(f, Fare)->text(), "15");
    QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(Box(f, Fare), &back);
    QTest::keyClicks(Box(f, Fare), QStringLiteral("00"));
    leave(f);
    EXPECT_EQ(Box(f, Fare)->text(), "CNY 1500.00");
    // A right-click menu neither; the rules run when the focus then lands elsewhere.
    type(Box(f, CnTax), QStringLiteral("CN 5"));
    QFocusEvent menu(QEvent::FocusOut, Qt::PopupFocusReason);
    QCoreApplication::sendEvent(Box(f, CnTax), &menu);
    EXPECT_EQ(Box(f, CnTax)->text(), "CN 5");
    Box(f, Notice)->setFocus();
    EXPECT_EQ(Box(f, CnTax)->text(), "CN 5.00");
}

TEST_F(FormFixture, OffsetBoxesShowTheirWholeValue) {
    P_GuoNei* f = open();
    for (QLineEdit* box : {Child<QLineEdit>(f, "leftr"), Child<QLineEdit>(f, "topb")}) {
        box->setText(ShiftedOffset(QStringLiteral("-99 毫米"), 0));
        const int needed = box->fontMetrics().horizontalAdvance(box->text());
        EXPECT_LE(needed + 6, box->width()) << box->text().toStdString();
    }
}

TEST_F(FormFixture, TheFormIsInFrontAgainWhenItsDialogsClose) {
    P_GuoNei* f = open();
    QWidget other;
    other.show();
    Child<QPushButton>(f, "Command1")->click();
    ASSERT_NE(pnrDialog(), nullptr);
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    pnrDialog()->close();
    support::Settle();
    EXPECT_TRUE(QTest::qWaitForWindowActive(f));
}
