#pragma once

#include "data/FuelModel.h"
#include "library/ModelNotes.h"
#include "units/Units.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// The custom fuel model file of the fire growth simulators: an optional first line ENGLISH or
// METRIC (English when missing), then one model a line, fields separated by blanks or tabs:
//
//   number code 1-h 10-h 100-h herb woody static|dynamic sav-1h sav-herb sav-woody depth mx
//   heat-dead heat-live name...
//
// Files are read as the simulators read them: a type holding a "d" (any case: D, dynamic) is
// dynamic and any other is static; a code longer than 7 characters is cut to 7; the older form
// of 13 numbers (number, loads, SA/V, depth, mx, heats; no code, type nor name) is a static
// model whose code is its number; lines end in LF, CR LF or CR CR LF.
//
// Loads t/ac (t/ha), SA/V 1/ft (1/cm), depth ft (cm), moisture of extinction percent, heat
// contents btu/lb (kJ/kg); the name is the rest of the line. Numbers are 1 to 256 and never a
// standard model's (1-13, 101-219); 90-99 stand for non-burnable cover.
//
// A model goes out with its ID as the code and its description as the name, and comes back
// the same way. The file has no primary fire carrier and one live heat content.

enum class FmdUnits { English, Metric };

inline constexpr int kFmdFirstNumber = 1;
inline constexpr int kFmdLastNumber = 256;
inline constexpr int kFmdFirstProposed = 14;
inline constexpr int kFmdLastProposed = 89;
inline constexpr int kFmdCodeLength = 7;
// The longest line the simulators read whole (without its line end); a longer one makes them
// lose every model after it.
inline constexpr int kFmdLongestLine = 254;

bool IsStandardModelNumber(int number); // 1-13 and 101-219
bool IsReservedModelNumber(int number); // 90-99, non-burnable cover
// Why number cannot be a custom model's number, or an empty text when it can.
QString FmdNumberProblem(int number);
// Why code cannot stand in the file, or an empty text when it can.
QString FmdCodeProblem(const QString &code);
// The number a model's ID stands for when it is a whole number written in digits, else 0.
int NumberOfID(const QString &id);

// Whether a fuel model ID is taken (in any letter case, blanks around it aside).
using IdTaken = std::function<bool(const QString &id)>;
// id itself when it is free, else id (cut when needed) with "_2", "_3", ... the first free one,
// never longer than 7 characters.
QString FreeModelID(const QString &id, const IdTaken &taken);

// ---- Export ----------------------------------------------------------------------------

struct FmdExportItem
{
    std::shared_ptr<const FuelModel> model;
    QString setName;
    int number = 0; // 0: none chosen
    QString code;
};

struct FmdExportCheck
{
    QStringList errors;   // refusals, each naming the model; nothing is written while any exist
    QStringList warnings; // written anyway, each naming the model
    bool ok() const { return errors.isEmpty(); }
};

// Numbers and codes for models about to be exported. The number is the ID's when the ID is a
// valid custom number, else remembered(set, model) when that gives a valid number not yet
// taken, else the lowest free number in 14-89 (0 when none is left). The code is the ID,
// trimmed, with inner blanks as "_".
using RememberedNumber = std::function<int(const QString &setName, const FuelModel &model)>;
QList<FmdExportItem> ProposeFmdExport(const QList<FmdExportItem> &models, const RememberedNumber &remembered);

// Every refusal (a number that is missing, outside 1-256, a standard model's, reserved or used
// twice; a code that is empty, too long, holds blanks or is used twice; a value that is not a
// finite number; a model without dead fuel, which makes the simulators refuse the whole file)
// and every warning (live herb and live woody heat contents that differ, given in the units
// shown; a name cut so that its line fits kFmdLongestLine in the file's units).
FmdExportCheck CheckFmdExport(const QList<FmdExportItem> &items, FmdUnits units = FmdUnits::English,
                              Units::System shown = Units::System::English);

// The one live heat content the file gets for a model: that of the live class with the larger
// load (the herb's when the loads are equal).
double FmdLiveHeatContent(const FuelModel &model);

// The file's bytes (CR LF line ends, plain ASCII digits; a name is cut where its line would be
// longer than kFmdLongestLine bytes). Call only when the check is clean.
QByteArray WriteFmd(const QList<FmdExportItem> &items, FmdUnits units);

// ---- Import ----------------------------------------------------------------------------

enum class FmdLineOutcome { Taken, Changed, Refused };

struct FmdLineReport
{
    int line = 0;
    FmdLineOutcome outcome = FmdLineOutcome::Taken;
    QString model;       // "number code" as read, for the report
    QStringList reasons; // why refused, what was changed, or how the line was read
};

struct FmdImport
{
    FmdUnits units = FmdUnits::English;
    bool unitsLineFound = false;
    QString heatContentNote;                  // metric files: which heat content unit was assumed
    QList<FmdLineReport> lines;               // every line that is not blank, in file order
    QList<std::shared_ptr<FuelModel>> models; // the models taken or changed, in file order
    QList<int> numbers;                       // their numbers in the file

    int count(FmdLineOutcome outcome) const;
    // The whole report as plain text: summary, assumptions, then one line per file line.
    QString reportText() const;
};

// Reads a custom fuel model file (UTF-8, or Windows-1252 when it is not valid UTF-8). Every
// line is checked against the editor's ranges and the library file's text rules; values outside
// a range are clamped to it and reported in the file's units. Each model's ID is its code,
// unless idTaken (the library's IDs) or an earlier line of the file has it already: then it
// gets FreeModelID's, reported. Never throws.
FmdImport ReadFmd(QByteArrayView bytes, const IdTaken &idTaken = {});

// Where each model taken from a custom model file came from, for its notes: one entry per model
// of imported (in its order), a history that starts with the file (path as given), its line,
// the SHA-256 of its bytes and the model number.
QList<ModelNotes> FmdImportNotes(const QString &path, const QByteArray &bytes, const FmdImport &imported);

// The primary fire carrier guessed for a model read from the file, and why, as an analyst
// would: from the code's family where it is written as the standard codes are, two letters and
// a digit (GR, GS grass; SH brush; TU, TL timber litter; SB slash: "GR2", "SH7x"), else
// from the fuel: herb load at least the woody load: grass; woody load: brush; dead fuel only:
// grass when the 1-h class is fine (SA/V 1500 1/ft and up), carries at least two thirds of the
// dead load and the bed is 1 ft deep or more, slash in any other bed 1 ft deep or more, timber
// litter in a shallower one.
struct FuelCatGuess
{
    double fuelCat = 3;
    QString why;
};
FuelCatGuess GuessFuelCat(const QString &code, const FuelModel &model);
