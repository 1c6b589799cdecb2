#include "testcenter/EntryRules.h"

#include "data/NumberText.h"
#include "units/MidflameWind.h"

#include <cmath>

namespace {

struct EntryRow
{
    const char *caption;
    const char *hint;
    double low;
    double high;
};

// The ID and description rows have no range; their bounds are unused.
constexpr EntryRow kRows[kEntrySlots] = {
    {"Fuel Model ID", "(1 to 6 characters)", 0, 0},
    {"Description", "", 0, 0},
    {"1 Hour Loading (t/ac)", "(0 - 30.49) ", 0, 30.49},
    {"10 Hour Loading (t/ac)", "(0 - 30.49) ", 0, 30.49},
    {"100 Hour Loading (t/ac)", "(0 - 30.49) ", 0, 30.49},
    {" Live Herb Loading (t/ac)", "(0 - 30.49) ", 0, 30.49},
    {"Live Woody Loading (t/ac)", "(0 - 30.49) ", 0, 30.49},
    // An SA/V of 0 (no fuel of the class) is taken as well: the hint says so.
    {"1 Hour Surface SA/V (ft2/ft3)", "(0 or 109 - 4000) ", 109, 4000},
    {"Live Herb SA/V (ft2/ft3)", "(0 or 109 - 4000) ", 109, 4000},
    {"Live Woody SA/V (ft2/ft3)", "(0 or 109 - 4000) ", 109, 4000},
    {"Heat Content Dead (btu/lb)", "(6,000 - 12,000 )", 6000, 12000},
    {"Heat Content Live Herb (btu/lb)", "(6,000 - 12,000 )", 6000, 12000},
    {" Heat Content Live Woody (btu/lb)", "(6,000 - 12,000 )", 6000, 12000},
    {" Fuelbed Bulk Depth (ft)", "(0.05 - 6.00 )", 0.05, 6},
    {"Moisture of Extinction (%)", "(5-100)", 5, 100},
    {nullptr, nullptr, 0, 0},
    {nullptr, nullptr, 0, 0},
    {nullptr, nullptr, 0, 0},
    {nullptr, nullptr, 0, 0},
    {nullptr, nullptr, 0, 0},
    {"1 Hour Fuel Moisture (%)", "(1-60%)", 1, 60},
    {"10 Hour Fuel Moisture (%)", "(1-60%)", 1, 60},
    {"100 Hour Fuel Moisture (%)", "(1-60%)", 1, 60},
    {"Herb Fuel Moisture (%)", "(30-300%)", 30, 300},
    {"Woody Fuel Moisture (%)", "(30-300%)", 30, 300},
    {"20 Foot Wind Speed (mph)", "(0-99 mph)", 0, 99},
};

constexpr const char *kEnvDefaults[] = {"5", "6", "7", "75", "90", "10"};

} // namespace

bool IsEntryIndex(int index)
{
    return (index >= 0 && index <= kLastModelEntry) || IsEnvEntry(index);
}

bool IsEnvEntry(int index)
{
    return index >= kFirstEnvEntry && index <= kLastEnvEntry;
}

bool IsNumericEntry(int index)
{
    return IsEntryIndex(index) && index >= 2;
}

bool HasTunerButton(int index)
{
    return index == 0 || IsNumericEntry(index);
}

QString EntryCaption(int index)
{
    return IsEntryIndex(index) ? QString::fromLatin1(kRows[index].caption) : QString();
}

QString EntryHint(int index)
{
    return IsEntryIndex(index) ? QString::fromLatin1(kRows[index].hint) : QString();
}

QString SyncTunerCaption()
{
    return QStringLiteral("Synchronized Adjustment (1, 10, 100 hr, Live and Fuelbed Depth)");
}

QString EnvDefaultText(int index)
{
    return IsEnvEntry(index) ? QString::fromLatin1(kEnvDefaults[index - kFirstEnvEntry]) : QString();
}

bool EntryInRange(int index, const QString &text)
{
    if (!IsEntryIndex(index))
        return false;
    if (index <= 1)
        return !text.isEmpty();
    return EntryValueInRange(index, ParseLeadingNumber(text));
}

bool EntryValueInRange(int index, double v)
{
    if (!IsNumericEntry(index) || !std::isfinite(v))
        return false;
    if (index >= 7 && index <= 9 && v == 0)
        return true;
    return !(v > kRows[index].high || v < kRows[index].low);
}

Units::Quantity EntryQuantity(int index)
{
    using Units::Quantity;
    if (index >= 2 && index <= 6)
        return Quantity::Loading;
    if (index >= 7 && index <= 9)
        return Quantity::SurfaceToVolume;
    if (index >= 10 && index <= 12)
        return Quantity::HeatContent;
    if (index == 13)
        return Quantity::Depth;
    if (index == 14 || (index >= 20 && index <= 24))
        return Quantity::Moisture;
    if (index == 25)
        return Quantity::WindSpeed;
    return Quantity::Ratio;
}

