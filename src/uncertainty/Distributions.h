#pragma once

#include <optional>
#include <string>
#include <string_view>

// How one input may vary around its current value, and the draw of a value from a number
// between 0 and 1 (the inverse of its distribution function), kept inside the input's range.

enum class DistributionKind {
    Percent, // uniform within +/- a percent of the current value      "pct:P"
    Range,   // uniform between two values                              "range:A:B"
    Normal,  // normal about the current value, sd = CV x current value "cv:C"
};

struct Distribution
{
    DistributionKind kind = DistributionKind::Percent;
    double a = 0; // P, A or C
    double b = 0; // B of a range
};

// "pct:10", "range:2:4.5" or "cv:0.2" (the kind in any letter case). nullopt with *problem
// when the text is none of these, a number is missing, negative where it must not be, or
// A > B.
std::optional<Distribution> ParseDistribution(std::string_view text, std::string *problem);
// The text ParseDistribution reads back.
std::string DistributionText(const Distribution &d);

// The standard normal distribution function and its inverse (p in (0, 1)).
double NormalCdf(double x);
double NormalQuantile(double p);
// The inverse without its last refinement: relative error below 1.2e-9, a third of the cost
// (for the copula of correlated draws, where that error moves no draw measurably).
double ApproximateNormalQuantile(double p);

// A distribution resolved at an input's current value and truncated to its range [low, high]:
// the draws are the distribution conditioned on the range (inverse transform within the range's
// share of the distribution), never values piled up on an end of the range.
class TruncatedDistribution
{
public:
    TruncatedDistribution() = default;
    // False with *problem when the range and the distribution have no value in common
    // (a range:A:B wholly outside the entry range).
    bool Resolve(const Distribution &d, double current, double low, double high, std::string *problem);
    // A value that never varies (an absent fuel class, P = 0).
    static TruncatedDistribution Constant(double value);

    // The value at u in (0, 1); increasing in u.
    double ValueAt(double u) const;
    bool IsConstant() const { return m_constant; }
    double Low() const { return m_low; }
    double High() const { return m_high; }

private:
    bool m_constant = true;
    bool m_normal = false;
    double m_low = 0, m_high = 0;       // the support after truncation
    double m_mean = 0, m_sd = 0;        // normal only
    double m_cdfLow = 0, m_cdfHigh = 1; // normal only: the range's share of the distribution
};
