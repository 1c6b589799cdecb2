// The editor's entries without a window: what a value change, a unit switch and a scenario
// change signal and hold, and how a text out of range is judged. Expected texts are worked by
// hand from the unit factors (1 t/ac = 2.2417 t/ha, 1 ft = 0.3048 m, 1 btu/lb = 2.326 kJ/kg).
#include "testcenter/EditorEntryModel.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

// Every signal of the model as one line, in the order they came.
struct Recorder
{
    explicit Recorder(EditorEntryModel &entries)
    {
        QObject::connect(&entries, &EditorEntryModel::entryChanged, [this](int index, const QString &text) {
            events << QStringLiteral("entry %1 %2").arg(index).arg(text);
        });
        QObject::connect(&entries, &EditorEntryModel::unitsChanged, [this](Units::System s) {
            events << (s == Units::System::Metric ? QStringLiteral("units metric") : QStringLiteral("units english"));
        });
        QObject::connect(&entries, &EditorEntryModel::scenarioChanged,
                         [this](const QString &key) { events << QStringLiteral("scenario ") + key; });
    }
    QStringList events;
};

// Every number box within its range, in English: loads 1 t/ac, SA/V 1500, heat 8000, depth
// 1 ft, moisture of extinction 25 %, environment 6 %, 100 %, wind 5 mi/h.
void fillInRange(EditorEntryModel &entries)
{
    const double values[] = {1, 1, 1, 1, 1, 1500, 1500, 1500, 8000, 8000, 8000, 1, 25};
    for (int i = 2; i <= kLastModelEntry; ++i)
        entries.setEnglish(i, values[i - 2]);
    const double environment[] = {6, 6, 6, 100, 100, 5};
    for (int i = kFirstEnvEntry; i <= kLastEnvEntry; ++i)
        entries.setEnglish(i, environment[i - kFirstEnvEntry]);
}

TEST(EditorEntryModel, AValueChangeSignalsItsBoxOnceAndHoldsTheExactValue)
{
    EditorEntryModel entries;
    Recorder rec(entries);
    entries.setEnglish(2, 2.0);
    entries.setValue(FuelParameterId::Depth, 1.5);
    entries.setValue(FuelParameterId::Sav1Hour, 1500);
    EXPECT_EQ(rec.events, (QStringList{"entry 2 2", "entry 13 1.5", "entry 7 1500"}));
    EXPECT_EQ(entries.value(FuelParameterId::Load1Hour), 2.0);
    EXPECT_EQ(entries.english(13), 1.5);

    // The same text again is no change: a window that writes back what it was told must not
    // start the round again.
    rec.events.clear();
    entries.setText(2, QStringLiteral("2"));
    entries.setEnglish(13, 1.5);
    EXPECT_TRUE(rec.events.isEmpty());

    // Indexes without a box (15 to 19, beyond 25) hold nothing and say nothing.
    entries.setText(15, QStringLiteral("7"));
    entries.setText(26, QStringLiteral("7"));
    entries.setEnglish(1, 3);
    EXPECT_TRUE(rec.events.isEmpty());
    EXPECT_EQ(entries.text(15), QString());
    EXPECT_EQ(entries.text(1), QString());
}

TEST(EditorEntryModel, AUnitSwitchRewritesTheNumbersThenSignalsTheUnitsAndKeepsTheValuesBehind)
{
    EditorEntryModel entries;
    // Zeros and percents read the same in both systems: only the three boxes below change.
    for (int i = 2; i < kEntrySlots; ++i)
        entries.setEnglish(i, 0);
    entries.setEnglish(2, 2.0);
    entries.setEnglish(13, 1.0);
    entries.setEnglish(7, 1500);
    entries.setEnglish(20, 6);
    entries.setText(0, QStringLiteral("GR1"));
    Recorder rec(entries);

    entries.setUnits(Units::System::Metric);
    // 2 t/ac = 4.4834 t/ha; 1 ft = 0.3048 m; 1500 ft2/ft3 = 4921.26 m2/m3; percent stays.
    EXPECT_EQ(rec.events, (QStringList{"entry 2 4.48", "entry 7 4921", "entry 13 0.3", "units metric"}));
    EXPECT_EQ(entries.units(), Units::System::Metric);
    // The boxes still stand for the values they were filled with, not for their rounded texts.
    EXPECT_EQ(entries.english(2), 2.0);
    EXPECT_EQ(entries.english(13), 1.0);
    EXPECT_EQ(entries.text(0), QStringLiteral("GR1"));

    // A metric text typed is read in metric: 4.5 t/ha is 2.0074 t/ac, and the shortest English
    // decimal that shows again as 4.50 is 2.007.
    entries.setText(2, QStringLiteral("4.5"));
    EXPECT_DOUBLE_EQ(entries.english(2), 2.007);

    rec.events.clear();
    entries.setUnits(Units::System::Metric);
    EXPECT_TRUE(rec.events.isEmpty()) << "the system shown is no switch";
    entries.setUnits(Units::System::English);
    EXPECT_EQ(rec.events, (QStringList{"entry 2 2.007", "entry 7 1500", "entry 13 1", "units english"}));
}

