#include "windows/tfrm_object_list.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "model/class_catalogue.h"
#include "model/object_build.h"
#include "model/object_factory.h"
#include "model/object_properties.h"
#include "protocol/tarn_status.h"
#include "values/property_typed_values.h"
#include "windows/application_title.h"
#include "windows/controls.h"
#include "windows/integer_text.h"
#include "windows/message_boxes.h"
#include "windows/object_list_text.h"
#include "devicewin/panel_set_view.h"
#include "windows/tfrm_property_list.h"

namespace objscope {
namespace {

constexpr uint16_t kTestManagerClass = 226;
constexpr uint16_t kEOBTableClass = 235;
constexpr uint16_t kBootFlagsProperty = 2068;
constexpr uint8_t kBootDefaultObjects = 8;
constexpr int32_t kTimeOutStatus = -2;
constexpr int kInitialTimeoutMs = 1200;
constexpr qint64 kNotSupportedWithinMs = 1000;
constexpr uint16_t kBroadcastDevice = 65535;
constexpr char kNoResponse[] = "No Response or Error in Transmission";
constexpr char kBadDeviceNumber[] = "Invalid Device Number: use 0 to 65535";

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

TfrmObjectList::TfrmObjectList(TDeviceRequests& requests, const std::vector<uint16_t>& devices,
                               QWidget* parent)
    : QMainWindow(parent), requests_(requests) {
    setObjectName("frmObjectList");
    setWindowTitle(kObjectListCaption);
    SetApplicationTitleWindow(this);
    SetApplicationTitle(kApplicationTitle);
    BuildLayout();
    for (uint16_t device : devices)
        cboDevices_->addItem(QString::number(device));
    if (cboDevices_->count() > 0)
        cboDevices_->setCurrentIndex(0);
    DeviceChanged();
    connect(cboDevices_, &QComboBox::currentTextChanged, this, [this] { DeviceChanged(); });
    BuildDeviceWindows();
    requests_.SetRequestTimeout(kInitialTimeoutMs);
}

TfrmObjectList::~TfrmObjectList() {
    // The children outlive this class's part of the object: QWidget's
    // destructor deletes them, and a child losing its focus then (the device
    // box's line edit ends its editing) would call a slot of a form that is
    // no longer a TfrmObjectList.
    for (QObject* child : findChildren<QObject*>()) {
        child->disconnect(this);
    }
}

Liveness TfrmObjectList::Alive() const {
    std::weak_ptr<bool> alive = alive_;
    return [alive] { return !alive.expired(); };
}

// --- layout -------------------------------------------------------------

QWidget* TfrmObjectList::BuildTopRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    cboDevices_ = new QComboBox(row);
    cboDevices_->setObjectName("cboDevices");
    cboDevices_->setEditable(true);
    cboDevices_->setInsertPolicy(QComboBox::NoInsert);
    cboDevices_->setMinimumWidth(90);
    auto* deviceLabel = new QLabel("&Device:", row);
    deviceLabel->setBuddy(cboDevices_);
    edtIPAddress_ = new QLineEdit(row);
    edtIPAddress_->setObjectName("edtIPAddress");
    edtIPAddress_->setReadOnly(true);
    edtIPAddress_->setToolTip("IP Address for Device -- Click to Change");
    edtIPAddress_->setMinimumWidth(120);
    btnLoopback_ = Button("btnLoopback", "&LB", "Set IP Address to LoopBack (127.0.0.1)", row);
    btnLoopback_->setMaximumWidth(40);
    imgSettings_ = new QToolButton(row);
    imgSettings_->setObjectName("imgSettings");
    imgSettings_->setToolTip("Change internal Settings (VEKnet Timeout)");
    imgSettings_->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    imgSettings_->setAutoRaise(true);
    layout->addWidget(deviceLabel);
    layout->addWidget(cboDevices_);
    layout->addWidget(edtIPAddress_, 1);
    layout->addWidget(btnLoopback_);
    layout->addWidget(imgSettings_);
    return row;
}

QWidget* TfrmObjectList::BuildSettingsPanel() {
    pnlSettings_ = new QFrame(this);
    pnlSettings_->setObjectName("pnlSettings");
    pnlSettings_->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QHBoxLayout(pnlSettings_);
    auto* label = new QLabel(" VEKnet Timeout: (ms)", pnlSettings_);
    edtTimeout_ = new QLineEdit(pnlSettings_);
    edtTimeout_->setObjectName("edtTimeout");
    edtTimeout_->setMaximumWidth(80);
    label->setBuddy(edtTimeout_);
    btnOKsettings_ = Button("btnOKsettings", "OK", nullptr, pnlSettings_);
    layout->addWidget(label);
    layout->addWidget(edtTimeout_);
    layout->addWidget(btnOKsettings_);
    layout->addStretch();
    pnlSettings_->hide();
    return pnlSettings_;
}

QWidget* TfrmObjectList::BuildUploadPanel() {
    auto* holder = new QWidget(this);
    auto* outer = new QVBoxLayout(holder);
    outer->setContentsMargins(0, 0, 0, 0);
    pnlUpload_ = new QFrame(holder);
    pnlUpload_->setObjectName("pnlUpload");
    pnlUpload_->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QGridLayout(pnlUpload_);
    lblUploading_ = new QLabel("Uploading", pnlUpload_);
    lblUploading_->setObjectName("lblUploading");
    pbUploadProgress_ = new QProgressBar(pnlUpload_);
    pbUploadProgress_->setObjectName("pbUploadProgress");
    pbUploadProgress_->setRange(0, 100);
    btnCancelUpload_ = Button("btnCancelUpload", "Cancel", nullptr, pnlUpload_);
    layout->addWidget(lblUploading_, 0, 0, 1, 2);
    layout->addWidget(pbUploadProgress_, 1, 0);
    layout->addWidget(btnCancelUpload_, 1, 1);
    pnlUpload_->hide();
    pnlMakePerm_ = new QFrame(holder);
    pnlMakePerm_->setObjectName("pnlMakePerm");
    pnlMakePerm_->setFrameShape(QFrame::StyledPanel);
    auto* permLayout = new QHBoxLayout(pnlMakePerm_);
    permLayout->addWidget(new QLabel("Making Data Permanent", pnlMakePerm_), 0, Qt::AlignCenter);
    pnlMakePerm_->hide();
    outer->addWidget(pnlUpload_);
    outer->addWidget(pnlMakePerm_);
    return holder;
}

void TfrmObjectList::BuildMoreMenu() {
    btnMore_ = new QToolButton(this);
    btnMore_->setObjectName("btnMore");
    btnMore_->setToolTip("Upload/Download Options");
    btnMore_->setArrowType(Qt::DownArrow);
    pmuMoreMenu_ = new QMenu(btnMore_);
    pmuMoreMenu_->setObjectName("pmuMoreMenu");
    connect(pmuMoreMenu_->addAction("Upload Objs to File"), &QAction::triggered, this,
            [this] { UploadObjectsToFile(); });
    connect(pmuMoreMenu_->addAction("Download Objs from File"), &QAction::triggered, this,
            [this] { DownloadObjectsFromFile(); });
    connect(pmuMoreMenu_->addAction("Compare Objs with File"), &QAction::triggered, this,
            [this] { CompareObjectsWithFile(); });
    connect(pmuMoreMenu_->addAction("Add Object"), &QAction::triggered, this,
            &TfrmObjectList::AddObject);
    connect(pmuMoreMenu_->addAction("Delete Object"), &QAction::triggered, this,
            &TfrmObjectList::DeleteObject);
    connect(pmuMoreMenu_->addAction("Reset w/ Default Objects"), &QAction::triggered, this,
            &TfrmObjectList::ResetWithDefaultObjects);
    connect(btnMore_, &QToolButton::clicked, this,
            [this] { pmuMoreMenu_->popup(btnMore_->mapToGlobal(QPoint(0, btnMore_->height()))); });
}

void TfrmObjectList::BuildLayout() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    QWidget* topRow = BuildTopRow();
    QWidget* settings = BuildSettingsPanel();

