#include "audio/shared/editor_fields.h"

#include <algorithm>

namespace objscope::audio {

std::optional<double> LeadingNumber(const QString& text) {
    QString t = text.trimmed();
    if (!t.contains('$')) {
        const int blank = t.indexOf(' ');
        if (blank >= 0)
            t = t.left(blank);
        QString digits;
        for (QChar c : t) {
            if (!(c.isDigit() || c == '.' || (c == '-' && digits.isEmpty()) ||
                  (c == '+' && digits.isEmpty())))
                break;
            digits += c;
        }
        t = digits;
    }
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

std::optional<double> FieldFrequency(const QString& text) {
    const auto value = LeadingNumber(text);
    if (!value)
        return std::nullopt;
    return *value * (text.contains('k', Qt::CaseInsensitive) ? 1000.0 : 1.0);
}

QString FrequencyFieldText(double hertz) {
    if (hertz < 100)
        return QString::number(hertz, 'f', 1) + " Hz";
    if (hertz < 1000)
        return QString::number(hertz, 'f', 0) + " Hz";
    return QString::number(hertz / 1000, 'f', 2) + " KHz";
}

bool DisplayChoiceFits(int legend, int zeroDbLocation, const std::vector<double>& gains) {
    const auto above = [&](double limit) {
        return std::any_of(gains.begin(), gains.end(), [&](double g) { return g > limit; });
    };
    const auto below = [&](double limit) {
        return std::any_of(gains.begin(), gains.end(), [&](double g) { return g < limit; });
    };
    if (zeroDbLocation == 0 && above(0))
        return false;
    if (zeroDbLocation == 4 && below(0))
        return false;
    if (legend == 0 && zeroDbLocation == 1 && above(6))
        return false;
    if (legend == 0 && zeroDbLocation == 3 && below(-6))
        return false;
    return true;
}

int SlopeItemOrder(const QString& item) {
    const auto value = LeadingNumber(item);
    if (!value || *value < 6)
        return 1;
    return static_cast<int>(*value / 6);
}

}  // namespace objscope::audio
