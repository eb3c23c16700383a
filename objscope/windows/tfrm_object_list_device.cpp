// The main window's whole-device work: Upload/Download/Compare Objs with
// File, Add Object, Do Method, the test manager, the EOB test and the IP
// address prompt.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "devicewin/object_set_compare_flow.h"
#include "devicewin/object_set_download.h"
#include "devicewin/object_set_upload.h"
#include "devicewin/panel_set_view.h"
#include "devicewin/tfrm_add_object.h"
#include "devicewin/tfrm_eob_test.h"
#include "devicewin/tfrm_exe_method.h"
#include "devicewin/tfrm_prompt_ip.h"
#include "devicewin/tfrm_test_mgr.h"
#include "protocol/tarn_methods.h"
#include "protocol/tarn_status.h"
#include "windows/controls.h"
#include "windows/message_boxes.h"
#include "windows/tfrm_object_list.h"

namespace objscope {
namespace {

constexpr int32_t kTimeOut = -2;
constexpr char kSetFilter[] = "Tarn Objects (*.tob);;All Files (*.*)";

QString SetFolder() {
    QDir vek(QDir::home().filePath("vek"));
    return vek.exists() ? vek.path() : QDir::homePath();
}

std::optional<std::string> AskSavePath(QWidget* parent) {
    QFileDialog dialog(parent, "File to Save Objects to", SetFolder(), kSetFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("tob");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

QString AskOpenPath(QWidget* parent, const char* title) {
    QFileDialog dialog(parent, title, SetFolder(), kSetFilter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix("tob");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

}  // namespace

void TfrmObjectList::BuildDeviceWindows() {
    frmPromptIP_ = new TfrmPromptIP(this);
    frmTestMgr_ = new TfrmTestMgr(requests_, this);
    frmExeMethod_ = new TfrmExeMethod(requests_, this);
    frmAddObject_ = new TfrmAddObject(this);
    frmEOBTest_ = new TfrmEOBTest(requests_, this);
    setView_ = std::make_unique<TPanelSetView>(this, pnlUpload_, lblUploading_, pbUploadProgress_,
                                               [this] { return cancelUpload_; });
}

bool TfrmObjectList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edtIPAddress_ && event->type() == QEvent::MouseButtonRelease)
        PromptIPAddress();
    return QMainWindow::eventFilter(watched, event);
}

// --- object set files ------------------------------------------------------

bool TfrmObjectList::BeginSetFlow() {
    if (Busy())
        return false;
    uploading_ = true;
    setFlow_ = true;
    cancelUpload_ = false;
    SetBusyButtonsEnabled(false);
    btnDoMethod_->setEnabled(false);
    return true;
}

void TfrmObjectList::EndSetFlow() {
    uploading_ = false;
    setFlow_ = false;
    SetBusyButtonsEnabled(true);
    btnDoMethod_->setEnabled(!objects_.empty());
    if (closeAfterUpload_)
        close();
}

void TfrmObjectList::ListUploadedObjects() {
    if (objects_.empty())
        return;
    objectsMode_ = true;
    fullObjects_ = false;
    ObjectsListed();
}

void TfrmObjectList::UploadObjectsToFile(const QString& path) {
    auto device = DeviceNumber();
    if (!device || !BeginSetFlow())
        return;
    lstObjects_->clear();
    TObjectSetUpload upload(requests_, *setView_, Alive());
    UploadOutcome outcome = upload.Run(
        *device,
        [this, &path]() -> std::optional<std::string> {
            if (!path.isEmpty())
                return path.toStdString();
            return AskSavePath(this);
        },
        objects_);
    ListUploadedObjects();
    if (outcome.written && outcome.incomplete)
        ShowMessage(this, ">> Upload incomplete: an object's data did not come; the file holds " +
                              std::to_string(outcome.objects) + " objects");
    EndSetFlow();
}

void TfrmObjectList::DownloadObjectsFromFile(const QString& path) {
    auto device = DeviceNumber();
    if (!device || !BeginSetFlow())
        return;
    QString chosen = path.isEmpty() ? AskOpenPath(this, "Tarn Object File to Download") : path;
    DownloadOutcome outcome;
    if (!chosen.isEmpty()) {
        TObjectSetDownload download(requests_, *setView_);
        outcome = download.Run(*device, chosen.toStdString());
    }
    EndSetFlow();
    if (outcome.started)
        GetObjects();
}

void TfrmObjectList::CompareObjectsWithFile(const QString& path) {
    auto device = DeviceNumber();
    if (!device || !BeginSetFlow())
        return;
    QString chosen = path.isEmpty() ? AskOpenPath(this, "Tarn Object File to Compare") : path;
    std::optional<ObjectSetDifferences> differences;
    if (!chosen.isEmpty()) {
        TVEKList<TVEKroot> unused;
        differences =
            CompareDeviceWithFile(requests_, *setView_, *device, chosen.toStdString(), Alive());
    }
    EndSetFlow();
    if (!differences)
        return;
    QStringList lines;
    for (const auto& line : differences->lines)
        lines << QString::fromStdString(line);
    lines << QString::fromStdString(differences->TotalLine());
    ShowComparison(lines);
}

void TfrmObjectList::ShowComparison(const QStringList& lines) {
    comparison_ = lines;
    auto* dialog = findChild<QDialog*>("frmCompare");
    if (!dialog) {
        dialog = new QDialog(this);
        dialog->setObjectName("frmCompare");
        dialog->setWindowTitle("Compare Objs with File");
        auto* list = new QListWidget(dialog);
        list->setObjectName("lstDifferences");
        auto* close = Button("btnCloseCompare", "&Close", nullptr, dialog);
        auto* layout = new QVBoxLayout(dialog);
        layout->addWidget(list, 1);
        layout->addWidget(close, 0, Qt::AlignRight);
        connect(close, &QPushButton::clicked, dialog, &QDialog::hide);
        dialog->resize(560, 360);
    }
    auto* list = dialog->findChild<QListWidget*>("lstDifferences");
    list->clear();
    list->addItems(lines);
    dialog->show();
    dialog->raise();
}

// --- new objects and methods ------------------------------------------------

void TfrmObjectList::AddObject() {
    auto device = DeviceNumber();
    if (!device || frmAddObject_->exec() != QDialog::Accepted)
        return;
    const NewObjectNumbers& add = frmAddObject_->Numbers();
    if (add.classId == 0 || add.objectId == 0) {
        ShowError(this, ">>ERROR - Cannot add object of this class/ID");
        return;
    }
    auto payload = addObjectPayload(add.classId, add.objectId, add.ownerId, add.maxBlobEntries);
    std::vector<uint8_t> reply;
    int32_t result =
        requests_.ActivateMethod({0, *device, 0}, kMethodAddObject, payload, reply, true);
    if (result == kTimeOut)
        result = requests_.ActivateMethod({0, *device, 0}, kMethodAddObject, payload, reply, true);
    if (result == 0)
        ShowMessage(this, "Object: " + std::to_string(add.objectId) + "  Added!");
    else
        ShowError(this, ">>ERROR while adding Object\r" + StatusText(result));
}

void TfrmObjectList::DoMethod() {
    int row = lstObjects_->currentRow();
    TVEKroot* object = row < 0 ? nullptr : objects_.at(static_cast<size_t>(row));
    if (!object || !lstObjects_->item(row))
        return;
    frmExeMethod_->SetObject({object->NetHandle(), object->DevHandle(), object->ObjHandle()},
                             lstObjects_->item(row)->text());
    frmExeMethod_->exec();
}

void TfrmObjectList::ShowTestManager() {
    auto device = DeviceNumber();
    if (!device)
        return;
    frmTestMgr_->SetAddress({0, *device, testTag_});
    frmTestMgr_->show();
    frmTestMgr_->raise();
}

void TfrmObjectList::ShowEOBTest() {
    auto device = DeviceNumber();
    if (!device)
        return;
    frmEOBTest_->SetAddresses({0, *device, testTag_}, {0, *device, eobTestTag_});
    frmEOBTest_->show();
    frmEOBTest_->raise();
}

void TfrmObjectList::PromptIPAddress() {
    auto device = DeviceNumber();
    if (!device)
        return;
    auto current = TextToAddress(edtIPAddress_->text().toStdString());
    frmPromptIP_->SetAddress(current ? current->address : 0);
    QPoint corner = edtIPAddress_->mapToGlobal(QPoint(0, 0));
    frmPromptIP_->adjustSize();
    frmPromptIP_->move(corner.x(), corner.y() - frmPromptIP_->height());
    if (frmPromptIP_->exec() == QDialog::Accepted) {
        std::string text = AddressToText(frmPromptIP_->Address());
        if (auto address = TextToAddress(text))
            requests_.SetDeviceAddress(*device, *address);
        edtIPAddress_->setText(QString::fromStdString(text));
    }
    edtIPAddress_->setStyleSheet({});
}

}  // namespace objscope
