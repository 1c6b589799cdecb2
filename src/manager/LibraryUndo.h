#pragma once

#include "library/LibraryHistory.h"

#include <QUndoCommand>

#include <functional>

class ITree;

// One library change on the window's undo stack: the library before and after it. Undo and
// redo put the picture back into gFMSets and the tree and then call done (which writes the
// library and shows the selection). The change has already happened when the command is
// pushed, so the first redo does nothing.
class LibraryChange : public QUndoCommand
{
public:
    // done(from, to): the picture left and the picture put back.
    using Done = std::function<void(const LibrarySnapshot &from, const LibrarySnapshot &to)>;
    LibraryChange(const QString &text, LibrarySnapshot before, LibrarySnapshot after, ITree &tree, Done done);

    void undo() override;
    void redo() override;

private:
    LibrarySnapshot m_before;
    LibrarySnapshot m_after;
    ITree &m_tree;
    Done m_done;
    bool m_pushed = false;
};
