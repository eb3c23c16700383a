#include "audio/eq/peq_editor_rules.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace objscope::audio {

namespace {

constexpr int kTop = 0;
constexpr int kMidUpper = 1;
constexpr int kMidLower = 3;
constexpr int kBottom = 4;

}  // namespace

QString PeqGainText(double gainDb) {
    return QString::number(gainDb, 'f', 1) + " dB";
}

QString BandwidthText(double octaves) {
    return QString::number(octaves, 'f', 3) + " Octaves";
}

QString QText(double q) {
    return QString::number(q, 'f', 3);
}

QString HoverFrequencyText(double hertz) {
    if (hertz >= 1000)
        return QString::asprintf("%2.1f", hertz / 1000) + " KHz";
    return QString::number(hertz, 'f', 1) + " Hz";
}

QString HoverGainText(double gainDb) {
    return "dB = " + QString::number(gainDb, 'f', 1);
}

double FrequencyStep(double hertz) {
    if (hertz < 25)
        return 1;
    if (hertz < 50)
        return 2;
    if (hertz < 100)
        return 5;
    if (hertz < 500)
        return 10;
    if (hertz < 1000)
        return 50;
    if (hertz < 5000)
        return 100;
    if (hertz < 10000)
        return 500;
    return 1000;
}

double SteppedFrequency(double hertz, int direction, double upperLimit) {
    const double step = FrequencyStep(hertz);
    const double next = std::trunc(hertz / step) * step + direction * step;
    return std::clamp(next, 20.0, upperLimit);
}

GainRange FieldGainRange(bool notch) {
    return notch ? GainRange{-48, 0} : GainRange{-12, 12};
}

GainRange GraphGainRange(int zeroDbLocation) {
    switch (zeroDbLocation) {
        case kTop:
            return {-12, 0};
        case kMidUpper:
            return {-12, 6};
        case kMidLower:
            return {-6, 12};
        case kBottom:
            return {0, 12};
        default:
            return {-12, 12};
    }
}

double DragGain(int zeroRow, int y, double pixelsPerDb) {
    const double raw = (zeroRow - y) / pixelsPerDb;
    const double whole = std::trunc(raw);
    const double tenths = std::round((raw - whole) * 10) / 10;
    return whole + std::round(tenths * 2) / 2;
}

int ResortBand(std::vector<int>& order, int position, const std::function<double(int)>& frequency) {
    const int count = static_cast<int>(order.size());
    if (count < 2 || position < 0 || position >= count)
        return position;
    const auto f = [&](int at) { return frequency(order[static_cast<size_t>(at)]); };
    const auto swapWith = [&](int other) {
        std::swap(order[static_cast<size_t>(position)], order[static_cast<size_t>(other)]);
        position = other;
    };
    if (position + 1 < count && f(position) > f(position + 1)) {
        while (position + 1 < count && f(position) > f(position + 1))
            swapWith(position + 1);
    } else {
        while (position > 0 && f(position) < f(position - 1))
            swapWith(position - 1);
    }
    return position;
}

}  // namespace objscope::audio
