#include "analysis/ui/frmAnalysis.h"

#include "analysis/ui/CharacteristicsPanel.h"
#include "analysis/ui/GlobalSensitivityPanel.h"
#include "analysis/ui/ResponseCurvesPanel.h"
#include "analysis/ui/SensitivityPanel.h"
#include "analysis/ui/UncertaintyPanel.h"
#include "units/UnitSetting.h"
#include "widgets/ChartExport.h"

#include <QDoubleSpinBox>

#include <QKeySequence>
#include <QLabel>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

frmAnalysis::frmAnalysis(AnalysisHooks hooks, QWidget *parent) : QWidget(parent, Qt::Window), m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("frmAnalysis"));
    setWindowTitle(QStringLiteral("Fuel Model Analysis"));
    auto *layout = new QVBoxLayout(this);
    m_refusedNote = new QLabel(this);
    m_refusedNote->setObjectName(QStringLiteral("lblRefused"));
    m_refusedNote->setWordWrap(true);
    m_refusedNote->setStyleSheet(QStringLiteral("QLabel { background: #ffe0e0; color: #801010; padding: 4px; }"));
    m_refusedNote->hide();
    layout->addWidget(m_refusedNote);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabAnalysis"));
    m_curves = new ResponseCurvesPanel(m_tabs);
    m_sensitivity = new SensitivityPanel(m_tabs);
    m_characteristics = new CharacteristicsPanel(m_tabs);
    m_tabs->addTab(m_curves, QStringLiteral("Response Curves"));
    m_tabs->addTab(m_sensitivity, QStringLiteral("Sensitivity"));
    m_tabs->addTab(m_characteristics, QStringLiteral("Fire Characteristics"));
    m_uncertainty = new UncertaintyPanel(m_tabs);
    m_global = new GlobalSensitivityPanel(m_tabs);
    m_tabs->addTab(m_uncertainty, QStringLiteral("Uncertainty"));
    m_tabs->addTab(m_global, QStringLiteral("Global Sensitivity"));
    layout->addWidget(m_tabs);
    if (m_hooks.Prompts)
        for (ChartExporter *exporter : {m_curves->Exporter(), m_sensitivity->Exporter(), m_characteristics->Exporter()})
            exporter->SetPrompts(m_hooks.Prompts);
    // Room for the charts on a 1366x768 screen with its panel and the window's frame.
    resize(1180, 680);

    m_pending.setSingleShot(true);
    m_pending.setInterval(0);
    connect(&m_pending, &QTimer::timeout, this, &frmAnalysis::RefreshNow);
    connect(m_curves, &ResponseCurvesPanel::SettingsChanged, this, &frmAnalysis::EntriesChanged);
    connect(m_sensitivity, &SensitivityPanel::SettingsChanged, this, &frmAnalysis::EntriesChanged);
    connect(m_uncertainty, &UncertaintyPanel::SettingsChanged, this, &frmAnalysis::EntriesChanged);
    connect(m_global, &GlobalSensitivityPanel::SettingsChanged, this, &frmAnalysis::EntriesChanged);
    connect(&Units::UnitSetting::instance(), &Units::UnitSetting::changed, this, &frmAnalysis::EntriesChanged);
    auto *close = new QShortcut(QKeySequence::Close, this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    LibraryChanged();
}

void frmAnalysis::EntriesChanged()
{
    if (isVisible())
        m_pending.start();
}

void frmAnalysis::RefreshNow()
{
    m_pending.stop();
    if (!m_hooks.Inputs)
        return;
    const AnalysisInputs inputs = m_hooks.Inputs();
    if (!inputs.refused.isEmpty()) {
        // Nothing is computed from refused entries; what is shown stays, marked as older.
        m_refusedNote->setText(QStringLiteral("Not updated: ") + inputs.refused +
                               QStringLiteral(". The charts show the last entries that held their ranges."));
        m_refusedNote->show();
        return;
    }
    m_refusedNote->hide();
    m_curves->SetBandInputs(m_uncertainty->VaryingInputs(), m_uncertainty->CorrelationBox()->value());
    m_curves->Refresh(inputs);
    m_sensitivity->Refresh(inputs);
    m_characteristics->Refresh(inputs);
    m_uncertainty->SetObservedFires(m_hooks.ObservedFires ? m_hooks.ObservedFires() : std::vector<ObservedFire>());
    m_uncertainty->Refresh(inputs);
    m_global->Refresh(inputs, m_uncertainty->VaryingInputs());
}

void frmAnalysis::LibraryChanged()
{
    if (m_hooks.LibraryModels)
        m_curves->SetLibrary(m_hooks.LibraryModels());
}

void frmAnalysis::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    LibraryChanged();
    RefreshNow();
}
