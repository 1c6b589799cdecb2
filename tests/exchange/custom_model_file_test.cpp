#include "exchange/CustomModelFile.h"
#include "exchange/ExportNumbers.h"

#include "library/DefaultLibrary.h"
#include "library/LibraryFile.h"
#include "library/MemoryTree.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::shared_ptr<FuelModel> model(const QString &id, const QString &description)
{
    auto m = std::make_shared<FuelModel>();
    m->setFuelModelID(id);
    m->setDescription(description);
    m->setLoading1Hour(1);
    m->setLoading10Hour(0.5);
    m->setLoading100Hour(0.25);
    m->setLoadingLiveHerb(2);
    m->setLoadingLiveWoody(0);
    m->setSurfaceToVolume1Hour(3000);
    m->setSurfaceToVolumeLiveHerb(1800);
    m->setSurfaceToVolumeLiveWoody(1500);
    m->setHeatContentDead(8000);
    m->setHeatContentLiveHerb(8000);
    m->setHeatContentLiveWoody(8000);
    m->setBulkDensityDepth(1.5);
    m->setMoistureOfExtinction(25);
    m->setHerbType(2);
    m->setFuelCat(1);
    return m;
}

QList<FmdExportItem> items(const QList<std::shared_ptr<FuelModel>> &models)
{
    QList<FmdExportItem> out;
    for (const auto &m : models)
        out << FmdExportItem{m, QStringLiteral("Mine"), 0, {}};
    return out;
}

QList<std::shared_ptr<FuelModel>> standardModels()
{
    MemoryTree tree;
    const LibraryReadResult read = ReadLibrary(DefaultLibraryBytes(), tree);
    QList<std::shared_ptr<FuelModel>> out;
    for (const auto &m : *read.sets->Item(1)->FuelModels())
        out << m;
    return out;
}

bool mentions(const QStringList &list, const QString &a, const QString &b = {})
{
    for (const QString &s : list)
        if (s.contains(a) && s.contains(b))
            return true;
    return false;
}

} // namespace

TEST(CustomModelNumbers, OnlyNumbersOutsideTheStandardAndReservedBlocksWithin1To256)
{
    for (int n : {14, 50, 89, 100, 220, 256})
        EXPECT_TRUE(FmdNumberProblem(n).isEmpty()) << n;
    for (int n : {0, -3, 1, 13, 90, 95, 99, 101, 150, 219, 257})
        EXPECT_FALSE(FmdNumberProblem(n).isEmpty()) << n;
    EXPECT_TRUE(FmdCodeProblem(QStringLiteral("GR2abcd")).isEmpty());
    EXPECT_FALSE(FmdCodeProblem(QStringLiteral("GR2abcde")).isEmpty()); // 8 characters
    EXPECT_FALSE(FmdCodeProblem(QStringLiteral("GR 2")).isEmpty());
    EXPECT_FALSE(FmdCodeProblem(QString()).isEmpty());
}

TEST(CustomModelExport, ProposesTheIDsNumberThenRememberedThenFreeNumbersFrom14)
{
    // "45" is its own number; "3" is a standard model's and "GRx" no number at all; "Tuned A"
    // has a remembered number; 14 is taken by the model whose ID is "14".
    const auto proposed = ProposeFmdExport(
        items({model("45", "a"), model("3", "b"), model("GRx", "c"), model("Tuned A", "d"), model("14", "e")}),
        [](const QString &, const FuelModel &m) { return m.FuelModelID() == QLatin1String("Tuned A") ? 60 : 0; });
    ASSERT_EQ(proposed.size(), 5);
    EXPECT_EQ(proposed[0].number, 45);
    EXPECT_EQ(proposed[1].number, 15);
    EXPECT_EQ(proposed[2].number, 16);
    EXPECT_EQ(proposed[3].number, 60);
    EXPECT_EQ(proposed[4].number, 14);
    EXPECT_EQ(proposed[3].code, QStringLiteral("Tuned_A"));
    EXPECT_TRUE(CheckFmdExport(proposed).ok());
}

