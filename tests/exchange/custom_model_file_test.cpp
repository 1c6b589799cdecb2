#include "exchange/CustomModelFile.h"

#include "library/DefaultLibrary.h"
#include "library/LibraryFile.h"
#include "library/MemoryTree.h"

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

TEST(CustomModelImport, ReportsEveryLineByNumberAndKeepsOnlyGoodOnes)
{
    const QByteArray file = "english\n"
                            "\n"
                            "20 GRa 0.1 0 0 1 0 dynamic 2200 2000 1500 1 15 8000 8000 Short grass\n"
                            "5 FM5x 1 0.5 0 0 2 static 2000 1500 1500 2 20 8000 8000 standard number\n"
                            "21 SHb 1 0.5 0 0 2 woody 2000 1500 1500 2 20 8000 8000 bad type\n"
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
    auto line = [&](int n) -> const FmdLineReport & {
        for (const FmdLineReport &l : r.lines)
            if (l.line == n)
                return l;
        ADD_FAILURE() << "no report for line " << n;
        return r.lines[0];
    };
    EXPECT_EQ(line(3).outcome, FmdLineOutcome::Taken);
    for (int n : {4, 5, 6, 7, 8, 10, 11, 12})
        EXPECT_EQ(line(n).outcome, FmdLineOutcome::Refused) << n;
    EXPECT_TRUE(line(4).reasons.join(' ').contains(QStringLiteral("standard")));
    EXPECT_TRUE(line(5).reasons.join(' ').contains(QStringLiteral("woody")));
    EXPECT_TRUE(line(8).reasons.join(' ').contains(QStringLiteral("line 3")));
    EXPECT_TRUE(line(10).reasons.join(' ').contains(QStringLiteral("line 3")));
    EXPECT_TRUE(line(12).reasons.join(' ').contains(QStringLiteral("no fuel")));
    // Line 9: the number rounded, the moisture of extinction raised to the editor's 5 %.
    EXPECT_EQ(line(9).outcome, FmdLineOutcome::Changed);
    EXPECT_TRUE(line(9).reasons.join(' ').contains(QStringLiteral("rounded to 24")));
    EXPECT_TRUE(line(9).reasons.join(' ').contains(QStringLiteral("clamped to 5 %")));
    // Line 13: the depth clamped to 6 ft, the quotes the library cannot hold replaced.
    EXPECT_EQ(line(13).outcome, FmdLineOutcome::Changed);
    ASSERT_EQ(r.models.size(), 3);
    EXPECT_EQ(r.models[0]->FuelModelID(), QStringLiteral("GRa"));
    EXPECT_EQ(r.models[0]->Description(), QStringLiteral("Short grass"));
    EXPECT_EQ(r.models[0]->HerbType(), 2);
    EXPECT_EQ(r.models[0]->FuelCat(), 1);
    EXPECT_EQ(r.models[1]->MoistureOfExtinction(), 5);
    EXPECT_EQ(r.models[1]->FuelCat(), 3);
    EXPECT_EQ(r.numbers[1], 24);
    EXPECT_EQ(r.models[2]->BulkDensityDepth(), 6);
    EXPECT_EQ(r.models[2]->Description(), QStringLiteral("'quoted'"));
    EXPECT_TRUE(r.reportText().contains(QStringLiteral("Line 4: refused (5 FM5x)")));
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
