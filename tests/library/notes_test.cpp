// The notes beside a library: the history entries the program writes, the file's exact bytes,
// reading every shape a notes file takes, finding models again, and never losing a note.

#include "library/ModelNotes.h"
#include "library/NotesFile.h"
#include "support/LibraryFileSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

using namespace libraryfiletest;

namespace {

const QByteArray kTwoSets = "\"[FuelModelSet:Grass,Count:2]\"\r\n"
                            "\"101\",\"Short\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                            "\"102\",\"Tall\",2.5,3.01,0,0,0,0,1500,1500,1500,0.25,8000,8000,8000,1,1\r\n"
                            "\"[FuelModelSet:Brush,Count:1]\"\r\n"
                            "\"201\",\"Chaparral\",6,5.01,4.01,2,0,5.01,2000,1500,1500,0.2,8000,8000,8000,2,1\r\n"
                            "\"[End]\"\r\n";

QDateTime at(int hour, int offsetSeconds)
{
    return QDateTime(QDate(2026, 12, 9), QTime(hour, 40, 5), Qt::OffsetFromUTC, offsetSeconds);
}

std::shared_ptr<FuelModel> modelOf(const FuelModelSets &sets, const QString &set, const QString &id)
{
    for (const auto &s : sets)
        if (s->Name() == set)
            for (const auto &fm : *s->FuelModels())
                if (fm->FuelModelID() == id)
                    return fm;
    return nullptr;
}

std::shared_ptr<FuelModelSet> setOf(const FuelModelSets &sets, const QString &name)
{
    for (const auto &s : sets)
        if (s->Name() == name)
            return s;
    return nullptr;
}

class Notes : public LibraryFileTest
{
protected:
    void SetUp() override
    {
        LibraryFileTest::SetUp();
        ResetLibraryNotes();
        ASSERT_TRUE(dir.isValid());
        library = dir.filePath("L.FFM");
        ASSERT_TRUE(putFile(library, kTwoSets));
        ASSERT_TRUE(ReadFMs(library, tree, nullptr));
    }
    QString notesPath() const { return NotesFilePath(library); }
    QByteArray libraryHash() const { return QCryptographicHash::hash(kTwoSets, QCryptographicHash::Sha256); }

    QTemporaryDir dir;
    QString library;
};

TEST(NotesDate, Iso8601AlwaysWithItsOffset)
{
    EXPECT_EQ(NotesDateText(at(23, 3600)), "2026-12-09T23:40:05+01:00");
    EXPECT_EQ(NotesDateText(at(23, 0)), "2026-12-09T23:40:05+00:00");
    EXPECT_EQ(NotesDateText(at(8, -(3 * 3600 + 30 * 60))), "2026-12-09T08:40:05-03:30");
    EXPECT_EQ(NotesDateText(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5), Qt::UTC)), "2026-01-02T03:04:05+00:00");
}