    btnGetObjects_ = Button("btnGetObjects", "Get &Objects", "Get List of Objects in Device", this);
    btnGetClasses_ = Button("btnGetClasses", "&Get Classes", "Get List of Classes in Device", this);
    btnGetText_ = Button("btnGetText", "T", "Get Objects w/ Object Names", this);
    btnGetText_->setMaximumWidth(32);
    BuildMoreMenu();
    btnEdit_ = Button("btnEdit", "&Edit", "Edit an Object", this);
    btnUploadObjects_ =
        Button("btnUploadObjects", "&Upload Objects", "Upload All Objects (all properties)", this);
    btnDoMethod_ =
        Button("btnDoMethod", "Do &Method", "Execute a Method for selected Object in Device", this);
    btnViewProperties_ =
        Button("btnViewProperties", "&View Properties",
               "View the Properties of Selected Object in Device (also:  double-click)", this);
    btnMakePerm_ = Button("btnMakePerm", "Make Perm", "Make Permanent any device settings", this);
    btnReset_ = Button("btnReset", "Reset", "Soft Reset the Device", this);
    btnTest_ = Button("btnTest", "&Test", "Call up Test Setup/View Window", this);
    btnEOBTest_ = Button("btnEOBTest", "EOB Test", nullptr, this);
    btnClose_ = Button("btnClose", "&Close", nullptr, this);
    btnEdit_->setEnabled(false);
    btnViewProperties_->setEnabled(false);
    btnDoMethod_->setEnabled(false);
    btnTest_->hide();
    btnEOBTest_->hide();

