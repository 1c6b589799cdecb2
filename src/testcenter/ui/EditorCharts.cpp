#include "testcenter/ui/EditorCharts.h"

#include "data/IPrompts.h"
#include "data/ProgramState.h"
#include "testcenter/PlotExport.h"
#include "testcenter/TestComputation.h"
#include "testcenter/ui/FireChartView.h"
#include "testcenter/ui/frmEditModel.h"
#include "units/UnitSetting.h"
#include "widgets/ChartExport.h"
#include "widgets/QtPrompts.h"

#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTabWidget>

namespace {

EditorCharts *gActiveCharts = nullptr;

} // namespace

EditorCharts::EditorCharts(frmEditModel *editor, ChartEditorHooks hooks)
    : QObject(editor), m_editor(editor), m_hooks(std::move(hooks)), m_controller(gChartState, *this)
{
    m_tabs = editor->tabResults();
    for (int k = 0; k < ChartCount; ++k) {
        auto *view = new FireChartView(k, m_tabs->widget(k));
        m_charts[std::size_t(k)] = view;
        connect(view->ScrollBar(), &QScrollBar::valueChanged, this,
                [this, k](int value) { m_controller.hscChart_Change(k, value); });
        connect(view, &FireChartView::EditedBarClicked, this, [this](int row) { m_controller.EditedBarClicked(row); });
    }
    buildCommands();
    for (FireChartView *view : m_charts)
        view->RefNameLabel()->setText(editor->RefLabelText());
    m_controller.EditorLoaded();
    gActiveCharts = this;
    connect(&Units::UnitSetting::instance(), &Units::UnitSetting::changed, this, [this] {
        for (int k = 0; k < ChartCount; ++k) {
            m_charts[std::size_t(k)]->TitleLabel()->setText(ChartTitle(k));
            m_charts[std::size_t(k)]->ScrollBar()->setAccessibleName(ChartTitle(k) + QStringLiteral(" plots shown"));
        }
        m_controller.UnitsChanged();
    });
}

EditorCharts::~EditorCharts()
{
    if (gActiveCharts == this)
        gActiveCharts = nullptr;
}

EditorCharts *EditorCharts::Active()
{
    return gActiveCharts;
}

void EditorCharts::buildCommands()
{
    auto *row = new QWidget(m_editor);
    row->setObjectName(QStringLiteral("fraChartCommands"));
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);

    const auto named = [](auto *w, const char *name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    auto *plot = named(new QPushButton(QStringLiteral("&Plot"), row), "cmdPlot");
    auto *clear = named(new QPushButton(QStringLiteral("C&lear Graphs"), row), "cmdClearGraph");
    m_plot = plot;
    m_clear = clear;
    m_plotRef = named(new QCheckBox(QStringLiteral("Plot &Reference Model"), row), "chkPlotRefFM");
    m_export = named(new QPushButton(QStringLiteral("E&xport..."), row), "cmdExport");
    m_copy = named(new QPushButton(QStringLiteral("Cop&y Chart"), row), "cmdCopyChart");
    m_export->setToolTip(QStringLiteral("Write every plot, with the reference model beside it, to a CSV file, or the "
                                        "chart shown as a PNG or SVG picture"));
    m_copy->setToolTip(QStringLiteral("Put the chart shown on the clipboard as a picture"));
    layout->addWidget(plot);
    layout->addWidget(clear);
    layout->addWidget(m_plotRef);
    layout->addStretch(1);
    layout->addWidget(m_export);
    layout->addWidget(m_copy);

    if (m_hooks.CommandsLayout) {
        m_hooks.CommandsLayout->addWidget(row);
    } else {
        row->setParent(m_tabs);
        m_tabs->setCornerWidget(row, Qt::BottomRightCorner);
    }

    connect(plot, &QPushButton::clicked, this, &EditorCharts::cmdPlot_Click);
    connect(clear, &QPushButton::clicked, this, &EditorCharts::cmdClearGraph_Click);
    connect(m_plotRef, &QCheckBox::toggled, this, &EditorCharts::chkPlotRefFM_Click);
    connect(m_export, &QPushButton::clicked, this, &EditorCharts::cmdExport_Click);
    connect(m_copy, &QPushButton::clicked, this, &EditorCharts::cmdCopyChart_Click);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int tab) {
        if (m_copy)
            m_copy->setEnabled(tab >= 0 && tab < ChartCount);
    });
    m_copy->setEnabled(m_tabs->currentIndex() < ChartCount);
}

