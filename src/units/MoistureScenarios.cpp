#include "units/MoistureScenarios.h"

#include "data/NumberText.h"

namespace Units {

namespace {

struct DeadLevel
{
    double oneHour, tenHour, hundredHour;
    const char *words;
};
struct LiveLevel
{
    double herb, woody;
    const char *words;
};

constexpr DeadLevel kDead[kDeadLevels] = {
    {3, 4, 5, "very low dead"},
    {6, 7, 8, "low dead"},
    {9, 10, 11, "moderate dead"},
    {12, 13, 14, "high dead"},
};
constexpr LiveLevel kLive[kLiveLevels] = {
    {30, 60, "fully cured"},
    {60, 90, "2/3 cured"},
    {90, 120, "1/3 cured"},
    {120, 150, "fully green"},
};

std::array<MoistureScenario, kDeadLevels * kLiveLevels> makeScenarios()
{
    std::array<MoistureScenario, kDeadLevels * kLiveLevels> all;
    for (int d = 0; d < kDeadLevels; ++d) {
        for (int l = 0; l < kLiveLevels; ++l) {
            MoistureScenario &m = all[std::size_t(d * kLiveLevels + l)];
            m.name = QStringLiteral("D%1L%2").arg(d + 1).arg(l + 1);
            m.oneHour = kDead[d].oneHour;
            m.tenHour = kDead[d].tenHour;
            m.hundredHour = kDead[d].hundredHour;
            m.herb = kLive[l].herb;
            m.woody = kLive[l].woody;
        }
    }
    return all;
}

} // namespace

QString MoistureScenario::description() const
{
    const int d = name.mid(1, 1).toInt() - 1;
    const int l = name.mid(3, 1).toInt() - 1;
    const QString words = d >= 0 && d < kDeadLevels && l >= 0 && l < kLiveLevels
        ? QStringLiteral(" - %1, %2").arg(QLatin1String(kDead[d].words), QLatin1String(kLive[l].words))
        : QString();
    return name + words +
        QStringLiteral(" (%1, %2, %3 / %4, %5 %)")
            .arg(FormatGeneral(oneHour), FormatGeneral(tenHour), FormatGeneral(hundredHour), FormatGeneral(herb),
                 FormatGeneral(woody));
}

const std::array<MoistureScenario, kDeadLevels * kLiveLevels> &StandardMoistureScenarios()
{
    static const auto all = makeScenarios();
    return all;
}

const MoistureScenario *FindMoistureScenario(QStringView name)
{
    const QStringView wanted = name.trimmed();
    for (const MoistureScenario &m : StandardMoistureScenarios()) {
        if (wanted.compare(m.name, Qt::CaseInsensitive) == 0)
            return &m;
    }
    return nullptr;
}

const MoistureScenario *MatchingMoistureScenario(double oneHour, double tenHour, double hundredHour, double herb,
                                                 double woody)
{
    for (const MoistureScenario &m : StandardMoistureScenarios()) {
        if (m.oneHour == oneHour && m.tenHour == tenHour && m.hundredHour == hundredHour && m.herb == herb &&
            m.woody == woody)
            return &m;
    }
    return nullptr;
}

} // namespace Units
