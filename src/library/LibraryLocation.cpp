#include "library/LibraryLocation.h"

#include "library/LibraryFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString g_testFolder;

QString fileIn(const QString &folder)
{
    return folder + QLatin1Char('/') + QLatin1String(kLibraryFileName);
}
} // namespace

QString SharedLibraryPath(const QString &programFolder)
{
    return QDir::cleanPath(programFolder + QStringLiteral("/../share/varrow/") + QLatin1String(kLibraryFileName));
}

QString ResolveLibraryFilePath(const QString &programFolder, bool programFolderWritable, const QString &dataFolder,
                               QString *error, const QString &sharedLibrary)
{
    if (programFolderWritable)
        return fileIn(programFolder);
    const QString path = fileIn(dataFolder);
    if (QFileInfo::exists(path))
        return path;
    if (!QDir().mkpath(dataFolder)) {
        if (error)
            *error = QStringLiteral("The folder \"%1\" for the library file cannot be created.").arg(dataFolder);
        return {};
    }
    QFile seed(fileIn(programFolder));
    if (!seed.exists() && !sharedLibrary.isEmpty())
        seed.setFileName(sharedLibrary);
    if (seed.exists()) {
        if (!seed.open(QIODevice::ReadOnly)) {
            if (error)
                *error = QStringLiteral("The library file \"%1\" cannot be opened: %2").arg(seed.fileName(), seed.errorString());
            return {};
        }
        const QByteArray bytes = seed.readAll();
        if (seed.error() != QFileDevice::NoError) {
            if (error)
                *error = QStringLiteral("The library file \"%1\" cannot be read: %2").arg(seed.fileName(), seed.errorString());
            return {};
        }
        if (!WriteLibraryBytes(path, bytes, error))
            return {};
    }
    return path;
}

QString LibraryFilePath()
{
    if (!g_testFolder.isEmpty())
        return fileIn(g_testFolder);
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QFileInfo folder(programFolder);
    const QFileInfo file(fileIn(programFolder));
    const QString shared = SharedLibraryPath(programFolder);
    const bool installed = QFileInfo::exists(shared);
    const bool writable = !installed && folder.isDir() && folder.isWritable() && (!file.exists() || file.isWritable());
    QString error;
    const QString path = ResolveLibraryFilePath(programFolder, writable,
                                                QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
                                                &error, shared);
    // With no data folder to fall back on, the program folder is still the best place to
    // report the failure against: reading and writing it give the reason.
    return path.isEmpty() ? fileIn(programFolder) : path;
}

void SetLibraryFolderForTesting(const QString &folder)
{
    g_testFolder = folder;
}
