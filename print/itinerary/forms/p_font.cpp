#include "itinerary/forms/p_font.h"

#include "itinerary/forms/p_guonei.h"
#include "itinerary/forms/twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace itin {
namespace {

QString selectedText(const QListWidget* list) {
    const QListWidgetItem* item = list->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void selectText(QListWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    if (!found.isEmpty()) list->setCurrentItem(found.first());
}

} // namespace

P_font::P_font(P_GuoNei& form) : P_font(form, QFontDatabase::families()) {}

P_font::P_font(P_GuoNei& form, const QStringList& installedFaces)
    : QWidget(DialogOwner(form), Qt::Dialog | Qt::WindowStaysOnTopHint), form_(&form),
      stored_(FontChoiceFromSettings(form.context().settings)) {
    setObjectName(QStringLiteral("P_font"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("字体设置"));
    setFont(SongTi(9));
    build(installedFaces);
    form.setEnabled(false);
}

P_font::~P_font() {
    if (form_) form_->setEnabled(true);
}

void P_font::build(const QStringList& faces) {
    setFixedSize(620, 470);
    const char* const styleNames[4] = {"粗体", "斜体", "下划线", "删除线"};
    QListWidget* lists[4];
    for (int set = 0; set < 2; ++set) {
        auto* frame = new QGroupBox(
            set == 0 ? QStringLiteral("中文字体设置") : QStringLiteral("西文字体设置"), this);
        frame->setGeometry(8 + set * 306, 8, 298, 262);
        auto* face = new QListWidget(frame);
        face->setObjectName(QStringLiteral("List%1").arg(set * 2 + 1));
        face->setGeometry(10, 22, 196, 200);
        auto* size = new QListWidget(frame);
        size->setObjectName(QStringLiteral("List%1").arg(set * 2 + 2));
        size->setGeometry(214, 22, 74, 200);
        lists[set * 2] = face;
        lists[set * 2 + 1] = size;
        for (int s = 0; s < 4; ++s) {
            auto* box = new QCheckBox(QString::fromUtf8(styleNames[s]), frame);
            box->setObjectName(QStringLiteral("Check%1").arg(set * 4 + s + 1));
            box->setGeometry(10 + s * 70, 230, 68, 22);
            checks_[size_t(set * 4 + s)] = box;
        }
    }
    List1_ = lists[0];
    List2_ = lists[1];
    List3_ = lists[2];
    List4_ = lists[3];

    auto* sample = new QGroupBox(QStringLiteral("示例"), this);
    sample->setGeometry(8, 276, 604, 76);
    Label1_ = new QLabel(QStringLiteral("上海浦东"), sample);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setGeometry(10, 18, 290, 52);
    Label2_ = new QLabel(QStringLiteral("PVG SHA"), sample);
    Label2_->setObjectName(QStringLiteral("Label2"));
    Label2_->setGeometry(306, 18, 290, 52);

    checks_[8] = new QCheckBox(this);
    checks_[8]->setObjectName(QStringLiteral("Check9"));
    checks_[8]->setGeometry(8, 360, 22, 22);
    Label3_ = new QLabel(this);
    Label3_->setObjectName(QStringLiteral("Label3"));
    Label3_->setWordWrap(true);
    Label3_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label3_->setGeometry(34, 360, 578, 66);

    Command3_ = new QPushButton(QStringLiteral("下载字体"), this);
    Command3_->setObjectName(QStringLiteral("Command3"));
    Command3_->setGeometry(8, 436, 90, 26);
    Command1_ = new QPushButton(QStringLiteral("保存修改"), this);
    Command1_->setObjectName(QStringLiteral("Command1"));
    Command1_->setGeometry(424, 436, 90, 26);
    Command2_ = new QPushButton(QStringLiteral("取消"), this);
    Command2_->setObjectName(QStringLiteral("Command2"));
    Command2_->setGeometry(522, 436, 90, 26);

    // Samples follow every selection and tick, including the ones made while opening.
    connect(List1_, &QListWidget::itemSelectionChanged, this, [this] { updateSample(1); });
    connect(List2_, &QListWidget::itemSelectionChanged, this, [this] { updateSample(1); });
    connect(List3_, &QListWidget::itemSelectionChanged, this, [this] { updateSample(2); });
    connect(List4_, &QListWidget::itemSelectionChanged, this, [this] { updateSample(2); });
    for (int i = 0; i < 8; ++i)
        connect(checks_[size_t(i)], &QCheckBox::toggled, this,
                [this, i] { updateSample(i < 4 ? 1 : 2); });
    connect(Command1_, &QPushButton::clicked, this, &P_font::Command1_Click);
    connect(Command2_, &QPushButton::clicked, this, &P_font::Command2_Click);
    connect(Command3_, &QPushButton::clicked, this, &P_font::Command3_Click);

    // Opening: the hint, the installed faces, sizes 8 to 72, the stored choices.
    Label3_->setText(
        QStringLiteral("提示：\r\n    1、中文字体为ACT，字号18号；西文字体为AET，字号13号；\r\n"
                       "    2、如果在字体列表中找到不TEC字体可点击“下载字体”安装方法参考说明。"));
    List1_->addItems(faces);
    List3_->addItems(faces);
    selectText(List1_, stored_.face1);
    selectText(List3_, stored_.face2);
    for (int size = 8; size <= 72; ++size) {
        List2_->addItem(QString::number(size));
        List4_->addItem(QString::number(size));
        if (size == form_->context().settings.fontsize1) List2_->setCurrentRow(size - 8);
        if (size == form_->context().settings.fontsize2) List4_->setCurrentRow(size - 8);
    }
    const bool flags[9] = {stored_.bold1,          stored_.italic1,        stored_.underline1,
                           stored_.strikethrough1, stored_.bold2,          stored_.italic2,
                           stored_.underline2,     stored_.strikethrough2, stored_.sc};
    for (int i = 0; i < 9; ++i)
        checks_[size_t(i)]->setChecked(flags[i]);
    updateSample(1);
    updateSample(2);
}

void P_font::updateSample(int set) {
    QLabel* label = set == 1 ? Label1_ : Label2_;
    const QListWidget* face = set == 1 ? List1_ : List3_;
    const QListWidget* size = set == 1 ? List2_ : List4_;
    const int c = set == 1 ? 0 : 4;
    QFont f = label->font();
    const QString family = selectedText(face);
    if (!family.isEmpty()) f.setFamilies({family});
    const QString points = selectedText(size);
    if (!points.isEmpty()) f.setPointSize(points.toInt());
    f.setBold(checks_[size_t(c)]->isChecked());
    f.setItalic(checks_[size_t(c + 1)]->isChecked());
    f.setUnderline(checks_[size_t(c + 2)]->isChecked());
    f.setStrikeOut(checks_[size_t(c + 3)]->isChecked());
    label->setFont(f);
}

FontChoice P_font::choice() const {
    FontChoice c = stored_;
    // A list without a selection keeps the stored value, so a save never writes an
    // empty face or a size that is not a number.
    if (const QString t = selectedText(List1_); !t.isEmpty()) c.face1 = t;
    if (const QString t = selectedText(List3_); !t.isEmpty()) c.face2 = t;
    if (const QString t = selectedText(List2_); !t.isEmpty()) c.size1 = t;
    if (const QString t = selectedText(List4_); !t.isEmpty()) c.size2 = t;
    c.bold1 = checks_[0]->isChecked();
    c.italic1 = checks_[1]->isChecked();
    c.underline1 = checks_[2]->isChecked();
    c.strikethrough1 = checks_[3]->isChecked();
    c.bold2 = checks_[4]->isChecked();
    c.italic2 = checks_[5]->isChecked();
    c.underline2 = checks_[6]->isChecked();
    c.strikethrough2 = checks_[7]->isChecked();
    c.sc = checks_[8]->isChecked();
    return c;
}

void P_font::closeEvent(QCloseEvent* e) {
    if (form_) form_->setEnabled(true);
    QWidget::closeEvent(e);
}

void P_font::Command1_Click() {
    if (form_) {
        SaveFonts(form_->context(), choice());
        emit form_->fontsChanged();
    }
    close();
}

void P_font::Command2_Click() {
    close();
}

void P_font::Command3_Click() {
    QPointer<P_GuoNei> form = form_;
    close();
    if (!form) return;
    ItineraryContext& ctx = form->context();
    const QString page = ctx.deploy.value(QStringLiteral("FontDownloadUrl"));
    if (!ctx.browser.open(page)) {
        ctx.messages.show(QStringLiteral("无法启动浏览器，请手工打开字体下载页面：\n") + page);
        return;
    }
    // The print form closes as well, unless it is the program's only window: closing it
    // would end the program with the booking on screen.
    if (DialogOwner(*form)) form->close();
}

} // namespace itin
