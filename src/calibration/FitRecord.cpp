#include "calibration/FitRecord.h"

#include "data/FuelParameters.h"

#include <QCryptographicHash>

#include <algorithm>
#include <cmath>

namespace {

QString sha256(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QString objectiveName(const ObjectiveOptions &o)
{
    QString name;
    switch (o.kind) {
    case ObjectiveKind::LogRatio:
        name = QStringLiteral("log");
        break;
    case ObjectiveKind::Rmse:
        name = QStringLiteral("rmse");
        break;
    case ObjectiveKind::Mape:
        name = QStringLiteral("mape");
        break;
    }
    if (o.flameWeight > 0)
        name += QStringLiteral(", flame length weight %1").arg(o.flameWeight);
    return name;
}

QList<QPair<QString, double>> statistics(const FittedModel &m)
{
    QList<QPair<QString, double>> out;
    const auto add = [&out](const QString &name, double v) {
        if (std::isfinite(v))
            out.append({name, v});
    };
    add(QStringLiteral("objective"), m.objective);
    const std::pair<const char *, const AgreementStats *> groups[] = {{"ros", &m.ros}, {"flame", &m.flame}};
    for (const auto &[prefix, s] : groups) {
        if (s->count == 0)
            continue;
        const QString p = QLatin1String(prefix);
        add(p + QStringLiteral("-rmse"), s->rmse);
        add(p + QStringLiteral("-bias"), s->bias);
        add(p + QStringLiteral("-mape"), s->mape);
        add(p + QStringLiteral("-within-35"), s->within35);
    }
    return out;
}

// The window's table shows each value to ten significant digits: a fire read from a file and
// shown there is the file's to that precision.
bool close(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    return std::fabs(a - b) <= 1e-9 * std::max(std::fabs(a), std::fabs(b));
}

bool sameFires(const Observations &a, const Observations &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const Observation &x = a[i];
        const Observation &y = b[i];
        bool same = x.id == y.id && close(x.ros, y.ros) && close(x.flameLength, y.flameLength) &&
            close(x.weight, y.weight) && close(x.environment.midflameWind, y.environment.midflameWind) &&
            close(x.environment.slope, y.environment.slope);
        for (size_t k = 0; k < x.environment.moisture.size(); ++k)
            same = same && close(x.environment.moisture[k], y.environment.moisture[k]);
        if (!same)
            return false;
    }
    return true;
}

} // namespace

FitRecord MakeFitRecord(const CalibrationSetup &setup, const CalibrationResult &result,
                        const Observations &observations, const QStringList &extraColumns,
                        const QString &observationsFile, const QByteArray &fileBytes, Units::System units)
{
    FitRecord r;
    const QString fitted = ObservationsToCsv(observations, extraColumns, Units::System::English);
    if (!observationsFile.isEmpty()) {
        // The file names the fires only when it still holds exactly these.
        const ObservationImport read = ReadObservations(fileBytes, units);
        if (read.ok() && sameFires(read.observations, observations)) {
            r.observationsFile = observationsFile;
            r.observationsSha256 = sha256(fileBytes);
        }
    }
    if (r.observationsFile.isEmpty())
        r.observationsSha256 = sha256(fitted.toUtf8());
    r.fires = int(observations.size());
    r.objective = objectiveName(setup.objective);
    for (const FreeParameter &f : setup.free)
        r.freeParameters << QString::fromUtf8(f.parameter->shortName.data(), qsizetype(f.parameter->shortName.size()));
    r.tiedLoads = setup.tieLoads;
    r.before = statistics(result.before);
    r.after = statistics(result.after);
    return r;
}
