#include "calibration/CalibrationReport.h"

#include "data/ProgramSettings.h"
#include "units/UnitSetting.h"
#include "units/Units.h"

#include <QSettings>

namespace {

using Units::Quantity;

QString Name(const FuelParameterInfo *p)
{
    return QString::fromUtf8(p->shortName.data(), qsizetype(p->shortName.size()));
}

QString Value(const FuelParameterInfo *p, Units::System units, double english)
{
    return QString::number(Units::FromEnglish(p->quantity, units, english), 'g', 5);
}

QString Stats(const AgreementStats &s, Units::System units, const QString &rosUnit,
              Quantity quantity = Quantity::RateOfSpread)
{
    if (s.count == 0)
        return QStringLiteral("-");
    return QStringLiteral("RMSE %1 %2, bias %3 %2, MAPE %4 %, within +/-35 %: %5 %")
        .arg(QString::number(Units::FromEnglish(quantity, units, s.rmse), 'f', 2), rosUnit,
             QString::number(Units::FromEnglish(quantity, units, s.bias), 'f', 2), QString::number(s.mape, 'f', 1),
             QString::number(100 * s.within35, 'f', 0));
}

QSettings OpenSettings()
{
    return ProgramSettings();
}

const QString kRecentKey = QStringLiteral("Calibration/RecentObservationFiles");

} // namespace

QString CalibrationReportText(const CalibrationSetup &setup, const CalibrationResult &r,
                              const Observations &observations, Units::System units)
{
    QStringList out;
    if (!r.problem.isEmpty())
        return QStringLiteral("Not fitted: %1.\n").arg(r.problem);
    if (r.cancelled)
        return QStringLiteral("The fit was cancelled.\n");
    const QString rosUnit = Units::UnitLabel(Quantity::RateOfSpread, units);
    for (const QString &m : r.messages)
        out << QStringLiteral("! ") + m;
    if (!r.messages.isEmpty())
        out << QString();

    out << QStringLiteral("Fitted values (start; bounds):");
    for (size_t i = 0; i < setup.free.size(); ++i) {
        const FreeParameter &f = setup.free[i];
        QString flag;
        for (const ParameterAtBound &b : r.atBound)
            if (b.parameter == f.parameter)
                flag = b.high ? QStringLiteral("  AT UPPER BOUND") : QStringLiteral("  AT LOWER BOUND");
        out << QStringLiteral("  %1 = %2 %3 (%4; %5 to %6)%7")
                   .arg(Name(f.parameter), Value(f.parameter, units, r.after.values[i]),
                        Units::UnitLabel(f.parameter->quantity, units), Value(f.parameter, units, r.before.values[i]),
                        Value(f.parameter, units, f.low), Value(f.parameter, units, f.high), flag);
    }
    if (setup.tieLoads)
        out << QStringLiteral("  (the free loads moved together, their ratios kept)");
    out << QString();
    out << QStringLiteral("Objective: %1 before, %2 after")
               .arg(QString::number(r.before.objective, 'g', 4), QString::number(r.after.objective, 'g', 4));
    out << QStringLiteral("Rate of spread before: %1").arg(Stats(r.before.ros, units, rosUnit));
    out << QStringLiteral("Rate of spread after:  %1").arg(Stats(r.after.ros, units, rosUnit));
    if (r.hasStandard)
        out << QStringLiteral("Best standard model %1 %2 (objective %3): %4")
                   .arg(r.bestStandard.candidate.setName, r.bestStandard.candidate.model->FuelModelID(),
                        QString::number(r.bestStandard.objective, 'g', 4), Stats(r.bestStandard.ros, units, rosUnit));
    if (r.after.flame.count > 0) {
        // Flame length where it was observed, whether or not the objective weighed it.
        const QString flUnit = Units::UnitLabel(Quantity::FlameLength, units);
        out << QStringLiteral("Flame length before: %1")
                   .arg(Stats(r.before.flame, units, flUnit, Quantity::FlameLength));
        out << QStringLiteral("Flame length after:  %1")
                   .arg(Stats(r.after.flame, units, flUnit, Quantity::FlameLength));
        if (r.hasStandard)
            out << QStringLiteral("Best standard model's flame length: %1")
                       .arg(Stats(r.bestStandard.flame, units, flUnit, Quantity::FlameLength));
    }
    if (!r.alternatives.empty()) {
        out << QString();
        out << QStringLiteral("Other optima of similar skill (the data do not tell these apart):");
        for (const FittedModel &a : r.alternatives) {
            QStringList values;
            for (size_t i = 0; i < setup.free.size(); ++i)
                values << QStringLiteral("%1 = %2").arg(Name(setup.free[i].parameter),
                                                        Value(setup.free[i].parameter, units, a.values[i]));
            out << QStringLiteral("  %1 (objective %2)")
                       .arg(values.join(QStringLiteral(", ")), QString::number(a.objective, 'g', 4));
        }
    }
    if (r.cv.folds > 0) {
        out << QString();
        out << QStringLiteral("%1-fold cross-validation (each fold predicted by a fit to the others):").arg(r.cv.folds);
        out << QStringLiteral("  fit: objective %1, %2")
                   .arg(QString::number(r.cv.fitObjective, 'g', 4), Stats(r.cv.fit, units, rosUnit));
        if (r.hasStandard)
            out << QStringLiteral("  best standard model chosen on the same folds: objective %1, %2")
                       .arg(QString::number(r.cv.standardObjective, 'g', 4), Stats(r.cv.standard, units, rosUnit));
    }
    if (!r.warnings.isEmpty()) {
        out << QString();
        out << QStringLiteral("Consistency warnings of the fitted model:");
        for (const QString &w : r.warnings)
            out << QStringLiteral("  ") + w;
    }
    out << QString();
    out << QStringLiteral("Rate of spread of each fire (%1): observed, predicted before, predicted after, residual "
                          "after (predicted less observed)")
               .arg(rosUnit);
    const auto ros = [&](double english) {
        return QString::number(Units::FromEnglish(Quantity::RateOfSpread, units, english), 'f', 2);
    };
    for (qsizetype i = 0; i < observations.size(); ++i) {
        const Observation &o = observations[i];
        const double after = r.after.predictions[size_t(i)].ros;
        out << QStringLiteral("  %1  %2  %3  %4  %5")
                   .arg(o.id.isEmpty() ? QStringLiteral("#%1").arg(i + 1) : o.id, ros(o.ros),
                        ros(r.before.predictions[size_t(i)].ros), ros(after), ros(after - o.ros));
    }
    out << QStringLiteral("%1 evaluations in %2 s; seed %3 and %4 starts (the same seed, setup and fires repeat this "
                          "fit exactly)")
               .arg(r.evaluations)
               .arg(QString::number(r.seconds, 'f', 2))
               .arg(setup.seed)
               .arg(setup.starts);
    return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QStringList RecentObservationFiles()
{
    return OpenSettings().value(kRecentKey).toStringList();
}

void RememberObservationFile(const QString &path)
{
    QSettings settings = OpenSettings();
    QStringList files = settings.value(kRecentKey).toStringList();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > kRecentObservationFiles)
        files.removeLast();
    settings.setValue(kRecentKey, files);
}
