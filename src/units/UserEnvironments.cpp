#include "units/UserEnvironments.h"

#include "data/ProgramSettings.h"
#include "units/MoistureScenarios.h"
#include "units/UnitSetting.h"

namespace Units {

namespace {

const QString kArray = QStringLiteral("Environments");

QSettings openSettings()
{
    return ProgramSettings();
}

qsizetype indexOf(const QList<UserEnvironment> &all, QStringView name)
{
    const QStringView wanted = name.trimmed();
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (wanted.compare(QStringView(all[i].name).trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace

QList<UserEnvironment> ReadUserEnvironments()
{
    QSettings settings = openSettings();
    QList<UserEnvironment> all;
    const int n = settings.beginReadArray(kArray);
    for (int i = 0; i < n; ++i) {
        settings.setArrayIndex(i);
        UserEnvironment e;
        e.name = settings.value(QStringLiteral("name")).toString();
        e.oneHour = settings.value(QStringLiteral("moisture1Hour")).toDouble();
        e.tenHour = settings.value(QStringLiteral("moisture10Hour")).toDouble();
        e.hundredHour = settings.value(QStringLiteral("moisture100Hour")).toDouble();
        e.herb = settings.value(QStringLiteral("moistureHerb")).toDouble();
        e.woody = settings.value(QStringLiteral("moistureWoody")).toDouble();
        e.windSpeed = settings.value(QStringLiteral("windSpeed20ft")).toDouble();
        e.windAdjustment = settings.value(QStringLiteral("windAdjustment")).toDouble();
        e.slope = settings.value(QStringLiteral("slope")).toDouble();
        if (IsValidUserEnvironmentName(e.name) && indexOf(all, e.name) < 0)
            all.append(e);
    }
    settings.endArray();
    return all;
}

void WriteUserEnvironments(const QList<UserEnvironment> &all)
{
    QSettings settings = openSettings();
    settings.remove(kArray);
    settings.beginWriteArray(kArray, int(all.size()));
    for (int i = 0; i < int(all.size()); ++i) {
        const UserEnvironment &e = all[i];
        settings.setArrayIndex(i);
        settings.setValue(QStringLiteral("name"), e.name.trimmed());
        settings.setValue(QStringLiteral("moisture1Hour"), e.oneHour);
        settings.setValue(QStringLiteral("moisture10Hour"), e.tenHour);
        settings.setValue(QStringLiteral("moisture100Hour"), e.hundredHour);
        settings.setValue(QStringLiteral("moistureHerb"), e.herb);
        settings.setValue(QStringLiteral("moistureWoody"), e.woody);
        settings.setValue(QStringLiteral("windSpeed20ft"), e.windSpeed);
        settings.setValue(QStringLiteral("windAdjustment"), e.windAdjustment);
        settings.setValue(QStringLiteral("slope"), e.slope);
    }
    settings.endArray();
    settings.sync();
}

std::optional<UserEnvironment> FindUserEnvironment(QStringView name)
{
    const QList<UserEnvironment> all = ReadUserEnvironments();
    const qsizetype i = indexOf(all, name);
    if (i < 0)
        return std::nullopt;
    return all[i];
}

bool SaveUserEnvironment(const UserEnvironment &environment)
{
    if (!IsValidUserEnvironmentName(environment.name))
        return false;
    QList<UserEnvironment> all = ReadUserEnvironments();
    UserEnvironment e = environment;
    e.name = e.name.trimmed();
    const qsizetype i = indexOf(all, e.name);
    if (i < 0)
        all.append(e);
    else
        all[i] = e;
    WriteUserEnvironments(all);
    return true;
}

bool RemoveUserEnvironment(QStringView name)
{
    QList<UserEnvironment> all = ReadUserEnvironments();
    const qsizetype i = indexOf(all, name);
    if (i < 0)
        return false;
    all.removeAt(i);
    WriteUserEnvironments(all);
    return true;
}

bool IsValidUserEnvironmentName(QStringView name)
{
    // "Custom" is the list's own first entry (the entries as typed): a second one would be
    // told from it by nothing.
    const QStringView trimmed = name.trimmed();
    return !trimmed.isEmpty() && trimmed.compare(kCustomEnvironmentName, Qt::CaseInsensitive) != 0 &&
        FindMoistureScenario(name) == nullptr;
}

} // namespace Units
