#include "windows/tfrm_property_list.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "devicewin/tfrm_meter.h"
#include "devicewin/tfrm_view_blob.h"
#include "model/object_properties.h"
#include "protocol/tarn_methods.h"
#include "protocol/tarn_text_descriptions.h"
#include "windows/controls.h"
#include "windows/grid_csv.h"
#include "windows/integer_text.h"
#include "windows/message_boxes.h"
#include "windows/object_list_text.h"
#include "windows/prop_grid_rules.h"
#include "windows/tprop_grid.h"

namespace objscope {
namespace {

constexpr char kSendHint[] = "Send the Selected Row Property back to the Object";
constexpr uint16_t kClassTextMethod = 1031;
constexpr int32_t kTimeOutStatus = -2;
constexpr int32_t kMoreFollows = 0x8000;
// How often a "T" page whose status keeps asking for more, without an
// answer, is asked again.
constexpr int kMaxTextRepeats = 3;
constexpr int kTextRepeatDelayMs = 100;
constexpr int kDefaultIncrement = 50;
constexpr int kDefaultCount = 16;

}  // namespace

TfrmPropertyList::TfrmPropertyList(TDeviceRequests& requests, std::function<QString()> deviceText,
                                   QWidget* parent)
    : QDialog(parent), requests_(requests), deviceText_(std::move(deviceText)) {
    setObjectName("frmPropertyList");
    setWindowTitle("Object Properties");
    TPropGrid::SetPropertyTagsOn(true);
    grid_ = new TPropGrid(this);
    grid_->setObjectName("grdProperties");
    grid_->SetShowReadOnly(true);
    grid_->SetFixedHeader(true);
    grid_->SetEditDone([this](int row) {
        if (chkAutoSet_->isChecked())
            SetPropForRow(row);
    });
    textTimer_ = new QTimer(this);
    textTimer_->setSingleShot(true);
    textTimer_->setInterval(kTextRepeatDelayMs);
    connect(textTimer_, &QTimer::timeout, this, &TfrmPropertyList::LoadTextDescriptions);
    BuildLayout();
}

TfrmPropertyList::~TfrmPropertyList() {
    // The base class hides the window after this class's members are gone;
    // an editor losing the focus then must find no rows to store into.
    grid_->ClearRows();
    AbandonRequest();
}

void TfrmPropertyList::BuildLayout() {
    btnMonitor_ = Button("btnMonitor", "&Monitor Value", nullptr, this);
    btnRefresh_ = Button("btnRefresh", "&Refresh", kSendHint, this);
    btnSetProp_ = Button("btnSetProp", "&Set Prop", kSendHint, this);
    btnSetMulti_ = Button("btnSetMulti", "Set &Multi", kSendHint, this);
    btnExport_ = Button("btnExport", "&Export", kSendHint, this);
    btnGetText_ = Button("btnGetText", "&T", "Load the Property Text Descriptions", this);
    btnClose_ = Button("btnClose", "&Close", "Close this form", this);
    btnBLOB_ = Button("btnBLOB", "&BLOB Data", nullptr, this);
    chkAutoSet_ = new QCheckBox("AutoSet", this);
    chkAutoSet_->setObjectName("chkAutoSet");
    chkAutoSet_->setChecked(true);
    btnGetText_->setMaximumWidth(32);
    btnBLOB_->hide();

    pnlMulti_ = new QFrame(this);
    pnlMulti_->setObjectName("pnlMulti");
    pnlMulti_->setFrameShape(QFrame::StyledPanel);
    auto* multiLayout = new QHBoxLayout(pnlMulti_);
    auto* multiTitle = new QLabel("  Set Property in Multiple Objects  ", pnlMulti_);
    edtObjIDInc_ = new QLineEdit(QString::number(kDefaultIncrement), pnlMulti_);
    edtObjIDInc_->setObjectName("edtObjIDInc");
    edtNumbObjs_ = new QLineEdit(QString::number(kDefaultCount), pnlMulti_);
    edtNumbObjs_->setObjectName("edtNumbObjs");
    // Wide enough for every 16-bit object ID (five digits) and a sixth.
    for (QLineEdit* field : {edtObjIDInc_, edtNumbObjs_}) {
        const int digits = field->fontMetrics().horizontalAdvance(QString(6, '0'));
        field->setMinimumWidth(digits +
                               2 * field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 8);
        field->setMaximumWidth(field->minimumWidth() + 20);
    }
    btnSetAll_ = Button("btnSetAll", "Set &All", nullptr, pnlMulti_);
    auto* btnCloseMulti = new QToolButton(pnlMulti_);
    btnCloseMulti->setObjectName("btnCloseMulti");
    btnCloseMulti->setText(QString::fromUtf8("\u2715"));
    auto* incLabel = new QLabel("Object ID Increment: ", pnlMulti_);
    incLabel->setBuddy(edtObjIDInc_);
    auto* countLabel = new QLabel("Number of Objects:", pnlMulti_);
    countLabel->setBuddy(edtNumbObjs_);
    multiLayout->addWidget(multiTitle);
    multiLayout->addWidget(incLabel);
    multiLayout->addWidget(edtObjIDInc_);
    multiLayout->addWidget(countLabel);
    multiLayout->addWidget(edtNumbObjs_);
    multiLayout->addWidget(btnSetAll_);
    multiLayout->addStretch();
    multiLayout->addWidget(btnCloseMulti);
    pnlMulti_->hide();

    auto* buttons = new QHBoxLayout;
    for (QWidget* w :
         std::initializer_list<QWidget*>{btnMonitor_, btnRefresh_, btnSetProp_, btnSetMulti_,
                                         chkAutoSet_, btnExport_, btnGetText_, btnBLOB_})
        buttons->addWidget(w);
    buttons->addStretch();
    buttons->addWidget(btnClose_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(grid_, 1);
    layout->addWidget(pnlMulti_);
    layout->addLayout(buttons);
    resize(560, 520);
    grid_->setColumnWidth(0, (560 - 16 - 20) / 2);

    connect(btnRefresh_, &QPushButton::clicked, this, &TfrmPropertyList::Refresh);
    connect(btnSetProp_, &QPushButton::clicked, this, &TfrmPropertyList::SetProp);
    connect(btnSetMulti_, &QPushButton::clicked, this, &TfrmPropertyList::SetMulti);
    connect(btnSetAll_, &QPushButton::clicked, this, &TfrmPropertyList::SetAll);
    connect(btnExport_, &QPushButton::clicked, this, &TfrmPropertyList::Export);
    connect(btnGetText_, &QPushButton::clicked, this, &TfrmPropertyList::LoadTextDescriptions);
    connect(btnClose_, &QPushButton::clicked, this, &TfrmPropertyList::reject);
    connect(btnCloseMulti, &QToolButton::clicked, this, &TfrmPropertyList::HideMultiPanel);
    connect(btnMonitor_, &QPushButton::clicked, this, [this] { MonitorValue(); });
    connect(grid_, &QTableWidget::cellDoubleClicked, this, [this] { MonitorValue(); });
    connect(btnBLOB_, &QPushButton::clicked, this, [this] { OpenBlobData(); });
}

TfrmMeter* TfrmPropertyList::MonitorValue() {
    int row = grid_->currentRow();
    TVEKPropertyBase* property = grid_->RowProperty(row);
    TVEKroot* object = grid_->RowObject(row);
    if (!property || !object)
        return nullptr;
    auto* meter = new TfrmMeter(*object, editorComm_, this);
    meter->BindProperty(*property, QString::fromStdString(property->Name()));
    meter->SetEditorFlags(false, false, true);
    meter->ShowEditorWindow();
    return meter;
}

TfrmViewBLOB* TfrmPropertyList::OpenBlobData() {
    TVEKroot* subject = Subject();
    if (!subject)
        return nullptr;
    auto* window = new TfrmViewBLOB(
        requests_, subject->ClassID(),
        {subject->NetHandle(), subject->DevHandle(), subject->ObjHandle()}, this);
    window->show();
    return window;
}

void TfrmPropertyList::SetListedObject(const TVEKroot& record) {
    full_ = nullptr;
    work_ = std::make_unique<TVEKRootPlus>();
    work_->TakeIdentity(record);
}

void TfrmPropertyList::SetFullObject(TVEKroot* object) {
    work_.reset();
    full_ = object;
}

TVEKroot* TfrmPropertyList::Subject() const {
    return full_ ? full_ : work_.get();
}

void TfrmPropertyList::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    ShowSubject();
}

void TfrmPropertyList::ShowSubject() {
    HideMultiPanel();
    textsLoaded_ = false;
    TVEKroot* subject = Subject();
    if (!subject)
        return;
    btnBLOB_->setVisible(IsBlobBearingClass(subject->ClassID()));
    btnRefresh_->setEnabled(false);
    if (full_) {
        grid_->ShowObject(*full_);
        return;
    }
    // The rows point into the list: they go first.
    grid_->ClearRows();
    work_->SetPropertyList({});
    RequestProperties();
}

void TfrmPropertyList::AbandonRequest() {
    requestToken_.reset();
    if (loading_) {
        loading_ = false;
        QApplication::restoreOverrideCursor();
        btnRefresh_->setEnabled(true);
    }
}

void TfrmPropertyList::RequestProperties() {
    AbandonRequest();
    arrived_.clear();
    loading_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    requestToken_ = std::make_shared<bool>(true);
    std::weak_ptr<bool> alive = requestToken_;
    int32_t sent = requests_.GetAllProperties(
        {work_->NetHandle(), work_->DevHandle(), work_->ObjHandle()}, arrived_,
        [this] { PropertiesArrived(); }, [alive] { return !alive.expired(); });
    if (sent < 0)
        PropertiesArrived();
}

void TfrmPropertyList::PropertiesArrived() {
    if (!loading_)
        return;
    loading_ = false;
    QApplication::restoreOverrideCursor();
    btnRefresh_->setEnabled(true);
    if (arrived_.empty()) {
        ShowError(this, "No Response received from Tarn Device");
        return;
    }
    std::vector<std::unique_ptr<TVEKPropertyBase>> list;
    while (!arrived_.empty()) {
        if (auto property = arrived_.extract(0))
            list.push_back(std::move(property));
    }
    work_->SetPropertyList(std::move(list));
    grid_->ShowObject(*work_);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (topRow_ < grid_->rowCount())
        grid_->scrollToItem(grid_->item(topRow_, 0), QAbstractItemView::PositionAtTop);
    if (grid_->verticalScrollBar()->maximum() == 0)
        grid_->scrollToItem(grid_->item(std::min(1, grid_->rowCount() - 1), 0));
    if (currentRow_ < grid_->rowCount())
        grid_->setCurrentCell(currentRow_, 0);
    if (textsLoaded_)
        textTimer_->start();
}

void TfrmPropertyList::hideEvent(QHideEvent* event) {
    topRow_ = std::max(1, grid_->rowAt(0));
    currentRow_ = std::max(1, grid_->currentRow());
    HideMultiPanel();
    // The rows may point into the main window's objects, which its next
    // listing frees; they are rebuilt whenever the window shows. A request
    // still under way is given up: its answer belongs to this showing only.
    grid_->ClearRows();
    AbandonRequest();
    QDialog::hideEvent(event);
}

void TfrmPropertyList::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
}

