#include "audio/delay/multi_delay_form.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>
#include <algorithm>

#include "audio/delay/delay_objects.h"
#include "values/numbers.h"
#include "windows/control_numbers.h"
#include "windows/tarn_edit_box.h"

namespace objscope::audio {

namespace {

namespace p = delay_line_property;
namespace c = delay_column;

constexpr uint8_t kMsType = 163;
constexpr uint8_t kSWordType = 7;
constexpr int kNameWidth = 124;
constexpr int kPositionWidth = 60;
constexpr int kVisibleRows = 10;

struct TSourceField {
    const char* name;
    const char* caption;
    uint16_t id;
};

// The declared source position properties (3076 and 3077 are the stage
// reference delays the device reports).
constexpr TSourceField kSourceFields[] = {
    {"edtSourceX", "Source  &X:", p::kSourceX},
    {"edtSourceY", "&Y:", p::kSourceY},
    {"edtSourceZ", "&Z:", p::kSourceZ},
};

QString TemperatureText() {
    return QString("Distances at %1 °C (speed of sound %2 m/s)")
        .arg(kDelayTemperature)
        .arg(GuardedSpeedOfSound(kDelayTemperature) / 1000.0, 0, 'f', 3);
}

}  // namespace

TMultiDelayForm::TMultiDelayForm(TVEKroot& object, TEditorComm* comm, QWidget* parent)
    : TBoundEditorForm(object, comm, "Delay Line", parent) {
    setObjectName("TMultiDelayForm");
    setWindowTitle("Delay Line");
    const auto& line = static_cast<const TU32SignalDelayLine&>(object);
    autoCalc_ = line.AutoCalculating();
    auto* layout = new QVBoxLayout(Body());
    layout->addLayout(BuildTopRow());
    if (autoCalc_)
        layout->addLayout(BuildSourceRow());
    BuildGrid(line);
    layout->addWidget(grid_, 1);
    auto* temperature = new QLabel(TemperatureText(), Body());
    temperature->setObjectName("lblTemperature");
    layout->addWidget(temperature);
}

TMultiDelayForm::~TMultiDelayForm() {
    // The grid's model reads the tap objects while the view goes.
    grid_->setModel(nullptr);
}

QLayout* TMultiDelayForm::BuildTopRow() {
    auto* row = new QHBoxLayout();
    row->addWidget(BypassButton("&Bypass  ", true));
    btnMute_ = new QPushButton("&Mute All", Body());
    btnMute_->setObjectName("btnMute");
    btnMute_->setCheckable(true);
    connect(btnMute_, &QPushButton::clicked, this, [this](bool on) { MuteAllClicked(on); });
    row->addWidget(btnMute_);
    auto* caption = new QLabel("Maximum Delay:", Body());
    caption->setObjectName("lblMaxDelay");
    lblMaxDelayValue_ = new QLabel(Body());
    lblMaxDelayValue_->setObjectName("lblMaxDelayValue");
    caption->setBuddy(lblMaxDelayValue_);
    BindComm(maxDelay_, {p::kMaxDelay, kMsType, true}, Binding());
    maxDelay_.OnValueArrived = [this] { ShowMaxDelay(); };
    row->addWidget(caption);
    row->addWidget(lblMaxDelayValue_);
    row->addStretch(1);

    auto* units = new QGroupBox("Distance Units", Body());
    units->setObjectName("radDistanceUnits");
    auto* unitRow = new QHBoxLayout(units);
    radFeet_ = new QRadioButton("&ft", units);
    radFeet_->setObjectName("radFeet");
    radMetres_ = new QRadioButton("M", units);
    radMetres_->setObjectName("radMetres");
    radFeet_->setChecked(true);
    unitRow->addWidget(radFeet_);
    unitRow->addWidget(radMetres_);
    auto* group = new QButtonGroup(units);
    group->addButton(radFeet_);
    group->addButton(radMetres_);
    connect(radMetres_, &QRadioButton::toggled, this, [this](bool metres) {
        model_->SetUnit(metres ? TDistanceUnit::kMetres : TDistanceUnit::kFeet);
    });
    row->addWidget(units);
    return row;
}

QLayout* TMultiDelayForm::BuildSourceRow() {
    auto* row = new QHBoxLayout();
    auto* master = Bound(new TTarnCheckBox("cbxAutoCalcMaster", "&Auto-Calc", Body()),
                         {p::kAutoCalc, 0, true});
    master->setToolTip("Master Enable/Disable Control");
    row->addWidget(master);
    for (const TSourceField& source : kSourceFields) {
        auto* field = Bound(new TTarnEditBox(source.name, Body()), {source.id, kSWordType, true});
        field->setMaximumWidth(kPositionWidth);
        row->addWidget(Caption(source.caption, field));
        row->addWidget(field);
    }
    row->addStretch(1);
    return row;
}

void TMultiDelayForm::BuildGrid(const TU32SignalDelayLine& line) {
    const ObjectList& objects = Binding().Objects();
    std::vector<TDelayRow> rows;
    for (int i = 0; i < line.TapCount(); ++i) {
        const TDelayTap& tap = line.Tap(i);
        const auto at = std::find(objects.begin(), objects.end(), &tap);
        auto comm =
            std::make_unique<TDelayTapComm>(tap, static_cast<int>(at - objects.begin()), Binding());
        const int row = i;
        comm->OnChange = [this, row](TapField field) {
            model_->FieldChanged(row, field);
            if (field == TapField::kMute)
                ShowMuteAll();
        };
        rows.push_back({QString::fromStdString(tap.ObjectName()), comm.get()});
        taps_.push_back(std::move(comm));
    }
    model_ = new TDelayGridModel(std::move(rows), this);
    grid_ = new QTableView(Body());
    grid_->setObjectName("DelayGrid");
    grid_->setModel(model_);
    grid_->verticalHeader()->hide();
    grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->resizeColumnsToContents();
    grid_->setColumnWidth(c::kName, kNameWidth);
    grid_->setColumnHidden(c::kMute, true);
    for (int column = c::kCalc; column <= c::kOffset; ++column)
        grid_->setColumnHidden(column, !autoCalc_);
    const int rowHeight = grid_->verticalHeader()->defaultSectionSize();
    grid_->setMinimumHeight(grid_->horizontalHeader()->sizeHint().height() +
                            std::min(kVisibleRows, std::max(1, line.TapCount())) * rowHeight + 4);
    int width = 4;
    for (int column = 0; column < c::kCount; ++column)
        width += grid_->isColumnHidden(column) ? 0 : grid_->columnWidth(column);
    grid_->setMinimumWidth(width + 20);
}

void TMultiDelayForm::FormShown() {
    TBoundEditorForm::FormShown();
    model_->SetEditable(!Binding().readOnly);
    ShowMuteAll();
}

void TMultiDelayForm::MuteAllClicked(bool on) {
    for (auto& tap : taps_)
        tap->Set(TapField::kMute, on ? 1 : 0);
    for (int row = 0; row < TapCount(); ++row)
        model_->FieldChanged(row, TapField::kMute);
}

// The button is down while every tap is muted.
void TMultiDelayForm::ShowMuteAll() {
    const bool all = !taps_.empty() && std::all_of(taps_.begin(), taps_.end(), [](const auto& tap) {
        return tap->Value(TapField::kMute) != 0;
    });
    const QSignalBlocker block(btnMute_);
    btnMute_->setChecked(all);
}

void TMultiDelayForm::ShowMaxDelay() {
    const TU32MultiValue* number = maxDelay_.MultiProperty();
    if (!number)
        return;
    const TValueResolution resolution = ResolutionOf(*number);
    lblMaxDelayValue_->setText(QString::fromStdString(
        FormatValueText(number->GetData(), resolution.decimals, resolution.units)));
}

}  // namespace objscope::audio
