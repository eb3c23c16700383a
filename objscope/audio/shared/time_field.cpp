#include "audio/shared/time_field.h"

#include <QGridLayout>
#include <QKeyEvent>

#include "windows/control_numbers.h"

namespace objscope::audio {

namespace {

constexpr double kFallbackSampleMs = 0.02;
constexpr int kFieldWidth = 110;
constexpr int kDigitsPassed = 9;  // the edit box rounds to the resolution

QToolButton* SpinButton(const QString& name, Qt::ArrowType arrow, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFixedSize(18, 12);
    return button;
}

}  // namespace

double SteppedTime(double current, const TTimeSteps& steps, bool fine, bool up) {
    const double step = fine ? steps.fine : steps.step;
    return up ? current + step : current - step;
}

double OneSampleMs(double sampleRate) {
    return sampleRate > 0 ? 1000.0 / sampleRate : kFallbackSampleMs;
}

TTimeField::TTimeField(const QString& name, TTimeSteps steps, QWidget* parent)
    : QWidget(parent), steps_(steps) {
    setObjectName(name + "Field");
    edit_ = new TTarnEditBox(name, this);
    edit_->setMinimumWidth(kFieldWidth);
    edit_->installEventFilter(this);
    up_ = SpinButton(name + "Up", Qt::UpArrow, this);
    down_ = SpinButton(name + "Down", Qt::DownArrow, this);
    fine_ = new QCheckBox("Fine", this);
    fine_->setObjectName(name + "Fine");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(2);
    grid->setVerticalSpacing(0);
    grid->addWidget(edit_, 0, 0, 2, 1);
    grid->addWidget(up_, 0, 1);
    grid->addWidget(down_, 1, 1);
    grid->addWidget(fine_, 0, 2, 2, 1);
    connect(up_, &QToolButton::clicked, this, [this] { Step(true); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(false); });
    setFocusProxy(edit_);
}

void TTimeField::Step(bool up) {
    const double current = ParseTypedNumber(edit_->text().toStdString());
    const double next = SteppedTime(current, steps_, fine_->isChecked(), up);
    edit_->setText(QString::number(next, 'f', kDigitsPassed));
    edit_->CommitText();
}

// Up and Down in the field step the time as the buttons do.
bool TTimeField::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace objscope::audio
