#include "audio/delay/sample_delay_form.h"

#include <QVBoxLayout>

#include "audio/delay/delay_objects.h"

namespace objscope::audio {

namespace {

constexpr uint8_t kByteType = 1;
constexpr double kFewest = 1;
constexpr double kMost = 20;
constexpr double kIntervals = 9.5;

}  // namespace

TSampleDelayForm::TSampleDelayForm(TVEKroot& object, TEditorComm* comm, QWidget* parent)
    : TBoundEditorForm(object, comm, "SDelay", parent) {
    setObjectName("TSampleDelayForm");
    auto* layout = new QVBoxLayout(Body());
    auto* name = Bound(new TTarnLabel("TarnLabel1", Body()), {kObjectNamePropertyID});
    name->setToolTip("Name of this processing module");
    layout->addWidget(name);
    slider_ = new TTarnSlider("TarnSlider1", Body());
    Bound(slider_, {kSamplesOfDelayProperty, kByteType});
    slider_->SetData_Min(kFewest);
    slider_->SetData_Max(kMost);
    slider_->SetDataResolution(1);
    slider_->SetNumTicIntervals(kIntervals);
    slider_->SetTextBox(true);
    slider_->setToolTip("Number of (digital) Samples of Delay");
    slider_->setFocusPolicy(Qt::StrongFocus);
    slider_->setMinimumSize(64, 230);
    layout->addWidget(Caption("&Samples of Delay", slider_));
    layout->addWidget(slider_, 1, Qt::AlignHCenter);
}

}  // namespace objscope::audio
