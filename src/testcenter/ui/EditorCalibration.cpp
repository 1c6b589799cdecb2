#include "testcenter/ui/EditorCalibration.h"

#include "analysis/ui/frmAnalysis.h"
#include "calibration/ui/frmCalibration.h"
#include "data/FuelModelSets.h"
#include "data/FuelParameters.h"
#include "data/NumberText.h"
#include "data/ProgramState.h"
#include "testcenter/EditorSave.h"
#include "testcenter/ui/EditorAnalysis.h"
#include "testcenter/ui/EditorCharts.h"
#include "testcenter/ui/frmEditModel.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {

FuelModel editedModel(const frmEditModel *editor)
{
    FuelModel model;
    ApplyEntries(model, editor->CurrentEntries(), editor->cboFireCarry()->currentIndex(),
                 editor->cboHerbType()->currentIndex());
    return model;
}

std::vector<CandidateModel> models(const QString &setName)
{
    return gFMSets ? CandidatesOf(*gFMSets, setName) : std::vector<CandidateModel>();
}

void sendEnvironment(frmEditModel *editor, const FireEnvironment &e)
{
    for (int k = 0; k < 5; ++k)
        editor->SetEntryEnglish(20 + k, 100 * e.moisture[size_t(k)]);
    // The editor takes the 20-ft wind times its adjustment factor: the factor stays, the 20-ft
    // wind becomes what gives the observed midflame wind (a factor of 1 when none is set).
    double factor = ParseLeadingNumber(editor->cboWindReduce()->currentText());
    if (!(factor > 0)) {
        editor->cboWindReduce()->setEditText(QStringLiteral("1"));
        factor = 1;
    }
    editor->SetEntryEnglish(25, e.midflameWind / factor);
    editor->cboSlope()->setEditText(QString::number(e.slope, 'g', 10));
}

void sendModel(frmEditModel *editor, const FuelModel &model)
{
    // Each box keeps its value before in its own undo history (Ctrl+Z in the box).
    for (const FuelParameterInfo &p : FuelParameterTable())
        editor->ReplaceEntryEnglish(p.entryIndex, p.valueOf(model));
    const int herb = int(model.HerbType()) - 1;
    if (herb >= 0 && herb < editor->cboHerbType()->count())
        editor->cboHerbType()->setCurrentIndex(herb);
}

} // namespace

frmCalibration *EditorCalibrationWindow(const frmEditModel *editor)
{
    return qobject_cast<frmCalibration *>(editor->property("calibrationWindow").value<QObject *>());
}

frmCalibration *AttachEditorCalibration(frmEditModel *editor)
{
    CalibrationHooks hooks;
    hooks.Prompts = &editor->Prompts();
    hooks.EditedModel = [editor] { return editedModel(editor); };
    hooks.EditedLabel = [editor] {
        const QString set = editor->txtFuelModelSet() ? editor->txtFuelModelSet()->text() : QString();
        return QStringLiteral("%1: %2").arg(set, editor->EntryText(0));
    };
    hooks.Conventions = [editor] {
        return editor->cboConventions()->currentIndex() == 1 ? SpreadConventions::Simulators : SpreadConventions::Core;
    };
    hooks.SetNames = [] {
        QStringList names;
        if (gFMSets)
            for (const auto &s : *gFMSets)
                names << s->Name();
        return names;
    };
    hooks.Models = models;
    hooks.MasterModels = [] { return gFMSets ? MasterSetModels(*gFMSets) : std::vector<CandidateModel>(); };
    hooks.SendEnvironment = [editor](const FireEnvironment &e) { sendEnvironment(editor, e); };
    hooks.SendModel = [editor](const FuelModel &m) { sendModel(editor, m); };
    // The editor's Save records an applied fit in the model's history.
    hooks.FitApplied = [editor](const FitRecord *fit) {
        if (!fit) {
            editor->SetAppliedCalibration(std::nullopt);
            return;
        }
        CalibrationRecord record;
        record.observationsFile = QDir::toNativeSeparators(fit->observationsFile);
        record.observationsSha256 = fit->observationsSha256;
        record.fires = fit->fires;
        record.objective = fit->objective;
        record.freeParameters = fit->freeParameters;
        record.tiedLoads = fit->tiedLoads;
        record.before = fit->before;
        record.after = fit->after;
        editor->SetAppliedCalibration(record);
    };
    hooks.PlotEntries = [editor] {
        // The editor's own Plot, only while its entries hold (Plot would name the fault).
        if (!editor->EntryFault().isEmpty())
            return;
        if (EditorCharts *charts = editor->Charts())
            charts->PlotButton()->click();
    };
    auto *window = new frmCalibration(std::move(hooks));
    editor->setProperty("calibrationWindow", QVariant::fromValue<QObject *>(window));
    // The analysis window counts the observed fires inside its uncertainty band.
    QObject::connect(window, &frmCalibration::observationsChanged, editor, [editor] {
        if (frmAnalysis *analysis = EditorAnalysisWindow(editor))
            analysis->EntriesChanged();
    });
    QObject::connect(editor, &QObject::destroyed, [window] { delete window; });

    auto *button = new QPushButton(QStringLiteral("&Fit to Observations..."), editor);
    button->setObjectName(QStringLiteral("cmdCalibration"));
    button->setToolTip(QStringLiteral("Rank the library against observed fires and fit this model to them"));
    if (QHBoxLayout *row = editor->testCommandsLayout())
        row->addWidget(button);
    QObject::connect(button, &QPushButton::clicked, window, [window] {
        window->show();
        window->raise();
        window->activateWindow();
    });
    return window;
}
