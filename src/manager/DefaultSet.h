#pragma once

#include <QString>

// The fuel model set the companion application Larkfield uses by default, kept in the
// per-user settings of "Quillon" (group "General", key "LF Fuelmodel Set"), where Larkfield
// reads it. "Orla Master" when nothing is stored.
QString ReadDefaultSetName();
void WriteDefaultSetName(const QString &name);