// A save lists exactly what changed, in the editor's order, with the old and new values.
TEST(SavedEntry, ListsExactlyTheValuesThatChanged)
{
    FuelModel before;
    before.setFuelModelID("101");
    before.setDescription("Short");
    before.setLoading1Hour(0.74);
    before.setLoadingLiveWoody(1);
    before.setSurfaceToVolume1Hour(3500);
    before.setHeatContentLiveWoody(8000);
    before.setMoistureOfExtinction(12);
    before.setBulkDensityDepth(1);
    before.setFuelCat(1);
    before.setHerbType(1);
    EXPECT_TRUE(ModelChanges(before, before).isEmpty());

    FuelModel after = before;
    after.setDescription("Short, grazed");
    after.setLoading1Hour(0.8);
    after.setLoadingLiveWoody(0.5);
    after.setHeatContentLiveWoody(9000);
    after.setMoistureOfExtinction(15);
    after.setBulkDensityDepth(1.2);
    after.setHerbType(2);
    const QList<ValueChange> changes = ModelChanges(before, after);
    const QList<ValueChange> expected = {
        {"description", QJsonValue("Short"), QJsonValue("Short, grazed")},
        {"load-1h", 0.74, 0.8},
        {"load-woody", 1.0, 0.5},
        {"heat-woody", 8000.0, 9000.0},
        {"depth", 1.0, 1.2},
        {"mx", 12.0, 15.0},
        {"herb-type", 1.0, 2.0},
    };
    EXPECT_EQ(changes, expected);

    // The ID and the carrier are values like any other; a parameter is told apart from its
    // neighbours (10-h and 100-h, live herb and live woody SA/V).
    FuelModel other = before;
    other.setFuelModelID("101b");
    other.setLoading100Hour(2);
    other.setSurfaceToVolumeLiveHerb(1800);
    other.setFuelCat(3);
    const QList<ValueChange> expectedOther = {
        {"id", QJsonValue("101"), QJsonValue("101b")},
        {"load-100h", 0.0, 2.0},
        {"sav-herb", 0.0, 1800.0},
        {"fire-carrier", 1.0, 3.0},
    };
    EXPECT_EQ(ModelChanges(before, other), expectedOther);

    const QJsonObject entry = SavedEntry(at(23, 3600), changes);
    EXPECT_EQ(entry.value("kind").toString(), "saved");
    EXPECT_EQ(entry.value("date").toString(), "2026-12-09T23:40:05+01:00");
    EXPECT_EQ(ChangesOf(entry), changes);
    EXPECT_EQ(DescribeEntry(SavedEntry(at(23, 3600), {{"load-1h", 0.74, 0.8}, {"depth", 1.0, 1.2}})),
              "2026-12-09 23:40 saved: 1-h load 0.74 -> 0.8, Fuel bed depth 1 -> 1.2");
}

TEST(HistoryEntries, EachKindSaysWhereTheModelCameFrom)
{
    EXPECT_EQ(DescribeEntry(CreatedBlankEntry(at(9, 0))), "2026-12-09 09:40 created as a new blank model");
    EXPECT_EQ(DescribeEntry(CopiedFromEntry(at(9, 0), "Orla Master", "1")),
              "2026-12-09 09:40 copied from 1 of set \"Orla Master\"");
    const QJsonObject imported = ImportedEntry(at(9, 0), "/data/models.fmd", 7, "9f86d081884c7d65");
    EXPECT_EQ(imported.value("line").toInt(), 7);
    EXPECT_EQ(DescribeEntry(imported),
              "2026-12-09 09:40 imported from /data/models.fmd, line 7 (SHA-256 9f86d081884c)");
    EXPECT_EQ(DescribeEntry(SetRenamedEntry(at(9, 0), "Grass", "Grasses")),
              "2026-12-09 09:40 set renamed from \"Grass\" to \"Grasses\"");
    CalibrationRecord record;
    record.observationsFile = "fires.csv";
    record.observationsSha256 = "abcd";
    record.fires = 40;
    record.objective = "rmse-ros";
    record.freeParameters = {"load-1h", "depth"};
    record.before = {{"rmse-ros", 12.5}};
    record.after = {{"rmse-ros", 4.25}};
    const QJsonObject calibrated = CalibratedEntry(at(9, 0), record);
    EXPECT_EQ(calibrated.value("after").toObject().value("rmse-ros").toDouble(), 4.25);
    EXPECT_EQ(calibrated.value("before").toObject().value("rmse-ros").toDouble(), 12.5);
    EXPECT_EQ(DescribeEntry(calibrated),
              "2026-12-09 09:40 calibrated against fires.csv (40 fires, rmse-ros; free: load-1h, depth)");
}