TEST(CustomModelExport, RefusesClashesAndBadCodesAndWarnsOfTwoLiveHeatContents)
{
    auto a = model("A1", "first");
    auto b = model("B1", "second");
    b->setHeatContentLiveWoody(9000);
    b->setLoadingLiveWoody(3); // more woody than herb load: the woody value is written
    auto c = model("C1", "third");
    QList<FmdExportItem> list = items({a, b, c});
    list[0].number = 20;
    list[0].code = QStringLiteral("A1");
    list[1].number = 20; // clash with A1
    list[1].code = QStringLiteral("B1");
    list[2].number = 105; // a standard model's
    list[2].code = QStringLiteral("CODE2LONG");
    const FmdExportCheck check = CheckFmdExport(list);
    EXPECT_TRUE(mentions(check.errors, QStringLiteral("\"B1\""), QStringLiteral("20")));
    EXPECT_TRUE(mentions(check.errors, QStringLiteral("\"C1\""), QStringLiteral("105")));
    EXPECT_TRUE(mentions(check.errors, QStringLiteral("\"C1\""), QStringLiteral("longer than 7")));
    for (const QString &e : check.errors)
        EXPECT_FALSE(e.startsWith(QStringLiteral("\"A1\""))) << e.toStdString();
    ASSERT_EQ(check.warnings.size(), 1);
    EXPECT_TRUE(check.warnings[0].contains(QStringLiteral("\"B1\"")));
    EXPECT_TRUE(check.warnings[0].contains(QStringLiteral("woody value, 9000 btu/lb")));
    EXPECT_EQ(FmdLiveHeatContent(*b), 9000);
    b->setLoadingLiveWoody(2); // equal loads: the herb's
    EXPECT_EQ(FmdLiveHeatContent(*b), 8000);

    // A parameter that is no number is refused, the extinction moisture (the last one checked) too.
    auto broken = model("NAN", "broken");
    broken->setMoistureOfExtinction(std::nan(""));
    QList<FmdExportItem> one = items({broken});
    one[0].number = 30;
    one[0].code = QStringLiteral("NAN");
    EXPECT_TRUE(mentions(CheckFmdExport(one).errors, QStringLiteral("\"NAN\""), QStringLiteral("not a finite number")));
}

TEST(CustomModelExport, WritesTheFieldsInTheFilesOrderInBothUnitSystems)
{
    auto m = model("GRx", "Tuned grass");
    m->setHeatContentLiveWoody(8000);
    QList<FmdExportItem> list = items({m});
    list[0].number = 42;
    list[0].code = QStringLiteral("GRx");
    EXPECT_EQ(WriteFmd(list, FmdUnits::English),
              QByteArray("ENGLISH\r\n42 GRx 1 0.5 0.25 2 0 dynamic 3000 1800 1500 1.5 25 8000 8000 Tuned grass\r\n"));
    // Worked apart: 1 t/ac = 0.90718474 t / 0.40468564224 ha = 2.2417023124 t/ha; 3000 1/ft / 30.48 =
    // 98.42519685 1/cm; 1.5 ft = 45.72 cm; 8000 btu/lb x 2.326 = 18608 kJ/kg.
    EXPECT_EQ(WriteFmd(list, FmdUnits::Metric).toStdString(),
              std::string("METRIC\r\n42 GRx 2.241702312 1.120851156 0.5604255781 4.483404625 0 dynamic 98.42519685 "
                          "59.05511811 49.21259843 45.72 25 18608 18608 Tuned grass\r\n"));
}

