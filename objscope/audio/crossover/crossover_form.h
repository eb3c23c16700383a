// TCrossoverForm ("Vek Crossover"), the editor of the general crossover:
// every output a band-pass of a free lower (high-pass) and upper (low-pass)
// edge. Beside what both crossover editors share it sets an edge's filter
// family and slope, and links or aligns an edge with the facing edge of the
// neighbouring output, which then follows its changes.
#pragma once

#include "audio/crossover/crossover_editor_base.h"

namespace objscope::audio {

class TCrossoverForm : public TCrossoverEditorBase {
  public:
    TCrossoverForm(TVEKroot& object, TEditorComm* comm, QWidget* parent = nullptr);
    double EdgeFrequency(int output, bool upper) const override;
    // Either edge band inverted.
    bool OutputInverted(int output) const override;
    // The editor's link flags of an edge, as the band objects keep them.
    bool EdgeLinked(int output, bool upper) const;
    bool EdgeAligned(int output, bool upper) const;

  protected:
    double ConstrainEdge(int output, bool upper, double hertz) const override;
    void ApplyEdge(int output, bool upper, double hertz) override;
    void ShowEdgeControls() override;
    void AddEdgeControls(QWidget* page, QGridLayout* grid) override;
    void PhaseClicked(bool inverted) override;
    void EnableEditing(bool on) override;

  private:
    TU32CrossOverBand& Band(int output) const { return crossover_.Output(output); }
    bool& LinkFlag(int output, bool upper, bool aligned) const;
    bool Tied(int output, bool upper) const {
        return EdgeLinked(output, upper) || EdgeAligned(output, upper);
    }
    void FilterTypeChosen(int index);
    void SlopeChosen(int index);
    void TieClicked(bool aligned, bool on);
    // Gives the neighbour's facing edge the edited edge's values (its
    // frequency, and for a link also its family, order and the
    // complementary type) and sends them.
    void MatchNeighbour(int output, bool upper, bool withFilter);
    void SetEdgeFilter(int output, bool upper, uint8_t type, uint8_t family);
    void ShowLink();

    TU32CrossOver& crossover_;
    QComboBox* filterTypeCombo_ = nullptr;
    QCheckBox* cbkLinked_ = nullptr;
    QCheckBox* cbkAligned_ = nullptr;
    QLabel* lblLink_ = nullptr;
};

// The question asked before a link or alignment changes the neighbour.
std::string MatchQuestion(const QString& neighbour, const QString& selected);

}  // namespace objscope::audio
