#include "tuners/ui/EditorTuners.h"

#include "data/FuelModel.h"
#include "testcenter/EntryRules.h"
#include "testcenter/ui/EditorCharts.h"
#include "testcenter/ui/frmEditModel.h"
#include "tuners/TunerRules.h"
#include "tuners/ui/Tuners.h"

#include <QCheckBox>
#include <QPushButton>

EditorTunerHost::EditorTunerHost(frmEditModel &editor) : m_editor(editor) { }

QString EditorTunerHost::EntryText(int index) const
{
    return m_editor.Entries().text(index);
}

void EditorTunerHost::SetEntryText(int index, const QString &text)
{
    // Each value a tuner sets (once per release of its slider) is one step of the box's undo.
    m_editor.ReplaceEntryText(index, text);
}

quint32 EditorTunerHost::EntryBackground(int index) const
{
    return m_editor.EntryColour(index).rgb() & 0xFFFFFFu;
}

void EditorTunerHost::SetEntryBackground(int index, quint32 rgb)
{
    m_editor.SetEntryColour(index, QColor::fromRgb(rgb));
}

void EditorTunerHost::CheckEntryRange(int index)
{
    m_editor.CheckEntryRange(index);
}

void EditorTunerHost::SetTunerEnabled(int index, bool enabled)
{
    QPushButton *button = m_editor.cmdTuner(index);
    if (!button)
        return;
    const bool readOnlyEntry = !m_editor.Editable() && index <= kLastModelEntry;
    button->setEnabled(enabled && !readOnlyEntry);
}

void EditorTunerHost::CheckAutoCompute()
{
    m_editor.chkAuto()->setChecked(true);
}

QString EditorTunerHost::RowLabel(int index) const
{
    return m_editor.RowLabelText(index);
}

double EditorTunerHost::StoredValue(int index) const
{
    const auto &fm = m_editor.EditFM();
    return fm ? Units::FromEnglish(EntryQuantity(index), ShownUnits(), StoredEntryValue(*fm, index)) : 0;
}

Units::System EditorTunerHost::ShownUnits() const
{
    return m_editor.Entries().units();
}

void EditorTunerHost::TunerPlot()
{
    PlotFromTuner();
}

namespace {

// Lives as a child of the editor, so the windows go when the editor goes.
class InstalledTuners : public QObject
{
public:
    explicit InstalledTuners(frmEditModel &editor) : QObject(&editor), host(editor), tuners(host) { }
    EditorTunerHost host;
    Tuners tuners;
};

} // namespace

Tuners *InstallTuners(frmEditModel &editor)
{
    auto *installed = new InstalledTuners(editor);
    editor.setTuners(&installed->tuners);
    return &installed->tuners;
}

frmEditModel *NewEditorWithTuners(IEditorOwner *owner, IPrompts *prompts)
{
    auto *editor = new frmEditModel(owner, prompts);
    InstallTuners(*editor);
    return editor;
}
