#include "testcenter/ui/EditorAnalysis.h"

#include "analysis/ui/frmAnalysis.h"
#include "calibration/ui/frmCalibration.h"
#include "data/FuelModelSets.h"
#include "data/NumberText.h"
#include "data/ProgramState.h"
#include "testcenter/PlotHistory.h"
#include "testcenter/TestComputation.h"
#include "testcenter/ui/EditorCalibration.h"
#include "testcenter/ui/EditorCharts.h"
#include "testcenter/ui/frmEditModel.h"
#include "widgets/WindowHabits.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <cmath>

namespace {

AnalysisInputs editorInputs(const frmEditModel *editor)
{
    AnalysisInputs in;
    const TestEntries entries = editor->CurrentEntries();
    SetCalculatorInputs(in.edited, entries);
    in.editedId = editor->EntryText(0);
    in.refused = editor->EntryFault();
    in.editedSet = editor->txtFuelModelSet() ? editor->txtFuelModelSet()->text() : QString();
    in.windAdjustment = ParseLeadingNumber(entries.windReduceText);
    if (gFMSets) {
        const auto model =
            ReferenceModelAt(*gFMSets, editor->cboFMSet()->currentIndex(), editor->cboFM()->currentIndex());
        if (model) {
            in.hasReference = true;
            SetReferenceInputs(in.reference, model.get(), entries);
            in.referenceId = model->FuelModelID();
            in.referenceSet = editor->cboFMSet()->currentText();
        }
    }
    // The history entries are computed calculators: their outputs are the plotted values.
    const auto &history = gChartState.CurrentPlotHistory;
    for (std::size_t i = 0; i < history.size(); ++i) {
        const FireSpread &fs = *history[i];
        CharacteristicPoint p;
        p.label = QString::number(i + 1);
        p.role = QStringLiteral("Plot");
        p.heatPerUnitArea = fs.HeatPerUnitArea();
        p.rateOfSpread = fs.RateOfSpread();
        p.flameLength = fs.FlameLength();
        p.fireLineIntensity = fs.FireLineIntensity();
        in.plots.push_back(p);
    }
    return in;
}

std::vector<PickedModel> libraryModels()
{
    std::vector<PickedModel> models;
    if (!gFMSets)
        return models;
    for (int s = 1; s <= gFMSets->Count(); ++s) {
        const auto &set = gFMSets->Item(s);
        for (const auto &m : *set->FuelModels())
            models.push_back({set->Name(), m});
    }
    return models;
}

// Hides the analysis window whenever the editor is hidden or closed.
class EditorHideFilter : public QObject
{
public:
    EditorHideFilter(frmAnalysis *window, QObject *parent) : QObject(parent), m_window(window) { }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Hide && !event->spontaneous() && m_window)
            m_window->hide();
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<frmAnalysis> m_window;
};

} // namespace

frmAnalysis *EditorAnalysisWindow(const frmEditModel *editor)
{
    return qobject_cast<frmAnalysis *>(editor->property("analysisWindow").value<QObject *>());
}

frmAnalysis *AttachEditorAnalysis(frmEditModel *editor)
{
    AnalysisHooks hooks;
    hooks.Inputs = [editor] { return editorInputs(editor); };
    hooks.LibraryModels = libraryModels;
    hooks.Prompts = &editor->Prompts();
    hooks.ObservedFires = [editor] {
        std::vector<ObservedFire> fires;
        if (const frmCalibration *calibration = EditorCalibrationWindow(editor))
            for (const Observation &o : calibration->TableObservations().observations) {
                ObservedFire f;
                f.environment = o.environment;
                f.rateOfSpread = o.ros;
                f.flameLength = o.hasFlameLength() ? o.flameLength : NAN;
                fires.push_back(f);
            }
        return fires;
    };
    auto *window = new frmAnalysis(std::move(hooks));
    KeepInsideScreen(window);
    editor->setProperty("analysisWindow", QVariant::fromValue<QObject *>(window));
    // Deleted at once with the editor, so that no pending recomputation reads a dead editor.
    QObject::connect(editor, &QObject::destroyed, [window] { delete window; });
    auto *hider = new EditorHideFilter(window, editor);
    editor->installEventFilter(hider);

    auto *button = new QPushButton(QStringLiteral("A&nalysis..."), editor);
    button->setObjectName(QStringLiteral("cmdAnalysis"));
    button->setToolTip(QStringLiteral("Response curves, sensitivity and the fire characteristics chart of this model"));
    if (QHBoxLayout *row = editor->testCommandsLayout())
        row->addWidget(button);
    QObject::connect(button, &QPushButton::clicked, window, [window] {
        window->show();
        window->raise();
        window->activateWindow();
    });

    const auto follow = [editor, window] {
        if (editor->chkAuto() && editor->chkAuto()->isChecked())
            window->EntriesChanged();
    };
    QObject::connect(&editor->Entries(), &EditorEntryModel::entryChanged, window, follow);
    QObject::connect(editor->txtMidFlameWind(), &QLineEdit::textChanged, window, follow);
    for (QComboBox *list : {editor->cboHerbType(), editor->cboWindReduce(), editor->cboSlope()}) {
        QObject::connect(list, &QComboBox::currentIndexChanged, window, follow);
        QObject::connect(list, &QComboBox::editTextChanged, window, follow);
    }
    QObject::connect(editor->chkAuto(), &QCheckBox::toggled, window, follow);
    // Curves computed as the fire growth simulators say so in the window's title, and follow a
    // change of the setting at once, as a change of units does.
    const auto showConventions = [editor, window] {
        const bool simulators = editor->cboConventions()->currentIndex() == 1;
        window->setWindowTitle(simulators ? QStringLiteral("Fuel Model Analysis (as the fire growth simulators)")
                                          : QStringLiteral("Fuel Model Analysis"));
        window->EntriesChanged();
    };
    QObject::connect(editor->cboConventions(), &QComboBox::currentIndexChanged, window, showConventions);
    showConventions();
    QObject::connect(editor, &frmEditModel::referenceModelChosen, window, &frmAnalysis::EntriesChanged);
    QObject::connect(editor->cmdComp(), &QPushButton::clicked, window, &frmAnalysis::EntriesChanged);
    if (EditorCharts *charts = editor->Charts()) {
        QObject::connect(charts->PlotButton(), &QPushButton::clicked, window, &frmAnalysis::EntriesChanged);
        QObject::connect(charts->ClearButton(), &QPushButton::clicked, window, &frmAnalysis::EntriesChanged);
    }
    return window;
}
