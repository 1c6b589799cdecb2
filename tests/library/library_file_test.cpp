#include "library/LibraryFile.h"

#include "data/FuelModelSets.h"
#include "data/NodeKey.h"
#include "data/NumberText.h"
#include "data/ProgramState.h"
#include "library/MemoryTree.h"

#include "library/LibraryLocation.h"

#include <QDir>
#include <QFile>
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

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<cannot open>");
}

bool putFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A library exercising what the format can hold: locked and unlocked sets, an empty set and an
// empty name, names with commas, ",Count:" and the word "Unlocked", every high byte of
// Windows-1252 (the five undefined ones included), and numbers from tiny to huge with 15
// significant digits.
QByteArray variedLibrary()
{
    return QByteArray("\"[FuelModelSet:Orla Master,Count:2, Locked]\"\r\n"
                      "\"1\",\"FM1 Short grass (1 ft)\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                      "\"GR1\",\"Short, sparse, dry; 100% grass\",0.4,0.1,0,0,0.3,0,2200,2000,1500,0.15,8000,8000,8000,1,2\r\n"
                      "\"[FuelModelSet:Unlocked Models,Count:1]\"\r\n"
                      "\"x\",\"\",123456789012345,-2.5,1e-05,1.5e+20,0.333333333333333,99.9999999999999,"
                      "0.000123456789012345,7,-0,0.123456789012345,1e-300,1.79769313486231e+308,4.94065645841247e-324,3,1\r\n"
                      "\"[FuelModelSet:a,Count:b,Count:3, Locked],Count:1]\"\r\n"
                      "\" padded \",\"  two  blanks  \",2,2,2,2,2,2,2,2,2,0.35,2,2,2,2,2\r\n"
                      "\"[FuelModelSet:,Count:0]\"\r\n"
                      "\"[FuelModelSet:Caf\xe9 \x80\x81\x8d\x8f\x90\x9d\x9f\xff,Count:1, Locked]\"\r\n"
                      "\"\xa0\xfe\",\"tab\there \x85 \x93quoted\x94\",1,1,1,1,1,1,1,1,1,1,1,1,1,4,1\r\n"
                      "\"[End]\"\r\n")
        .replace("-0,", "0,"); // the writer writes -0 as 0
}

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


TEST_F(LibraryFile, VariedLibraryReadsAndWritesBackByteForByte)
{
    const QByteArray original = variedLibrary();
    const auto result = read(original);
    ASSERT_TRUE(result.ok) << result.problem.toString().toStdString();
    EXPECT_EQ(TreeMismatch(tree, *result.sets), "");
    QString error;
    EXPECT_EQ(SerializeLibrary(*result.sets, &error).toStdString(), original.toStdString()) << error.toStdString();

    const auto &sets = *result.sets;
    ASSERT_EQ(sets.Count(), 5);
    EXPECT_TRUE(sets.Item(1)->Locked());
    EXPECT_EQ(sets.Item(2)->Name(), "Unlocked Models");
    EXPECT_FALSE(sets.Item(2)->Locked()); // "LOCKED" in the name does not lock it
    // The last ",Count:" is the count, and only what follows it locks.
    EXPECT_EQ(sets.Item(3)->Name(), "a,Count:b,Count:3, Locked]");
    EXPECT_FALSE(sets.Item(3)->Locked());
    EXPECT_EQ(sets.Item(3)->FuelModels()->Count(), 1);
    EXPECT_EQ(sets.Item(4)->Name(), "");
    EXPECT_EQ(sets.Item(4)->FuelModels()->Count(), 0);
    EXPECT_EQ(sets.Item(5)->Name(), QString::fromUtf8("Caf\u00e9 \u20ac\u0081\u008d\u008f\u0090\u009d\u0178\u00ff"));
    EXPECT_TRUE(sets.Item(5)->Locked());
    // Locked sets get "l" keys, everything else "n", in reading order.
    EXPECT_TRUE(sets.Item(1) == sets.Item("l1"));
    EXPECT_TRUE(sets.Item(2) == sets.Item("n4"));
    EXPECT_TRUE(sets.Item(3) == sets.Item("n6"));
    EXPECT_TRUE(sets.Item(5) == sets.Item("l9"));

    const auto &odd = *sets.Item(2)->FuelModels()->Item(1);
    EXPECT_EQ(odd.Description(), "");
    EXPECT_EQ(odd.BulkDensityDepth(), 123456789012345.0);
    EXPECT_EQ(odd.Loading1Hour(), -2.5);
    EXPECT_EQ(odd.SurfaceToVolume1Hour(), 0.000123456789012345);
    EXPECT_EQ(odd.HeatContentLiveWoody(), 4.94065645841247e-324);
    EXPECT_EQ(odd.MoistureOfExtinction(), 12.3456789012345);
    EXPECT_EQ(sets.Item(3)->FuelModels()->Item(1)->FuelModelID(), " padded "); // quoted blanks are kept
    EXPECT_EQ(sets.Item(3)->FuelModels()->Item(1)->MoistureOfExtinction(), 35);
}

