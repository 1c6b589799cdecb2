#pragma once

#include "units/Units.h"

#include <QObject>

// The unit system the whole program shows: one per-user setting (organisation and application
// "Varrow", key "Display/Units", "english" or "metric"; English when nothing or anything else
// is stored), kept apart from the companion application's default-set setting.
//
// Windows read UnitSetting::instance().system() when they fill themselves and connect to
// changed() to refill at once when the user switches:
//   connect(&Units::UnitSetting::instance(), &Units::UnitSetting::changed, this, &MyWindow::showUnits);
// setSystem() writes the setting and tells every listener; fmtool does not read the setting
// (it takes --units, English by default).
namespace Units {

class UnitSetting : public QObject
{
    Q_OBJECT

public:
    static UnitSetting &instance();

    System system() const { return m_system; }
    // Stores the choice and emits changed() when it differs from the current one.
    void setSystem(System s);
    // Reads the stored choice again (start-up, tests after switching the settings folder);
    // emits changed() when it differs.
    void reload();

signals:
    void changed(Units::System system);

private:
    UnitSetting();
    System m_system = System::English;
};

// The settings store shared by the program's own settings (units, user environments).
QString SettingsOrganization();

} // namespace Units
