#include "audio/automixer/automix_form.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "values/property_string_value.h"

namespace objscope::audio {

namespace {

constexpr int kStripPitch = 94;
constexpr int kStripWidth = 90;
constexpr int kPageHeight = 372;
constexpr uint8_t kUByteType = 1;
constexpr uint8_t kStringType = 14;
constexpr uint8_t kDb2Type = 132;
constexpr uint8_t kRatio1Type = 151;
constexpr uint8_t kSecType = 167;
constexpr uint16_t kNameID = 2;
constexpr uint16_t kNomAdjustSlope = 3072;
constexpr int kNomOn = 3;

struct ProcessingLook {
    const char* text;
    const char* hint;
};

// Indexed by TProcessingKind.
constexpr ProcessingLook kProcessingLooks[] = {
    {"None", ""},
    {"LIM", "Edit Limiter"},
    {"COMP", "Edit Compressor"},
    {"PGC", "Edit Programmable Gain Control"},
};

constexpr const char* kProcessingItems[] = {"&None", "&Limiter", "&Compressor",
                                            "&Programmable Gain Control"};

QLabel* Caption(QWidget* parent, const QString& text, QRect at) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(at);
    label->show();
    return label;
}

// Marks a control that a read-only window disables.
template <class Control>
Control* Editing(Control* control) {
    control->setProperty("editing", true);
    return control;
}

}  // namespace

TfrmAutoMix::TfrmAutoMix(TVEKroot& object, TEditorComm* comm, QWidget* parent)
    : TTarnFormBase(&object, comm, parent), mixer_(static_cast<TU32AutoMixer&>(object)) {
    setObjectName("TfrmAutoMix");
    SetFormCaption("Automatic Mixer");
    inputStrips_.resize(static_cast<size_t>(mixer_.InputCount()));
    outputs_.resize(static_cast<size_t>(mixer_.OutputCount()));
    lit_.assign(static_cast<size_t>(mixer_.InputCount()), false);
    QWidget* body = Body();
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    QHBoxLayout* top = BuildTop(body);
    auto* middle = new QHBoxLayout();
    middle->addWidget(BuildInputs(body), 0, Qt::AlignTop);
    middle->addWidget(BuildOutputs(body), 0, Qt::AlignTop);
    middle->addStretch(1);
    layout->addLayout(top);
    layout->addLayout(middle);
    layout->addWidget(BuildStatusPanels(body));
    if (strips_->PageCount() > 0)
        strips_->EnsureBuilt(0);
}

TfrmAutoMix::~TfrmAutoMix() {
    DetachFromChildren();
    CutValueHandlers(*this);
}

void TfrmAutoMix::FormShown() {
    shown_ = true;
    SetFormCaption("Automatic Mixer");
    const bool readOnly = Binding().readOnly;
    for (QWidget* child : Body()->findChildren<QWidget*>())
        if (child->property("editing").toBool())
            child->setEnabled(!readOnly && !child->property("unbound").toBool());
    onputChannel_->List()->setEnabled(!readOnly && lastMicOn_->Value() == 1);
}

void TfrmAutoMix::BindControl(QWidget* control, TTarnGuiComW& tarn, int object, uint16_t id,
                              uint8_t type, bool registered) {
    tarn.Dest_Obj() = static_cast<uint16_t>(std::max(object, 0));
    tarn.SetPropID(id);
    tarn.SetPropType(type);
    tarn.DoRegistration = registered;
    if (object >= 0)
        BindStripControl(*this, control, tarn, shown_);
}

TTarnEditBox* TfrmAutoMix::HiddenEdit(QWidget* parent, const QString& name,
                                      const QWidget& standIn) {
    auto* edit = new TTarnEditBox(name, parent);
    MakeHiddenEdit(*edit, standIn);
    return edit;
}

