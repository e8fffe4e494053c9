// The font settings dialog: stored choices shown, samples, save, cancel, font download.
#include "support/station.h"

#include "itinerary/forms/p_font.h"

#include "common/fso.h"
#include "support/gui.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QTest>

using namespace itin;
using support::Click;

namespace {

class FontDialog : public support::StationTest {
protected:
    const QStringList faces{"AET", "ACT", "TEC", "Serif"};
    P_font* openDialog(P_GuoNei* form) {
        auto* d = new P_font(*form, faces);
        d->show();
        return d;
    }
    // List1..List4, Check1..Check9 and Label1..Label3 of the dialog.
    static QListWidget* list(P_font* d, int n) { return named<QListWidget>(d, "List", n); }
    static QCheckBox* check(P_font* d, int n) { return named<QCheckBox>(d, "Check", n); }
    static QLabel* label(P_font* d, int n) { return named<QLabel>(d, "Label", n); }
    template <class T> static T* named(P_font* d, const char* stem, int n) {
        return d->findChild<T*>(QLatin1String(stem) + QString::number(n));
    }
};

} // namespace

TEST_F(FontDialog, ShowsTheStoredChoicesAndDisablesTheForm) {
    common::WriteTextFile(dir.filePath("info.ini"),
                          "<setup>\r\n</setup><font>\r\n<fonttype1>ACT</fonttype1>\r\n"
                          "<fonttype2>AET</fonttype2>\r\n<italic2>1</italic2>\r\n<sc>1</sc>\r\n"
                          "</font>");
    P_GuoNei* f = open();
    P_font* d = openDialog(f);
    EXPECT_EQ(d->windowTitle(), "字体设置");
    EXPECT_FALSE(f->isEnabled());
    EXPECT_EQ(list(d, 1)->count(), 4);
    EXPECT_EQ(list(d, 1)->currentItem()->text(), "ACT");
    EXPECT_EQ(list(d, 3)->currentItem()->text(), "AET");
    EXPECT_EQ(list(d, 2)->count(), 65);
    EXPECT_EQ(list(d, 2)->currentRow(), 10) << "18 is the eleventh entry";
    EXPECT_EQ(list(d, 4)->currentRow(), 5) << "13 is the sixth entry";
    EXPECT_EQ(label(d, 1)->text(), "上海浦东");
    EXPECT_EQ(label(d, 2)->text(), "PVG SHA");
    EXPECT_EQ(label(d, 1)->font().pointSize(), 18);
    EXPECT_EQ(label(d, 2)->font().pointSize(), 13);
    EXPECT_TRUE(label(d, 2)->font().italic());
    EXPECT_FALSE(label(d, 1)->font().italic());
    EXPECT_TRUE(check(d, 6)->isChecked());
    EXPECT_TRUE(check(d, 9)->isChecked());
    EXPECT_TRUE(label(d, 3)->text().startsWith("提示：\r\n    1、中文字体为ACT"));
    d->close();
    EXPECT_TRUE(f->isEnabled());
}

TEST_F(FontDialog, EachCheckBoxSetsItsOwnStyle) {
    P_GuoNei* f = open();
    P_font* d = openDialog(f);
    Click(d, "Check8");
    EXPECT_TRUE(label(d, 2)->font().strikeOut());
    EXPECT_FALSE(label(d, 1)->font().strikeOut());
    EXPECT_FALSE(label(d, 2)->font().bold());
    Click(d, "Check1");
    Click(d, "Check3");
    EXPECT_TRUE(label(d, 1)->font().bold());
    EXPECT_TRUE(label(d, 1)->font().underline());
    EXPECT_FALSE(label(d, 1)->font().italic());
    EXPECT_FALSE(label(d, 2)->font().bold());

    list(d, 2)->setCurrentRow(0);
    EXPECT_EQ(label(d, 1)->font().pointSize(), 8);
    list(d, 3)->setCurrentRow(3);
    EXPECT_EQ(label(d, 2)->font().family(), "Serif");
    d->close();
}

