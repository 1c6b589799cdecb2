#include "library/LibraryFile.h"

#include "data/FuelModelSets.h"
#include "data/NodeKey.h"
#include "data/ProgramState.h"
#include "library/MemoryTree.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QByteArray kWorkedExample = "\"[FuelModelSet:Grass,Count:1]\"\r\n"
                                  "\"1\",\"Short grass\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                                  "\"[End]\"\r\n";

class LibraryFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetProgramState();
        ResetLibraryFileState();
    }

    LibraryReadResult read(const QByteArray &bytes)
    {
        tree.Clear();
        return ReadLibrary(bytes, tree);
    }

    MemoryTree tree;
};

std::shared_ptr<FuelModel> addGrass(FuelModels &models, const QString &id, const QString &description)
{
    const QString key = NewNodeKey(false);
    return models.Add(id, description, 1, 0.74, 0, 0, 0, 0, 3500, 1500, 1500, 12, 8000, 8000, 8000, 1, 1, key, key);
}

TEST_F(LibraryFile, WorkedExampleIsWrittenByteForByteAndReadBack)
{
    FuelModelSets sets;
    auto models = std::make_shared<FuelModels>();
    addGrass(*models, "1", "Short grass");
    sets.Add("Grass", false, models, NewNodeKey(false));
    QString error;
    EXPECT_EQ(SerializeLibrary(sets, &error), kWorkedExample) << error.toStdString();

    ResetProgramState();
    const auto result = read(kWorkedExample);
    ASSERT_TRUE(result.ok) << result.problem.toString().toStdString();
    ASSERT_EQ(result.sets->Count(), 1);
    const auto &set = result.sets->Item(1);
    EXPECT_EQ(set->Name(), "Grass");
    EXPECT_FALSE(set->Locked());
    ASSERT_EQ(set->FuelModels()->Count(), 1);
    const auto &fm = set->FuelModels()->Item(1);
    EXPECT_EQ(fm->FuelModelID(), "1");
    EXPECT_EQ(fm->Description(), "Short grass");
    EXPECT_EQ(fm->BulkDensityDepth(), 1);
    EXPECT_EQ(fm->Loading1Hour(), 0.74);
    EXPECT_EQ(fm->SurfaceToVolume1Hour(), 3500);
    EXPECT_EQ(fm->MoistureOfExtinction(), 12); // exactly, not 12.000000000000002
    EXPECT_EQ(fm->HeatContentLiveWoody(), 8000);
    EXPECT_EQ(fm->FuelCat(), 1);
    EXPECT_EQ(fm->HerbType(), 1);
    // Keys in reading order, one counter for sets and models; nodes by the scheme.
    EXPECT_EQ(result.sets->PositionOf("n1"), 1);
    EXPECT_EQ(fm->Key(), "n2");
    EXPECT_EQ(TreeMismatch(tree, *result.sets), "");
    EXPECT_EQ(tree.Text("n2"), "1 - Short grass");
}

} // namespace
