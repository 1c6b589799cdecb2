// The surface spread core. Units: loads t/ac (lb/ft2 after the 0.04591 conversion), SA/V
// ft2/ft3, heat btu/lb, depth ft, moistures fractions, wind mi/h in and out (ft/min inside),
// spread rate ft/min inside and ch/h out, areas acres.
//
// Fault detection: C++ arithmetic does not trap, so every quotient, power, exponential and
// square root goes through a checked helper, and every other intermediate that could overflow
// is tested with finite(). The first fault throws ArithmeticError before the next output is
// written, which is what "stop at once" means to a caller holding the outputs. Guarded
// divisions (class weights, live fine load, heat sink, optimum packing ratio) are tested for
// zero before dividing and never throw.
#include "engine/SurfaceSpread.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr double kParticleDensity = 32;   // lb/ft3
constexpr double kNetLoadFactor = 0.9445; // load less its total mineral content
constexpr double kMineralContent = 0.01;  // effective mineral content of every class
constexpr double kLoadToLbFt2 = 0.04591;  // t/ac to lb/ft2
constexpr double kMphToFtMin = 88;
constexpr double kFtMinPerChH = 1.1;
constexpr double kPi = 3.14159; // the published fire-size figures use this value
constexpr double kSav10Hour = 109;
constexpr double kSav100Hour = 30;

[[noreturn]] [[gnu::cold]] [[gnu::noinline]] void fail(const char *fault, const char *what)
{
    throw ArithmeticError(std::string(fault) + " in the " + what);
}

[[noreturn]] [[gnu::cold]] [[gnu::noinline]] void failNonFinite(double v, const char *what)
{
    fail(std::isnan(v) ? "invalid operation" : "overflow", what);
}

inline double fin(double v, const char *what)
{
    if (!std::isfinite(v)) [[unlikely]]
        failNonFinite(v, what);
    return v;
}

inline double quot(double a, double b, const char *what)
{
    if (b == 0) [[unlikely]]
        fail(a == 0 ? "invalid operation (0/0)" : "division by zero", what);
    return fin(a / b, what);
}

inline double power(double x, double y, const char *what)
{
    if (x < 0 && y != std::trunc(y)) [[unlikely]]
        fail("invalid argument (fractional power of a negative number)", what);
    if (x == 0 && y < 0) [[unlikely]]
        fail("division by zero", what);
    return fin(std::pow(x, y), what);
}

inline double expo(double x, const char *what)
{
    return fin(std::exp(x), what);
}

inline double root(double x, const char *what)
{
    if (x < 0) [[unlikely]]
        fail("invalid argument (square root of a negative number)", what);
    return fin(std::sqrt(x), what);
}

// Per-class and per-category working tables: category i (0 dead, 1 live), class k.
struct Bed
{
    double w0[2][4] = {};
    double sav[2][4] = {};
    double heat[2][4] = {};
    double moist[2][4] = {};
    int count[2] = {};
};

std::string padded(bool negative, long long tenths)
{
    // tenths >= 0; at least five integer digits and one decimal.
    char buf[32];
    char *end = buf + sizeof buf;
    char *p = end;
    *--p = char('0' + tenths % 10);
    *--p = '.';
    long long whole = tenths / 10;
    for (int digits = 0; digits < 5 || whole != 0; ++digits) {
        *--p = char('0' + whole % 10);
        whole /= 10;
    }
    if (negative)
        *--p = '-';
    return std::string(p, end);
}

double textValue(const std::string &text)
{
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

} // namespace

int SizeSubclass(double sav)
{
    constexpr double bounds[] = {1200, 192, 96, 48, 16};
    for (int i = 0; i < 5; ++i)
        if (sav >= bounds[i])
            return i;
    return 5;
}

std::string FormatRateOfSpread(double chainsPerHour)
{
    fin(chainsPerHour, "rate of spread");
    const double t = chainsPerHour * 10;
    const double r = std::nearbyint(t);
    // Fast path: 10x is computed with a relative error below 2^-53, so unless it lies that
    // close to a half, rounding the product gives the correctly rounded tenth.
    if (std::fabs(t) < 1e15 && std::fabs(std::fabs(t - r) - 0.5) > std::fabs(t) * 1e-15 + 1e-300) {
        const long long tenths = static_cast<long long>(std::fabs(r));
        return padded(r < 0 && tenths != 0, tenths);
    }
    // Near-ties and huge values: the exact decimal expansion decides.
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.1f", std::fabs(chainsPerHour));
    std::string s(buf);
    const std::size_t dot = s.find('.');
    std::string intPart = s.substr(0, dot);
    while (intPart.size() < 5)
        intPart.insert(intPart.begin(), '0');
    const bool zero = s.find_first_not_of("0.") == std::string::npos;
    return (chainsPerHour < 0 && !zero ? "-" : "") + intPart + s.substr(dot);
}

