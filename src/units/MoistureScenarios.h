#pragma once

#include <QString>
#include <QStringView>

#include <array>

// The 16 standard dead-by-live fuel moisture scenarios custom fuel models are tested under:
// four dead moisture levels D1 to D4 (1-h, 10-h, 100-h) crossed with four live levels L1 to
// L4 (herbaceous, woody). "D2L3" is D2's dead and L3's live moistures. All moistures in
// percent.
//
//   for (const Units::MoistureScenario &m : Units::StandardMoistureScenarios()) ...   // D1L1, D1L2, ... D4L4
//   if (const Units::MoistureScenario *m = Units::FindMoistureScenario(u"d2l3")) ...
namespace Units {

struct MoistureScenario
{
    QString name; // "D2L3"
    double oneHour = 0;
    double tenHour = 0;
    double hundredHour = 0;
    double herb = 0;
    double woody = 0;

    // "D2L3 - low dead, 1/3 cured (6, 7, 8 / 90, 120 %)"
    QString description() const;
};

inline constexpr int kDeadLevels = 4;
inline constexpr int kLiveLevels = 4;

// Dead-major order: D1L1, D1L2, D1L3, D1L4, D2L1, ... D4L4.
const std::array<MoistureScenario, kDeadLevels * kLiveLevels> &StandardMoistureScenarios();

// The scenario of a name, without regard to case or surrounding blanks; null when there is none.
const MoistureScenario *FindMoistureScenario(QStringView name);

// The scenario whose five moistures equal these exactly; null when none does.
const MoistureScenario *MatchingMoistureScenario(double oneHour, double tenHour, double hundredHour, double herb,
                                                 double woody);

} // namespace Units
