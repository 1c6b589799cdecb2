#include "library/LibraryLocation.h"

#include "data/ProgramSettings.h"
#include "library/LibraryFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <optional>

namespace {
QString g_testFolder;
std::optional<LibraryLocation> g_current;

QString fileIn(const QString &folder)
{
    return folder + QLatin1Char('/') + QLatin1String(kLibraryFileName);
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

LibraryLocation failed(const QString &error)
{
    LibraryLocation l;
    l.kind = LibraryLocation::UserCopy;
    l.error = error;
    return l;
}

// Why the data folder rather than the program folder, when the latter was not written.
QString whyDataFolder(const QString &programFolder, bool installed, const QString &cause)
{
    if (installed)
        return QStringLiteral("The program is installed, so each user keeps an own library in the data folder");
    if (!cause.isEmpty())
        return cause + QStringLiteral(", so the library is kept in your data folder");
    return QStringLiteral("The program's folder %1 cannot be written, so the library is kept in your data folder")
        .arg(native(programFolder));
}

// The setting that remembers a program folder's library: one key per folder.
QString settingKey(const QString &programFolder)
{
    const QByteArray folder = QDir::cleanPath(QFileInfo(programFolder).absoluteFilePath()).toUtf8();
    return QStringLiteral("LibraryUsed/") +
        QString::fromLatin1(QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex());
}

QString notWritableSummary(const QString &cause)
{
    return cause.isEmpty() ? QStringLiteral("your own copy: the program's folder cannot be written")
                           : QStringLiteral("your own copy: the library beside the program cannot be "
                                            "written");
}

} // namespace

QString SharedLibraryPath(const QString &programFolder)
{
    return QDir::cleanPath(programFolder + QStringLiteral("/../share/varrow/") + QLatin1String(kLibraryFileName));
}

namespace {

bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo x(a), y(b);
    if (x.exists() && y.exists())
        return x.canonicalFilePath() == y.canonicalFilePath();
    return QDir::cleanPath(x.absoluteFilePath()) == QDir::cleanPath(y.absoluteFilePath());
}

LibraryLocation resolve(const QString &programFolder, bool programFolderWritable, const QString &dataFolder,
                        const QString &sharedLibrary, const QString &notWritableCause, const QString &lastUsed)
{
    const QString besideProgram = fileIn(programFolder);
    const QString path = fileIn(dataFolder);
    const bool installed = !sharedLibrary.isEmpty() && QFileInfo::exists(sharedLibrary);
    LibraryLocation l;
    // A per-user copy that this program folder's copies never used (they used the file beside
    // the program) was made for another program folder: it is not this folder's library.
    const bool copyOfAnotherFolder = programFolderWritable && !lastUsed.isEmpty() && !sameFile(lastUsed, path);

    if (QFileInfo::exists(path) && !copyOfAnotherFolder) {
        l.kind = LibraryLocation::UserCopy;
        l.path = path;
        if (programFolderWritable) {
            l.summary = QStringLiteral("your own copy, kept once made");
            l.reason = QStringLiteral("Your own library in the data folder is used: %1. Once the program works on a "
                                      "copy of its library it keeps using it, so that nothing done in the copy seems "
                                      "lost; the file beside the program, %2, is not used.")
                           .arg(native(path), native(besideProgram));
            const QFileInfo program(besideProgram), copy(path);
            if (program.exists() && program.lastModified() > copy.lastModified())
                l.reason += QStringLiteral(" That file was changed after the copy was last saved.");
        } else {
            l.summary = installed ? QStringLiteral("your own copy: the program is installed")
                                  : notWritableSummary(notWritableCause);
            l.reason =
                whyDataFolder(programFolder, installed, notWritableCause) + QStringLiteral(": %1.").arg(native(path));
        }
        return l;
    }

    if (programFolderWritable) {
        l.path = besideProgram;
        l.summary = QStringLiteral("beside the program");
        l.reason = QStringLiteral("The library file beside the program is used: %1.").arg(native(besideProgram));
        return l;
    }

    if (!QDir().mkpath(dataFolder))
        return failed(
            QStringLiteral("The folder \"%1\" for the library file cannot be created.").arg(native(dataFolder)));
    l.kind = LibraryLocation::UserCopy;
    l.path = path;
    l.summary =
        installed ? QStringLiteral("your own copy: the program is installed") : notWritableSummary(notWritableCause);
    l.reason = whyDataFolder(programFolder, installed, notWritableCause) + QStringLiteral(": %1.").arg(native(path));
    QFile seed(besideProgram);
    if (!seed.exists() && installed)
        seed.setFileName(sharedLibrary);
    if (!seed.exists())
        return l; // the caller makes a new library there
    if (!seed.open(QIODevice::ReadOnly))
        return failed(QStringLiteral("The library file \"%1\" cannot be opened: %2")
                          .arg(native(seed.fileName()), seed.errorString()));
    const QByteArray bytes = seed.readAll();
    if (seed.error() != QFileDevice::NoError)
        return failed(QStringLiteral("The library file \"%1\" cannot be read: %2")
                          .arg(native(seed.fileName()), seed.errorString()));
    QString error;
    if (!WriteLibraryBytes(path, bytes, &error))
        return failed(error);
    l.copiedNow = seed.fileName() == besideProgram;
    l.reason += l.copiedNow
        ? QStringLiteral(" It was copied there now from %1, which is left as it was and is not "
                         "used from now on.")
              .arg(native(besideProgram))
        : QStringLiteral(" It was made now from the installed library %1.").arg(native(sharedLibrary));
    return l;
}

} // namespace