void TfrmPropertyList::Refresh() {
    topRow_ = std::max(1, grid_->rowAt(0));
    currentRow_ = std::max(1, grid_->currentRow());
    if (full_ || !work_ || loading_)
        return;
    grid_->ClearRows();
    work_->SetPropertyList({});
    btnRefresh_->setEnabled(false);
    grid_->setRowCount(4);
    RequestProperties();
}

std::optional<TTarn_Property_Link> TfrmPropertyList::LinkForSending(int row) {
    TVEKPropertyBase* property = grid_->RowProperty(row);
    TVEKroot* object = grid_->RowObject(row);
    if (!property || !object) {
        ShowError(this, "Non-Property Row is Selected");
        return std::nullopt;
    }
    auto link = GetPropertyLink(*object, property->PropertyID());
    if (!link || property->ReadOnly()) {
        ShowError(this, "This Property is Read-only, and cannot be set");
        return std::nullopt;
    }
    return link;
}

void TfrmPropertyList::SetProp() {
    SetPropForRow(grid_->currentRow());
}

void TfrmPropertyList::SetPropForRow(int row) {
    grid_->ApplyAll();
    if (auto link = LinkForSending(row))
        requests_.SetProperty(*link);
}

void TfrmPropertyList::SetMulti() {
    if (IntegerLiteral(edtObjIDInc_->text().trimmed().toStdString()).value_or(0) < 1)
        edtObjIDInc_->setText(QString::number(kDefaultIncrement));
    if (IntegerLiteral(edtNumbObjs_->text().trimmed().toStdString()).value_or(0) < 1)
        edtNumbObjs_->setText(QString::number(kDefaultCount));
    pnlMulti_->show();
    pnlMulti_->raise();
    edtObjIDInc_->setFocus();
}

