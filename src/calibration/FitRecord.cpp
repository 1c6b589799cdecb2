#include "calibration/FitRecord.h"

#include "data/FuelParameters.h"

#include <QCryptographicHash>

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
    case ObjectiveKind::LogRatio: name = QStringLiteral("log"); break;
    case ObjectiveKind::Rmse: name = QStringLiteral("rmse"); break;
    case ObjectiveKind::Mape: name = QStringLiteral("mape"); break;
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

} // namespace

FitRecord MakeFitRecord(const CalibrationSetup &setup, const CalibrationResult &result, const Observations &observations,
                        const QStringList &extraColumns, const QString &observationsFile, const QByteArray &fileBytes,
                        Units::System units)
{
    FitRecord r;
    const QString fitted = ObservationsToCsv(observations, extraColumns, Units::System::English);
    if (!observationsFile.isEmpty()) {
        // The file names the fires only when it still holds exactly these.
        const ObservationImport read = ReadObservations(fileBytes, units);
        if (read.ok() && ObservationsToCsv(read.observations, read.extraColumns, Units::System::English) == fitted) {
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
