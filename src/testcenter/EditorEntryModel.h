#pragma once

#include "data/FuelParameters.h"
#include "testcenter/EntryRules.h"
#include "testcenter/TestComputation.h"
#include "units/Units.h"

#include <QObject>
#include <QString>

#include <array>

// The entries of the Edit and Test Center without widgets: the text of every entry box, the
// English value behind each number box, the unit system they are shown in, the moisture
// scenario they were filled from, and whether each holds its range.
//
// The editor window shows this model and writes every typed text into it; its satellites
// (charts, tuners, warnings, analysis, report) read it and follow its signals instead of
// reaching for the window's controls. Box indexes are those of EntryRules (0 to 14 the model,
// 20 to 25 the environment); the 13 fuel parameters are also reachable by FuelParameterId.
//
// Scenario keys: "" is "Custom" (the entries as typed), "std:" + name a standard moisture
// scenario, "user:" + name one of the user's named environments. Typing a moisture makes the
// scenario Custom; so does a change of the wind or slope while a user environment is chosen.
// Entries written inside a Fill (a scenario being applied, a unit switch) keep the scenario.
class EditorEntryModel : public QObject
{
    Q_OBJECT

public:
    explicit EditorEntryModel(Units::System system = Units::System::English, QObject *parent = nullptr);

    QString text(int index) const;
    // The text of box index; entryChanged when it differs. Any index without a box is ignored.
    void setText(int index, const QString &text);

    // The English value number box index stands for (the value it was filled with while its
    // text is unchanged, otherwise the text read in the shown units).
    double english(int index) const;
    // Fills number box index from an English value, shown in the current units.
    void setEnglish(int index, double english);
    // The text of an English value in the shown units, remembered as the value behind box
    // index without writing the text (for a window that writes it as an undoable step).
    QString rememberEnglish(int index, double english);
    // A text written as-is together with the English value behind it (a restored plot).
    void writeShown(int index, const QString &text, double english);
    const std::array<Units::ShownValue, kEntrySlots> &shownValues() const { return m_shown; }

    // The 13 fuel parameters by their table entry.
    double value(FuelParameterId id) const;
    void setValue(FuelParameterId id, double english);

    Units::System units() const { return m_system; }
    // Shows every number in the system: each text that changes is an entryChanged (inside a
    // Fill, so the scenario holds), then unitsChanged. Nothing when the system is shown.
    void setUnits(Units::System system);
    // True while setUnits writes the texts: the entries change their units, not their values.
    bool convertingUnits() const { return m_convertingUnits; }

    QString scenario() const { return m_scenario; }
    void setScenario(const QString &key);
    // The wind adjustment factor or the slope changed (they are not boxes of this model).
    void environmentEdited() { scenarioEntryEdited(-1); }

    // A read-only box (a locked model) holds the library's value: never judged.
    void setReadOnly(int index, bool readOnly);
    bool isReadOnly(int index) const;
    // The range rule of box index: the English value for a number box, the text otherwise.
    bool holdsRange(int index) const;
    // The first editable number box out of range as "caption: text is outside its range
    // (hint)" in the shown units; empty when every one holds.
    QString fault() const;

    // Entries written while a Fill lives keep the scenario.
    class Fill
    {
    public:
        explicit Fill(EditorEntryModel &entries) : m_entries(entries) { ++m_entries.m_filling; }
        ~Fill() { --m_entries.m_filling; }
        Fill(const Fill &) = delete;
        Fill &operator=(const Fill &) = delete;

    private:
        EditorEntryModel &m_entries;
    };
    bool filling() const { return m_filling > 0; }

signals:
    void entryChanged(int index, const QString &text);
    void unitsChanged(Units::System system);
    void scenarioChanged(const QString &key);

private:
    void scenarioEntryEdited(int index);
    static bool isBox(int index) { return index >= 0 && index < kEntrySlots && IsEntryIndex(index); }

    std::array<QString, kEntrySlots> m_texts;
    std::array<Units::ShownValue, kEntrySlots> m_shown = EntryShownValues();
    std::array<bool, kEntrySlots> m_readOnly{};
    Units::System m_system = Units::System::English;
    QString m_scenario;
    int m_filling = 0;
    bool m_convertingUnits = false;
};
