#include "exchange/SetCsv.h"

#include "data/CsvTable.h"
#include "data/NumberText.h"

#include <QStringList>

namespace {

struct ParameterColumn
{
    const char *name;
    Units::Quantity quantity;
    double (FuelModel::*get)() const;
};

using Q = Units::Quantity;
const ParameterColumn kFields[] = {
    {"1 Hour Loading", Q::Loading, &FuelModel::Loading1Hour},
    {"10 Hour Loading", Q::Loading, &FuelModel::Loading10Hour},
    {"100 Hour Loading", Q::Loading, &FuelModel::Loading100Hour},
    {"Live Herb Loading", Q::Loading, &FuelModel::LoadingLiveHerb},
    {"Live Woody Loading", Q::Loading, &FuelModel::LoadingLiveWoody},
    {"1 Hour SA/V", Q::SurfaceToVolume, &FuelModel::SurfaceToVolume1Hour},
    {"Live Herb SA/V", Q::SurfaceToVolume, &FuelModel::SurfaceToVolumeLiveHerb},
    {"Live Woody SA/V", Q::SurfaceToVolume, &FuelModel::SurfaceToVolumeLiveWoody},
    {"Heat Content Dead", Q::HeatContent, &FuelModel::HeatContentDead},
    {"Heat Content Live Herb", Q::HeatContent, &FuelModel::HeatContentLiveHerb},
    {"Heat Content Live Woody", Q::HeatContent, &FuelModel::HeatContentLiveWoody},
    {"Fuelbed Depth", Q::Depth, &FuelModel::BulkDensityDepth},
    {"Moisture of Extinction", Q::Moisture, &FuelModel::MoistureOfExtinction},
};

} // namespace

QByteArray SetParametersCsv(FuelModelSet &set, Units::System system, const LibraryNotes *notes)
{
    QStringList header{QStringLiteral("Fuel Model ID"), QStringLiteral("Description")};
    for (const ParameterColumn &f : kFields)
        header << CsvField(Units::WithUnit(QString::fromLatin1(f.name), f.quantity, system));
    header << QStringLiteral("Primary Fire Carrier") << QStringLiteral("Herb Type") << QStringLiteral("Source")
           << QStringLiteral("Author") << QStringLiteral("Notes");
    QString out = header.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    for (const auto &m : *set.FuelModels()) {
        QStringList row{CsvField(m->FuelModelID()), CsvField(m->Description())};
        for (const ParameterColumn &f : kFields)
            row << FormatGeneral(Units::FromEnglish(f.quantity, system, ((*m).*f.get)()));
        const QString carrier = FuelCatText(m->FuelCat());
        const QString herb = HerbTypeText(m->HerbType());
        row << CsvField(carrier.isEmpty() ? FormatGeneral(m->FuelCat()) : carrier)
            << CsvField(herb.isEmpty() ? FormatGeneral(m->HerbType()) : herb);
        const ModelNotes *n = notes ? notes->Of(m.get()) : nullptr;
        row << CsvField(n ? n->source : QString()) << CsvField(n ? n->author : QString())
            << CsvField(n ? n->notes : QString());
        out += row.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}
