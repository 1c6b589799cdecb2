#include "units/Units.h"

#include "data/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Units;

namespace {

double metricOfOne(Quantity q)
{
    return FromEnglish(q, System::Metric, 1);
}

} // namespace

// Published factors (the exact definitions, and conversion tables for the derived ones).
TEST(UnitFactors, MatchThePublishedFigures)
{
    EXPECT_NEAR(metricOfOne(Quantity::Loading), 2.2417023, 5e-8);
    EXPECT_DOUBLE_EQ(metricOfOne(Quantity::HeatContent), 2.326);
    EXPECT_DOUBLE_EQ(metricOfOne(Quantity::Depth), 0.3048);
    EXPECT_DOUBLE_EQ(metricOfOne(Quantity::FlameLength), 0.3048);
    EXPECT_DOUBLE_EQ(metricOfOne(Quantity::Length), 0.3048);
    EXPECT_DOUBLE_EQ(metricOfOne(Quantity::WindSpeed), 1.609344);
    EXPECT_DOUBLE_EQ(metricOfOne(Quantity::RateOfSpread), 0.33528);
    EXPECT_DOUBLE_EQ(metricOfOne(Quantity::FireSize), 0.40468564224);
    EXPECT_NEAR(metricOfOne(Quantity::SurfaceToVolume), 3.2808399, 5e-8);
    // 1 btu (International Table) = 1.05505585262 kJ.
    EXPECT_NEAR(metricOfOne(Quantity::FirelineIntensity), 1.05505585262 / 0.3048, 1e-12);
    EXPECT_NEAR(metricOfOne(Quantity::FirelineIntensity), 3.4614693, 5e-8);
    EXPECT_NEAR(metricOfOne(Quantity::HeatPerUnitArea), 11.356527, 5e-7);
    EXPECT_NEAR(metricOfOne(Quantity::ReactionIntensity), 11.356527 / 60, 1e-8);
    EXPECT_NEAR(metricOfOne(Quantity::BulkDensity), 16.018463, 5e-7);
    for (Quantity q : {Quantity::Moisture, Quantity::Slope, Quantity::Ratio}) {
        EXPECT_EQ(metricOfOne(q), 1);
        EXPECT_FALSE(IsConverted(q));
    }
}

TEST(UnitFactors, EnglishIsUnchangedAndMetricComesBack)
{
    for (int i = 0; i <= static_cast<int>(Quantity::Ratio); ++i) {
        const auto q = static_cast<Quantity>(i);
        EXPECT_EQ(FromEnglish(q, System::English, 3.7), 3.7);
        EXPECT_EQ(ToEnglish(q, System::English, 3.7), 3.7);
        EXPECT_NEAR(ToEnglish(q, System::Metric, FromEnglish(q, System::Metric, 3.7)), 3.7, 1e-14);
    }
    // Back from metric divides: 1 m is 3.28084 ft.
    EXPECT_NEAR(ToEnglish(Quantity::Depth, System::Metric, 1), 3.2808399, 5e-8);
}

TEST(UnitLabels, NameTheUnitOfEachSystem)
{
    const std::pair<Quantity, std::pair<const char *, const char *>> expected[] = {
        {Quantity::Loading, {"t/ac", "t/ha"}},
        {Quantity::SurfaceToVolume, {"ft2/ft3", "m2/m3"}},
        {Quantity::HeatContent, {"btu/lb", "kJ/kg"}},
        {Quantity::Depth, {"ft", "m"}},
        {Quantity::WindSpeed, {"mi/h", "km/h"}},
        {Quantity::RateOfSpread, {"ch/h", "m/min"}},
        {Quantity::FirelineIntensity, {"btu/ft/s", "kW/m"}},
        {Quantity::FlameLength, {"ft", "m"}},
        {Quantity::HeatPerUnitArea, {"btu/ft2", "kJ/m2"}},
        {Quantity::FireSize, {"ac", "ha"}},
        {Quantity::Moisture, {"%", "%"}},
    };
    for (const auto &[q, labels] : expected) {
        EXPECT_EQ(UnitLabel(q, System::English), QLatin1String(labels.first));
        EXPECT_EQ(UnitLabel(q, System::Metric), QLatin1String(labels.second));
    }
    EXPECT_EQ(WithUnit(QStringLiteral("Flame Length"), Quantity::FlameLength, System::Metric),
              QStringLiteral("Flame Length (m)"));
    EXPECT_EQ(WithUnit(QStringLiteral("Packing Ratio"), Quantity::Ratio, System::Metric),
              QStringLiteral("Packing Ratio"));
}

