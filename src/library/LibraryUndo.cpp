#include "library/LibraryUndo.h"

LibraryChange::LibraryChange(const QString &text, LibrarySnapshot before, LibrarySnapshot after, ITree &tree, Done done)
    : m_text(text), m_before(std::move(before)), m_after(std::move(after)), m_tree(tree), m_done(std::move(done))
{ }

void LibraryChange::undo()
{
    RestoreLibrary(m_before, m_tree);
    m_done(m_after, m_before);
}

void LibraryChange::redo()
{
    RestoreLibrary(m_after, m_tree);
    m_done(m_before, m_after);
}

void LibraryUndoStack::push(std::unique_ptr<LibraryChange> change)
{
    m_steps.resize(size_t(m_index));
    m_steps.push_back(std::move(change));
    m_index = count();
    notify();
}

void LibraryUndoStack::undo()
{
    if (canUndo() && !m_running)
        step(true);
}

void LibraryUndoStack::redo()
{
    if (canRedo() && !m_running)
        step(false);
}

void LibraryUndoStack::step(bool back)
{
    // The step moves once its change is done, so that the change's done sees the history as
    // it was when the step began.
    m_running = true;
    if (back)
        m_steps[size_t(m_index - 1)]->undo();
    else
        m_steps[size_t(m_index)]->redo();
    m_index += back ? -1 : 1;
    m_running = false;
    if (m_replacePending) {
        m_replacePending = false;
        replaceWith(std::move(m_replacement));
        return;
    }
    notify();
}

void LibraryUndoStack::clear()
{
    replaceWith(nullptr);
}

void LibraryUndoStack::replaceWith(std::unique_ptr<LibraryChange> change)
{
    if (m_running) {
        m_replacePending = true;
        m_replacement = std::move(change);
        return;
    }
    m_steps.clear();
    if (change)
        m_steps.push_back(std::move(change));
    m_index = count();
    notify();
}

void LibraryUndoStack::notify()
{
    if (changed)
        changed();
}
