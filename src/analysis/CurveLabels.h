#pragma once

#include "analysis/Sweep.h"

#include <QString>

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

// What the response curve charts say about their curves, without widgets: the four results
// they draw, each curve's name, where the current environment sits on a curve and the text
// of one point under the mouse.

struct CurveOutput
{
    const char *title;
    Units::Quantity quantity;
    double SweepPoint::*value;
};

// Rate of spread, flame length, fireline intensity and size after one hour, in chart order.
const std::array<CurveOutput, 4> &CurveOutputs();

// "2 (edited)" ("model (edited)" without an ID), "Ref: 1", or "GR2 (Grass Models)".
QString CurveName(const ModelCurve &curve);

// The point of an evenly spaced sweep nearest to x; none when x lies outside the sweep.
std::optional<std::size_t> NearestSweepPoint(const std::vector<SweepPoint> &points, double x);

// The readout of one point: the curve's name, the swept input and the four results with their
// units ("cannot compute" instead when the point failed), and "wind limit reached" when the
// limit caps a burning fire there. Empty for a point that is not on the curve.
QString CurvePointText(const ModelCurve &curve, std::size_t index, SweepInput input, Units::System system);
