#include "testcenter/ChartData.h"

#include "analysis/ShownResults.h"
#include "data/NumberText.h"
#include "testcenter/EntryRules.h"
#include "units/UnitSetting.h"

#include <cmath>
#include <cstdlib>

QString ChartTitle(int k)
{
    return ChartTitle(k, Units::UnitSetting::instance().system());
}

QString ChartTitle(int k, Units::System s)
{
    if (s == Units::System::Metric) {
        switch (k) {
        case 0:
            return QStringLiteral("Rate of Spread (m/min)");
        case 1:
            return QStringLiteral("Fireline Intensity (kW/m)");
        case 2:
            return QStringLiteral("Flame Length (m)");
        case 3:
            return QStringLiteral("Size After 1 Hour (ha)");
        default:
            return {};
        }
    }
    switch (k) {
    case 0:
        return QStringLiteral("Rate of Spread (Ch/Hr)");
    case 1:
        return QStringLiteral("Fireline Intensity (BTU/Ft/Sec)");
    case 2:
        return QStringLiteral("Flame Length (feet)");
    case 3:
        return QStringLiteral("Size After 1 Hour (Acres)");
    default:
        return {};
    }
}

double ChartValue(const FireSpread &fs, int k)
{
    return ChartValue(fs, k, Units::UnitSetting::instance().system());
}

double ChartValue(const FireSpread &fs, int k, Units::System s)
{
    using Units::Quantity;
    switch (k) {
    case 0:
        return Units::FromEnglish(Quantity::RateOfSpread, s, RateOfSpreadToShow(fs, s));
    case 1:
        return Units::FromEnglish(Quantity::FirelineIntensity, s, fs.FireLineIntensity());
    case 2:
        return Units::FromEnglish(Quantity::FlameLength, s, fs.FlameLength());
    case 3:
        return Units::FromEnglish(Quantity::FireSize, s, fs.SingleEllipseArea());
    default:
        return 0;
    }
}

double ChartMaxOverHistory(const ChartState &state, int k, Units::System s)
{
    double max = 0;
    for (int position = 1; position <= state.Count(); ++position) {
        std::optional<double> c;
        std::optional<double> r;
        if (const FireSpread *fs = state.Current(position))
            c = ChartValue(*fs, k, s);
        if (const FireSpread *ref = state.Reference(position))
            r = ChartValue(*ref, k, s);
        max = GrowChartMax(max, c, r);
    }
    return max;
}

double PlotValue(double value)
{
    return ParseLeadingNumber(FormatPattern(value, u"####0.0"));
}

double GrowChartMax(double chartMax, std::optional<double> c, std::optional<double> r)
{
    if (c && std::isfinite(*c) && *c > chartMax)
        chartMax = *c + 0.1 * *c;
    if (r && std::isfinite(*r) && *r > chartMax)
        chartMax = *r + 0.1 * *r;
    // Rounded up, never down: a maximum cut to its integer part fell below values just above
    // an even number (2.3 grew to 2.53 and was cut to 2). An axis up to 1 keeps small values
    // (below 1/1.1) readable; above it the maximum is even.
    chartMax = std::ceil(chartMax - 1e-9);
    if (chartMax > 1 && std::fmod(chartMax, 2.0) != 0)
        chartMax += 1;
    return chartMax;
}

double DisplayedAxisMax(double chartMax)
{
    // The axis takes whole numbers only ("#####" read back).
    const double whole = ParseLeadingNumber(FormatPattern(chartMax, u"#####"));
    return whole <= 0 ? 1.0 : whole;
}

AxisTicks AxisTicksFor(double max)
{
    // Prefer more grid lines, but only where every step is a whole number.
    if (max >= 2 && max == std::trunc(max)) {
        for (int intervals = 5; intervals >= 2; --intervals) {
            if (std::fmod(max, intervals) == 0)
                return {intervals + 1, QStringLiteral("%.0f")};
        }
    }
    return {6, QStringLiteral("%.1f")};
}

std::vector<ChartRow> ChartRows(const ChartState &state, int k, int first, int last, bool plotReference)
{
    std::vector<ChartRow> rows;
    rows.reserve(ChartRowCount);
    for (int m = 0; m < ChartRowCount; ++m) {
        ChartRow row;
        row.position = first + m;
        row.label = QString::number(row.position);
        // A plot computed as the fire growth simulators carries their mark on its bar.
        if (const FireSpread *fs = state.Current(row.position);
            fs && fs->Conventions() == SpreadConventions::Simulators)
            row.label += QStringLiteral(" sim");
        if (row.position <= last) {
            if (const FireSpread *fs = state.Current(row.position))
                row.value = PlotValue(ChartValue(*fs, k));
            if (plotReference) {
                if (const FireSpread *ref = state.Reference(row.position))
                    row.reference = PlotValue(ChartValue(*ref, k));
            }
        }
        rows.push_back(row);
    }
    return rows;
}

