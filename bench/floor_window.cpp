// Floor of the start-up benchmark: a minimal Qt Widgets window with a sign-in form's worth of
// Chinese labels, fields and buttons; it ends once the window has painted, as print does
// with WS_QUIT_WHEN_SHOWN.
#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

class QuitWhenShown : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            qApp->removeEventFilter(this);
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QuitWhenShown quit;
    app.installEventFilter(&quit);
    QWidget w;
    w.setWindowTitle(QStringLiteral("公司登录"));
    auto* grid = new QGridLayout(&w);
    const char16_t* captions[] = {u"公司代码", u"员工编号", u"登录密码", u"记住密码"};
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(new QLabel(QString::fromUtf16(captions[i])), i, 0);
        grid->addWidget(new QLineEdit, i, 1);
    }
    grid->addWidget(new QPushButton(QStringLiteral("登录")), 4, 0);
    grid->addWidget(new QPushButton(QStringLiteral("注册")), 4, 1);
    w.show();
    return app.exec();
}