TEST_F(FontDialog, CancelChangesNothing) {
    P_GuoNei* f = open();
    common::WriteTextFile(dir.filePath("info.ini"), "<setup>\r\n</setup>\r\n<font>\r\n</font>");
    const FontChoice before = FontChoiceFromSettings(root().settings());
    P_font* d = openDialog(f);
    list(d, 1)->setCurrentRow(1);
    list(d, 4)->setCurrentRow(20);
    Click(d, "Check2");
    Click(d, "Command2");
    EXPECT_TRUE(f->isEnabled());
    const FontChoice after = FontChoiceFromSettings(root().settings());
    EXPECT_EQ(after.face1, before.face1);
    EXPECT_EQ(after.size2, before.size2);
    EXPECT_EQ(after.italic1, before.italic1);
    EXPECT_EQ(common::ReadTextFile(dir.filePath("info.ini")),
              "<setup>\r\n</setup>\r\n<font>\r\n</font>");
}

TEST_F(FontDialog, SaveStoresTheChoices) {
    P_GuoNei* f = open();
    P_font* d = openDialog(f);
    list(d, 1)->setCurrentRow(1);
    list(d, 3)->setCurrentRow(0);
    list(d, 2)->setCurrentRow(12);
    Click(d, "Check4");
    Click(d, "Check5");
    Click(d, "Check9");
    Click(d, "Command1");
    EXPECT_TRUE(f->isEnabled());
    EXPECT_EQ(root().settings().fonttype1, "ACT");
    EXPECT_EQ(root().settings().fonttype2, "AET");
    EXPECT_EQ(root().settings().fontsize1, 20);
    EXPECT_EQ(root().settings().fontsize2, 13);
    EXPECT_TRUE(root().settings().strikethrough1);
    EXPECT_TRUE(root().settings().bold2);
    EXPECT_FALSE(root().settings().bold1);
    EXPECT_TRUE(root().settings().sc);
    const QString info = common::ReadTextFile(dir.filePath("info.ini"));
    EXPECT_TRUE(info.contains("<fonttype1>ACT</fonttype1>\r\n<fontsize1>20</fontsize1>"));
    EXPECT_TRUE(info.contains("<strikethrough1>1</strikethrough1>"));
}

TEST_F(FontDialog, ListsWithoutSelectionSaveTheStoredValues) {
    common::WriteTextFile(
        dir.filePath("info.ini"),
        "<font><fonttype1>NotInstalled</fonttype1><fontsize1>7</fontsize1></font>");
    P_GuoNei* f = open();
    P_font* d = openDialog(f);
    EXPECT_EQ(list(d, 1)->selectedItems().size(), 0);
    EXPECT_EQ(list(d, 2)->selectedItems().size(), 0);
    Click(d, "Command1");
    EXPECT_EQ(root().settings().fonttype1, "NotInstalled");
    EXPECT_EQ(root().settings().fontsize1, 7);
    const QString info = common::ReadTextFile(dir.filePath("info.ini"));
    EXPECT_TRUE(info.contains("<fontsize1>7</fontsize1>")) << info.toStdString();
    EXPECT_TRUE(info.contains("<fonttype1>NotInstalled</fonttype1>"));
}

TEST_F(FontDialog, DownloadOpensThePageAndClosesTheFormOnlyInsideTheMainWindow) {
    // In the main window, in a window of its own (the program's only one), with no browser.
    const struct {
        bool inMainWindow, browserStarts, formCloses;
    } cases[] = {{true, true, true}, {false, true, false}, {true, false, false}};
    for (const auto& c : cases) {
        QMdiArea area;
        root().printForms().setMdiArea(c.inMainWindow ? &area : nullptr);
        area.setVisible(c.inMainWindow);
        desktop.starts = c.browserStarts;
        desktop.opened.clear();
        messages.clear();
        P_GuoNei* f = open();
        Click(openDialog(f), "Command3");
        support::Settle();
        const QString page = "http://127.0.0.1:1/fonts.html";
        EXPECT_EQ(desktop.opened, QList<QString>({page}));
        EXPECT_EQ(root().printForms().form() == nullptr, c.formCloses)
            << c.inMainWindow << c.browserStarts;
        EXPECT_EQ(support::ShownTexts(messages).join(""),
                  c.browserStarts ? "" : "无法启动浏览器，请手工打开字体下载页面：\n" + page);
        root().printForms().unload();
        support::Settle();
    }
}

TEST_F(FontDialog, FormButtonOpensTheDialogOnce) {
    P_GuoNei* f = open();
    Click(f, "Command3");
    auto* d = support::Window<P_font>("P_font");
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_GT(list(d, 1)->count(), 0) << "installed fonts listed";
    d->close();
    support::Settle();
    EXPECT_EQ(support::Window<P_font>("P_font"), nullptr);
}
