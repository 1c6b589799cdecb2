#include "data/FuelModelSets.h"

std::shared_ptr<FuelModelSet> FuelModelSets::Add(const QString &Name, bool Locked, std::shared_ptr<FuelModels> models,
                                                 const QString &collectionKey)
{
    if (Contains(collectionKey))
        throw std::invalid_argument("This key is already associated with an element of this collection");
    auto set = std::make_shared<FuelModelSet>();
    set->setName(Name);
    set->setFuelModels(std::move(models));
    set->setLocked(Locked);
    Append(set, collectionKey);
    return set;
}

int FuelModelSets::ModelCount() const
{
    int n = 0;
    for (const auto &set : *this)
        n += set->FuelModels()->Count();
    return n;
}

bool FuelModelIDExists(const FuelModelSets &sets, const QString &id, const QString &excludedKey)
{
    const QString wanted = id.trimmed().toUpper();
    for (const auto &set : sets)
        for (const auto &fm : *set->FuelModels())
            if (fm->FuelModelID().trimmed().toUpper() == wanted && fm->Key() != excludedKey)
                return true;
    return false;
}
