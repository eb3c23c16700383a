// GoogleTest main with a QCoreApplication on the main thread, so the tests
// run on a thread with Qt's event dispatcher as a GUI thread would.
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
