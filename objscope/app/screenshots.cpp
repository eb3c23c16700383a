#include "app/screenshots.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <cstdio>
#include <functional>

#include "app/device_screenshots.h"
#include "windows/event_wait.h"
#include "windows/message_boxes.h"
#include "windows/tfrm_object_list.h"
#include "windows/tfrm_property_list.h"
#include "windows/tprop_grid.h"

namespace objscope {
namespace {

constexpr int kWaitLimitMs = 20000;
constexpr uint16_t kEqBandClass = 65;

bool WaitFor(const std::function<bool()>& done) {
    return RunEventsUntil(done, kWaitLimitMs);
}

}  // namespace

bool SaveWindowPicture(QWidget& window, const QString& folder, const char* name) {
    QApplication::processEvents();
    QString path = QDir(folder).filePath(name);
    bool saved = window.grab().save(path);
    std::fprintf(stderr, "%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

int RenderScreenshots(TfrmObjectList& main, TfrmPropertyList& properties, const QString& folder) {
    SetMessageBoxHandler([](BoxKind, const std::string& text) {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        return BoxAnswer::Yes;
    });
    QDir().mkpath(folder);
    bool ok = true;
    main.show();
    main.GetObjects();
    ok &= WaitFor([&] { return !main.Busy(); });
    // The first object with properties worth showing: a parametric EQ band.
    size_t shown = 0;
    while (shown + 1 < main.Objects().size() && main.Objects().at(shown)->ClassID() != kEqBandClass)
        ++shown;
    main.List()->setCurrentRow(static_cast<int>(shown));
    ok &= SaveWindowPicture(main, folder, "object-list.png");

    TVEKroot* listed = main.Objects().at(shown);
    if (listed) {
        properties.SetListedObject(*listed);
        properties.show();
        ok &= WaitFor([&] { return !properties.Loading(); });
        properties.Grid()->setCurrentCell(2, 0);
        ok &= SaveWindowPicture(properties, folder, "property-list.png");
        properties.resize(properties.width() + 260, properties.height() + 200);
        ok &= SaveWindowPicture(properties, folder, "property-list-large.png");
        properties.hide();
    }

    ok &= RenderDeviceWindowScreenshots(main, properties, folder);

    main.UploadObjects();
    ok &= WaitFor([&] { return !main.Busy(); });
    ok &= SaveWindowPicture(main, folder, "object-list-uploaded.png");
    main.resize(main.width() + 300, main.height() + 200);
    ok &= SaveWindowPicture(main, folder, "object-list-large.png");
    return ok ? 0 : 1;
}

}  // namespace objscope