TEST_F(LibraryFile, OnlyTheTextAfterTheCountLocks)
{
    const auto locked = [&](const char *header) {
        const auto result = read(QByteArray("\"") + header + "\"\r\n\"[End]\"\r\n");
        EXPECT_TRUE(result.ok) << header;
        return result.sets->Count() == 1 && result.sets->Item(1)->Locked();
    };
    EXPECT_TRUE(locked("[FuelModelSet:A,Count:0, Locked]"));
    EXPECT_TRUE(locked("[FuelModelSet:A,Count:0, LOCKED]"));
    EXPECT_TRUE(locked("[FuelModelSet:A,Count:0, locked]"));
    EXPECT_FALSE(locked("[FuelModelSet:A,Count:0]"));
    EXPECT_FALSE(locked("[FuelModelSet:Locked,Count:0]"));
    EXPECT_FALSE(locked("[FuelModelSet:UNLOCKED MODELS,Count:0]"));
    EXPECT_FALSE(locked("[FuelModelSet:x,Count:1, Locked],Count:0]"));

    // Names that would have fooled a search from the front, through a save and a reload.
    FuelModelSets sets;
    for (const char *name : {"Unlocked Models", "locked", "a,Count:3", ",Count:,Count:", "x, Locked]"})
        sets.Add(name, false, std::make_shared<FuelModels>(), NewNodeKey(false));
    sets.Add("Really locked, Count: 2", true, std::make_shared<FuelModels>(), NewNodeKey(true));
    const auto back = read(SerializeLibrary(sets, nullptr));
    ASSERT_TRUE(back.ok);
    ASSERT_EQ(back.sets->Count(), sets.Count());
    for (int i = 1; i <= sets.Count(); ++i) {
        EXPECT_EQ(back.sets->Item(i)->Name(), sets.Item(i)->Name());
        EXPECT_EQ(back.sets->Item(i)->Locked(), sets.Item(i)->Locked()) << sets.Item(i)->Name().toStdString();
    }
}

TEST_F(LibraryFile, EveryByteOfATextSurvives)
{
    QByteArray text;
    for (int b = 0; b < 256; ++b)
        if (b != '"' && b != '\r' && b != '\n')
            text += char(b);
    const QByteArray original = "\"[FuelModelSet:" + text + ",Count:1]\"\r\n\"" + text + "\",\"" + text +
                                "\",1,1,1,1,1,1,1,1,1,1,1,1,1,1,1\r\n\"[End]\"\r\n";
    const auto result = read(original);
    ASSERT_TRUE(result.ok) << result.problem.toString().toStdString();
    QString error;
    EXPECT_EQ(SerializeLibrary(*result.sets, &error).toStdString(), original.toStdString()) << error.toStdString();
    EXPECT_EQ(result.sets->Item(1)->FuelModels()->Item(1)->Description().size(), text.size());
}

