// TPeqForm, the parametric EQ editor ("Parametric EQ"): the response graph
// of all bands, band selection by marker or keyboard, gain drags, frequency
// steps and field entry, each change sent at once through the band's
// binding objects; values changed elsewhere arrive through registrations.
// The graph draws the curve of the values the device holds and, while the
// user asks for a value the device cannot take exactly, the requested curve
// faintly beside it.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <memory>
#include <vector>

#include "audio/peq_band_comm.h"
#include "audio/peq_graph_widget.h"
#include "audio/response_curve.h"
#include "windows/tarn_form_base.h"

namespace objscope::audio {

class TPeqForm : public TTarnFormBase {
  public:
    TPeqForm(TVEKroot& object, TEditorComm* comm, QWidget* parent = nullptr);

    int BandCount() const { return static_cast<int>(comms_.size()); }
    int Selected() const { return selected_; }
    // The band shown at display position i (ascending frequency) and its data.
    const TFilterBand& HeldBand(int band) const { return held_.Parametric(band); }
    TPeqGraphWidget* Graph() const { return graph_; }
    void SelectBand(int band);
    // A user's gain change of the selected band (limited, sent, redrawn).
    void SetSelectedGain(double gainDb);
    void SetSelectedFrequency(double hertz);

  protected:
    void FormShown() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    void BandValueArrived(int band, BandField field, double value);
    void Redraw();
    void ShowSelectedBand();
    void HandleGraphKey(int key, Qt::KeyboardModifiers modifiers);
    void PressGraph(QPoint at);
    void DragGraph(QPoint at);
    void StepSelection(int direction);
    void DisplayChanged();
    void GainEntered();
    void FrequencyEntered();
    double GainLimitLow(int band) const;
    double GainLimitHigh(int band) const;
    int ZeroRow() const;
    double PixelsPerDb() const;

    std::vector<std::unique_ptr<TPeqComm>> comms_;
    TFilterSet held_;
    TFilterSet requested_;
    std::unique_ptr<GridEvaluator> grid_;
    SampledCurves heldCurve_, requestedCurve_;
    bool opening_ = true;
    bool showRequested_ = false;
    int selected_ = -1;
    bool draggingGain_ = false;

    TPeqGraphWidget* graph_ = nullptr;
    QLineEdit* hiddenEdit_ = nullptr;
    QLineEdit* freqEdit_ = nullptr;
    QLineEdit* gainEdit_ = nullptr;
    QComboBox* cbxLegend_ = nullptr;
    QComboBox* cbxdB0_ = nullptr;
    QComboBox* freqComboBx_ = nullptr;
    QCheckBox* phaseCheckBox_ = nullptr;
    QCheckBox* gainCheckBox_ = nullptr;
};

// Registers TU32Peq with the object factory so that its objects open a
// TPeqForm on the communication layer given.
void RegisterPeqEditor(TEditorComm& comm);

// The frequency step of Shift+arrow at f.
double FrequencyStep(double hertz);
// Shift+Left / Shift+Right: trunc(f / step) * step -/+ step, kept to 20 Hz .. upper.
double SteppedFrequency(double hertz, int direction, double upperLimit);

}  // namespace objscope::audio
