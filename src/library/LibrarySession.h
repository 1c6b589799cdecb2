#pragma once

#include "data/IPrompts.h"
#include "library/EditActions.h"
#include "library/LibraryHistory.h"
#include "library/LibraryStore.h"
#include "library/LibraryUndo.h"

#include <functional>
#include <memory>

class FuelModelSets;
class ITree;

// The library as one document: its sets and the clipboard of the run, the file they are kept in
// (LibraryStore: the lock, the backups, changes from outside), the history of changes and what
// is done when another program changed the file meanwhile. Every change of the library goes
// through it: it takes the pictures before and after, writes the library and records the step.
//
// It has no widgets: it reaches the tree through ITree and the user through IPrompts, and tells
// its host (the main window) what to show through the Host callbacks. The host decides when the
// history may be used (not while the Edit and Test Center is open).
//
// The sets and the clipboard are the program's: gFMSets (read by the layers below the library
// as well), gCopyNode, gClipFM and gPasteMode stay their names, and Sets() and the clipboard
// accessors reach the same objects. ResetProgram is the one reset of all of it.
class LibrarySession
{
public:
    struct Host
    {
        // A passing message for the status line; empty clears it.
        std::function<void(const QString &message)> showStatus;
        // The tree may show another library now (an undo, an import, the file read again): the
        // host shows the selection again.
        std::function<void()> libraryReplaced;
        // The clipboard holds something to paste now.
        std::function<void()> enablePaste;
        // The library was read again while a model is open in the editor: the editor goes on
        // with model, the model of the same ID in the library read. False when no editor is open.
        std::function<bool(const std::shared_ptr<FuelModel> &model)> editorFollows;
    };

    LibrarySession(ITree &tree, IPrompts &prompts, Host host = {});
    ~LibrarySession();
    LibrarySession(const LibrarySession &) = delete;
    LibrarySession &operator=(const LibrarySession &) = delete;

    // The one reset of the program's library state: an empty library, key and instance counters
    // at 0, an empty clipboard, no notes, the library file state of a fresh run. Tests call it so
    // that every test starts clean.
    static void ResetProgram();
    // The library of the run (gFMSets) and the clipboard.
    static FuelModelSets &Sets();
    static std::optional<CopiedNode> &CopiedNodeOnClipboard() { return gCopyNode; }
    static std::shared_ptr<FuelModel> &ModelOnClipboard() { return gClipFM; }
    static QString &PasteMode() { return gPasteMode; }

    LibraryStore &Store() { return *m_store; }
    const LibraryStore &Store() const { return *m_store; }
    LibraryUndoStack &History() { return m_history; }
    const LibraryUndoStack &History() const { return m_history; }
    bool ReadOnly() const { return m_store->ReadOnly(); }

    // Opening the library: asks first when another library file would be used than last time
    // (see CurrentLibraryLocation), then reads it into gFMSets and the tree. When it is open in
    // another copy, asks whether to open it read-only; false when the user chose to quit.
    void ChooseLibraryFile();
    const LibraryStore::LoadResult &Load();
    const LibraryStore::LoadResult &LoadOutcome() const { return m_load; }
    bool AskOpenElsewhere();
    // What the user must be told of the reading (after the window is on screen).
    void ReportLoad();

    // The picture of the library as the tree shows it (values: see CaptureLibrary).
    LibrarySnapshot Capture(const std::vector<std::shared_ptr<FuelModel>> &valuesOf = {}) const;
    // Writes the library. When the file was changed from outside nothing is written or said:
    // the change being made settles it (Record). Other failures are said when tellUser.
    bool Save(bool tellUser);
    // The change from before to after, made and written just now, as one step of the history
    // named name; when the file was changed from outside, the user first decides whose library
    // is kept (ResolveOutsideChange).
    void Record(const QString &name, LibrarySnapshot before, LibrarySnapshot after);
    // A change made by change() (false: nothing changed), written and recorded as one step;
    // refused while read-only.
    bool Apply(const QString &name, const std::function<bool()> &change);
    // An edit action (see EditAction) on the tree's selection, recorded as one step under the
    // name the menus show ("Delete Set 'Grass'"). modelInEditor: see EditContext.
    void Run(const QString &action, const QString &modelInEditor = QString());
    // Cut: copy and delete; when the deletion did not happen the clipboard is left as it was.
    void Cut(const QString &modelInEditor = QString());
    // Renames the set of key (a name CheckSetRename accepted), in the library, its notes and
    // the tree; written at once and recorded as one step.
    void RenameSet(const QString &key, const QString &name);
    void Undo() { m_history.undo(); }
    void Redo() { m_history.redo(); }

    // The file changed from outside: asks whether to read it again (the change from before to
    // after made again in it, when given) or keep this library. True when this library was kept.
    bool ResolveOutsideChange(const QString &name, const LibrarySnapshot *before, const LibrarySnapshot *after);

    // The model open in the editor: its values and node text at its opening and at every save
    // are the "before" of its next Save Model step.
    void StartEdit(const std::shared_ptr<FuelModel> &model);
    void EndEdit() { m_editModel.reset(); }
    // The editor's Save: records the model's changes in its notes, writes the library and
    // records the step; false and *error when it could not be written.
    bool SaveEdit(QString *error);

    // Writes the library as the program closes; false when the user chose to stay.
    bool SaveOnClose();

    // The name of the step of an edit action word, from the pictures around it.
    static QString ChangeName(const QString &word, const LibrarySnapshot &before, const LibrarySnapshot &after,
                              bool cutting);

private:
    void stepDone(const LibrarySnapshot &from, const LibrarySnapshot &to);
    std::unique_ptr<LibraryChange> change(const QString &name, LibrarySnapshot before, LibrarySnapshot after);
    void editPictures(LibrarySnapshot &before, LibrarySnapshot &after) const;
    void recordEditSave();
    bool resolveEditSaveOutside();
    void replaced();

    ITree &m_tree;
    IPrompts &m_prompts;
    Host m_host;
    std::unique_ptr<LibraryStore> m_store;
    LibraryStore::LoadResult m_load;
    LibraryUndoStack m_history;
    bool m_outsidePending = false;
    bool m_cutting = false;
    // The model of the open editor and its values, node text and the notes at its last save.
    std::shared_ptr<FuelModel> m_editModel;
    FuelModel m_editBaseline;
    QString m_editBaselineText;
    LibraryNotes m_editNotesBaseline;
};
