#include "exchange/OtherLibrary.h"

#include "data/ProgramState.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(OtherLibrary, ListsSetsWithCountsAndProposesFreeNamesWithoutTouchingThisLibrary)
{
    ResetProgramState();
    QTemporaryDir dir;
    const QString path = dir.filePath("colleague.FFM");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\"[FuelModelSet:Grass,Count:2, Locked]\"\r\n"
                "\"1\",\"a\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                "\"2\",\"b\",1,2,1,0.5,0.5,0,3000,1500,1500,0.15,8000,8000,8000,1,1\r\n"
                "\"[FuelModelSet:Shrub,Count:0]\"\r\n\"[End]\"\r\n");
    }
    const auto before = gFMSets;
    const OtherLibrary other = ReadOtherLibrary(path);
    ASSERT_TRUE(other.ok) << other.problem.toStdString();
    EXPECT_EQ(gFMSets, before); // the program's own library is not replaced
    ASSERT_EQ(other.sets.size(), 2);
    EXPECT_EQ(other.sets[0].name, "Grass");
    EXPECT_TRUE(other.sets[0].locked);
    EXPECT_EQ(other.sets[0].models, 2);
    EXPECT_EQ(other.sets[1].models, 0);

    FuelModelSets here;
    here.Add("grass", false, std::make_shared<FuelModels>(), {});
    here.Add("Grass (2)", false, std::make_shared<FuelModels>(), {});
    EXPECT_EQ(FreeSetName(here, "Grass"), "Grass (3)"); // letter case does not tell names apart
    EXPECT_EQ(FreeSetName(here, "Shrub"), "Shrub");
    EXPECT_EQ(FreeSetName(here, "Shrub", {"Shrub"}), "Shrub (2)");
    EXPECT_FALSE(ImportedSetNameProblem(here, "GRASS").isEmpty());
    EXPECT_FALSE(ImportedSetNameProblem(here, "a,Count:b").isEmpty());
    EXPECT_FALSE(ImportedSetNameProblem(here, " ").isEmpty());
    EXPECT_TRUE(ImportedSetNameProblem(here, "Mine").isEmpty());

    // Copies are new records: changing one leaves the other library's model alone.
    const auto copies = CopyModels(*other.sets[0].set);
    ASSERT_EQ(copies.size(), 2);
    copies[0]->setLoading1Hour(9);
    EXPECT_EQ(other.sets[0].set->FuelModels()->Item(1)->Loading1Hour(), 0.74);
    EXPECT_EQ(copies[1]->Loading10Hour(), 1);

    const OtherLibrary broken = ReadOtherLibrary(dir.filePath("missing.FFM"));
    EXPECT_FALSE(broken.ok);
    EXPECT_TRUE(broken.problem.contains("missing.FFM"));
}

// IDs are unique across the whole library (in any letter case): a set taken from another
// library keeps each model's own ID where it is free and gets a free one where not, said.
TEST(OtherLibrary, ImportedModelsGetIdsFreeInTheWholeLibrary)
{
    FuelModelSets here;
    auto mine = std::make_shared<FuelModels>();
    mine->Add("101", "GR1", 1, 0.1, 0, 0, 0.3, 0, 2200, 2000, 1500, 15, 8000, 8000, 8000, 1, 2, {}, {});
    mine->Add("cheat", "mine", 1, 0.1, 0, 0, 0.3, 0, 2200, 2000, 1500, 15, 8000, 8000, 8000, 1, 2, {}, {});
    here.Add("Mine", false, mine, {});
    auto model = [](const char *id) {
        auto m = std::make_shared<FuelModel>();
        m->setFuelModelID(QString::fromLatin1(id));
        return m;
    };
    QList<ImportedSet> sets = {ImportedSet{"A", false, {model("101"), model("14"), model("CHEAT")}, {}, {}},
                               ImportedSet{"B", true, {model("14"), model("New")}, {}, {}}};
    const QStringList changed = GiveFreeIDs(sets, here);
    EXPECT_EQ(sets[0].models[0]->FuelModelID(), "101_2");
    EXPECT_EQ(sets[0].models[1]->FuelModelID(), "14");
    EXPECT_EQ(sets[0].models[2]->FuelModelID(), "CHEAT_2");
    EXPECT_EQ(sets[1].models[0]->FuelModelID(), "14_2"); // taken by set A's model just before
    EXPECT_EQ(sets[1].models[1]->FuelModelID(), "New");
    ASSERT_EQ(changed.size(), 3);
    EXPECT_EQ(changed[0], "Set \"A\": the ID \"101\" is taken; the model's ID is \"101_2\"");
    EXPECT_TRUE(changed[2].startsWith("Set \"B\": the ID \"14\""));
}
