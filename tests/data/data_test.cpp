#include "data/AppError.h"
#include "data/Cp1252.h"
#include "data/FuelModelSets.h"
#include "data/NodeKey.h"
#include "data/ProgramState.h"

#include <gtest/gtest.h>

namespace {

class Data : public ::testing::Test
{
protected:
    void SetUp() override { ResetProgramState(); }
};

std::shared_ptr<FuelModel> addModel(FuelModels &models, const QString &id, const QString &key)
{
    return models.Add(id, "d", 1, 0.74, 0, 0, 0, 0, 3500, 1500, 1500, 12, 8000, 8000, 8000, 1, 1, key, key);
}

TEST_F(Data, RaiseErrorCarriesOffsetNumberSourceAndDescription)
{
    try {
        RaiseError(kUnknownErrorNumber, "FuelModel:LoadingLiveHerb Property Let");
        FAIL() << "RaiseError returned";
    } catch (const AppError &e) {
        EXPECT_EQ(e.number(), -2147211505);
        EXPECT_EQ(e.source(), "FuelModel:LoadingLiveHerb Property Let");
        EXPECT_EQ(e.description(), "An unknown error has occurred!");
    }
    // The sum would leave the 32-bit range.
    EXPECT_THROW(RaiseError(-262145, "x"), std::overflow_error);
    EXPECT_THROW(RaiseError(-262144, "x"), AppError);
}

TEST_F(Data, AddWritesEveryFieldInItsPlaceAndRefusesDuplicateKeys)
{
    FuelModels models;
    auto fm =
        models.Add("7", "Desc", 1.5, 0.1, 0.2, 0.3, 0.4, 0.5, 2000, 1800, 1600, 25, 8100, 8200, 8300, 3, 2, "n5", "n5");
    ASSERT_TRUE(fm);
    EXPECT_EQ(fm->FuelModelID(), "7");
    EXPECT_EQ(fm->Description(), "Desc");
    EXPECT_EQ(fm->BulkDensityDepth(), 1.5);
    EXPECT_EQ(fm->Loading1Hour(), 0.1);
    EXPECT_EQ(fm->Loading10Hour(), 0.2);
    EXPECT_EQ(fm->Loading100Hour(), 0.3);
    EXPECT_EQ(fm->LoadingLiveHerb(), 0.4);
    EXPECT_EQ(fm->LoadingLiveWoody(), 0.5);
    EXPECT_EQ(fm->SurfaceToVolume1Hour(), 2000);
    EXPECT_EQ(fm->SurfaceToVolumeLiveHerb(), 1800);
    EXPECT_EQ(fm->SurfaceToVolumeLiveWoody(), 1600);
    EXPECT_EQ(fm->MoistureOfExtinction(), 25);
    EXPECT_EQ(fm->HeatContentDead(), 8100);
    EXPECT_EQ(fm->HeatContentLiveHerb(), 8200);
    EXPECT_EQ(fm->HeatContentLiveWoody(), 8300);
    EXPECT_EQ(fm->FuelCat(), 3);
    EXPECT_EQ(fm->HerbType(), 2);
    EXPECT_EQ(fm->Key(), "n5");
    EXPECT_EQ(fm->Loading1000Hour(), 0);

    EXPECT_EQ(addModel(models, "8", "n5"), nullptr);
    EXPECT_EQ(models.Count(), 1);
    EXPECT_EQ(models.Item("n5"), fm);
}

TEST_F(Data, CollectionsKeepInsertionOrderAndShiftOnRemove)
{
    FuelModels models;
    addModel(models, "a", "n1");
    addModel(models, "b", "n2");
    addModel(models, "c", "n3");
    models.Remove(2);
    ASSERT_EQ(models.Count(), 2);
    EXPECT_EQ(models.Item(2)->FuelModelID(), "c");
    EXPECT_EQ(models.Item("n3")->FuelModelID(), "c");
    models.Remove("n1");
    EXPECT_EQ(models.Item(1)->FuelModelID(), "c");
    EXPECT_THROW(models.Item(0), std::out_of_range);
    EXPECT_THROW(models.Item(2), std::out_of_range);
    EXPECT_THROW(models.Item("n1"), std::out_of_range);
    EXPECT_THROW(models.Remove("zz"), std::out_of_range);
    EXPECT_EQ(models.Count(), 1);

    // A removed record lives on through other references.
    auto kept = models.Item(1);
    models.Remove(1);
    EXPECT_EQ(kept->FuelModelID(), "c");
}

TEST_F(Data, SetsShareTheirCollectionAndRefuseDuplicateKeys)
{
    FuelModelSets sets;
    auto models = std::make_shared<FuelModels>();
    auto s1 = sets.Add("Grass", true, models, "l1");
    EXPECT_EQ(s1->FuelModels(), models);
    EXPECT_TRUE(s1->Locked());
    EXPECT_THROW(sets.Add("Other", false, nullptr, "l1"), std::invalid_argument);
    EXPECT_EQ(sets.Count(), 1);
    auto s2 = sets.Add("Grass", false, nullptr, "n2");
    // A set made without a collection gets one, and the same one on every read.
    auto first = s2->FuelModels();
    EXPECT_TRUE(first);
    EXPECT_EQ(s2->FuelModels(), first);
    EXPECT_EQ(s1->ClassDebugID(), 1);
    EXPECT_EQ(s2->ClassDebugID(), 2);
}

TEST_F(Data, NodeKeysRunFromOneWithTheLockLetter)
{
    EXPECT_EQ(NewNodeKey(true), "l1");
    EXPECT_EQ(NewNodeKey(false), "n2");
    EXPECT_EQ(NewNodeKey(false), "n3");
    ResetProgramState();
    EXPECT_EQ(NewNodeKey(false), "n1");
}

TEST_F(Data, FuelModelIDExistsTrimsFoldsCaseAndExcludesOneKey)
{
    FuelModelSets sets;
    auto a = std::make_shared<FuelModels>();
    auto b = std::make_shared<FuelModels>();
    sets.Add("A", false, a, "n1");
    sets.Add("B", false, b, "n2");
    addModel(*a, "FM1", "n3");
    addModel(*b, " gr2 ", "n4");
    EXPECT_TRUE(FuelModelIDExists(sets, " fm1", "&&&&&&&&&&&&&&"));
    EXPECT_TRUE(FuelModelIDExists(sets, "GR2", "n3"));
    EXPECT_FALSE(FuelModelIDExists(sets, "GR2", "n4"));
    EXPECT_FALSE(FuelModelIDExists(sets, "FM", "x"));
    EXPECT_FALSE(FuelModelIDExists(sets, "", "x"));
}

TEST_F(Data, Cp1252KeepsEveryByteAndRefusesWhatItCannotHold)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    QByteArray back;
    ASSERT_TRUE(ToCp1252(FromCp1252(all), back));
    EXPECT_EQ(back, all);
    EXPECT_EQ(FromCp1252("\x80\x9f"), QString(QChar(0x20AC)) + QChar(0x0178));

