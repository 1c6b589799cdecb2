#include "manager/DefaultSet.h"

#include <QSettings>

namespace {

const QString kOrganization = QStringLiteral("Quillon");
const QString kKey = QStringLiteral("General/LF Fuelmodel Set");

} // namespace

QString ReadDefaultSetName()
{
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganization, kOrganization);
    return settings.value(kKey, QStringLiteral("Orla Master")).toString();
}

void WriteDefaultSetName(const QString &name)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganization, kOrganization);
    settings.setValue(kKey, name);
    settings.sync();
}
