// GoogleTest main on a Qt GUI thread: the communication layer runs where it
// runs in objscope, with the Qt adapter dispatching its window messages.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/qt/message_pump.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Windows are drawn off screen unless a platform was chosen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    plat::qt::QtMessagePump pump;
    return RUN_ALL_TESTS();
}