    lblListTitle_ = new QLabel("Objects", this);
    lblListTitle_->setObjectName("lblListTitle");
    lblTotal_ = new QLabel(this);
    lblTotal_->setObjectName("lblTotal");
    lstObjects_ = new QListWidget(this);
    lstObjects_->setObjectName("lstObjects");
    lstObjects_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    lstObjects_->setMinimumHeight(160);
    // One line per entry: a uniform height keeps appending and scrolling
    // cheap in lists of thousands of objects.
    lstObjects_->setUniformItemSizes(true);
    lblListTitle_->setBuddy(lstObjects_);

    auto* listHeader = new QHBoxLayout;
    listHeader->addWidget(lblListTitle_);
    listHeader->addStretch();
    listHeader->addWidget(lblTotal_);
    auto* listColumn = new QVBoxLayout;
    listColumn->addLayout(listHeader);
    listColumn->addWidget(lstObjects_, 1);
    listColumn->addWidget(BuildUploadPanel());

    auto* listingRow = new QHBoxLayout;
    listingRow->addWidget(btnGetObjects_);
    listingRow->addWidget(btnGetText_);
    listingRow->addWidget(btnMore_);
    auto* buttons = new QVBoxLayout;
    buttons->addLayout(listingRow);
    for (QWidget* w : std::initializer_list<QWidget*>{btnGetClasses_, btnUploadObjects_,
                                                      btnViewProperties_, btnEdit_, btnDoMethod_})
        buttons->addWidget(w);
    buttons->addSpacing(12);
    for (QWidget* w :
         std::initializer_list<QWidget*>{btnMakePerm_, btnReset_, btnTest_, btnEOBTest_})
        buttons->addWidget(w);
    buttons->addStretch();
    buttons->addWidget(btnClose_);

    auto* body = new QHBoxLayout;
    body->addLayout(listColumn, 1);
    body->addLayout(buttons);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(topRow);
    layout->addWidget(settings);
    layout->addLayout(body, 1);
    resize(520, 460);

    connect(btnGetObjects_, &QPushButton::clicked, this, &TfrmObjectList::GetObjects);
    connect(btnGetClasses_, &QPushButton::clicked, this, &TfrmObjectList::GetClasses);
    connect(btnGetText_, &QPushButton::clicked, this, &TfrmObjectList::GetObjectsWithNames);
    connect(btnUploadObjects_, &QPushButton::clicked, this, &TfrmObjectList::UploadObjects);
    connect(btnViewProperties_, &QPushButton::clicked, this, &TfrmObjectList::ViewProperties);
    connect(btnEdit_, &QPushButton::clicked, this, &TfrmObjectList::EditObject);
    connect(btnMakePerm_, &QPushButton::clicked, this, &TfrmObjectList::MakePermanent);
    connect(btnReset_, &QPushButton::clicked, this, &TfrmObjectList::SoftReset);
    connect(btnLoopback_, &QPushButton::clicked, this, &TfrmObjectList::SetLoopback);
    connect(imgSettings_, &QToolButton::clicked, this, &TfrmObjectList::ToggleSettings);
    connect(btnOKsettings_, &QPushButton::clicked, this, &TfrmObjectList::ApplySettings);
    connect(btnClose_, &QPushButton::clicked, this, &QWidget::close);
    connect(btnCancelUpload_, &QPushButton::clicked, this, [this] { cancelUpload_ = true; });
    connect(btnDoMethod_, &QPushButton::clicked, this, &TfrmObjectList::DoMethod);
    connect(btnTest_, &QPushButton::clicked, this, &TfrmObjectList::ShowTestManager);
    connect(btnEOBTest_, &QPushButton::clicked, this, &TfrmObjectList::ShowEOBTest);
    edtIPAddress_->installEventFilter(this);
    connect(lstObjects_, &QListWidget::itemDoubleClicked, this,
            [this] { btnViewProperties_->click(); });
    connect(cboDevices_->lineEdit(), &QLineEdit::editingFinished, this,
            &TfrmObjectList::UpdateApplicationTitle);
    SetTabOrder();
}