// The file's bytes, worked by hand: fixed key order, a line per set and per history entry.
TEST(NotesFileFormat, WritesTheDocumentedLayoutAndReadsItBackWhole)
{
    NotesDocument doc;
    doc.library = "L.FFM";
    doc.librarySha256 = "ab12";
    SetNotes grass;
    grass.name = "Grass";
    grass.description = "Tall grass";
    grass.owner = "Ana";
    doc.sets << grass;
    ModelNotes m;
    m.set = "Grass";
    m.id = "101";
    m.source = "Campaign \"Nord\" 2019";
    m.author = "Bo Ågren";
    m.notes = "a\nb";
    m.history << CreatedBlankEntry(at(23, 3600)) << SetRenamedEntry(at(23, 3600), "G", "Grass");
    doc.models << m;
    const QByteArray expected =
        "{\n"
        "  \"format\": \"varrow-notes\",\n"
        "  \"version\": 1,\n"
        "  \"library\": \"L.FFM\",\n"
        "  \"library-sha256\": \"ab12\",\n"
        "  \"sets\": [\n"
        "    {\"name\": \"Grass\", \"description\": \"Tall grass\", \"owner\": \"Ana\", \"notes\": \"\"}\n"
        "  ],\n"
        "  \"models\": [\n"
        "    {\n"
        "      \"set\": \"Grass\",\n"
        "      \"id\": \"101\",\n"
        "      \"source\": \"Campaign \\\"Nord\\\" 2019\",\n"
        "      \"author\": \"Bo \xc3\x85gren\",\n"
        "      \"notes\": \"a\\nb\",\n"
        "      \"history\": [\n"
        "        {\"date\": \"2026-12-09T23:40:05+01:00\", \"kind\": \"created-blank\"},\n"
        "        {\"date\": \"2026-12-09T23:40:05+01:00\", \"kind\": \"set-renamed\", \"from\": \"G\", \"to\": "
        "\"Grass\"}\n"
        "      ]\n"
        "    }\n"
        "  ],\n"
        "  \"orphan-sets\": [],\n"
        "  \"orphans\": []\n"
        "}\n";
    EXPECT_EQ(SerializeNotes(doc), expected);

    const NotesParse back = ParseNotes(expected);
    ASSERT_TRUE(back.ok) << back.problem.toStdString();
    EXPECT_EQ(back.document.models.value(0), m);
    EXPECT_EQ(back.document.sets.value(0), grass);
    EXPECT_EQ(SerializeNotes(back.document), expected);
}

// Fields and entry kinds of a later version are kept and written back; numbers keep every digit.
TEST(NotesFileFormat, KeepsWhatItDoesNotKnow)
{
    const QByteArray later =
        "{\"format\": \"varrow-notes\", \"version\": 3, \"library\": \"L.FFM\", \"colour\": \"red\",\n"
        " \"models\": [{\"id\": \"7\", \"set\": \"S\", \"rating\": 4,\n"
        "   \"history\": [{\"kind\": \"reviewed\", \"date\": \"2030-01-01T00:00:00+00:00\", \"by\": \"Cy\"},\n"
        "                {\"kind\": \"saved\", \"date\": \"2030-01-02T00:00:00+00:00\",\n"
        "                 \"changes\": [{\"field\": \"sav-1h\", \"old\": 0.1234567890123456, \"new\": 1e-7}]}]}]}";
    const NotesParse read = ParseNotes(later);
    ASSERT_TRUE(read.ok) << read.problem.toStdString();
    const NotesDocument &doc = read.document;
    EXPECT_EQ(doc.version, 3);
    EXPECT_EQ(doc.extra.value("colour").toString(), "red");
    ASSERT_EQ(doc.models.size(), 1);
    EXPECT_EQ(doc.models[0].extra.value("rating").toInt(), 4);
    EXPECT_EQ(doc.models[0].history[0].value("by").toString(), "Cy");
    const QByteArray written = SerializeNotes(doc);
    EXPECT_TRUE(written.contains("  \"version\": 3,\n  \"library\": \"L.FFM\",\n  \"library-sha256\": \"\",\n"
                                 "  \"colour\": \"red\",\n"));
    EXPECT_TRUE(written.contains("      \"rating\": 4,\n"));
    EXPECT_TRUE(written.contains("{\"date\": \"2030-01-01T00:00:00+00:00\", \"kind\": \"reviewed\", \"by\": \"Cy\"}"));
    EXPECT_TRUE(written.contains("\"old\": 0.1234567890123456, \"new\": 1e-07"));
    const NotesParse again = ParseNotes(written);
    ASSERT_TRUE(again.ok);
    EXPECT_EQ(again.document.models, doc.models);
    EXPECT_EQ(SerializeNotes(again.document), written);
}