LibraryLocation ResolveLibraryLocation(const QString &programFolder, bool programFolderWritable,
                                       const QString &dataFolder, const QString &sharedLibrary,
                                       const QString &notWritableCause, const QString &lastUsed)
{
    LibraryLocation l =
        resolve(programFolder, programFolderWritable, dataFolder, sharedLibrary, notWritableCause, lastUsed);
    if (l.path.isEmpty())
        return l;
    // Another file than last time is never used without a word: the window asks first.
    if (!lastUsed.isEmpty()) {
        if (!sameFile(lastUsed, l.path) && QFileInfo::exists(lastUsed))
            l.previousPath = QFileInfo(lastUsed).absoluteFilePath();
    } else if (l.kind == LibraryLocation::UserCopy && programFolderWritable && !l.copiedNow &&
               QFileInfo::exists(fileIn(programFolder))) {
        // Nothing remembered (an earlier version ran here): both files may hold the user's work.
        l.previousPath = fileIn(programFolder);
        l.nothingRemembered = true;
    }
    return l;
}

namespace {
QString g_testProgramFolder;
QString g_testDataFolder;
} // namespace

QString ResolveLibraryFilePath(const QString &programFolder, bool programFolderWritable, const QString &dataFolder,
                               QString *error, const QString &sharedLibrary)
{
    const LibraryLocation l = ResolveLibraryLocation(programFolder, programFolderWritable, dataFolder, sharedLibrary);
    if (!l.error.isEmpty() && error)
        *error = l.error;
    return l.path;
}

const LibraryLocation &CurrentLibraryLocation()
{
    if (g_current)
        return *g_current;
    if (!g_testFolder.isEmpty()) {
        LibraryLocation l;
        l.kind = LibraryLocation::TestFolder;
        l.path = fileIn(g_testFolder);
        l.summary = QStringLiteral("the folder given for tests");
        l.reason = QStringLiteral("The library file of the folder given for tests is used: %1.").arg(native(l.path));
        return g_current.emplace(l);
    }
    LibraryLocation l = LibraryLocationFor(CurrentProgramFolder(),
                                           g_testDataFolder.isEmpty()
                                               ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                                               : g_testDataFolder);
    return g_current.emplace(l);
}

QString CurrentProgramFolder()
{
    if (!g_testFolder.isEmpty())
        return {};
    return g_testProgramFolder.isEmpty() ? QCoreApplication::applicationDirPath() : g_testProgramFolder;
}

