#include "testcenter/ui/EditorCharts.h"

#include "data/IPrompts.h"
#include "widgets/ChartExport.h"
#include "widgets/QtPrompts.h"
#include "data/ProgramState.h"
#include "testcenter/PlotExport.h"
#include "testcenter/TestComputation.h"
#include "testcenter/ui/FireChartView.h"
#include "units/UnitSetting.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTextEdit>

namespace {

EditorCharts *gActiveCharts = nullptr;

const char *const kTabTexts[] = {"ROS", "FLI", "FL", "Size", "Reference Fuel Model"};

// The box layout (at any depth below root) that holds w, with w's position in it.
QBoxLayout *boxLayoutHolding(QLayout *root, QWidget *w, int *index)
{
    if (!root)
        return nullptr;
    if (auto *box = qobject_cast<QBoxLayout *>(root)) {
        const int i = box->indexOf(w);
        if (i >= 0) {
            *index = i;
            return box;
        }
    }
    for (int i = 0; i < root->count(); ++i) {
        if (QBoxLayout *found = boxLayoutHolding(root->itemAt(i)->layout(), w, index))
            return found;
    }
    return nullptr;
}

template <typename T>
T *findOrCreate(QWidget *editor, const QString &name, const QString &text, QWidget *parent)
{
    if (auto *existing = editor->findChild<T *>(name))
        return existing;
    auto *w = new T(text, parent);
    w->setObjectName(name);
    return w;
}

QTabWidget *resultTabs(QWidget *editor)
{
    auto *tabs = editor->findChild<QTabWidget *>(QStringLiteral("tabResults"));
    if (!tabs) {
        tabs = new QTabWidget(editor);
        tabs->setObjectName(QStringLiteral("tabResults"));
        if (editor->layout())
            editor->layout()->addWidget(tabs);
    }
    for (int k = tabs->count(); k < 5; ++k)
        tabs->addTab(new QWidget(tabs), QString::fromLatin1(kTabTexts[k]));
    return tabs;
}

} // namespace

