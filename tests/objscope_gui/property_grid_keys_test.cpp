// The property grid with the keyboard, against a simulated device: walking
// the rows with the arrow keys (through Boolean, text and number rows, each
// opening its editor) writes nothing, and Enter stores an edit and leaves
// the editor with the stored text in sight.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "gui_session.h"
#include "windows/tprop_grid.h"

namespace objscope_gui {
namespace {

namespace fs = std::filesystem;

std::string FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class PropertyGridKeys : public GuiSession {
  protected:
    void SetUp() override {
        savedFile_ = fs::temp_directory_path() / ("grid-keys-" + std::to_string(::getpid()));
        StartSession({"--save", QString::fromStdString(savedFile_.string())});
        main_->GetObjects();
        ASSERT_TRUE(WaitFor([&] { return !main_->Busy(); }));
    }
    void TearDown() override {
        GuiSession::TearDown();
        fs::remove(savedFile_);
    }

    void Open(uint16_t handle) {
        const int row = RowOfObject(handle);
        ASSERT_GE(row, 0);
        properties_->SetListedObject(*main_->Objects().at(static_cast<size_t>(row)));
        properties_->show();
        // The window the user works in has the keyboard.
        QApplication::setActiveWindow(properties_);
        ASSERT_TRUE(WaitFor([&] { return !properties_->Loading(); }));
    }

    objscope::TPropGrid* Grid() const { return properties_->Grid(); }

    int RowWith(const QString& tag) const {
        for (int row = 0; row < Grid()->rowCount(); ++row) {
            if (Grid()->CellText(0, row).contains(tag))
                return row;
        }
        return -1;
    }

    // A key pressed where the keyboard is, as the user presses it.
    void Press(Qt::Key key) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, key);
    }

    std::vector<QString> ValueTexts() const {
        std::vector<QString> texts;
        for (int row = 0; row < Grid()->rowCount(); ++row)
            texts.push_back(Grid()->CellText(1, row));
        return texts;
    }

    // The device's contents as tarnsim saves them when it stops.
    std::string StopDeviceAndReadSave() {
        device_->terminate();
        EXPECT_TRUE(device_->waitForFinished(5000));
        return FileBytes(savedFile_);
    }

    fs::path savedFile_;
};

// The output gain stage holds Booleans (mute, polarity), its name and its
// gain; a band adds a frequency, a Q and small whole numbers.
TEST_F(PropertyGridKeys, WalkingTheRowsWithTheArrowKeysWritesNothing) {
    for (uint16_t handle : {102, 103}) {
        SCOPED_TRACE(testing::Message() << "object " << handle);
        Open(handle);
        const std::vector<QString> before = ValueTexts();
        Grid()->setFocus();
        Grid()->setCurrentCell(1, 0);
        int booleans = 0;
        int texts = 0;
        for (int step = 1; step < Grid()->rowCount(); ++step) {
            booleans += Grid()->BooleanEditor()->isVisible() ? 1 : 0;
            texts += Grid()->ValueEditor()->isVisible() ? 1 : 0;
            Press(Qt::Key_Down);
        }
        for (int step = 1; step < Grid()->rowCount(); ++step)
            Press(Qt::Key_Up);
        EXPECT_EQ(Grid()->currentRow(), 1);
        EXPECT_GT(booleans, 0);
        EXPECT_GT(texts, 2);
        EXPECT_EQ(ValueTexts(), before);
        properties_->hide();
    }
    EXPECT_EQ(TraceCount("TarnSet"), 0);
    EXPECT_TRUE(TakeMessages().empty());

    // What the device holds is what a device that nobody touched holds.
    const std::string walked = StopDeviceAndReadSave();
    fs::path untouchedFile = savedFile_.string() + ".untouched";
    QProcess untouched;
    untouched.start(QString::fromStdString(BinDirectory() + "/tarnsim"),
                    {"--listen", QString("127.0.0.4:%1").arg(ServerReceivePort()), "--save",
                     QString::fromStdString(untouchedFile.string())});
    ASSERT_TRUE(untouched.waitForStarted(5000));
    ASSERT_TRUE(WaitFor([&] { return untouched.readAll().contains("tarnsim: ready"); }));
    untouched.terminate();
    ASSERT_TRUE(untouched.waitForFinished(5000));
    EXPECT_FALSE(walked.empty());
    EXPECT_TRUE(walked == FileBytes(untouchedFile)) << "the device's contents changed";
    fs::remove(untouchedFile);
}

// Enter stores the edit, shows the stored text with its unit and leaves the
// editor closed; the arrow keys leaving a changed editor store it too, and a
// Boolean is changed only by choosing it.
TEST_F(PropertyGridKeys, EnterStoresTheEditAndLeavesTheEditor) {
    Open(103);
    const int gain = RowWith("[3p0]");
    ASSERT_GT(gain, 0);
    Grid()->setFocus();
    Grid()->setCurrentCell(gain, 0);
    QLineEdit* editor = Grid()->ValueEditor();
    ASSERT_TRUE(editor->isVisible());
    editor->selectAll();
    QTest::keyClicks(editor, "3.5");
    Press(Qt::Key_Return);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(Grid()->CellText(1, gain), "3.5 dB");
    EXPECT_EQ(Grid()->currentRow(), gain);
    EXPECT_TRUE(WaitFor([&] { return TraceCount("TarnSet") == 1; }));

    // Enter on the grid opens the editor again, with the number to edit.
    Press(Qt::Key_Return);
    ASSERT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->text(), "3.5");
    editor->selectAll();
    QTest::keyClicks(editor, "-2");
    Press(Qt::Key_Down);
    EXPECT_EQ(Grid()->CellText(1, gain), "-2 dB");
    EXPECT_EQ(Grid()->currentRow(), gain + 1);
    EXPECT_TRUE(WaitFor([&] { return TraceCount("TarnSet") == 2; }));

    const int flag = RowWith("[3p1]");
    Grid()->setCurrentCell(flag, 0);
    QComboBox* choice = Grid()->BooleanEditor();
    ASSERT_TRUE(choice->isVisible());
    Press(Qt::Key_Down);
    EXPECT_EQ(Grid()->CellText(1, flag), "False");
    EXPECT_EQ(Grid()->currentRow(), flag + 1);
    EXPECT_EQ(TraceCount("TarnSet"), 2);
    EXPECT_TRUE(TakeMessages().empty());
}

}  // namespace
}  // namespace objscope_gui
