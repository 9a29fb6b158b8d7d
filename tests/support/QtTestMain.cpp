// GoogleTest main for tests that need a QApplication: widget tests run on the
// platform chosen by the environment (offscreen under CTest, or a real X server).
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
