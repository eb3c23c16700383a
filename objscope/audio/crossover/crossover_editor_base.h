// What both crossover editors share: every output drawn on one graph, an
// output and its lower or upper edge selected by marker, keyboard or the
// "Crossover" page, edges moved with the mouse, Shift+arrows and the
// frequency field, the output's gain, mute and polarity, and the "Display"
// page. Each change is sent at once through the binding objects of the
// edge's filter band or of the output's gain stage; OK commits, Cancel
// returns the device to the object's values. The graph draws the curves of
// the values the device holds and, while a change asks for a value the
// device cannot take exactly, the requested curve faintly beside it.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <memory>
#include <vector>

#include "audio/crossover/crossover_graph_painter.h"
#include "audio/crossover/crossover_objects.h"
#include "audio/crossover/output_gain_comm.h"
#include "audio/eq/peq_band_comm.h"
#include "audio/shared/peq_graph_widget.h"
#include "audio/filters/response_curve.h"
#include "windows/tarn_form_base.h"
#include "windows/tarn_slider.h"

namespace objscope::audio {

class TCrossoverEditorBase : public TTarnFormBase {
  public:
    ~TCrossoverEditorBase() override;
    int OutputCount() const { return static_cast<int>(outputs_.size()); }
    int SelectedOutput() const { return selected_; }
    bool UpperSelected() const { return upper_; }
    // The frequency of an edge (0 when the edge is off).
    virtual double EdgeFrequency(int output, bool upper) const = 0;
    // Moves the selected edge to a frequency with the editor's limits, sends.
    void MoveSelectedEdge(double hertz);
    void SelectEdge(int output, bool upper);
    TPeqGraphWidget* Graph() const { return graph_; }
    // The filters of an output as the device holds them.
    const TFilterSet& OutputSet(int output) const { return *At(output).held; }
    double OutputGainDb(int output) const { return At(output).gainDb; }
    bool OutputMuted(int output) const { return At(output).muted; }
    virtual bool OutputInverted(int output) const = 0;
    // The drawn curves of an output (rows of its response as the device holds it).
    const SampledCurves& OutputCurves(int output) const { return At(output).heldCurves; }
    // False in a read-only editor: nothing can be changed, only looked at.
    bool Editable() const { return editable_; }
    // True while the graph shows a requested curve beside a held one.
    bool ShowsRequestedCurve() const { return showRequested_; }

  protected:
    struct Output {
        std::unique_ptr<TFilterSet> held;       // what the device holds
        std::unique_ptr<TFilterSet> requested;  // what the user asked for
        std::vector<std::unique_ptr<TPeqComm>> bandComms;
        std::unique_ptr<TOutputGain> gain;
        SampledCurves heldCurves, requestedCurves;
        QString name;
        double gainDb = 0;
        bool muted = false;
        bool polarity = false;  // the output stage's polarity
    };