namespace {

// The English captions name their units as these texts; metric ones replace them.
QString metricCaption(QString caption)
{
    const std::pair<const char *, const char *> units[] = {
        {"(t/ac)", "(t/ha)"}, {"(ft2/ft3)", "(m2/m3)"}, {"(btu/lb)", "(kJ/kg)"}, {"(ft)", "(m)"}, {"(mph)", "(km/h)"},
    };
    for (const auto &[english, metric] : units)
        caption.replace(QLatin1String(english), QLatin1String(metric));
    // The wind is measured 20 ft (6.1 m) above the vegetation.
    caption.replace(QLatin1String("20 Foot"), QLatin1String("6.1 m"));
    return caption;
}

QString shownLimitText(Units::Quantity q, double shown)
{
    return Units::FormatShownEntry(q, Units::System::Metric, shown);
}

} // namespace

QString EntryCaption(int index, Units::System s)
{
    return s == Units::System::Metric ? metricCaption(EntryCaption(index)) : EntryCaption(index);
}

QString EntryHint(int index, Units::System s)
{
    const Units::Quantity q = EntryQuantity(index);
    if (s == Units::System::English || !Units::IsConverted(q))
        return EntryHint(index);
    const QString low = shownLimitText(q, Units::ShownLow(q, s, kRows[index].low));
    const QString high = shownLimitText(q, Units::ShownHigh(q, s, kRows[index].high));
    if (q == Units::Quantity::WindSpeed)
        return QLatin1Char('(') + low + QLatin1Char('-') + high + QStringLiteral(" km/h)");
    if (q == Units::Quantity::SurfaceToVolume)
        return QStringLiteral("(0 or ") + low + QStringLiteral(" - ") + high + QStringLiteral(") ");
    return QLatin1Char('(') + low + QStringLiteral(" - ") + high + QStringLiteral(") ");
}

QString MidFlameWindCaption(Units::System s)
{
    return s == Units::System::Metric ? QStringLiteral("Midflame Wind Speed (km/h)")
                                      : QStringLiteral("Midflame Wind Speed (mph)");
}

namespace {
constexpr double kMidFlameWindHigh = 60;
} // namespace

QString MidFlameWindHint(Units::System s)
{
    if (s == Units::System::English)
        return QStringLiteral("(0-60 mph)");
    const Units::Quantity q = Units::Quantity::WindSpeed;
    return QStringLiteral("(0-") + shownLimitText(q, Units::ShownHigh(q, s, kMidFlameWindHigh)) +
        QStringLiteral(" km/h)");
}

bool MidFlameWindInRange(double english)
{
    return std::isfinite(english) && english >= 0 && english <= kMidFlameWindHigh;
}

bool EntryRange(int index, double &low, double &high)
{
    if (!IsNumericEntry(index))
        return false;
    low = kRows[index].low;
    high = kRows[index].high;
    return true;
}

bool EntryKeyAccepted(int index, char16_t key, int lengthBefore)
{
    constexpr char16_t selectAll = 1, backspace = 8, redo = 25, undo = 26;
    // Undo and redo only bring back texts the box held before; paste could bring in anything.
    // Select all changes nothing (typing then replaces the selection).
    if (index >= 2)
        return (key >= u'0' && key <= u'9') || key == u'.' || key == backspace || key == undo || key == redo ||
            key == selectAll;
    if (index == 0)
        return key == backspace || lengthBefore <= 6;
    return true;
}

QString WindReduceItem(int position)
{
    if (position <= 0)
        return QStringLiteral(" 0");
    if (position >= 10)
        return QStringLiteral(" 1");
    return QStringLiteral(" .") + QString::number(position);
}

QString SlopeItem(int position)
{
    return QLatin1Char(' ') + QString::number(10 * position);
}

QString MidFlameWindText(const QString &windReduceText, const QString &twentyFootWindText)
{
    return FormatPattern(
        Units::MidflameWindSpeed(ParseLeadingNumber(twentyFootWindText), ParseLeadingNumber(windReduceText)), u"##0.0");
}

MidFlameWind MidFlameWindOf(const QString &windReduceText, double twentyFootWindEnglish, Units::System s)
{
    // Computed with the program's one midflame wind rule (0.1 mi/h), so that a metric
    // computation gives the English results converted; shown in metric rounded once, to
    // 0.1 km/h, from the unrounded product.
    const double factor = ParseLeadingNumber(windReduceText);
    const double english = Units::MidflameWindSpeed(twentyFootWindEnglish, factor);
    if (s == Units::System::English)
        return {english, FormatPattern(english, u"##0.0")};
    const double unrounded = Units::UnroundedMidflameWindSpeed(twentyFootWindEnglish, factor);
    return {english, FormatPattern(Units::FromEnglish(Units::Quantity::WindSpeed, s, unrounded), u"##0.0")};
}

int TwipsToPixels(int twips, double dpi)
{
    return int(std::lround(twips * dpi / 1440.0));
}
