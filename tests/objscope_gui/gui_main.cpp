// The window tests run on one QApplication (offscreen) with the platform
// message pump of the GUI thread.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "platform/qt/message_pump.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    plat::qt::QtMessagePump pump;
    return RUN_ALL_TESTS();
}

#if defined(__SANITIZE_ADDRESS__)
// The font library keeps its pattern caches until exit; they are not leaks of
// objscope and stay out of the sanitizer build's leak report.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}
#endif
