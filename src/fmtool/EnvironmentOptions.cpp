#include "fmtool/EnvironmentOptions.h"

#include "data/NumberText.h"
#include "engine/FireSpread.h"
#include "units/MidflameWind.h"
#include "units/MoistureScenarios.h"
#include "units/UserEnvironments.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// Each number option with its inclusive range in English units: the editor's where the
// editor checks the entry, the factors the editor lists and slopes up to 1000 % otherwise.
struct NumberOption
{
    const char *name;
    double low, high;
    Units::Quantity quantity;
};

constexpr NumberOption kOptions[] = {
    {"--moist-1h", 1, 60, Units::Quantity::Moisture},      {"--moist-10h", 1, 60, Units::Quantity::Moisture},
    {"--moist-100h", 1, 60, Units::Quantity::Moisture},    {"--moist-herb", 30, 300, Units::Quantity::Moisture},
    {"--moist-woody", 30, 300, Units::Quantity::Moisture}, {"--wind", 0, 99, Units::Quantity::WindSpeed},
    {"--wind-adjust", 0, 1, Units::Quantity::Ratio},       {"--slope", 0, 1000, Units::Quantity::Slope},
};
constexpr int kWind = 5, kWindAdjust = 6, kSlope = 7;

double &valueOf(Environment &e, int option)
{
    if (option < 5)
        return e.moisture[option];
    if (option == kWind)
        return e.wind;
    if (option == kWindAdjust)
        return e.windAdjustment;
    return e.slope;
}

} // namespace

double Environment::MidflameWind() const
{
    return Units::MidflameWindSpeed(wind, windAdjustment);
}

void Environment::ApplyTo(FireSpread &fs) const
{
    fs.setFuelMoisture1Hour(moisture[0] / 100);
    fs.setFuelMoisture10Hour(moisture[1] / 100);
    fs.setFuelMoisture100Hour(moisture[2] / 100);
    fs.setFuelMoistureHerb(moisture[3] / 100);
    fs.setFuelMoistureWoody(moisture[4] / 100);
    fs.setWindSpeed(MidflameWind());
    fs.setWindSpeedNA(wind);
    fs.setSlope(slope);
    fs.setConventions(conventions);
}

bool ParseConventions(const QString &text, SpreadConventions &conventions)
{
    if (text.compare(QLatin1String("core"), Qt::CaseInsensitive) == 0)
        conventions = SpreadConventions::Core;
    else if (text.compare(QLatin1String("simulators"), Qt::CaseInsensitive) == 0)
        conventions = SpreadConventions::Simulators;
    else
        return false;
    return true;
}

EnvironmentOptionParser::Outcome EnvironmentOptionParser::Take(const QString &name, const QString &value,
                                                               QString *problem)
{
    if (name == QLatin1String("--scenario")) {
        m_scenario = value;
        return Outcome::Taken;
    }
    if (name == QLatin1String("--units")) {
        if (Units::ParseSystemName(value, &m_units))
            return Outcome::Taken;
        *problem = QStringLiteral("--units: \"%1\" is neither english nor metric").arg(value);
        return Outcome::Problem;
    }
    if (name == QLatin1String("--conventions")) {
        if (ParseConventions(value, m_conventions))
            return Outcome::Taken;
        *problem = QStringLiteral("--conventions: \"%1\" is neither core nor simulators").arg(value);
        return Outcome::Problem;
    }
    for (int k = 0; k < int(std::size(kOptions)); ++k) {
        if (name == QLatin1String(kOptions[k].name)) {
            m_given.emplace_back(k, value);
            return Outcome::Taken;
        }
    }
    return Outcome::NotAnOption;
}

bool EnvironmentOptionParser::Finish(Environment &e, QString *problem) const
{
    e.units = m_units;
    e.conventions = m_conventions;
    if (!m_scenario.isEmpty()) {
        if (const Units::MoistureScenario *m = Units::FindMoistureScenario(m_scenario)) {
            const double values[5] = {m->oneHour, m->tenHour, m->hundredHour, m->herb, m->woody};
            std::copy(values, values + 5, e.moisture);
        } else if (const auto saved = Units::FindUserEnvironment(m_scenario)) {
            const double values[5] = {saved->oneHour, saved->tenHour, saved->hundredHour, saved->herb, saved->woody};
            std::copy(values, values + 5, e.moisture);
            e.wind = saved->windSpeed;
            e.windAdjustment = saved->windAdjustment;
            e.slope = saved->slope;
        } else {
            *problem =
                QStringLiteral("--scenario: no standard scenario or saved environment is named \"%1\"").arg(m_scenario);
            return false;
        }
    }
    // Options given override the scenario whatever their order on the line.
    for (const auto &[k, value] : m_given) {
        const NumberOption &option = kOptions[k];
        const QString name = QLatin1String(option.name);
        bool ok = false;
        const double typed = value.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(typed)) {
            *problem = QStringLiteral("%1: \"%2\" is not a number").arg(name, value);
            return false;
        }
        // Only the wind has a unit of its own; the rest are percentages or a factor.
        const double english = k == kWind ? Units::ToEnglish(option.quantity, m_units, typed) : typed;
        if (english < option.low || english > option.high) {
            const Units::Quantity q = option.quantity;
            const QString low = k == kWind
                ? Units::FormatShownEntry(q, m_units, Units::ShownLow(q, m_units, option.low))
                : FormatGeneral(option.low);
            const QString high = k == kWind
                ? Units::FormatShownEntry(q, m_units, Units::ShownHigh(q, m_units, option.high))
                : FormatGeneral(option.high);
            *problem = QStringLiteral("%1: %2 is outside the acceptable range %3 to %4").arg(name, value, low, high);
            return false;
        }
        valueOf(e, k) = english;
    }
    return true;
}

const char *EnvironmentOptionParser::Usage()
{
    return "    --moist-1h, --moist-10h, --moist-100h   dead fuel moistures, percent, 1-60 (5, 6, 7)\n"
           "    --moist-herb, --moist-woody             live fuel moistures, percent, 30-300 (75, 90)\n"
           "    --wind                                  20-foot wind speed, mi/h, 0-99 (10); km/h in metric\n"
           "    --wind-adjust                           wind adjustment factor, 0-1 (0.7)\n"
           "    --slope                                 slope steepness, percent, 0-1000 (0)\n"
           "    --scenario                              a standard moisture scenario (D1L1 .. D4L4: dead\n"
           "                                            D1 3/4/5 .. D4 12/13/14 %, live L1 30/60 .. L4\n"
           "                                            120/150 %) or the name of an environment saved in\n"
           "                                            the Edit and Test Center; moisture, wind and slope\n"
           "                                            options given as well override it\n"
           "    --units                                 units of --wind and of the results (english)\n"
           "    --conventions                           core: as the library's core (default);\n"
           "                                            simulators: as the fire growth simulators\n";
}