// A model without dead fuel makes the simulators refuse the whole file: refused by name.
// A 300-character name would make them lose every model after its line: cut so that every line
// keeps within 254 characters in either unit system, and said.
TEST(CustomModelExport, RefusesAModelWithoutDeadFuelAndCutsNamesToTheLongestLine)
{
    auto live = model("LIVE", "only live fuel");
    live->setLoading1Hour(0);
    live->setLoading10Hour(0);
    live->setLoading100Hour(0);
    auto longName = model("LONG", QString(300, QLatin1Char('n')));
    auto fine = model("FINE", "short name");
    QList<FmdExportItem> list = items({live, longName, fine});
    for (int i = 0; i < 3; ++i) {
        list[i].number = 40 + i;
        list[i].code = list[i].model->FuelModelID();
    }
    const FmdExportCheck refused = CheckFmdExport(list);
    ASSERT_EQ(refused.errors.size(), 1);
    EXPECT_TRUE(refused.errors[0].startsWith(QStringLiteral("\"LIVE\"")));
    EXPECT_TRUE(refused.errors[0].contains(QStringLiteral("no dead fuel")));

    list.removeFirst();
    for (FmdUnits units : {FmdUnits::English, FmdUnits::Metric}) {
        const FmdExportCheck check = CheckFmdExport(list, units);
        ASSERT_TRUE(check.ok());
        EXPECT_TRUE(mentions(check.warnings, QStringLiteral("\"LONG\""), QStringLiteral("cut")));
        EXPECT_FALSE(mentions(check.warnings, QStringLiteral("\"FINE\"")));
        const QList<QByteArray> lines = WriteFmd(list, units).split('\n');
        ASSERT_EQ(lines.size(), 4); // units line, two models, the empty rest
        for (const QByteArray &line : lines)
            EXPECT_LE(line.size() - (line.endsWith('\r') ? 1 : 0), 254) << line.constData();
        // The long line is filled to the limit exactly, and reads back with its cut name.
        EXPECT_EQ(lines[1].size(), 255);
        const FmdImport back = ReadFmd(WriteFmd(list, units));
        ASSERT_EQ(back.models.size(), 2);
        EXPECT_TRUE(QString(300, QLatin1Char('n')).startsWith(back.models[0]->Description()));
        EXPECT_GT(back.models[0]->Description().size(), 100);
        EXPECT_EQ(back.models[1]->Description(), QStringLiteral("short name"));
    }
}

// The heat content warning speaks the units the program shows: 9000 btu/lb = 20934 kJ/kg.
TEST(CustomModelExport, WarningsInTheShownUnits)
{
    auto b = model("B1", "second");
    b->setHeatContentLiveWoody(9000);
    b->setLoadingLiveWoody(3);
    QList<FmdExportItem> list = items({b});
    list[0].number = 20;
    list[0].code = QStringLiteral("B1");
    const FmdExportCheck check = CheckFmdExport(list, FmdUnits::English, Units::System::Metric);
    ASSERT_EQ(check.warnings.size(), 1);
    EXPECT_TRUE(check.warnings[0].contains(QStringLiteral("woody value, 20934 kJ/kg")))
        << check.warnings[0].toStdString();
    EXPECT_FALSE(check.warnings[0].contains(QStringLiteral("btu")));
}

// An imported model's number is its identity in the simulators' project: remembered at import,
// proposed at export, so that a round trip gives the same numbers back.
TEST(CustomModelRoundTrip, ImportedNumbersComeBackAtExport)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QSettings settings(dir.filePath(QStringLiteral("numbers.ini")), QSettings::IniFormat);
    const FmdImport imported = ReadFmd("28 GRa 0.5 0 0 1 0 D 2000 1800 1500 1 15 8000 8000 a\n"
                                       "29 GRb 0.5 0 0 1 0 D 2000 1800 1500 1 15 8000 8000 b\n"
                                       "30 GRc 0.5 0 0 1 0 D 2000 1800 1500 1 15 8000 8000 c\n");
    ASSERT_EQ(imported.models.size(), 3);
    ExportNumberMemory memory(settings);
    memory.remember(QStringLiteral("From sim"), imported.models, imported.numbers);
    QList<FmdExportItem> list;
    for (const auto &m : imported.models)
        list << FmdExportItem{m, QStringLiteral("From sim"), 0, {}};
    const auto proposed = ProposeFmdExport(list, memory.lookup());
    ASSERT_TRUE(CheckFmdExport(proposed).ok());
    const FmdImport back = ReadFmd(WriteFmd(proposed, FmdUnits::English));
    EXPECT_EQ(back.numbers, (QList<int>{28, 29, 30}));
    // Another set's models of the same IDs are not given those numbers.
    for (FmdExportItem &item : list)
        item.setName = QStringLiteral("Other");
    EXPECT_EQ(ProposeFmdExport(list, memory.lookup()).first().number, 14);
}

