// What the window tests of the inline processors' editors share: a session
// against tarnsim's default device in which an object's editor is opened
// the way a user opens it (Upload Objects, select, Edit), the device's
// values are read and set by separate requests (another client), and the
// user types into fields and picks items.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <cmath>

#include "gui_session.h"
#include "values/property_typed_values.h"

namespace objscope_gui {

class InlineEditorSession : public GuiSession {
  protected:
    void SetUp() override { StartSession(DeviceOptions()); }
    virtual QStringList DeviceOptions() { return {}; }

    // Uploads the device once and returns the built object with this handle.
    objscope::TVEKroot* Object(uint16_t handle) {
        if (!uploaded_) {
            main_->UploadObjects();
            EXPECT_TRUE(WaitFor([&] { return !main_->Busy(); }));
            uploaded_ = true;
        }
        // A listed object, or one owned by a listed object.
        for (const auto& listed : main_->Objects()) {
            objscope::ObjectList objects;
            if (listed)
                listed->CollectObjects(objects);
            for (objscope::TVEKroot* object : objects)
                if (object->ObjHandle() == handle)
                    return object;
        }
        return nullptr;
    }

    // Opens the object's editor with Edit and lets the first reads return.
    template <class Form>
    Form* OpenEditor(uint16_t handle) {
        objscope::TVEKroot* object = Object(handle);
        if (!object)
            return nullptr;
        main_->List()->setCurrentRow(RowOfObject(handle));
        main_->findChild<QPushButton*>("btnEdit")->click();
        auto* form = dynamic_cast<Form*>(object->Editor());
        if (form)
            WaitFor([] { return false; }, 300);
        return form;
    }

    // The device's value of a property, read by a separate request into a
    // value of the type the built object holds it in.
    double DeviceValue(uint16_t handle, uint16_t id) {
        objscope::TVEKroot* object = Object(handle);
        const objscope::TVEKPropertyBase* held = object ? object->FindProperty(id) : nullptr;
        if (!held)
            return -1e9;
        std::unique_ptr<objscope::TVEKPropertyBase> value = held->CreateSame();
        value->SetPropertyID(id);
        objscope::TTarn_Property_Link link(0, 1, handle, value.get());
        const auto* number = dynamic_cast<const objscope::TU32MultiValue*>(value.get());
        return monitor_->GetPropertyNow(link) == 0 && number ? number->GetData() : -1e9;
    }
    // Waits until the device holds `expected`.
    bool DeviceReaches(uint16_t handle, uint16_t id, double expected, double tolerance = 1e-6) {
        return WaitFor([&] { return std::fabs(DeviceValue(handle, id) - expected) <= tolerance; },
                       3000);
    }
    // Another client sets a value on the device.
    template <class Property>
    void SetOnDevice(uint16_t handle, uint16_t id, double value) {
        Property property;
        property.SetPropertyID(id);
        property.SetData(value);
        objscope::TTarn_Property_Link link(0, 1, handle, &property);
        ASSERT_GE(monitor_->SetPropertyWait(link), 0);
    }

    // The user types into a field and presses Enter.
    static void TypeInto(QLineEdit* field, const QString& text) {
        ASSERT_NE(field, nullptr);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }
    // The user picks an item of a list.
    static void Choose(QComboBox* box, const QString& item) {
        ASSERT_NE(box, nullptr);
        const int index = box->findText(item);
        ASSERT_GE(index, 0) << item.toStdString();
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    // Saves a picture of the window when VEK_SCREENSHOT_DIR is set.
    static void SaveScreenshot(QWidget* window, const char* file) {
        const QByteArray folder = qgetenv("VEK_SCREENSHOT_DIR");
        if (folder.isEmpty() || !window)
            return;
        QApplication::processEvents();
        EXPECT_TRUE(window->grab().save(QString(folder) + "/" + file)) << file;
    }

    bool uploaded_ = false;
};

}  // namespace objscope_gui
