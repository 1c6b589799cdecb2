#include "library/DefaultLibrary.h"

#include "library/LibraryFile.h"

#include <QFile>

// The resource lives in a static library: registering it by name keeps the linker from
// dropping it.
static void initDefaultLibraryResource()
{
    Q_INIT_RESOURCE(DefaultLibrary);
}

QByteArray DefaultLibraryBytes()
{
    initDefaultLibraryResource();
    QFile file(QStringLiteral(":/library/OrlaFuelModels.FFM"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool WriteDefaultLibrary(const QString &path, QString *error)
{
    const QByteArray bytes = DefaultLibraryBytes();
    if (bytes.isEmpty()) {
        if (error)
            *error = QStringLiteral("The default library is missing from the program.");
        return false;
    }
    return WriteLibraryBytes(path, bytes, error);
}
