#include "support/CrashSupport.h"
#include "support/LibraryFileSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace libraryfiletest;
using StoreCrash = LibraryFileTest;

QStringList temporaryFiles(const QString &folder)
{
    return QDir(folder).entryList({"*.saving-*"}, QDir::Files | QDir::Hidden);
}

// The program's own library writes (the store's save after an edit action, with its backup and
// its check for changes from outside) killed with SIGKILL at seeded random moments between and
// during actions: after every kill the file reads cleanly and holds every action reported as
// saved and at most the one being saved, whole, in order; each start clears what the killed
// run left, and the library's temporary files are all gone after a last clean start.
TEST_F(StoreCrash, AKilledProgramLosesAtMostTheActionItWasSavingAndLeavesNoTemporaryFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("OrlaFuelModels.FFM");
    ASSERT_TRUE(putFile(path, SerializeLibrary(crashtest::generationLibrary(0), nullptr)));
    QStringList expected;
    for (int s = 1; s <= crashtest::kSets; ++s)
        expected << QStringLiteral("Set %1 of generation 0").arg(s);

    constexpr int kRounds = 30;
    std::mt19937 random(915);
    int killedMidway = 0;
    QStringList leftBehind;
    for (int round = 0; round < kRounds; ++round) {
        bool clearedAtStart = true;
        const crashtest::Round r =
            crashtest::runAndKill(STORE_CRASH_WRITER, {dir.path(), QString::number(round)}, random, 60, [&] {
                for (const QString &name : leftBehind)
                    clearedAtStart = clearedAtStart && !QFileInfo::exists(dir.filePath(name));
            });
        ASSERT_GE(r.completed, 0) << "round " << round << ": " << r.errors.toStdString();
        ASSERT_TRUE(r.killed) << "round " << round << ": " << r.errors.toStdString();
        EXPECT_TRUE(clearedAtStart) << "round " << round << " started with " << leftBehind.join(' ').toStdString();

        tree.Clear();
        const LibraryReadResult back = ReadLibrary(fileBytes(path), tree);
        ASSERT_TRUE(back.ok) << "round " << round << ": " << back.problem.toString().toStdString();
        QStringList names;
        for (int i = 1; i <= back.sets->Count(); ++i)
            names << back.sets->Item(i)->Name();
        for (int a = 1; a <= r.completed; ++a)
            expected << QStringLiteral("Round %1 action %2").arg(round).arg(a);
        if (names.size() == expected.size() + 1)
            expected << QStringLiteral("Round %1 action %2").arg(round).arg(r.completed + 1);
        ASSERT_EQ(names, expected) << "round " << round << ", " << r.completed << " actions reported saved";
        for (int s = 1; s <= crashtest::kSets; ++s)
            ASSERT_EQ(back.sets->Item(s)->FuelModels()->Count(), crashtest::kModelsPerSet);

        leftBehind = temporaryFiles(dir.path());
        killedMidway += leftBehind.isEmpty() ? 0 : 1;
    }
    std::printf("%d of %d runs were killed in the middle of a write; %lld actions saved\n", killedMidway, kRounds,
                static_cast<long long>(expected.size() - crashtest::kSets));

    // A last start that changes nothing clears what the last run left.
    QProcess last;
    last.start(STORE_CRASH_WRITER, {dir.path(), "last", "0"});
    ASSERT_TRUE(last.waitForFinished(10000));
    EXPECT_EQ(last.exitCode(), 0) << last.readAllStandardError().toStdString();
    EXPECT_EQ(temporaryFiles(dir.path()).join(" ").toStdString(), "");
    EXPECT_TRUE(QFileInfo::exists(path));
}

} // namespace
