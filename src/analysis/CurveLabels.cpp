#include "analysis/CurveLabels.h"

#include "data/CsvTable.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

const std::array<CurveOutput, 4> &CurveOutputs()
{
    static const std::array<CurveOutput, 4> outputs = {{
        {"Rate of spread", Units::Quantity::RateOfSpread, &SweepPoint::rateOfSpread},
        {"Flame length", Units::Quantity::FlameLength, &SweepPoint::flameLength},
        {"Fireline intensity", Units::Quantity::FirelineIntensity, &SweepPoint::fireLineIntensity},
        {"Size after 1 hour", Units::Quantity::FireSize, &SweepPoint::size},
    }};
    return outputs;
}

QString CurveName(const ModelCurve &c)
{
    if (c.role == QLatin1String("Edited"))
        return QStringLiteral("%1 (edited)").arg(c.modelId.isEmpty() ? QStringLiteral("model") : c.modelId);
    if (c.role == QLatin1String("Reference"))
        return QStringLiteral("Ref: %1").arg(c.modelId);
    return QStringLiteral("%1 (%2)").arg(c.modelId, c.setName);
}

std::optional<std::size_t> NearestSweepPoint(const std::vector<SweepPoint> &points, double x)
{
    if (points.empty() || !(x >= points.front().x && x <= points.back().x))
        return std::nullopt;
    const double step = points.size() > 1 ? (points.back().x - points.front().x) / double(points.size() - 1) : 1;
    const int nearest =
        std::clamp(step > 0 ? int(std::lround((x - points.front().x) / step)) : 0, 0, int(points.size()) - 1);
    return std::size_t(nearest);
}

QString CurvePointText(const ModelCurve &c, std::size_t index, SweepInput input, Units::System system)
{
    if (index >= c.points.size())
        return QString();
    const SweepPoint &p = c.points[index];
    const SweepInputInfo &info = SweepInputInfoOf(input);
    QStringList lines{CurveName(c),
                      QStringLiteral("%1: %2 %3")
                          .arg(QString::fromUtf8(info.title),
                               TableNumber(Units::FromEnglish(info.quantity, system, p.x), 1),
                               Units::UnitLabel(info.quantity, system))};
    if (!p.computed) {
        lines << QStringLiteral("cannot compute");
        return lines.join(u'\n');
    }
    for (const CurveOutput &o : CurveOutputs())
        lines << QStringLiteral("%1: %2 %3")
                     .arg(QString::fromUtf8(o.title), Units::FormatResult(o.quantity, system, p.*o.value),
                          Units::UnitLabel(o.quantity, system));
    if (p.windLimit && p.rateOfSpread > 0)
        lines << QStringLiteral("wind limit reached");
    return lines.join(u'\n');
}
