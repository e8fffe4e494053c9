// The imports' buttons on the print form, as the program installs them: their places in
// either mode and after a reload, the checks of "导 入" before the pages module is asked
// for its window, and the spreadsheet dialog opened from its button.
#include "import/import_context.h"
#include "import/platform/platform_import.h"
#include "import/spreadsheet/p_excel.h"
#include "import/ticket/ticket_import.h"
#include "itinerary/forms/twips.h"
#include "support/gui.h"
#include "support/station.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPushButton>

using namespace itin;
using support::Box;
using support::Child;
using support::Click;

namespace {

// The buttons as the program installs them; the pages module cannot load here, so a window
// with a page, when asked for, is refused with one message.
class ImportButtons : public support::StationTest {};

} // namespace

TEST_F(ImportButtons, KeepTheirPlacesInEitherModeAndAcrossAReload) {
    const struct {
        const char* name;
        const char* caption;
        QRect twips;
        bool international;
    } buttons[] = {
        {"Cmdinput", "导 入", {3720, 120, 855, 300}, false},
        {"Cmd_piaohao", "票号导入", {5040, 480, 1215, 375}, false},
        {"Cmdd2", "导入表格文件", {2280, 4440, 1695, 375}, false},
        {"cmdpreview", "预览", {4200, 4440, 735, 375}, true},
        {"cmdprintall", "全部打印", {5040, 4440, 975, 375}, true},
        {"cmdreceipts", "打印记录", {6120, 4440, 975, 375}, true},
    };
    P_GuoNei* f = open();
    for (const qint16 mode : {Domestic, International}) {
        if (mode == International) {
            Click(f, "Label27"); // the mode switch reloads the form
            f = root().printForms().form();
            ASSERT_NE(f, nullptr);
        }
        for (const auto& b : buttons) {
            auto* button = Child<QPushButton>(f, b.name);
            EXPECT_EQ(button->text(), QString::fromUtf8(b.caption)) << b.name;
            const QRect r = b.twips;
            EXPECT_EQ(button->geometry(), TwipRect(r.x(), r.y(), r.width(), r.height())) << b.name;
            EXPECT_EQ(button->isVisible(), mode == Domestic || b.international) << b.name;
        }
        EXPECT_FALSE(Child<QPushButton>(f, "cmdstopall")->isVisible());
    }
    // A line has room for what it holds and no more.
    EXPECT_FALSE(
        root().printForms().commands().add({"Extra", "更多", {FormLine::Buttons, 120}, {}}));
}

TEST_F(ImportButtons, PlatformRetrievalChecksBeforeAskingForItsWindow) {
    P_GuoNei* f = open();
    type(Box(f, PnrQuery), QStringLiteral(" HX3K8 "));
    Click(f, "Cmdinput");
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown.back().text, "请输入正确的PNR");
    EXPECT_EQ(root().formState().platformPnr, "HX3K8");

    type(Box(f, PnrQuery), QStringLiteral(" HX3K8M "));
    Click(f, "Cmdinput");
    EXPECT_EQ(messages.shown.back().text, "请选择出票平台");
    EXPECT_TRUE(Child<QComboBox>(f, "Surs1")->view()->isVisible()) << "the selector's list opens";
    Child<QComboBox>(f, "Surs1")->hidePopup();
    EXPECT_EQ(messages.shown.size(), 2) << "the pages module not asked yet";

    Child<QComboBox>(f, "Surs1")->setCurrentIndex(1);
    Click(f, "Cmdinput");
    EXPECT_EQ(messages.shown.size(), 3) << "the pages module asked for its window";
    EXPECT_EQ(root().formState().platformPnr, "HX3K8M");
}

TEST_F(ImportButtons, EachOpensItsWindowOnceAndNoneWhilePrintingAll) {
    P_GuoNei* f = open();
    f->lockPassenger(true);
    for (const char* name : {"Cmdinput", "Cmd_piaohao", "Cmdd2"})
        EXPECT_FALSE(Child(f, name)->isEnabled()) << name;
    f->lockPassenger(false);
    Click(f, "Cmdd2");
    QWidget* sheet = support::Window("P_excel");
    ASSERT_NE(sheet, nullptr);
    Click(f, "Cmdd2");
    EXPECT_EQ(support::Window("P_excel"), sheet);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_TRUE(messages.shown.isEmpty());
    Click(f, "Cmd_piaohao");
    EXPECT_EQ(messages.shown.size(), 1) << "the pages module asked for its window";
}
