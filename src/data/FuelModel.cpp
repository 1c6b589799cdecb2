#include "data/FuelModel.h"

QString FuelCatText(double code)
{
    if (code == 1)
        return QStringLiteral("1 - Grass");
    if (code == 2)
        return QStringLiteral("2 - Brush");
    if (code == 3)
        return QStringLiteral("3 - Timber Litter");
    if (code == 4)
        return QStringLiteral("4 - Slash");
    return {};
}

QString HerbTypeText(double code)
{
    if (code == 1)
        return QStringLiteral("1 - Static");
    if (code == 2)
        return QStringLiteral("2 - Dynamic");
    return {};
}

QString ModelNodeText(const FuelModel &fm)
{
    return fm.FuelModelID() + QStringLiteral(" - ") + fm.Description();
}
