// The property list's loops with a scripted device: the text descriptions
// ("T") and the Set All series, where the device's answers decide how often
// the window asks and sends.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <deque>

#include "model/object_root.h"
#include "values/property_handle_value.h"
#include "windows/device_requests.h"
#include "windows/message_boxes.h"
#include "windows/tfrm_property_list.h"
#include "windows/tprop_grid.h"

namespace objscope_gui {
namespace {

using objscope::TarnAddress;
using Bytes = std::vector<uint8_t>;

struct ScriptedAnswer {
    int32_t result;
    Bytes answer;
};

// Answers the method requests from a script and records the sends.
class ScriptedDevice : public objscope::TDeviceRequests {
  public:
    std::deque<ScriptedAnswer> script;
    int methodRequests = 0;
    std::vector<uint16_t> setObjects;

    int32_t GetAllObjects(TarnAddress, objscope::TVEKList<objscope::TVEKroot>&, uint16_t,
                          objscope::Completion, objscope::Liveness) override {
        return -15;
    }
    int32_t GetAllObjectsPlus(TarnAddress, objscope::TVEKList<objscope::TVEKroot>&,
                              objscope::Completion, objscope::Liveness) override {
        return -15;
    }
    int32_t GetAllClasses(TarnAddress, objscope::TVEKList<objscope::TVEKroot>&,
                          objscope::Completion, objscope::Liveness) override {
        return -15;
    }
    int32_t GetAllProperties(TarnAddress, objscope::TVEKList<objscope::TVEKPropertyBase>&,
                             objscope::Completion, objscope::Liveness) override {
        return -15;
    }
    void SetProperty(const objscope::TTarn_Property_Link& link) override {
        setObjects.push_back(link.Dest_Obj);
    }
    int32_t SetPropertyWait(const objscope::TTarn_Property_Link&) override { return 0; }
    int32_t GetPropertyNow(const objscope::TTarn_Property_Link&, uint32_t) override { return 0; }
    int32_t DeleteObject(objscope::TVEKroot&) override { return 0; }
    int32_t SetDefaultData(uint16_t, uint16_t) override { return 0; }
    int32_t SoftResetFrame(uint16_t, uint16_t) override { return 0; }
    int32_t ActivateMethod(TarnAddress, uint16_t, const Bytes&, Bytes& reply, bool) override {
        ++methodRequests;
        if (script.empty() || methodRequests > 50)
            return -2;
        ScriptedAnswer next = script.front();
        if (script.size() > 1)
            script.pop_front();
        reply = next.answer;
        return next.result;
    }
    std::vector<objscope::DeviceMapping> CopyDeviceMappings() const override { return {}; }
    void SetDeviceAddress(uint16_t, const objscope::DeviceAddress&) override {}
    int RequestTimeout() const override { return 1200; }
    void SetRequestTimeout(int) override {}
    void SetRawBooleanMode(bool) override {}
};

// A text page: count, then per entry the ID, four bytes, length and text.
Bytes Page(std::initializer_list<std::pair<uint16_t, std::string>> entries) {
    Bytes bytes{0, 0, static_cast<uint8_t>(entries.size()), 0};
    for (const auto& [id, text] : entries) {
        bytes.insert(bytes.end(), {static_cast<uint8_t>(id), static_cast<uint8_t>(id >> 8), 0, 0, 0,
                                   0, static_cast<uint8_t>(text.size())});
        bytes.insert(bytes.end(), text.begin(), text.end());
    }
    return bytes;
}

class PropertyListRules : public ::testing::Test {
  protected:
    void SetUp() override {
        objscope::SetMessageBoxHandler([this](objscope::BoxKind, const std::string& text) {
            messages.push_back(text);
            return objscope::BoxAnswer::Yes;
        });
        object.SetAddress(0, 1, 10000);
        object.SetObjectName("Work");
        window = std::make_unique<objscope::TfrmPropertyList>(device, [] { return QString("1"); });
        window->SetFullObject(&object);
        window->show();
    }
    void TearDown() override {
        window.reset();
        objscope::SetMessageBoxHandler({});
    }

    QString Label(uint16_t id) const {
        QString tag = QString::fromStdString(" [0p" + std::to_string(id) + "]");
        for (int row = 1; row < window->Grid()->rowCount(); ++row) {
            if (window->Grid()->CellText(0, row).contains(tag))
                return window->Grid()->CellText(0, row);
        }
        return {};
    }

    ScriptedDevice device;
    objscope::TVEKroot object;
    std::unique_ptr<objscope::TfrmPropertyList> window;
    std::vector<std::string> messages;
};

TEST_F(PropertyListRules, TextPagesRelabelTheirRows) {
    device.script = {{0x8000, Page({{2, "Name of the object"}})}, {0, Page({{6, "On or off"}})}};
    window->LoadTextDescriptions();
    EXPECT_EQ(device.methodRequests, 2);
    EXPECT_EQ(Label(2), "Name of the object  [0p2]");
    EXPECT_EQ(Label(6), "On or off  [0p6]");
    EXPECT_TRUE(messages.empty());
}

TEST_F(PropertyListRules, TextLoopsEndWhenNothingAdvances) {
    QString before = Label(2);
    struct Case {
        const char* what;
        std::deque<ScriptedAnswer> script;
        int requests;
    } cases[] = {
        {"count 0 at once", {{0, Page({})}}, 1},
        {"more announced, entry cut off", {{0x8000, Bytes{0, 0, 5, 0, 2, 0, 0, 0, 0, 0, 200}}}, 1},
        {"a rejection that keeps asking for more", {{0x8001, {}}}, 4},
        {"a rejection", {{5, {}}}, 1},
    };
    for (const auto& c : cases) {
        device.script = c.script;
        device.methodRequests = 0;
        window->LoadTextDescriptions();
        EXPECT_EQ(device.methodRequests, c.requests) << c.what;
        EXPECT_EQ(Label(2), before) << c.what;
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(PropertyListRules, TextTransportErrorsAreShownAfterOneRetry) {
    device.script = {{-2, {}}};
    window->LoadTextDescriptions();
    EXPECT_EQ(device.methodRequests, 2);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], ">> VEKnet error Retrieving Text: -2");
}

TEST_F(PropertyListRules, SetAllStopsBeforeTheObjectHandleOverflows) {
    int row = -1;
    for (int r = 1; r < window->Grid()->rowCount(); ++r) {
        if (window->Grid()->RowObject(r) && window->Grid()->RowProperty(r))
            row = r;
    }
    ASSERT_GT(row, 0);
    window->Grid()->setCurrentCell(row, 0);
    window->SetMulti();
    window->findChild<QLineEdit*>("edtObjIDInc")->setText("30000");
    window->findChild<QLineEdit*>("edtNumbObjs")->setText("3");
    window->SetAll();
    EXPECT_EQ(device.setObjects, (std::vector<uint16_t>{10000, 40000}));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Integer overflow");

    device.setObjects.clear();
    messages.clear();
    // The grid shows the handles and applies them back: show it anew.
    object.SetAddress(0, 1, 10);
    window->hide();
    window->show();
    window->Grid()->setCurrentCell(row, 0);
    window->SetMulti();
    window->findChild<QLineEdit*>("edtObjIDInc")->setText("50");
    window->findChild<QLineEdit*>("edtNumbObjs")->setText("16");
    window->SetAll();
    ASSERT_EQ(device.setObjects.size(), 16u);
    EXPECT_EQ(device.setObjects.front(), 10);
    EXPECT_EQ(device.setObjects.back(), 760);
    EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace objscope_gui
