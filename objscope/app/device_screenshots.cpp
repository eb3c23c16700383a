#include "app/device_screenshots.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "app/screenshots.h"
#include "devicewin/object_set_download.h"
#include "devicewin/tfrm_add_object.h"
#include "devicewin/tfrm_eob_test.h"
#include "devicewin/tfrm_exe_method.h"
#include "devicewin/tfrm_meter.h"
#include "devicewin/tfrm_prompt_ip.h"
#include "devicewin/tfrm_test_mgr.h"
#include "devicewin/tfrm_view_blob.h"
#include "objectset/file_replacing.h"
#include "windows/event_wait.h"
#include "windows/tfrm_object_list.h"
#include "windows/tfrm_property_list.h"
#include "windows/tprop_grid.h"

namespace objscope {
namespace {

constexpr int kWaitLimitMs = 20000;
constexpr uint16_t kMeterClass = 67;

const TVEKroot* FirstOfClass(const TfrmObjectList& main, uint16_t classId) {
    for (const auto& object : main.Objects()) {
        if (object && object->ClassID() == classId)
            return object.get();
    }
    return nullptr;
}

// A modal window pictured from inside its own event loop (after `prepare`).
bool SaveModalPicture(QDialog& dialog, const QString& folder, const char* name,
                      const std::function<void()>& prepare = {}) {
    bool saved = false;
    QTimer::singleShot(0, &dialog, [&] {
        if (prepare)
            prepare();
        saved = SaveWindowPicture(dialog, folder, name);
        dialog.reject();
    });
    dialog.exec();
    return saved;
}

}  // namespace

bool RenderDeviceWindowScreenshots(TfrmObjectList& main, TfrmPropertyList& properties,
                                   const QString& folder) {
    bool ok = true;
    main.ShowTestManager();
    main.TestManager()->GetTests();
    ok &= SaveWindowPicture(*main.TestManager(), folder, "test-manager.png");
    main.TestManager()->hide();

    main.ShowEOBTest();
    main.EOBTest()->ReadPoints();
    ok &= SaveWindowPicture(*main.EOBTest(), folder, "eob-test.png");
    main.EOBTest()->hide();

    TfrmExeMethod& method = *main.ExeMethod();
    if (const TVEKroot* table = FirstOfClass(main, 11))
        method.SetObject({table->NetHandle(), table->DevHandle(), table->ObjHandle()}, "BLOB (11)");
    method.findChild<QLineEdit*>("edtMethod")->setText("$0C00");
    method.findChild<QPlainTextEdit*>("memDatatoGo")->setPlainText("0, 0, 255, 255");
    ok &= SaveModalPicture(method, folder, "exe-method.png", [&method] { method.Execute(); });
    ok &= SaveModalPicture(*main.AddObjectWindow(), folder, "add-object.png");
    main.PromptIP()->SetAddress(0x7F000002);
    ok &= SaveModalPicture(*main.PromptIP(), folder, "prompt-ip.png");

    // Compare: the device against its own upload with one name changed.
    QString setFile = QDir(folder).filePath("compare.tob.tmp");
    main.UploadObjectsToFile(setFile);
    std::string text;
    if (ReadTextFile(setFile.toStdString(), text)) {
        size_t at = text.find("\"Main PEQ\"");
        if (at != std::string::npos)
            text.replace(at, 10, "\"Side PEQ\"");
        WriteFileReplacing(setFile.toStdString(), text);
        main.CompareObjectsWithFile(setFile);
        if (auto* compare = main.findChild<QDialog*>("frmCompare"))
            ok &= SaveWindowPicture(*compare, folder, "compare-objects.png");
    }
    QFile::remove(setFile);

    if (const TVEKroot* table = FirstOfClass(main, 11)) {
        properties.SetListedObject(*table);
        if (TfrmViewBLOB* blob = properties.OpenBlobData()) {
            ok &= RunEventsUntil([&] { return !blob->Reading() && !blob->Rows().empty(); },
                                 kWaitLimitMs);
            ok &= SaveWindowPicture(*blob, folder, "blob-data.png");
            blob->close();
        }
    }
    if (const TVEKroot* meterObject = FirstOfClass(main, kMeterClass)) {
        properties.SetListedObject(*meterObject);
        properties.show();
        ok &= RunEventsUntil([&] { return !properties.Loading(); }, kWaitLimitMs);
        for (int row = 0; row < properties.Grid()->rowCount(); ++row) {
            auto* property = properties.Grid()->RowProperty(row);
            if (property && (property->PropertyID() & 0x3FFF) == 4096) {
                properties.Grid()->setCurrentCell(row, 0);
                if (TfrmMeter* meter = properties.MonitorValue()) {
                    RunEventsUntil([] { return false; }, 300);
                    ok &= SaveWindowPicture(*meter, folder, "meter.png");
                    meter->close();
                }
            }
        }
        properties.hide();
    }
    return ok;
}

}  // namespace objscope
