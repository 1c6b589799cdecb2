#include "testcenter/PlotExport.h"

#include "analysis/ShownResults.h"
#include "data/NumberText.h"
#include "testcenter/EntryRules.h"

#include <functional>

namespace {

using Units::Quantity;

enum class Form { Entry, Result, Midflame, Percent, Factor, HerbType, YesNo };

// One quantity of a plot: its title, unit, how it is written, and whether the reference model
// has a value of its own (the environment is the same for both).
struct Column
{
    const char *title;
    Quantity quantity;
    Form form;
    bool perModel;
    std::function<double(const FireSpread &)> value;
};

const std::vector<Column> &columns()
{
    static const std::vector<Column> c = {
        {"1-h moisture", Quantity::Moisture, Form::Percent, false, &FireSpread::FuelMoisture1Hour},
        {"10-h moisture", Quantity::Moisture, Form::Percent, false, &FireSpread::FuelMoisture10Hour},
        {"100-h moisture", Quantity::Moisture, Form::Percent, false, &FireSpread::FuelMoisture100Hour},
        {"Herb moisture", Quantity::Moisture, Form::Percent, false, &FireSpread::FuelMoistureHerb},
        {"Woody moisture", Quantity::Moisture, Form::Percent, false, &FireSpread::FuelMoistureWoody},
        {"20-ft wind speed", Quantity::WindSpeed, Form::Entry, false, &FireSpread::WindSpeedNA},
        {"Wind adjustment factor", Quantity::Ratio, Form::Factor, false, &FireSpread::WindSpeedAdjust},
        {"Midflame wind speed", Quantity::WindSpeed, Form::Midflame, false, &FireSpread::WindSpeed},
        {"Slope", Quantity::Slope, Form::Entry, false, &FireSpread::Slope},
        {"Herb type", Quantity::Ratio, Form::HerbType, false, &FireSpread::HerbType},
        {"1-h loading", Quantity::Loading, Form::Entry, true, &FireSpread::Loading1Hour},
        {"10-h loading", Quantity::Loading, Form::Entry, true, &FireSpread::Loading10Hour},
        {"100-h loading", Quantity::Loading, Form::Entry, true, &FireSpread::Loading100Hour},
        {"Live herb loading", Quantity::Loading, Form::Entry, true, &FireSpread::LoadingLiveHerb},
        {"Live woody loading", Quantity::Loading, Form::Entry, true, &FireSpread::LoadingLiveWoody},
        {"1-h SA/V", Quantity::SurfaceToVolume, Form::Entry, true, &FireSpread::SurfaceToVolume1Hour},
        {"Live herb SA/V", Quantity::SurfaceToVolume, Form::Entry, true, &FireSpread::SurfaceToVolumeLiveHerb},
        {"Live woody SA/V", Quantity::SurfaceToVolume, Form::Entry, true, &FireSpread::SurfaceToVolumeLiveWoody},
        {"Heat content dead", Quantity::HeatContent, Form::Entry, true, &FireSpread::HeatContentDead},
        {"Heat content live herb", Quantity::HeatContent, Form::Entry, true, &FireSpread::HeatContentLiveHerb},
        {"Heat content live woody", Quantity::HeatContent, Form::Entry, true, &FireSpread::HeatContentLiveWoody},
        {"Fuel bed depth", Quantity::Depth, Form::Entry, true, &FireSpread::BulkDensityDepth},
        {"Moisture of extinction", Quantity::Moisture, Form::Percent, true, &FireSpread::MoistureOfExtinction},
        {"Rate of spread", Quantity::RateOfSpread, Form::Result, true, &FireSpread::RateOfSpread},
        {"Fireline intensity", Quantity::FirelineIntensity, Form::Result, true, &FireSpread::FireLineIntensity},
        {"Flame length", Quantity::FlameLength, Form::Result, true, &FireSpread::FlameLength},
        {"Size after 1 hour", Quantity::FireSize, Form::Result, true, &FireSpread::SingleEllipseArea},
        {"Heat per unit area", Quantity::HeatPerUnitArea, Form::Result, true, &FireSpread::HeatPerUnitArea},
        {"Effective wind speed", Quantity::WindSpeed, Form::Result, true, &FireSpread::EWind},
        {"Wind limit reached", Quantity::Ratio, Form::YesNo, true,
         [](const FireSpread &fs) { return double(fs.MaxWindSpeedMet()); }},
        {"Characteristic SA/V", Quantity::SurfaceToVolume, Form::Result, true, &FireSpread::SurfToVol},
        {"Relative packing ratio", Quantity::Ratio, Form::Result, true, &FireSpread::PackRatio},
    };
    return c;
}

QString title(const Column &c, Units::System s)
{
    const QString name = QString::fromLatin1(c.title);
    switch (c.form) {
    case Form::Percent:
        return TitleWithUnit(name, QStringLiteral("%"));
    case Form::Factor:
    case Form::HerbType:
    case Form::YesNo:
        return name;
    default:
        return TitleWithUnit(name, c.quantity == Quantity::Ratio ? QString() : Units::UnitLabel(c.quantity, s));
    }
}

// The wind adjustment factor's text the plot was computed with: as the user entered it (typed
// or chosen), else the list item at the calculator's list position; empty when neither tells.
QString factorTextOf(const FireSpread &fs, const QString &entered)
{
    if (!entered.trimmed().isEmpty())
        return entered;
    return fs.WindSpeedAdjust() >= 0 ? WindReduceItem(int(fs.WindSpeedAdjust())) : QString();
}

QString cell(const Column &c, const FireSpread &fs, Units::System s, const QString &factorText)
{
    const double v = c.value(fs);
    switch (c.form) {
    case Form::Percent:
        return FormatGeneral(v * 100); // the calculator holds fractions
    case Form::Factor:
        // The factor the user entered; worked back from the winds only where nothing else tells.
        if (!factorText.isEmpty())
            return TableNumber(ParseLeadingNumber(factorText), 4);
        if (fs.WindSpeedNA() > 0)
            return TableNumber(fs.WindSpeed() / fs.WindSpeedNA(), 4);
        return QString();
    case Form::HerbType:
        return v == 2 ? QStringLiteral("Dynamic") : QStringLiteral("Static");
    case Form::YesNo:
        return v != 0 ? QStringLiteral("Yes") : QStringLiteral("No");
    case Form::Entry:
        return Units::FormatEntry(c.quantity, s, v);
    case Form::Result:
        if (c.quantity == Quantity::Ratio)
            return FormatPattern(v, u"#####0.000");
        // Rounded once, in the unit shown: the rate of spread from its unrounded value.
        if (c.quantity == Quantity::RateOfSpread)
            return Units::FormatResult(c.quantity, s, RateOfSpreadToShow(fs, s)).trimmed();
        return Units::FormatResult(c.quantity, s, v).trimmed();
    case Form::Midflame:
        if (!factorText.isEmpty())
            return MidFlameWindOf(factorText, fs.WindSpeedNA(), s).text;
        return Units::FormatResult(c.quantity, s, v).trimmed();
    }
    return {};
}

} // namespace

