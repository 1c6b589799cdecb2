#pragma once

#include "library/LibraryHistory.h"

#include <functional>
#include <memory>
#include <vector>

class ITree;

// One library change in the history: the library before and after it. Undo and redo put the
// picture back into gFMSets and the tree and then call done (which writes the library and
// shows the selection). The change has already happened when it is pushed.
class LibraryChange
{
public:
    // done(from, to): the picture left and the picture put back.
    using Done = std::function<void(const LibrarySnapshot &from, const LibrarySnapshot &to)>;
    LibraryChange(const QString &text, LibrarySnapshot before, LibrarySnapshot after, ITree &tree, Done done);

    const QString &text() const { return m_text; }
    void undo();
    void redo();

private:
    QString m_text;
    LibrarySnapshot m_before;
    LibrarySnapshot m_after;
    ITree &m_tree;
    Done m_done;
};

// The history of library changes: the changes in order and the step the library stands at.
// It keeps to the library's own needs rather than Qt's undo stack, which lives in Qt's GUI
// module: the library layer and its tests stay free of it. The names follow Qt's stack.
class LibraryUndoStack
{
public:
    // Adds a change made just now; the steps undone before it are dropped.
    void push(std::unique_ptr<LibraryChange> change);
    void undo();
    void redo();
    // Empties the history.
    void clear();

    bool canUndo() const { return m_index > 0; }
    bool canRedo() const { return m_index < count(); }
    // The name of the step Undo (Redo) would take back (make again); empty when there is none.
    // While a step runs, Undo's is still the step before it ran.
    QString undoText() const { return canUndo() ? m_steps[m_index - 1]->text() : QString(); }
    QString redoText() const { return canRedo() ? m_steps[m_index]->text() : QString(); }
    int count() const { return int(m_steps.size()); }
    int index() const { return m_index; }

    // The history as a whole is replaced by one change (or emptied, when null): at once, or
    // when an undo or redo step runs, once it is over, so that the step never outlives itself.
    void replaceWith(std::unique_ptr<LibraryChange> change);

    // Called after every change of the steps or of the step the library stands at.
    std::function<void()> changed;

private:
    void step(bool back);
    void notify();

    std::vector<std::unique_ptr<LibraryChange>> m_steps;
    int m_index = 0;
    bool m_running = false;
    bool m_replacePending = false;
    std::unique_ptr<LibraryChange> m_replacement;
};
