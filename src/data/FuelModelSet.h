#pragma once

#include "data/FuelModels.h"

#include <cstdint>
#include <memory>

// A named, lockable set of fuel models. The lock is only a flag here: the windows keep a
// locked set unchanged. Name is not unique; sets are told apart by their keys.
class FuelModelSet
{
public:
    FuelModelSet();

    bool Locked() const { return m_Locked; }
    void setLocked(bool v) { m_Locked = v; }

    // The set's models; a set made without a collection gets an empty one on first read.
    const std::shared_ptr<::FuelModels> &FuelModels();
    // Stores the given collection itself (shared, not copied).
    void setFuelModels(std::shared_ptr<::FuelModels> models) { m_FuelModels = std::move(models); }

    const QString &Name() const { return m_Name; }
    void setName(const QString &v) { m_Name = v; }

    std::int32_t ClassDebugID() const { return m_ClassDebugID; }

private:
    std::int32_t m_ClassDebugID;
    QString m_Name{QLatin1String("")};
    std::shared_ptr<::FuelModels> m_FuelModels;
    bool m_Locked = false;
};
