#pragma once

#include "testcenter/EntryRules.h"

#include <QString>

#include <array>
#include <memory>

class FireSpread;
class FuelModel;
class FuelModelSets;

// The editor's test computations without widgets: the entry texts as the window holds them,
// turned into calculator inputs, computed, and formatted for the result boxes.
//
// A failed spread computation is not an error here: the calculator keeps its zero outputs and
// the result texts read "0.0" (and "0", "0.000" for the two fuel bed descriptors).

// The value behind every entry box, each measuring its entry's quantity.
std::array<Units::ShownValue, kEntrySlots> EntryShownValues();

// Texts of the editor's entry controls at the moment of a computation, in the units the
// editor shows (system); shown[i] knows the exact English value box i was filled with, so an
// untouched box computes with the stored value, not with its rounded text.
struct TestEntries
{
    std::array<QString, kEntrySlots> box; // txtFuels texts by index (15..19 unused)
    Units::System system = Units::System::English;
    std::array<Units::ShownValue, kEntrySlots> shown = EntryShownValues();
    Units::ShownValue midFlameShown{Units::Quantity::WindSpeed};
    QString windReduceText;      // cboWindReduce text
    int windReducePosition = -1; // its list position, -1 when the text is no item
    QString midFlameWindText;    // txtMidFlameWind text
    QString slopeText;           // cboSlope text
    int herbTypePosition = -1;   // cboHerbType list position
};

// The English value of box index (the remembered value while its text is unchanged).
double EntryValue(const TestEntries &entries, int index);
// The English midflame wind the computations take.
double MidFlameWindValue(const TestEntries &entries);

struct ResultTexts
{
    QString ros, fli, heat, fl; // "####0.0"
    QString charSurfVol;        // "#####0"
    QString packRatio;          // "#####0.000"
};

struct ReferenceTexts
{
    QString ros, fli, heat, fl; // "####0.0"
};

// Inputs of the edited model from the entries: moistures in percent become fractions, the
// wind adjustment is the list position, the herb type is the list position + 1.
void SetCalculatorInputs(FireSpread &fs, const TestEntries &entries);

// Inputs of the reference model: its fuel bed from the model (moisture of extinction as a
// fraction) and its own herb type (a dynamic reference cures its live herb load as every other
// computation of the model does), moistures, wind adjustment, midflame wind and slope from the
// entries. The 20-ft wind stays unset. Without a model only the entry-side inputs are set.
void SetReferenceInputs(FireSpread &fs, const FuelModel *model, const TestEntries &entries);

// The model at zero-based list positions of the reference set and model lists, or nullptr
// when either position is outside the library.
std::shared_ptr<FuelModel> ReferenceModelAt(const FuelModelSets &sets, int setPosition, int modelPosition);

// Runs the calculator; false (outputs untouched) when the spread core fails.
bool ComputeQuietly(FireSpread &fs);

ResultTexts FormatResults(const FireSpread &fs, Units::System s = Units::System::English);
ReferenceTexts FormatReference(const FireSpread &fs, Units::System s = Units::System::English);

// Captions of the result boxes (edited model and reference alike) in the system: "ROS (Ch/Hr)"
// or "ROS (m/min)", ...; box is one of "ros", "fli", "fl", "heat", "charSurfVol".
QString ResultCaption(QStringView box, Units::System s);

struct ComputeOutcome
{
    ResultTexts current;
    ReferenceTexts reference;
};

// The full computation: replaces CurrentFireSpread and ReferenceFireSpread with new objects,
// computes both and returns the texts of every result box.
ComputeOutcome RunCompute(const TestEntries &entries, const FuelModelSets &sets, int setPosition, int modelPosition);

// The two fuel bed descriptors of the edited model, computed on an object of their own.
ResultTexts RunRatioOnly(const TestEntries &entries);
