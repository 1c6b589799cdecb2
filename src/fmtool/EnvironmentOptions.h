#pragma once

#include "engine/SurfaceSpread.h"
#include "units/Units.h"

#include <QString>

#include <utility>
#include <vector>

class FireSpread;

// The environment options fmtool table and fmtool sweep share, read and checked in one place:
// --moist-1h, --moist-10h, --moist-100h, --moist-herb, --moist-woody (percent), --wind (20-ft
// wind, mi/h or km/h with --units metric), --wind-adjust (0-1), --slope (percent, 0-1000),
// --scenario (a standard moisture scenario or an environment saved in the editor), --units
// and --conventions.
struct Environment
{
    // Percent: 1-h, 10-h, 100-h, live herb, live woody (the editor's defaults).
    double moisture[5] = {5, 6, 7, 75, 90};
    double wind = 10; // 20-ft wind, mi/h
    double windAdjustment = 0.7;
    double slope = 0; // percent
    Units::System units = Units::System::English;
    SpreadConventions conventions = SpreadConventions::Core;

    // The midflame wind the editor computes with: its box shows the 20-ft wind times the factor
    // with one decimal, and the computation reads the box.
    double MidflameWind() const;
    // Sets the moistures (as fractions), the winds, the slope and the conventions of fs.
    void ApplyTo(FireSpread &fs) const;
};

// "core" or "simulators" in any letter case; false (conventions untouched) for anything else.
bool ParseConventions(const QString &text, SpreadConventions &conventions);

class EnvironmentOptionParser
{
public:
    enum class Outcome { NotAnOption, Taken, Problem };

    // Offers one option and its value (the name without "=value"). Problem with *problem set
    // when the value is wrong in itself (an unknown unit system or conventions word).
    Outcome Take(const QString &name, const QString &value, QString *problem);

    // After the whole command line: the scenario first, then every option given, each one
    // checked against its range in the units chosen. False with *problem on the first fault.
    bool Finish(Environment &environment, QString *problem) const;

    // The lines of the shared options for a command's help.
    static const char *Usage();

private:
    QString m_scenario;
    Units::System m_units = Units::System::English;
    SpreadConventions m_conventions = SpreadConventions::Core;
    std::vector<std::pair<int, QString>> m_given; // option index, value as typed
};