TEST(CustomModelRoundTrip, EveryStandardModelComesBackInBothUnitSystems)
{
    const auto standard = standardModels();
    ASSERT_EQ(standard.size(), 53);
    const auto list = ProposeFmdExport(items(standard), {});
    ASSERT_TRUE(CheckFmdExport(list).ok());
    for (FmdUnits units : {FmdUnits::English, FmdUnits::Metric}) {
        const FmdImport back = ReadFmd(WriteFmd(list, units));
        ASSERT_EQ(back.models.size(), 53) << back.reportText().toStdString();
        EXPECT_EQ(back.count(FmdLineOutcome::Taken), 53);
        for (int i = 0; i < 53; ++i) {
            const FuelModel &a = *standard[i];
            const FuelModel &b = *back.models[i];
            SCOPED_TRACE(a.Description().toStdString());
            EXPECT_EQ(back.numbers[i], list[i].number);
            EXPECT_EQ(b.FuelModelID(), a.FuelModelID());
            EXPECT_EQ(b.Description(), a.Description());
            EXPECT_EQ(b.HerbType(), a.HerbType());
            const double pairs[][2] = {{a.Loading1Hour(), b.Loading1Hour()},
                                       {a.Loading10Hour(), b.Loading10Hour()},
                                       {a.Loading100Hour(), b.Loading100Hour()},
                                       {a.LoadingLiveHerb(), b.LoadingLiveHerb()},
                                       {a.LoadingLiveWoody(), b.LoadingLiveWoody()},
                                       {a.SurfaceToVolume1Hour(), b.SurfaceToVolume1Hour()},
                                       {a.SurfaceToVolumeLiveHerb(), b.SurfaceToVolumeLiveHerb()},
                                       {a.SurfaceToVolumeLiveWoody(), b.SurfaceToVolumeLiveWoody()},
                                       {a.BulkDensityDepth(), b.BulkDensityDepth()},
                                       {a.MoistureOfExtinction(), b.MoistureOfExtinction()},
                                       {a.HeatContentDead(), b.HeatContentDead()},
                                       {a.HeatContentLiveHerb(), b.HeatContentLiveHerb()},
                                       {a.HeatContentLiveWoody(), b.HeatContentLiveWoody()}};
            // The file's own precision: ten significant digits.
            for (const auto &p : pairs)
                EXPECT_NEAR(p[1], p[0], std::fabs(p[0]) * 1e-9);
        }
    }
}

const FmdLineReport &lineReport(const FmdImport &r, int n)
{
    for (const FmdLineReport &l : r.lines)
        if (l.line == n)
            return l;
    ADD_FAILURE() << "no report for line " << n;
    return r.lines[0];
}

QString reasonsOf(const FmdImport &r, int n)
{
    return lineReport(r, n).reasons.join(QLatin1Char(' '));
}