TEST_F(LibraryFile, LayoutDoesNotMatter)
{
    // LF and CR line ends, blank lines, blanks around fields, a model broken over lines, a
    // trailing comma, unquoted texts and a quoted number: all read as the canonical file.
    const QByteArray loose = "\n  \"[FuelModelSet:Grass,Count:2]\"  \n\n"
                             "1 , \"Short grass\",1,0.74,\n0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1,\r"
                             "\"2\",Tall grass,2.5,\"3.01\",0,0,0,0,1500,1500,1500,0.25,8000,8000,8000,1,1\r\n"
                             "\r\n\"[End]\"";
    const QByteArray canonical = "\"[FuelModelSet:Grass,Count:2]\"\r\n"
                                 "\"1\",\"Short grass\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                                 "\"2\",\"Tall grass\",2.5,3.01,0,0,0,0,1500,1500,1500,0.25,8000,8000,8000,1,1\r\n"
                                 "\"[End]\"\r\n";
    const auto result = read(loose);
    ASSERT_TRUE(result.ok) << result.problem.toString().toStdString();
    QString error;
    EXPECT_EQ(SerializeLibrary(*result.sets, &error), canonical);

    // No "[End]" at all: the library ends with the file. Anything after "[End]" is ignored.
    QByteArray unterminated = canonical;
    unterminated.chop(9);
    EXPECT_TRUE(read(unterminated).ok);
    EXPECT_EQ(SerializeLibrary(*read(canonical + "trailing words, \"unread").sets, &error), canonical);
}

TEST_F(LibraryFile, EmptyLibraries)
{
    for (const QByteArray &bytes : {QByteArray(), QByteArray("\"[End]\"\r\n"), QByteArray("\r\n\r\n"),
                                    QByteArray("\"\"\r\n")}) {
        const auto result = read(bytes);
        EXPECT_TRUE(result.ok) << bytes.toStdString();
        EXPECT_EQ(result.sets->Count(), 0);
        EXPECT_EQ(tree.Count(), 0);
    }
    QString error;
    FuelModelSets none;
    EXPECT_EQ(SerializeLibrary(none, &error), "\"[End]\"\r\n");

    // A count of 0: the next field is the next header.
    const auto result = read("\"[FuelModelSet:A,Count:0]\"\r\n\"[FuelModelSet:B,Count:0, Locked]\"\r\n\"[End]\"\r\n");
    ASSERT_TRUE(result.ok);
    ASSERT_EQ(result.sets->Count(), 2);
    EXPECT_TRUE(result.sets->Item(2)->Locked());
    EXPECT_EQ(TreeMismatch(tree, *result.sets), "");
}

struct Malformed
{
    const char *bytes;
    int line;
    const char *expected; // part of the message
};

