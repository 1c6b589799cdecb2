#include "manager/LibraryUndo.h"

LibraryChange::LibraryChange(const QString &text, LibrarySnapshot before, LibrarySnapshot after, ITree &tree,
                             Done done)
    : QUndoCommand(text), m_before(std::move(before)), m_after(std::move(after)), m_tree(tree), m_done(std::move(done))
{
}

void LibraryChange::undo()
{
    RestoreLibrary(m_before, m_tree);
    m_done(m_after, m_before);
}

void LibraryChange::redo()
{
    if (!m_pushed) {
        m_pushed = true;
        return;
    }
    RestoreLibrary(m_after, m_tree);
    m_done(m_before, m_after);
}
