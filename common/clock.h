#pragma once
// The one source of the current date and time; tests pin it.
#include <QDateTime>

namespace common {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
};

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class FixedClock : public Clock {
public:
    explicit FixedClock(QDateTime at) : at_(std::move(at)) {}
    QDateTime now() const override { return at_; }
    void set(const QDateTime& at) { at_ = at; }
    void advanceSecs(qint64 s) { at_ = at_.addSecs(s); }

private:
    QDateTime at_;
};

} // namespace common
