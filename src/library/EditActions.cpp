#include "library/EditActions.h"

#include "data/Cp1252.h"
#include "data/NodeKey.h"
#include "data/ProgramState.h"
#include "library/ModelNotes.h"

#include <QStringList>

#include <stdexcept>

// Every action that adds something draws all its keys before it changes anything, so that
// running out of keys leaves the tree and the library as they were.

std::optional<CopiedNode> gCopyNode;
std::shared_ptr<FuelModel> gClipFM;
QString gPasteMode;

void ResetEditActions()
{
    gCopyNode.reset();
    gClipFM.reset();
    gPasteMode.clear();
}

namespace {

const QString kSetNameTitle = QStringLiteral("Fuel Model Set Name");
// No model key can equal fourteen ampersands, so the ID check covers every model.
const QString kNoModelKey = QStringLiteral("&&&&&&&&&&&&&&");

bool isSetNode(const ITree &tree, const QString &key)
{
    return tree.Tag(key) == kSetTag;
}

void selectNew(ITree &tree, const QString &key)
{
    tree.EnsureVisible(key);
    tree.SetSelectedKey(key);
    tree.SetFocus();
}

void copy(EditContext &ctx)
{
    const QString sel = ctx.tree.SelectedKey();
    if (sel.isEmpty())
        return;
    if (!isSetNode(ctx.tree, sel)) {
        gCopyNode = CopiedNode{sel, false};
        gClipFM = gFMSets->Item(ctx.tree.ParentKey(sel))->FuelModels()->Item(sel);
    } else {
        gCopyNode = CopiedNode{sel, true};
    }
    if (ctx.enablePaste)
        ctx.enablePaste();
}

// The paste dialog checks its entries itself; the check is repeated here so that no other
// implementation of the prompts can slip a duplicate ID or an unstorable text into the library.
std::optional<IPrompts::PasteAnswer> askPasteEntries(IPrompts &prompts)
{
    for (;;) {
        IPrompts::PasteAnswer answer = prompts.PasteModel();
        if (answer.cancelled())
            return std::nullopt;
        const auto problem = CheckPasteEntries(*gFMSets, answer.id, answer.description);
        if (!problem)
            return answer;
        prompts.Message(problem->text, PasteMessageTitle(), IPrompts::Icon::Exclamation);
    }
}

void pasteModel(EditContext &ctx, const QString &targetKey)
{
    if (!gClipFM || (gPasteMode != QLatin1String("Copy") && gPasteMode != QLatin1String("Cut")))
        return;
    const QString key = NewNodeKey(false);
    QString id = gClipFM->FuelModelID();
    QString description = gClipFM->Description();
    const auto target = gFMSets->Item(targetKey);
    // A cut model keeps its ID, unless the set it goes into has that ID already: then it is
    // asked for like a copy.
    bool ask = gPasteMode == QLatin1String("Copy");
    if (!ask && SetHoldsModelID(*target->FuelModels(), id)) {
        ctx.prompts.Message(QStringLiteral("The fuel model set \"%1\" already holds a fuel model with the ID %2.\r"
                                           "Please give the pasted model a new ID and description.")
                                .arg(target->Name(), id.trimmed()),
                            PasteMessageTitle(), IPrompts::Icon::Exclamation);
        ask = true;
    }
    if (ask) {
        const auto answer = askPasteEntries(ctx.prompts);
        if (!answer)
            return;
        id = answer->id;
        description = answer->description;
    }
    const auto fm = target->FuelModels()->AddCopy(*gClipFM, id, description, key);
    // Notes: a cut model takes its own along; a copy starts a history of its own.
    if (gPasteMode == QLatin1String("Cut"))
        gLibraryNotes.Move(gClipFM.get(), fm);
    else
        gLibraryNotes.CopyTo(gClipFM.get(), ClipSetName(), fm);
    ctx.tree.AddChild(targetKey, key, ModelNodeText(*fm), ImgModel);
    selectNew(ctx.tree, key);
    ctx.save();
}

void pasteSet(EditContext &ctx)
{
    if (!gFMSets->Contains(gCopyNode->key)) {
        ctx.prompts.Message(QStringLiteral("The copied fuel model set no longer exists, so there is nothing to "
                                           "paste.\rCopy a set or a model again."),
                            AppTitle(), IPrompts::Icon::Exclamation);
        return;
    }
    const auto source = gFMSets->Item(gCopyNode->key);
    const QString setKey = NewNodeKey(false);
    const QString name = GetNewSetName(ctx.tree, ctx.prompts, QStringLiteral("Enter the copy's set name"),
                                       QStringLiteral("Copy of ") + source->Name());
    if (name.isEmpty())
        return;
    const auto &sourceModels = source->FuelModels();
    QStringList modelKeys;
    modelKeys.reserve(sourceModels->Count());
    for (int i = 0; i < sourceModels->Count(); ++i)
        modelKeys << NewNodeKey(false);

    auto models = std::make_shared<FuelModels>();
    models->Reserve(sourceModels->Count());
    const auto copy = gFMSets->Add(name, false, models, setKey);
    if (const SetNotes *notes = gLibraryNotes.Of(source.get()); notes && !notes->IsEmpty())
        gLibraryNotes.Edit(copy) = *notes;
    ctx.tree.AddRoot(setKey, name, ImgSetClosed);
    ctx.tree.SetTag(setKey, kSetTag);
    ctx.tree.SetExpandedImage(setKey, ImgSetOpen);
    QString last = setKey;
    int i = 0;
    for (const auto &src : *sourceModels) {
        const QString &key = modelKeys[i++];
        const auto fm = models->AddCopy(*src, src->FuelModelID(), src->Description(), key);
        gLibraryNotes.CopyTo(src.get(), source->Name(), fm);
        ctx.tree.AddChild(setKey, key, ModelNodeText(*fm), ImgModel);
        last = key;
    }
    selectNew(ctx.tree, last);
    ctx.save();
}

void paste(EditContext &ctx)
{
    if (ctx.tree.Count() == 0 || !gCopyNode)
        return;
    const QString target = SelectedSetKey(ctx.tree);
    if (target.isEmpty())
        return;
    if (gCopyNode->isSet)
        pasteSet(ctx);
    else
        pasteModel(ctx, target);
}

void addModel(EditContext &ctx)
{
    const QString key = NewNodeKey(false);
    if (ctx.tree.Count() == 0)
        return;
    const QString target = SelectedSetKey(ctx.tree);
    if (target.isEmpty())
        return;
    const auto fm = gFMSets->Item(target)->FuelModels()->Add(QStringLiteral("New"), QStringLiteral("New Model"), 0, 0,
                                                             0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, key, key);
    fm->setBulkDensityDepth(1);
    fm->setHeatContentDead(8000);
    fm->setHeatContentLiveHerb(8000);
    fm->setHeatContentLiveWoody(8000);
    fm->setMoistureOfExtinction(25);
    gLibraryNotes.Record(fm, CreatedBlankEntry(NotesNow()));
    ctx.tree.AddChild(target, key, fm->Description(), ImgModel);
    selectNew(ctx.tree, key);
    ctx.save();
}

void addSet(EditContext &ctx)
{
    const QString name =
        GetNewSetName(ctx.tree, ctx.prompts, QStringLiteral("Enter the name for the new fuel model set"),
                      QStringLiteral("New Fuel Model Set"));
    if (name.isEmpty())
        return;
    const QString key = NewNodeKey(false);
    gFMSets->Add(name, false, std::make_shared<FuelModels>(), key);
    ctx.tree.AddRoot(key, name, ImgSetClosed);
    ctx.tree.SetTag(key, kSetTag);
    ctx.tree.SetExpandedImage(key, ImgSetOpen);
    ctx.save();
}

void deleteSelected(EditContext &ctx)
{
    if (ctx.tree.Count() == 0)
        return;
    const QString sel = ctx.tree.SelectedKey();
    if (sel.isEmpty())
        return;
    const QString setKey = SelectedSetKey(ctx.tree);
    const auto set = gFMSets->Item(setKey);
    if (const QString why = ModelInEditorProblem(*set, sel == setKey ? QString() : sel, ctx.modelInEditor);
        !why.isEmpty()) {
        ctx.prompts.Message(why, AppTitle(), IPrompts::Icon::Exclamation);
        return;
    }
    if (sel == setKey) {
        if (ctx.prompts.AskYesNo(QStringLiteral("Are you sure you want to delete fuel model set: ") + set->Name() +
                                     QLatin1Char('?'),
                                 QString(), IPrompts::Icon::Question)) {
            QStringList children;
            for (int pos = 1; pos <= ctx.tree.Count(); ++pos) {
                const QString key = ctx.tree.KeyAt(pos);
                if (!isSetNode(ctx.tree, key) && ctx.tree.ParentKey(key) == sel)
                    children << key;
            }
            for (const QString &key : children) {
                gLibraryNotes.Leave(set->FuelModels()->Item(key).get(), set->Name());
                set->FuelModels()->Remove(key);
                ctx.tree.Remove(key);
            }
            ctx.tree.Remove(sel);
            gFMSets->Remove(sel);
        }
    } else {
        const auto fm = set->FuelModels()->Item(sel);
        if (ctx.prompts.AskYesNo(QStringLiteral("Are you sure you want to delete fuel model: ") + ModelNodeText(*fm) +
                                     QLatin1Char('?'),
                                 QString(), IPrompts::Icon::Question)) {
            gLibraryNotes.Leave(fm.get(), set->Name());
            set->FuelModels()->Remove(sel);
            ctx.tree.Remove(sel);
        }
    }
    ctx.save();
}

} // namespace

