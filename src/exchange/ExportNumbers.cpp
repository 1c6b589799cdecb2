#include "exchange/ExportNumbers.h"

#include <QSettings>
#include <QUrl>

namespace {

QString settingsKey(const QString &setName, const QString &id)
{
    // Percent-encoded so that a "/" in a name does not open a settings group.
    return QStringLiteral("CustomModelNumbers/") +
        QString::fromLatin1(QUrl::toPercentEncoding(setName + QLatin1Char('\t') + id.trimmed()));
}

} // namespace

int ExportNumberMemory::number(const QString &setName, const FuelModel &model) const
{
    return m_settings.value(settingsKey(setName, model.FuelModelID()), 0).toInt();
}

void ExportNumberMemory::remember(const QList<FmdExportItem> &items)
{
    for (const FmdExportItem &item : items)
        if (item.number != 0)
            m_settings.setValue(settingsKey(item.setName, item.model->FuelModelID()), item.number);
    m_settings.sync();
}

void ExportNumberMemory::remember(const QString &setName, const QList<std::shared_ptr<FuelModel>> &models,
                                  const QList<int> &numbers)
{
    for (qsizetype i = 0; i < models.size() && i < numbers.size(); ++i)
        m_settings.setValue(settingsKey(setName, models[i]->FuelModelID()), numbers[i]);
    m_settings.sync();
}

RememberedNumber ExportNumberMemory::lookup() const
{
    return [this](const QString &setName, const FuelModel &model) { return number(setName, model); };
}
