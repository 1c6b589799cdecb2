#include "analysis/ConsistencyWarnings.h"

#include <algorithm>
#include <cmath>

namespace {

// The 10-h and 100-h classes have fixed SA/V ratios in the spread model.
constexpr double kSav10h = 109;
constexpr double kSav100h = 30;

QString surfaceToVolume(double perFoot, Units::System s)
{
    return Units::FormatResult(Units::Quantity::SurfaceToVolume, s, perFoot).trimmed() + QLatin1Char(' ') +
        Units::UnitLabel(Units::Quantity::SurfaceToVolume, s);
}

QString percent(double fraction)
{
    return QString::number(fraction * 100, 'f', 1) + QStringLiteral(" %");
}

// The herbaceous load the spread model moves to the 1-h class at herb moisture mh (fraction).
double transferredFraction(double herbType, double mh)
{
    if (herbType != 2)
        return 0;
    if (mh <= 0.30)
        return 1;
    if (mh >= 0.30000001 && mh <= 1.19999999)
        return (1.20 - mh) / 0.90;
    return 0;
}

} // namespace

Envelope EnvelopeOf(const std::vector<FuelBed> &models, const FireEnvironment &env)
{
    Envelope e;
    for (const FuelBed &bed : models) {
        const Behaviour b = ComputeBehaviour(bed, env);
        if (!b.computed)
            continue;
        if (!e.valid) {
            e.surfToVolMin = e.surfToVolMax = b.surfToVol;
            e.packRatioMin = e.packRatioMax = b.packRatio;
            e.valid = true;
            continue;
        }
        e.surfToVolMin = std::min(e.surfToVolMin, b.surfToVol);
        e.surfToVolMax = std::max(e.surfToVolMax, b.surfToVol);
        e.packRatioMin = std::min(e.packRatioMin, b.packRatio);
        e.packRatioMax = std::max(e.packRatioMax, b.packRatio);
    }
    return e;
}

MoistureBalance MoistureBalanceOf(const FuelBed &bed, const FireEnvironment &env)
{
    const auto &p = bed.p;
    const double t = transferredFraction(bed.herbType, env.moisture[3]);
    const double load[5] = {p[0] + t * p[3], p[1], p[2], (1 - t) * p[3], p[4]};
    const double sav[5] = {p[5], kSav10h, kSav100h, p[6], p[7]};
    const double *m = env.moisture.data();

    MoistureBalance mb;
    mb.hasDead = load[0] != 0 || load[1] != 0 || load[2] != 0;
    mb.hasLive = load[3] != 0 || load[4] != 0;

    auto weighted = [&](int first, int last, double &fine, double exponent) {
        double area = 0, moist = 0;
        fine = 0;
        for (int k = first; k <= last; ++k) {
            const double a = load[k] * sav[k] / 32;
            area += a;
            moist += a * m[k];
            if (sav[k] != 0)
                fine += load[k] * std::exp(exponent / sav[k]);
        }
        return area > 0 ? moist / area : 0.0;
    };
    double deadFine = 0, liveFine = 0;
    mb.deadMoisture = weighted(0, 2, deadFine, -138);
    mb.liveMoisture = weighted(3, 4, liveFine, -500);
    const double ratio = liveFine != 0 ? deadFine / liveFine : 0;
    mb.liveExtinctionCeiling = std::max(2.9 * ratio - 0.226, p[12]);
    return mb;
}

std::vector<ConsistencyWarning> ConsistencyWarnings(const FuelBed &bed, const FireEnvironment &env,
                                                    const Envelope &envelope, Units::System system)
{
    std::vector<ConsistencyWarning> w;
    const auto &p = bed.p;
    // A class burns only with a load and a surface to heat; the 10-h and 100-h classes have
    // theirs fixed.
    const bool fuel =
        (p[0] > 0 && p[5] > 0) || p[1] > 0 || p[2] > 0 || (p[3] > 0 && p[6] > 0) || (p[4] > 0 && p[7] > 0);
    if (!fuel)
        w.push_back({WarningKind::NoFuelToBurn, 2,
                     std::all_of(p.begin(), p.begin() + 5, [](double load) { return load == 0; })
                         ? QStringLiteral("Every fuel load is 0: the model has no fuel and cannot burn.")
                         : QStringLiteral("Every fuel load is in a class whose SA/V is 0: the model cannot "
                                          "burn.")});
    const bool dynamic = bed.herbType == 2;
    if (dynamic && p[3] == 0)
        w.push_back({WarningKind::DynamicWithoutHerb, 5,
                     QStringLiteral("Dynamic herb type without live herb load: there is nothing to cure.")});
    if (!dynamic && p[3] != 0)
        w.push_back({WarningKind::HerbInStatic, 5,
                     QStringLiteral("Live herb load in a static model: the herbaceous fuel never cures "
                                    "into dead fuel.")});

    const MoistureBalance mb = MoistureBalanceOf(bed, env);
    if (mb.hasDead && p[12] <= mb.deadMoisture)
        w.push_back({WarningKind::ExtinctionAtDeadMoisture, 14,
                     QStringLiteral("Moisture of extinction %1 is at or below the dead fuel moisture %2 "
                                    "(weighted by surface area): the dead fuel cannot burn.")
                         .arg(percent(p[12]), percent(mb.deadMoisture))});

    if (envelope.valid) {
        const Behaviour b = ComputeBehaviour(bed, env);
        if (b.computed && (b.surfToVol < envelope.surfToVolMin || b.surfToVol > envelope.surfToVolMax))
            w.push_back({WarningKind::SurfToVolOutsideEnvelope, kCharSurfVolEntry,
                         QStringLiteral("Characteristic SA/V %1 is outside the standard models' %2 to %3.")
                             .arg(surfaceToVolume(b.surfToVol, system), surfaceToVolume(envelope.surfToVolMin, system),
                                  surfaceToVolume(envelope.surfToVolMax, system))});
        if (b.computed && (b.packRatio < envelope.packRatioMin || b.packRatio > envelope.packRatioMax))
            w.push_back({WarningKind::PackRatioOutsideEnvelope, kPackRatioEntry,
                         QStringLiteral("Relative packing ratio %1 is outside the standard models' %2 to %3.")
                             .arg(QString::number(b.packRatio, 'f', 3), QString::number(envelope.packRatioMin, 'f', 3),
                                  QString::number(envelope.packRatioMax, 'f', 3))});
    }

    if (mb.hasLive && mb.hasDead && mb.liveMoisture >= mb.liveExtinctionCeiling)
        w.push_back({WarningKind::LiveNeverBurns, 6,
                     QStringLiteral("At the live moisture %1 the live fuel can never burn: its moisture of "
                                    "extinction is at most %2, even with dry dead fuel.")
                         .arg(percent(mb.liveMoisture), percent(mb.liveExtinctionCeiling))});
    return w;
}
