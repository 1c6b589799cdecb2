// The main window's ways in and out of the library: custom fuel model files of the fire growth
// simulators. Both windows are thin: the checks, the file and the report are the exchange
// layer's, and an import changes the library only through AddImportedSet.
#include "manager/frmVarrow.h"

#include "library/LibraryFile.h"

#include "data/Cp1252.h"
#include "data/ProgramSettings.h"
#include "data/ProgramState.h"
#include "data/UserMessage.h"
#include "data/WholeFileWrite.h"
#include "exchange/ExportNumbers.h"
#include "exchange/OtherLibrary.h"
#include "exchange/SetCsv.h"
#include "exchange/ui/FmdExportDialog.h"
#include "exchange/ui/FmdImportDialog.h"
#include "exchange/ui/OtherLibraryDialog.h"
#include "library/EditActions.h"
#include "library/NotesFile.h"
#include "manager/FMTree.h"
#include "units/UnitSetting.h"

#include <QAction>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>

namespace {

QString sha256Of(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

const QString kFmdFilter = QStringLiteral("Custom fuel model files (*.fmd *.FMD);;All files (*)");

} // namespace

QString frmVarrow::chooseFile(bool save, const QString &caption, const QString &filter)
{
    return save ? m_prompts->ChooseSaveFile(caption, filter) : m_prompts->ChooseOpenFile(caption, filter);
}

void frmVarrow::ExportCustomModels()
{
    const QString sel = treeFMs->SelectedKey();
    if (sel.isEmpty())
        return;
    const QString setKey = SelectedSetKey(*treeFMs);
    const auto set = gFMSets->Item(setKey);
    QList<FmdExportItem> models;
    QString what;
    if (sel == setKey) {
        for (const auto &m : *set->FuelModels())
            models << FmdExportItem{m, set->Name(), 0, {}};
        what = QStringLiteral("The %1 models of the set \"%2\"").arg(models.size()).arg(set->Name());
    } else {
        models << FmdExportItem{set->FuelModels()->Item(sel), set->Name(), 0, {}};
        what = QStringLiteral("The model \"%1\"").arg(ModelNodeText(*models.first().model));
    }
    if (models.isEmpty()) {
        m_prompts->Message(QStringLiteral("The set \"%1\" holds no models to export.").arg(set->Name()), AppTitle(),
                           IPrompts::Icon::Exclamation);
        return;
    }
    QSettings settings = ProgramSettings();
    ExportNumberMemory memory(settings);
    FmdExportDialog dialog(ProposeFmdExport(models, memory.lookup()), what, Units::UnitSetting::instance().system(),
                           this);
    if (dialog.exec() != QDialog::Accepted || !dialog.Check().ok())
        return;
    QString path = chooseFile(true, QStringLiteral("Export Custom Fuel Models"), kFmdFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".fmd");
    const QList<FmdExportItem> items = dialog.Items();
    const QByteArray bytes = WriteFmd(items, dialog.Units());
    if (QString why; !WriteFileWhole(path, bytes, &why)) {
        m_prompts->Message(QStringLiteral("The custom fuel model file could not be written:\r%1\r%2")
                               .arg(QDir::toNativeSeparators(path), why),
                           AppTitle(), IPrompts::Icon::Exclamation);
        return;
    }
    memory.remember(items);
    recordExport(path, bytes, items);
    statusBar()->showMessage(QStringLiteral("%1 %2 exported to %3")
                                 .arg(items.size())
                                 .arg(items.size() == 1 ? QStringLiteral("model") : QStringLiteral("models"),
                                      QDir::toNativeSeparators(path)));
}

void frmVarrow::recordExport(const QString &path, const QByteArray &bytes, const QList<FmdExportItem> &items)
{
    // Each model's history keeps the number (and code) it has in the file: the simulators'
    // projects know the model by that number only. One step of the library's history.
    const QString sha = sha256Of(bytes);
    const QDateTime now = NotesNow();
    QList<QPair<std::shared_ptr<FuelModel>, QJsonObject>> entries;
    for (const FmdExportItem &item : items)
        for (const auto &set : *gFMSets)
            for (const auto &fm : *set->FuelModels())
                if (fm.get() == item.model.get())
                    entries.append(
                        {fm, ExportedEntry(now, QDir::toNativeSeparators(path), item.number, item.code, sha)});
    if (entries.isEmpty())
        return;
    ApplyLibraryChange(QStringLiteral("Export to '%1'").arg(QFileInfo(path).fileName()), [&] {
        for (const auto &[fm, entry] : entries)
            gLibraryNotes.Record(fm, entry);
        return true;
    });
}

bool frmVarrow::addImportedSets(const QList<ImportedSet> &sets, const QString &changeName)
{
    // One step of the library's history, undone and redone as a whole.
    LibrarySnapshot before = m_session->Capture();
    EditContext ctx{*treeFMs, *m_prompts, [this] { setPasteEnabled(true); }, [this] { m_session->Save(true); }, {}};
    bool added = true;
    try {
        AddImportedSets(ctx, sets);
    } catch (const std::exception &e) {
        m_prompts->Message(QStringLiteral("The command could not be completed. ") + UserMessageOf(e), AppTitle(),
                           IPrompts::Icon::Critical);
        added = false;
    }
    m_session->Record(changeName, std::move(before), m_session->Capture());
    return added;
}

bool frmVarrow::refuseReadOnlyImport()
{
    if (!m_session->Store().ReadOnly())
        return false;
    m_prompts->Message(QStringLiteral("The library is open read-only here: nothing can be imported into it."),
                       AppTitle(), IPrompts::Icon::Exclamation);
    return true;
}

void frmVarrow::ImportCustomModels()
{
    if (refuseReadOnlyImport())
        return;
    const QString path = chooseFile(false, QStringLiteral("Import Custom Fuel Models"), kFmdFilter);
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_prompts->Message(QStringLiteral("The file could not be read:\r%1\r%2")
                               .arg(QDir::toNativeSeparators(path), file.errorString()),
                           AppTitle(), IPrompts::Icon::Exclamation);
        return;
    }
    // A custom model file holds at most a few hundred lines; a larger file is not one. Read a
    // piece at a time: a device's size says nothing.
    constexpr qint64 kLargestFile = 4 * 1024 * 1024;
    file.close();
    QByteArray bytes;
    if (QString why; !ReadBoundedFile(path, kLargestFile, &bytes, &why)) {
        m_prompts->Message(QStringLiteral("%1 cannot be imported as a custom fuel model file: it %2.")
                               .arg(QDir::toNativeSeparators(path), why),
                           AppTitle(), IPrompts::Icon::Exclamation);
        return;
    }
    // Each model gets an ID no set of the library has yet.
    const QByteArray &fileBytes = bytes;
    FmdImport imported = ReadFmd(fileBytes, LibraryIdTaken(*gFMSets));
    QString base = QFileInfo(path).completeBaseName();
    if (base.isEmpty() || !SetNameProblem(base).isEmpty())
        base = QStringLiteral("Imported Models");
    FmdImportDialog dialog(
        QDir::toNativeSeparators(path), imported, FreeSetName(*gFMSets, base),
        [](const QString &name) { return ImportedSetNameProblem(*gFMSets, name); }, this);
    if (dialog.exec() != QDialog::Accepted || imported.models.isEmpty())
        return;
    const QList<double> carriers = dialog.FuelCats();
    for (qsizetype i = 0; i < imported.models.size() && i < carriers.size(); ++i)
        imported.models[i]->setFuelCat(carriers[i]);
    if (!addImportedSets({ImportedSet{dialog.SetName(),
                                      false,
                                      imported.models,
                                      FmdImportNotes(QDir::toNativeSeparators(path), fileBytes, imported),
                                      {}}},
                         QStringLiteral("Import '%1'").arg(dialog.SetName())))
        return;
    // The file's numbers are the models' identity in the simulators' projects: the next export
    // proposes them again.
    QSettings settings = ProgramSettings();
    ExportNumberMemory(settings).remember(dialog.SetName(), imported.models, imported.numbers);
    treeFMs_NodeClick(treeFMs->SelectedKey());
    statusBar()->showMessage(
        QStringLiteral("%1 models imported into the set \"%2\"").arg(imported.models.size()).arg(dialog.SetName()));
}