// The keyboard walks the window as it is drawn: the device row, the
// settings panel, the list, then the buttons from the top down.
void TfrmObjectList::SetTabOrder() {
    const std::initializer_list<QWidget*> order = {
        cboDevices_,    edtIPAddress_,     btnLoopback_,       imgSettings_, edtTimeout_,
        btnOKsettings_, lstObjects_,       btnGetObjects_,     btnGetText_,  btnMore_,
        btnGetClasses_, btnUploadObjects_, btnViewProperties_, btnEdit_,     btnDoMethod_,
        btnMakePerm_,   btnReset_,         btnTest_,           btnEOBTest_,  btnCancelUpload_,
        btnClose_};
    QWidget* previous = nullptr;
    for (QWidget* w : order) {
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    }
}

// --- device -------------------------------------------------------------

QString TfrmObjectList::DeviceText() const {
    return cboDevices_->currentText();
}

std::optional<uint16_t> TfrmObjectList::DeviceNumber() {
    auto device = DeviceNumberFromText(DeviceText().toStdString());
    if (!device)
        ShowError(this, kBadDeviceNumber);
    return device;
}

void TfrmObjectList::UpdateApplicationTitle() {
    SetApplicationTitle("OS-" + DeviceText());
}

void TfrmObjectList::DeviceChanged() {
    auto device = DeviceNumberFromText(DeviceText().toStdString());
    const DeviceMapping* found = nullptr;
    auto mappings = requests_.CopyDeviceMappings();
    if (device) {
        for (const auto& mapping : mappings) {
            if (*device >= mapping.firstDevice && *device <= mapping.lastDevice) {
                found = &mapping;
                break;
            }
        }
    }
    if (found) {
        edtIPAddress_->setText(Text(AddressToText(found->address.address)));
        edtIPAddress_->setStyleSheet({});
    } else {
        edtIPAddress_->setStyleSheet("QLineEdit { background: red; }");
    }
    lstObjects_->clear();
    btnViewProperties_->setEnabled(false);
    btnDoMethod_->setEnabled(false);
    UpdateApplicationTitle();
}

void TfrmObjectList::SetMappedAddress(uint16_t device, const std::string& text) {
    if (auto address = TextToAddress(text)) {
        requests_.SetDeviceAddress(device, *address);
        edtIPAddress_->setText(Text(AddressToText(address->address)));
    }
    edtIPAddress_->setStyleSheet({});
}

void TfrmObjectList::SetLoopback() {
    auto device = DeviceNumber();
    if (!device)
        return;
    SetMappedAddress(*device, "127.0.0.1");
}

void TfrmObjectList::ToggleSettings() {
    bool show = !pnlSettings_->isVisible();
    if (show)
        edtTimeout_->setText(QString::number(requests_.RequestTimeout()));
    pnlSettings_->setVisible(show);
}

void TfrmObjectList::ApplySettings() {
    int64_t value = IntegerLiteral(edtTimeout_->text().trimmed().toStdString()).value_or(-1);
    if (value > 0 && value <= INT32_MAX)
        requests_.SetRequestTimeout(static_cast<int>(value));
    pnlSettings_->hide();
}

// --- listings -------------------------------------------------------------

void TfrmObjectList::NormalCursor() {
    if (waiting_) {
        waiting_ = false;
        QApplication::restoreOverrideCursor();
    }
}

void TfrmObjectList::StartListing(const char* label) {
    waiting_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    lblListTitle_->setText(label);
}

