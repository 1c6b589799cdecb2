#include "analysis/CurveTable.h"

namespace {

using Units::Quantity;

// The result columns in their order, with what they measure.
struct ResultColumn
{
    const char *title;
    Quantity quantity;
    double SweepPoint::*value;
};

const ResultColumn kColumns[] = {
    {"Rate of spread", Quantity::RateOfSpread, &SweepPoint::rateOfSpread},
    {"Flame length", Quantity::FlameLength, &SweepPoint::flameLength},
    {"Fireline intensity", Quantity::FirelineIntensity, &SweepPoint::fireLineIntensity},
    {"Size after 1 hour", Quantity::FireSize, &SweepPoint::size},
    {"Heat per unit area", Quantity::HeatPerUnitArea, &SweepPoint::heatPerUnitArea},
    {"Effective wind", Quantity::WindSpeed, &SweepPoint::effectiveWind},
};

// The English value a column shows in the system: the rate of spread in metric from its
// unrounded value, so that it is rounded once, in the unit shown.
double shownValue(const SweepPoint &p, const ResultColumn &c, Units::System system)
{
    if (c.value == &SweepPoint::rateOfSpread && system != Units::System::English)
        return p.unroundedRateOfSpread;
    return p.*c.value;
}

void appendField(std::string &out, const QString &text)
{
    out += CsvField(text).toStdString();
}

} // namespace

QStringList CurveColumnTitles(SweepInput input, Units::System system)
{
    const SweepInputInfo &info = SweepInputInfoOf(input);
    QStringList titles{QStringLiteral("Set"), QStringLiteral("ID"),
                       Units::WithUnit(QString::fromUtf8(info.title), info.quantity, system)};
    for (const ResultColumn &c : kColumns)
        titles << Units::WithUnit(QString::fromUtf8(c.title), c.quantity, system);
    titles << QStringLiteral("Wind limit") << QStringLiteral("Error");
    return titles;
}

std::string CurveCsvHeader(SweepInput input, Units::System system)
{
    QStringList fields;
    for (const QString &t : CurveColumnTitles(input, system))
        fields << CsvField(t);
    return fields.join(u',').toStdString() + '\n';
}

void AppendCurveCsvRows(std::string &out, const QString &setName, const QString &modelId,
                        const std::vector<SweepPoint> &points, SweepInput input, Units::System system)
{
    const Quantity xQuantity = SweepInputInfoOf(input).quantity;
    std::string prefix;
    appendField(prefix, setName);
    prefix += ',';
    appendField(prefix, modelId);
    prefix += ',';
    const bool english = system == Units::System::English;
    for (const SweepPoint &p : points) {
        out += prefix;
        AppendTableNumber(out, english ? p.x : Units::FromEnglish(xQuantity, system, p.x), kCurveDecimals);
        if (p.computed) {
            for (const ResultColumn &c : kColumns) {
                out += ',';
                const double v = shownValue(p, c, system);
                AppendTableNumber(out, english ? v : Units::FromEnglish(c.quantity, system, v), kCurveDecimals);
            }
            out += p.windLimit ? ",yes,\n" : ",no,\n";
        } else {
            out += ",,,,,,,,cannot compute\n";
        }
    }
}

CsvTable CurvesTable(const std::vector<ModelCurve> &curves, SweepInput input, Units::System system)
{
    CsvTable t;
    t.header = CurveColumnTitles(input, system);
    const Quantity xQuantity = SweepInputInfoOf(input).quantity;
    for (const ModelCurve &c : curves) {
        for (const SweepPoint &p : c.points) {
            QStringList row{c.setName, c.modelId,
                            TableNumber(Units::FromEnglish(xQuantity, system, p.x), kCurveDecimals)};
            if (p.computed) {
                for (const ResultColumn &col : kColumns)
                    row << TableNumber(Units::FromEnglish(col.quantity, system, shownValue(p, col, system)),
                                       kCurveDecimals);
                row << (p.windLimit ? QStringLiteral("yes") : QStringLiteral("no")) << QString();
            } else {
                row << QString() << QString() << QString() << QString() << QString() << QString() << QString()
                    << QStringLiteral("cannot compute");
            }
            t.rows << row;
        }
    }
    return t;
}
