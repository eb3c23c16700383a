// TPeqForm: the band fields of the page control, the display lists and
// "Set Defaults".
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "audio/shared/editor_fields.h"
#include "audio/eq/peq_form.h"
#include "audio/shared/peq_graph_geometry.h"
#include "audio/eq/peq_objects.h"
#include "windows/message_boxes.h"

namespace objscope::audio {

namespace {

constexpr double kUpperLimit = 20000.0;
constexpr int kDefaultsPauseMs = 50;

enum TypeItem { kPeaking, kNotch, kHiPass, kLoPass, kAllPass };

}  // namespace

// ---- band fields ----

// Enter when modified, or leaving the field after typing: 20 Hz .. upper
// limit, "k" for thousands; unparsable text keeps the frequency.
void TPeqForm::FrequencyEntered() {
    if (!freqEdit_->isModified())
        return;
    freqEdit_->setModified(false);
    if (auto value = FieldFrequency(freqEdit_->text()))
        SetSelectedFrequency(*value);
    ShowSelectedBand();
}

void TPeqForm::GainEntered() {
    if (!gainEdit_->isModified())
        return;
    gainEdit_->setModified(false);
    if (auto value = LeadingNumber(gainEdit_->text()))
        SetSelectedGain(*value);
    ShowSelectedBand();
}

// Octaves 0.001 .. 5, as Q and the handles' width.
void TPeqForm::BandwidthEntered() {
    QLineEdit* edit = edtBandwidth_->lineEdit();
    if (selected_ < 0 || !edit->isModified())
        return;
    edit->setModified(false);
    if (auto value = LeadingNumber(edit->text())) {
        const double octaves = std::clamp(*value, 0.001, 5.0);
        halfWidth_[static_cast<size_t>(selected_)] = peq_graph::BandwidthHalfWidth(octaves);
        SetBandQ(selected_, QFromBandwidthOctaves(octaves));
        return;
    }
    ShowSelectedBand();
}

void TPeqForm::QEntered() {
    if (selected_ < 0 || !edtFilterQ_->isModified())
        return;
    edtFilterQ_->setModified(false);
    if (auto value = LeadingNumber(edtFilterQ_->text())) {
        SetBandQ(selected_, std::clamp(*value, 0.001, 5.0));
        halfWidth_[static_cast<size_t>(selected_)] =
            peq_graph::BandwidthHalfWidth(held_.Parametric(selected_).BandwidthOctaves());
    }
    ShowSelectedBand();
}

void TPeqForm::SlopeChosen(int item) {
    if (selected_ < 0)
        return;
    const int order = SlopeItemOrder(cbxSlope_->itemText(item));
    for (TFilterSet* set : {&held_, &requested_}) {
        set->Parametric(selected_).SetOrder(static_cast<uint8_t>(order));
        set->Parametric(selected_).Recalculate();
    }
    SendField(selected_, BandField::kOrder, order);
    Redraw();
}

// Items 0..2 send class 1..3; anything else resets the list to "Butterworth".
void TPeqForm::ClassChosen(int item) {
    if (selected_ < 0)
        return;
    if (item < 0 || item > 2) {
        item = 0;
        cbxClass_->setCurrentIndex(0);
    }
    for (TFilterSet* set : {&held_, &requested_}) {
        set->Parametric(selected_).SetFamily(static_cast<uint8_t>(item + 1));
        set->Parametric(selected_).Recalculate();
    }
    SendField(selected_, BandField::kKind, item + 1);
    ShowSelectedBand();
    Redraw();
}

// The type with its side effects: the gain limited for the new type (a
// pass filter's made 0), Q 4.333 on becoming peaking or notch, 0.707 for a
// pass filter; order, type and Q sent.
void TPeqForm::TypeChosen(int item) {
    if (selected_ < 0 || item < 0)
        return;
    const int band = selected_;
    const TFilterBand& current = held_.Parametric(band);
    const int previousType = current.FilterType();
    const bool classQ = current.Family() == 4;
    int order = current.Order();
    int type = 1;
    switch (item) {
        case kPeaking:
            type = 1;
            break;
        case kNotch:
            type = 2;
            break;
        case kHiPass:
            type = 102;
            break;
        case kLoPass:
            type = 101;
            break;
        default:
            type = classQ ? 10 : 103;
            if (classQ)
                order = 2;
            break;
    }
    const bool pass = item >= kHiPass;
    for (TFilterSet* set : {&held_, &requested_}) {
        set->Parametric(band).SetFilterType(static_cast<uint8_t>(type));
        set->Parametric(band).SetOrder(static_cast<uint8_t>(order));
    }
    const double gain = held_.Parametric(band).GainDb();
    const GainRange range = FieldGainRange(type == 2);
    const double limited = pass ? 0.0 : std::clamp(gain, range.low, range.high);
    if (limited != gain)
        SetBandGain(band, limited);
    double q = held_.Parametric(band).Q();
    if (pass)
        q = 0.707;
    else if (type != previousType)
        q = 4.333;
    SendField(band, BandField::kOrder, order);
    SendField(band, BandField::kType, type);
    SetBandQ(band, q);
    halfWidth_[static_cast<size_t>(band)] =
        peq_graph::BandwidthHalfWidth(held_.Parametric(band).BandwidthOctaves());
    ShowSelectedBand();
    Redraw();
}

// A page chosen by the user selects the band of its number.
void TPeqForm::PageChosen(int page) {
    if (showingBand_ || page == selected_)
        return;
    SelectBand(page < BandCount() ? page : -1);
}

// ---- display lists ----

void TPeqForm::LegendChosen(int item) {
    if (!DisplayChoiceFits(item, cbxdB0_->currentIndex(), Gains())) {
        QSignalBlocker quiet(cbxLegend_);
        cbxLegend_->setCurrentIndex(legendIndex_);
        return;
    }
    legendIndex_ = item;
    DisplayChanged();
}

void TPeqForm::ZeroLocationChosen(int item) {
    if (!DisplayChoiceFits(cbxLegend_->currentIndex(), item, Gains())) {
        QSignalBlocker quiet(cbxdB0_);
        cbxdB0_->setCurrentIndex(zeroIndex_);
        return;
    }
    zeroIndex_ = item;
    DisplayChanged();
}

// ---- Set Defaults ----

// Every band becomes peaking, 0 dB, Q 2.5 at 25 x 1.209^i Hz, order 2, and
// is sent band by band with 50 ms pauses before and after each band's
// sends. The pauses are timers, so the window stays live meanwhile.
void TPeqForm::SetDefaultsClick() {
    if (SettingDefaults() ||
        !ConfirmOk(this, "Set all filters to peaking and default values?", OkButtons::OkAbort))
        return;
    for (int i = 0; i < BandCount(); ++i) {
        for (TFilterSet* set : {&held_, &requested_}) {
            TFilterBand& band = set->Parametric(i);
            band.SetFilterType(1);
            band.SetGainDb(0);
            band.SetQ(2.5);
            band.SetFrequency(DefaultBandFrequency(i));
            band.SetOrder(2);
            band.SetFamily(0);
            band.Recalculate();
        }
        halfWidth_[static_cast<size_t>(i)] =
            peq_graph::BandwidthHalfWidth(held_.Parametric(i).BandwidthOctaves());
        order_[static_cast<size_t>(i)] = i;  // the defaults rise with the band number
    }
    ShowSelectedBand();
    Redraw();
    defaultsBand_ = 0;
    flatButton_->setEnabled(false);
    QTimer::singleShot(kDefaultsPauseMs, this, &TPeqForm::SendNextDefaults);
}

void TPeqForm::SendNextDefaults() {
    const int band = defaultsBand_;
    if (band < 0)
        return;
    if (band >= BandCount()) {
        defaultsBand_ = -1;
        flatButton_->setEnabled(true);
        return;
    }
    SendField(band, BandField::kGain, 0);
    SendField(band, BandField::kFreq, DefaultBandFrequency(band));
    SendField(band, BandField::kOrder, 2);
    SendField(band, BandField::kQ, 2.5);
    SendField(band, BandField::kType, 1);
    SendField(band, BandField::kKind, 0);
    ++defaultsBand_;
    // The pause after this band's sends, then (but for the last) the one
    // before the next band's.
    const int pause = defaultsBand_ < BandCount() ? 2 * kDefaultsPauseMs : kDefaultsPauseMs;
    QTimer::singleShot(pause, this, &TPeqForm::SendNextDefaults);
}

}  // namespace objscope::audio