std::optional<ScrollSetting> ScrollAfterPlot(int count)
{
    if (count <= ChartRowCount)
        return std::nullopt;
    return ScrollSetting{1, count - (ChartRowCount - 1), count - (ChartRowCount - 1)};
}

std::optional<int> HistoryEntryForBar(int firstPoint, int row, int count)
{
    const int position = std::abs(firstPoint + row);
    if (position < 1 || position > count)
        return std::nullopt;
    return position;
}

std::vector<EntryWrite> RefreshEntriesWrites(const FireSpread &fs, const QString &windReduceText, Units::System s)
{
    using Units::Quantity;
    std::vector<EntryWrite> w;
    auto text = [&w](const QString &control, const QString &value) {
        w.push_back({control, EntryWrite::Kind::Text, value, -1, std::nullopt});
    };
    auto box = [&w, s](int i, double value) {
        w.push_back({QStringLiteral("txtFuels_%1").arg(i), EntryWrite::Kind::Text,
                     Units::FormatEntry(EntryQuantity(i), s, value), -1, value});
    };
    auto result = [&text, s](const char *control, Quantity q, double value) {
        text(QString::fromLatin1(control), Units::FormatResult(q, s, value));
    };
    const double fuelBed[] = {
        fs.Loading1Hour(),     fs.Loading10Hour(),        fs.Loading100Hour(),          fs.LoadingLiveHerb(),
        fs.LoadingLiveWoody(), fs.SurfaceToVolume1Hour(), fs.SurfaceToVolumeLiveHerb(), fs.SurfaceToVolumeLiveWoody(),
        fs.HeatContentDead(),  fs.HeatContentLiveHerb(),  fs.HeatContentLiveWoody(),    fs.BulkDensityDepth()};
    for (int i = 0; i < 12; ++i)
        box(2 + i, fuelBed[i]);
    // The calculator holds fractions; the boxes show percent.
    box(14, fs.MoistureOfExtinction() * 100);
    const double moistures[] = {fs.FuelMoisture1Hour(), fs.FuelMoisture10Hour(), fs.FuelMoisture100Hour(),
                                fs.FuelMoistureHerb(), fs.FuelMoistureWoody()};
    for (int i = 0; i < 5; ++i)
        box(20 + i, moistures[i] * 100);
    // The midflame wind as the box shows it: in metric the unrounded product rounded once in
    // km/h, made again from the 20-ft wind and the factor the plot was computed with.
    QString midflame = FormatPattern(Units::FromEnglish(Quantity::WindSpeed, s, fs.WindSpeed()), u"##0.0");
    const QString factorText = !windReduceText.isEmpty() ? windReduceText
        : fs.WindSpeedAdjust() >= 0                      ? WindReduceItem(int(fs.WindSpeedAdjust()))
                                                         : QString();
    if (s != Units::System::English && !factorText.isEmpty())
        midflame = MidFlameWindOf(factorText, fs.WindSpeedNA(), s).text;
    w.push_back({QStringLiteral("txtMidFlameWind"), EntryWrite::Kind::Text, midflame, -1, fs.WindSpeed()});
    w.push_back({QStringLiteral("cboHerbType"), EntryWrite::Kind::ListIndex, {}, int(fs.HerbType()) - 1, std::nullopt});
    text(QStringLiteral("cboSlope"), FormatGeneral(fs.Slope()));
    if (windReduceText.isEmpty())
        w.push_back({QStringLiteral("cboWindReduce"),
                     EntryWrite::Kind::ListIndex,
                     {},
                     int(fs.WindSpeedAdjust()),
                     std::nullopt});
    else
        text(QStringLiteral("cboWindReduce"), windReduceText);
    box(25, fs.WindSpeedNA());
    result("txtROS", Quantity::RateOfSpread, RateOfSpreadToShow(fs, s));
    result("txtFLI", Quantity::FirelineIntensity, fs.FireLineIntensity());
    result("txtHeat", Quantity::FireSize, fs.SingleEllipseArea());
    result("txtFL", Quantity::FlameLength, fs.FlameLength());
    result("txtCharSurfVolRatio", Quantity::SurfaceToVolume, fs.SurfToVol());
    text(QStringLiteral("txtPackRatio"), FormatPattern(fs.PackRatio(), u"#####0.000"));
    return w;
}
