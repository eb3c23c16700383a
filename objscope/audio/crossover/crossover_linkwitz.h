// TCrossLinkwitz ("VEK Linkwitz-Riley Crossover"), the editor of the
// Linkwitz-Riley crossover: its outputs share crossover points, so moving a
// point or choosing its slope rewrites that point's slot in every output
// from the crossover's table (all-pass slots at half the order, high-pass
// slots inverted when the order is not a multiple of 4) and sends it. The
// lowest output's lower edge (20 Hz) and the highest output's upper edge
// (20000 Hz) are fixed.
#pragma once

#include "audio/crossover/crossover_editor_base.h"

namespace objscope::audio {

class TCrossLinkwitz : public TCrossoverEditorBase {
  public:
    TCrossLinkwitz(TVEKroot& object, TEditorComm* comm, QWidget* parent = nullptr);
    double EdgeFrequency(int output, bool upper) const override;
    // The output stage's polarity.
    bool OutputInverted(int output) const override;
    // The crossover point of an edge (-1 for the fixed outer edges).
    int PointOf(int output, bool upper) const;
    // The order of a point's low- and high-pass slots.
    uint8_t PointOrder(int point) const;

  protected:
    // A point stays 5 columns from the points (or fixed edges) on either
    // side, whichever output's edge it was picked by.
    double ConstrainEdge(int output, bool upper, double hertz) const override;
    void ApplyEdge(int output, bool upper, double hertz) override;
    void ShowEdgeControls() override;
    void AddEdgeControls(QWidget* page, QGridLayout* grid) override;
    void PhaseClicked(bool inverted) override;
    void StepEdge(bool right) override;
    bool StagePolarityShapesCurves() const override { return true; }

  private:
    // Rewrites slot `point` of every output from the table and sends it.
    void RewritePoint(int point, double hertz, uint8_t order);
    void SlopeChosen(int index);
};

}  // namespace objscope::audio
