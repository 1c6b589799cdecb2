#pragma once

#include <QString>

// The fuel model set the companion application Larkfield uses by default, kept in the
// per-user settings of "Quillon" (group "General", key "LF Fuelmodel Set"), where Larkfield
// reads it. "Orla Master" when nothing is stored.
QString ReadDefaultSetName();
// Stores the name; false, with the reason for the user in *error (when given), when the
// settings cannot be written.
bool WriteDefaultSetName(const QString &name, QString *error = nullptr);
