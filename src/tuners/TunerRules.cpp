#include "tuners/TunerRules.h"

#include "data/FuelModel.h"
#include "data/FuelParameters.h"
#include "data/NumberText.h"

#include <algorithm>
#include <cmath>

namespace {

// What the entry a tuner drives measures: a fuel parameter's quantity, or the environment's
// moistures (20 to 24) and 20-ft wind (25).
Units::Quantity tunedQuantity(int index)
{
    if (const FuelParameterInfo *p = FuelParameterOfEntry(index))
        return p->quantity;
    if (index >= 20 && index <= 24)
        return Units::Quantity::Moisture;
    if (index == 25)
        return Units::Quantity::WindSpeed;
    return Units::Quantity::Ratio;
}

} // namespace

std::optional<TunerRange> TunerRangeOf(int index)
{
    auto scaled = [](int min, int max, const char *minLabel, const char *maxLabel) {
        return TunerRange{min, max, QString::fromLatin1(minLabel), QString::fromLatin1(maxLabel), false};
    };
    auto whole = [](int min, int max) {
        return TunerRange{min, max, QString::number(min), QString::number(max), true};
    };
    if (index >= 2 && index <= 6)
        return scaled(0, 3049, "0", "30.49");
    if (index >= 7 && index <= 9)
        return whole(109, 4000);
    if (index >= 10 && index <= 12)
        return whole(6000, 12000);
    if (index == 13)
        return scaled(5, 600, ".05", "6");
    if (index == 14)
        return scaled(500, 10000, "5", "100");
    if (index >= 20 && index <= 22)
        return scaled(100, 6000, "1", "60");
    if (index == 23 || index == 24)
        return scaled(3000, 30000, "30", "300");
    if (index == 25)
        return scaled(0, 9900, "0", "99");
    return std::nullopt;
}

std::optional<TunerRange> TunerRangeOf(int index, Units::System s)
{
    std::optional<TunerRange> range = TunerRangeOf(index);
    const Units::Quantity q = tunedQuantity(index);
    if (!range || s == Units::System::English || !Units::IsConverted(q))
        return range;
    const int decimals = std::max(0, Units::EntryDecimals(q, s));
    range->scale = range->whole ? 1 : int(std::lround(std::pow(10.0, decimals)));
    // The English limits of the slider, as values of the entry.
    const double englishMin = double(range->min) / (range->whole ? 1 : 100);
    const double englishMax = double(range->max) / (range->whole ? 1 : 100);
    const double low = Units::ShownLow(q, s, englishMin);
    const double high = Units::ShownHigh(q, s, englishMax);
    range->min = int(std::lround(low * range->scale));
    range->max = int(std::lround(high * range->scale));
    range->minLabel = Units::FormatShownEntry(q, s, low);
    range->maxLabel = Units::FormatShownEntry(q, s, high);
    return range;
}

long long SliderPositionOf(const TunerRange &range, double value)
{
    const double scaled = value * (range.whole ? 1 : range.scale);
    // Far beyond any slider range; keeps the conversion to an integer defined.
    constexpr double limit = 1e15;
    return std::isnan(scaled) ? 0 : RoundHalfEven(std::clamp(scaled, -limit, limit));
}

long long SliderPositionOf(const TunerRange &range, QStringView text)
{
    return SliderPositionOf(range, ParseLeadingNumber(text));
}

int SliderStart(const TunerRange &range, QStringView text)
{
    return int(std::clamp<long long>(SliderPositionOf(range, text), range.min, range.max));
}

QString ValueText(const TunerRange &range, long long position)
{
    if (range.whole)
        return QString::number(position);
    return FormatGeneral(double(position) / range.scale);
}

double StoredEntryValue(const FuelModel &fm, int index)
{
    const FuelParameterInfo *p = FuelParameterOfEntry(index);
    return p ? p->valueOf(fm) : 0;
}

QString SyncTuner::Title()
{
    return QStringLiteral("Adjustment(1, 10, 100 hr, Live and Fuelbed Depth)");
}

QString SyncTuner::ScaledText(int percent, double stored)
{
    return FormatPattern(double(percent) / 100 * stored, u"#0.##");
}

bool OpenTuners::ButtonFree(int index) const
{
    if (index < 0 || index >= kTunerSlots)
        return false;
    if (index == 0)
        return singles.none() && !sync;
    if (singles.test(std::size_t(index)))
        return false;
    const auto &driven = SyncTuner::kEntries;
    return !(sync && std::find(driven.begin(), driven.end(), index) != driven.end());
}
