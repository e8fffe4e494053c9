// The network tests need an application object for their event loops.
#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

class AppEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "shell_tests";
        static char* argv[] = {name, nullptr};
        app_ = new QCoreApplication(argc, argv);
    }
    void TearDown() override { delete app_; }

private:
    QCoreApplication* app_ = nullptr;
};

const auto* env = ::testing::AddGlobalTestEnvironment(new AppEnvironment);

} // namespace