TEST(CustomModelImport, ReportsEveryLineByNumberAndKeepsOnlyGoodOnes)
{
    const QByteArray file = "english\n"
                            "\n"
                            "20 GRa 0.1 0 0 1 0 dynamic 2200 2000 1500 1 15 8000 8000 Short grass\n"
                            "5 FM5x 1 0.5 0 0 2 static 2000 1500 1500 2 20 8000 8000 standard number\n"
                            "21 SHb 1 0.5 0 0 2 woody 2000 1500 1500 2 20 8000 8000 odd type\n"
                            "22 TUc 1 0.5 0 0 2 static 2000\n"
                            "23 TOOLONGCODE 1 0 0 0 0 static 2000 1500 1500 1 20 8000 8000 long code\n"
                            "20 GRd 0.1 0 0 1 0 dynamic 2200 2000 1500 1 15 8000 8000 same number\n"
                            "24.4 TLe 1 0 0 0 0 static 2000 1500 1500 1 3 8000 8000 needs changes\n"
                            "25 GRa 1 0 0 0 0 static 2000 1500 1500 1 20 8000 8000 same code\n"
                            "26 SBf 1 x 0 0 0 static 2000 1500 1500 1 20 8000 8000 not a number\n"
                            "27 SBg 0 0 0 0 0 static 2000 1500 1500 1 20 8000 8000\n"
                            "28 SBh 1 0 0 0 0 static 2000 1500 1500 8 20 8000 8000 \"quoted\"\n";
    const FmdImport r = ReadFmd(file);
    EXPECT_EQ(r.units, FmdUnits::English);
    ASSERT_EQ(r.lines.size(), 11); // the units line and the blank line are not models
    EXPECT_EQ(lineReport(r, 3).outcome, FmdLineOutcome::Taken);
    for (int n : {4, 6, 8, 11, 12})
        EXPECT_EQ(lineReport(r, n).outcome, FmdLineOutcome::Refused) << n;
    for (int n : {5, 7, 9, 10, 13})
        EXPECT_EQ(lineReport(r, n).outcome, FmdLineOutcome::Changed) << n;
    EXPECT_TRUE(reasonsOf(r, 4).contains(QStringLiteral("standard")));
    // "woody" holds a d: the simulators read it as dynamic.
    EXPECT_TRUE(reasonsOf(r, 5).contains(QStringLiteral("\"woody\" read as dynamic")));
    EXPECT_TRUE(reasonsOf(r, 7).contains(QStringLiteral("\"TOOLONG\"")));
    EXPECT_TRUE(reasonsOf(r, 8).contains(QStringLiteral("line 3")));
    // The same code as line 3: taken under a free ID.
    EXPECT_TRUE(reasonsOf(r, 10).contains(QStringLiteral("already given on line 3")));
    EXPECT_TRUE(reasonsOf(r, 12).contains(QStringLiteral("no fuel")));
    // Line 9: the number rounded, the moisture of extinction raised to the editor's 5 %.
    EXPECT_TRUE(reasonsOf(r, 9).contains(QStringLiteral("rounded to 24")));
    EXPECT_TRUE(reasonsOf(r, 9).contains(QStringLiteral("3 % clamped to 5 %")));
    ASSERT_EQ(r.models.size(), 6);
    const QStringList ids = {"GRa", "SHb", "TOOLONG", "TLe", "GRa_2", "SBh"};
    const QList<int> numbers = {20, 21, 23, 24, 25, 28};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(r.models[i]->FuelModelID(), ids[i]);
        EXPECT_EQ(r.numbers[i], numbers[i]);
    }
    EXPECT_EQ(r.models[0]->Description(), QStringLiteral("Short grass"));
    EXPECT_EQ(r.models[0]->HerbType(), 2);
    EXPECT_EQ(r.models[0]->FuelCat(), 1);
    EXPECT_EQ(r.models[1]->HerbType(), 2);
    EXPECT_EQ(r.models[3]->MoistureOfExtinction(), 5);
    // "TLe" is no standard-like code: 1 t/ac of fine 1-h fuel in a 1 ft bed is grass.
    EXPECT_EQ(r.models[3]->FuelCat(), 1);
    EXPECT_EQ(r.models[5]->BulkDensityDepth(), 6);
    EXPECT_EQ(r.models[5]->Description(), QStringLiteral("'quoted'"));
    EXPECT_TRUE(r.reportText().contains(QStringLiteral("Line 4: refused (5 FM5x)")));
}

