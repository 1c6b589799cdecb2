// fmtool notes and the notes in fmtool list --json, read from a notes file written by hand.

#include "fmtool/Commands.h"
#include "support/CapturedRun.h"

#include "data/ProgramState.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class NotesCommand : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetProgramState();
        ASSERT_TRUE(dir.isValid());
        library = dir.filePath("L.FFM");
        putFile(library,
                "\"[FuelModelSet:Grass,Count:2]\"\r\n"
                "\"101\",\"Short\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                "\"102\",\"Tall\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                "\"[End]\"\r\n");
        putFile(library + ".notes",
                "{\"format\": \"varrow-notes\", \"library\": \"L.FFM\",\r\n"
                " \"sets\": [{\"name\": \"Grass\", \"owner\": \"Ana\"}],\r\n"
                " \"models\": [{\"set\": \"Grass\", \"id\": \"101\", \"source\": \"Campaign 2019\", "
                "\"notes\": \"line one\\nline two\", \"history\": [\r\n"
                "   {\"date\": \"2026-01-02T03:04:05+01:00\", \"kind\": \"copied-from\", \"set\": \"Orla Master\", "
                "\"id\": \"1\"},\r\n"
                "   {\"date\": \"2026-01-03T03:04:05+01:00\", \"kind\": \"saved\", \"changes\": "
                "[{\"field\": \"mx\", \"old\": 15, \"new\": 12}]}]}],\r\n"
                " \"orphans\": [{\"set\": \"Gone\", \"id\": \"9\", \"author\": \"Bo\"}]}\r\n");
    }
    QTemporaryDir dir;
    QString library;
};

TEST_F(NotesCommand, PrintsSetsModelsHistoriesAndOrphans)
{
    const Outcome r = run(fmtoolNotes, {library});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
              "Set \"Grass\"\n"
              "  Owner: Ana\n"
              "Model 101 - Short (set \"Grass\")\n"
              "  Source: Campaign 2019\n"
              "  Notes:\n"
              "    line one\n"
              "    line two\n"
              "  History:\n"
              "    2026-01-02 03:04 copied from 1 of set \"Orla Master\"\n"
              "    2026-01-03 03:04 saved: Extinction moisture 15 -> 12\n"
              "Orphaned: model 9 (was in set \"Gone\")\n"
              "  Author: Bo\n");
}

TEST_F(NotesCommand, OneModelByItsIdInAnyLetterCase)
{
    Outcome r = run(fmtoolNotes, {library, "--model", " 101"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith("Model 101 - Short (set \"Grass\")\n  Source: Campaign 2019\n"));
    EXPECT_FALSE(r.out.contains("Orphaned"));
    r = run(fmtoolNotes, {library, "--model=102"});
    EXPECT_EQ(r.out, "Model 102 - Tall (set \"Grass\")\n  (no notes)\n");
    r = run(fmtoolNotes, {library, "--model", "103"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, library + ": no model with the ID 103\n");
    EXPECT_EQ(run(fmtoolNotes, {library, "--model"}).status, 2);
    EXPECT_EQ(run(fmtoolNotes, {}).status, 2);
}

TEST_F(NotesCommand, UnreadableNotesFileIsSaidAndLeftAlone)
{
    putFile(library + ".notes", "{ not json");
    const Outcome r = run(fmtoolNotes, {library});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("could not be read")) << r.err.toStdString();
    EXPECT_EQ(fileBytes(library + ".notes"), "{ not json");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2); // nothing kept aside by a reader
    // A library without a notes file lists as it always did.
    QFile::remove(library + ".notes");
    const Outcome plain = run(fmtoolNotes, {library});
    EXPECT_EQ(plain.out, library + ": no notes\n");
}

TEST_F(NotesCommand, ListJsonCarriesTheNotes)
{
    const Outcome r = run(fmtoolList, {library, "--json"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QJsonParseError error;
    const QJsonObject top = QJsonDocument::fromJson(r.out.toUtf8(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
    const QJsonObject set = top.value("sets").toArray().at(0).toObject();
    EXPECT_EQ(set.value("notes").toObject().value("owner").toString(), "Ana");
    const QJsonArray models = set.value("models").toArray();
    const QJsonObject notes = models.at(0).toObject().value("notes").toObject();
    EXPECT_EQ(notes.value("source").toString(), "Campaign 2019");
    EXPECT_EQ(notes.value("history").toArray().size(), 2);
    EXPECT_EQ(notes.value("history")
                  .toArray()
                  .at(1)
                  .toObject()
                  .value("changes")
                  .toArray()
                  .at(0)
                  .toObject()
                  .value("new")
                  .toDouble(),
              12);
    EXPECT_FALSE(models.at(1).toObject().contains("notes"));
    EXPECT_EQ(top.value("orphaned-notes").toArray().at(0).toObject().value("FuelModelID").toString(), "9");

    // Without a notes file the output is what it always was.
    QFile::remove(library + ".notes");
    const Outcome plain = run(fmtoolList, {library, "--json"});
    EXPECT_FALSE(plain.out.contains("notes"));
    EXPECT_TRUE(plain.out.endsWith("\n  ]}\n]}\n"));
}

} // namespace
