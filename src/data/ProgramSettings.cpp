#include "data/ProgramSettings.h"

#include <QFile>
#include <QStringList>

#include <mutex>

namespace {

const QString kName = QStringLiteral("Varrow");
// Where QSettings puts a program that names no organization.
const QString kStrayOrganization = QStringLiteral("Unknown Organization");

QSettings open()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, kName, kName);
}

} // namespace

int MoveStraySettings()
{
    QSettings stray(QSettings::NativeFormat, QSettings::UserScope, kStrayOrganization, kName);
    const QStringList keys = stray.allKeys();
    if (keys.isEmpty())
        return 0;
    QSettings settings = open();
    int moved = 0;
    for (const QString &key : keys) {
        if (!settings.contains(key)) {
            settings.setValue(key, stray.value(key));
            ++moved;
        }
    }
    settings.sync();
    // Only once everything is safely in the program's file is the stray copy emptied.
    if (settings.status() != QSettings::NoError)
        return 0;
    stray.clear();
    stray.sync();
    const QString strayFile = stray.fileName();
    if (stray.status() == QSettings::NoError && QFile::exists(strayFile) && QFile(strayFile).size() == 0)
        QFile::remove(strayFile);
    return moved;
}

QSettings ProgramSettings()
{
    static std::once_flag moved;
    std::call_once(moved, [] { MoveStraySettings(); });
    return open();
}

QString ProgramSettingsFile()
{
    return open().fileName();
}