void TfrmObjectList::BeginObjectsListing(bool fullObjects) {
    objectsMode_ = true;
    fullObjects_ = fullObjects;
    if (!fullObjects)
        btnTest_->hide();
    lstObjects_->clear();
    objects_.clear();
    StartListing("Objects");
}

void TfrmObjectList::GetObjects() {
    auto device = DeviceNumber();
    if (!device || Busy())
        return;
    BeginObjectsListing(false);
    btnEdit_->setEnabled(false);
    if (requests_.GetAllObjects(
            {0, *device, 0}, objects_, 0, [this] { ObjectsListed(); }, Alive()) < 0)
        ObjectsListed();
}

void TfrmObjectList::GetClasses() {
    auto device = DeviceNumber();
    if (!device || Busy())
        return;
    lstObjects_->clear();
    btnViewProperties_->setEnabled(false);
    btnEdit_->setEnabled(false);
    btnDoMethod_->setEnabled(false);
    objectsMode_ = false;
    objects_.clear();
    StartListing("Classes");
    if (requests_.GetAllClasses(
            {0, *device, 0}, objects_, [this] { ObjectsListed(); }, Alive()) < 0)
        ObjectsListed();
}

void TfrmObjectList::GetObjectsWithNames() {
    auto device = DeviceNumber();
    if (!device || Busy())
        return;
    BeginObjectsListing(false);
    btnEdit_->setEnabled(false);
    namedListStart_.start();
    if (requests_.GetAllObjectsPlus(
            {0, *device, 0}, objects_, [this] { NamedListArrived(); }, Alive()) < 0)
        NamedListArrived();
}

void TfrmObjectList::SetBusyButtonsEnabled(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{btnUploadObjects_, btnEdit_, btnGetObjects_,
                                                      btnGetClasses_, btnViewProperties_,
                                                      btnMakePerm_, btnGetText_})
        w->setEnabled(on);
}

void TfrmObjectList::ShowTestButtons(const TVEKroot& object, bool eob) {
    if (object.ClassID() == kTestManagerClass) {
        testTag_ = object.ObjHandle();
        btnTest_->show();
    }
    if (eob && object.ClassID() == kEOBTableClass) {
        eobTestTag_ = object.ObjHandle();
        btnEOBTest_->show();
    }
}

void TfrmObjectList::ObjectsListed() {
    lstObjects_->clear();
    NormalCursor();
    lblTotal_->setText(Text(TotalLabel(objects_.size())));
    if (objects_.empty()) {
        uploading_ = false;
        ShowError(this, kNoResponse);
        SetBusyButtonsEnabled(true);
        btnMore_->setEnabled(true);
        return;
    }
    if (objectsMode_) {
        // The upload's list holds bare records until it has built the
        // objects: nothing acts on it before.
        btnViewProperties_->setEnabled(!fullObjects_);
        for (const auto& object : objects_) {
            if (!object)
                continue;
            std::string className = LookupClass(object->ClassID()).displayName;
            object->SetObjectName(className);
            lstObjects_->addItem(
                Text(ObjectListLine(object->ObjHandle(), object->ClassID(), className)));
            ShowTestButtons(*object, true);
        }
        if (fullObjects_) {
            FullUpload();
            return;
        }
    } else {
        for (const auto& object : objects_) {
            if (object)
                lstObjects_->addItem(Text(
                    ClassListLine(object->ClassID(), LookupClass(object->ClassID()).displayName)));
        }
    }
    lstObjects_->setCurrentRow(0);
}

void TfrmObjectList::NamedListArrived() {
    lstObjects_->clear();
    NormalCursor();
    lblTotal_->setText(Text(TotalLabel(objects_.size())));
    if (objects_.empty()) {
        ShowError(this, namedListStart_.elapsed() >= kNotSupportedWithinMs
                            ? kNoResponse
                            : "Device/Firmware does not support this Method");
        SetBusyButtonsEnabled(true);
        return;
    }
    btnViewProperties_->setEnabled(true);
    for (const auto& object : objects_) {
        if (!object)
            continue;
        lstObjects_->addItem(
            Text(ObjectListLine(object->ObjHandle(), object->ClassID(), object->ObjectName())));
        ShowTestButtons(*object, false);
    }
    lstObjects_->setCurrentRow(0);
}

// --- upload -------------------------------------------------------------

