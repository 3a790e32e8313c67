#include <QApplication>

#include <gtest/gtest.h>

// Widget tests need one QApplication for the whole process; they run under Xvfb.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
