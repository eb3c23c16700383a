#include "ip_edit.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

namespace busprobe {
namespace {

class IpEditTest : public ::testing::Test {
  protected:
    void SetUp() override {
        edit.show();
        edit.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&edit));
        edit.octet(0)->setFocus();
    }
    QWidget* focused() const { return QApplication::focusWidget(); }
    // Each key goes to the box that has the focus at that moment.
    void type(const char* keys) {
        for (const char* k = keys; *k != '\0'; ++k) {
            QTest::keyClicks(focused(), QString(QLatin1Char(*k)));
        }
    }

    TVEKIPEdit edit;
};

TEST_F(IpEditTest, TypedAddressFillsTheFourOctets) {
    type("192.168.1.20");
    EXPECT_EQ(edit.text(), "192.168.1.20");
    EXPECT_EQ(edit.address(), 0xC0A80114u);
}

TEST_F(IpEditTest, ThreeDigitsMoveOnAndLargeValuesBecome255) {
    type("10");
    EXPECT_EQ(focused(), edit.octet(0));
    type("0");
    EXPECT_EQ(focused(), edit.octet(1));  // no "." needed
    type("300");
    EXPECT_EQ(edit.octet(1)->text(), "255");
    type("x-1");
    EXPECT_EQ(edit.octet(2)->text(), "1");  // only digits
}

TEST_F(IpEditTest, DotOnEmptyBoxStaysAndBackspaceReturns) {
    QTest::keyClick(focused(), Qt::Key_Period);
    EXPECT_EQ(focused(), edit.octet(0));
    type("7.");
    EXPECT_EQ(focused(), edit.octet(1));
    QTest::keyClick(focused(), Qt::Key_Backspace);
    EXPECT_EQ(focused(), edit.octet(0));
    EXPECT_EQ(edit.octet(0)->cursorPosition(), 1);
    EXPECT_EQ(edit.octet(0)->text(), "7");
    QTest::keyClick(focused(), Qt::Key_Right);
    EXPECT_EQ(focused(), edit.octet(1));
    QTest::keyClick(focused(), Qt::Key_Left);
    EXPECT_EQ(focused(), edit.octet(0));
}

TEST_F(IpEditTest, SetTextChecksEveryOctet) {
    QSignalSpy changes(&edit, &TVEKIPEdit::Ononchange);
    edit.setText("1.2.3.4");
    EXPECT_EQ(edit.address(), 0x01020304u);
    EXPECT_GE(changes.count(), 4);
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {{"1.2.3.256", "The fourth node is not a valid number"},
                          {"1.-5.1.1", "The second node is not a valid number"},
                          {"1.1.999.1", "The third node is not a valid number"},
                          {"300.1.1.1", "The first node is not a valid number"}};
    for (const auto& c : cases) {
        try {
            edit.setText(c.text);
            ADD_FAILURE() << c.text << " was taken";
        } catch (const EIPEditError& e) {
            EXPECT_STREQ(e.what(), c.error);
        }
    }
    EXPECT_TRUE(edit.octet(0)->text().isEmpty());  // emptied for the first octet
    edit.setText("");
    EXPECT_EQ(edit.text(), "...");
    EXPECT_EQ(edit.address(), 0u);
    edit.setText("1.2.3.x");  // not a number counts as -1: taken, reads as 0
    EXPECT_EQ(edit.address(), 0x01020300u);
}

}  // namespace
}  // namespace busprobe
