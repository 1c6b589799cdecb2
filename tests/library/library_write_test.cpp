#include "library/LibraryFile.h"

#include "data/NumberText.h"
#include "support/LibraryFileSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdint>
#include <limits>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace libraryfiletest;
using LibraryWrite = LibraryFileTest;

TEST_F(LibraryWrite, TextsAndNumbersTheFileCannotHoldRefuseTheWholeWrite)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("OrlaFuelModels.FFM");
    ASSERT_TRUE(putFile(path, kWorkedExample));

    const auto library = [](const QString &setName, const QString &id, const QString &description, double depth) {
        FuelModelSets sets;
        auto models = std::make_shared<FuelModels>();
        models->Add("ok", "fine", 1, 0.74, 0, 0, 0, 0, 3500, 1500, 1500, 12, 8000, 8000, 8000, 1, 1, "n1", "n1");
        models->Add(id, description, depth, 0.74, 0, 0, 0, 0, 3500, 1500, 1500, 12, 8000, 8000, 8000, 1, 1, "n2", "n2");
        sets.Add(setName, false, models, "n3");
        return sets;
    };
    const struct
    {
        FuelModelSets sets;
        const char *mentions;
    } cases[] = {
        {library("Say \"hi\"", "7", "d", 1), "Set 1 \"Say \"hi\"\": A double quote"},
        {library("S", "7\"", "d", 1), "Model 2 \"7\"\" of set \"S\", FuelModelID: A double quote"},
        {library("S", "7", "12\" tall", 1), "Description: A double quote"},
        {library("S", "7", QString::fromUtf8("\u03a9 grass"), 1), "Windows-1252"},
        {library("S", "7", "two\nlines", 1), "line break"},
        {library("S\r", "7", "d", 1), "line break"},
        {library("S", "7", "d", std::nan("")), "BulkDensityDepth: the value is not a finite number"},
        {library("S", "7", "d", -HUGE_VAL), "not a finite number"},
        {library("S", "7", "d", std::numeric_limits<double>::max()),
         "BulkDensityDepth: the value is beyond the largest number the file can hold"},
    };
    for (const auto &c : cases) {
        QString error;
        EXPECT_TRUE(SerializeLibrary(c.sets, &error).isEmpty());
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.mentions))) << error.toStdString();
        EXPECT_FALSE(WriteFMs(path, c.sets, &error));
        EXPECT_TRUE(error.startsWith("The library was not saved.")) << error.toStdString();
        EXPECT_EQ(fileBytes(path), kWorkedExample);
    }
    // Everything else is stored: commas, blanks, ",Count:" in a set name, Windows-1252 letters.
    QString error;
    const FuelModelSets fine = library("a,Count:9", " 7 ", QString::fromUtf8("\u20ac, \u2019"), 1);
    ASSERT_TRUE(WriteFMs(path, fine, &error)) << error.toStdString();
    const auto back = read(fileBytes(path));
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.sets->Item(1)->Name(), "a,Count:9");
    EXPECT_EQ(back.sets->Item(1)->FuelModels()->Item(2)->Description(), QString::fromUtf8("\u20ac, \u2019"));
}

QStringList leftovers(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

FuelModelSets bigLibrary(int models)
{
    FuelModelSets sets;
    auto list = std::make_shared<FuelModels>();
    for (int i = 1; i <= models; ++i) {
        const QString key = NewNodeKey(false);
        list->Add(QString::number(i), "a model of some length", 1, 0.74, 0, 0, 0, 0, 3500, 1500, 1500, 12, 8000, 8000,
                  8000, 1, 1, key, key);
    }
    sets.Add("Big", false, list, NewNodeKey(false));
    return sets;
}

TEST_F(LibraryWrite, AFailedWriteLeavesTheOldFileAsItWas)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("OrlaFuelModels.FFM");
    ASSERT_TRUE(putFile(path, kWorkedExample));
    const FuelModelSets big = bigLibrary(2000);
    QString error;

    // A disk that fills up while writing: the file size limit makes every write past 64 KB fail.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteFMs(path, big, &error);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(written);
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
    EXPECT_EQ(fileBytes(path), kWorkedExample);
    EXPECT_EQ(leftovers(dir), QStringList({"OrlaFuelModels.FFM"}));

    // A folder that is not there.
    const QString nowhere = dir.filePath("gone/OrlaFuelModels.FFM");
    EXPECT_FALSE(WriteFMs(nowhere, big, &error));
    EXPECT_TRUE(error.contains(nowhere));
    EXPECT_FALSE(QFileInfo::exists(nowhere));

    // A read-only folder (root may write anywhere, so only for other users).
    if (geteuid() != 0) {
        ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        EXPECT_FALSE(WriteFMs(path, big, &error));
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        EXPECT_EQ(fileBytes(path), kWorkedExample);
        EXPECT_EQ(leftovers(dir), QStringList({"OrlaFuelModels.FFM"}));
    }

    // And the same write succeeds when nothing is in the way.
    EXPECT_TRUE(WriteFMs(path, big, &error)) << error.toStdString();
    EXPECT_EQ(fileBytes(path), SerializeLibrary(big, nullptr));
    EXPECT_EQ(leftovers(dir), QStringList({"OrlaFuelModels.FFM"}));
}

