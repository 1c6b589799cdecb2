#pragma once

#include "tuners/ITunerHost.h"

class IEditorOwner;
class IPrompts;
class frmEditModel;
class Tuners;

// The Edit and Test Center as the tuner windows' host: entry boxes, their colours, the tuner
// buttons, "Auto Compute" and the row labels of the editor; the stored values of the model it
// edits (EditFM, not the main window's panel); Plot through the open editor's charts.
// The editor must outlive it.
class EditorTunerHost : public ITunerHost
{
public:
    explicit EditorTunerHost(frmEditModel &editor);

    QString EntryText(int index) const override;
    void SetEntryText(int index, const QString &text) override;
    quint32 EntryBackground(int index) const override;
    void SetEntryBackground(int index, quint32 rgb) override;
    void CheckEntryRange(int index) override;
    // Buttons of the model entries stay off while the editor is read-only.
    void SetTunerEnabled(int index, bool enabled) override;
    void CheckAutoCompute() override;
    QString RowLabel(int index) const override;
    double StoredValue(int index) const override;
    Units::System ShownUnits() const override;
    void TunerPlot() override;

private:
    frmEditModel &m_editor;
};

// Gives the editor its tuner windows: creates the host and the Tuners, installs them with
// setTuners, and destroys them with the editor. Returns the Tuners (owned by the editor).
Tuners *InstallTuners(frmEditModel &editor);

// The Edit and Test Center as the program opens it: the editor window with its tuner windows
// installed. The main window's editor factory (set where the program starts).
frmEditModel *NewEditorWithTuners(IEditorOwner *owner, IPrompts *prompts);
