#include "engine/FireSpread.h"

#include <stdexcept>

double FireSpread::Compute()
{
    throw std::logic_error("FireSpread::Compute: the spread core is not built yet");
}

double FireSpread::GetProperty(std::string_view) const
{
    throw std::invalid_argument("FireSpread: property access by name is not built yet");
}

void FireSpread::SetProperty(std::string_view, double)
{
    throw std::invalid_argument("FireSpread: property access by name is not built yet");
}

const std::vector<std::string> &FireSpread::PropertyNames()
{
    static const std::vector<std::string> names;
    return names;
}

bool FireSpread::IsOutputProperty(std::string_view)
{
    return false;
}
