#include "library/DefaultLibrary.h"

#include "data/NodeKey.h"
#include "data/ProgramState.h"
#include "library/LibraryFile.h"
#include "library/MemoryTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The shipped default library is made from the table of standard fuel models. To re-make it
// after changing the table:
//   build/tests/library/library_tests --gtest_also_run_disabled_tests --gtest_filter='*RegenerateShippedFile'

namespace {

QString sourceRoot()
{
    return QStringLiteral(VARROW_SOURCE_DIR);
}

QString tablePath()
{
    return sourceRoot() + QStringLiteral("/resources/standard-fuel-models.csv");
}

QString shippedPath()
{
    return sourceRoot() + QStringLiteral("/src/library/OrlaFuelModels.FFM");
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One line of the table: fields separated by commas, a field in double quotes may hold commas.
QStringList csvFields(const QString &line)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (QChar c : line) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (c == QLatin1Char(',') && !quoted)
            fields.append(std::exchange(field, QString()));
        else
            field += c;
    }
    fields.append(field);
    return fields;
}

// The default library from the table: ID = model number, description = code and name; the one
// live heat content column serves both live classes.
QByteArray libraryFromTable(const QByteArray &csv, QString *error)
{
    QStringList lines = QString::fromUtf8(csv).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QStringList header = csvFields(lines.takeFirst().trimmed());
    const auto column = [&](const char *name) { return int(header.indexOf(QLatin1String(name))); };
    FuelModelSets sets;
    auto master = std::make_shared<FuelModels>();
    sets.Add("Orla Master", true, master, NewNodeKey(true));
    for (const QString &line : lines) {
        const QStringList f = csvFields(line.trimmed());
        const auto num = [&](const char *name) {
            bool ok = false;
            const double v = f.value(column(name)).toDouble(&ok);
            EXPECT_TRUE(ok) << name << " in " << line.toStdString();
            return v;
        };
        const QString key = NewNodeKey(false);
        master->Add(f.value(column("number")), f.value(column("code")) + ' ' + f.value(column("name")), num("depth_ft"),
                    num("load_1h"), num("load_10h"), num("load_100h"), num("load_herb"), num("load_woody"),
                    num("sav_1h"), num("sav_herb"), num("sav_woody"), num("mx_dead_pct"), num("heat_dead"),
                    num("heat_live"), num("heat_live"), num("fuel_cat"), num("herb_type"), key, key);
    }
    sets.Add("Custom Fuel Models", false, std::make_shared<FuelModels>(), NewNodeKey(false));
    return SerializeLibrary(sets, error);
}

class DefaultLibrary : public ::testing::Test
{
protected:
    void SetUp() override { ResetProgramState(); }
};

TEST_F(DefaultLibrary, DISABLED_RegenerateShippedFile)
{
    QString error;
    const QByteArray bytes = libraryFromTable(fileBytes(tablePath()), &error);
    ASSERT_FALSE(bytes.isEmpty()) << error.toStdString();
    ASSERT_TRUE(WriteLibraryBytes(shippedPath(), bytes, &error)) << error.toStdString();
}

TEST_F(DefaultLibrary, ShippedFileIsTheTable)
{
    QString error;
    const QByteArray expected = libraryFromTable(fileBytes(tablePath()), &error);
    ASSERT_FALSE(expected.isEmpty()) << error.toStdString();
    EXPECT_EQ(fileBytes(shippedPath()), expected) << "re-make it with the disabled RegenerateShippedFile test";
    EXPECT_EQ(DefaultLibraryBytes(), expected) << "the program carries another file than the one in the sources";
}

TEST_F(DefaultLibrary, HoldsTheLockedMasterSetAndAnEmptyCustomSet)
{
    MemoryTree tree;
    const auto result = ReadLibrary(DefaultLibraryBytes(), tree);
    ASSERT_TRUE(result.ok) << result.problem.toString().toStdString();
    ASSERT_EQ(result.sets->Count(), 2);
    const auto &master = result.sets->Item(1);
    EXPECT_EQ(master->Name(), "Orla Master");
    EXPECT_TRUE(master->Locked());
    EXPECT_TRUE(result.sets->Item(1) == result.sets->Item("l1"));
    ASSERT_EQ(master->FuelModels()->Count(), 53);
    const auto &custom = result.sets->Item(2);
    EXPECT_EQ(custom->Name(), "Custom Fuel Models");
    EXPECT_FALSE(custom->Locked());
    EXPECT_EQ(custom->FuelModels()->Count(), 0);

    const auto &models = *master->FuelModels();
    const auto &fm1 = models.Item(1);
    EXPECT_EQ(fm1->FuelModelID(), "1");
    EXPECT_EQ(fm1->Description(), "FM1 Short grass (1 ft)");
    EXPECT_EQ(fm1->MoistureOfExtinction(), 12);
    const auto &gr1 = models.Item(14);
    EXPECT_EQ(gr1->FuelModelID(), "101");
    EXPECT_EQ(gr1->Description(), "GR1 Short, sparse dry climate grass");
    EXPECT_EQ(gr1->BulkDensityDepth(), 0.4);
    EXPECT_EQ(gr1->Loading1Hour(), 0.1);
    EXPECT_EQ(gr1->LoadingLiveHerb(), 0.3);
    EXPECT_EQ(gr1->SurfaceToVolumeLiveHerb(), 2000);
    EXPECT_EQ(gr1->MoistureOfExtinction(), 15);
    EXPECT_EQ(gr1->HerbType(), 2);
    EXPECT_EQ(gr1->FuelCat(), 1);
    const auto &gr6 = models.Item(19);
    EXPECT_EQ(gr6->FuelModelID(), "106");
    EXPECT_EQ(gr6->HeatContentDead(), 9000);
    EXPECT_EQ(gr6->HeatContentLiveHerb(), 9000);
    EXPECT_EQ(gr6->HeatContentLiveWoody(), 9000);
    const auto &sb4 = models.Item(53);
    EXPECT_EQ(sb4->Description(), "SB4 High load blowdown");
    EXPECT_EQ(sb4->FuelCat(), 4);
    EXPECT_EQ(sb4->Loading100Hour(), 5.25);
    EXPECT_EQ(TreeMismatch(tree, *result.sets), "");
}

TEST_F(DefaultLibrary, WriteMakesTheFileOrLeavesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("OrlaFuelModels.FFM");
    QString error;
    ASSERT_TRUE(WriteDefaultLibrary(path, &error)) << error.toStdString();
    EXPECT_EQ(fileBytes(path), DefaultLibraryBytes());

    const QString nowhere = dir.filePath("missing/OrlaFuelModels.FFM");
    EXPECT_FALSE(WriteDefaultLibrary(nowhere, &error));
    EXPECT_TRUE(error.contains(nowhere)) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(nowhere));
}

} // namespace
