#include "manager/frmVarrow.h"

#include "manager/FMTree.h"
#include "testcenter/ui/frmEditModel.h"

#include <QAction>
#include <QLineEdit>
#include <QStatusBar>

// The window's side of the history of library changes (the session keeps the history): Edit's
// Undo and Redo and their names. While the Edit and Test Center is open they wait: the editor
// works on one of the library's models, which an undo could take out of the library.

void frmVarrow::buildHistory()
{
    // The session works on the tree; the host callbacks are how it shows what happened.
    LibrarySession::Host host;
    host.showStatus = [this](const QString &message) {
        if (message.isEmpty())
            statusBar()->clearMessage();
        else
            statusBar()->showMessage(message);
    };
    host.libraryReplaced = [this] { afterLibraryReplaced(); };
    host.enablePaste = [this] { setPasteEnabled(true); };
    host.editorFollows = [this](const std::shared_ptr<FuelModel> &model) {
        if (!m_editor)
            return false;
        m_editor->setEditFM(model);
        return true;
    };
    m_session = std::make_unique<LibrarySession>(*treeFMs, *m_prompts, std::move(host));
    m_session->History().changed = [this] { updateUndoActions(); };
    connect(actUndo, &QAction::triggered, this, [this] {
        if (canUseHistory())
            m_session->Undo();
    });
    connect(actRedo, &QAction::triggered, this, [this] {
        if (canUseHistory())
            m_session->Redo();
    });
    updateUndoActions();
}

bool frmVarrow::ApplyLibraryChange(const QString &name, const std::function<bool()> &change)
{
    return m_session->Apply(name, change);
}

bool frmVarrow::canUseHistory() const
{
    return !m_editor && !m_session->ReadOnly();
}

void frmVarrow::updateUndoActions()
{
    const bool usable = canUseHistory();
    const LibraryUndoStack &history = m_session->History();
    actUndo->setEnabled(usable && history.canUndo());
    actRedo->setEnabled(usable && history.canRedo());
    // Read-only, the command stays at hand and says why it cannot restore.
    actRestoreBackup->setEnabled(usable || (!m_editor && m_session->ReadOnly()));
    actUndo->setText(history.canUndo() ? QStringLiteral("&Undo ") + history.undoText() : QStringLiteral("&Undo"));
    actRedo->setText(history.canRedo() ? QStringLiteral("&Redo ") + history.redoText() : QStringLiteral("&Redo"));
}

void frmVarrow::afterLibraryReplaced()
{
    if (treeFMs->Count() == 0) {
        txtFuelModelSet->clear();
        clearPanel();
        applyCommandStates(QString());
    } else {
        RefreshFMs();
    }
}

QString frmVarrow::modelInEditor() const
{
    return m_editor && m_editor->EditFM() ? m_editor->EditFM()->Key() : QString();
}
