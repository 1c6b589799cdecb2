#pragma once

#include "units/Units.h"

#include <QString>

#include <array>

// The entry boxes of the Edit and Test Center as data: which indexes exist, their captions,
// range hints and range rules, the key filter, and the fixed items of the wind and slope
// lists. Pure functions; an index without a box gives empty texts and is never in range.

// Box indexes: 0 to 14 are the model's parameters, 20 to 25 the environment inputs.
inline constexpr int kFirstEnvEntry = 20;
inline constexpr int kLastEnvEntry = 25;
inline constexpr int kLastModelEntry = 14;
inline constexpr int kEntrySlots = 26;

bool IsEntryIndex(int index);
bool IsEnvEntry(int index);
// Boxes that hold a number (all but the ID and the description).
bool IsNumericEntry(int index);
// Entries that have a tuner button beside them (0 is the synchronized adjustment).
bool HasTunerButton(int index);

// Caption and range hint shown beside box index, exactly as the window shows them. In metric
// the caption names the metric unit and the hint shows the first and last metric values
// whose English value is in range.
QString EntryCaption(int index);
QString EntryHint(int index);
QString EntryCaption(int index, Units::System s);
QString EntryHint(int index, Units::System s);
// What the number in box index measures (Ratio for the ID, the description and no box).
Units::Quantity EntryQuantity(int index);
// The derived midflame wind box's caption and hint.
QString MidFlameWindCaption(Units::System s);
QString MidFlameWindHint(Units::System s);
// Caption of the synchronized adjustment button (tuner button 0).
QString SyncTunerCaption();

// Starting text of an environment box; empty for every other index.
QString EnvDefaultText(int index);

// The live range rule of box index for the box text: the ID and the description must not be
// empty; a number box holds its leading number within the inclusive range (SA/V boxes also
// accept exactly 0). A number too large for a double is out of every range.
bool EntryInRange(int index, const QString &text);
// The same rule for a number box holding the English value english.
bool EntryValueInRange(int index, double english);
// The inclusive bounds of a number box's range rule; false for every other index.
bool EntryRange(int index, double &low, double &high);

// The key filter. key is the character a key press would type: 8 for backspace, a control
// character (below 32) for shortcuts such as copy and paste, the typed character otherwise.
// lengthBefore is the length of the box text before the key. False = the key is discarded.
// Number boxes take digits, the point, backspace, select all (1), undo (26) and redo (25).
bool EntryKeyAccepted(int index, char16_t key, int lengthBefore);

// Items of the wind adjustment factor list (" 0", " .1" ... " .9", " 1") and of the slope
// list (" 0", " 10" ... " 100"), position 0 to 10.
QString WindReduceItem(int position);
QString SlopeItem(int position);
inline constexpr int kListItems = 11;
inline constexpr int kWindReduceStartPosition = 7;

// Midflame wind text: 20-ft wind times the factor read from the wind adjustment text.
QString MidFlameWindText(const QString &windReduceText, const QString &twentyFootWindText);
// The midflame wind for an English 20-ft wind: the English value the computations take (the
// English text read back, as in English) and its text in the shown units ("##0.0").
struct MidFlameWind
{
    double english = 0;
    QString text;
};
MidFlameWind MidFlameWindOf(const QString &windReduceText, double twentyFootWindEnglish, Units::System s);
// The range the midflame wind's hint states (0 to 60 mi/h, English value): a 20-ft wind of 99
// mi/h under a typed factor can go beyond it, and the computations refuse such a wind.
bool MidFlameWindInRange(double english);

// Width in pixels of a length in twips (1440 per inch) at the given dots per inch.
int TwipsToPixels(int twips, double dpi);
inline constexpr int kWidthWithTestPanel = 10400;
inline constexpr int kWidthWithoutTestPanel = 5700;