// Each caption stands before its field.
QHBoxLayout* TfrmAutoMix::BuildTop(QWidget* body) {
    auto* row = new QHBoxLayout();
    const auto topRow = [row](QWidget* w) { row->addWidget(w); };
    auto* filibuster = Editing(new TTarnEditBox("txtFilibusterLimit", body));
    filibuster->setFixedWidth(50);
    BindControl(filibuster, filibuster->Tarn(), 0, automix_property::kFilibusterLimit, kUByteType,
                false);
    auto* filibusterCaption = new QLabel("Filibuster Limit", body);
    filibusterCaption->setBuddy(filibuster);
    topRow(filibusterCaption);
    topRow(filibuster);

    auto* lmo = Editing(new QComboBox(body));
    lmo->setObjectName("cmbLMO");
    lmo->addItems({"None", "Onput", "Last Mic"});
    auto* lmoCaption = new QLabel("Last Mic On", body);
    lmoCaption->setBuddy(lmo);
    TTarnEditBox* txtLMO = HiddenEdit(body, "txtLMO", *lmo);
    BindControl(nullptr, txtLMO->Tarn(), 0, automix_property::kNoMicsOperation, kUByteType, true);
    lastMicOn_ = std::make_unique<TChoiceField>(lmo, txtLMO, 0);
    topRow(lmoCaption);
    topRow(lmo);

    auto* onput = new QComboBox(body);
    onput->setObjectName("cmbOnputChannel");
    for (int i = 1; i <= 8; ++i)
        onput->addItem("Input " + QString::number(i));
    auto* onputCaption = new QLabel("Onput Channel", body);
    onputCaption->setBuddy(onput);
    TTarnEditBox* txtOnput = HiddenEdit(body, "txtOnputChannel", *onput);
    BindControl(nullptr, txtOnput->Tarn(), 0, automix_property::kOutputInputTag, kUByteType, true);
    onputChannel_ = std::make_unique<TChoiceField>(onput, txtOnput, 1);
    onput->setEnabled(false);
    lastMicOn_->OnValue = [this](int value) {
        onputChannel_->List()->setEnabled(!Binding().readOnly && value == 1);
    };
    topRow(onputCaption);
    topRow(onput);

    lblGating_ = new TTarnLabel("lblGating", body);
    lblGating_->hide();
    // It stands for the lights, which are always there.
    lblGating_->Tarn().owner.visible = [] { return true; };
    BindControl(nullptr, lblGating_->Tarn(), 0, automix_property::kInputActiveStates, kStringType,
                true);
    auto shown = lblGating_->Tarn().OnValueArrived;
    lblGating_->Tarn().OnValueArrived = [this, shown] {
        if (shown)
            shown();
        GatingArrived();
    };
    row->addStretch(1);
    return row;
}

QWidget* TfrmAutoMix::BuildInputs(QWidget* body) {
    const int inputs = mixer_.InputCount();
    auto* group = new QGroupBox(" Inputs ", body);
    group->setObjectName("grpInputs");
    auto* layout = new QVBoxLayout(group);
    pages_ = new QTabWidget(group);
    pages_->setObjectName("pagInputs");
    pages_->setUsesScrollButtons(true);
    const int perPage = std::min(inputs, kAutoMixStripsPerPage);
    pages_->setFixedSize(perPage * kStripPitch + 12, kPageHeight + 30);
    layout->addWidget(pages_);
    strips_ = std::make_unique<TStripPages>(
        pages_, inputs, kAutoMixStripsPerPage,
        [this](QWidget* page, int first, int last) { BuildStrips(page, first, last); });
    return group;
}

void TfrmAutoMix::BuildStrips(QWidget* page, int first, int last) {
    for (int n = first; n <= last; ++n)
        BuildStrip(page, n);
}