    QByteArray out;
    EXPECT_FALSE(ToCp1252(QString::fromUtf8("a\u0416b"), out));
    EXPECT_FALSE(LibraryTextProblem(QString::fromUtf8("\u0416")).isEmpty());
    EXPECT_FALSE(LibraryTextProblem("say \"hi\"").isEmpty());
    EXPECT_TRUE(LibraryTextProblem(QString::fromUtf8("Caf\u00e9 \u20ac")).isEmpty());
    EXPECT_FALSE(SetNameProblem("a,Count:3").isEmpty());
    EXPECT_TRUE(SetNameProblem("a, Count 3").isEmpty());
}

TEST_F(Data, ARefusedCharacterIsNamedWholeWithItsCodePoints)
{
    // One code point outside the basic plane: both halves of its UTF-16 pair are named.
    EXPECT_EQ(LibraryTextProblem(QString::fromUtf8("Fire \U0001F525 grass")),
              QString::fromUtf8("The character \"\U0001F525\" (U+1F525) cannot be stored in the library file "
                                "(Windows-1252)."));
    // A thumb with a skin tone is one character on screen, made of two code points.
    const QString problem = SetNameProblem(QString::fromUtf8("ok \U0001F44D\U0001F3FD!"));
    EXPECT_TRUE(problem.contains(QString::fromUtf8("\"\U0001F44D\U0001F3FD\" (U+1F44D U+1F3FD)")))
        << problem.toStdString();
    // A character of the basic plane after text the file can hold.
    EXPECT_TRUE(LibraryTextProblem(QString::fromUtf8("ab\u0416")).contains(QString::fromUtf8("\"\u0416\" (U+0416)")));
}

} // namespace