CsvTable PlotHistoryTable(const ChartState &state, const PlotExportContext &context)
{
    CsvTable t;
    t.header << QStringLiteral("Plot") << QStringLiteral("Set") << QStringLiteral("Fuel model")
             << QStringLiteral("Reference set") << QStringLiteral("Reference model");
    for (const Column &c : columns()) {
        t.header << title(c, context.system);
        if (c.perModel)
            t.header << QStringLiteral("Reference ") + title(c, context.system).at(0).toLower() +
                    title(c, context.system).mid(1);
    }
    for (int position = 1; position <= state.Count(); ++position) {
        const FireSpread *current = state.Current(position);
        const FireSpread *reference = state.Reference(position);
        QStringList row;
        row << QString::number(position) << context.setName << context.modelId << context.referenceSet
            << context.referenceId;
        const QString factorText = factorTextOf(*current, state.WindReduceText(position));
        for (const Column &c : columns()) {
            row << cell(c, *current, context.system, factorText);
            if (c.perModel)
                row << (reference ? cell(c, *reference, context.system, factorText) : QString());
        }
        t.rows << row;
    }
    return t;
}

QString PlotHistoryCsv(const ChartState &state, const PlotExportContext &context)
{
    return PlotHistoryTable(state, context).ToCsv();
}

bool WritePlotHistoryCsv(const ChartState &state, const PlotExportContext &context, const QString &path, QString *error)
{
    return SaveTextFile(path, PlotHistoryCsv(state, context), error);
}
