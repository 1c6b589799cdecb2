#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// Named test environments of the user's own, saved from the editor's Environment and chosen
// again later (also by fmtool table --scenario NAME). Kept in the per-user settings (see
// UnitSetting.h), never in the library file. Values in English units: moistures in percent,
// the 20-ft wind in mi/h, slope in percent; the wind adjustment factor as a fraction.
namespace Units {

struct UserEnvironment
{
    QString name;
    double oneHour = 0;
    double tenHour = 0;
    double hundredHour = 0;
    double herb = 0;
    double woody = 0;
    double windSpeed = 0;      // 20-ft wind, mi/h
    double windAdjustment = 0; // 0 to 1
    double slope = 0;          // percent
};

// In the order they were first saved.
QList<UserEnvironment> ReadUserEnvironments();
void WriteUserEnvironments(const QList<UserEnvironment> &all);

// Found without regard to case or surrounding blanks.
std::optional<UserEnvironment> FindUserEnvironment(QStringView name);
// Replaces the environment of the same name (keeping its place) or appends it. False (and
// nothing stored) for an empty name or the name of a standard moisture scenario.
bool SaveUserEnvironment(const UserEnvironment &environment);
// False when there is none of that name.
bool RemoveUserEnvironment(QStringView name);

// The first entry of the editor's environment list: the entries as they are typed.
inline const QString kCustomEnvironmentName = QStringLiteral("Custom");

// Whether a name can be given to a user environment: not empty after trimming, not "Custom"
// (in any letter case) and not one of the standard moisture scenarios.
bool IsValidUserEnvironmentName(QStringView name);

} // namespace Units