TEST_F(LibraryFile, MalformedFilesReportTheLineAndWhatWasExpected)
{
    const QByteArray set = "\"[FuelModelSet:Grass,Count:1]\"\r\n";
    const QByteArray model = "\"1\",\"Short grass\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n";
    const QByteArray good = set + model;
    const std::vector<std::pair<QByteArray, Malformed>> cases = {
        {good + "\"[FuelModelSet:Grass Count 1]\"\r\n", {nullptr, 3, "expected a set header"}},
        {good + "[FuelModelSet:Grass,Count:1]\r\n", {nullptr, 3, "expected a set header"}},
        {"\"[Set:A,Count:1]\"\r\n" + model, {nullptr, 1, "expected a set header"}},
        {"\"[FuelModelSet:Grass,Count:]\"\r\n", {nullptr, 1, "expected the number of models after \",Count:\""}},
        {"\"[FuelModelSet:Grass,Count:-1]\"\r\n", {nullptr, 1, "expected the number of models"}},
        {"\"[FuelModelSet:Grass,Count:99999999999]\"\r\n", {nullptr, 1, "out of range"}},
        // Fewer models than the count: "[End]" is taken for an ID, then the file ends.
        {"\"[FuelModelSet:Grass,Count:2]\"\r\n" + model + "\"[End]\"\r\n", {nullptr, 3, "found the end of the file"}},
        {"\"[FuelModelSet:Grass,Count:2147483647]\"\r\n" + model, {nullptr, 2, "model 2 of 2147483647"}},
        // ... or the next set's header is, and its first model's description is no number.
        {"\"[FuelModelSet:Grass,Count:2]\"\r\n" + good + "\"[End]\"\r\n", {nullptr, 3, "expected a number for BulkDensityDepth"}},
        // More models than the count: the next ID is no header.
        {"\"[FuelModelSet:Grass,Count:0]\"\r\n" + model, {nullptr, 2, "expected a set header"}},
        {set + "\"1\",\"d\",1,0.74,0,0,0,0,abc,1500,1500,0.12,8000,8000,8000,1,1\r\n",
         {nullptr, 2, "expected a number for SurfaceToVolume1Hour (field 9 of model 1 of 1 in set \"Grass\"), found \"abc\""}},
        {set + "\"1\",\"d\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,,1\r\n", {nullptr, 2, "FuelCat"}},
        {set + "\"1\",\"d\",1,1.2.3,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n", {nullptr, 2, "Loading1Hour"}},
        {set + "\"1\",\"d\",1,0.74,0,0,0,0,3500,1500,1500,nan,8000,8000,8000,1,1\r\n", {nullptr, 2, "MoistureOfExtinction"}},
        {set + "\"1\",\"d\",1,0.74,0,0,0,0,3500,1500,1500,0.12,1e999,8000,8000,1,1\r\n", {nullptr, 2, "HeatContentDead"}},
        {set + "\"1\",\"d\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1e\r\n", {nullptr, 2, "HerbType"}},
        {set + "\"1\",\"d\",1,0.74,0,0,0,0,3500\r\n", {nullptr, 2, "expected SurfaceToVolumeLiveHerb (field 10"}},
        {set + "\"1\",\"Short grass,1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n\"x\"",
         {nullptr, 2, "expected a closing double quote"}},
        {set + "\"1\"x,\"d\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n",
         {nullptr, 2, "expected a comma or a line end after the closing double quote"}},
        {set + "1\"2,\"d\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n",
         {nullptr, 2, "before the double quote"}},
        {good + "\"\"\r\n" + good, {nullptr, 3, "found an empty field"}},
        {"\n\n\n\"[FuelModelSet:Grass,Count:1]\"\n\"1\",\"d\",\n1,0.74,0,0,0,0,x,1500,1500,0.12,8000,8000,8000,1,1\n",
         {nullptr, 6, "SurfaceToVolume1Hour"}},
        {"\r\r\"[FuelModelSet:Grass\"", {nullptr, 3, "expected a set header"}},
    };
    for (const auto &[bytes, want] : cases) {
        SCOPED_TRACE(bytes.toStdString());
        ResetProgramState();
        const auto result = read(bytes);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.problem.line, want.line);
        EXPECT_TRUE(result.problem.message.contains(QString::fromUtf8(want.expected)))
            << result.problem.message.toStdString();
        // What was read before the problem stays, tree and sets alike.
        EXPECT_EQ(TreeMismatch(tree, *result.sets), "");
    }
}

TEST_F(LibraryFile, ModelsReadBeforeAProblemStayInSetAndTree)
{
    const auto result = read("\"[FuelModelSet:A,Count:1, Locked]\"\r\n"
                             "\"1\",\"a\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                             "\"[FuelModelSet:B,Count:3]\"\r\n"
                             "\"2\",\"b\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                             "\"3\",\"c\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                             "\"4\",\"d\",1,0.74,0,0,0,0,3500,1500,1500,0.12,oops,8000,8000,1,1\r\n");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.problem.line, 6);
    ASSERT_EQ(result.sets->Count(), 2);
    EXPECT_EQ(result.sets->Item(2)->FuelModels()->Count(), 2);
    EXPECT_EQ(TreeMismatch(tree, *result.sets), "");
    EXPECT_EQ(tree.Count(), 5);
}

