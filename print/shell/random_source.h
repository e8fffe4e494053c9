#pragma once
// Uniform values in [0, 1) for the cipher's row and filler draws; tests script them.
#include <QList>
#include <QRandomGenerator>

namespace shell {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual double next() = 0;
};

class SystemRandom : public RandomSource {
public:
    double next() override { return QRandomGenerator::system()->generateDouble(); }
};

// Hands out the listed values in turn, then starts again.
class ScriptedRandom : public RandomSource {
public:
    explicit ScriptedRandom(QList<double> values) : values_(std::move(values)) {}
    double next() override {
        if (values_.isEmpty()) return 0.0;
        const double v = values_[at_ % values_.size()];
        ++at_;
        return v;
    }

private:
    QList<double> values_;
    qsizetype at_ = 0;
};

// A whole number from 1 to n, uniform over the source.
inline int RandomInRange(int n, RandomSource& source) {
    if (n < 1) return 1;
    const int k = int(source.next() * n) + 1;
    return k > n ? n : (k < 1 ? 1 : k);
}

} // namespace shell