TEST(EditorEntryModel, AScenarioHoldsUntilItsOwnEntriesAreTyped)
{
    EditorEntryModel entries;
    Recorder rec(entries);
    entries.setScenario(QStringLiteral("std:D1L1"));
    entries.setScenario(QStringLiteral("std:D1L1"));
    EXPECT_EQ(rec.events, (QStringList{"scenario std:D1L1"}));

    // A standard scenario names moistures only: the wind, the model and the wind adjustment
    // factor leave it chosen.
    rec.events.clear();
    entries.setText(25, QStringLiteral("12"));
    entries.setText(2, QStringLiteral("1"));
    entries.environmentEdited();
    {
        // Moistures written while the scenario is applied, or converted by a unit switch.
        const EditorEntryModel::Fill fill(entries);
        entries.setText(21, QStringLiteral("8"));
    }
    entries.setUnits(Units::System::Metric);
    EXPECT_EQ(entries.scenario(), QStringLiteral("std:D1L1"));
    EXPECT_FALSE(rec.events.contains(QStringLiteral("scenario ")));

    // A typed moisture makes the entries Custom, once, before the entry is signalled (a view
    // that follows the entry finds the scenario already right).
    rec.events.clear();
    entries.setText(24, QStringLiteral("100"));
    entries.setText(23, QStringLiteral("100"));
    EXPECT_EQ(rec.events, (QStringList{"scenario ", "entry 24 100", "entry 23 100"}));
    EXPECT_EQ(entries.scenario(), QString());

    // A user's environment also names the wind, the factor and the slope.
    entries.setScenario(QStringLiteral("user:Ridge"));
    entries.setText(25, QStringLiteral("15"));
    EXPECT_EQ(entries.scenario(), QString());
    entries.setScenario(QStringLiteral("user:Ridge"));
    entries.environmentEdited();
    EXPECT_EQ(entries.scenario(), QString());
}

TEST(EditorEntryModel, TextsOutOfRangeAreInvalidAndTheFirstEditableOneIsTheFault)
{
    EditorEntryModel entries;
    fillInRange(entries);
    EXPECT_EQ(entries.fault(), QString());
    EXPECT_FALSE(entries.holdsRange(0)) << "an empty ID";
    entries.setText(0, QStringLiteral("GR1"));
    EXPECT_TRUE(entries.holdsRange(0));

    entries.setText(7, QStringLiteral("0"));
    EXPECT_TRUE(entries.holdsRange(7)) << "an SA/V of 0 is no fuel of the class";
    entries.setText(7, QStringLiteral("50"));
    EXPECT_FALSE(entries.holdsRange(7));
    entries.setText(7, QStringLiteral("109"));
    EXPECT_TRUE(entries.holdsRange(7)) << "the bounds are inclusive";

    entries.setText(10, QStringLiteral("80x"));
    EXPECT_FALSE(entries.holdsRange(10));
    entries.setText(14, QStringLiteral("101"));
    EXPECT_EQ(entries.fault(),
              QStringLiteral("Heat Content Dead (btu/lb): 80x is outside its range (6,000 - 12,000 )"));
    entries.setReadOnly(10, true);
    EXPECT_EQ(entries.fault(), QStringLiteral("Moisture of Extinction (%): 101 is outside its range (5-100)"));
    entries.setText(14, QStringLiteral("100"));
    EXPECT_EQ(entries.fault(), QString());
    EXPECT_FALSE(entries.holdsRange(10)) << "read-only is not judged by the fault, but stays what it is";

    // In metric a box is judged by the English value it stands for: 27,900 kJ/kg is 11,995
    // btu/lb, 28,000 kJ/kg is 12,038.
    entries.setUnits(Units::System::Metric);
    entries.setText(11, QStringLiteral("27900"));
    EXPECT_TRUE(entries.holdsRange(11));
    entries.setText(11, QStringLiteral("28000"));
    EXPECT_FALSE(entries.holdsRange(11));
    EXPECT_EQ(entries.fault(),
              QStringLiteral("Heat Content Live Herb (kJ/kg): 28000 is outside its range ") +
                  EntryHint(11, Units::System::Metric).trimmed());
}

} // namespace