void EditorCharts::ReferenceModelChosen(const QString &refLabel)
{
    m_controller.cmdClearGraph_Click();
    const QString label = refLabel.isEmpty() ? m_editor->RefLabelText() : refLabel;
    for (FireChartView *view : m_charts)
        view->RefNameLabel()->setText(label);
}

QString EditorCharts::defaultExportPath()
{
    QString id = m_editor->Entries().text(0).trimmed();
    id.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
    const QString file =
        (id.isEmpty() ? QStringLiteral("plots") : id + QStringLiteral("-plots")) + QStringLiteral(".csv");
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(file);
}

PlotExportContext EditorCharts::exportContext() const
{
    PlotExportContext c;
    QComboBox *cboFMSet = m_editor->cboFMSet();
    QComboBox *cboFM = m_editor->cboFM();
    c.setName = m_editor->txtFuelModelSet()->text();
    c.modelId = m_editor->Entries().text(0).trimmed();
    c.referenceSet = cboFMSet->currentText();
    if (gFMSets) {
        if (const auto ref = ReferenceModelAt(*gFMSets, cboFMSet->currentIndex(), cboFM->currentIndex()))
            c.referenceId = ref->FuelModelID();
    }
    c.system = Units::UnitSetting::instance().system();
    return c;
}

void EditorCharts::cmdExport_Click()
{
    if (gChartState.CurrentPlotHistory.empty())
        return;
    QString path =
        prompts().ChooseSaveFile(QStringLiteral("Export Plots"),
                                 QStringLiteral("CSV files (*.csv);;PNG pictures of the chart shown (*.png);;"
                                                "SVG pictures of the chart shown (*.svg)"),
                                 defaultExportPath());
    if (path.isEmpty())
        return;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix.isEmpty())
        path += QStringLiteral(".csv");
    QString error;
    const int k = m_tabs->currentIndex();
    QChartView *view = k >= 0 && k < ChartCount ? m_charts[std::size_t(k)]->ChartView() : m_charts[0]->ChartView();
    bool ok = false;
    if (suffix == QLatin1String("png"))
        ok = SaveChartPng(view, path, &error);
    else if (suffix == QLatin1String("svg"))
        ok = SaveChartSvg(view, path, &error);
    else
        ok = WritePlotHistoryCsv(gChartState, exportContext(), path, &error);
    if (ok)
        return;
    const QString text =
        QStringLiteral("The plots could not be written to %1: %2").arg(QDir::toNativeSeparators(path), error);
    prompts().Message(text, QStringLiteral("Export"), IPrompts::Icon::Exclamation);
}

IPrompts &EditorCharts::prompts()
{
    if (m_hooks.Prompts)
        return *m_hooks.Prompts;
    if (!m_ownPrompts)
        m_ownPrompts = std::make_unique<QtPrompts>(m_editor);
    return *m_ownPrompts;
}

void EditorCharts::cmdCopyChart_Click()
{
    const int k = m_tabs->currentIndex();
    if (k < 0 || k >= ChartCount)
        return;
    QApplication::clipboard()->setImage(m_charts[std::size_t(k)]->ChartArea()->grab().toImage());
}

bool EditorCharts::EntriesOK()
{
    return !m_hooks.EntriesOK || m_hooks.EntriesOK();
}

bool EditorCharts::EnvEntriesOK()
{
    return !m_hooks.EnvEntriesOK || m_hooks.EnvEntriesOK();
}

void EditorCharts::Compute()
{
    if (m_hooks.Compute)
        m_hooks.Compute();
}

std::shared_ptr<FireSpread> EditorCharts::CurrentFireSpread() const
{
    return m_hooks.CurrentFireSpread ? m_hooks.CurrentFireSpread() : nullptr;
}

std::shared_ptr<FireSpread> EditorCharts::ReferenceFireSpread() const
{
    return m_hooks.ReferenceFireSpread ? m_hooks.ReferenceFireSpread() : nullptr;
}

