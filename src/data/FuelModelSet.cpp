#include "data/FuelModelSet.h"

#include "data/AppError.h"

FuelModelSet::FuelModelSet() : m_ClassDebugID(NextClassDebugID()) { }

const std::shared_ptr<FuelModels> &FuelModelSet::FuelModels()
{
    if (!m_FuelModels)
        m_FuelModels = std::make_shared<::FuelModels>();
    return m_FuelModels;
}
