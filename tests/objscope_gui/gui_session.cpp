#include "gui_session.h"

#include <unistd.h>

#include <QGuiApplication>
#include <QListWidget>
#include <QPushButton>
#include <filesystem>
#include <fstream>

#include "server_settings.h"
#include "windows/event_wait.h"
#include "windows/message_boxes.h"
#include "windows/object_list_text.h"

namespace objscope_gui {
namespace {

namespace fs = std::filesystem;

}  // namespace

std::string BinDirectory() {
    const char* dir = std::getenv("VEK_BIN_DIR");
    return dir ? dir : VEK_BIN_DIR;
}

std::string ShownCaption(const QWidget& window) {
    QString caption = window.windowTitle();
    const QString display = QGuiApplication::applicationDisplayName();
    if (display != QCoreApplication::applicationName() && !caption.endsWith(display))
        caption += QString::fromUtf8(" \u2014 ") + display;
    return caption.toStdString();
}

uint16_t ServerReceivePort() {
    static uint16_t port = testing_support::writeServerSettings("AutoShutdown=0\n").receive;
    return port;
}

void GuiSession::StartSession(const QStringList& deviceOptions, const std::string& settings) {
    uint16_t port = ServerReceivePort();
    char pattern[] = "/tmp/objscope-gui.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    previousFolder_ = fs::current_path();
    fs::current_path(folder_);
    std::ofstream("Tarncom.ini") << "[Device Mappings]\r\n"
                                    "MAP1=0,1,1,IP,127.0.0.2\r\n"
                                    "MAP2=0,2,2,IP,127.0.0.3\r\n"
                                 << settings;

    device_ = std::make_unique<QProcess>();
    device_->setProcessChannelMode(QProcess::MergedChannels);
    QStringList arguments{"--listen", QString("127.0.0.2:%1").arg(port), "--trace"};
    device_->start(QString::fromStdString(BinDirectory() + "/tarnsim"), arguments + deviceOptions);
    ASSERT_TRUE(device_->waitForStarted(5000));
    ASSERT_TRUE(WaitFor([&] {
        deviceOutput_ += device_->readAll();
        return deviceOutput_.contains("tarnsim: ready");
    }));

    objscope::SetMessageBoxHandler([this](objscope::BoxKind, const std::string& text) {
        messages_.push_back(text);
        return objscope::BoxAnswer::Yes;
    });
    program_ = std::make_unique<objscope::TObjscopeStartup>();
    program_->StartCommunication(true);
    monitor_ = &program_->Monitor();
    ASSERT_GT(monitor_->RegistrationID(), 0);
    program_->BuildWindows();
    comm_ = &program_->EditorComm();
    main_ = &program_->MainWindow();
    properties_ = &program_->PropertyList();
    main_->show();
}

void GuiSession::TearDown() {
    main_ = nullptr;
    properties_ = nullptr;
    comm_ = nullptr;
    monitor_ = nullptr;
    program_.reset();
    objscope::SetMessageBoxHandler({});
    if (device_) {
        device_->terminate();
        device_->waitForFinished(5000);
    }
    if (!previousFolder_.empty())
        fs::current_path(previousFolder_);
    if (!folder_.empty())
        fs::remove_all(folder_);
}

bool GuiSession::WaitFor(const std::function<bool()>& done, int limitMs) {
    return objscope::RunEventsUntil(done, limitMs);
}

std::vector<std::string> GuiSession::TakeMessages() {
    return std::exchange(messages_, {});
}

std::vector<std::string> GuiSession::ListLines() const {
    std::vector<std::string> lines;
    for (int i = 0; i < main_->List()->count(); ++i)
        lines.push_back(main_->List()->item(i)->text().toStdString());
    return lines;
}

int GuiSession::RowOfObject(uint16_t handle) const {
    for (size_t i = 0; i < main_->Objects().size(); ++i) {
        if (main_->Objects().at(i) && main_->Objects().at(i)->ObjHandle() == handle)
            return static_cast<int>(i);
    }
    return -1;
}

int GuiSession::TraceCount(const QString& word) {
    WaitFor([] { return false; }, 200);  // let the last trace lines arrive
    deviceOutput_ += device_->readAll();
    int count = 0;
    for (const QByteArray& line : deviceOutput_.split('\n')) {
        if (QString::fromUtf8(line).contains(word))
            ++count;
    }
    return count;
}

QWidget* GuiSession::EditUploadedObject(uint16_t handle) {
    if (main_->Objects().empty() || main_->Busy()) {
        main_->UploadObjects();
        EXPECT_TRUE(WaitFor([&] { return !main_->Busy(); }, 60000));
    }
    const int row = RowOfObject(handle);
    EXPECT_GE(row, 0) << handle;
    if (row < 0)
        return nullptr;
    objscope::TVEKroot* object = main_->Objects().at(static_cast<size_t>(row));
    main_->List()->setCurrentRow(row);
    main_->findChild<QPushButton*>("btnEdit")->click();
    auto* window = dynamic_cast<QWidget*>(object->Editor());
    if (window)
        WaitFor([] { return false; }, 300);  // the bindings' first values
    return window;
}

}  // namespace objscope_gui