void EditAction(EditContext &ctx, const QString &action)
{
    const QString word = action.toUpper();
    try {
        if (word == QLatin1String("COPY"))
            copy(ctx);
        else if (word == QLatin1String("PASTE"))
            paste(ctx);
        else if (word == QLatin1String("ADDMODEL"))
            addModel(ctx);
        else if (word == QLatin1String("ADDSET"))
            addSet(ctx);
        else if (word == QLatin1String("DELETE"))
            deleteSelected(ctx);
    } catch (const std::overflow_error &) {
        ctx.prompts.Message(QStringLiteral("No more sets or models can be made in this run of the program. "
                                           "Nothing was changed.\rClose the program and start it again."),
                            AppTitle(), IPrompts::Icon::Exclamation);
    }
}

QStringList AddImportedSets(EditContext &ctx, const QList<ImportedSet> &sets)
{
    QStringList setKeys;
    QList<QStringList> modelKeys;
    for (const ImportedSet &set : sets) {
        setKeys << NewNodeKey(set.locked);
        QStringList keys;
        for (qsizetype i = 0; i < set.models.size(); ++i)
            keys << NewNodeKey(false);
        modelKeys << keys;
    }
    for (qsizetype s = 0; s < sets.size(); ++s) {
        const ImportedSet &set = sets[s];
        const QString &setKey = setKeys[s];
        auto collection = std::make_shared<FuelModels>();
        for (qsizetype i = 0; i < set.models.size(); ++i) {
            set.models[i]->setKey(modelKeys[s][i]);
            collection->Append(set.models[i], modelKeys[s][i]);
            if (i < set.notes.size() && !set.notes[i].IsEmpty())
                gLibraryNotes.Edit(set.models[i]) = set.notes[i];
        }
        const auto added = gFMSets->Add(set.name, set.locked, collection, setKey);
        if (!set.setNotes.IsEmpty())
            gLibraryNotes.Edit(added) = set.setNotes;
        ctx.tree.AddRoot(setKey, set.name, set.locked ? ImgLockedClosed : ImgSetClosed);
        ctx.tree.SetTag(setKey, kSetTag);
        ctx.tree.SetExpandedImage(setKey, set.locked ? ImgLockedOpen : ImgSetOpen);
        for (qsizetype i = 0; i < set.models.size(); ++i)
            ctx.tree.AddChild(setKey, modelKeys[s][i], ModelNodeText(*set.models[i]), ImgModel);
    }
    if (setKeys.isEmpty())
        return setKeys;
    selectNew(ctx.tree, setKeys.first());
    ctx.save();
    return setKeys;
}

