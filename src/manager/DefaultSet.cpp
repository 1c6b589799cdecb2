#include "manager/DefaultSet.h"

#include <QDir>
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

bool WriteDefaultSetName(const QString &name, QString *error)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganization, kOrganization);
    settings.setValue(kKey, name);
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    if (error) {
        const QString file = QDir::toNativeSeparators(settings.fileName());
        *error = settings.status() == QSettings::AccessError
            ? QStringLiteral("The settings file \"%1\" cannot be written.").arg(file)
            : QStringLiteral("The settings file \"%1\" is not in a form that can be read, so it is not "
                             "written over.")
                  .arg(file);
        *error += QStringLiteral("\rLarkfield keeps the default set it had before.");
    }
    return false;
}
