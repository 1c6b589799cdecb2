#include "units/MidflameWind.h"

#include "data/NumberText.h"

namespace Units {

double UnroundedMidflameWindSpeed(double twentyFootWindMph, double adjustmentFactor)
{
    return adjustmentFactor * twentyFootWindMph;
}

double MidflameWindSpeed(double twentyFootWindMph, double adjustmentFactor)
{
    // Rounded as the box's "##0.0" text and read back, so that the value computed with is
    // exactly the one the box shows.
    return ParseLeadingNumber(FormatPattern(UnroundedMidflameWindSpeed(twentyFootWindMph, adjustmentFactor), u"##0.0"));
}

} // namespace Units
