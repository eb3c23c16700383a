// TPeqForm, the parametric EQ editor ("Parametric EQ"): the response graph
// of all bands, band selection by marker, keyboard or page, drags of a
// band's gain, frequency and bandwidth, the band fields of the page control,
// the master gain, bypass, polarity and mute of the set, and "Set Defaults";
// each change is sent at once through the band's binding objects and values
// changed elsewhere arrive through registrations. The graph draws the curve
// of the values the device holds and, while the user asks for a value the
// device cannot take exactly, the requested curve faintly beside it.
//
// Bands keep their device identity: band i of the filter sets is always
// bound to object i + 3. The display list (ascending frequency) is a
// separate order of band numbers, re-sorted after a frequency change.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "audio/eq/peq_band_comm.h"
#include "audio/eq/peq_editor_rules.h"
#include "audio/shared/peq_graph_widget.h"
#include "audio/filters/response_curve.h"
#include "windows/tarn_form_base.h"
#include "windows/tarn_slider.h"

namespace objscope::audio {

class TPeqForm : public TTarnFormBase {
  public:
    TPeqForm(TVEKroot& object, TEditorComm* comm, QWidget* parent = nullptr);
    ~TPeqForm() override;

    int BandCount() const { return static_cast<int>(comms_.size()); }
    // The selected band's number (0-based, -1 for none).
    int Selected() const { return selected_; }
    // The values of band i as the device holds them.
    const TFilterBand& HeldBand(int band) const { return held_.Parametric(band); }
    // Band numbers in display order (ascending frequency).
    const std::vector<int>& DisplayOrder() const { return order_; }
    // Bandwidth handle half-width of band i in pixels.
    int HalfWidth(int band) const { return halfWidth_[static_cast<size_t>(band)]; }
    int MasterOffset() const { return masterOffset_; }
    bool SettingDefaults() const { return defaultsBand_ >= 0; }
    TPeqGraphWidget* Graph() const { return graph_; }
    void SelectBand(int band);
    // A user's gain change of the selected band (-12..12 dB, a notch
    // -48..0; sent, redrawn).
    void SetSelectedGain(double gainDb);
    // A user's frequency change of the selected band (20 Hz .. upper limit;
    // sent, the display list re-sorted).
    void SetSelectedFrequency(double hertz);

  protected:
    void FormShown() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum class Drag { kIdle, kGain, kFrequency, kBandwidthRight, kBandwidthLeft };

    // Building (peq_form.cpp).
    void BuildControls();
    QLayout* BuildBoundControls();
    QWidget* BuildBandPages();
    QLayout* BuildDisplayOptions();
    void ConnectFields();

    // State and drawing (peq_form.cpp).
    void BandValueArrived(int band, BandField field, double value);
    void Redraw();
    void UpdateMasterOffset();
    void ShowSelectedBand();
    void ShowBandPage(int band);
    void ShowFieldsFor(const TFilterBand& band);
    std::vector<double> Gains() const;
    int ZeroRow() const;
    double PixelsPerDb() const;
    int DisplayPosition(int band) const;
    void ResortSelected();
    void ResortBandAt(int band);
    // Changes of one band in both sets, sent.
    const TFilterBand& ChangeBand(int band, const std::function<void(TFilterBand&)>& change);
    void SetBandGain(int band, double gainDb);
    void SetBandFrequency(int band, double hertz);
    void SetBandQ(int band, double q);
    void SetBandHalfWidth(int band, int halfWidth);
    void SendField(int band, BandField field, double value);

    // Graph mouse and keys (peq_form_graph.cpp).
    void HandleGraphKey(int key, Qt::KeyboardModifiers modifiers);
    void StepSelection(int direction);
    void PressGraph(QPoint at);
    void PressPlot(QPoint at);
    void PressStrip(QPoint at);
    void DragGraph(QPoint at);
    void DragGain(QPoint at);
    void DragFrequency(QPoint at);
    void DragBandwidth(QPoint at);
    void ReleaseGraph();
    void Hover(std::optional<QPoint> at);
    int MarkerColumn(int band) const;
    int MarkerRow(int band) const;

    // Fields, display options and defaults (peq_form_fields.cpp).
    void FrequencyEntered();
    void GainEntered();
    void BandwidthEntered();
    void QEntered();
    void TypeChosen(int item);
    void ClassChosen(int item);
    void SlopeChosen(int item);
    void LegendChosen(int item);
    void ZeroLocationChosen(int item);
    void PageChosen(int page);
    void DisplayChanged();
    void SetDefaultsClick();
    void SendNextDefaults();

    std::vector<std::unique_ptr<TPeqComm>> comms_;
    TFilterSet held_;
    TFilterSet requested_;
    std::vector<int> order_;
    std::vector<int> halfWidth_;
    std::unique_ptr<GridEvaluator> grid_;
    SampledCurves heldCurve_, requestedCurve_;
    std::optional<PeqHover> hover_;
    bool opening_ = true;
    bool showRequested_ = false;
    bool showingBand_ = false;
    int selected_ = -1;
    Drag drag_ = Drag::kIdle;
    int masterOffset_ = 0;
    int legendIndex_ = 1;
    int zeroIndex_ = 2;
    int defaultsBand_ = -1;

    TPeqGraphWidget* graph_ = nullptr;
    QLineEdit* hiddenEdit_ = nullptr;
    TTarnSlider* masterGain_ = nullptr;
    QTabWidget* pages_ = nullptr;
    QWidget* bandFields_ = nullptr;
    QComboBox* cbxType_ = nullptr;
    QLineEdit* freqEdit_ = nullptr;
    QLineEdit* gainEdit_ = nullptr;
    QComboBox* edtBandwidth_ = nullptr;
    QLineEdit* edtFilterQ_ = nullptr;
    QComboBox* cbxClass_ = nullptr;
    QComboBox* cbxSlope_ = nullptr;
    QLabel* upperLabel_ = nullptr;
    QLabel* passGainLabel_ = nullptr;
    QGridLayout* bandGrid_ = nullptr;
    QLabel* lowerLabel_ = nullptr;
    QComboBox* cbxLegend_ = nullptr;
    QComboBox* cbxdB0_ = nullptr;
    QComboBox* freqComboBx_ = nullptr;
    QCheckBox* phaseCheckBox_ = nullptr;
    QCheckBox* gainCheckBox_ = nullptr;
    QPushButton* flatButton_ = nullptr;
};

}  // namespace objscope::audio
