#pragma once

#include "exchange/CustomModelFile.h"

class QSettings;

// The numbers chosen for models at export, kept in the user's settings (never in the library
// file), so that the next export of the same model proposes the same number. A model is known
// by its set's name and its ID.
class ExportNumberMemory
{
public:
    explicit ExportNumberMemory(QSettings &settings) : m_settings(settings) { }

    int number(const QString &setName, const FuelModel &model) const;
    void remember(const QList<FmdExportItem> &items);
    // The numbers models had in an imported file, for the set they were imported into.
    void remember(const QString &setName, const QList<std::shared_ptr<FuelModel>> &models, const QList<int> &numbers);
    RememberedNumber lookup() const;

private:
    QSettings &m_settings;
};
