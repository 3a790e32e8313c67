// Runs GoogleTest with a QApplication. The application is made only when tests run, not when CTest
// lists them at build time, where there may be no display.
#include <memory>

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

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
    // The program's settings, kept session and cached pictures go to folders of this run alone,
    // so no test sees what another left and none touches the user's.
    const QTemporaryDir home;
    for (const char* folder : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
    {
        qputenv(folder, QDir(home.path()).filePath(folder).toLocal8Bit());
    }
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new QApplicationEnvironment(argc, argv));
    return RUN_ALL_TESTS();
}