// Files as editors and other systems leave them: CR LF or CR CR LF line ends, tabs, a byte
// order mark, keys in any order, missing sections and null fields.
TEST(NotesFileFormat, ReadsEveryLayoutAFileTakes)
{
    const QByteArray bodies[] = {
        "\xEF\xBB\xBF{\"format\":\"varrow-notes\",\"models\":[{\"id\":\"101\",\"set\":\"Grass\",\"author\":\"Ana\"}]}",
        "{\r\n\t\"models\" : [ {\r\n\t\t\"author\" : \"Ana\", \"set\":\"Grass\",\r\n\t\t\"id\" : \"101\" } ],\r\n"
        "\t\"format\" : \"varrow-notes\"\r\n}\r\n",
        "{\r\r\n\"format\": \"varrow-notes\",\r\r\n\"sets\": null,\r\r\n\"models\": [{\"id\": \"101\", \"set\": "
        "\"Grass\","
        " \"author\": \"Ana\", \"notes\": null, \"history\": null}]\r\r\n}",
        "{\"format\":\"varrow-notes\",\"version\":1,\"models\":[{\"id\":\"101\",\"set\":\"Grass\",\"author\":\"Ana\","
        "\"history\":[]}],\"orphans\":[],\"orphan-sets\":[]}",
    };
    for (const QByteArray &body : bodies) {
        const NotesParse read = ParseNotes(body);
        ASSERT_TRUE(read.ok) << body.constData() << ": " << read.problem.toStdString();
        ASSERT_EQ(read.document.models.size(), 1);
        EXPECT_EQ(read.document.models[0].id, "101");
        EXPECT_EQ(read.document.models[0].author, "Ana");
        EXPECT_TRUE(read.document.models[0].history.isEmpty());
        EXPECT_TRUE(read.document.models[0].extra.isEmpty());
    }
}

TEST(NotesFileFormat, SaysWhatIsWrongAndWhere)
{
    const NotesParse cut = ParseNotes("{\n\"format\": \"varrow-notes\",\n\"models\": [\n{\"id\": \"1\",\n");
    EXPECT_FALSE(cut.ok);
    EXPECT_EQ(cut.line, 5);
    EXPECT_TRUE(cut.problem.startsWith("it is not JSON")) << cut.problem.toStdString();

    EXPECT_EQ(ParseNotes("").problem, "the file is empty");
    EXPECT_EQ(ParseNotes(" \r\n\t").problem, "the file is empty");
    EXPECT_EQ(ParseNotes("{\"sets\": []}").problem, "it is not a notes file (no \"format\": \"varrow-notes\")");
    EXPECT_EQ(ParseNotes("[1, 2]").problem, "it is not a notes file (no \"format\": \"varrow-notes\")");
    EXPECT_EQ(ParseNotes("{\"format\": \"varrow-notes\", \"models\": {}}").problem, "\"models\" is not a list");
    EXPECT_EQ(ParseNotes("{\"format\": \"varrow-notes\", \"models\": [{\"id\": 5}]}").problem,
              "in \"models\": \"id\" is not a text");
    EXPECT_EQ(ParseNotes("{\"format\": \"varrow-notes\", \"orphans\": [{\"id\": \"5\", \"history\": [1]}]}").problem,
              "in \"orphans\": an entry of the history of model 5 is not an object");
}

