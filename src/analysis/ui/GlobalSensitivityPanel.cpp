#include "analysis/ui/GlobalSensitivityPanel.h"

#include "analysis/ui/UncertaintyViews.h"
#include "data/CsvTable.h"
#include "data/ProgramSettings.h"
#include "uncertainty/Parallel.h"
#include "uncertainty/Presets.h"
#include "units/UnitSetting.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSettings>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace {

const char kSamplesKey[] = "Uncertainty/SobolSamples";

QSettings settings()
{
    return ProgramSettings();
}

} // namespace

GlobalSensitivityPanel::GlobalSensitivityPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlGlobalSensitivity"));
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    auto *label = new QLabel(QStringLiteral("&Base samples"), this);
    m_samples = new QComboBox(this);
    m_samples->setObjectName(QStringLiteral("cboSobolSamples"));
    for (int power = 10; power <= 14; ++power)
        m_samples->addItem(QString::number(1 << power), 1 << power);
    m_samples->setToolTip(QStringLiteral("N: the model is computed N x (inputs + 2) times"));
    label->setBuddy(m_samples);
    const int saved = m_samples->findData(settings().value(QLatin1String(kSamplesKey), 4096).toInt());
    m_samples->setCurrentIndex(saved >= 0 ? saved : 2);
    auto *note =
        new QLabel(QStringLiteral("Inputs and distributions as on the Uncertainty tab, drawn independently"), this);
    top->addWidget(label);
    top->addWidget(m_samples);
    top->addSpacing(16);
    top->addWidget(note);
    top->addStretch();
    layout->addLayout(top);
    auto *charts = new QHBoxLayout;
    const char *titles[] = {"Rate of spread", "Flame length"};
    for (std::size_t k = 0; k < 2; ++k) {
        m_bars[k] = new SobolBarsView(this);
        m_bars[k]->setObjectName(QStringLiteral("barSobol_%1").arg(k));
        m_bars[k]->setAccessibleName(QString::fromUtf8(titles[k]));
        charts->addWidget(m_bars[k]);
    }
    layout->addLayout(charts, 1);
    m_sum = new QLabel(this);
    m_sum->setObjectName(QStringLiteral("lblSobolSum"));
    m_sum->setWordWrap(true);
    layout->addWidget(m_sum);
    connect(m_samples, &QComboBox::currentIndexChanged, this, [this] {
        settings().setValue(QLatin1String(kSamplesKey), m_samples->currentData().toInt());
        emit SettingsChanged();
    });
    connect(&m_watcher, &QFutureWatcher<Computed>::finished, this, &GlobalSensitivityPanel::showResult);
}

GlobalSensitivityPanel::~GlobalSensitivityPanel()
{
    m_pending.reset();
    m_watcher.waitForFinished();
}

bool GlobalSensitivityPanel::IsStale() const
{
    return m_bars[0]->IsStale();
}

void GlobalSensitivityPanel::Refresh(const AnalysisInputs &inputs, const std::vector<VaryingInput> &varying)
{
    Request request;
    std::string problem;
    if (!request.model.Prepare(PointOfSpread(inputs.edited, inputs.windAdjustment), varying, &problem)) {
        m_sum->setText(QString::fromStdString(problem));
        return;
    }
    for (int i = 0; i < request.model.InputCount(); ++i) {
        const std::string_view name = InputChartName(request.model.Input(i).key);
        request.names << QString::fromUtf8(name.data(), qsizetype(name.size()));
    }
    request.options.baseSamples = m_samples->currentData().toInt();
    request.options.threads = ComputeThreads();
    m_pending = std::move(request);
    for (SobolBarsView *b : m_bars)
        b->SetStale(true);
    if (!m_watcher.isRunning() && isVisible())
        startComputation();
}

void GlobalSensitivityPanel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_watcher.isRunning())
        startComputation();
}

void GlobalSensitivityPanel::startComputation()
{
    if (!m_pending)
        return;
    auto request = std::make_shared<Request>(std::move(*m_pending));
    m_pending.reset();
    m_watcher.setFuture(QtConcurrent::run([request] {
        return Computed{FireSobolAnalysis(request->model, request->options), request->names};
    }));
}

void GlobalSensitivityPanel::showResult()
{
    Computed computed = m_watcher.result();
    m_result = std::move(computed.result);
    m_names = std::move(computed.names);
    const char *titles[] = {"Rate of spread", "Flame length"};
    QStringList sums;
    for (std::size_t k = 0; k < 2 && k < m_result.indices.size(); ++k) {
        std::vector<SobolBar> bars;
        double sum = 0;
        for (std::size_t i = 0; i < m_result.indices[k].size(); ++i) {
            const SobolIndex &s = m_result.indices[k][i];
            bars.push_back(
                {m_names.value(qsizetype(i)), s.first, s.firstLow, s.firstHigh, s.total, s.totalLow, s.totalHigh});
            sum += s.first;
        }
        std::stable_sort(bars.begin(), bars.end(),
                         [](const SobolBar &a, const SobolBar &b) { return a.total > b.total; });
        m_bars[k]->SetData(QString::fromUtf8(titles[k]), bars);
        sums << QStringLiteral("%1: sum of first-order indices %2 (interactions carry %3 %)")
                    .arg(QString::fromUtf8(titles[k]), TableNumber(sum, 2),
                         TableNumber(std::max(0.0, 100 * (1 - sum)), 0));
    }
    m_sum->setText(sums.join(QLatin1Char('\n')));
    if (m_pending) {
        startComputation();
    } else {
        for (SobolBarsView *b : m_bars)
            b->SetStale(false);
    }
    emit ResultShown();
}
