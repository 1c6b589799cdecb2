#pragma once

#include "analysis/SetComparison.h"
#include "units/Units.h"

#include <QString>

#include <vector>

// Warnings about a fuel model that is valid entry by entry but unlikely as a whole, checked
// at the editor's current environment. They only inform: nothing here blocks a Save.

enum class WarningKind {
    NoFuelToBurn,             // every load 0, or load only in classes of SA/V 0: it cannot burn
    DynamicWithoutHerb,       // dynamic herb type but no live herb load: nothing to transfer
    HerbInStatic,             // live herb load in a static model: it never cures
    ExtinctionAtDeadMoisture, // dead moisture at or above the moisture of extinction
    SurfToVolOutsideEnvelope, // characteristic SA/V outside the standard models' range
    PackRatioOutsideEnvelope, // relative packing ratio outside the standard models' range
    LiveNeverBurns,           // live fuel extinguished whatever the dead fuel moisture
};

struct ConsistencyWarning
{
    WarningKind kind;
    // The editor entry the warning stands beside: a txtFuels index (2 1-h loading, 5 live herb
    // loading, 14 moisture of extinction, 6 live woody loading), or -1 for the characteristic SA/V and
    // -2 for the relative packing ratio boxes.
    int entry;
    QString text;
};
inline constexpr int kCharSurfVolEntry = -1;
inline constexpr int kPackRatioEntry = -2;

// The smallest and largest characteristic SA/V (ft2/ft3) and relative packing ratio of a set
// of models computed at one environment (models whose computation fails are left out).
struct Envelope
{
    double surfToVolMin = 0, surfToVolMax = 0;
    double packRatioMin = 0, packRatioMax = 0;
    bool valid = false; // false when no model computed
};
Envelope EnvelopeOf(const std::vector<FuelBed> &models, const FireEnvironment &env);

// What the spread model makes of the fuel bed's moistures, after the dynamic transfer at the
// herb moisture of env: the dead and live moistures weighted by surface area (fractions), and
// the highest live moisture of extinction any dead fuel moisture allows,
// max(2.9 W - 0.226, dead moisture of extinction), W the dead-to-live fine load ratio.
// hasDead / hasLive tell whether the category holds fuel.
struct MoistureBalance
{
    bool hasDead = false, hasLive = false;
    double deadMoisture = 0;
    double liveMoisture = 0;
    double liveExtinctionCeiling = 0;
};
MoistureBalance MoistureBalanceOf(const FuelBed &bed, const FireEnvironment &env);

// Every warning that applies to the fuel bed at env, in the order of WarningKind. The envelope
// checks are left out while envelope is not valid. Values in the texts are in the units of
// system (moistures always in percent).
std::vector<ConsistencyWarning> ConsistencyWarnings(const FuelBed &bed, const FireEnvironment &env,
                                                    const Envelope &envelope,
                                                    Units::System system = Units::System::English);
