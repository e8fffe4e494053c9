// The font settings dialog: stored choices shown, samples, save, cancel, font download.
#include "tests/itinerary/form_fixture.h"

#include "itinerary/forms/p_font.h"

#include "common/fso.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace itin;

namespace {

class FontDialog : public itin::testing::FormFixture {
protected:
    const QStringList faces{"AET", "ACT", "TEC", "Serif"};
    P_font* openDialog(P_GuoNei* form) {
        auto* d = new P_font(*form, faces);
        d->show();
        return d;
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
    EXPECT_EQ(d->List1()->count(), 4);
    EXPECT_EQ(d->List1()->currentItem()->text(), "ACT");
    EXPECT_EQ(d->List3()->currentItem()->text(), "AET");
    EXPECT_EQ(d->List2()->count(), 65);
    EXPECT_EQ(d->List2()->currentRow(), 10) << "18 is the eleventh entry";
    EXPECT_EQ(d->List4()->currentRow(), 5) << "13 is the sixth entry";
    EXPECT_EQ(d->Label1()->text(), "上海浦东");
    EXPECT_EQ(d->Label2()->text(), "PVG SHA");
    EXPECT_EQ(d->Label1()->font().pointSize(), 18);
    EXPECT_EQ(d->Label2()->font().pointSize(), 13);
    EXPECT_TRUE(d->Label2()->font().italic());
    EXPECT_FALSE(d->Label1()->font().italic());
    EXPECT_TRUE(d->Check(6)->isChecked());
    EXPECT_TRUE(d->Check(9)->isChecked());
    EXPECT_TRUE(d->Label3()->text().startsWith("提示：\r\n    1、中文字体为ACT"));
    d->close();
    EXPECT_TRUE(f->isEnabled());
}

TEST_F(FontDialog, EachCheckBoxSetsItsOwnStyle) {
    P_GuoNei* f = open();
    P_font* d = openDialog(f);
    QTest::mouseClick(d->Check(8), Qt::LeftButton);
    EXPECT_TRUE(d->Label2()->font().strikeOut());
    EXPECT_FALSE(d->Label1()->font().strikeOut());
    EXPECT_FALSE(d->Label2()->font().bold());
    QTest::mouseClick(d->Check(1), Qt::LeftButton);
    QTest::mouseClick(d->Check(3), Qt::LeftButton);
    EXPECT_TRUE(d->Label1()->font().bold());
    EXPECT_TRUE(d->Label1()->font().underline());
    EXPECT_FALSE(d->Label1()->font().italic());
    EXPECT_FALSE(d->Label2()->font().bold());

    d->List2()->setCurrentRow(0);
    EXPECT_EQ(d->Label1()->font().pointSize(), 8);
    d->List3()->setCurrentRow(3);
    EXPECT_EQ(d->Label2()->font().family(), "Serif");
    d->close();
}

TEST_F(FontDialog, CancelChangesNothing) {
    P_GuoNei* f = open();
    common::WriteTextFile(dir.filePath("info.ini"), "<setup>\r\n</setup>\r\n<font>\r\n</font>");
    const FontChoice before = FontChoiceFromSettings(settings);
    P_font* d = openDialog(f);
    d->List1()->setCurrentRow(1);
    d->List4()->setCurrentRow(20);
    QTest::mouseClick(d->Check(2), Qt::LeftButton);
    QTest::mouseClick(d->Command2(), Qt::LeftButton);
    EXPECT_TRUE(f->isEnabled());
    const FontChoice after = FontChoiceFromSettings(settings);
    EXPECT_EQ(after.face1, before.face1);
    EXPECT_EQ(after.size2, before.size2);
    EXPECT_EQ(after.italic1, before.italic1);
    EXPECT_EQ(common::ReadTextFile(dir.filePath("info.ini")),
              "<setup>\r\n</setup>\r\n<font>\r\n</font>");
}

TEST_F(FontDialog, SaveStoresTheChoices) {
    P_GuoNei* f = open();
    P_font* d = openDialog(f);
    d->List1()->setCurrentRow(1);
    d->List3()->setCurrentRow(0);
    d->List2()->setCurrentRow(12);
    QTest::mouseClick(d->Check(4), Qt::LeftButton);
    QTest::mouseClick(d->Check(5), Qt::LeftButton);
    QTest::mouseClick(d->Check(9), Qt::LeftButton);
    QTest::mouseClick(d->Command1(), Qt::LeftButton);
    EXPECT_TRUE(f->isEnabled());
    EXPECT_EQ(settings.fonttype1, "ACT");
    EXPECT_EQ(settings.fonttype2, "AET");
    EXPECT_EQ(settings.fontsize1, 20);
    EXPECT_EQ(settings.fontsize2, 13);
    EXPECT_TRUE(settings.strikethrough1);
    EXPECT_TRUE(settings.bold2);
    EXPECT_FALSE(settings.bold1);
    EXPECT_TRUE(settings.sc);
    const QString info = common::ReadTextFile(dir.filePath("info.ini"));
    EXPECT_TRUE(info.contains("<fonttype1>ACT</fonttype1>\r\n<fontsize1>20</fontsize1>"));
    EXPECT_TRUE(info.contains("<strikethrough1>1</strikethrough1>"));
}

TEST_F(FontDialog, ListsWithoutSelectionSaveTheStoredValues) {
    common::WriteTextFile(dir.filePath("info.ini"),
                       "<font><fonttype1>NotInstalled</fonttype1><fontsize1>7</fontsize1></font>");
    P_GuoNei* f = open();
    P_font* d = openDialog(f);
    EXPECT_EQ(d->List1()->selectedItems().size(), 0);
    EXPECT_EQ(d->List2()->selectedItems().size(), 0);
    QTest::mouseClick(d->Command1(), Qt::LeftButton);
    EXPECT_EQ(settings.fonttype1, "NotInstalled");
    EXPECT_EQ(settings.fontsize1, 7);
    const QString info = common::ReadTextFile(dir.filePath("info.ini"));
    EXPECT_TRUE(info.contains("<fontsize1>7</fontsize1>")) << info.toStdString();
    EXPECT_TRUE(info.contains("<fonttype1>NotInstalled</fonttype1>"));
}

TEST_F(FontDialog, DownloadOpensThePageAndClosesDialogAndForm) {
    P_GuoNei* f = open();
    QTest::mouseClick(f->cmdtoleft(), Qt::LeftButton);
    QPointer<P_font> d = openDialog(f);
    QTest::mouseClick(d->Command3(), Qt::LeftButton);
    settle();
    EXPECT_EQ(browser.opened, QList<QString>({deploy.value("FontDownloadUrl")}));
    EXPECT_TRUE(d.isNull());
    EXPECT_EQ(host->form(), nullptr);
    EXPECT_FALSE(common.PrintFormOpen);
    EXPECT_TRUE(common::ReadTextFile(dir.filePath("info.ini")).contains("<leftr>-1 毫米</leftr>"));
}

TEST_F(FontDialog, FormButtonOpensTheDialogOnce) {
    P_GuoNei* f = open();
    QTest::mouseClick(f->Command3(), Qt::LeftButton);
    P_font* d = f->fontDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_GT(d->List1()->count(), 0) << "installed fonts listed";
    d->close();
    settle();
    EXPECT_EQ(f->fontDialog(), nullptr);
}
