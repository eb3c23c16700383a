// A time field of the dynamics and gain editors: a bound edit box with an
// up/down button pair and a "Fine" check box. A click (or Up / Down in the
// field) reads the field's number, adds or subtracts the step (the fine
// step while "Fine" is ticked) and commits the result through the edit box,
// which rounds it to the property's resolution, sends it and shows it as
// stored.
#pragma once

#include <QCheckBox>
#include <QToolButton>
#include <QWidget>

#include "windows/tarn_edit_box.h"

namespace objscope::audio {

struct TTimeSteps {
    double step = 1;
    double fine = 1;
};

// The value a click gives: `current` plus or minus the step in force.
double SteppedTime(double current, const TTimeSteps& steps, bool fine, bool up);

// One sample at the device's sample rate in ms (0.02 ms were the rate not
// positive): the fine step of the limiter's and compressor's times.
double OneSampleMs(double sampleRate);

class TTimeField : public QWidget {
  public:
    // `name` is the edit box's name ("edtAttack"); the buttons and the check
    // box are named after it ("edtAttackUp", "edtAttackDown", "edtAttackFine").
    TTimeField(const QString& name, TTimeSteps steps, QWidget* parent = nullptr);
    TTarnEditBox* Edit() const { return edit_; }
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }
    QCheckBox* FineBox() const { return fine_; }
    const TTimeSteps& Steps() const { return steps_; }
    // What a click of the up (true) or down button does.
    void Step(bool up);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    TTarnEditBox* edit_;
    QToolButton* up_;
    QToolButton* down_;
    QCheckBox* fine_;
    TTimeSteps steps_;
};

}  // namespace objscope::audio