void TfrmAutoMix::BuildStrip(QWidget* page, int n) {
    const QString number = QString::number(n);
    const int x0 = kStripPitch * strips_->PositionOf(n) + 4;
    const bool readOnly = shown_ && Binding().readOnly;
    const TAutoMixInput* input = mixer_.Input(n);
    const int gate = ObjectNumberIn(Binding().Objects(), input ? input->gate.get() : nullptr);
    TAutoMixStrip& strip = inputStrips_.at(static_cast<size_t>(n - 1));

    strip.gated = new TTarnLite("litGated" + number, page);
    strip.gated->setGeometry(x0, 5, 14, 14);
    strip.gated->setToolTip("Input Gating Indicator");
    strip.gated->SetLitColor(QColor(0x00, 0xFF, 0x00));
    strip.gated->SetNotLitColor(QColor(0x00, 0x40, 0x00));
    strip.gated->SetLit(lit_[static_cast<size_t>(n - 1)]);
    strip.gated->show();
    Caption(page, "Gated", QRect(x0 + 18, 4, 50, 16));

    strip.mic = Editing(new QCheckBox("Mic", page));
    strip.mic->setObjectName("chkMic" + number);
    strip.mic->setGeometry(x0, 22, kStripWidth, 18);
    strip.mic->show();
    strip.inputType = HiddenEdit(page, "txtInputType" + number, *strip.mic);
    BindControl(nullptr, strip.inputType->Tarn(), gate, automix_property::kInputType, kUByteType,
                false);
    auto typeShown = strip.inputType->Tarn().OnValueArrived;
    strip.inputType->Tarn().OnValueArrived = [this, n, typeShown] {
        if (typeShown)
            typeShown();
        TAutoMixStrip& s = inputStrips_.at(static_cast<size_t>(n - 1));
        const QSignalBlocker block(s.mic);
        s.mic->setChecked(HeldNumber(s.inputType->Tarn()) != 1);
    };
    connect(strip.mic, &QCheckBox::clicked, this, [this, n](bool on) { MicClicked(n, on); });

    auto* modeList = Editing(new QComboBox(page));
    modeList->setObjectName("cmbMode" + number);
    modeList->addItems({"None", "Auto", "Off", "On"});
    modeList->setToolTip("Gate Mode");
    modeList->setGeometry(x0, 58, kStripWidth - 4, 22);
    modeList->show();
    Caption(page, "Mode", QRect(x0, 42, kStripWidth, 16))->setBuddy(modeList);
    TTarnEditBox* modeEdit = HiddenEdit(page, "txtGatingMode" + number, *modeList);
    BindControl(nullptr, modeEdit->Tarn(), gate, automix_property::kGatingMode, kUByteType, false);
    strip.mode = std::make_unique<TChoiceField>(modeList, modeEdit, 0);

    const auto field = [&](const char* name, const char* caption, const char* hint, int top,
                           uint16_t id, uint8_t type) {
        auto* edit = Editing(new TTarnEditBox(name + number, page));
        edit->setToolTip(hint);
        edit->setGeometry(x0, top + 16, kStripWidth - 4, 21);
        edit->show();
        Caption(page, caption, QRect(x0, top, kStripWidth, 16))->setBuddy(edit);
        BindControl(edit, edit->Tarn(), gate, id, type, true);
        return edit;
    };
    strip.priority = field("txtPriority", "Priority", "Gating Priority", 84,
                           automix_property::kPriority, kUByteType);
    strip.holdTime = field("txtHoldTime", "Hold Time", "How long gate stays open after signal loss",
                           124, automix_property::kHoldTime, kSecType);
    strip.holdTime->SetUnits(" Sec");

    strip.processing = new QPushButton(page);
    strip.processing->setObjectName("btnProcessing" + number);
    strip.processing->setGeometry(x0, 166, 62, 24);
    strip.processing->show();
    connect(strip.processing, &QPushButton::clicked, this, [this, n] {
        const TAutoMixInput* in = mixer_.Input(n);
        if (in && in->processing && in->kind != TProcessingKind::kNone)
            in->processing->ShowEditor(Binding().passThrough, Binding().readOnly, false);
    });
    strip.select = Editing(new QPushButton(QString(QChar(0x25BE)), page));
    strip.select->setObjectName("btnSelect" + number);
    strip.select->setToolTip("Click to select the desired inline processing for this input.");
    strip.select->setGeometry(x0 + 64, 166, 22, 24);
    strip.select->show();
    connect(strip.select, &QPushButton::clicked, this, [this, n] { ShowProcessingMenu(n); });

    strip.level = new TTarnMeter2("mtrLevel" + number, page);
    strip.level->setToolTip("Input Level");
    strip.level->SetData_Min(-60);
    strip.level->SetData_Max(0);
    strip.level->SetNumTicIntervals(3);
    strip.level->SetLedColor2Position(-15);
    strip.level->SetLedColor3Position(-5);
    strip.level->SetPeakHold(false);
    strip.level->setGeometry(x0, 194, 60, 158);
    strip.level->show();
    BindControl(strip.level, strip.level->Tarn(), gate, automix_property::kCurrInputLevel, kDb2Type,
                true);

    strip.processingName = new QLabel(page);
    strip.processingName->setObjectName("lblProcessing" + number);
    QFont small("Small Fonts");
    small.setPointSize(7);
    strip.processingName->setFont(small);
    strip.processingName->setGeometry(x0, 354, kStripWidth, 14);
    strip.processingName->show();
    ShowProcessing(n);

    for (QWidget* control : page->findChildren<QWidget*>()) {
        if (!control->property("editing").toBool())
            continue;
        control->setProperty("unbound", gate < 0);
        control->setEnabled(!readOnly && gate >= 0);
    }
}

