#include "analysis/CurveTable.h"


QStringList CurveColumnTitles(SweepInput input)
{
    const SweepInputInfo &info = SweepInputInfoOf(input);
    return {QStringLiteral("Set"),
            QStringLiteral("ID"),
            TitleWithUnit(QString::fromUtf8(info.title), QString::fromUtf8(info.unit)),
            QStringLiteral("Rate of spread (ch/h)"),
            QStringLiteral("Flame length (ft)"),
            QStringLiteral("Fireline intensity (btu/ft/s)"),
            QStringLiteral("Size after 1 hour (ac)"),
            QStringLiteral("Heat per unit area (btu/ft2)"),
            QStringLiteral("Effective wind (mi/h)"),
            QStringLiteral("Wind limit"),
            QStringLiteral("Error")};
}

std::string CurveCsvHeader(SweepInput input)
{
    QStringList fields;
    for (const QString &t : CurveColumnTitles(input))
        fields << CsvField(t);
    return fields.join(u',').toStdString() + '\n';
}

namespace {

void appendField(std::string &out, const QString &text)
{
    out += CsvField(text).toStdString();
}

} // namespace

void AppendCurveCsvRows(std::string &out, const QString &setName, const QString &modelId,
                        const std::vector<SweepPoint> &points)
{
    std::string prefix;
    appendField(prefix, setName);
    prefix += ',';
    appendField(prefix, modelId);
    prefix += ',';
    for (const SweepPoint &p : points) {
        out += prefix;
        AppendTableNumber(out, p.x, kCurveDecimals);
        if (p.computed) {
            for (double v : {p.rateOfSpread, p.flameLength, p.fireLineIntensity, p.size, p.heatPerUnitArea,
                             p.effectiveWind}) {
                out += ',';
                AppendTableNumber(out, v, kCurveDecimals);
            }
            out += p.windLimit ? ",yes,\n" : ",no,\n";
        } else {
            out += ",,,,,,,,cannot compute\n";
        }
    }
}

CsvTable CurvesTable(const std::vector<ModelCurve> &curves, SweepInput input)
{
    CsvTable t;
    t.header = CurveColumnTitles(input);
    for (const ModelCurve &c : curves) {
        for (const SweepPoint &p : c.points) {
            QStringList row{c.setName, c.modelId, TableNumber(p.x, kCurveDecimals)};
            if (p.computed) {
                for (double v : {p.rateOfSpread, p.flameLength, p.fireLineIntensity, p.size, p.heatPerUnitArea,
                                 p.effectiveWind})
                    row << TableNumber(v, kCurveDecimals);
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
