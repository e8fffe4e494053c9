#pragma once
// A label that acts as a link: a left click released over it emits clicked().
#include <QLabel>
#include <QMouseEvent>

namespace itin {

class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override {
        QLabel::mouseReleaseEvent(e);
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
            emit clicked();
    }
};

} // namespace itin
