// Linked into test programs that need an event loop: one QCoreApplication for the run.
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class CoreAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QCoreApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[8] = "tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QCoreApplication> app_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new CoreAppEnvironment);

} // namespace