// Models are found by set and ID; by ID alone when it is in one place only; else kept aside.
TEST_F(Notes, AttachFindsModelsBySetAndIdAndKeepsTheRestAsOrphans)
{
    NotesDocument doc;
    const auto note = [](const QString &set, const QString &id, const QString &text) {
        ModelNotes m;
        m.set = set;
        m.id = id;
        m.notes = text;
        return m;
    };
    doc.models << note("Grass", " 101 ", "blanks and case do not matter") // set and ID
               << note("Old", "201", "moved to Brush")                    // ID alone, in one place
               << note("Grass", "999", "gone")                            // nowhere
               << note("Grass", "101", "second entry for 101");           // 101 taken already
    doc.orphans << note("Was", "5", "an orphan stays one");
    SetNotes brush;
    brush.name = "Brush";
    brush.owner = "Ana";
    SetNotes lost;
    lost.name = "Lost";
    lost.owner = "Bo";
    doc.sets << brush << lost;

    AttachReport report;
    const LibraryNotes notes = AttachNotes(doc, *gFMSets, &report);
    ASSERT_TRUE(notes.Of(modelOf(*gFMSets, "Grass", "101").get()));
    EXPECT_EQ(notes.Of(modelOf(*gFMSets, "Grass", "101").get())->notes, "blanks and case do not matter");
    ASSERT_TRUE(notes.Of(modelOf(*gFMSets, "Brush", "201").get()));
    EXPECT_EQ(notes.Of(modelOf(*gFMSets, "Brush", "201").get())->notes, "moved to Brush");
    EXPECT_FALSE(notes.Of(modelOf(*gFMSets, "Grass", "102").get()));
    EXPECT_EQ(report.models, 2);
    EXPECT_EQ(report.moved, 1);
    EXPECT_EQ(report.orphaned, QStringList({"Grass / 999", "Grass / 101"}));
    EXPECT_EQ(report.orphanedSets, QStringList({"Lost"}));
    QStringList orphanTexts;
    for (const LibraryNotes::Orphan &o : notes.OrphanedModels(*gFMSets))
        orphanTexts << o.notes.notes;
    EXPECT_EQ(orphanTexts, QStringList({"gone", "second entry for 101", "an orphan stays one"}));
    EXPECT_EQ(notes.Of(setOf(*gFMSets, "Brush").get())->owner, "Ana");
    EXPECT_EQ(notes.OrphanedSets(*gFMSets).value(0).owner, "Bo");

    // Written again, nothing is lost: every note is in the file, in library order.
    const NotesDocument back = DetachNotes(notes, *gFMSets);
    ASSERT_EQ(back.models.size(), 2);
    EXPECT_EQ(back.models[0].id, "101");
    EXPECT_EQ(back.models[1].set, "Brush");
    EXPECT_EQ(back.orphans.size(), 3);
    EXPECT_EQ(back.sets.size(), 1);
    EXPECT_EQ(back.orphanSets.size(), 1);
}

