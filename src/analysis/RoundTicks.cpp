#include "analysis/RoundTicks.h"

#include <algorithm>
#include <cmath>

namespace {

// A step is mantissa x 10^exponent with mantissa 1, 2 or 5.
struct Step
{
    int mantissa;
    int exponent;
    double value() const { return mantissa * std::pow(10.0, exponent); }
};

Step roundStep(double span, int maxIntervals)
{
    maxIntervals = std::max(1, maxIntervals);
    if (!(span > 0) || !std::isfinite(span))
        return {1, 0};
    const double raw = span / maxIntervals;
    int exponent = int(std::floor(std::log10(raw)));
    // The loop climbs at most through 1, 2, 5 of this power and 1 of the next; the tolerance
    // keeps a span that is an exact multiple (10 in 5 intervals) on the smaller step.
    for (;;) {
        for (int m : {1, 2, 5}) {
            const Step s{m, exponent};
            if (span / s.value() <= maxIntervals * (1 + 1e-9))
                return s;
        }
        ++exponent;
    }
}

double multiple(long long k, const Step &s)
{
    // Dividing by an exact power of ten keeps decimal steps exact where the result is.
    if (s.exponent < 0)
        return double(k * s.mantissa) / std::pow(10.0, -s.exponent);
    return double(k * s.mantissa) * std::pow(10.0, s.exponent);
}

Step asStep(double step)
{
    const int exponent = int(std::floor(std::log10(step) + 1e-9));
    const int mantissa = int(std::lround(step / std::pow(10.0, exponent)));
    return {mantissa, exponent};
}

} // namespace

double RoundTickStep(double span, int maxIntervals)
{
    const Step s = roundStep(span, maxIntervals);
    return multiple(1, s);
}

std::vector<double> TickValues(double lo, double hi, double step)
{
    std::vector<double> ticks;
    if (!(step > 0) || !std::isfinite(step) || !std::isfinite(lo) || !std::isfinite(hi) || hi < lo)
        return ticks;
    const Step s = asStep(step);
    const double tolerance = 1e-9;
    const long long first = (long long)std::ceil(lo / step - tolerance);
    const long long last = (long long)std::floor(hi / step + tolerance);
    if (last - first > 100000)
        return ticks;
    for (long long k = first; k <= last; ++k)
        ticks.push_back(multiple(k, s));
    return ticks;
}

std::vector<double> RoundTicks(double lo, double hi, int maxIntervals)
{
    return TickValues(lo, hi, RoundTickStep(hi - lo, maxIntervals));
}

double RoundAxisMaximum(double value, int maxIntervals)
{
    const Step s = roundStep(value, maxIntervals);
    if (!(value > 0) || !std::isfinite(value))
        return multiple(1, s);
    const long long k = (long long)std::ceil(value / s.value() - 1e-9);
    return multiple(std::max(1LL, k), s);
}

int TickDecimals(double step)
{
    if (!(step > 0) || !std::isfinite(step) || step >= 1)
        return 0;
    return std::max(0, -asStep(step).exponent);
}
