// Linked into test programs that show widgets: one QApplication (offscreen) for the run.
#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class WidgetAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        app_ = std::make_unique<QApplication>(argc_, argv_);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[8] = "tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new WidgetAppEnvironment);

} // namespace