TEST_F(LibraryWrite, MoistureOfExtinctionIsAFractionInTheFileOnly)
{
    FuelModelSets sets;
    auto models = std::make_shared<FuelModels>();
    for (const double mx : {12.0, 35.0, 7.5, 12.3456789012345, 100.0, 0.1})
        addGrass(*models, "m", "d")->setMoistureOfExtinction(mx);
    sets.Add("S", false, models, "s");
    const QByteArray bytes = SerializeLibrary(sets, nullptr);
    EXPECT_TRUE(bytes.contains(",0.12,") && bytes.contains(",0.35,") && bytes.contains(",0.075,") &&
                bytes.contains(",0.123456789012345,") && bytes.contains(",1,8000") && bytes.contains(",0.001,"))
        << bytes.toStdString();
    const auto back = read(bytes);
    ASSERT_TRUE(back.ok);
    const auto &read = *back.sets->Item(1)->FuelModels();
    EXPECT_EQ(read.Item(1)->MoistureOfExtinction(), 12);
    EXPECT_EQ(read.Item(2)->MoistureOfExtinction(), 35);
    EXPECT_EQ(read.Item(3)->MoistureOfExtinction(), 7.5);
    EXPECT_EQ(read.Item(4)->MoistureOfExtinction(), 12.3456789012345);
    EXPECT_EQ(read.Item(6)->MoistureOfExtinction(), 0.1);
}

TEST_F(LibraryWrite, NumbersAreWrittenAsTheirGeneralText)
{
    // Typed values, computed values, ties at the 16th digit, tiny and huge ones: the file shows
    // what FormatGeneral shows everywhere else, and reads back to the same text.
    std::vector<double> values = {0.74,
                                  3500,
                                  0.1 + 0.2,
                                  1.0 / 3,
                                  2.384185791015625e-07,
                                  185354606115052.5,
                                  1e-4,
                                  9.99e-5,
                                  1e15,
                                  999999999999999.0,
                                  123456.789,
                                  -0.05,
                                  0.30000000000000004,
                                  1e-300,
                                  5e-324,
                                  1.79769313486231e308};
    std::uint64_t state = 42;
    for (int i = 0; i < 3000; ++i) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        const double scale[] = {1e-6, 1e-3, 0.01, 1, 100, 1e6, 1e12, 1e14};
        const double v = double(state >> 40) / double(1 << 12) * scale[(state >> 20) % 8];
        values.push_back(i % 2 ? v : std::round(v * 100) / 100);
    }
    FuelModelSets sets;
    auto models = std::make_shared<FuelModels>();
    for (const double v : values)
        addGrass(*models, "m", "d")->setBulkDensityDepth(v);
    sets.Add("S", false, models, "s");
    const QByteArray bytes = SerializeLibrary(sets, nullptr);
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_EQ(lines.size(), qsizetype(values.size()) + 3);
    for (std::size_t i = 0; i < values.size(); ++i)
        ASSERT_EQ(lines[qsizetype(i) + 1].split(',')[2].toStdString(), FormatGeneral(values[i]).toStdString())
            << "value " << i;
    const auto back = read(bytes);
    ASSERT_TRUE(back.ok) << back.problem.toString().toStdString();
    EXPECT_EQ(SerializeLibrary(*back.sets, nullptr), bytes);
}

} // namespace