void TfrmObjectList::UploadObjects() {
    auto device = DeviceNumber();
    if (!device || Busy())
        return;
    SetBusyButtonsEnabled(false);
    btnDoMethod_->setEnabled(false);
    btnMore_->setEnabled(false);  // Delete Object acts on the list
    uploading_ = true;
    cancelUpload_ = false;
    BeginObjectsListing(true);
    if (requests_.GetAllObjects(
            {0, *device, 0}, objects_, 0, [this] { ObjectsListed(); }, Alive()) < 0)
        ObjectsListed();
}

void TfrmObjectList::ScrollToLast() {
    lstObjects_->scrollToBottom();
}

void TfrmObjectList::FullUpload() {
    lstObjects_->clear();
    pnlUpload_->show();
    lblUploading_->setText("Uploading");
    pbUploadProgress_->setValue(0);
    std::vector<std::unique_ptr<TVEKroot>> built;
    UploadProperties(built);
    objects_.clear();
    HandOwnedObjects(built);
    pnlUpload_->hide();
    uploading_ = false;
    RefillFromObjects(true);
    if (closeAfterUpload_)
        close();
}

void TfrmObjectList::UploadProperties(std::vector<std::unique_ptr<TVEKroot>>& built) {
    size_t total = objects_.size();
    for (size_t n = 1; n <= total && !cancelUpload_; ++n) {
        TVEKroot* listed = objects_.at(n - 1);
        if (!listed)
            continue;
        lblUploading_->setText(Text(UploadingLabel(n, total)));
        TVEKList<TVEKPropertyBase> properties;
        int32_t result = requests_.GetAllProperties(
            {listed->NetHandle(), listed->DevHandle(), listed->ObjHandle()}, properties, {},
            Alive());
        if (cancelUpload_)
            break;
        if (result < 0) {
            ShowError(this, "Error Getting Properties for Object" + std::to_string(n) + "\r" +
                                "Error: " + StatusText(result));
            break;
        }
        TListedObject record;
        record.objHandle = listed->ObjHandle();
        record.classId = listed->ClassID();
        while (!properties.empty()) {
            if (auto property = properties.extract(0))
                record.properties.push_back(std::move(property));
        }
        const char* className = ChooseObjectClass(record);
        auto object = className ? CreateObjectOfClass(className, record.classId) : nullptr;
        if (object) {
            object->SetAddress(listed->NetHandle(), listed->DevHandle(), listed->ObjHandle());
            if (AssignProperties(*object, record.properties) == AssignResult::Done) {
                lstObjects_->addItem(
                    Text(ObjectListLine(object->ObjHandle(), object->ClassID(),
                                        LookupClass(object->ClassID()).displayName)));
                ScrollToLast();
                built.push_back(std::move(object));
            }
        }
        pbUploadProgress_->setValue(static_cast<int>(n * 100 / total));
    }
}

void TfrmObjectList::HandOwnedObjects(std::vector<std::unique_ptr<TVEKroot>>& built) {
    lblUploading_->setText("Processing");
    pbUploadProgress_->setValue(0);
    std::vector<TVEKroot*> order;
    for (auto& object : built)
        order.push_back(object.get());
    size_t total = built.size();
    for (size_t i = 0; i < total; ++i) {
        lblUploading_->setText(Text(ProcessingLabel(i + 1, total)));
        std::unique_ptr<TVEKroot> object = std::move(built[i]);
        object->ClearOwnedObjects();
        TVEKroot* owner = nullptr;
        if (object->OwnerHandle() != kNoHandle) {
            for (size_t j = i; j-- > 0;) {
                if (order[j]->ObjHandle() == object->OwnerHandle()) {
                    owner = order[j];
                    break;
                }
            }
        }
        if (owner)
            object = owner->AddOwnedObject(std::move(object));
        if (object)
            objects_.add(std::move(object));
        pbUploadProgress_->setValue(static_cast<int>((i + 1) * 100 / total));
    }
    built.clear();
}

void TfrmObjectList::RefillFromObjects(bool netTotal) {
    lstObjects_->clear();
    for (const auto& object : objects_) {
        if (object)
            lstObjects_->addItem(Text(ObjectListLine(object->ObjHandle(), object->ClassID(),
                                                     LookupClass(object->ClassID()).displayName)));
    }
    if (netTotal)
        lblTotal_->setText(Text(NetTotalLabel(objects_.size())));
    SetBusyButtonsEnabled(true);
    btnMore_->setEnabled(true);
    btnEdit_->setEnabled(!objects_.empty());
    if (!objects_.empty())
        lstObjects_->setCurrentRow(0);
}

