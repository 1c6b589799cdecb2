#include "uncertainty/Distributions.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

bool parseNumber(std::string_view text, double &value)
{
    if (text.empty())
        return false;
    const char *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

std::optional<Distribution> ParseDistribution(std::string_view text, std::string *problem)
{
    const auto fail = [&](std::string why) -> std::optional<Distribution> {
        *problem = "\"" + std::string(text) + "\": " + why;
        return std::nullopt;
    };
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return fail("expected pct:P, range:A:B or cv:C");
    const std::string_view kind = text.substr(0, colon);
    const std::string_view rest = text.substr(colon + 1);
    Distribution d;
    if (equalsIgnoringCase(kind, "pct") || equalsIgnoringCase(kind, "cv")) {
        d.kind = equalsIgnoringCase(kind, "pct") ? DistributionKind::Percent : DistributionKind::Normal;
        if (!parseNumber(rest, d.a))
            return fail("\"" + std::string(rest) + "\" is not a number");
        if (d.a < 0)
            return fail("a spread cannot be negative");
        if (d.kind == DistributionKind::Percent && d.a > 100)
            return fail("at most 100 %");
        return d;
    }
    if (equalsIgnoringCase(kind, "range")) {
        d.kind = DistributionKind::Range;
        const std::size_t second = rest.find(':');
        if (second == std::string_view::npos || !parseNumber(rest.substr(0, second), d.a) ||
            !parseNumber(rest.substr(second + 1), d.b))
            return fail("expected range:A:B with two numbers");
        if (d.a > d.b)
            return fail("A is larger than B");
        return d;
    }
    return fail("expected pct:P, range:A:B or cv:C");
}

std::string DistributionText(const Distribution &d)
{
    const auto number = [](double v) {
        char buf[32];
        const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v);
        return std::string(buf, ec == std::errc() ? ptr : buf);
    };
    switch (d.kind) {
    case DistributionKind::Percent:
        return "pct:" + number(d.a);
    case DistributionKind::Range:
        return "range:" + number(d.a) + ":" + number(d.b);
    case DistributionKind::Normal:
        break;
    }
    return "cv:" + number(d.a);
}

double NormalCdf(double x)
{
    return 0.5 * std::erfc(-x / std::sqrt(2.0));
}

double ApproximateNormalQuantile(double p)
{
    if (p <= 0)
        return -INFINITY;
    if (p >= 1)
        return INFINITY;
    // Rational approximation of the central region and the tails (relative error about 1e-9).
    static const double a[] = {-3.969683028665376e+01, 2.209460984245205e+02,  -2.759285104469687e+02,
                               1.383577518672690e+02,  -3.066479806614716e+01, 2.506628277459239e+00};
    static const double b[] = {-5.447609879822406e+01, 1.615858368580409e+02, -1.556989798598866e+02,
                               6.680131188771972e+01, -1.328068155288572e+01};
    static const double c[] = {-7.784894002430293e-03, -3.223964580411365e-01, -2.400758277161838e+00,
                               -2.549732539343734e+00, 4.374664141464968e+00,  2.938163982698783e+00};
    static const double d[] = {7.784695709041462e-03, 3.224671290700398e-01, 2.445134137142996e+00,
                               3.754408661907416e+00};
    const double pLow = 0.02425;
    double x;
    if (p < pLow) {
        const double q = std::sqrt(-2 * std::log(p));
        x = (((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
            ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
    } else if (p <= 1 - pLow) {
        const double q = p - 0.5;
        const double r = q * q;
        x = (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q /
            (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1);
    } else {
        const double q = std::sqrt(-2 * std::log(1 - p));
        x = -(((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
            ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
    }
    return x;
}

double NormalQuantile(double p)
{
    const double x = ApproximateNormalQuantile(p);
    if (!std::isfinite(x))
        return x;
    // One Halley step on the distribution function: full double precision.
    const double e = NormalCdf(x) - p;
    const double u = e * std::sqrt(2 * M_PI) * std::exp(x * x / 2);
    return x - u / (1 + x * u / 2);
}

bool TruncatedDistribution::Resolve(const Distribution &d, double current, double low, double high,
                                    std::string *problem)
{
    m_normal = false;
    double from = current, to = current;
    switch (d.kind) {
    case DistributionKind::Percent:
        from = current - std::abs(current) * d.a / 100;
        to = current + std::abs(current) * d.a / 100;
        break;
    case DistributionKind::Range:
        from = d.a;
        to = d.b;
        break;
    case DistributionKind::Normal:
        m_mean = current;
        m_sd = std::abs(current) * d.a;
        if (m_sd > 0) {
            m_normal = true;
            from = low;
            to = high;
            m_cdfLow = NormalCdf((low - m_mean) / m_sd);
            m_cdfHigh = NormalCdf((high - m_mean) / m_sd);
            if (!(m_cdfHigh > m_cdfLow)) {
                // The range lies so far out in a tail that no draw can fall in it.
                *problem = "the distribution has no probability within the range";
                return false;
            }
        }
        break;
    }
    m_low = std::max(from, low);
    m_high = std::min(to, high);
    if (m_low > m_high) {
        *problem = "no value of the distribution lies within the range";
        return false;
    }
    m_constant = !m_normal && m_low == m_high;
    return true;
}

TruncatedDistribution TruncatedDistribution::Constant(double value)
{
    TruncatedDistribution t;
    t.m_low = t.m_high = value;
    t.m_constant = true;
    return t;
}

double TruncatedDistribution::ValueAt(double u) const
{
    if (m_constant)
        return m_low;
    if (!m_normal)
        return m_low + u * (m_high - m_low);
    const double x = m_mean + m_sd * NormalQuantile(m_cdfLow + u * (m_cdfHigh - m_cdfLow));
    // Inside the range by construction; rounding at the very ends is held to it.
    return std::clamp(x, m_low, m_high);
}
