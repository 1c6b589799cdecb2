#include "testcenter/TestCenterState.h"

std::shared_ptr<FireSpread> CurrentFireSpread = std::make_shared<FireSpread>();
std::shared_ptr<FireSpread> ReferenceFireSpread = std::make_shared<FireSpread>();
SpreadConventions gSpreadConventions = SpreadConventions::Core;

void ResetTestCenterState()
{
    CurrentFireSpread = std::make_shared<FireSpread>();
    ReferenceFireSpread = std::make_shared<FireSpread>();
    gSpreadConventions = SpreadConventions::Core;
}