EditorCharts::EditorCharts(QWidget *editor, ChartEditorHooks hooks)
    : QObject(editor), m_editor(editor), m_hooks(std::move(hooks)), m_controller(gChartState, *this)
{
    m_tabs = resultTabs(editor);
    for (int k = 0; k < ChartCount; ++k) {
        auto *view = new FireChartView(k, m_tabs->widget(k));
        m_charts[std::size_t(k)] = view;
        connect(view->ScrollBar(), &QScrollBar::valueChanged, this,
                [this, k](int value) { m_controller.hscChart_Change(k, value); });
        connect(view, &FireChartView::EditedBarClicked, this,
                [this](int row) { m_controller.EditedBarClicked(row); });
    }
    buildCommands();
    if (auto *cboFM = editor->findChild<QComboBox *>(QStringLiteral("cboFM"))) {
        for (FireChartView *view : m_charts)
            view->RefNameLabel()->setText(QStringLiteral("Ref: ") + cboFM->currentText());
    }
    m_controller.EditorLoaded();
    gActiveCharts = this;
    connect(&Units::UnitSetting::instance(), &Units::UnitSetting::changed, this, [this] {
        for (int k = 0; k < ChartCount; ++k) {
            if (auto *title = m_editor->findChild<QLabel *>(QStringLiteral("lblChartTitle_%1").arg(k)))
                title->setText(ChartTitle(k));
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

    auto *plot = findOrCreate<QPushButton>(m_editor, QStringLiteral("cmdPlot"), QStringLiteral("&Plot"), row);
    auto *clear = findOrCreate<QPushButton>(m_editor, QStringLiteral("cmdClearGraph"),
                                            QStringLiteral("C&lear Graphs"), row);
    m_plotRef = findOrCreate<QCheckBox>(m_editor, QStringLiteral("chkPlotRefFM"),
                                        QStringLiteral("Plot &Reference Model"), row);
    m_export = findOrCreate<QPushButton>(m_editor, QStringLiteral("cmdExport"), QStringLiteral("E&xport..."), row);
    m_copy = findOrCreate<QPushButton>(m_editor, QStringLiteral("cmdCopyChart"), QStringLiteral("Cop&y Chart"), row);
    m_export->setToolTip(QStringLiteral("Write every plot, with the reference model beside it, to a CSV file, or the chart shown as a PNG or SVG picture"));
    m_copy->setToolTip(QStringLiteral("Put the chart shown on the clipboard as a picture"));
    for (QWidget *w : {static_cast<QWidget *>(plot), static_cast<QWidget *>(clear), static_cast<QWidget *>(m_plotRef)}) {
        if (w->parentWidget() == row)
            layout->addWidget(w);
    }
    layout->addStretch(1);
    for (QWidget *w : {static_cast<QWidget *>(m_export), static_cast<QWidget *>(m_copy)}) {
        if (w->parentWidget() == row)
            layout->addWidget(w);
    }

    int index = -1;
    QWidget *holder = m_tabs->parentWidget();
    if (m_hooks.CommandsLayout) {
        m_hooks.CommandsLayout->addWidget(row);
    } else if (QBoxLayout *box = holder ? boxLayoutHolding(holder->layout(), m_tabs, &index) : nullptr) {
        box->insertWidget(index + 1, row);
    } else {
        row->setParent(m_tabs);
        m_tabs->setCornerWidget(row, Qt::BottomRightCorner);
    }

    connect(plot, &QPushButton::clicked, this, &EditorCharts::cmdPlot_Click);
    connect(clear, &QPushButton::clicked, this, &EditorCharts::cmdClearGraph_Click);
    connect(m_plotRef, &QCheckBox::toggled, this, &EditorCharts::chkPlotRefFM_Click);
    connect(m_export, &QPushButton::clicked, this, &EditorCharts::cmdExport_Click);
    connect(m_copy, &QPushButton::clicked, this, &EditorCharts::cmdCopyChart_Click);
    connect(m_tabs, &QTabWidget::currentChanged, this,
            [this](int tab) {
                if (m_copy)
                    m_copy->setEnabled(tab >= 0 && tab < ChartCount);
            });
    m_copy->setEnabled(m_tabs->currentIndex() < ChartCount);
}

void EditorCharts::ReferenceModelChosen(const QString &refLabel)
{
    m_controller.cmdClearGraph_Click();
    const QString label = refLabel.isEmpty() ? QStringLiteral("Ref: ") + textOf("cboFM") : refLabel;
    for (FireChartView *view : m_charts)
        view->RefNameLabel()->setText(label);
}

QString EditorCharts::defaultExportPath()
{
    QString id = textOf("txtFuels_0").trimmed();
    id.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
    const QString file = (id.isEmpty() ? QStringLiteral("plots") : id + QStringLiteral("-plots")) +
                         QStringLiteral(".csv");
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(file);
}

PlotExportContext EditorCharts::exportContext() const
{
    PlotExportContext c;
    c.setName = textOf("txtFuelModelSet");
    c.modelId = textOf("txtFuels_0").trimmed();
    c.referenceSet = textOf("cboFMSet");
    auto *cboFMSet = m_editor->findChild<QComboBox *>(QStringLiteral("cboFMSet"));
    auto *cboFM = m_editor->findChild<QComboBox *>(QStringLiteral("cboFM"));
    if (gFMSets && cboFMSet && cboFM) {
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
    QString path = prompts().ChooseSaveFile(QStringLiteral("Export Plots"),
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
    const QString text = QStringLiteral("The plots could not be written to %1: %2").arg(QDir::toNativeSeparators(path), error);
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

QString EditorCharts::textOf(const char *name) const
{
    QObject *o = m_editor->findChild<QObject *>(QString::fromLatin1(name));
    if (auto *e = qobject_cast<QLineEdit *>(o))
        return e->text();
    if (auto *c = qobject_cast<QComboBox *>(o))
        return c->currentText();
    if (auto *l = qobject_cast<QLabel *>(o))
        return l->text();
    return {};
}

QString EditorCharts::RefFLIText() const
{
    return textOf("txtRefFLI");
}

QString EditorCharts::RefFLText() const
{
    return textOf("txtRefFL");
}

QString EditorCharts::WindReduceText() const
{
    return textOf("cboWindReduce");
}

void EditorCharts::WriteEntries(const std::vector<EntryWrite> &writes)
{
    for (const EntryWrite &w : writes) {
        if (w.english && m_hooks.WriteNumber && m_hooks.WriteNumber(w.control, w.text, *w.english))
            continue;
        QObject *o = m_editor->findChild<QObject *>(w.control);
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
        } else if (auto *p = qobject_cast<QPlainTextEdit *>(o)) {
            p->setPlainText(w.text);
        } else if (auto *t = qobject_cast<QTextEdit *>(o)) {
            t->setPlainText(w.text);
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
