#include "audio/shared/peak_hold_list.h"

#include <algorithm>

#include "windows/tarn_meter.h"

namespace objscope::audio {

namespace {

constexpr int kMaxHoldValue = 255;

}  // namespace

QStringList PeakHoldItems() {
    return {"0 (don't hold)", "1 sec", "2 sec", "4 sec", "10 sec"};
}

int PeakHoldValueOfText(const QString& text) {
    qsizetype end = 0;
    const auto kept = [](QChar c) { return (c >= '0' && c <= '9') || c == '+' || c == '-'; };
    while (end < text.size() && kept(text[end]))
        ++end;
    // A sign inside the run or no digits at all leave it unreadable.
    bool ok = false;
    const qlonglong value = text.left(end).toLongLong(&ok);
    return ok ? static_cast<int>(std::clamp<qlonglong>(value, 0, kMaxHoldValue)) : 0;
}

TPeakHoldList::TPeakHoldList(QWidget* parent) : QComboBox(parent) {
    setObjectName("cboPeakHoldTime");
    addItems(PeakHoldItems());
    connect(this, &QComboBox::currentIndexChanged, this, [this] { Apply(); });
}

void TPeakHoldList::AddMeter(TTarnMeter2* meter) {
    meters_.push_back(meter);
    meter->SetPeakHoldValue(HoldValue());
}

void TPeakHoldList::Apply() {
    const int value = HoldValue();
    for (TTarnMeter2* meter : meters_)
        meter->SetPeakHoldValue(value);
}

}  // namespace objscope::audio