TEST(UnitTexts, EntriesAndResultsAtTheirPrecision)
{
    // English entries are the plain general text, whatever their length.
    EXPECT_EQ(FormatEntry(Quantity::Loading, System::English, 0.5), QStringLiteral("0.5"));
    EXPECT_EQ(FormatEntry(Quantity::Loading, System::English, 3.794076), QStringLiteral("3.794076"));
    // Metric: 0.5 t/ac = 1.1209 t/ha; 1500 /ft = 4921.26 /m; 8000 btu/lb = 18608 kJ/kg;
    // 1 ft = 0.3048 m; 10 mi/h = 16.09 km/h; percentages as typed.
    EXPECT_EQ(FormatEntry(Quantity::Loading, System::Metric, 0.5), QStringLiteral("1.12"));
    EXPECT_EQ(FormatEntry(Quantity::SurfaceToVolume, System::Metric, 1500), QStringLiteral("4921"));
    EXPECT_EQ(FormatEntry(Quantity::HeatContent, System::Metric, 8000), QStringLiteral("18608"));
    EXPECT_EQ(FormatEntry(Quantity::Depth, System::Metric, 1), QStringLiteral("0.3"));
    EXPECT_EQ(FormatEntry(Quantity::Depth, System::Metric, 0), QStringLiteral("0"));
    EXPECT_EQ(FormatEntry(Quantity::WindSpeed, System::Metric, 10), QStringLiteral("16.1"));
    EXPECT_EQ(FormatEntry(Quantity::Moisture, System::Metric, 12.5), QStringLiteral("12.5"));
    // Results keep their decimals: 7.25 ch/h is 2.43078 m/min; 1 ac is 0.40 ha.
    EXPECT_EQ(FormatResult(Quantity::RateOfSpread, System::English, 7.25), QStringLiteral("7.3"));
    EXPECT_EQ(FormatResult(Quantity::RateOfSpread, System::Metric, 7.25), QStringLiteral("2.43"));
    EXPECT_EQ(FormatResult(Quantity::FireSize, System::Metric, 1), QStringLiteral("0.40"));
    EXPECT_EQ(FormatResult(Quantity::FirelineIntensity, System::Metric, 100), QStringLiteral("346.1"));
    EXPECT_EQ(FormatResult(Quantity::SurfaceToVolume, System::English, 1765.4), QStringLiteral("1765"));
}

TEST(UnitTexts, TypedMetricGivesTheShortestEnglishThatShowsBack)
{
    // 0.1 t/ac shows as 0.22 t/ha, 1 ft as 0.3 m, 6000 btu/lb as 13956 kJ/kg.
    EXPECT_EQ(EnglishFromTyped(Quantity::Loading, System::Metric, u"0.22"), 0.1);
    EXPECT_EQ(EnglishFromTyped(Quantity::Depth, System::Metric, u"0.3"), 1);
    EXPECT_EQ(EnglishFromTyped(Quantity::Depth, System::Metric, u"0.30"), 1);
    EXPECT_EQ(EnglishFromTyped(Quantity::HeatContent, System::Metric, u"13956"), 6000);
    EXPECT_EQ(EnglishFromTyped(Quantity::SurfaceToVolume, System::Metric, u"358"), 109);
    // 16 km/h is 9.9419 mi/h; 9.94 mi/h is 15.997 km/h, which shows as 16.0.
    EXPECT_EQ(EnglishFromTyped(Quantity::WindSpeed, System::Metric, u"16"), 9.94);
    // More decimals typed than shown: they must show back too (0.2241 t/ha is 0.099969 t/ac).
    const double finer = EnglishFromTyped(Quantity::Loading, System::Metric, u"0.2241");
    EXPECT_NEAR(finer, 0.2241 / 2.2417023, 5e-6);
    EXPECT_EQ(FormatPattern(finer * 2.2417023124, u"0.0000"), QStringLiteral("0.2241"));
    // English and percentages: the leading number, unchanged.
    EXPECT_EQ(EnglishFromTyped(Quantity::Loading, System::English, u"12abc"), 12);
    EXPECT_EQ(EnglishFromTyped(Quantity::Moisture, System::Metric, u"6.25"), 6.25);
    EXPECT_EQ(EnglishFromTyped(Quantity::Loading, System::Metric, u""), 0);
}

// Every value on a fine English grid, shown in metric and read back, shows the same text again,
// and the English value found lies within half a display step of the exact conversion.
TEST(UnitTexts, MetricTextsSurviveTheRoundTrip)
{
    struct Case
    {
        Quantity q;
        double from, to, step;
    } cases[] = {
        {Quantity::Loading, 0, 31, 0.0051},        {Quantity::SurfaceToVolume, 100, 4100, 2.3},
        {Quantity::HeatContent, 5900, 12100, 4.1}, {Quantity::Depth, 0.01, 6.5, 0.0029},
        {Quantity::WindSpeed, 0, 100, 0.037},
    };
    for (const Case &c : cases) {
        const double halfStep = 0.5 * std::pow(10.0, -EntryDecimals(c.q, System::Metric));
        for (double v = c.from; v <= c.to; v += c.step) {
            const QString shown = FormatEntry(c.q, System::Metric, v);
            const double back = EnglishFromTyped(c.q, System::Metric, shown);
            ASSERT_EQ(FormatEntry(c.q, System::Metric, back), shown) << v;
            ASSERT_LE(std::fabs(back * MetricPerEnglish(c.q) - ParseLeadingNumber(shown)), halfStep * 1.0000001) << v;
        }
    }
}

