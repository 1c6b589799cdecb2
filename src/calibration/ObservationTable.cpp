#include "calibration/ObservationTable.h"

#include "data/CsvTable.h"
#include "units/Units.h"

#include <cmath>

namespace {

using Units::Quantity;

QString number(double v)
{
    return std::isfinite(v) ? QString::number(v, 'g', 10) : QString();
}

} // namespace

const std::array<ObservationColumn, 11> &ObservationColumns()
{
    static const std::array<ObservationColumn, 11> columns = {{
        {"id", "ID", Quantity::Ratio},
        {"moist-1h", "1-h moisture", Quantity::Moisture},
        {"moist-10h", "10-h moisture", Quantity::Moisture},
        {"moist-100h", "100-h moisture", Quantity::Moisture},
        {"moist-herb", "Herb moisture", Quantity::Moisture},
        {"moist-woody", "Woody moisture", Quantity::Moisture},
        {"midflame-wind", "Midflame wind", Quantity::WindSpeed},
        {"slope", "Slope", Quantity::Slope},
        {"ros", "Rate of spread", Quantity::RateOfSpread},
        {"flame-length", "Flame length", Quantity::FlameLength},
        {"weight", "Weight", Quantity::Ratio},
    }};
    return columns;
}

QStringList ObservationColumnTitles(Units::System system, const QStringList &extraColumns)
{
    QStringList titles;
    for (const ObservationColumn &c : ObservationColumns())
        titles << (c.quantity == Quantity::Ratio
                       ? QLatin1String(c.title)
                       : TitleWithUnit(QLatin1String(c.title), Units::UnitLabel(c.quantity, system)));
    return titles << extraColumns;
}

QStringList ObservationReaderHeader(Units::System system, const QStringList &extraColumns)
{
    QStringList header;
    for (const ObservationColumn &c : ObservationColumns()) {
        const QString unit =
            c.quantity == Quantity::Ratio || c.quantity == Quantity::Moisture || c.quantity == Quantity::Slope
            ? QString()
            : Units::UnitLabel(c.quantity, system);
        header << (unit.isEmpty() ? QLatin1String(c.name) : QStringLiteral("%1 (%2)").arg(QLatin1String(c.name), unit));
    }
    for (const QString &extra : extraColumns)
        header << QStringLiteral("x-") + extra;
    return header;
}

QStringList ObservationCells(const Observation &o, Units::System system)
{
    const FireEnvironment &e = o.environment;
    return {o.id,
            number(100 * e.moisture[0]),
            number(100 * e.moisture[1]),
            number(100 * e.moisture[2]),
            number(100 * e.moisture[3]),
            number(100 * e.moisture[4]),
            number(Units::FromEnglish(Quantity::WindSpeed, system, e.midflameWind)),
            number(e.slope),
            number(Units::FromEnglish(Quantity::RateOfSpread, system, o.ros)),
            o.hasFlameLength() ? number(Units::FromEnglish(Quantity::FlameLength, system, o.flameLength)) : QString(),
            number(o.weight)};
}

QByteArray PastedObservationText(const QString &text, Units::System system, const QStringList &extraColumns)
{
    const QString first = text.section(QLatin1Char('\n'), 0, 0).toLower();
    if (first.contains(QLatin1String("ros")) && first.contains(QLatin1String("moist")))
        return text.toUtf8();
    const QChar separator =
        first.contains(QLatin1Char('\t')) || !first.contains(QLatin1Char(',')) ? QLatin1Char('\t') : QLatin1Char(',');
    return (ObservationReaderHeader(system, extraColumns).join(separator) + QLatin1Char('\n')).toUtf8() + text.toUtf8();
}