TEST_F(Notes, CopyMoveLeaveAndAttachKeepEveryNote)
{
    const auto short101 = modelOf(*gFMSets, "Grass", "101");
    const auto tall102 = modelOf(*gFMSets, "Grass", "102");
    SetNotesClock([] { return at(10, 3600); });
    ModelNotes &n = gLibraryNotes.Edit(short101);
    n.source = "Campaign 2019";
    n.author = "Ana";
    n.notes = "grazed plots";
    n.history << CreatedBlankEntry(at(9, 3600));

    // A copy gets the texts and a history of its own that starts with where it came from.
    const auto copy = std::make_shared<FuelModel>(*short101);
    gLibraryNotes.CopyTo(short101.get(), "Grass", copy);
    const ModelNotes *copied = gLibraryNotes.Of(copy.get());
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->source, "Campaign 2019");
    EXPECT_EQ(copied->author, "Ana");
    EXPECT_EQ(copied->notes, "grazed plots");
    ASSERT_EQ(copied->history.size(), 1);
    EXPECT_EQ(copied->history[0], CopiedFromEntry(at(10, 3600), "Grass", "101"));
    EXPECT_EQ(gLibraryNotes.Of(short101.get())->history.size(), 1);

    // A model out of the library is an orphan with its place; cut and paste moves its notes.
    gFMSets->Item(1)->FuelModels()->Remove(short101->Key());
    gLibraryNotes.Leave(short101.get(), "Grass");
    QList<LibraryNotes::Orphan> orphans = gLibraryNotes.OrphanedModels(*gFMSets);
    ASSERT_EQ(orphans.size(), 2); // the copy is not in the library either
    const auto pasted = std::make_shared<FuelModel>(*short101);
    gLibraryNotes.Move(short101.get(), pasted);
    EXPECT_FALSE(gLibraryNotes.Of(short101.get()));
    EXPECT_EQ(gLibraryNotes.Of(pasted.get())->notes, "grazed plots");

    // An orphan attached to a model that has notes of its own: both texts and histories kept.
    LibraryNotes notes;
    ModelNotes read;
    read.set = "Old";
    read.id = "9";
    read.source = "Handbook table 4";
    read.notes = "older notes";
    read.history << SavedEntry(at(8, 3600), {{"depth", 1.0, 2.0}});
    notes.orphanModels << read;
    ModelNotes &own = notes.Edit(tall102);
    own.notes = "newer notes";
    own.history << CreatedBlankEntry(at(9, 3600));
    const QList<LibraryNotes::Orphan> list = notes.OrphanedModels(*gFMSets);
    ASSERT_EQ(list.size(), 1);
    ASSERT_TRUE(notes.AttachOrphan(list[0], tall102));
    EXPECT_TRUE(notes.OrphanedModels(*gFMSets).isEmpty());
    const ModelNotes *merged = notes.Of(tall102.get());
    EXPECT_EQ(merged->source, "Handbook table 4");
    EXPECT_EQ(merged->notes, "newer notes\nolder notes");
    ASSERT_EQ(merged->history.size(), 2);
    EXPECT_EQ(merged->history[0].value("kind").toString(), "saved"); // 08:40 before 09:40
    EXPECT_FALSE(notes.AttachOrphan(list[0], tall102));              // gone already

    // Empty notes are no notes: an emptied entry compares equal to none.
    LibraryNotes a, b;
    a.Edit(tall102).notes = "x";
    a.Edit(tall102).notes.clear();
    EXPECT_TRUE(a == b);
    EXPECT_TRUE(a.IsEmpty());
    b.Edit(tall102).author = "y";
    EXPECT_FALSE(a == b);
    SetNotesClock(nullptr);
}

// At start: no file, an empty file, garbage, another library's file, a library changed
// without its notes. Each is said, nothing is lost, and the library opens.
TEST_F(Notes, LoadSaysWhatItFoundAndLosesNothing)
{
    NotesLoad none = LoadNotes(library, *gFMSets);
    EXPECT_EQ(none.kind, NotesLoad::None);
    EXPECT_TRUE(none.message.isEmpty());
    EXPECT_FALSE(NotesWanted(library, none.notes));
    EXPECT_FALSE(QFile::exists(notesPath()));

    ASSERT_TRUE(putFile(notesPath(), ""));
    const NotesLoad empty = LoadNotes(library, *gFMSets);
    EXPECT_EQ(empty.kind, NotesLoad::Empty);
    EXPECT_TRUE(empty.message.contains("is empty"));
    EXPECT_FALSE(empty.writeBlocked);
    EXPECT_TRUE(NotesWanted(library, empty.notes)); // the file is there: kept in step

    const QByteArray garbage = "\x89PNG\r\n\x1a\n binary \x00\xff";
    ASSERT_TRUE(putFile(notesPath(), garbage));
    const NotesLoad bad = LoadNotes(library, *gFMSets);
    EXPECT_EQ(bad.kind, NotesLoad::Unreadable);
    EXPECT_FALSE(bad.writeBlocked);
    ASSERT_FALSE(bad.asidePath.isEmpty());
    EXPECT_EQ(fileBytes(bad.asidePath), garbage);
    EXPECT_TRUE(bad.message.contains(QDir::toNativeSeparators(bad.asidePath)));
    EXPECT_TRUE(bad.notes.IsEmpty());
    // A reader that never writes keeps nothing aside and says the file cannot be used.
    const int filesBefore = QDir(dir.path()).entryList(QDir::Files).size();
    EXPECT_TRUE(LoadNotes(library, *gFMSets, false).writeBlocked);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), filesBefore);

    const QByteArray foreign = "{\"format\": \"varrow-notes\", \"library\": \"Team.FFM\", \"models\": ["
                               "{\"set\": \"Grass\", \"id\": \"102\", \"author\": \"Team\"},"
                               "{\"set\": \"Team set\", \"id\": \"T1\", \"author\": \"Team\"}]}";
    ASSERT_TRUE(putFile(notesPath(), foreign));
    const NotesLoad other = LoadNotes(library, *gFMSets);
    EXPECT_EQ(other.kind, NotesLoad::OtherLibrary);
    EXPECT_EQ(fileBytes(other.asidePath), foreign);
    EXPECT_TRUE(other.message.contains("\"Team.FFM\"")) << other.message.toStdString();
    EXPECT_TRUE(other.message.contains("Team set / T1")) << other.message.toStdString();
    EXPECT_EQ(other.notes.Of(modelOf(*gFMSets, "Grass", "102").get())->author, "Team");
    EXPECT_EQ(other.notes.OrphanedModels(*gFMSets).size(), 1);
}

