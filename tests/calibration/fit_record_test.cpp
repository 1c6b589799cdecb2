// What an applied fit leaves in the model's history: the fires' file only when it holds exactly
// the fires fitted (whatever shape the file has), its SHA-256, and the statistics by name.
#include "calibration/FitRecord.h"

#include "data/FuelParameters.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

namespace {

const QByteArray kCommaFile = "id,moist-1h,moist-10h,moist-100h,moist-herb,moist-woody,midflame-wind,slope,ros,"
                              "flame-length,weight\n"
                              "F1,6,7,8,60,90,4.5,10,12.5,3.2,2\n"
                              "F2,8,9,10,120,150,2,0,3,,\n";
// The same fires as a spreadsheet with decimal commas writes them: semicolons, other letter
// case, blanks for dashes, CR CR LF line ends.
const QByteArray kSemicolonFile = "ID;Moist 1h;Moist 10h;Moist 100h;Moist Herb;Moist Woody;Midflame Wind;Slope;ROS;"
                                  "Flame Length;Weight\r\r\n"
                                  "F1;6;7;8;60;90;4,5;10;12,5;3,2;2\r\r\n"
                                  "F2;8;9;10;120;150;2;0;3;;\r\r\n";
// sha256sum of the two files' bytes.
const char kCommaSha[] = "646ad9ae37657cafe27b13192b9d4e77487ed3db4dbb9dbbfba6ca7674532e4c";
const char kSemicolonSha[] = "a8be0e31bf4ed7ab581fb16905379dabc0de86800140ffae8ecd2a8b5dcf2ecc";

struct Fit
{
    CalibrationSetup setup;
    CalibrationResult result;
    Observations fires;

    Fit()
    {
        fires = ReadObservations(kCommaFile, Units::System::English).observations;
        setup.free.push_back({FindFuelParameter("load-1h"), 0.1, 3});
        setup.free.push_back({FindFuelParameter("depth"), 0.5, 3});
        setup.objective.kind = ObjectiveKind::Rmse;
        result.before.objective = 0.5;
        result.before.ros = {3, -1, 20, 0.5, 2};
        result.after.objective = 0.125;
        result.after.ros = {1, 0.25, 5, 1, 2};
        result.after.flame = {0.5, NAN, 10, 1, 1}; // a statistic that is no number is left out
    }
};

} // namespace

TEST(FitRecord, NamesTheFileOnlyWhenItHoldsTheFiresFitted)
{
    Fit fit;
    ASSERT_EQ(fit.fires.size(), 2);
    FitRecord r = MakeFitRecord(fit.setup, fit.result, fit.fires, {}, "fires.csv", kCommaFile, Units::System::English);
    EXPECT_EQ(r.observationsFile, "fires.csv");
    EXPECT_EQ(r.observationsSha256, kCommaSha);
    EXPECT_EQ(r.fires, 2);
    EXPECT_EQ(r.objective, "rmse");
    EXPECT_EQ(r.freeParameters, (QStringList{"load-1h", "depth"}));
    EXPECT_FALSE(r.tiedLoads);
    const QList<QPair<QString, double>> before = {
        {"objective", 0.5}, {"ros-rmse", 3}, {"ros-bias", -1}, {"ros-mape", 20}, {"ros-within-35", 0.5}};
    EXPECT_EQ(r.before, before);
    const QList<QPair<QString, double>> after = {{"objective", 0.125}, {"ros-rmse", 1},       {"ros-bias", 0.25},
                                                 {"ros-mape", 5},      {"ros-within-35", 1},  {"flame-rmse", 0.5},
                                                 {"flame-mape", 10},   {"flame-within-35", 1}};
    EXPECT_EQ(r.after, after);

    // The same fires in another shape of file: still that file, with its own sum.
    r = MakeFitRecord(fit.setup, fit.result, fit.fires, {}, "fires2.csv", kSemicolonFile, Units::System::English);
    EXPECT_EQ(r.observationsFile, "fires2.csv");
    EXPECT_EQ(r.observationsSha256, kSemicolonSha);

    // The window shows ten significant digits: a fire as shown is still the file's, a fire
    // changed in the sixth digit is not.
    Observations shown = fit.fires;
    shown[0].ros = 12.500000000001;
    shown[0].environment.moisture[3] = 0.6000000000003;
    EXPECT_EQ(MakeFitRecord(fit.setup, fit.result, shown, {}, "fires.csv", kCommaFile, Units::System::English)
                  .observationsFile,
              "fires.csv");
    shown[0].environment.moisture[3] = 0.600001;
    EXPECT_TRUE(MakeFitRecord(fit.setup, fit.result, shown, {}, "fires.csv", kCommaFile, Units::System::English)
                    .observationsFile.isEmpty());
    Observations reordered = {fit.fires[1], fit.fires[0]};
    EXPECT_TRUE(MakeFitRecord(fit.setup, fit.result, reordered, {}, "fires.csv", kCommaFile, Units::System::English)
                    .observationsFile.isEmpty());

    // A fire changed in the window after the file was read: the file is not named, and the sum
    // is of the fires fitted, whichever file they came from.
    Observations changed = fit.fires;
    changed[1].ros = 4;
    fit.setup.tieLoads = true;
    fit.setup.objective.flameWeight = 0.5;
    r = MakeFitRecord(fit.setup, fit.result, changed, {}, "fires.csv", kCommaFile, Units::System::English);
    EXPECT_TRUE(r.observationsFile.isEmpty());
    const QString changedSha = r.observationsSha256;
    EXPECT_EQ(changedSha.size(), 64);
    EXPECT_NE(changedSha, kCommaSha);
    EXPECT_EQ(
        MakeFitRecord(fit.setup, fit.result, changed, {}, QString(), {}, Units::System::English).observationsSha256,
        changedSha);
    EXPECT_NE(
        MakeFitRecord(fit.setup, fit.result, fit.fires, {}, QString(), {}, Units::System::English).observationsSha256,
        changedSha);
    EXPECT_TRUE(r.tiedLoads);
    EXPECT_EQ(r.objective, "rmse, flame length weight 0.5");

    // A file that is not one of fires names nothing either.
    r = MakeFitRecord(fit.setup, fit.result, fit.fires, {}, "notes.txt", "just text\n", Units::System::English);
    EXPECT_TRUE(r.observationsFile.isEmpty());
}