// The first and last typable metric values whose English value lies within the English range,
// worked by hand: 30.49 t/ac = 68.3505 t/ha; 109 /ft = 357.6 /m; 4000 /ft = 13123.4 /m;
// 0.05 ft = 0.01524 m (0.01 m reads back as 0.03 ft); 6 ft = 1.8288 m; 99 mi/h = 159.32 km/h.
TEST(UnitRanges, MetricLimitsAreTheEnglishRange)
{
    const System m = System::Metric;
    EXPECT_EQ(ShownLow(Quantity::Loading, m, 0), 0);
    EXPECT_EQ(ShownHigh(Quantity::Loading, m, 30.49), 68.35);
    EXPECT_EQ(ShownLow(Quantity::SurfaceToVolume, m, 109), 358);
    EXPECT_EQ(ShownHigh(Quantity::SurfaceToVolume, m, 4000), 13123);
    EXPECT_EQ(ShownLow(Quantity::HeatContent, m, 6000), 13956);
    EXPECT_EQ(ShownHigh(Quantity::HeatContent, m, 12000), 27912);
    EXPECT_EQ(ShownLow(Quantity::Depth, m, 0.05), 0.02);
    EXPECT_EQ(ShownHigh(Quantity::Depth, m, 6), 1.83);
    EXPECT_EQ(ShownHigh(Quantity::WindSpeed, m, 99), 159.3);
    EXPECT_EQ(ShownHigh(Quantity::Moisture, m, 60), 60);
    EXPECT_EQ(ShownHigh(Quantity::Loading, System::English, 30.49), 30.49);
    // Just beyond each limit the English value is outside.
    EXPECT_GT(EnglishFromTyped(Quantity::Loading, m, u"68.36"), 30.49);
    EXPECT_LT(EnglishFromTyped(Quantity::SurfaceToVolume, m, u"357"), 109);
    EXPECT_LT(EnglishFromTyped(Quantity::Depth, m, u"0.01"), 0.05);
    EXPECT_GT(EnglishFromTyped(Quantity::Depth, m, u"1.84"), 6);
    EXPECT_GT(EnglishFromTyped(Quantity::WindSpeed, m, u"159.4"), 99);
}

TEST(ShownValues, AnUntouchedBoxGivesBackItsExactValue)
{
    ShownValue load(Quantity::Loading);
    const double stored = 0.0913; // 0.20467 t/ha
    EXPECT_EQ(load.show(System::Metric, stored), QStringLiteral("0.2"));
    EXPECT_EQ(load.english(System::Metric, u"0.2"), stored);
    // Changed text is read as typed: 0.21 t/ha is 0.0937 t/ac (shortest that shows back).
    EXPECT_EQ(load.english(System::Metric, u"0.21"), 0.094);
    // The same text read in the other system is not the remembered value.
    EXPECT_EQ(load.english(System::English, u"0.2"), 0.2);
    // Switching systems keeps the exact value.
    EXPECT_EQ(load.convert(System::Metric, System::English, QStringLiteral("0.2")), QStringLiteral("0.0913"));
    EXPECT_EQ(load.english(System::English, u"0.0913"), stored);

    ShownValue depth(Quantity::Depth);
    const double seventeenDigits = 0.1 + 0.2; // 0.30000000000000004, shown as 0.3
    EXPECT_EQ(depth.show(System::English, seventeenDigits), QStringLiteral("0.3"));
    EXPECT_EQ(depth.english(System::English, u"0.3"), seventeenDigits);
    // A box written from outside with its own text.
    depth.remember(QStringLiteral("0.9"), System::Metric, 2.95);
    EXPECT_EQ(depth.english(System::Metric, u"0.9"), 2.95);
}

TEST(SystemNames, SpelledAsSettingsAndTheCommandLine)
{
    System s = System::English;
    EXPECT_TRUE(ParseSystemName(u" Metric ", &s));
    EXPECT_EQ(s, System::Metric);
    EXPECT_TRUE(ParseSystemName(u"english", &s));
    EXPECT_EQ(s, System::English);
    EXPECT_FALSE(ParseSystemName(u"imperial", &s));
    EXPECT_EQ(SystemName(System::Metric), QStringLiteral("metric"));
}