// Written and read again through the files; a library saved without its notes is noticed.
TEST_F(Notes, WrittenBesideTheLibraryAndReadBack)
{
    const auto tall = modelOf(*gFMSets, "Grass", "102");
    gLibraryNotes.Edit(tall).source = "Field campaign 2024, plot 7";
    gLibraryNotes.Record(tall, SavedEntry(at(12, 3600), {{"load-1h", 3.01, 2.5}}));
    gLibraryNotes.Edit(setOf(*gFMSets, "Brush")).description = "Shrublands of the south";
    QString error;
    ASSERT_TRUE(WriteNotes(library, libraryHash(), gLibraryNotes, *gFMSets, &error)) << error.toStdString();
    const QByteArray written = fileBytes(notesPath());
    EXPECT_TRUE(written.contains("  \"library\": \"L.FFM\",\n"));
    EXPECT_TRUE(written.contains("  \"library-sha256\": \"" + libraryHash().toHex() + "\",\n"));
    EXPECT_EQ(fileBytes(library), kTwoSets); // the library file is not touched

    const NotesLoad load = LoadNotes(library, *gFMSets);
    EXPECT_EQ(load.kind, NotesLoad::Read);
    EXPECT_TRUE(load.message.isEmpty()) << load.message.toStdString();
    EXPECT_FALSE(load.libraryChanged);
    EXPECT_TRUE(load.notes == gLibraryNotes);

    // Another program writes the library (one model less); the notes file is as it was.
    QByteArray changed = QByteArray(kTwoSets).replace(
        "\"102\",\"Tall\",2.5,3.01,0,0,0,0,1500,1500,1500,0.25,8000,8000,8000,1,1\r\n", "");
    ASSERT_TRUE(putFile(library, changed.replace("Count:2", "Count:1")));
    ResetProgramState();
    tree.Clear();
    ASSERT_TRUE(ReadFMs(library, tree, nullptr));
    const NotesLoad after = LoadNotes(library, *gFMSets);
    EXPECT_TRUE(after.libraryChanged);
    EXPECT_TRUE(after.message.contains("changed after its notes were last saved")) << after.message.toStdString();
    EXPECT_TRUE(after.message.contains("Grass / 102"));
    ASSERT_EQ(after.notes.OrphanedModels(*gFMSets).size(), 1);
    EXPECT_EQ(after.notes.OrphanedModels(*gFMSets)[0].notes.source, "Field campaign 2024, plot 7");
}

} // namespace

