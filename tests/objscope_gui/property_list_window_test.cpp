// The property list window against a simulated device: units, an edit that
// the device then reports back, Set All's series, refusals and the CSV
// export.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "gui_session.h"
#include "windows/tprop_grid.h"

namespace objscope_gui {
namespace {

namespace fs = std::filesystem;

class PropertyListWindow : public GuiSession {
  protected:
    void SetUp() override {
        StartSession();
        main_->GetObjects();
        ASSERT_TRUE(WaitFor([&] { return !main_->Busy(); }));
    }

    // Opens the property list of the listed object with this handle.
    void Open(uint16_t handle) {
        int row = RowOfObject(handle);
        ASSERT_GE(row, 0);
        properties_->SetListedObject(*main_->Objects().at(static_cast<size_t>(row)));
        properties_->show();
        ASSERT_TRUE(WaitFor([&] { return !properties_->Loading(); }));
    }

    objscope::TPropGrid* Grid() const { return properties_->Grid(); }

    // The first row whose label holds `tag`.
    int RowWith(const QString& tag) const {
        for (int row = 0; row < Grid()->rowCount(); ++row) {
            if (Grid()->CellText(0, row).contains(tag))
                return row;
        }
        return -1;
    }

    void Edit(int row, const QString& text) {
        Grid()->setCurrentCell(row, 0);
        QLineEdit* editor = Grid()->ValueEditor();
        ASSERT_TRUE(editor->isVisible());
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
    }

