#include "audio/paging/page_zone_form.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

namespace objscope::audio {

namespace {

constexpr int kStripsPerPage = 4;
constexpr int kStripPitch = 98;
constexpr int kGroupTop = 32;
constexpr int kGroupHeight = 313;
constexpr int kSideGroupWidth = 73;
constexpr int kColumnWidth = 44;
constexpr int kSmallButton = 22;
constexpr uint8_t kBooleanType = 13;
constexpr uint8_t kDb1Type = 131;
constexpr uint8_t kUByteType = 1;
constexpr uint8_t kUWordType = 2;
constexpr uint8_t kStringType = 14;
constexpr uint16_t kNameID = 2;
constexpr uint16_t kPageBusObject = 1;
constexpr uint16_t kOutputObject = 2;

// The page control's width for n inputs (disabled and 103 wide for none).
int PageControlWidth(int inputs) {
    if (inputs == 0)
        return 103;
    return inputs < 5 ? 108 * inputs : 412;
}

QLabel* StripLabel(QWidget* page, const QString& text, QRect at, bool wrap) {
    auto* label = new QLabel(text, page);
    label->setWordWrap(wrap);
    label->setGeometry(at);
    return label;
}

}  // namespace

TPageZoneForm::TPageZoneForm(TVEKroot& object, TEditorComm* comm, QWidget* parent)
    : TTarnFormBase(&object, comm, parent), zone_(static_cast<TU32PageZone&>(object)) {
    setObjectName("TPageZoneForm");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    SetFormCaption("Page Zone");
    strips_.resize(static_cast<size_t>(zone_.InputCount()));
    QWidget* body = Body();
    BuildPageBus(body);
    const int inputsRight = BuildInputs(body);
    BuildOutput(body, inputsRight + 5);
    const int width =
        std::max(inputsRight + 5 + kSideGroupWidth + 5, 3 * HelpButton()->sizeHint().width() + 30);
    BuildZoneFields(body, width);
    body->setFixedSize(width, kGroupTop + kGroupHeight + 5);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    // The first page's strips are bound with the designed controls.
    if (pages_->PageCount() > 0)
        pages_->EnsureBuilt(0);
}

TPageZoneForm::~TPageZoneForm() {
    DetachFromChildren();
}

void TZoneStrip::Enable(bool on) const {
    for (QWidget* control : std::initializer_list<QWidget*>{polarity, mute, ducking, duckPriority,
                                                            mutePriority, level, name})
        if (control)
            control->setEnabled(on && bound);
}

void TPageZoneForm::FormShown() {
    shown_ = true;
    SetFormCaption("Page Zone");
    // The read-only flag is set after the first page was built.
    for (const TZoneStrip& strip : strips_)
        strip.Enable(!Binding().readOnly);
}

void TPageZoneForm::BindDesigned(TTarnGuiComW& tarn, uint16_t object, uint16_t id, uint8_t type) {
    tarn.Dest_Obj() = object;
    tarn.SetPropID(id);
    tarn.SetPropType(type);
    Bind(tarn);
}

void TPageZoneForm::BuildPageBus(QWidget* body) {
    auto* group = new QGroupBox(" Page Bus ", body);
    group->setObjectName("grpPageBus");
    group->setGeometry(5, kGroupTop, kSideGroupWidth, kGroupHeight);
    auto* polarity = new TTarnButton("TarnButton1", PolarityGlyphText(), group);
    polarity->setGeometry(20, 18, 33, kSmallButton);
    polarity->setToolTip("Reverse Polarity of Input");
    BindDesigned(polarity->Tarn(), kPageBusObject, paging_property::kPolarity, kBooleanType);

    auto* level = new TTarnSlider("sldPageInput", group);
    level->setToolTip("Paging Bus input Level Adjust");
    level->SetData_Min(-60);
    level->SetDataResolution(0.5);
    level->SetUnits(" dB");
    level->SetNumTicIntervals(7);
    level->SetTextBox(true);
    level->setGeometry(5, 44, 63, 240);
    BindDesigned(level->Tarn(), kPageBusObject, paging_property::kGain, kDb1Type);

    auto* name = new TTarnLabel("TarnLabel1", group);
    name->setText("In");
    name->setToolTip("Name of the output signal");
    name->setAlignment(Qt::AlignCenter);
    name->setGeometry(5, 288, 63, 17);
    name->Tarn().Connect = false;
    BindDesigned(name->Tarn(), kPageBusObject, kNameID, kStringType);
}

// The " Inputs " group and its page control; answers the group's right edge.
int TPageZoneForm::BuildInputs(QWidget* body) {
    const int inputs = zone_.InputCount();
    const int pageWidth = PageControlWidth(inputs);
    auto* group = new QGroupBox(" Inputs ", body);
    group->setObjectName("grpInputs");
    const int left = 5 + kSideGroupWidth + 5;
    group->setGeometry(left, kGroupTop, pageWidth + 15, kGroupHeight);
    pagInputs_ = new QTabWidget(group);
    pagInputs_->setObjectName("pagInputs");
    pagInputs_->setGeometry(7, 16, pageWidth, kGroupHeight - 22);
    pagInputs_->setUsesScrollButtons(true);
    pages_ = std::make_unique<TStripPages>(
        pagInputs_, inputs, kStripsPerPage,
        [this](QWidget* page, int first, int last) { BuildStrips(page, first, last); });
    pagInputs_->setEnabled(inputs > 0);
    return left + pageWidth + 15;
}

void TPageZoneForm::BuildOutput(QWidget* body, int left) {
    auto* group = new QGroupBox(" Output ", body);
    group->setObjectName("grpOutput");
    group->setGeometry(left, kGroupTop, kSideGroupWidth, kGroupHeight);
    auto* polarity = new TTarnButton("btnOutput_Polarity", PolarityGlyphText(), group);
    polarity->setGeometry(5, 18, 30, kSmallButton);
    polarity->setToolTip("Reverse Polarity of Output");
    BindDesigned(polarity->Tarn(), kOutputObject, paging_property::kPolarity, kBooleanType);
    auto* mute = new TTarnButton("btnOutput_Mute", MuteGlyphText(), group);
    mute->setGeometry(38, 18, 30, kSmallButton);
    mute->setToolTip("Mute Zone Output");
    BindDesigned(mute->Tarn(), kOutputObject, paging_property::kMute, kBooleanType);

    sldOutput_ = new TTarnSlider("sldOutput", group);
    sldOutput_->setToolTip("Overall Level Adjust (dB)");
    sldOutput_->SetData_Min(-60);
    sldOutput_->SetData_Max(10);
    sldOutput_->SetDataResolution(0.5);
    sldOutput_->SetUnits(" dB");
    sldOutput_->SetNumTicIntervals(7);
    sldOutput_->SetTextBox(true);
    sldOutput_->SetLegendWidth(18);
    sldOutput_->setGeometry(5, 44, 63, 240);
    BindDesigned(sldOutput_->Tarn(), kOutputObject, paging_property::kGain, kDb1Type);

    auto* name = new TTarnLabel("lblOutput", group);
    name->setText("Out");
    name->setToolTip("Name of the output signal");
    name->setAlignment(Qt::AlignCenter);
    name->setGeometry(5, 288, 63, 17);
    name->Tarn().Connect = false;
    BindDesigned(name->Tarn(), kOutputObject, kNameID, kStringType);
}

// The zone number and the zone state light, top right.
void TPageZoneForm::BuildZoneFields(QWidget* body, int width) {
    auto* number = new TTarnEditBox("TarnEditBox1", body);
    number->setGeometry(width - 5 - 60, 5, 60, 21);
    number->Tarn().DoRegistration = true;
    BindDesigned(number->Tarn(), 0, paging_property::kZoneNumber, kUWordType);
    auto* caption = new QLabel("Zone Number:", body);
    caption->setObjectName("lblZoneNumber");
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    caption->setGeometry(width - 5 - 60 - 5 - 90, 5, 90, 21);
    caption->setBuddy(number);

    auto* panel = new QFrame(body);
    panel->setObjectName("pnlZoneState");
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setGeometry(width - 5 - 60 - 5 - 90 - 5 - 25, 4, 25, 23);
    auto* state = new TTarnLite("TarnLite1", panel);
    state->setGeometry(5, 4, 15, 15);
    state->SetLitColor(QColor(0x00, 0xFF, 0x00));
    state->setToolTip("Zone State");
    state->Tarn().DoRegistration = true;
    BindDesigned(state->Tarn(), 0, paging_property::kZoneState, kUByteType);
}

int TPageZoneForm::ObjectNumberOf(int m) {
    return ObjectNumberIn(Binding().Objects(), zone_.Input(m));
}

void TPageZoneForm::BuildStrips(QWidget* page, int first, int last) {
    // The strips' 44-pixel columns take their captions and values in a
    // small font.
    QFont small = page->font();
    small.setPointSizeF(7);
    page->setFont(small);
    for (int m = first; m <= last; ++m)
        BuildStrip(page, m);
}

// Input m's strip at position (m - 1) mod 4. An empty slot (a configuration
// read back without that input) shows the strip disabled and bound to
// nothing.
void TPageZoneForm::BuildStrip(QWidget* page, int m) {
    const QString number = QString::number(m);
    const int x0 = kStripPitch * pages_->PositionOf(m) + 5;
    const int column = x0 + 2 * kSmallButton + 4;
    TZoneStrip& strip = strips_.at(static_cast<size_t>(m - 1));

    strip.polarity = new TTarnButton("btnPolarity" + number, PolarityGlyphText(), page);
    strip.polarity->setGeometry(x0, 4, kSmallButton, kSmallButton);
    strip.polarity->setToolTip("Reverse Signal Polarity (before Summming)");
    strip.mute = new TTarnButton("btnMute" + number, MuteGlyphText(), page);
    strip.mute->setGeometry(x0 + kSmallButton, 4, kSmallButton, kSmallButton);
    strip.mute->setToolTip("Mute this Input from the Sum/Mix");

    const auto edit = [&](const char* name, int top) {
        auto* box = new TTarnEditBox(name + number, page);
        box->setGeometry(column, top, kColumnWidth, 21);
        box->setToolTip("Ducking Value");
        return box;
    };
    QLabel* ducking = StripLabel(page, "Ducking", QRect(column, 30, kColumnWidth, 13), false);
    strip.ducking = edit("edtDucking", 48);
    QLabel* duckPriority =
        StripLabel(page, "Ducking Priority", QRect(column, 74, kColumnWidth, 28), true);
    strip.duckPriority = edit("edtDuckPriority", 99);
    QLabel* mutePriority =
        StripLabel(page, "Full Mute Priority", QRect(column, 125, kColumnWidth, 28), true);
    strip.mutePriority = edit("edtMutePriority", 150);
    ducking->setBuddy(strip.ducking);
    duckPriority->setBuddy(strip.duckPriority);
    mutePriority->setBuddy(strip.mutePriority);

    strip.level = new TTarnSlider("sldInput" + number, page);
    strip.level->setGeometry(x0, 26, kColumnWidth, 220);
    strip.level->setToolTip("Level for Input " + number + " (dB)");
    strip.level->SetBorder(false);
    strip.level->HandleFocusColor = QColor(0x80, 0x80, 0x80);
    strip.level->SetTextBox(true);
    strip.level->SetNumTicIntervals(6);
    strip.level->SetLegendWidth(sldOutput_->LegendWidth());
    strip.level->SetData_Min(-60);
    strip.level->SetData_Max(0);
    if (QLineEdit* box = strip.level->TextField())
        box->setFont(page->font());

    strip.name = new TTarnLabel("lblInput" + number, page);
    strip.name->setGeometry(x0 + 1, 26 + 220, 41, 13);
    strip.name->setAlignment(Qt::AlignCenter);
    strip.name->setToolTip("Assigned Name for this Input");
    strip.name->Tarn().Connect = false;

    const int object = ObjectNumberOf(m);
    strip.bound = object >= 0;
    const auto bind = [&](QWidget* control, TTarnGuiComW& tarn, uint16_t id, uint8_t type) {
        control->show();
        if (object < 0)
            return;
        tarn.Dest_Obj() = static_cast<uint16_t>(object);
        tarn.SetPropID(id);
        tarn.SetPropType(type);
        BindStripControl(*this, control, tarn, shown_);
    };
    for (QLabel* label : {ducking, duckPriority, mutePriority})
        label->show();
    bind(strip.polarity, strip.polarity->Tarn(), paging_property::kPolarity, kBooleanType);
    bind(strip.mute, strip.mute->Tarn(), paging_property::kMute, kBooleanType);
    bind(strip.ducking, strip.ducking->Tarn(), paging_property::kDuckedOffset, kDb1Type);
    bind(strip.duckPriority, strip.duckPriority->Tarn(), paging_property::kDuckPriority,
         kUByteType);
    bind(strip.mutePriority, strip.mutePriority->Tarn(), paging_property::kMutePriority,
         kUByteType);
    bind(strip.level, strip.level->Tarn(), paging_property::kGain, kDb1Type);
    bind(strip.name, strip.name->Tarn(), kNameID, kStringType);
    strip.Enable(!Binding().readOnly);
}

}  // namespace objscope::audio
