#pragma once

#include <QString>

// What the Edit and Test Center needs of the window that opened it (the main window), so that
// the editor is tested with a fake owner.
class IEditorOwner
{
public:
    virtual ~IEditorOwner() = default;

    // Text of the owner's set name box (the set of the model being edited).
    virtual QString SetNameText() const = 0;
    // Gives the tree node with this key the text (the edited model's node after a Save).
    virtual void SetNodeText(const QString &key, const QString &text) = 0;
    // Shows the selected tree node again, so the parameter panel reflects a saved model.
    virtual void RefreshFMs() = 0;
    // Writes the whole library file; false with a reason when the write failed.
    virtual bool SaveLibrary(QString *error) = 0;
    // The editor has closed: the owner enables itself again.
    virtual void EditorClosed() = 0;
};
