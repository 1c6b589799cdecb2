#include "units/UnitSetting.h"

#include "data/ProgramSettings.h"

namespace Units {

namespace {

const QString kKey = QStringLiteral("Display/Units");

System storedSystem()
{
    const QSettings settings = ProgramSettings();
    System s = System::English;
    if (!ParseSystemName(settings.value(kKey).toString(), &s))
        s = System::English;
    return s;
}

} // namespace

QString SettingsOrganization()
{
    return QStringLiteral("Varrow");
}

UnitSetting &UnitSetting::instance()
{
    static UnitSetting setting;
    return setting;
}

UnitSetting::UnitSetting() : m_system(storedSystem()) { }

void UnitSetting::setSystem(System s)
{
    {
        QSettings settings = ProgramSettings();
        settings.setValue(kKey, SystemName(s));
        settings.sync();
    }
    if (s == m_system)
        return;
    m_system = s;
    emit changed(s);
}

void UnitSetting::reload()
{
    const System s = storedSystem();
    if (s == m_system)
        return;
    m_system = s;
    emit changed(s);
}

} // namespace Units