// A file in the shapes real ones take: no units line, tabs and runs of blanks between fields,
// CR CR LF line ends, the type as S, D, Static, DYNAMIC or another word, codes longer than 7
// characters, several models sharing one code, and a line of the older 13-number form.
TEST(CustomModelImport, ReadsTheShapesRealFilesTakeAsTheSimulatorsDo)
{
    const QByteArray file =
        "14\tcheat\t0.5\t0.2\t0\t1.2\t0\tD\t2500\t2200\t1500\t0.8\t20\t8000\t8000\tcheatgrass early\r\r\n"
        "15  cheat  0.5 0.2 0 1.2 0 d 2500 2200 1500 0.8 20 8000 8000 cheatgrass mid\r\r\n"
        "16 cheat 0.5 0.2 0 1.2 0 DYNAMIC 2500 2200 1500 0.8 20 8000 8000 cheatgrass late\r\r\n"
        "17 BasicCheat 1 0 0 0 2 S 2000 1500 1600 2 25 8500 9000 basic\r\r\n"
        "18 greenstrip 0.2 0 0 0.5 0 Static 2000 1800 1500 0.5 15 8000 8000 green strip\r\r\n"
        "19 2.250 1.500 3.710 0.000 1.000 2000 1800 1500 0.600 25 8000 8000\r\r\n"
        "30 odd 1 0 0 0 0 x 2000 1500 1500 1 20 8000 8000 other token\r\r\n"
        "31 odder 1 0 0 1 0 Bad 2000 1500 1500 1 20 8000 8000 another token\r\r\n";
    const FmdImport r = ReadFmd(file);
    EXPECT_EQ(r.units, FmdUnits::English);
    EXPECT_FALSE(r.unitsLineFound);
    ASSERT_EQ(r.lines.size(), 8) << r.reportText().toStdString();
    ASSERT_EQ(r.models.size(), 8) << r.reportText().toStdString();
    // Line numbers as an editor shows them: one line for each CR CR LF.
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(r.lines[i].line, i + 1);

    // The shared code: all three taken, each under an ID of its own.
    EXPECT_EQ(r.models[0]->FuelModelID(), QStringLiteral("cheat"));
    EXPECT_EQ(r.models[1]->FuelModelID(), QStringLiteral("cheat_2"));
    EXPECT_EQ(r.models[2]->FuelModelID(), QStringLiteral("cheat_3"));
    EXPECT_EQ(r.lines[0].outcome, FmdLineOutcome::Taken);
    EXPECT_EQ(r.lines[1].outcome, FmdLineOutcome::Changed);
    EXPECT_TRUE(reasonsOf(r, 3).contains(QStringLiteral("\"cheat_3\"")));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(r.models[i]->HerbType(), 2) << i;
        EXPECT_EQ(r.numbers[i], 14 + i);
    }
    EXPECT_EQ(r.models[0]->Description(), QStringLiteral("cheatgrass early"));
    EXPECT_EQ(r.models[0]->SurfaceToVolumeLiveHerb(), 2200);

    // Long codes cut to 7 characters, the line changed; S and Static are static.
    EXPECT_EQ(r.models[3]->FuelModelID(), QStringLiteral("BasicCh"));
    EXPECT_EQ(r.models[4]->FuelModelID(), QStringLiteral("greenst"));
    EXPECT_EQ(r.lines[3].outcome, FmdLineOutcome::Changed);
    EXPECT_TRUE(reasonsOf(r, 4).contains(QStringLiteral("\"BasicCheat\" cut")));
    EXPECT_EQ(r.models[3]->HerbType(), 1);
    EXPECT_EQ(r.models[4]->HerbType(), 1);
    EXPECT_EQ(r.models[3]->HeatContentDead(), 8500);
    EXPECT_EQ(r.models[3]->HeatContentLiveHerb(), 9000);
    EXPECT_EQ(r.models[3]->HeatContentLiveWoody(), 9000);

    // The older form: number, five loads, three SA/V, depth, mx, dead and live heat.
    const FuelModel &old = *r.models[5];
    EXPECT_EQ(r.lines[5].outcome, FmdLineOutcome::Taken);
    EXPECT_TRUE(reasonsOf(r, 6).contains(QStringLiteral("older form")));
    EXPECT_EQ(r.numbers[5], 19);
    EXPECT_EQ(old.FuelModelID(), QStringLiteral("19"));
    EXPECT_EQ(old.HerbType(), 1);
    EXPECT_EQ(old.Loading1Hour(), 2.25);
    EXPECT_EQ(old.Loading10Hour(), 1.5);
    EXPECT_EQ(old.Loading100Hour(), 3.71);
    EXPECT_EQ(old.LoadingLiveHerb(), 0);
    EXPECT_EQ(old.LoadingLiveWoody(), 1);
    EXPECT_EQ(old.SurfaceToVolume1Hour(), 2000);
    EXPECT_EQ(old.SurfaceToVolumeLiveHerb(), 1800);
    EXPECT_EQ(old.SurfaceToVolumeLiveWoody(), 1500);
    EXPECT_EQ(old.BulkDensityDepth(), 0.6);
    EXPECT_EQ(old.MoistureOfExtinction(), 25);
    EXPECT_EQ(old.HeatContentDead(), 8000);
    EXPECT_EQ(old.HeatContentLiveWoody(), 8000);

    // Any other type word: read as the simulators read it, the line changed and saying so.
    EXPECT_EQ(r.models[6]->HerbType(), 1);
    EXPECT_EQ(r.lines[6].outcome, FmdLineOutcome::Changed);
    EXPECT_TRUE(reasonsOf(r, 7).contains(QStringLiteral("\"x\" read as static")));
    EXPECT_EQ(r.models[7]->HerbType(), 2);
    EXPECT_TRUE(reasonsOf(r, 8).contains(QStringLiteral("\"Bad\" read as dynamic")));
}

