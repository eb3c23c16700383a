#include "audio/mixing/mcombiner_form.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>

#include "protocol/tarn_method_codec.h"
#include "windows/message_boxes.h"

namespace objscope::audio {

namespace {

constexpr uint8_t kBooleanType = 13;
constexpr uint8_t kByteType = 1;
const char* const kModeNames[] = {"Switch Router", "Mixing Router", "Cross Combine",
                                  "Group Combine"};
const char* const kModeObjectNames[] = {"rbSwitchRouter", "rbMixingRouter", "rbCrossCombine",
                                        "rbGroupCombine"};

bool IsCombineMode(int mode) {
    return mode == static_cast<int>(TCombiningMode::kCrossCombine) ||
           mode == static_cast<int>(TCombiningMode::kGroupCombine);
}

// Only objects the device holds are read or changed there: an output built
// here (not listed) has no handle of the device.
bool OnTheDevice(const TVEKroot* object, const TVEKroot& matrix) {
    return object && object->DevHandle() == matrix.DevHandle() && object->ObjHandle() != kNoHandle;
}

QString NameOr(const TVEKroot* object, int number) {
    return object ? QString::fromStdString(object->ObjectName()) : QString::number(number);
}

}  // namespace

TMCombinerForm::TMCombinerForm(TVEKroot& object, TEditorComm* comm, QWidget* parent)
    : TTarnFormBase(&object, comm, parent),
      matrix_(static_cast<TMatrixBase&>(object)),
      router_(dynamic_cast<TU32MatrixRouter*>(&object) != nullptr),
      points_(matrix_.OutputCount(), matrix_.InputCount()) {
    setObjectName("TMCombinerForm");
    auto* layout = new QVBoxLayout(Body());
    layout->addLayout(BuildControls());
    grid_ = new TCrosspointGrid(TGridGeometry::For(points_.Outputs(), points_.Inputs(), router_),
                                points_, Body());
    layout->addWidget(grid_, 1);
    BuildRows();
    LoadPointsFromObject();
    grid_->OnCrosspoint = [this](int o, int i) { CrosspointPressed(o, i); };
    grid_->OnMute = [this](int o) { MutePressed(o); };
    grid_->OnEdit = [this](int o) { EditPressed(o); };
    // Cancel of a connected window first sends the crosspoints back.
    CancelButton()->disconnect(this);
    connect(CancelButton(), &QPushButton::clicked, this, &TMCombinerForm::CancelClicked);
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, [this] {
        if (isVisible())
            Relist();
    });
}

TMCombinerForm::~TMCombinerForm() {
    poll_.stop();
    DetachFromChildren();
}

// A row's control is bound to its object directly: the object list of a
// large matrix is longer than the 16-bit index a control can hold.
void TMCombinerForm::BindRow(TTarnGuiComW& tarn, TVEKroot* object, uint16_t propertyId) {
    tarn.SetPropID(propertyId);
    if (object) {
        tarn.BindTo(TTarn_Property_Link(object->NetHandle(), object->DevHandle(),
                                        object->ObjHandle(), object->FindProperty(propertyId)));
        tarn.Connect = OnTheDevice(object, matrix_);
    }
    Bind(tarn);
}

// ---- building ----

QLayout* TMCombinerForm::BuildControls() {
    auto* row = new QHBoxLayout();
    btnMuteAll_ = new TTarnButton("btnMuteAll", "Mute &All", Body());
    btnMuteAll_->Tarn().SetPropID(matrix_property::kMuteAll);
    Bind(btnMuteAll_->Tarn());
    connect(btnMuteAll_, &QPushButton::clicked, this, &TMCombinerForm::MuteAllClicked);
    btnOneToOne_ = new QPushButton("1-to-1", Body());
    btnOneToOne_->setObjectName("btnOneToOne");
    btnOneToOne_->setToolTip("Make Connections 1 in to 1 out for all inputs/outputs");
    connect(btnOneToOne_, &QPushButton::clicked, this, &TMCombinerForm::OneToOneClicked);

    rbCombiningMode_ = new QGroupBox(" Combining &Mode  ", Body());
    rbCombiningMode_->setObjectName("rbCombiningMode");
    auto* modes = new QVBoxLayout(rbCombiningMode_);
    for (int m = 0; m < 4; ++m) {
        auto* button = new QRadioButton(kModeNames[m], rbCombiningMode_);
        button->setObjectName(kModeObjectNames[m]);
        connect(button, &QRadioButton::clicked, this, [this, m] { ModeChosen(m); });
        modes->addWidget(button);
        modeButtons_[static_cast<size_t>(m)] = button;
    }
    // Hidden, it still sends: the device's rules follow the mode.
    edtCombiningMode_ = new TTarnEditBox("edtCombiningMode_Hidden", Body());
    edtCombiningMode_->hide();
    edtCombiningMode_->Tarn().owner.visible = [] { return true; };
    edtCombiningMode_->Tarn().SetPropID(matrix_property::kCombiningMode);
    edtCombiningMode_->Tarn().SetPropType(kByteType);
    Bind(edtCombiningMode_->Tarn());
    auto shown = edtCombiningMode_->Tarn().OnValueArrived;
    edtCombiningMode_->Tarn().OnValueArrived = [this, shown] {
        if (shown)
            shown();
        ShowMode();
    };

    chkSelfRoute_ = new TTarnCheckBox("chkSelfRoute", "Self-&Route", Body());
    chkSelfRoute_->setToolTip("Force 1-1, 2-2, 3-3, etc. when in either Combine mode");
    chkSelfRoute_->Tarn().SetPropID(matrix_property::kSelfRouting);
    Bind(chkSelfRoute_->Tarn());
    connect(chkSelfRoute_, &QCheckBox::clicked, this, &TMCombinerForm::SelfRouteClicked);
    chkForceOne_ = new TTarnCheckBox("chkForceOne", "&Force 1 Selection", Body());
    chkForceOne_->Tarn().SetPropID(matrix_property::kForceOneAll);
    Bind(chkForceOne_->Tarn());
    connect(chkForceOne_, &QCheckBox::clicked, this, &TMCombinerForm::ForceOneClicked);

    auto* buttons = new QVBoxLayout();
    buttons->addWidget(btnMuteAll_);
    buttons->addWidget(btnOneToOne_);
    buttons->addStretch(1);
    auto* checks = new QVBoxLayout();
    checks->addWidget(chkSelfRoute_);
    checks->addWidget(chkForceOne_);
    checks->addStretch(1);
    row->addLayout(buttons);
    row->addWidget(rbCombiningMode_);
    row->addLayout(checks);
    row->addWidget(edtCombiningMode_);
    row->addStretch(1);
    if (router_) {
        rbCombiningMode_->hide();
        chkSelfRoute_->hide();
    }
    return row;
}

