#pragma once

#include <cstdint>
#include <vector>

// Points of the unit cube from which input values are drawn, repeatable from a seed.

enum class SamplingMethod {
    Sobol,  // a Sobol sequence scrambled by a random digital shift
    Random, // pseudo-random (64-bit Mersenne twister)
};

// Draws points of (0, 1)^dimensions one after the other; the same method and seed give the
// same points on every machine.
class UnitSampler
{
public:
    UnitSampler(int dimensions, SamplingMethod method, std::uint64_t seed);
    ~UnitSampler();
    UnitSampler(const UnitSampler &) = delete;
    UnitSampler &operator=(const UnitSampler &) = delete;

    int Dimensions() const { return m_dimensions; }
    // Writes the next point's coordinates to point[0 .. dimensions - 1].
    void Next(double *point);

private:
    struct State;
    int m_dimensions;
    State *m_state;
};

// Inputs drawn together: the coordinates `members` of a point get the rank correlation
// `correlation` between each pair (a Gaussian copula), their own distributions unchanged.
struct CorrelationGroup
{
    std::vector<int> members;
    double correlation = 0; // 0 (independent) to below 1
};

// The groups prepared once for many points.
class Correlator
{
public:
    Correlator() = default;
    // False when a correlation is outside [0, 1) or a member is out of range.
    bool Prepare(const std::vector<CorrelationGroup> &groups, int dimensions);
    // Replaces the members' independent coordinates by correlated ones.
    void Apply(double *point) const;

private:
    struct Prepared
    {
        std::vector<int> members;
        std::vector<double> lower; // Cholesky factor, row-major, members x members
    };
    std::vector<Prepared> m_groups;
};

// n points of the sampler, correlated, row-major (n x dimensions).
std::vector<double> DrawUnitPoints(int n, int dimensions, SamplingMethod method, std::uint64_t seed,
                                   const Correlator &correlator = Correlator());
