#include "data/ProgramState.h"

#include "data/AppError.h"
#include "data/NodeKey.h"

std::shared_ptr<FuelModelSets> gFMSets = std::make_shared<FuelModelSets>();

void ResetProgramState()
{
    gFMSets = std::make_shared<FuelModelSets>();
    ResetNodeKeyCounter();
    ResetClassDebugID();
}
