#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// The rate of spread adjustment file of the fire growth simulators: one line per custom fuel
// model, its number and the factor its rate of spread is multiplied by, separated by a blank
// ("14 0.85"), lines ended by CR LF. Flame length is not adjusted by it.
QByteArray WriteAdjustmentFile(const std::vector<std::pair<int, double>> &numberAndFactor);

// Why number cannot stand in an adjustment file, or an empty text when it can. The simulators'
// models are numbered 1 to 256 and 90-99 are non-burnable cover; a standard model (1-13,
// 101-219) is adjusted by its own number.
QString AdjustmentNumberProblem(int number);

// Numbers proposed for models with these IDs, in their order: an ID that is a whole number
// and a valid model number keeps it (where no earlier model took it), the others get the lowest
// of 14-89 not taken; 0 when none is left.
std::vector<int> ProposeAdjustmentNumbers(const QStringList &ids);

// One model's line as typed in the export window: its ID, the number typed and its factor.
struct TypedAdjustment
{
    QString id;
    QString number;
    double factor = 1;
};

// The lines (number and factor) of the typed numbers, in their order, and in *faults one text
// per model whose number cannot stand: "ID: no model number", "ID: " + AdjustmentNumberProblem,
// or "ID: the model number N is given twice". The file may be written only without faults.
std::vector<std::pair<int, double>> AdjustmentLines(const std::vector<TypedAdjustment> &typed, QStringList *faults);