void frmVarrow::ImportSetsFromLibrary()
{
    if (refuseReadOnlyImport())
        return;
    const QString path = chooseFile(false, QStringLiteral("Import Sets from Another Library"),
                                    QStringLiteral("Fuel model libraries (*.FFM *.ffm);;All files (*)"));
    if (path.isEmpty())
        return;
    const OtherLibrary other = ReadOtherLibrary(path);
    if (!other.ok) {
        m_prompts->Message(other.problem, AppTitle(), IPrompts::Icon::Exclamation);
        return;
    }
    if (other.sets.isEmpty()) {
        m_prompts->Message(QStringLiteral("%1 holds no sets.").arg(QDir::toNativeSeparators(path)), AppTitle(),
                           IPrompts::Icon::Exclamation);
        return;
    }
    OtherLibraryDialog dialog(QDir::toNativeSeparators(path), other, *gFMSets, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The other library's notes come along, when it has a notes file, and each model's history
    // says where it came from.
    FuelModelSets otherSets;
    for (qsizetype i = 0; i < other.sets.size(); ++i)
        otherSets.Append(other.sets[i].set, QString::number(i));
    const LibraryNotes otherNotes = LoadNotes(path, otherSets, false).notes;
    QFile otherFile(path);
    const QString sha = otherFile.open(QIODevice::ReadOnly) ? sha256Of(otherFile.readAll()) : QString();
    const QDateTime now = NotesNow();
    QList<ImportedSet> sets;
    for (const OtherLibraryDialog::Choice &c : dialog.Chosen()) {
        FuelModelSet &source = *other.sets[c.index].set;
        ImportedSet set{c.name, other.sets[c.index].locked, CopyModels(source), {}, {}};
        if (const SetNotes *n = otherNotes.Of(&source))
            set.setNotes = *n;
        for (const auto &fm : *source.FuelModels()) {
            ModelNotes n;
            if (const ModelNotes *there = otherNotes.Of(fm.get()))
                n = *there;
            QJsonObject entry = ImportedEntry(now, QDir::toNativeSeparators(path), 0, sha);
            entry.insert(QStringLiteral("set"), source.Name());
            entry.insert(QStringLiteral("id"), fm->FuelModelID());
            n.history << entry;
            set.notes << n;
        }
        sets << set;
    }
    if (sets.isEmpty())
        return;
    const QStringList changedIDs = GiveFreeIDs(sets, *gFMSets);
    if (!addImportedSets(sets,
                         sets.size() == 1 ? QStringLiteral("Import Set '%1'").arg(sets.first().name)
                                          : QStringLiteral("Import %1 Sets").arg(sets.size())))
        return;
    if (!changedIDs.isEmpty())
        m_prompts->Message(QStringLiteral("Fuel model IDs are unique in the whole library; these models were given "
                                          "a new ID:\r") +
                               changedIDs.join(QLatin1Char('\r')),
                           AppTitle(), IPrompts::Icon::Information);
    treeFMs_NodeClick(treeFMs->SelectedKey());
    statusBar()->showMessage(
        QStringLiteral("%1 %2 imported from %3")
            .arg(sets.size())
            .arg(sets.size() == 1 ? QStringLiteral("set") : QStringLiteral("sets"), QDir::toNativeSeparators(path)));
}

void frmVarrow::ExportSetCsv()
{
    const QString setKey = SelectedSetKey(*treeFMs);
    if (setKey.isEmpty())
        return;
    const auto set = gFMSets->Item(setKey);
    QString path = chooseFile(true, QStringLiteral("Export Set Parameters as CSV"),
                              QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    const QByteArray bytes = SetParametersCsv(*set, Units::UnitSetting::instance().system(), &gLibraryNotes);
    if (QString why; !WriteFileWhole(path, bytes, &why)) {
        m_prompts->Message(
            QStringLiteral("The CSV file could not be written:\r%1\r%2").arg(QDir::toNativeSeparators(path), why),
            AppTitle(), IPrompts::Icon::Exclamation);
        return;
    }
    statusBar()->showMessage(
        QStringLiteral("The parameters of \"%1\" exported to %2").arg(set->Name(), QDir::toNativeSeparators(path)));
}

void frmVarrow::buildExchangeActions()
{
    actExportSetCsv = new QAction(QStringLiteral("Export Set as &CSV..."), this);
    actExportSetCsv->setObjectName(QStringLiteral("actExportSetCsv"));
    actExportSetCsv->setStatusTip(
        QStringLiteral("Write the parameters of the selected set as CSV, in the units shown"));
    connect(actExportSetCsv, &QAction::triggered, this, &frmVarrow::ExportSetCsv);
    actImportCustomModels = new QAction(QStringLiteral("&Import Custom Fuel Models..."), this);
    actImportCustomModels->setObjectName(QStringLiteral("actImportCustomModels"));
    actImportCustomModels->setStatusTip(
        QStringLiteral("Read a custom fuel model file of the fire growth simulators into a new set"));
    actExportCustomModels = new QAction(QStringLiteral("&Export Custom Fuel Models..."), this);
    actExportCustomModels->setObjectName(QStringLiteral("actExportCustomModels"));
    actExportCustomModels->setStatusTip(
        QStringLiteral("Write the selected set or model as a custom fuel model file for the fire growth simulators"));
    actImportSets = new QAction(QStringLiteral("Import &Sets from Another Library..."), this);
    actImportSets->setObjectName(QStringLiteral("actImportSets"));
    actImportSets->setStatusTip(QStringLiteral("Copy sets from another library file into this library"));
    connect(actImportCustomModels, &QAction::triggered, this, &frmVarrow::ImportCustomModels);
    connect(actExportCustomModels, &QAction::triggered, this, &frmVarrow::ExportCustomModels);
    connect(actImportSets, &QAction::triggered, this, &frmVarrow::ImportSetsFromLibrary);

    // In the File menu, above the commands of the library file itself.
    mnuFile->insertActions(m_fileLibrarySection,
                           {actImportCustomModels, actImportSets, actExportCustomModels, actExportSetCsv});
}
