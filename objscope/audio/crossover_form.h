// The crossover editors: TCrossoverForm ("Vek Crossover", the general
// crossover) and TCrossLinkwitz ("VEK Linkwitz-Riley Crossover"). Both draw
// every output on one graph, select an output and its lower or upper edge by
// marker, keyboard or the "Crossover" page, and move edges with the mouse,
// Shift+arrows and the frequency field, sending each change at once through
// the binding objects of the edge's filter band. OK commits, Cancel returns
// the device to the object's values.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <memory>
#include <vector>

#include "audio/crossover_graph_painter.h"
#include "audio/peq_band_comm.h"
#include "audio/peq_graph_widget.h"
#include "audio/response_curve.h"
#include "windows/tarn_form_base.h"

namespace objscope::audio {

class TCrossoverEditorBase : public TTarnFormBase {
  public:
    int OutputCount() const { return static_cast<int>(outputs_.size()); }
    int SelectedOutput() const { return selected_; }
    bool UpperSelected() const { return upper_; }
    // The frequency of an edge (0 when the edge is off).
    virtual double EdgeFrequency(int output, bool upper) const = 0;
    // Moves the selected edge to a frequency with the editor's limits, sends.
    void MoveSelectedEdge(double hertz);
    void SelectEdge(int output, bool upper);
    TPeqGraphWidget* Graph() const { return graph_; }
    const TFilterSet& OutputSet(int output) const {
        return *outputs_[static_cast<size_t>(output)].set;
    }

  protected:
    struct Output {
        std::unique_ptr<TFilterSet> set;
        std::vector<std::unique_ptr<TPeqComm>> bandComms;
        SampledCurves curves;
        QString name;
    };

    TCrossoverEditorBase(TVEKroot& object, TEditorComm* comm, int slotsPerOutput);
    // The object list entry of each output's band set, in output order.
    void BuildOutputs(const std::vector<TVEKroot*>& bandSets);
    void FormShown() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Sets an edge's frequency in the sets and sends it (and what follows).
    virtual void ApplyEdge(int output, bool upper, double hertz) = 0;
    // The output next higher or lower in frequency (-1 none).
    int HigherOutput(int output) const { return Neighbour(output, 1); }
    int LowerOutput(int output) const { return Neighbour(output, -1); }
    void SetSlotFrequency(int output, int slot, double hertz);
    double SlotFrequency(int output, int slot) const;
    uint8_t SlotType(int output, int slot) const;

    std::vector<Output> outputs_;

  private:
    void BuildControls();
    // Orders the outputs by frequency and fills OutputCombo with their roles.
    void OrderOutputs();
    int Neighbour(int output, int direction) const;
    void SlotValueArrived(int output, int slot, BandField field, double value);
    void Redraw();
    void PaintOutputs(QPainter& painter, const PeqDisplay& display);
    void ShowSelection();
    void HandleKey(int key, Qt::KeyboardModifiers modifiers);
    void PressGraph(QPoint at);
    void DragGraph(QPoint at);
    void FrequencyEntered();

    std::vector<int> lowestFirst_;  // output indices in ascending frequency
    int slotsPerOutput_;
    int selected_ = 0;
    bool upper_ = false;
    bool dragging_ = false;
    bool opening_ = true;
    GridEvaluator grid_;
    TPeqGraphWidget* graph_ = nullptr;
    QLineEdit* hiddenEdit_ = nullptr;
    QComboBox* outputCombo_ = nullptr;
    QRadioButton* radioLow_ = nullptr;
    QRadioButton* radioHigh_ = nullptr;
    QLineEdit* freqEdit_ = nullptr;
};

class TCrossoverForm : public TCrossoverEditorBase {
  public:
    TCrossoverForm(TVEKroot& object, TEditorComm* comm, QWidget* parent = nullptr);
    double EdgeFrequency(int output, bool upper) const override;

  protected:
    void ApplyEdge(int output, bool upper, double hertz) override;
};

class TCrossLinkwitz : public TCrossoverEditorBase {
  public:
    TCrossLinkwitz(TVEKroot& object, TEditorComm* comm, QWidget* parent = nullptr);
    double EdgeFrequency(int output, bool upper) const override;

  protected:
    void ApplyEdge(int output, bool upper, double hertz) override;
};

// The role of the output of rank r (0 the highest) among n outputs: High,
// Mid, Low, Sub and the like.
QString OutputRole(int outputs, int rankFromHighest);

// Column of an edge on the crossover graph and the frequency of a column.
double CrossoverColumnFrequency(int column);

// Registers both crossover classes so that their objects open these editors.
void RegisterCrossoverEditors(TEditorComm& comm);

}  // namespace objscope::audio