// --- selected entry -------------------------------------------------------

void TfrmObjectList::ViewProperties() {
    int row = lstObjects_->currentRow();
    TVEKroot* object = objects_.at(static_cast<size_t>(std::max(row, 0)));
    if (row < 0 || !object || !propertyList_)
        return;
    if (fullObjects_)
        propertyList_->SetFullObject(object);
    else
        propertyList_->SetListedObject(*object);
    propertyList_->exec();
}

void TfrmObjectList::EditObject() {
    int row = lstObjects_->currentRow();
    if (!fullObjects_ || row < 0)
        return;
    if (TVEKroot* object = objects_.at(static_cast<size_t>(row)))
        object->ShowEditor(false, false, true);
}

// --- device commands ------------------------------------------------------

void TfrmObjectList::MakePermanent() {
    if (!ConfirmYes(this, "Make Any Data Changes Permanent?\r     (Set Default Data)"))
        return;
    auto device = DeviceNumber();
    if (!device)
        return;
    if (*device == kBroadcastDevice) {
        ShowError(this, "Cannot use Broadcast Address for this command");
        return;
    }
    if (*device == 0) {
        ShowError(this, "Must set a valid address for this command");
        return;
    }
    SetBusyButtonsEnabled(false);
    pnlMakePerm_->show();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    int32_t result = requests_.SetDefaultData(0, *device);
    SetBusyButtonsEnabled(true);
    pnlMakePerm_->hide();
    QApplication::restoreOverrideCursor();
    if (result == 0)
        ShowMessage(this, "Make Permanent Completed OK!");
    else
        ShowError(this, ">> Error: VEKnet Status = " + std::to_string(result));
}

void TfrmObjectList::SoftReset() {
    if (!ConfirmYes(this, "CONFIRM: Soft Reset Selected Frame?"))
        return;
    auto device = DeviceNumber();
    if (!device)
        return;
    requests_.SoftResetFrame(0, *device);
    ShowMessage(this, "Reset Command Sent");
}

void TfrmObjectList::ResetWithDefaultObjects() {
    if (!ConfirmYes(this,
                    "CONFIRM - Reset Device reverting to Default Objects?\r         (i.e., "
                    "ignore NVRAM objects/properties)"))
        return;
    auto device = DeviceNumber();
    if (!device)
        return;
    TU32UByte bootFlags;
    bootFlags.SetPropertyID(kBootFlagsProperty);
    bootFlags.SetName("Boot Flags");
    TTarn_Property_Link link(0, *device, 0, &bootFlags);
    int32_t result = requests_.GetPropertyNow(link, 0);
    if (result == kTimeOutStatus)
        result = requests_.GetPropertyNow(link, 0);
    if (result != 0) {
        ShowError(this, ">>ERROR - Failed to retrieve Boot Flags\r   Aborting Reset operation...");
        return;
    }
    bootFlags.SetValue(static_cast<uint8_t>(bootFlags.Value() | kBootDefaultObjects));
    requests_.SetPropertyWait(link);
    requests_.SoftResetFrame(0, *device);
    ShowMessage(this, "Reset Command Sent");
}

void TfrmObjectList::DeleteObject() {
    int row = lstObjects_->currentRow();
    if (row <= 0 || !lstObjects_->item(row))
        return;
    TVEKroot* object = objects_.at(static_cast<size_t>(row));
    if (!object)
        return;
    if (!ConfirmYes(this, "CONFIRM - Delete Object: \r     " +
                              lstObjects_->item(row)->text().toStdString() + "?"))
        return;
    requests_.DeleteObject(*object);
}

// --- closing --------------------------------------------------------------

void TfrmObjectList::closeEvent(QCloseEvent* event) {
    if ((uploading_ && waiting_ == false && pnlUpload_->isVisible()) || setFlow_) {
        // The upload loop is running below this event: let it end first.
        cancelUpload_ = true;
        closeAfterUpload_ = true;
        event->ignore();
        return;
    }
    if (propertyList_)
        propertyList_->hide();
    NormalCursor();
    alive_.reset();
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        emit Closed();
}

}  // namespace objscope
