#include "uncertainty/Sampling.h"

#include "uncertainty/Distributions.h"

#include <boost/random/sobol.hpp>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

// A 64-bit integer as a number strictly between 0 and 1: its top 53 bits plus half a step.
double unitOf(std::uint64_t bits)
{
    return (double(bits >> 11) + 0.5) * 0x1.0p-53;
}

} // namespace

struct UnitSampler::State
{
    SamplingMethod method;
    std::mt19937_64 random;
    std::vector<std::uint64_t> shift;
    boost::random::sobol sobol;
    bool atOrigin = true; // the sequence's first point, 0, which the generator leaves out

    State(int dimensions, SamplingMethod m, std::uint64_t seed)
        : method(m), random(seed), sobol(std::size_t(dimensions))
    {
        if (method == SamplingMethod::Sobol)
            for (int i = 0; i < dimensions; ++i)
                shift.push_back(random());
    }
};

UnitSampler::UnitSampler(int dimensions, SamplingMethod method, std::uint64_t seed)
    : m_dimensions(dimensions), m_state(new State(dimensions < 1 ? 1 : dimensions, method, seed))
{ }

UnitSampler::~UnitSampler()
{
    delete m_state;
}

void UnitSampler::Next(double *point)
{
    if (m_state->method == SamplingMethod::Random) {
        for (int i = 0; i < m_dimensions; ++i)
            point[i] = unitOf(m_state->random());
        return;
    }
    // The random digital shift: every coordinate's bits XORed with a random word of its own,
    // which keeps the sequence's balance in each dyadic box and makes its estimates unbiased.
    const bool origin = m_state->atOrigin;
    m_state->atOrigin = false;
    for (int i = 0; i < m_dimensions; ++i) {
        const std::uint64_t bits = origin ? 0 : std::uint64_t(m_state->sobol());
        point[i] = unitOf(bits ^ m_state->shift[std::size_t(i)]);
    }
}

bool Correlator::Prepare(const std::vector<CorrelationGroup> &groups, int dimensions)
{
    m_groups.clear();
    for (const CorrelationGroup &g : groups) {
        if (!(g.correlation >= 0 && g.correlation < 1))
            return false;
        for (int m : g.members)
            if (m < 0 || m >= dimensions)
                return false;
        const int k = int(g.members.size());
        if (k > 16)
            return false;
        if (k < 2 || g.correlation == 0)
            continue;
        // The normal correlation whose rank correlation is the one asked for.
        const double rho = 2 * std::sin(M_PI * g.correlation / 6);
        Prepared p;
        p.members = g.members;
        p.lower.assign(std::size_t(k * k), 0.0);
        for (int i = 0; i < k; ++i) {
            for (int j = 0; j <= i; ++j) {
                double sum = i == j ? 1.0 : rho;
                for (int m = 0; m < j; ++m)
                    sum -= p.lower[std::size_t(i * k + m)] * p.lower[std::size_t(j * k + m)];
                p.lower[std::size_t(i * k + j)] = i == j ? std::sqrt(sum) : sum / p.lower[std::size_t(j * k + j)];
            }
        }
        m_groups.push_back(std::move(p));
    }
    return true;
}

void Correlator::Apply(double *point) const
{
    for (const Prepared &g : m_groups) {
        const int k = int(g.members.size());
        double z[16], y[16];
        for (int i = 0; i < k && i < 16; ++i)
            z[i] = ApproximateNormalQuantile(point[g.members[std::size_t(i)]]);
        for (int i = 0; i < k && i < 16; ++i) {
            double sum = 0;
            for (int j = 0; j <= i; ++j)
                sum += g.lower[std::size_t(i * k + j)] * z[j];
            y[i] = sum;
        }
        for (int i = 0; i < k && i < 16; ++i) {
            // Held off 0 and 1 so that an inverse distribution function never meets an end.
            const double u = NormalCdf(y[i]);
            point[g.members[std::size_t(i)]] = std::clamp(u, 0x1.0p-54, 1 - 0x1.0p-53);
        }
    }
}

std::vector<double> DrawUnitPoints(int n, int dimensions, SamplingMethod method, std::uint64_t seed,
                                   const Correlator &correlator)
{
    std::vector<double> points(std::size_t(n) * std::size_t(dimensions));
    if (dimensions <= 0)
        return points;
    UnitSampler sampler(dimensions, method, seed);
    for (int i = 0; i < n; ++i) {
        double *p = points.data() + std::size_t(i) * std::size_t(dimensions);
        sampler.Next(p);
        correlator.Apply(p);
    }
    return points;
}