TEST_F(LibraryFile, ReadFMsTellsACleanReadFromAFailedOne)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("OrlaFuelModels.FFM");
    LibraryProblem problem;

    EXPECT_FALSE(ReadFMs(path, tree, &problem));
    EXPECT_EQ(problem.path, path);
    EXPECT_EQ(problem.line, 0);
    EXPECT_TRUE(problem.message.contains("cannot be opened"));
    EXPECT_EQ(gFMSets->Count(), 0);

    ASSERT_TRUE(putFile(path, kWorkedExample));
    tree.Clear();
    EXPECT_TRUE(ReadFMs(path, tree, &problem));
    EXPECT_EQ(gFMSets->Count(), 1);
    EXPECT_EQ(TreeMismatch(tree, *gFMSets), "");

    // A failed read still hands over what it read, and names the file and line.
    ASSERT_TRUE(putFile(path, variedLibrary().replace("1.5e+20", "1.5f+20")));
    tree.Clear();
    EXPECT_FALSE(ReadFMs(path, tree, &problem));
    EXPECT_EQ(gFMSets->Count(), 2);
    EXPECT_EQ(problem.toString(), path + ":5: expected a number for Loading100Hour (field 6 of model 1 of 1 in "
                                         "set \"Unlocked Models\"), found \"1.5f+20\"");
}

TEST_F(LibraryFile, ADamagedLibraryIsNotOverwrittenByWhatWasReadOfIt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SetLibraryFolderForTesting(dir.path());
    const QString path = LibraryFilePath();
    EXPECT_EQ(path, dir.filePath("OrlaFuelModels.FFM"));
    const QByteArray damaged = variedLibrary().replace("3500,1500", "3500;1500");
    ASSERT_TRUE(putFile(path, damaged));

    LibraryProblem problem;
    EXPECT_FALSE(ReadFMs(tree, &problem));
    EXPECT_EQ(gFMSets->Count(), 1);
    EXPECT_TRUE(LibraryOverwriteBlocked());
    QString error;
    EXPECT_FALSE(WriteFMs(&error));
    EXPECT_TRUE(error.contains("could not be read completely")) << error.toStdString();
    EXPECT_EQ(fileBytes(path), damaged);

    // The user chose to keep what could be read.
    AllowLibraryOverwrite();
    EXPECT_TRUE(WriteFMs(&error)) << error.toStdString();
    EXPECT_EQ(fileBytes(path), SerializeLibrary(*gFMSets, nullptr));

    // A clean read lifts the block too; a missing file never sets it.
    ASSERT_TRUE(putFile(path, damaged));
    EXPECT_FALSE(ReadFMs(tree, &problem));
    ASSERT_TRUE(putFile(path, kWorkedExample));
    tree.Clear();
    EXPECT_TRUE(ReadFMs(tree, &problem));
    EXPECT_TRUE(WriteFMs(&error)) << error.toStdString();
    EXPECT_EQ(fileBytes(path), kWorkedExample);
    QFile::remove(path);
    tree.Clear();
    EXPECT_FALSE(ReadFMs(tree, &problem));
    EXPECT_FALSE(LibraryOverwriteBlocked());
    SetLibraryFolderForTesting({});
}

TEST_F(LibraryFile, TextsAndNumbersTheFileCannotHoldRefuseTheWholeWrite)
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
        {library("S", "7", "d", std::numeric_limits<double>::max()), "not a finite number the file can hold"},
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
        list->Add(QString::number(i), "a model of some length", 1, 0.74, 0, 0, 0, 0, 3500, 1500, 1500, 12, 8000,
                  8000, 8000, 1, 1, key, key);
    }
    sets.Add("Big", false, list, NewNodeKey(false));
    return sets;
}

TEST_F(LibraryFile, AFailedWriteLeavesTheOldFileAsItWas)
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

TEST_F(LibraryFile, MoistureOfExtinctionIsAFractionInTheFileOnly)
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

TEST_F(LibraryFile, NumbersAreWrittenAsTheirGeneralText)
{
    // Typed values, computed values, ties at the 16th digit, tiny and huge ones: the file shows
    // what FormatGeneral shows everywhere else, and reads back to the same text.
    std::vector<double> values = {0.74,   3500,   0.1 + 0.2, 1.0 / 3, 2.384185791015625e-07, 185354606115052.5,
                                  1e-4,   9.99e-5, 1e15,     999999999999999.0, 123456.789, -0.05, 0.30000000000000004,
                                  1e-300, 5e-324, 1.79769313486231e308};
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