    TCrossoverEditorBase(TVEKroot& object, TEditorComm* comm, int slotsPerOutput,
                         CrossoverDisplaySettings& settings, QPoint helpTextAt, QString helpText);
    // The object list entry of each output's band set, in output order.
    void BuildOutputs(const std::vector<TVEKroot*>& bandSets);
    void FormShown() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Places an edge's frequency within the editor's limits (the output's
    // other edge 5 columns away; the general editor adds its neighbours).
    virtual double ConstrainEdge(int output, bool upper, double hertz) const;
    // Sets an edge's frequency in the sets and sends it (and what follows).
    virtual void ApplyEdge(int output, bool upper, double hertz) = 0;
    // Shows the selected edge's own controls (type, slope, links).
    virtual void ShowEdgeControls() = 0;
    // The editor's own controls on the "Crossover" page, row 1 onwards.
    virtual void AddEdgeControls(QWidget* page, QGridLayout* grid) = 0;
    virtual void PhaseClicked(bool inverted) = 0;
    // Enables the controls that change something (all but the selection
    // and the display); the general editor adds its own.
    virtual void EnableEditing(bool on);
    // Right / Left on the graph without Shift.
    virtual void StepEdge(bool right);
    // Whether the output stage's polarity belongs in the curves (the
    // general editor keeps the polarity on an edge band instead).
    virtual bool StagePolarityShapesCurves() const { return false; }

    // The output next higher or lower in frequency (-1 none).
    int HigherOutput(int output) const { return Neighbour(output, 1); }
    int LowerOutput(int output) const { return Neighbour(output, -1); }
    // The neighbour an edge meets: the next higher output for an upper edge.
    int NeighbourOf(int output, bool upper) const {
        return upper ? HigherOutput(output) : LowerOutput(output);
    }

    Output& At(int output) { return outputs_.at(static_cast<size_t>(output)); }
    const Output& At(int output) const { return outputs_.at(static_cast<size_t>(output)); }
    TFilterBand& HeldSlot(int output, int slot) { return At(output).held->Parametric(slot); }
    const TFilterBand& HeldSlot(int output, int slot) const {
        return At(output).held->Parametric(slot);
    }
    double SlotFrequency(int output, int slot) const { return HeldSlot(output, slot).Frequency(); }
    uint8_t SlotType(int output, int slot) const { return HeldSlot(output, slot).FilterType(); }
    // A user's change of one field of a slot: both sets take it (the held
    // one as the device will keep it), recalculated, and it is sent.
    void SetSlotField(int output, int slot, BandField field, double value);
    void SetSlotFrequency(int output, int slot, double hertz) {
        SetSlotField(output, slot, BandField::kFreq, hertz);
    }
    void Redraw();
    void ShowSelection();
    QLineEdit* FreqEdit() const { return freqEdit_; }
    QPushButton* PhaseButton() const { return btnPhase_; }
    QComboBox* SlopeCombo() const { return slopeCombo_; }

    std::vector<Output> outputs_;

  private:
    void BuildControls();
    QWidget* BuildCrossoverPage(QWidget* parent);
    QWidget* BuildDisplayPage(QWidget* parent);
    void BuildHelpHold(QPoint at, const QString& text);
    // Orders the outputs by frequency and fills OutputCombo with their roles.
    void OrderOutputs();
    int Neighbour(int output, int direction) const;
    void SlotValueArrived(int output, int slot, BandField field, double value);
    void OutputValueArrived(int output, OutputField field, double value);
    void SampleOutput(Output& output, bool requested);
    void PaintOutputs(QPainter& painter, const PeqDisplay& display);
    void HandleKey(int key, Qt::KeyboardModifiers modifiers);
    void PressGraph(QPoint at);
    void DragGraph(QPoint at);
    void ReleaseGraph();
    void FrequencyEntered();
    void SetSelectedGain(double gainDb);
    void MuteClicked(bool muted);
    void AllMuteClicked(bool muted);
    void DisplayChanged();
    // Refuses a "dB/Div" or "0 dB" choice that would put an output's gain
    // off the plot: the list returns to its previous item.
    bool DisplayChoiceRefused();

    std::vector<int> lowestFirst_;  // output indices in ascending frequency
    int slotsPerOutput_;
    CrossoverDisplaySettings& settings_;
    int selected_ = 0;
    bool upper_ = false;
    bool dragging_ = false;
    bool opening_ = true;
    bool showRequested_ = false;
    bool editable_ = true;
    std::unique_ptr<GridEvaluator> grid_;
    TPeqGraphWidget* graph_ = nullptr;
    QLineEdit* hiddenEdit_ = nullptr;
    QPushButton* btnAllMute_ = nullptr;
    QComboBox* outputCombo_ = nullptr;
    QRadioButton* radioLow_ = nullptr;
    QRadioButton* radioHigh_ = nullptr;
    QLineEdit* freqEdit_ = nullptr;
    QComboBox* slopeCombo_ = nullptr;
    QPushButton* btnMute_ = nullptr;
    QPushButton* btnPhase_ = nullptr;
    TTarnSlider* tarnOutGain_ = nullptr;
    QComboBox* legendCombo_ = nullptr;
    QComboBox* dB0ComboBox_ = nullptr;
    QComboBox* scalingCombo_ = nullptr;
    QCheckBox* gainBox_ = nullptr;
    QCheckBox* phaseBox_ = nullptr;
    QLabel* helpHold_ = nullptr;
    int shownLegend_ = 0;  // the display choices in force
    int shownZeroDb_ = 2;
};

// The role of the output of rank r (0 the highest) among n outputs: High,
// Mid, Low, Sub and the like.
QString OutputRole(int outputs, int rankFromHighest);

// The frequency of a column of the crossover graph.
double CrossoverColumnFrequency(int column);

}  // namespace objscope::audio
