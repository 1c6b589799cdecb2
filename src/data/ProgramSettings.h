#pragma once

#include <QSettings>
#include <QString>

// The program's settings: one file, organization and application "Varrow" (on Linux
// ~/.config/Varrow/Varrow.conf). Every setting of the program goes through here: the units, the
// user's environments, window places, the numbers chosen at export, ... The companion
// application's default set is the one setting kept elsewhere, in that application's own file.
//
// The first call of a run also moves over, once, what an earlier version wrote to Qt's default
// file for a program without an organization ("Unknown Organization/Varrow"), keeping a value
// already in the program's file.
QSettings ProgramSettings();

// The file ProgramSettings() reads and writes.
QString ProgramSettingsFile();

// The moving over on its own (ProgramSettings calls it once a run): the number of keys moved.
int MoveStraySettings();