void KeepPreviousLibrary()
{
    LibraryLocation l = CurrentLibraryLocation();
    if (l.previousPath.isEmpty())
        return;
    const QString chosenInstead = l.path;
    l.path = l.previousPath;
    l.previousPath.clear();
    l.copiedNow = false;
    l.kind =
        sameFile(l.path, fileIn(CurrentProgramFolder())) ? LibraryLocation::ProgramFolder : LibraryLocation::UserCopy;
    l.summary = QStringLiteral("the file you chose at start");
    l.reason = QStringLiteral("The library file you chose at start is used: %1. The other file, %2, is left as "
                              "it is.")
                   .arg(native(l.path), native(chosenInstead));
    g_current = l;
}

QString LastLibraryUsed(const QString &programFolder)
{
    if (programFolder.isEmpty())
        return {};
    QSettings settings = ProgramSettings();
    return settings.value(settingKey(programFolder)).toString();
}

void RememberLibraryUsed(const QString &programFolder, const QString &path)
{
    if (programFolder.isEmpty() || path.isEmpty())
        return;
    QSettings settings = ProgramSettings();
    settings.setValue(settingKey(programFolder), QFileInfo(path).absoluteFilePath());
}

QString DescribeLibraryFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("does not exist yet (a new library with the standard fuel models)");
    const double kb = double(info.size()) / 1024.0;
    QString text =
        QStringLiteral("%1 KB, changed %2")
            .arg(QString::number(kb, 'f', 1), info.lastModified().toString(QStringLiteral("yyyy-MM-dd hh:mm")));
    QByteArray bytes;
    QString why;
    if (!ReadBoundedFile(path, kLargestLibraryFile, &bytes, &why))
        return text + QStringLiteral(", cannot be read: it %1").arg(why);
    const LibraryReadResult read = ReadLibrary(bytes);
    int sets = 0, models = 0;
    if (read.sets)
        for (const auto &set : *read.sets) {
            ++sets;
            models += int(set->FuelModels()->Count());
        }
    text += QStringLiteral(", %1 %2, %3 %4")
                .arg(sets)
                .arg(QLatin1String(sets == 1 ? "set" : "sets"))
                .arg(models)
                .arg(QLatin1String(models == 1 ? "model" : "models"));
    if (!read.ok)
        text += QStringLiteral(" (read up to a problem: %1)").arg(read.problem.message);
    return text;
}

LibraryLocation LibraryLocationFor(const QString &programFolder, const QString &dataFolder)
{
    const QFileInfo folder(programFolder);
    const QFileInfo file(fileIn(programFolder));
    const QString shared = SharedLibraryPath(programFolder);
    const bool installed = QFileInfo::exists(shared);
    const bool folderWritable = folder.isDir() && folder.isWritable();
    const bool writable = !installed && folderWritable && (!file.exists() || file.isWritable());
    // A folder that can be written holding a library file that cannot: the file is the cause.
    const QString cause = folderWritable && file.exists() && !file.isWritable()
        ? QStringLiteral("The library file %1 beside the program is read-only").arg(native(file.absoluteFilePath()))
        : QString();
    LibraryLocation l =
        ResolveLibraryLocation(programFolder, writable, dataFolder, shared, cause, LastLibraryUsed(programFolder));
    if (l.path.isEmpty()) {
        // With no data folder to fall back on, the program folder is still the best place to
        // report the failure against: reading and writing it give the reason.
        l.kind = LibraryLocation::ProgramFolder;
        l.path = fileIn(programFolder);
        l.summary = QStringLiteral("beside the program, although its folder cannot be written");
        l.reason = l.error +
            QStringLiteral(" The library file beside the program is used instead: %1; changes "
                           "cannot be saved while its folder cannot be written.")
                .arg(native(l.path));
    }
    return l;
}

QString LibraryFilePath()
{
    return CurrentLibraryLocation().path;
}

void SetLibraryFolderForTesting(const QString &folder)
{
    g_testFolder = folder;
    g_current.reset();
}

void SetLibraryPlacesForTesting(const QString &programFolder, const QString &dataFolder)
{
    g_testFolder.clear();
    g_testProgramFolder = programFolder;
    g_testDataFolder = dataFolder;
    g_current.reset();
}