// IDs are unique across the library: an ID another set has is replaced by a free one, said.
TEST(CustomModelImport, EveryModelGetsAnIdFreeInTheWholeLibrary)
{
    const QStringList library = {"CHEAT", "19", "cheat_2"};
    const auto taken = [&](const QString &id) { return library.contains(id.toUpper(), Qt::CaseInsensitive); };
    const FmdImport r = ReadFmd("ENGLISH\r\n"
                                "14 cheat 0.5 0.2 0 1.2 0 D 2500 2200 1500 0.8 20 8000 8000 a\r\n"
                                "15 cheat 0.5 0.2 0 1.2 0 D 2500 2200 1500 0.8 20 8000 8000 b\r\n"
                                "19 2.250 1.500 3.710 0.000 1.000 2000 1800 1500 0.600 25 8000 8000\r\n"
                                "20 GRz 0.5 0 0 1 0 D 2000 1800 1500 1 15 8000 8000 c\r\n",
                                taken);
    ASSERT_EQ(r.models.size(), 4);
    EXPECT_EQ(r.models[0]->FuelModelID(), QStringLiteral("cheat_3"));
    EXPECT_EQ(r.models[1]->FuelModelID(), QStringLiteral("cheat_4"));
    EXPECT_EQ(r.models[2]->FuelModelID(), QStringLiteral("19_2"));
    EXPECT_EQ(r.models[3]->FuelModelID(), QStringLiteral("GRz"));
    EXPECT_TRUE(reasonsOf(r, 2).contains(QStringLiteral("taken in the library")));
    EXPECT_EQ(r.lines[0].outcome, FmdLineOutcome::Changed);
    EXPECT_EQ(r.lines[3].outcome, FmdLineOutcome::Taken);
    // A long ID keeps within 7 characters with its suffix.
    EXPECT_EQ(FreeModelID(QStringLiteral("BasicCh"), [](const QString &id) { return id == QLatin1String("BasicCh"); }),
              QStringLiteral("Basic_2"));
}

// A metric file's report speaks the file's units: 200 t/ha is above the editor's 30.49 t/ac,
// which is 30.49 x 2.241702312 = 68.35 t/ha.
TEST(CustomModelImport, AMetricFilesReportSpeaksItsUnits)
{
    const FmdImport r = ReadFmd("METRIC\n30 A 200 0 0 0 0 static 98.42519685 49.21259843 49.21259843 "
                                "30.48 20 18608 18608 heavy\n");
    ASSERT_EQ(r.models.size(), 1);
    EXPECT_DOUBLE_EQ(r.models[0]->Loading1Hour(), 30.49);
    const QString reasons = reasonsOf(r, 2);
    EXPECT_TRUE(reasons.contains(QStringLiteral("the 1-h load 200 t/ha clamped to 68.35 t/ha")))
        << reasons.toStdString();
    EXPECT_TRUE(reasons.contains(QStringLiteral("0 to 68.35 t/ha")));
    EXPECT_FALSE(reasons.contains(QStringLiteral("t/ac")));
}

// The fire carrier as an analyst would guess it from the fuel, against the carriers the
// published standard models have (their codes taken away, so that only the fuel tells).
TEST(CustomModelImport, FireCarrierGuessedFromTheFuel)
{
    const QHash<QString, double> published = {
        {"FM1", 1}, {"FM3", 1}, {"FM4", 2}, {"FM5", 2}, {"FM8", 3}, {"FM9", 3}, {"FM11", 4}, {"FM12", 4}, {"FM13", 4},
        {"GR1", 1}, {"GR9", 1}, {"SH5", 2}, {"SH9", 2}, {"TL1", 3}, {"TL8", 3}, {"SB1", 4},  {"SB4", 4},  {"GS2", 1}};
    int checked = 0;
    for (const auto &m : standardModels()) {
        const QString name = m->Description().section(QLatin1Char(' '), 0, 0); // "FM1 Short grass (1 ft)"
        const auto it = published.constFind(name);
        if (it == published.constEnd())
            continue;
        ++checked;
        const double expected = it.value();
        // GS2 has more woody than herb load: only its code tells it is grass-shrub.
        const QString code = name == QLatin1String("GS2") ? name : QStringLiteral("x");
        EXPECT_EQ(GuessFuelCat(code, *m).fuelCat, expected) << name.toStdString();
    }
    EXPECT_EQ(checked, published.size());
    // The grass model with only 1-h load is grass, and the report says the carrier was guessed.
    const FmdImport r = ReadFmd("40 short 0.74 0 0 0 0 static 3500 1500 1500 1 12 8000 8000 short grass\n");
    ASSERT_EQ(r.models.size(), 1);
    EXPECT_EQ(r.models[0]->FuelCat(), 1);
    EXPECT_TRUE(reasonsOf(r, 1).contains(QStringLiteral("fire carrier guessed: 1 - Grass")));
}

