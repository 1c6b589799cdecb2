#include "units/MoistureScenarios.h"
#include "units/UnitSetting.h"
#include "units/UserEnvironments.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace Units;

TEST(MoistureScenarios, SixteenDeadByLiveCombinations)
{
    const auto &all = StandardMoistureScenarios();
    ASSERT_EQ(all.size(), 16u);
    // The published levels: dead D1 3/4/5 ... D4 12/13/14, live L1 30/60 ... L4 120/150.
    const double dead[4][3] = {{3, 4, 5}, {6, 7, 8}, {9, 10, 11}, {12, 13, 14}};
    const double live[4][2] = {{30, 60}, {60, 90}, {90, 120}, {120, 150}};
    for (int d = 0; d < 4; ++d) {
        for (int l = 0; l < 4; ++l) {
            const MoistureScenario &m = all[std::size_t(4 * d + l)];
            EXPECT_EQ(m.name, QStringLiteral("D%1L%2").arg(d + 1).arg(l + 1));
            EXPECT_EQ(m.oneHour, dead[d][0]) << m.name.toStdString();
            EXPECT_EQ(m.tenHour, dead[d][1]) << m.name.toStdString();
            EXPECT_EQ(m.hundredHour, dead[d][2]) << m.name.toStdString();
            EXPECT_EQ(m.herb, live[l][0]) << m.name.toStdString();
            EXPECT_EQ(m.woody, live[l][1]) << m.name.toStdString();
        }
    }
}

TEST(MoistureScenarios, FoundByNameAndByTheirMoistures)
{
    const MoistureScenario *m = FindMoistureScenario(u" d2l3 ");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->name, QStringLiteral("D2L3"));
    EXPECT_EQ(m->oneHour, 6);
    EXPECT_EQ(m->woody, 120);
    EXPECT_EQ(m->description(), QStringLiteral("D2L3 - low dead, 1/3 cured (6, 7, 8 / 90, 120 %)"));
    EXPECT_EQ(FindMoistureScenario(u"D5L1"), nullptr);
    EXPECT_EQ(FindMoistureScenario(u"D2L"), nullptr);
    EXPECT_EQ(FindMoistureScenario(u""), nullptr);

    const MoistureScenario *match = MatchingMoistureScenario(12, 13, 14, 30, 60);
    ASSERT_NE(match, nullptr);
    EXPECT_EQ(match->name, QStringLiteral("D4L1"));
    EXPECT_EQ(MatchingMoistureScenario(12, 13, 14, 30, 61), nullptr);
    EXPECT_EQ(MatchingMoistureScenario(5, 6, 7, 75, 90), nullptr); // the editor's start values
}

namespace {

// Settings in the test location, emptied before and after.
class SettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QStandardPaths::setTestModeEnabled(true);
        clear();
    }
    void TearDown() override { clear(); }
    static void clear()
    {
        QSettings s(QSettings::NativeFormat, QSettings::UserScope, SettingsOrganization(), SettingsOrganization());
        ASSERT_TRUE(s.fileName().startsWith(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)));
        ASSERT_TRUE(s.fileName().contains(QLatin1String(".qttest")));
        s.clear();
        s.sync();
    }
    static QSettings store()
    {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, SettingsOrganization(), SettingsOrganization());
    }
};

} // namespace

TEST_F(SettingsTest, UnitSettingIsStoredAndAnnouncedOnce)
{
    UnitSetting &setting = UnitSetting::instance();
    setting.reload();
    EXPECT_EQ(setting.system(), System::English); // nothing stored
    int announced = 0;
    System last = System::English;
    const auto connection = QObject::connect(&setting, &UnitSetting::changed, [&](System s) {
        ++announced;
        last = s;
    });
    setting.setSystem(System::Metric);
    setting.setSystem(System::Metric);
    EXPECT_EQ(announced, 1);
    EXPECT_EQ(last, System::Metric);
    EXPECT_EQ(store().value(QStringLiteral("Display/Units")).toString(), QStringLiteral("metric"));
    // The companion application's setting lives elsewhere and is untouched.
    EXPECT_FALSE(store().contains(QStringLiteral("General/LF Fuelmodel Set")));

    // Another value written outside and read again; nonsense reads as English.
    store().setValue(QStringLiteral("Display/Units"), QStringLiteral("english"));
    setting.reload();
    EXPECT_EQ(setting.system(), System::English);
    EXPECT_EQ(announced, 2);
    store().setValue(QStringLiteral("Display/Units"), QStringLiteral("furlongs"));
    setting.reload();
    EXPECT_EQ(setting.system(), System::English);
    QObject::disconnect(connection);
}

TEST_F(SettingsTest, UserEnvironmentsAreKeptByName)
{
    EXPECT_TRUE(ReadUserEnvironments().isEmpty());
    UserEnvironment dry{QStringLiteral("Dry August"), 3, 4, 6, 40, 70, 12, 0.4, 30};
    UserEnvironment wet{QStringLiteral("Wet"), 14, 15, 16, 200, 220, 5, 0.2, 0};
    ASSERT_TRUE(SaveUserEnvironment(dry));
    ASSERT_TRUE(SaveUserEnvironment(wet));
    // Saving under the same name (other case, blanks) replaces it in its place.
    UserEnvironment dryAgain = dry;
    dryAgain.name = QStringLiteral("  dry august ");
    dryAgain.windSpeed = 20;
    ASSERT_TRUE(SaveUserEnvironment(dryAgain));

    const QList<UserEnvironment> all = ReadUserEnvironments();
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[0].name, QStringLiteral("dry august"));
    EXPECT_EQ(all[0].windSpeed, 20);
    EXPECT_EQ(all[0].hundredHour, 6);
    EXPECT_EQ(all[0].windAdjustment, 0.4);
    EXPECT_EQ(all[0].slope, 30);
    EXPECT_EQ(all[1].name, QStringLiteral("Wet"));
    EXPECT_EQ(all[1].woody, 220);

    const auto found = FindUserEnvironment(u"WET");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->herb, 200);
    EXPECT_FALSE(FindUserEnvironment(u"Damp").has_value());

    // The standard scenario names and empty names cannot be taken.
    UserEnvironment clash = wet;
    clash.name = QStringLiteral("d2l3");
    EXPECT_FALSE(SaveUserEnvironment(clash));
    clash.name = QStringLiteral("  ");
    EXPECT_FALSE(SaveUserEnvironment(clash));
    // Nor the list's own "Custom" entry, in any letter case.
    clash.name = QStringLiteral(" cUSTOM ");
    EXPECT_FALSE(SaveUserEnvironment(clash));
    EXPECT_TRUE(IsValidUserEnvironmentName(u"Custom grass"));
    EXPECT_EQ(ReadUserEnvironments().size(), 2);

    EXPECT_TRUE(RemoveUserEnvironment(u"Dry August"));
    EXPECT_FALSE(RemoveUserEnvironment(u"Dry August"));
    ASSERT_EQ(ReadUserEnvironments().size(), 1);
    EXPECT_EQ(ReadUserEnvironments()[0].name, QStringLiteral("Wet"));
}