QWidget* TfrmAutoMix::BuildOutputs(QWidget* body) {
    auto* group = new QGroupBox(" Outputs ", body);
    group->setObjectName("grpOutputs");
    auto* grid = new QGridLayout(group);
    for (int m = 1; m <= mixer_.OutputCount(); ++m) {
        const QString number = QString::number(m);
        const int object = ObjectNumberIn(Binding().Objects(), mixer_.OutputMixer(m));
        TAutoMixOutput& row = outputs_.at(static_cast<size_t>(m - 1));
        row.name = new TTarnLabel("lblOutput" + number, group);
        row.name->setMinimumWidth(60);
        row.name->Tarn().Connect = false;
        BindControl(row.name, row.name->Tarn(), object, kNameID, kStringType, false);
        row.nom = Editing(new QCheckBox("NOM", group));
        row.nom->setObjectName("chkNOM" + number);
        row.nom->setToolTip("Enable or Disable NOM for Output");
        row.nomSlope = HiddenEdit(group, "txtNOM" + number, *row.nom);
        BindControl(nullptr, row.nomSlope->Tarn(), object, kNomAdjustSlope, kRatio1Type, false);
        auto shown = row.nomSlope->Tarn().OnValueArrived;
        row.nomSlope->Tarn().OnValueArrived = [this, m, shown] {
            if (shown)
                shown();
            TAutoMixOutput& r = outputs_.at(static_cast<size_t>(m - 1));
            const TU32MultiValue* slope = r.nomSlope->Tarn().MultiProperty();
            const QSignalBlocker block(r.nom);
            r.nom->setChecked(slope && slope->GetData() == kNomOn);
        };
        connect(row.nom, &QCheckBox::clicked, this, [this, m](bool on) { NomClicked(m, on); });
        row.edit = new QPushButton("Edit Output Mix", group);
        row.edit->setObjectName("btnEditOutput" + number);
        connect(row.edit, &QPushButton::clicked, this, [this, m] {
            if (TU32Mixer* mixer = mixer_.OutputMixer(m))
                mixer->ShowEditor(Binding().passThrough, Binding().readOnly, false);
        });
        grid->addWidget(row.name, m - 1, 0);
        grid->addWidget(row.nom, m - 1, 1);
        grid->addWidget(row.edit, m - 1, 2);
    }
    grid->setRowStretch(mixer_.OutputCount(), 1);
    return group;
}

// The three panels show their design-time texts; nothing updates them.
QWidget* TfrmAutoMix::BuildStatusPanels(QWidget* body) {
    auto* row = new QWidget(body);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto panel = [&](const char* name, const char* caption, const char* text) {
        auto* label = new QLabel(caption, row);
        auto* value = new QLabel(text, row);
        value->setObjectName(name);
        value->setFrameShape(QFrame::Panel);
        value->setFrameShadow(QFrame::Sunken);
        value->setMinimumWidth(60);
        label->setBuddy(value);
        layout->addWidget(label);
        layout->addWidget(value);
    };
    panel("pnlNOMCount", "NOM Count", "0");
    panel("pnlCurrentPriority", "Current Priority", "0");
    panel("pnlLastInputOn", "Last Input On", "Input 1");
    layout->addStretch(1);
    return row;
}