TEST(CustomModelImport, MetricHeatContentIsJoulesOrKilojoulesByItsMagnitude)
{
    // 18608 kJ/kg and 18,608,000 J/kg are both 8000 btu/lb; 20 cm is 0.656168 ft.
    const FmdImport kj = ReadFmd("METRIC\n30 A 2.241702312 0 0 0 0 static 98.42519685 49.21259843 49.21259843 "
                                 "30.48 20 18608 18608 kJ\n");
    const FmdImport j = ReadFmd("METRIC\n30 A 2.241702312 0 0 0 0 static 98.42519685 49.21259843 49.21259843 "
                                "30.48 20 18608000 18608000 J\n");
    for (const FmdImport *r : {&kj, &j}) {
        ASSERT_EQ(r->models.size(), 1) << r->reportText().toStdString();
        EXPECT_DOUBLE_EQ(r->models[0]->HeatContentDead(), 8000);
        EXPECT_DOUBLE_EQ(r->models[0]->HeatContentLiveWoody(), 8000);
        EXPECT_DOUBLE_EQ(r->models[0]->Loading1Hour(), 1);
        EXPECT_DOUBLE_EQ(r->models[0]->SurfaceToVolume1Hour(), 3000);
        EXPECT_DOUBLE_EQ(r->models[0]->BulkDensityDepth(), 1);
    }
    EXPECT_TRUE(kj.reportText().contains(QStringLiteral("read as kJ/kg")));
    EXPECT_TRUE(j.reportText().contains(QStringLiteral("read as J/kg")));
    // No units line: English, and the report says it was assumed.
    const FmdImport english = ReadFmd("30 A 1 0 0 0 0 static 3000 1500 1500 1 20 8000 8000 plain\n");
    EXPECT_EQ(english.units, FmdUnits::English);
    EXPECT_TRUE(english.reportText().contains(QStringLiteral("assumed")));
    ASSERT_EQ(english.models.size(), 1);
    EXPECT_EQ(english.models[0]->Loading1Hour(), 1);
}

namespace {

// 1e308 1/cm is 3.048e309 1/ft, beyond the largest double: before the check it came in as an
// infinite SA/V that passed the range check and made every later save of the library fail.
TEST(CustomModelImport, AValueThatOverflowsWhenConvertedIsRefusedByLine)
{
    const FmdImport r = ReadFmd("METRIC\n"
                                "30 A 2.241702312 0 0 0 0 static 1e308 49.21259843 49.21259843 30.48 20 18608 18608 "
                                "too fine\n"
                                "31 B 2.241702312 0 0 0 0 static 98.42519685 1E308 49.21259843 30.48 20 18608 18608 "
                                "too fine live\n"
                                "32 C 2.241702312 0 0 0 0 static 98.42519685 49.21259843 49.21259843 30.48 20 18608 "
                                "18608 good\n");
    ASSERT_EQ(r.lines.size(), 3);
    for (int i : {0, 1}) {
        EXPECT_EQ(r.lines[i].line, i + 2);
        EXPECT_EQ(r.lines[i].outcome, FmdLineOutcome::Refused);
        ASSERT_EQ(r.lines[i].reasons.size(), 1);
        EXPECT_TRUE(r.lines[i].reasons[0].contains(QStringLiteral("beyond any number once converted")))
            << r.lines[i].reasons[0].toStdString();
    }
    EXPECT_TRUE(r.lines[0].reasons[0].contains(QStringLiteral("1e308")));
    ASSERT_EQ(r.models.size(), 1);
    EXPECT_EQ(r.models[0]->FuelModelID(), "C");
    EXPECT_DOUBLE_EQ(r.models[0]->SurfaceToVolume1Hour(), 3000);
    // Every value taken can be stored in the library.
    for (const auto &m : r.models)
        EXPECT_TRUE(std::isfinite(m->SurfaceToVolume1Hour()) && std::isfinite(m->SurfaceToVolumeLiveHerb()));
}

} // namespace