QString ClipSetName()
{
    if (!gClipFM)
        return {};
    if (const auto set = SetHoldingModel(*gFMSets, gClipFM.get()))
        return set->Name();
    const ModelNotes *notes = gLibraryNotes.Of(gClipFM.get());
    return notes ? notes->set : QString();
}

QString SelectedSetKey(const ITree &tree)
{
    if (tree.Count() == 0)
        return {};
    const QString sel = tree.SelectedKey();
    if (sel.isEmpty())
        return {};
    return isSetNode(tree, sel) ? sel : tree.ParentKey(sel);
}

QString GetNewSetName(const ITree &tree, IPrompts &prompts, const QString &prompt, const QString &defaultText)
{
    QString text = prompt;
    // A refused name comes back as typed, so that only what is wrong needs mending.
    QString shown = defaultText;
    for (;;) {
        const std::optional<QString> entry = prompts.InputBox(text, kSetNameTitle, shown);
        if (!entry || entry->isEmpty())
            return {};
        bool taken = false;
        for (int pos = 1; pos <= tree.Count() && !taken; ++pos) {
            const QString key = tree.KeyAt(pos);
            taken = isSetNode(tree, key) && tree.Text(key) == *entry;
        }
        shown = *entry;
        if (taken) {
            prompts.Beep();
            text = QStringLiteral("The fuel model set already exist! \rPlease change the name.");
            continue;
        }
        const QString problem = SetNameProblem(*entry);
        if (!problem.isEmpty()) {
            prompts.Message(QStringLiteral("This name cannot be used for a fuel model set.\r") + problem, kSetNameTitle,
                            IPrompts::Icon::Exclamation);
            continue;
        }
        return *entry;
    }
}

