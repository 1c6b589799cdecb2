#pragma once

#include "data/FuelModel.h"
#include "data/FuelModelSets.h"
#include "data/IPrompts.h"
#include "library/ITree.h"
#include "library/ModelNotes.h"

#include <functional>
#include <memory>
#include <optional>

// The edit actions: the one place where the library's structure changes (copy and paste of
// models and whole sets, a blank model, a new set, deleting a model or a set). Each action
// changes gFMSets and the tree together, node for node, so that both always hold the same sets
// and models in the same order, and then has the host save the whole library.
//
// The actions check no locks: the window only offers the commands a selection allows. They ask
// the user only through IPrompts and reach the tree only through ITree, so every action runs
// without widgets. A failure to save is the host's to report; the change stays in memory.

// The node selected at the last COPY. Only its key and kind are kept: a copied model lives on
// in gClipFM even when its node is gone, and a copied set is looked up again at paste time.
struct CopiedNode
{
    QString key;
    bool isSet = false;
};

// The clipboard, kept for the whole run.
extern std::optional<CopiedNode> gCopyNode;
// The library's own record of the model copied last (not a copy of it), so a model that is
// cut stays alive until it is pasted, and a paste takes the values the record has then.
extern std::shared_ptr<FuelModel> gClipFM;
// "Copy", "Cut" or empty; set by the window right after it copies or cuts.
extern QString gPasteMode;

// Empties the clipboard and the paste mode.
void ResetEditActions();

// What an action needs of the window that hosts it.
struct EditContext
{
    ITree &tree;
    IPrompts &prompts;
    // Enables the window's paste commands.
    std::function<void()> enablePaste;
    // Writes the whole library; the host reports a failure itself.
    std::function<void()> save;
    // Key of the model an open editor holds, or empty. DELETE refuses that model and its set,
    // with a message, since the editor's Save would write into a record the library no longer has.
    QString modelInEditor;
};

// Runs the action word ("COPY", "PASTE", "ADDMODEL", "ADDSET", "DELETE", any letter case) on
// the tree's selected node; any other word does nothing.
void EditAction(EditContext &ctx, const QString &action);

// One set to be added by an import: its name, lock flag and models (taken over, not copied).
struct ImportedSet
{
    QString name;
    bool locked = false;
    QList<std::shared_ptr<FuelModel>> models;
    // Their notes (where they came from), model by model; may be shorter than models.
    QList<ModelNotes> notes;
    SetNotes setNotes;
};

// Adds the sets after every existing one, with their tree nodes, selects the first and saves
// once: the one way every import (custom model file, another library) changes the library.
// Draws every key first, so running out of keys changes nothing (std::overflow_error). The
// names are the caller's to check. Returns the new sets' keys.
QStringList AddImportedSets(EditContext &ctx, const QList<ImportedSet> &sets);

// Name of the set the clipboard's model is in (or was in when it was cut); empty when unknown.
QString ClipSetName();

// Key of the set the selection belongs to: the selected node itself when it is a set node,
// else its parent. Empty when the tree has no nodes or nothing is selected.
QString SelectedSetKey(const ITree &tree);

// Asks for a set name no set node carries yet (exact comparison) and that the library file can
// hold; asks again after a refusal. Empty when the user cancels or enters nothing.
QString GetNewSetName(const ITree &tree, IPrompts &prompts, const QString &prompt, const QString &defaultText);

// Why a pasted model's ID and description cannot be taken, checked in the order the paste
// dialog reports them; box is the dialog's entry box to go back to (0 ID, 1 description).
struct PasteEntryProblem
{
    QString text;
    int box = 0;
};
std::optional<PasteEntryProblem> CheckPasteEntries(const FuelModelSets &sets, const QString &id,
                                                   const QString &description);
// Whether a model of the collection has the ID, compared as the paste dialog compares (blanks
// around it ignored, any letter case).
bool SetHoldsModelID(const FuelModels &models, const QString &id);

// Why the model modelKey of set (or, with an empty modelKey, the set itself) cannot be cut or
// deleted while the editor holds the model modelInEditor; empty when it can.
QString ModelInEditorProblem(FuelModelSet &set, const QString &modelKey, const QString &modelInEditor);

// Title of the paste dialog's messages.
QString PasteMessageTitle();

// What renaming the set node `key` to newText in the tree comes to.
struct SetRenameCheck
{
    enum Outcome {
        Accept,    // take the name
        Unchanged, // the text is the current name or empty: nothing to do, nothing to say
        Taken,     // a set has this name in some letter case: beep, message, keep the old name
        Unstorable // the file cannot hold the name: message, keep the old name
    };
    Outcome outcome = Accept;
    QString message;
};
SetRenameCheck CheckSetRename(const ITree &tree, const QString &key, const QString &newText);

// Tree images by number (the window's image list).
enum TreeImage { ImgSetClosed = 1, ImgSetOpen = 2, ImgModel = 3, ImgLockedClosed = 4, ImgLockedOpen = 5 };
inline const QString kSetTag = QStringLiteral("Set");