// Each row's mute (sent at once) and, for a router, its selection (kept for
// OK: a connected window changes selections through the method alone).
void TMCombinerForm::BuildRows() {
    std::vector<QString> outputNames;
    std::vector<QString> inputNames;
    for (int o = 0; o < points_.Outputs(); ++o) {
        TMixerBase* output = matrix_.Output(o + 1);
        TOutputGainControl* stage = output ? output->Output() : nullptr;
        outputNames.push_back(NameOr(stage, o + 1));
        auto mute = std::make_unique<TTarnGuiComW>();
        mute->SetPropType(kBooleanType);
        TTarnGuiComW* raw = mute.get();
        mute->OnValueArrived = [this, raw, o] { grid_->SetRowMuted(o, BooleanValue(*raw)); };
        BindRow(*mute, stage, mixer_property::kMute);
        rowMutes_.push_back(std::move(mute));
        if (!router_)
            continue;
        auto selection = std::make_unique<TTarnGuiComW>();
        selection->SetPropType(kByteType);
        BindRow(*selection, output, mixer_property::kCurrentSelection);
        selection->Connect = false;
        rowSelections_.push_back(std::move(selection));
    }
    const TMixerBase* first = matrix_.Output(1);
    for (int i = 0; i < points_.Inputs(); ++i)
        inputNames.push_back(NameOr(first ? first->Input(i + 1) : nullptr, i + 1));
    grid_->SetOutputNames(std::move(outputNames));
    grid_->SetInputNames(std::move(inputNames));
}

// Button and copy of each crosspoint from the inputs' mutes.
void TMCombinerForm::LoadPointsFromObject() {
    for (int o = 0; o < points_.Outputs(); ++o) {
        for (int i = 0; i < points_.Inputs(); ++i)
            points_.Set(o, i, matrix_.Connected(o + 1, i + 1));
        if (auto* selector = dynamic_cast<const TU32SignalSelector*>(matrix_.Output(o + 1)))
            points_.SetSelection(o, selector->Selection());
    }
    grid_->Sync();
}

TCrosspointSettings TMCombinerForm::Settings() const {
    TCrosspointSettings settings;
    settings.kind = router_ ? TMatrixKind::kRouter : TMatrixKind::kCombiner;
    const TU32MultiValue* mode = edtCombiningMode_->Tarn().MultiProperty();
    const int m = mode ? static_cast<int>(mode->GetData()) : 0;
    settings.mode = static_cast<TCombiningMode>(std::clamp(m, 0, 3));
    settings.selfRoute = !router_ && chkSelfRoute_->isChecked();
    settings.forceOne = chkForceOne_->isChecked();
    return settings;
}

void TMCombinerForm::FormShown() {
    SetFormCaption(router_ ? "Matrix Router" : "Matrix Combiner");
    const bool readOnly = Binding().readOnly;
    for (QWidget* control : std::initializer_list<QWidget*>{
             btnMuteAll_, btnOneToOne_, rbCombiningMode_, chkSelfRoute_, chkForceOne_})
        control->setEnabled(!readOnly);
    if (Connected()) {
        Exchange(matrixListPayload(0), true);
        poll_.start();
    }
}

// ---- user actions ----

