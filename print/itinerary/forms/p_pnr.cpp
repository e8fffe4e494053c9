#include "itinerary/forms/p_pnr.h"

#include "itinerary/forms/p_guonei.h"
#include "itinerary/forms/twips.h"
#include "itinerary/parser.h"

#include "common/forms/form_keys.h"
#include "common/text_ops.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>

namespace itin {

QFont TerminalFont(double points) {
    // The reservation terminal's columns line up only in a fixed-width font; these carry
    // the Chinese glyphs too, each two columns wide.
    QFont f;
    f.setFamilies({QStringLiteral("新宋体"), QStringLiteral("NSimSun"),
                   QStringLiteral("Noto Sans Mono CJK SC"),
                   QStringLiteral("WenQuanYi Zen Hei Mono")});
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    f.setPointSizeF(points);
    return f;
}

P_Pnr::P_Pnr(P_GuoNei& form)
    : QWidget(DialogOwner(form), Qt::Dialog | Qt::WindowStaysOnTopHint), form_(&form) {
    setObjectName(QStringLiteral("P_Pnr"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("PNR内容导入"));
    setFont(SongTi(9));
    setFixedSize(TwipRect(0, 0, 8055, 5295).size());

    Text1_ = new QPlainTextEdit(this);
    Text1_->setObjectName(QStringLiteral("Text1"));
    Text1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1_->setFont(TerminalFont(14.25));
    // Tab leaves the text for the buttons; the display holds no tabs of its own.
    Text1_->setTabChangesFocus(true);
    Text1_->setStyleSheet(
        QStringLiteral("QPlainTextEdit { color: rgb(0, 192, 0); background-color: black; }"));
    PlaceTwips(Text1_, 0, 0, 8055, 4695);

    Command2_ = new QPushButton(QStringLiteral("取消"), this);
    Command2_->setObjectName(QStringLiteral("Command2"));
    PlaceTwips(Command2_, 4920, 4800, 1335, 375);
    Command1_ = new QPushButton(QStringLiteral("导入"), this);
    Command1_->setObjectName(QStringLiteral("Command1"));
    PlaceTwips(Command1_, 6480, 4800, 1335, 375);
    connect(Command1_, &QPushButton::clicked, this, &P_Pnr::Command1_Click);
    connect(Command2_, &QPushButton::clicked, this, &P_Pnr::Command2_Click);
    // Ctrl+Enter imports from inside the text, where Enter starts a new line.
    for (const QKeyCombination keys : {Qt::CTRL | Qt::Key_Return, Qt::CTRL | Qt::Key_Enter})
        connect(new QShortcut(QKeySequence(keys), this), &QShortcut::activated, Command1_,
                &QPushButton::click);
    forms::OrderTabsByLayout(this);

    form.setEnabled(false);
}

P_Pnr::~P_Pnr() {
    // However the dialog goes, the print form works again.
    if (form_) form_->setEnabled(true);
}

void P_Pnr::closeEvent(QCloseEvent* e) {
    if (form_) form_->setEnabled(true);
    QWidget::closeEvent(e);
}

void P_Pnr::Command1_Click() {
    if (form_ && form_->context().formState.printMode == Domestic) {
        ItineraryContext& ctx = form_->context();
        ParseReservationText(common::ToCrLf(Text1_->toPlainText()), form_->record(), ctx.messages,
                             ctx.clock);
    }
    close();
}

void P_Pnr::Command2_Click() {
    close();
}

} // namespace itin
