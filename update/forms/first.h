#pragma once
// The updater's only window: status line, file counter, progress bar and notes. Two
// seconds after it is shown it runs one update pass, closes and starts print.
#include "update/throttled_view.h"
#include "update/update_run.h"

#include <QTimer>
#include <QWidget>

class QLabel;
class QFrame;

namespace upd {

class First : public QWidget, public UpdateView {
    Q_OBJECT
public:
    // run is called once by Timer1; afterwards the window closes and emits runFinished.
    First(const QString& title, const QString& contact, std::function<void()> run);

    void setStatus(const QString& text) override;
    void setProgressTwips(int width) override;
    void setCounter(const QString& text) override;
    void setHeadline(const QString& text) override;

    QString statusText() const;

signals:
    void runFinished();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    // The labels themselves, behind the throttle.
    class Labels : public DownloadView {
    public:
        explicit Labels(First& w) : w_(w) {}
        void setStatus(const QString& text) override;
        void setProgressTwips(int width) override;

    private:
        First& w_;
    };

    void onTimer();

    QLabel* Label1;
    QLabel* Label2;
    QFrame* Picture1;
    QFrame* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QTimer Timer1;
    Labels labels_{*this};
    ThrottledView progress_{labels_};
    std::function<void()> run_;
    bool running_ = false;
    bool started_ = false;
};

} // namespace upd
