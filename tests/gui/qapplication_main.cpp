// Runs GoogleTest with a QApplication. The application is made only when tests run, not when CTest
// lists them at build time, where there may be no display.
#include <memory>

#include <gtest/gtest.h>
#include <QApplication>

namespace
{

class QApplicationEnvironment final : public ::testing::Environment
{
public:
    QApplicationEnvironment(int& argc, char** argv) : argc_(argc), argv_(argv) {}

    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int& argc_;
    char** argv_;
    std::unique_ptr<QApplication> app_;
};

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new QApplicationEnvironment(argc, argv));
    return RUN_ALL_TESTS();
}
