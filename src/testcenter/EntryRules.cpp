#include "testcenter/EntryRules.h"

#include "data/NumberText.h"

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
    {"1 Hour Surface SA/V (ft2/ft3)", "(109 - 4000 ) ", 109, 4000},
    {"Live Herb SA/V (ft2/ft3)", "(109 - 4000 ) ", 109, 4000},
    {"Live Woody SA/V (ft2/ft3)", "(109 - 4000 ) ", 109, 4000},
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
    const double v = ParseLeadingNumber(text);
    if (!std::isfinite(v))
        return false;
    if (index >= 7 && index <= 9 && v == 0)
        return true;
    return !(v > kRows[index].high || v < kRows[index].low);
}

bool EntryKeyAccepted(int index, char16_t key, int lengthBefore)
{
    constexpr char16_t backspace = 8;
    if (index >= 2)
        return (key >= u'0' && key <= u'9') || key == u'.' || key == backspace;
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
    return FormatPattern(ParseLeadingNumber(windReduceText) * ParseLeadingNumber(twentyFootWindText), u"##0.0");
}

int TwipsToPixels(int twips, double dpi)
{
    return int(std::lround(twips * dpi / 1440.0));
}
