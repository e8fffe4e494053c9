#include "update/forms/first.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace upd {

namespace {
constexpr int kTwipsPerPixel = 15;
}

First::First(const QString& title, const QString& contact, std::function<void()> run)
    : run_(std::move(run)) {
    setObjectName(QStringLiteral("first"));
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    Label4 = new QLabel(QStringLiteral("检测是否需要更新……"), this);
    Label1 = new QLabel(QStringLiteral("自动更新程序正在启动……"), this);
    Label2 = new QLabel(this);
    Picture1 = new QFrame(this);
    Picture1->setFrameShape(QFrame::Box);
    Picture1->setFixedSize(kProgressFrameTwips / kTwipsPerPixel, 18);
    Label3 = new QFrame(Picture1);
    Label3->setStyleSheet(QStringLiteral("background: #2a62c9"));
    Label3->setGeometry(0, 0, 0, 18);
    Label5 = new QLabel(
        QStringLiteral("如果在安装过程中出现问题，请及时联系我们，我们随时等待为您解决问题，") +
            contact,
        this);
    Label5->setWordWrap(true);
    for (QWidget* w : {static_cast<QWidget*>(Label4), static_cast<QWidget*>(Label1),
                       static_cast<QWidget*>(Label2), static_cast<QWidget*>(Picture1),
                       static_cast<QWidget*>(Label5)})
        layout->addWidget(w);
    setFixedWidth(Picture1->width() + 40);

    Timer1.setInterval(2000);
    connect(&Timer1, &QTimer::timeout, this, &First::onTimer);
}

void First::setStatus(const QString& text) {
    progress_.setStatus(text);
}
void First::Labels::setStatus(const QString& text) {
    w_.Label1->setText(text);
}
void First::setCounter(const QString& text) {
    Label2->setText(text);
}
void First::setHeadline(const QString& text) {
    Label4->setText(text);
}
QString First::statusText() const {
    return progress_.status().isEmpty() ? Label1->text() : progress_.status();
}

void First::setProgressTwips(int width) {
    progress_.setProgressTwips(width);
}
void First::Labels::setProgressTwips(int width) {
    w_.Label3->setFixedWidth(qBound(0, width / kTwipsPerPixel, w_.Picture1->width()));
}

void First::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (started_) return;
    started_ = true;
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    Timer1.start();
}

void First::closeEvent(QCloseEvent* e) {
    // The files are being replaced: the window stays until the run has ended.
    if (running_) {
        e->ignore();
        return;
    }
    QWidget::closeEvent(e);
}

void First::onTimer() {
    Timer1.stop();
    running_ = true;
    if (run_) run_();
    progress_.flush();
    running_ = false;
    close();
    emit runFinished();
}

} // namespace upd
