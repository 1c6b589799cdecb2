#include "testcenter/TestCenterState.h"
#include "testcenter/ui/EditorCharts.h"
#include "testcenter/ui/frmEditModel.h"

#include <QHBoxLayout>

EditorCharts *AttachEditorCharts(frmEditModel *editor)
{
    ChartEditorHooks hooks;
    hooks.EntriesOK = [editor] { return editor->EntriesOK(); };
    hooks.EnvEntriesOK = [editor] { return editor->EnvEntriesOK(); };
    hooks.Compute = [editor] { editor->Compute(); };
    hooks.CurrentFireSpread = [] { return ::CurrentFireSpread; };
    hooks.ReferenceFireSpread = [] { return ::ReferenceFireSpread; };
    hooks.CommandsLayout = editor->testCommandsLayout();
    hooks.Prompts = &editor->Prompts();
    hooks.WriteNumber = [editor](const QString &control, const QString &text, double english) {
        return editor->WriteShownNumber(control, text, english);
    };
    auto *charts = new EditorCharts(editor, std::move(hooks));
    QObject::connect(editor, &frmEditModel::referenceModelChosen, charts, &EditorCharts::ReferenceModelChosen);
    return charts;
}