void TfrmAutoMix::GatingArrived() {
    const auto* bits = dynamic_cast<const TU32StringValue*>(&lblGating_->Tarn().Copy());
    const std::vector<bool> lit =
        GatingLights(bits ? bits->Data() : std::string(), mixer_.InputCount());
    for (size_t i = 0; i < lit.size(); ++i) {
        if (lit_[i] == lit[i])
            continue;
        lit_[i] = lit[i];
        ShowLight(static_cast<int>(i) + 1);
    }
}

void TfrmAutoMix::ShowLight(int n) {
    const TAutoMixStrip& strip = inputStrips_.at(static_cast<size_t>(n - 1));
    if (!strip.gated)
        return;
    strip.gated->SetLit(lit_[static_cast<size_t>(n - 1)]);
    ++lightRepaints_;
}

void TfrmAutoMix::ShowProcessing(int n) {
    const TAutoMixStrip& strip = inputStrips_.at(static_cast<size_t>(n - 1));
    if (!strip.processing)
        return;
    const TAutoMixInput* input = mixer_.Input(n);
    const TProcessingKind kind = input ? input->kind : TProcessingKind::kNone;
    const ProcessingLook& look = kProcessingLooks[static_cast<int>(kind)];
    strip.processing->setText(look.text);
    strip.processing->setToolTip(look.hint);
    strip.processing->setEnabled(kind != TProcessingKind::kNone);
    strip.processingName->setText(
        input && input->processing ? QString::fromStdString(input->processing->ObjectName()) : "");
}

void TfrmAutoMix::ShowProcessingMenu(int n) {
    const TAutoMixStrip& strip = inputStrips_.at(static_cast<size_t>(n - 1));
    QMenu menu(this);
    menu.setObjectName("mnuProcessing");
    const TProcessingKind current = mixer_.Kind(n);
    for (int k = 0; k < 4; ++k) {
        QAction* item = menu.addAction(kProcessingItems[k]);
        item->setCheckable(true);
        item->setChecked(static_cast<int>(current) == k);
        connect(item, &QAction::triggered, this,
                [this, n, k] { ChooseProcessing(n, static_cast<TProcessingKind>(k)); });
    }
    menu.exec(strip.select->mapToGlobal(QPoint(0, strip.select->height())));
}

// The slot gets its new object; the window's object list follows, and a
// connected window sends the new object to the device whole.
void TfrmAutoMix::ChooseProcessing(int n, TProcessingKind kind) {
    if (Binding().readOnly || mixer_.Kind(n) == kind)
        return;
    TVEKroot* made = mixer_.ReplaceProcessing(n, kind);
    Binding().RecollectObjects();
    ShowProcessing(n);
    if (made && Connected() && Binding().Comm())
        Binding().Comm()->DownloadObject(*made, false);
}

// "Mic" checked is a microphone (0); cleared a line (1), which the gate
// then forces on.
void TfrmAutoMix::MicClicked(int n, bool checked) {
    TAutoMixStrip& strip = inputStrips_.at(static_cast<size_t>(n - 1));
    strip.inputType->Tarn().SetValue(checked ? 0 : 1);
    if (!checked)
        strip.mode->SetValue(3);
}

void TfrmAutoMix::NomClicked(int m, bool checked) {
    TAutoMixOutput& row = outputs_.at(static_cast<size_t>(m - 1));
    const TU32MultiValue* slope = row.nomSlope->Tarn().MultiProperty();
    const int wanted = checked ? kNomOn : 0;
    if (slope && slope->GetData() == wanted)
        return;
    row.nomSlope->Tarn().SetValue(wanted);
}

}  // namespace objscope::audio