void TfrmPropertyList::SetAll() {
    int64_t increment = IntegerLiteral(edtObjIDInc_->text().trimmed().toStdString()).value_or(0);
    int64_t count = IntegerLiteral(edtNumbObjs_->text().trimmed().toStdString()).value_or(0);
    if (increment <= 0 || count <= 0) {
        ShowError(this, "Invalid edit box entries");
        return;
    }
    grid_->ApplyAll();
    auto link = LinkForSending(grid_->currentRow());
    if (!link)
        return;
    for (int64_t n = 0; n < count; ++n) {
        requests_.SetProperty(*link);
        if (n + 1 == count)
            break;
        int64_t next = link->Dest_Obj + increment;
        if (next > UINT16_MAX) {
            ShowError(this, "Integer overflow");
            return;
        }
        link->Dest_Obj = static_cast<uint16_t>(next);
    }
}

void TfrmPropertyList::Export() {
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("CSV");
    dialog.setNameFilters(
        {"Comma Separated Values (*.csv)", "Text (*.txt)", "Data (*.dat)", "Any (*.*)"});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    ExportTo(dialog.selectedFiles().first());
}

void TfrmPropertyList::ExportTo(const QString& fileName) {
    GridRowTexts rows;
    for (int row = 1; row < grid_->rowCount(); ++row)
        rows.emplace_back(grid_->CellText(0, row).toStdString(),
                          grid_->CellText(1, row).toStdString());
    std::string error = WriteGridCsv(fileName.toStdString(), rows);
    if (!error.empty()) {
        ShowError(this, "Export Failed: " + fileName.toStdString() + "\r" + error);
        return;
    }
    ShowMessage(this, "Export Completed to: " + fileName.toStdString());
}