std::string ComputeSurfaceSpread(std::array<double, 13> &fuel, const std::array<double, 5> &moisture, double windSpeed,
                                 double slope, double &flameLength, double &fireLineIntensity, double &heatPerUnitArea,
                                 bool &windLimitMet, double &singleEllipseArea, double &doubleEllipseArea,
                                 double &fireHours, double &herbType, double &effectiveWind, double &surfToVol,
                                 double &packRatio, SpreadConventions conventions, double *unroundedRate)
{
    const bool simulators = conventions == SpreadConventions::Simulators;
    surfToVol = 0;
    packRatio = 0;

    // 1-2. Herb type and dynamic herbaceous transfer into the 1-h class.
    if (herbType == 0)
        herbType = 1;
    // The cured herb: into the 1-h class (core) or a dead herbaceous class of its own.
    double curedHerb = 0;
    if (herbType == 2) {
        const double mh = moisture[3];
        if (mh <= 0.30) {
            curedHerb = fuel[3];
            fuel[3] = 0;
        } else if (mh <= 1.19999999) {
            // The lower bound is open at 0.30 itself: moistures just above 0.30 transfer almost
            // all the load, as continuity demands, instead of none.
            const double t = fin((1.20 - mh) / 0.90, "herbaceous transfer fraction");
            curedHerb = fin(t * fuel[3], "herbaceous transfer");
            fuel[3] = fin((1 - t) * fuel[3], "herbaceous load after transfer");
        }
        if (!simulators) {
            fuel[0] = fin(fuel[0] + curedHerb, "1-h load after herbaceous transfer");
            curedHerb = 0;
        }
    }
    windLimitMet = false;

    Bed bed;
    const double deadSav[3] = {fuel[5], kSav10Hour, kSav100Hour};
    for (int k = 0; k < 3; ++k) {
        bed.w0[0][k] = fuel[std::size_t(k)];
        bed.sav[0][k] = deadSav[k];
        bed.heat[0][k] = fuel[8];
        bed.moist[0][k] = moisture[std::size_t(k)];
    }
    for (int k = 0; k < 2; ++k) {
        bed.w0[1][k] = fuel[std::size_t(3 + k)];
        bed.sav[1][k] = fuel[std::size_t(6 + k)];
        bed.heat[1][k] = fuel[std::size_t(9 + k)];
        bed.moist[1][k] = moisture[std::size_t(3 + k)];
    }

    const int deadClasses = simulators && herbType == 2 ? 4 : 3;
    if (deadClasses == 4) {
        bed.w0[0][3] = curedHerb;
        bed.sav[0][3] = fuel[6];
        // Cured, the herb burns with the dead heat content, as every dead class does.
        bed.heat[0][3] = fuel[8];
        bed.moist[0][3] = moisture[0];
    }

    // 3. Class counts: an empty category is skipped entirely.
    bed.count[0] = (fuel[0] != 0 || fuel[1] != 0 || fuel[2] != 0 || curedHerb != 0) ? deadClasses : 0;
    bed.count[1] = (fuel[3] != 0 || fuel[4] != 0) ? 2 : 0;

    // 4. Surface areas and weights.
    double a[2][4] = {};
    double area[2] = {};
    double fk[2][4] = {};
    for (int i = 0; i < 2; ++i) {
        for (int k = 0; k < bed.count[i]; ++k) {
            a[i][k] = fin(bed.w0[i][k] * bed.sav[i][k] / kParticleDensity, "class surface area");
            area[i] = fin(area[i] + a[i][k], "category surface area");
        }
        for (int k = 0; k < bed.count[i]; ++k)
            fk[i][k] = area[i] > 0 ? fin(a[i][k] / area[i], "class weight") : 0;
    }
    double fi[2];
    fi[0] = quot(area[0], fin(area[0] + area[1], "total surface area"), "category weights (no fuel)");
    fi[1] = 1 - fi[0];

    // 5. Live moisture of extinction.
    const double mxDead = fuel[12];
    double mxLive = 0;
    if (bed.count[1] != 0) {
        double wd = 0, sd = 0;
        for (int k = 0; k < bed.count[0]; ++k) {
            const double e =
                expo(quot(-138, bed.sav[0][k], "dead fine fuel factor (dead SA/V 0)"), "dead fine fuel factor");
            wd = fin(wd + bed.w0[0][k] * e, "dead fine fuel load");
            sd = fin(sd + bed.moist[0][k] * bed.w0[0][k] * e, "dead fine fuel moisture");
        }
        const double mfDead = quot(sd, wd, "dead fine fuel moisture (live fuel without dead fuel)");
        double wl = 0;
        for (int k = 0; k < bed.count[1]; ++k) {
            if (bed.sav[1][k] != 0)
                wl = fin(wl +
                             bed.w0[1][k] *
                                 expo(quot(-500, bed.sav[1][k], "live fine fuel factor"), "live fine fuel factor"),
                         "live fine fuel load");
        }
        double w = 0;
        if (wl != 0)
            w = fin(wd / wl, "dead to live fine fuel ratio");
        mxLive = fin((1 - quot(mfDead, mxDead, "dead moisture ratio (moisture of extinction 0)")) * (2.9 * w) - 0.226,
                     "live moisture of extinction");
        if (mxLive < mxDead)
            mxLive = mxDead;
    }

    // 6. Category sums.
    const double mx[2] = {mxDead, mxLive};
    double q[2] = {};
    double sigma = 0, loadLb = 0, volume = 0, heatSink = 0;
    for (int i = 0; i < 2; ++i) {
        if (bed.count[i] == 0)
            continue;
        double h = 0, se = 0, m = 0, sav = 0, wn = 0;
        double wnk[4] = {};
        for (int k = 0; k < bed.count[i]; ++k) {
            const double w0 = bed.w0[i][k];
            const double f = fk[i][k];
            wnk[k] = fin(w0 * kLoadToLbFt2 * kNetLoadFactor, "net load");
            const double qig = fin(250 + 1116 * bed.moist[i][k], "heat of preignition");
            h = fin(h + bed.heat[i][k] * f, "weighted heat content");
            se = fin(se + kMineralContent * f, "weighted mineral content");
            m = fin(m + bed.moist[i][k] * f, "weighted moisture");
            sav = fin(sav + bed.sav[i][k] * f, "weighted SA/V");
            loadLb = fin(loadLb + w0 * kLoadToLbFt2, "total load");
            volume = fin(volume + w0 * kLoadToLbFt2 / kParticleDensity, "particle volume");
            if (bed.sav[i][k] != 0)
                heatSink =
                    fin(heatSink +
                            fi[i] * f * qig *
                                expo(quot(-138, bed.sav[i][k], "effective heating number"), "effective heating number"),
                        "heat sink");
        }
        for (int k = 0; k < bed.count[i]; ++k) {
            double weight = fk[i][k];
            if (simulators) {
                // The summed weights of the category's classes in this class's size subclass.
                weight = 0;
                for (int j = 0; j < bed.count[i]; ++j)
                    if (SizeSubclass(bed.sav[i][j]) == SizeSubclass(bed.sav[i][k]))
                        weight = fin(weight + fk[i][j], "size class weight");
            }
            wn = fin(wn + wnk[k] * weight, "weighted net load");
        }
        const double r =
            quot(m, mx[i], i == 0 ? "dead moisture ratio (moisture of extinction 0)" : "live moisture ratio");
        double etaM = 0;
        if (m < mx[i])
            etaM = fin(1 - 2.59 * r + 5.11 * r * r - 3.52 * r * r * r, "moisture damping");
        double etaS = 0;
        if (se != 0) {
            etaS = quot(0.174, power(se, 0.19, "mineral damping"), "mineral damping");
            if (etaS > 1)
                etaS = 1;
        }
        sigma = fin(sigma + sav * fi[i], "characteristic SA/V");
        q[i] = fin(wn * h * etaS * etaM, "reaction term");
    }

    // 7. Fuel bed.
    const double rhoB = quot(loadLb, fuel[11], "bulk density (fuel bed depth 0)");
    const double beta = quot(volume, fuel[11], "packing ratio (fuel bed depth 0)");

    // 8. Reaction intensity.
    const double betaOp =
        quot(3.348, power(sigma, 0.8189, "optimum packing ratio"), "optimum packing ratio (characteristic SA/V 0)");
    double rp = 0;
    if (betaOp != 0)
        rp = fin(beta / betaOp, "relative packing ratio");
    const double bigA = quot(133, power(sigma, 0.7913, "reaction velocity exponent"), "reaction velocity exponent");
    const double sigma15 = power(sigma, 1.5, "maximum reaction velocity");
    const double gammaMax =
        quot(sigma15, fin(495 + 0.0594 * sigma15, "maximum reaction velocity"), "maximum reaction velocity");
    const double gamma = fin(gammaMax * power(rp, bigA, "reaction velocity") *
                                 expo(fin(bigA * (1 - rp), "reaction velocity"), "reaction velocity"),
                             "reaction velocity");
    const double ir = fin((q[0] + q[1]) * gamma, "reaction intensity");

    // 9. Heat sink and propagating flux.
    const double heatSinkQ = fin(rhoB * heatSink, "heat sink");
    const double xi = quot(expo(fin((0.792 + 0.681 * power(sigma, 0.5, "propagating flux ratio")) * (beta + 0.1),
                                    "propagating flux ratio"),
                                "propagating flux ratio"),
                           fin(192 + 0.2595 * sigma, "propagating flux ratio"), "propagating flux ratio");
    double r0 = 0;
    if (heatSinkQ != 0)
        r0 = fin(ir * xi / heatSinkQ, "no-wind rate of spread");

    // 10. Slope and wind factors.
    const double tanSlope = fin(slope / 100, "slope");
    const double phiS = fin(5.275 * power(beta, -0.3, "slope factor") * tanSlope * tanSlope, "slope factor");
    const double coefC =
        fin(7.47 * expo(fin(-0.133 * power(sigma, 0.55, "wind factor"), "wind factor"), "wind factor"), "wind factor");
    const double coefB = fin(0.02526 * power(sigma, 0.54, "wind factor"), "wind factor");
    const double coefE = fin(0.715 * expo(-0.000359 * sigma, "wind factor"), "wind factor");
    const double u = fin(windSpeed * kMphToFtMin, "wind speed");
    // A negative wind and a wind too strong for the power are different faults: name each.
    if (u < 0) [[unlikely]]
        fail("invalid argument (fractional power of a negative number)", "wind factor (negative wind speed)");
    const double phiW = fin(
        power(u, coefB, "wind factor (wind speed too high)") * coefC * power(rp, -coefE, "wind factor"), "wind factor");

    // 11. Rate of spread and intensity.
    const double uMax = fin(0.9 * ir, "wind limit");
    double rate = fin(r0 * fin(1 + phiW + phiS, "spread factor"), "rate of spread");
    heatPerUnitArea = quot(fin(ir * 384, "heat per unit area"), sigma, "heat per unit area");
    fireLineIntensity =
        quot(fin(ir * 384 * rate, "fireline intensity"), fin(sigma * 60, "fireline intensity"), "fireline intensity");
    flameLength = fin(0.45 * power(fireLineIntensity, 0.46, "flame length"), "flame length");

    // 12. Effective wind speed and the wind limit.
    double phi = fin(phiW + phiS, "spread factor");
    double uE = power(quot(fin(phi * power(rp, coefE, "effective wind speed"), "effective wind speed"), coefC,
                           "effective wind speed"),
                      quot(1, coefB, "effective wind speed"), "effective wind speed");
    if (uE > uMax) {
        windLimitMet = true;
        uE = uMax;
        // The capped wind factor replaces wind and slope together.
        phi = fin(power(uMax, coefB, "wind limit") * coefC * power(rp, -coefE, "wind limit"), "wind limit");
        rate = fin(r0 * (1 + phi), "rate of spread");
        fireLineIntensity = quot(fin(ir * 384 * rate, "fireline intensity"), fin(sigma * 60, "fireline intensity"),
                                 "fireline intensity");
        flameLength = fin(0.45 * power(fireLineIntensity, 0.46, "flame length"), "flame length");
    }

    // 13. Results.
    const std::string rosText = FormatRateOfSpread(rate / kFtMinPerChH);
    const double ros = textValue(rosText);
    if (unroundedRate)
        *unroundedRate = rate / kFtMinPerChH;
    effectiveWind = uE / kMphToFtMin;
    if (!(fireHours > 0))
        fireHours = 1;
    const double ue = effectiveWind;

    // 14. Double-ellipse area.
    if (ue > 0) {
        const double d = fin(fireHours * ros, "fire distance");
        const double ea = fin(0.534 * expo(-0.1147 * ue, "double ellipse"), "double ellipse");
        const double eb =
            fin(2.502 * power(fin(kMphToFtMin * ue, "double ellipse"), -0.3, "double ellipse"), "double ellipse");
        const double ec = fin(1 + 0.492 * expo(-0.1845 * ue, "double ellipse") - eb, "double ellipse");
        doubleEllipseArea = fin(d * d * (ea * kPi) * (ec + eb) / 2 / 10, "double-ellipse area");
    } else {
        doubleEllipseArea = 0;
    }

    // 15. Single-ellipse area.
    const double lw = fin(1 + 0.25 * ue, "length-to-width ratio");
    const double ecc = quot(root(fin(lw * lw - 1, "eccentricity"), "eccentricity"), lw, "eccentricity");
    const double backingRate = quot(fin(ros * (1 - ecc), "backing rate"), 1 + ecc, "backing rate");
    const double forward = fin(ros * fireHours, "forward distance");
    const double backing = fin(fireHours * backingRate, "backing distance");
    const double length = fin(forward + backing, "fire length");
    const double width = quot(length, lw, "fire width");
    singleEllipseArea = fin((length / 2) * kPi * (width / 2) * 0.1, "single-ellipse area");

    // 16. Fuel bed descriptors.
    surfToVol = sigma;
    packRatio = quot(beta, betaOp, "relative packing ratio");
    return rosText;
}
