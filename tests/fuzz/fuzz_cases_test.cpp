// Replays every library file the fuzz target was seeded with or found a fault in (and the
// shipped default library) through the same round trip check, so that a fault once found stays
// mended in every build, with or without the fuzzer.
#include "LibraryRoundTrip.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QStringList casesIn(const QString &folder)
{
    QStringList paths;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name))
        if (!name.startsWith(QLatin1Char('.')) && name != QLatin1String("README"))
            paths << dir.filePath(name);
    return paths;
}

TEST(FuzzCases, EveryKeptCaseSurvivesTheRoundTrip)
{
    QStringList paths =
        casesIn(QStringLiteral(VARROW_FUZZ_DIR "/seeds")) + casesIn(QStringLiteral(VARROW_FUZZ_DIR "/cases"));
    paths << QStringLiteral(VARROW_DEFAULT_LIBRARY);
    // The five seeds and the default library at least: a wrong folder must not pass as "no cases".
    ASSERT_GE(paths.size(), 6) << paths.join(QLatin1Char(' ')).toStdString();
    for (const QString &path : paths) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QByteArray bytes = file.readAll();
        EXPECT_EQ(LibraryRoundTripFault(bytes).toStdString(), "") << path.toStdString();
    }
}

} // namespace
