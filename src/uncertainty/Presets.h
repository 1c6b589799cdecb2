#pragma once

#include "uncertainty/UncertainInputs.h"

#include <string>
#include <string_view>
#include <vector>

// The distributions analysts start from, and the text the chosen inputs are kept as.

struct UncertaintyPreset
{
    std::string_view name;
    std::vector<VaryingInput> inputs;
};

// "moistures +/- 30 %" (the five moistures), "fuel bed +/- 20 %" (the five loads and the
// depth), "wind +/- 25 %" (the 20-ft wind) and "all of these".
const std::vector<UncertaintyPreset> &UncertaintyPresets();

// "moist-1h=pct:30;wind=cv:0.25" and back; ReadInputsText skips parts it cannot read.
std::string InputsText(const std::vector<VaryingInput> &inputs);
std::vector<VaryingInput> ReadInputsText(std::string_view text);

// The point of a calculator whose inputs are set as the editor sets them: its fuel bed as a
// model, its moistures, 20-ft wind (WindSpeedNA), midflame wind (WindSpeed, as the editor
// computed it), slope and conventions, and the wind adjustment factor.
UncertaintyPoint PointOfSpread(const FireSpread &fs, double windAdjustment);
