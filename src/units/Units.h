#pragma once

#include "data/UnitQuantity.h"

#include <QString>
#include <QStringView>

#include <string_view>

// Units of measure: the English and metric systems the program shows values in.
//
// Every value inside the program - the fuel model record, the library file, the calculator -
// stays in English units. Only what the user sees or types is converted, at the edge:
//
//   const Units::System s = Units::UnitSetting::instance().system();   // UnitSetting.h
//   label->setText(Units::WithUnit(QStringLiteral("Rate of Spread"), Units::Quantity::RateOfSpread, s));
//   box->setText(Units::FormatResult(Units::Quantity::RateOfSpread, s, fs.RateOfSpread()));
//   double chartValue = Units::FromEnglish(Units::Quantity::FlameLength, s, fs.FlameLength());
//   double english = Units::EnglishFromTyped(Units::Quantity::Loading, s, box->text());
//
// - FromEnglish/ToEnglish convert numbers exactly (no rounding); use them for chart data,
//   CSV cells and JSON numbers.
// - FormatResult gives a computed value at the quantity's display precision in that system
//   (fixed decimals, as the result boxes show); FormatEntry gives the text of an entry box
//   (English: the plain general text, as the library file holds it; metric: rounded to the
//   entry precision, no trailing zeros).
// - EnglishFromTyped reads a typed entry: in English the leading number; in metric the
//   shortest English decimal whose metric value shows as what was typed (at the shown
//   precision, or finer when more decimals were typed). Use it for values that will be stored,
//   so that saving and reopening shows exactly what was typed.
// - ShownValue (below) is what an entry box keeps, so that a box the user did not touch
//   gives back the exact English value it was filled from.
// - UnitLabel gives "t/ac" / "t/ha" etc.; WithUnit makes a caption "Name (unit)".
// All factors are exact products of the definitions of foot, pound, acre, mile and the
// International Table btu per pound (2.326 kJ/kg).
namespace Units {

// System and Quantity are declared in data/UnitQuantity.h, below every layer that names them.

// The defining constants (exact by international agreement).
inline constexpr double kMetersPerFoot = 0.3048;
inline constexpr double kKilogramsPerPound = 0.45359237;
inline constexpr double kHectaresPerAcre = 0.40468564224;
inline constexpr double kKilometersPerMile = 1.609344;
inline constexpr double kKilojoulesPerKilogramPerBtuPerPound = 2.326;
inline constexpr double kKilojoulesPerBtu = kKilojoulesPerKilogramPerBtuPerPound * kKilogramsPerPound;
inline constexpr double kMetersPerChain = 66 * kMetersPerFoot;
inline constexpr double kTonnesPerShortTon = 2000 * kKilogramsPerPound / 1000;

// Metric units per English unit of the quantity (1 for percentages and ratios).
double MetricPerEnglish(Quantity q);
// True when the two systems differ for the quantity.
bool IsConverted(Quantity q);

double FromEnglish(Quantity q, System s, double english);
double ToEnglish(Quantity q, System s, double shown);

// "t/ac", "t/ha", "%", ... ; empty for a ratio.
QString UnitLabel(Quantity q, System s);
// "name (unit)", or the name alone for a ratio.
QString WithUnit(const QString &name, Quantity q, System s);

// Decimals a computed value is shown with (result boxes, tables, chart readouts).
int ResultDecimals(Quantity q, System s);
// Decimals an entry box is rounded to; -1 means the plain general text (up to 15 significant
// digits), which English entries and percentages always use.
int EntryDecimals(Quantity q, System s);

// A computed English value as text in the system, fixed decimals ("7.3", "0.20").
QString FormatResult(Quantity q, System s, double english);
// An English value as entry text in the system ("0.5" in English, "1.12" t/ha in metric).
QString FormatEntry(Quantity q, System s, double english);
// An entry's value, already in the system's units, as entry text (rounded as FormatEntry).
QString FormatShownEntry(Quantity q, System s, double shown);

// The English value of typed entry text (see the header comment).
double EnglishFromTyped(Quantity q, System s, QStringView text);

// The smallest and largest values that can be typed in the system at entry precision whose
// English value (by EnglishFromTyped) lies within [englishLow, englishHigh]: the limits a
// range hint shows and a tuner slider spans. For English (or an unconverted quantity) they
// are the English limits.
double ShownLow(Quantity q, System s, double englishLow);
double ShownHigh(Quantity q, System s, double englishHigh);

// The value behind an entry box. Filled from an English value it remembers the text it
// showed; as long as the box still holds that text, the exact English value is given back, so
// showing a value and reading it again never changes it. Text the user changed is read with
// EnglishFromTyped.
class ShownValue
{
public:
    explicit ShownValue(Quantity q = Quantity::Ratio) : m_quantity(q) { }

    Quantity quantity() const { return m_quantity; }
    // The text to show for an English value; remembered with the value.
    QString show(System s, double english);
    // Remember text written as-is together with the English value it stands for.
    void remember(const QString &text, System s, double english);
    // The English value the box text stands for.
    double english(System s, QStringView text) const;
    // The box text converted to another system (the remembered value when unchanged).
    QString convert(System from, System to, const QString &text);

private:
    Quantity m_quantity;
    System m_system = System::English;
    QString m_text;
    double m_english = 0;
    bool m_valid = false;
};

// The quantity of a calculator property by its name ("RateOfSpread" -> RateOfSpread,
// "Loading1Hour" -> Loading, "WindSpeed" -> WindSpeed, ...). Moistures and the moisture of
// extinction are fractions there, so they, the codes and unknown names give Ratio.
Quantity CalculatorQuantity(std::string_view property);

// "english" / "metric", as settings and the command line spell them; parse is lenient about
// case and gives nothing for anything else.
QString SystemName(System s);
bool ParseSystemName(QStringView text, System *out);

} // namespace Units
