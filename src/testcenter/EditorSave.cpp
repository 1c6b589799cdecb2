#include "testcenter/EditorSave.h"

#include "data/Cp1252.h"
#include "data/FuelModel.h"
#include "data/FuelModelSets.h"
#include "data/NumberText.h"

namespace {

// Fields of the library file end at a line break, so a text cannot hold one.
QString TextProblem(const QString &text)
{
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
        return QStringLiteral("A line break cannot be stored in the library file.");
    return LibraryTextProblem(text);
}

} // namespace

EntryRefusal SaveTextRefusal(const QString &id, const QString &description)
{
    const QChar cr(13);
    if (const QString problem = TextProblem(id); !problem.isEmpty())
        return {QStringLiteral("ERROR: Fuel model ID ") + id + QStringLiteral("  cannot be saved.") + cr + problem,
                QStringLiteral("Fuel Model ID"), 0};
    if (const QString problem = TextProblem(description); !problem.isEmpty())
        return {QStringLiteral("ERROR: The description cannot be saved.") + cr + problem, QStringLiteral("Description"),
                1};
    return {};
}

void ApplyEntries(FuelModel &fm, const TestEntries &e, int fireCarryPosition, int herbTypePosition)
{
    const auto num = [&e](int i) { return EntryValue(e, i); };
    fm.setFuelModelID(e.box[0]);
    fm.setDescription(e.box[1]);
    fm.setLoading1Hour(num(2));
    fm.setLoading10Hour(num(3));
    fm.setLoading100Hour(num(4));
    fm.setLoadingLiveHerb(num(5));
    fm.setLoadingLiveWoody(num(6));
    fm.setSurfaceToVolume1Hour(num(7));
    fm.setSurfaceToVolumeLiveHerb(num(8));
    fm.setSurfaceToVolumeLiveWoody(num(9));
    fm.setHeatContentDead(num(10));
    fm.setHeatContentLiveHerb(num(11));
    fm.setHeatContentLiveWoody(num(12));
    fm.setBulkDensityDepth(num(13));
    fm.setMoistureOfExtinction(num(14));
    fm.setFuelCat(fireCarryPosition + 1);
    fm.setHerbType(herbTypePosition + 1);
}

bool EntriesChangeModel(const FuelModel &fm, const TestEntries &entries, int fireCarryPosition, int herbTypePosition)
{
    FuelModel saved = fm;
    ApplyEntries(saved, entries, fireCarryPosition, herbTypePosition);
    if (saved.FuelModelID() != fm.FuelModelID() || saved.Description() != fm.Description() ||
        saved.FuelCat() != fm.FuelCat() || saved.HerbType() != fm.HerbType())
        return true;
    for (int i = 2; i <= kLastModelEntry; ++i)
        if (ModelEntryValue(saved, i) != ModelEntryValue(fm, i))
            return true;
    return false;
}

double ModelEntryValue(const FuelModel &fm, int index)
{
    switch (index) {
    case 2:
        return fm.Loading1Hour();
    case 3:
        return fm.Loading10Hour();
    case 4:
        return fm.Loading100Hour();
    case 5:
        return fm.LoadingLiveHerb();
    case 6:
        return fm.LoadingLiveWoody();
    case 7:
        return fm.SurfaceToVolume1Hour();
    case 8:
        return fm.SurfaceToVolumeLiveHerb();
    case 9:
        return fm.SurfaceToVolumeLiveWoody();
    case 10:
        return fm.HeatContentDead();
    case 11:
        return fm.HeatContentLiveHerb();
    case 12:
        return fm.HeatContentLiveWoody();
    case 13:
        return fm.BulkDensityDepth();
    case 14:
        return fm.MoistureOfExtinction();
    default:
        return 0;
    }
}

std::array<QString, kLastModelEntry + 1> ModelEntryTexts(const FuelModel &fm)
{
    return {fm.FuelModelID().isEmpty() ? QStringLiteral("??") : fm.FuelModelID(),
            fm.Description().isEmpty() ? QStringLiteral("Please Enter a Description") : fm.Description(),
            FormatGeneral(fm.Loading1Hour()),
            FormatGeneral(fm.Loading10Hour()),
            FormatGeneral(fm.Loading100Hour()),
            FormatGeneral(fm.LoadingLiveHerb()),
            FormatGeneral(fm.LoadingLiveWoody()),
            FormatGeneral(fm.SurfaceToVolume1Hour()),
            FormatGeneral(fm.SurfaceToVolumeLiveHerb()),
            FormatGeneral(fm.SurfaceToVolumeLiveWoody()),
            FormatGeneral(fm.HeatContentDead()),
            FormatGeneral(fm.HeatContentLiveHerb()),
            FormatGeneral(fm.HeatContentLiveWoody()),
            FormatGeneral(fm.BulkDensityDepth()),
            FormatGeneral(fm.MoistureOfExtinction())};
}

bool LibraryHoldsModel(const FuelModelSets &sets, const FuelModel &fm)
{
    for (const auto &set : sets)
        if (set->FuelModels()->Contains(fm.Key()) && set->FuelModels()->Item(fm.Key()).get() == &fm)
            return true;
    return false;
}

QString ModelGoneMessage(const FuelModel &fm)
{
    const QChar cr(13);
    return QStringLiteral("The fuel model \"") + ModelNodeText(fm) +
        QStringLiteral("\" is no longer in the library: it was removed while the Edit and Test Center had it open.") +
        cr +
        QStringLiteral("Nothing was saved. Your entries are still in the editor; to keep them, make a new model "
                       "in the main window and enter them there.");
}