QPushButton *EditorCharts::PlotButton() const
{
    return m_plot;
}

QPushButton *EditorCharts::ClearButton() const
{
    return m_clear;
}

QWidget *EditorCharts::control(const QString &name) const
{
    const frmEditModel &e = *m_editor;
    const std::pair<const char *, QWidget *> controls[] = {{"txtMidFlameWind", e.txtMidFlameWind()},
                                                           {"cboHerbType", e.cboHerbType()},
                                                           {"cboSlope", e.cboSlope()},
                                                           {"cboWindReduce", e.cboWindReduce()},
                                                           {"txtROS", e.txtROS()},
                                                           {"txtFLI", e.txtFLI()},
                                                           {"txtHeat", e.txtHeat()},
                                                           {"txtFL", e.txtFL()},
                                                           {"txtCharSurfVolRatio", e.txtCharSurfVolRatio()},
                                                           {"txtPackRatio", e.txtPackRatio()}};
    for (const auto &[controlName, widget] : controls)
        if (name == QLatin1String(controlName))
            return widget;
    return nullptr;
}

QString EditorCharts::RefFLIText() const
{
    return m_editor->txtRefFLI()->text();
}

QString EditorCharts::RefFLText() const
{
    return m_editor->txtRefFL()->text();
}

QString EditorCharts::WindReduceText() const
{
    return m_editor->cboWindReduce()->currentText();
}

void EditorCharts::WriteEntries(const std::vector<EntryWrite> &writes)
{
    for (const EntryWrite &w : writes) {
        if (w.english && m_hooks.WriteNumber && m_hooks.WriteNumber(w.control, w.text, *w.english))
            continue;
        // An entry box's text goes to the entries, which the box shows.
        if (w.control.startsWith(QLatin1String("txtFuels_"))) {
            m_editor->Entries().setText(w.control.mid(9).toInt(), w.text);
            continue;
        }
        QWidget *o = control(w.control);
        if (auto *c = qobject_cast<QComboBox *>(o)) {
            if (w.kind == EntryWrite::Kind::ListIndex) {
                if (w.index >= -1 && w.index < c->count())
                    c->setCurrentIndex(w.index);
            } else if (c->isEditable()) {
                // An item's text also chooses the item; any other text stays as typed.
                const int item = c->findText(w.text, Qt::MatchExactly);
                if (item >= 0)
                    c->setCurrentIndex(item);
                c->setEditText(w.text);
            } else {
                c->setCurrentText(w.text);
            }
        } else if (auto *e = qobject_cast<QLineEdit *>(o)) {
            e->setText(w.text);
        }
    }
}

int EditorCharts::CurrentTab() const
{
    return m_tabs->currentIndex();
}

void EditorCharts::SetCurrentTab(int tab)
{
    m_tabs->setCurrentIndex(tab);
}

bool EditorCharts::PlotReferenceChecked() const
{
    return m_plotRef && m_plotRef->isChecked();
}

void EditorCharts::ShowChart(int k, const std::vector<ChartRow> &rows, double axisMax)
{
    m_charts[std::size_t(k)]->Show(rows, axisMax);
}

void EditorCharts::ClearChart(int k)
{
    m_charts[std::size_t(k)]->Clear();
}

void EditorCharts::SetScrollRange(int k, int minimum, int maximum)
{
    m_charts[std::size_t(k)]->ScrollBar()->setRange(minimum, maximum);
}

void EditorCharts::SetScrollValue(int k, int value)
{
    m_charts[std::size_t(k)]->ScrollBar()->setValue(value);
}

void EditorCharts::ShowReferenceLegends(bool shown)
{
    for (FireChartView *view : m_charts)
        view->LegendPanel()->setVisible(shown);
}

void EditorCharts::HistoryChanged(int count)
{
    if (m_export)
        m_export->setEnabled(count > 0);
}

void PlotCharts(int first, int last, bool fromScroll)
{
    if (EditorCharts *charts = EditorCharts::Active())
        charts->PlotCharts(first, last, fromScroll);
}

void PlotFromTuner()
{
    if (EditorCharts *charts = EditorCharts::Active())
        charts->PlotFromTuner();
}