std::optional<PasteEntryProblem> CheckPasteEntries(const FuelModelSets &sets, const QString &id,
                                                   const QString &description)
{
    if (FuelModelIDExists(sets, id, kNoModelKey))
        return PasteEntryProblem{QStringLiteral("ERROR: Fuel model ID ") + id + QStringLiteral("  already exists"), 0};
    if (id.isEmpty())
        return PasteEntryProblem{QStringLiteral("ERROR: Fuel model ID may not be blank"), 0};
    if (const QString problem = LibraryTextProblem(id); !problem.isEmpty())
        return PasteEntryProblem{QStringLiteral("ERROR: This fuel model ID cannot be used.\r") + problem, 0};
    if (description.isEmpty())
        return PasteEntryProblem{QStringLiteral("ERROR: Fuel model Description may not be blank"), 1};
    if (const QString problem = LibraryTextProblem(description); !problem.isEmpty())
        return PasteEntryProblem{QStringLiteral("ERROR: This description cannot be used.\r") + problem, 1};
    return std::nullopt;
}

bool SetHoldsModelID(const FuelModels &models, const QString &id)
{
    const QString wanted = id.trimmed().toUpper();
    for (const auto &fm : models)
        if (fm->FuelModelID().trimmed().toUpper() == wanted)
            return true;
    return false;
}

QString ModelInEditorProblem(FuelModelSet &set, const QString &modelKey, const QString &modelInEditor)
{
    if (modelInEditor.isEmpty() || !set.FuelModels()->Contains(modelInEditor))
        return {};
    const QString model = ModelNodeText(*set.FuelModels()->Item(modelInEditor));
    if (modelKey.isEmpty())
        return QStringLiteral("The fuel model set \"%1\" cannot be deleted now: its fuel model \"%2\" is open in the "
                              "Edit and Test Center.\rClose the Edit and Test Center first.")
            .arg(set.Name(), model);
    if (modelKey == modelInEditor)
        return QStringLiteral("The fuel model \"%1\" cannot be cut or deleted now: it is open in the Edit and Test "
                              "Center.\rClose the Edit and Test Center first.")
            .arg(model);
    return {};
}

QString PasteMessageTitle()
{
    return QStringLiteral("Fuel Model ID");
}

SetRenameCheck CheckSetRename(const ITree &tree, const QString &key, const QString &newText)
{
    if (newText.isEmpty() || newText == tree.Text(key))
        return {SetRenameCheck::Unchanged, {}};
    const QString wanted = newText.toUpper();
    for (int pos = 1; pos <= tree.Count(); ++pos) {
        const QString other = tree.KeyAt(pos);
        if (isSetNode(tree, other) && tree.Text(other).toUpper() == wanted)
            return {SetRenameCheck::Taken, QStringLiteral("Fuel model set already exists!\rPlease change the name.")};
    }
    if (const QString problem = SetNameProblem(newText); !problem.isEmpty())
        return {SetRenameCheck::Unstorable,
                QStringLiteral("This name cannot be used for a fuel model set.\r") + problem};
    return {SetRenameCheck::Accept, {}};
}