void TMCombinerForm::CrosspointPressed(int o, int i) {
    if (Binding().readOnly) {
        grid_->Sync();  // undone: nothing changed
        return;
    }
    const bool connect = !points_.Connected(o, i);
    if (Connected()) {
        if (Reachable(o, i))
            Exchange(matrixCrosspointPayload(connect, static_cast<uint8_t>(i + 1),
                                             static_cast<uint8_t>(o + 1)),
                     false);
        return;
    }
    PressCrosspoint(points_, Settings(), o, i, connect);
    RowsChanged();
}

// The rules changed crosspoints (and a router's selections) offline.
void TMCombinerForm::RowsChanged() {
    for (size_t o = 0; o < rowSelections_.size(); ++o)
        rowSelections_[o]->SetValue(points_.Selection(static_cast<int>(o)));
    grid_->Sync();
}

void TMCombinerForm::MutePressed(int o) {
    if (Binding().readOnly)
        return;  // undone
    TTarnGuiComW& mute = *rowMutes_.at(static_cast<size_t>(o));
    const bool muted = !BooleanValue(mute);
    mute.SetValue(muted ? 1 : 0);
    grid_->SetRowMuted(o, muted);
}

// Every output's mute takes the state of "Mute All".
void TMCombinerForm::MuteAllClicked() {
    const bool muted = btnMuteAll_->isChecked();
    for (size_t o = 0; o < rowMutes_.size(); ++o) {
        rowMutes_[o]->SetValue(muted ? 1 : 0);
        grid_->SetRowMuted(static_cast<int>(o), muted);
    }
}

void TMCombinerForm::OneToOneClicked() {
    if (Connected()) {
        Exchange(matrixOneToOnePayload(), false);
        return;
    }
    ConnectOneToOne(points_);
    RowsChanged();
}

void TMCombinerForm::ModeChosen(int mode) {
    edtCombiningMode_->Tarn().SetValue(mode);
    edtCombiningMode_->setText(QString::number(mode));
    ShowMode();
    if (Connected()) {
        Exchange(matrixListPayload(0), false);
    } else if (IsCombineMode(mode) && chkSelfRoute_->isChecked()) {
        ConnectDiagonal(points_);
        RowsChanged();
    }
}

void TMCombinerForm::ShowMode() {
    const TU32MultiValue* mode = edtCombiningMode_->Tarn().MultiProperty();
    const int m = mode ? static_cast<int>(mode->GetData()) : -1;
    for (int k = 0; k < 4; ++k)
        modeButtons_[static_cast<size_t>(k)]->setChecked(k == m);
}

void TMCombinerForm::SelfRouteClicked(bool on) {
    if (Connected()) {
        Exchange(matrixListPayload(0), false);
    } else if (on) {
        ConnectDiagonal(points_);
        RowsChanged();
    }
}

void TMCombinerForm::ForceOneClicked(bool on) {
    if (Connected()) {
        Exchange(matrixListPayload(0), false);
    } else if (on) {
        ForceOneSelection(points_, router_ ? TMatrixKind::kRouter : TMatrixKind::kCombiner);
        RowsChanged();
    }
}

// The row's mixer or selector edits the very inputs whose mutes the row
// shows: it opens modally with this window's settings, and the row is read
// again when it closes.
void TMCombinerForm::EditPressed(int o) {
    TMixerBase* output = matrix_.Output(o + 1);
    if (!output)
        return;
    const TTarnFormBinding& binding = Binding();
    output->ShowEditor(binding.passThrough, binding.readOnly,
                       binding.connect && OnTheDevice(output, matrix_));
    auto* editor = dynamic_cast<QDialog*>(output->Editor());
    if (!editor)
        return;
    editor->hide();
    editor->setWindowModality(Qt::ApplicationModal);
    editor->show();
    connect(editor, &QDialog::finished, this, [this, o] { RefreshRow(o); });
}

void TMCombinerForm::RefreshRow(int o) {
    if (TTarnGuiComW* mute = rowMutes_.at(static_cast<size_t>(o)).get())
        mute->Notify(TBindingCode::kAttach, Binding());
    if (Connected()) {
        Exchange(matrixListPayload(0), false);
        return;
    }
    for (int i = 0; i < points_.Inputs(); ++i)
        points_.Set(o, i, matrix_.Connected(o + 1, i + 1));
    if (auto* selector = dynamic_cast<const TU32SignalSelector*>(matrix_.Output(o + 1))) {
        points_.SetSelection(o, selector->Selection());
        rowSelections_.at(static_cast<size_t>(o))->Notify(TBindingCode::kAttach, Binding());
    }
    grid_->Sync();
}

// OK stores what the grid shows into the inputs' mutes.
void TMCombinerForm::CommitToObject() {
    for (int o = 0; o < points_.Outputs(); ++o) {
        for (int i = 0; i < points_.Inputs(); ++i) {
            const bool connected = points_.Connected(o, i);
            if (matrix_.Connected(o + 1, i + 1) == connected || !matrix_.Output(o + 1))
                continue;
            matrix_.SetConnected(o + 1, i + 1, connected);
            Binding().modified = true;
        }
    }
}

void TMCombinerForm::done(int result) {
    poll_.stop();
    if (result == QDialog::Accepted && !Binding().readOnly)
        CommitToObject();
    TTarnFormBase::done(result);
}

}  // namespace objscope::audio
