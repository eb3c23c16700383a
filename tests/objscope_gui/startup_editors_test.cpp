// Every class with an editor, reached as a user reaches it: the program's
// own start-up, Upload Objects, then Edit on the object in the main window.
// A family that adds an editor adds its objects of tarnsim's default device
// to the table.
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

#include "gui_session.h"

namespace objscope_gui {
namespace {

struct EditorCase {
    uint16_t handle;      // the object on tarnsim's default device
    const char* caption;  // the editor window's caption
};

const EditorCase kEditors[] = {
    {100, "Parametric EQ - Main PEQ"},
    {200, "Vek Crossover - Two-way Crossover"},
    {250, "VEK Linkwitz-Riley Crossover - Linkwitz-Riley Crossover"},
};

class StartupEditors : public GuiSession {
  protected:
    void SetUp() override { StartSession(); }
};

TEST_F(StartupEditors, EditOpensTheEditorOfEveryClassThatHasOne) {
    main_->UploadObjects();
    ASSERT_TRUE(WaitFor([&] { return !main_->Busy(); }, 60000));
    ASSERT_TRUE(TakeMessages().empty());
    for (const EditorCase& c : kEditors) {
        SCOPED_TRACE(testing::Message() << "object " << c.handle);
        const int row = RowOfObject(c.handle);
        ASSERT_GE(row, 0);
        objscope::TVEKroot* object = main_->Objects().at(static_cast<size_t>(row));
        main_->List()->setCurrentRow(row);
        main_->findChild<QPushButton*>("btnEdit")->click();
        auto* window = dynamic_cast<QWidget*>(object->Editor());
        ASSERT_NE(window, nullptr) << "no editor opened for " << object->ClassName();
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->windowTitle().toStdString(), c.caption);
        EXPECT_EQ(ShownCaption(*window), c.caption);
        window->close();
        WaitFor([] { return false; }, 100);
    }
    EXPECT_TRUE(TakeMessages().empty());
}

}  // namespace
}  // namespace objscope_gui