void TfrmPropertyList::LoadTextDescriptions() {
    TVEKroot* subject = Subject();
    if (!subject)
        return;
    int64_t device = IntegerLiteral(deviceText_().toStdString()).value_or(0);
    TarnAddress address{0, static_cast<uint16_t>(device), 0};
    uint32_t start = 0;
    int repeats = 0;
    while (start <= UINT16_MAX) {
        std::vector<uint8_t> answer;
        auto payload = classTextPayload(subject->ClassID(), static_cast<uint16_t>(start));
        int32_t result = requests_.ActivateMethod(address, kClassTextMethod, payload, answer, true);
        if (result == kTimeOutStatus)
            result = requests_.ActivateMethod(address, kClassTextMethod, payload, answer, true);
        if (result < 0) {
            ShowError(this, ">> VEKnet error Retrieving Text: " + std::to_string(result));
            return;
        }
        if (result != 0 && result != kMoreFollows) {
            if ((result & kMoreFollows) && ++repeats <= kMaxTextRepeats)
                continue;
            return;
        }
        TextDescriptionPage page = decodeTextDescriptions(answer);
        if (page.declaredCount == 0)
            return;
        textsLoaded_ = true;
        for (const auto& entry : page.entries) {
            QString tag = QString::fromStdString(PropertyTag(entry.propertyId));
            for (int row = 1; row < grid_->rowCount(); ++row) {
                if (grid_->CellText(0, row).contains(tag)) {
                    grid_->SetCellText(0, row, QString::fromStdString(entry.text) + " " + tag);
                    break;
                }
            }
        }
        // A page whose entries did not arrive whole must not be asked for
        // again and again.
        if (page.entries.empty() || !(result & kMoreFollows))
            return;
        start += page.entries.size();
        repeats = 0;
    }
}

void TfrmPropertyList::HideMultiPanel() {
    pnlMulti_->hide();
}

}  // namespace objscope
