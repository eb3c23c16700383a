#include "app/startup.h"

#include <QCoreApplication>

#include "audio/audio_objects.h"

namespace objscope {

TObjscopeStartup::TObjscopeStartup() {
    ini_.SetFileName(kTarncomFileName);
    settings_ = readTarncomSettings(ini_);
}

TObjscopeStartup::~TObjscopeStartup() {
    mainWindow_.reset();
    requests_.reset();
    editorComm_.reset();
    monitor_.reset();
    monitorForm_.reset();
}

void TObjscopeStartup::StartCommunication(bool monitorWindow) {
    if (monitorWindow)
        monitorForm_ = std::make_unique<TTarn_MonitorForm>();
    monitor_ = std::make_unique<TTarn_Monitor>(settings_, monitorForm_.get());
    if (monitorForm_)
        monitorForm_->SetMonitor(monitor_.get());
    editorComm_ = std::make_unique<TMonitorEditorComm>(*monitor_);
    requests_ = std::make_unique<TMonitorRequests>(*monitor_);
}

void TObjscopeStartup::BuildWindows() {
    // "Edit" on an uploaded object opens its editor window.
    audio::RegisterAudioObjects(*editorComm_);
    mainWindow_ = std::make_unique<TfrmObjectList>(*requests_, Devices());
    propertyList_ = new TfrmPropertyList(
        *requests_, [this] { return mainWindow_->DeviceText(); }, mainWindow_.get());
    mainWindow_->SetPropertyList(propertyList_);
    propertyList_->SetEditorComm(editorComm_.get());
    // Closing the main window ends the program, whatever else is open (the
    // monitor window, editors): they would keep the message loop running.
    QObject::connect(mainWindow_.get(), &TfrmObjectList::Closed, QCoreApplication::instance(),
                     &QCoreApplication::quit, Qt::QueuedConnection);
}

}  // namespace objscope