// A set's notes read from the file for a set gone, and a set deleted in this run: both listed,
// each attached (its texts merged with what the set has) or deleted once, never twice.
TEST_F(Notes, OrphanedSetNotesAreAttachedOrDeleted)
{
    const auto grass = setOf(*gFMSets, "Grass");
    const auto brush = setOf(*gFMSets, "Brush");
    LibraryNotes notes;
    SetNotes read;
    read.name = "Old shrubs";
    read.description = "Shrubs of 2019";
    read.owner = "Bo";
    notes.orphanSets << read;
    notes.Edit(grass).notes = "grass notes";
    notes.Edit(brush).description = "Chaparral";
    notes.Edit(brush).notes = "brush notes";

    // Brush leaves the library (deleted): its notes are orphaned under its name.
    FuelModelSets without;
    without.Append(grass, QStringLiteral("g"));
    QList<LibraryNotes::OrphanSet> list = notes.OrphanedSetEntries(without);
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[0].notes.name, "Old shrubs");
    EXPECT_EQ(list[0].set, nullptr);
    EXPECT_EQ(list[1].notes.name, "Brush");
    EXPECT_EQ(list[1].set, brush.get());
    // The file lists them under the name they had.
    const NotesDocument doc = DetachNotes(notes, without);
    ASSERT_EQ(doc.orphanSets.size(), 2);
    EXPECT_EQ(doc.orphanSets[1].name, "Brush");

    ASSERT_TRUE(notes.AttachOrphanSet(list[0], grass));
    const SetNotes *merged = notes.Of(grass.get());
    EXPECT_EQ(merged->description, "Shrubs of 2019");
    EXPECT_EQ(merged->owner, "Bo");
    EXPECT_EQ(merged->notes, "grass notes");             // the orphan had none: nothing appended
    EXPECT_FALSE(notes.AttachOrphanSet(list[0], grass)); // taken already
    EXPECT_TRUE(notes.orphanSets.isEmpty());

    list = notes.OrphanedSetEntries(without);
    ASSERT_EQ(list.size(), 1);
    EXPECT_FALSE(notes.AttachOrphanSet(list[0], brush)); // not onto itself
    ASSERT_TRUE(notes.DeleteOrphanSet(list[0]));
    EXPECT_FALSE(notes.DeleteOrphanSet(list[0]));
    EXPECT_TRUE(notes.OrphanedSetEntries(without).isEmpty());
    EXPECT_FALSE(notes.Of(brush.get()));
}

// An export keeps the number each model has in the custom model file, the file and its sum.
TEST(HistoryEntries, AnExportKeepsTheModelsNumberAndCode)
{
    const QJsonObject e = ExportedEntry(at(9, 0), "/runs/fuels.fmd", 142, "GR2x", "5e884898da28");
    EXPECT_EQ(e.value("kind").toString(), "exported");
    EXPECT_EQ(e.value("number").toInt(), 142);
    EXPECT_EQ(e.value("code").toString(), "GR2x");
    EXPECT_EQ(e.value("sha256").toString(), "5e884898da28");
    EXPECT_EQ(DescribeEntry(e), "2026-12-09 09:40 exported to /runs/fuels.fmd as model number 142 (code GR2x)");
    EXPECT_FALSE(ExportedEntry(at(9, 0), "f.fmd", 7, "", "aa").contains("code"));
    // One line in the file, the documented keys first, the others in alphabetical order.
    ModelNotes m;
    m.set = "S";
    m.id = "1";
    m.history << e;
    NotesDocument doc;
    doc.models << m;
    EXPECT_TRUE(SerializeNotes(doc).contains(
        "        {\"date\": \"2026-12-09T09:40:05+00:00\", \"kind\": \"exported\", \"file\": \"/runs/fuels.fmd\", "
        "\"sha256\": \"5e884898da28\", \"code\": \"GR2x\", \"number\": 142}\n"));
}

// A calibration of fires typed into the window names no file, and its objective before and
// after is in the line people read; tied loads are written.
TEST(HistoryEntries, ACalibrationWithoutAFileSaysSo)
{
    CalibrationRecord record;
    record.observationsSha256 = "0123456789abcdef";
    record.fires = 3;
    record.objective = "log";
    record.freeParameters = {"load-1h", "load-10h"};
    record.tiedLoads = true;
    record.before = {{"objective", 0.52}};
    record.after = {{"objective", 0.031}};
    const QJsonObject e = CalibratedEntry(at(9, 0), record);
    EXPECT_TRUE(e.value("tied-loads").toBool());
    EXPECT_EQ(DescribeEntry(e),
              "2026-12-09 09:40 calibrated against fires typed or pasted, SHA-256 0123456789ab "
              "(3 fires, log; free: load-1h, load-10h), objective 0.52 -> 0.031");
    record.tiedLoads = false;
    EXPECT_FALSE(CalibratedEntry(at(9, 0), record).contains("tied-loads"));
}