    void Refresh() {
        properties_->Refresh();
        ASSERT_TRUE(WaitFor([&] { return !properties_->Loading(); }));
    }
};

TEST_F(PropertyListWindow, ShowsValuesWithTheirUnits) {
    Open(103);  // a parametric EQ band
    EXPECT_EQ(properties_->windowTitle(), "Object Properties");
    EXPECT_EQ(Grid()->CellText(0, 0), ">>Parametric EQ Band");
    EXPECT_EQ(Grid()->CellText(0, 1), "   [Class ID]");
    EXPECT_EQ(Grid()->CellText(1, 1), "65");
    int gain = RowWith("[3p0]");
    ASSERT_GT(gain, 0);
    EXPECT_EQ(Grid()->CellText(0, gain), "P7 (dB1) [3p0]");
    EXPECT_EQ(Grid()->CellText(1, gain), "-3 dB");
    int frequency = RowWith("[3p3]");
    ASSERT_GT(frequency, 0);
    EXPECT_TRUE(Grid()->CellText(1, frequency).endsWith(" Hz"));
    int name = RowWith("[0p2]");
    EXPECT_EQ(Grid()->CellText(1, name), "Filter 1");
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(PropertyListWindow, AnEditIsSentAndTheDeviceReportsItBack) {
    Open(103);
    int gain = RowWith("[3p0]");
    ASSERT_GT(gain, 0);
    Edit(gain, "4.5");
    EXPECT_EQ(Grid()->CellText(1, gain), "4.5 dB");
    Refresh();
    gain = RowWith("[3p0]");
    EXPECT_EQ(Grid()->CellText(1, gain), "4.5 dB");

    // A Boolean row gets the False/True list; the choice is sent at once.
    int flag = RowWith("[3p1]");
    ASSERT_GT(flag, 0);
    EXPECT_EQ(Grid()->CellText(1, flag), "False");
    Grid()->setCurrentCell(flag, 0);
    QComboBox* choice = Grid()->BooleanEditor();
    ASSERT_TRUE(choice->isVisible());
    EXPECT_EQ(choice->currentIndex(), 0);
    choice->setCurrentIndex(1);
    emit choice->activated(1);
    EXPECT_EQ(Grid()->CellText(1, flag), "True");
    Refresh();
    EXPECT_EQ(Grid()->CellText(1, RowWith("[3p1]")), "True");

    // Above the type's maximum the cell takes the maximum; the device keeps
    // its value when that is outside its own limits (1..8 here).
    int stages = RowWith("[4p2]");
    ASSERT_GT(stages, 0);
    Edit(stages, "999");
    EXPECT_EQ(Grid()->CellText(1, stages), "255");
    Refresh();
    EXPECT_EQ(Grid()->CellText(1, RowWith("[4p2]")), "2");
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(PropertyListWindow, TextButtonRelabelsRowsWithTheDeviceDescriptions) {
    Open(104);  // the second band: the device describes the class
    EXPECT_EQ(Grid()->CellText(0, RowWith("[3p0]")), "P7 (dB1) [3p0]");
    auto* text = properties_->findChild<QPushButton*>("btnGetText");
    ASSERT_NE(text, nullptr);
    QTest::mouseClick(text, Qt::LeftButton);
    const std::pair<const char*, const char*> labels[] = {
        {"[0p2]", "Object Name  [0p2]"}, {"[3p0]", "Gain  [3p0]"},
        {"[3p1]", "Polarity  [3p1]"},    {"[3p3]", "Center Freq  [3p3]"},
        {"[3p5]", "Filter Q  [3p5]"},    {"[4p2]", "Filter Order  [4p2]"},
    };
    for (const auto& [tag, label] : labels) {
        int row = RowWith(tag);
        ASSERT_GT(row, 0) << tag;
        EXPECT_EQ(Grid()->CellText(0, row).toStdString(), label);
    }
    EXPECT_EQ(Grid()->CellText(1, RowWith("[0p2]")), "Filter 2");
    EXPECT_GT(TraceCount("Method 1031"), 0);

    // Once loaded, a refresh asks for the texts again after the values.
    Refresh();
    EXPECT_TRUE(WaitFor([&] { return Grid()->CellText(0, RowWith("[3p0]")) == "Gain  [3p0]"; }));
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(PropertyListWindow, SetPropRefusesRowsWithoutAnObject) {
    Open(103);
    Grid()->setCurrentCell(0, 0);
    properties_->SetProp();
    Grid()->setCurrentCell(1, 0);  // [Class ID]: editable, never sent
    properties_->SetProp();
    auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "Non-Property Row is Selected");
    EXPECT_EQ(messages[1], "Non-Property Row is Selected");
}

TEST_F(PropertyListWindow, SetAllWritesTheSeriesOfObjects) {
    Open(103);  // filters 103, 104, 105 of the same set
    auto* increment = properties_->findChild<QLineEdit*>("edtObjIDInc");
    auto* count = properties_->findChild<QLineEdit*>("edtNumbObjs");
    properties_->SetMulti();
    EXPECT_EQ(increment->text(), "50");
    EXPECT_EQ(count->text(), "16");
    increment->setText("1");
    count->setText("3");
    int gain = RowWith("[3p0]");
    Grid()->SetCellText(1, gain, "1.5 dB");
    Grid()->setCurrentCell(gain, 0);
    properties_->SetAll();
    EXPECT_TRUE(TakeMessages().empty());
    properties_->hide();
    for (uint16_t handle : {104, 105}) {
        Open(handle);
        EXPECT_EQ(Grid()->CellText(1, RowWith("[3p0]")), "1.5 dB") << handle;
        properties_->hide();
    }

    increment->setText("0");
    properties_->SetAll();
    auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Invalid edit box entries");
}

TEST_F(PropertyListWindow, AnAnswerForAnEarlierShowingIsNotMixedIn) {
    // Shown and hidden again before the answer came: the answer is dropped.
    properties_->SetListedObject(*main_->Objects().at(static_cast<size_t>(RowOfObject(103))));
    properties_->show();
    properties_->hide();
    EXPECT_FALSE(properties_->Loading());
    Open(104);
    WaitFor([] { return false; }, 300);  // time for a late answer to arrive
    int names = 0;
    for (int row = 0; row < Grid()->rowCount(); ++row)
        names += Grid()->CellText(0, row).contains("[0p2]") ? 1 : 0;
    EXPECT_EQ(names, 1);
    EXPECT_EQ(Grid()->CellText(1, RowWith("[0p2]")), "Filter 2");
}

std::string FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST_F(PropertyListWindow, ExportMatchesTheFixture) {
    Open(103);
    fs::path file = fs::path(folder_) / "band.csv";
    properties_->ExportTo(QString::fromStdString(file.string()));
    auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Export Completed to: " + file.string());
    EXPECT_EQ(FileBytes(file), FileBytes(fs::path(VEK_FIXTURE_DIR) / "object103.csv"));

    fs::path missing = fs::path(folder_) / "no such folder" / "x.csv";
    properties_->ExportTo(QString::fromStdString(missing.string()));
    messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].starts_with("Export Failed: ")) << messages[0];
    EXPECT_FALSE(fs::exists(missing.parent_path()));
}

}  // namespace
}  // namespace objscope_gui
