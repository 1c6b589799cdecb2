#include "exchange/SetCsv.h"

#include "data/FuelModels.h"
#include "library/ModelNotes.h"

#include <gtest/gtest.h>

TEST(SetCsv, EveryFieldWithItsUnitInTheChosenSystem)
{
    FuelModelSet set;
    auto models = std::make_shared<FuelModels>();
    set.setFuelModels(models);
    models->Add("GR2x", "Tuned, \"dry\" grass", 1.5, 1, 0.5, 0, 2, 0, 3000, 1800, 1500, 25, 8000, 8000, 9000, 1, 2, {},
                {});

    const QByteArray english = SetParametersCsv(set, Units::System::English);
    ASSERT_TRUE(english.startsWith("\xEF\xBB\xBF"));
    const QList<QByteArray> lines = english.mid(3).split('\n');
    ASSERT_EQ(lines.size(), 3); // header, one model, the empty rest after the last line end
    EXPECT_EQ(lines[0],
              "Fuel Model ID,Description,1 Hour Loading (t/ac),10 Hour Loading (t/ac),"
              "100 Hour Loading (t/ac),Live Herb Loading (t/ac),Live Woody Loading (t/ac),"
              "1 Hour SA/V (ft2/ft3),Live Herb SA/V (ft2/ft3),Live Woody SA/V (ft2/ft3),"
              "Heat Content Dead (btu/lb),Heat Content Live Herb (btu/lb),"
              "Heat Content Live Woody (btu/lb),Fuelbed Depth (ft),Moisture of Extinction (%),"
              "Primary Fire Carrier,Herb Type,Source,Author,Notes\r");
    EXPECT_EQ(lines[1],
              "GR2x,\"Tuned, \"\"dry\"\" grass\",1,0.5,0,2,0,3000,1800,1500,8000,8000,9000,1.5,25,"
              "1 - Grass,2 - Dynamic,,,\r"); // no notes: empty columns

    // Worked apart: 1 t/ac = 0.90718474 / 0.40468564224 t/ha = 2.24170231238891 t/ha;
    // 3000 1/ft = 3000 / 0.3048 m2/m3 = 9842.51968503937; 1.5 ft = 0.4572 m;
    // 8000 btu/lb = 18608 kJ/kg; percentages stay.
    const QList<QByteArray> metric = SetParametersCsv(set, Units::System::Metric).mid(3).split('\n');
    EXPECT_TRUE(metric[0].contains(",1 Hour Loading (t/ha),"));
    EXPECT_TRUE(metric[0].contains(",1 Hour SA/V (m2/m3),"));
    EXPECT_TRUE(metric[0].contains(",Fuelbed Depth (m),Moisture of Extinction (%),"));
    EXPECT_TRUE(metric[1].startsWith("GR2x,\"Tuned, \"\"dry\"\" grass\",2.24170231238891,1.12085115619446,0,"))
        << metric[1].constData();
    EXPECT_TRUE(metric[1].contains(",9842.51968503937,")) << metric[1].constData();
    EXPECT_TRUE(metric[1].contains(",18608,18608,20934,0.4572,25,1 - Grass,")) << metric[1].constData();
}

// An ID or a description a spreadsheet would run as a formula is written as text; the numbers
// stay numbers.
TEST(SetCsv, FormulaLikeTextIsWrittenAsText)
{
    FuelModelSet set;
    auto models = std::make_shared<FuelModels>();
    set.setFuelModels(models);
    models->Add("=HYPERLINK(1)", "@SUM(A1)", 1.5, 1, 0.5, 0, 2, 0, 3000, 1800, 1500, 25, 8000, 8000, 9000, 1, 2, {},
                {});
    const QList<QByteArray> lines = SetParametersCsv(set, Units::System::English).mid(3).split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[1],
              "\"'=HYPERLINK(1)\",\"'@SUM(A1)\",1,0.5,0,2,0,3000,1800,1500,8000,8000,9000,1.5,25,"
              "1 - Grass,2 - Dynamic,,,\r");
}

// Each model's source, author and notes in the last three columns, quoted as spreadsheets read
// them (several lines, commas, quotes, accents, a formula-like text); a model without notes
// leaves them empty.
TEST(SetCsv, NotesInTheLastThreeColumns)
{
    FuelModelSet set;
    auto models = std::make_shared<FuelModels>();
    set.setFuelModels(models);
    auto a = models->Add("A1", "One", 1, 1, 0, 0, 0, 0, 2000, 1500, 1500, 20, 8000, 8000, 8000, 1, 1, {}, {});
    models->Add("B2", "Two", 1, 1, 0, 0, 0, 0, 2000, 1500, 1500, 20, 8000, 8000, 8000, 1, 1, {}, {});
    LibraryNotes notes;
    ModelNotes &n = notes.Edit(a);
    n.source = "Field campaign 2019, plots 3-9";
    n.author = "Ana Ib\u00e1\u00f1ez";
    n.notes = "Grazed plots.\nDepth \"by eye\".\n=not a formula";
    n.history << CreatedBlankEntry(QDateTime::currentDateTime()); // the history is not a column

    const QByteArray csv = SetParametersCsv(set, Units::System::English, &notes);
    const QString text = QString::fromUtf8(csv.mid(3));
    EXPECT_TRUE(text.startsWith("Fuel Model ID,")) << text.toStdString();
    EXPECT_TRUE(text.contains(",1 - Grass,1 - Static,\"Field campaign 2019, plots 3-9\",Ana Ib\u00e1\u00f1ez,"
                              "\"Grazed plots.\nDepth \"\"by eye\"\".\n=not a formula\"\r\n"))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(",1 - Grass,1 - Static,,,\r\n")) << text.toStdString();
    // UTF-8 bytes of the accents, after the byte order mark.
    EXPECT_TRUE(csv.contains("Ana Ib\xC3\xA1\xC3\xB1\x65z"));
}
