#include "library/LibraryFile.h"

#include "library/LibraryLocation.h"
#include "support/LibraryFileSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace libraryfiletest;
using LibraryFile = LibraryFileTest;

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

    // Anything after "[End]" is ignored.
    EXPECT_EQ(SerializeLibrary(*read(canonical + "trailing words, \"unread").sets, &error), canonical);
}

TEST_F(LibraryFile, EmptyLibraries)
{
    for (const QByteArray &bytes : {QByteArray("\"[End]\"\r\n"), QByteArray("\r\n\"[End]\""), QByteArray("\"\"\r\n")}) {
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

TEST_F(LibraryFile, AFileCutShortOrEmptyIsAReadProblem)
{
    const QByteArray first = "\"[FuelModelSet:A,Count:1]\"\r\n"
                             "\"1\",\"Short grass\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n";
    const QByteArray second = "\"[FuelModelSet:B,Count:0, Locked]\"\r\n";
    // Cut between two sets, after the last set, and with nothing at all: never a clean library.
    for (const QByteArray &cut : {first, first + second, QByteArray(first + second).replace("\r\n", "\n")}) {
        const auto result = read(cut);
        EXPECT_FALSE(result.ok) << cut.toStdString();
        EXPECT_NE(result.problem.message.indexOf("found the end of the file: the file may have been cut short"), -1)
            << result.problem.message.toStdString();
        EXPECT_EQ(TreeMismatch(tree, *result.sets), "");
    }
    // What was read stays for the caller to show: the first set and its model.
    const auto cut = read(first + second);
    ASSERT_EQ(cut.sets->Count(), 2);
    EXPECT_EQ(cut.sets->ModelCount(), 1);
    EXPECT_EQ(cut.problem.line, 3);

    for (const QByteArray &empty : {QByteArray(), QByteArray("\r\n\r\n"), QByteArray("  \t\n")}) {
        const auto result = read(empty);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.problem.message.indexOf("the file is empty"), -1) << result.problem.message.toStdString();
        EXPECT_GT(result.problem.line, 0); // about the file's bytes, which can be kept aside
    }
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
        {"\"[FuelModelSet:Grass,Count:2]\"\r\n" + good + "\"[End]\"\r\n",
         {nullptr, 3, "expected a number for BulkDensityDepth"}},
        // More models than the count: the next ID is no header.
        {"\"[FuelModelSet:Grass,Count:0]\"\r\n" + model, {nullptr, 2, "expected a set header"}},
        {set + "\"1\",\"d\",1,0.74,0,0,0,0,abc,1500,1500,0.12,8000,8000,8000,1,1\r\n",
         {nullptr, 2,
          "expected a number for SurfaceToVolume1Hour (field 9 of model 1 of 1 in set \"Grass\"), found \"abc\""}},
        {set + "\"1\",\"d\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,,1\r\n", {nullptr, 2, "FuelCat"}},
        {set + "\"1\",\"d\",1,1.2.3,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n", {nullptr, 2, "Loading1Hour"}},
        {set + "\"1\",\"d\",1,0.74,0,0,0,0,3500,1500,1500,nan,8000,8000,8000,1,1\r\n",
         {nullptr, 2, "MoistureOfExtinction"}},
        {set + "\"1\",\"d\",1,0.74,0,0,0,0,3500,1500,1500,0.12,1e999,8000,8000,1,1\r\n",
         {nullptr, 2, "HeatContentDead"}},
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
    EXPECT_EQ(problem.toString(),
              path +
                  ":5: expected a number for Loading100Hour (field 6 of model 1 of 1 in "
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
    // Every way of writing the file honours the block, also through a link to it.
    const QString link = dir.filePath("link.FFM");
    ASSERT_TRUE(QFile::link(path, link));
    for (const QString &name : {path, link}) {
        error.clear();
        EXPECT_FALSE(WriteFMs(name, *gFMSets, &error)) << name.toStdString();
        EXPECT_TRUE(error.contains("could not be read completely")) << error.toStdString();
        EXPECT_FALSE(WriteLibraryBytes(name, "\"[End]\"\r\n", &error)) << name.toStdString();
    }
    EXPECT_EQ(WriteFMsIfUnchanged(HashOfFile(path), &error), CheckedWrite::Failed);
    EXPECT_EQ(fileBytes(path), damaged);
    // Another file is not blocked.
    EXPECT_TRUE(WriteFMs(dir.filePath("Other.FFM"), *gFMSets, &error)) << error.toStdString();

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

} // namespace
