#include "analysis/ui/UncertaintyPanel.h"

#include "analysis/ui/UncertaintyViews.h"
#include "data/CsvTable.h"
#include "data/ProgramSettings.h"
#include "uncertainty/Parallel.h"
#include "uncertainty/Presets.h"
#include "units/UnitSetting.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <cmath>

namespace {

const char kInputsKey[] = "Uncertainty/Inputs";
const char kDrawsKey[] = "Uncertainty/Draws";
const char kCorrelationKey[] = "Uncertainty/Correlation";
const char kThresholdsKey[] = "Uncertainty/FlameThresholds";

QSettings settings()
{
    return ProgramSettings();
}

Units::System shownSystem()
{
    return Units::UnitSetting::instance().system();
}

// Every input the table offers: the 13 fuel parameters, then the environment's (the midflame
// wind follows the 20-ft wind and the adjustment here, as in the editor).
std::vector<InputKey> tableInputs()
{
    std::vector<InputKey> keys;
    for (const FuelParameterInfo &p : FuelParameterTable())
        keys.push_back(InputKey::Fuel(p.id));
    for (const EnvironmentInputInfo &e : EnvironmentInputTable())
        if (e.id != EnvironmentInputId::MidflameWind)
            keys.push_back(InputKey::Environment(e.id));
    return keys;
}

// A distribution as the table shows it: a range in the units shown.
QString shownText(const VaryingInput &v)
{
    Distribution d = v.distribution;
    if (d.kind == DistributionKind::Range) {
        d.a = Units::FromEnglish(InputQuantity(v.key), shownSystem(), d.a);
        d.b = Units::FromEnglish(InputQuantity(v.key), shownSystem(), d.b);
        return QStringLiteral("range:%1:%2").arg(TableNumber(d.a, 4), TableNumber(d.b, 4));
    }
    return QString::fromStdString(DistributionText(d));
}

const Units::Quantity kOutputQuantity[] = {Units::Quantity::RateOfSpread, Units::Quantity::FlameLength,
                                           Units::Quantity::FirelineIntensity};
const char *kOutputTitle[] = {"Rate of spread", "Flame length", "Fireline intensity"};

} // namespace

UncertaintyPanel::UncertaintyPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlUncertainty"));
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    auto *presetLabel = new QLabel(QStringLiteral("P&reset"), this);
    m_preset = new QComboBox(this);
    m_preset->setObjectName(QStringLiteral("cboUncertaintyPreset"));
    m_preset->addItem(QStringLiteral("(your choices)"));
    for (const UncertaintyPreset &p : UncertaintyPresets())
        m_preset->addItem(QString::fromUtf8(p.name.data(), qsizetype(p.name.size())));
    presetLabel->setBuddy(m_preset);
    auto *drawsLabel = new QLabel(QStringLiteral("&Draws"), this);
    m_draws = new QSpinBox(this);
    m_draws->setObjectName(QStringLiteral("spnUncertaintyDraws"));
    m_draws->setRange(100, 100000);
    m_draws->setSingleStep(1000);
    drawsLabel->setBuddy(m_draws);
    auto *correlationLabel = new QLabel(QStringLiteral("Moisture &correlation"), this);
    m_correlation = new QDoubleSpinBox(this);
    m_correlation->setObjectName(QStringLiteral("dblMoistureCorrelation"));
    m_correlation->setRange(0, 0.99);
    m_correlation->setSingleStep(0.05);
    m_correlation->setDecimals(2);
    m_correlation->setToolTip(QStringLiteral("Rank correlation of the three dead moistures, and of the two live "
                                             "ones; 0 draws them independently"));
    correlationLabel->setBuddy(m_correlation);
    auto *thresholdsLabel = new QLabel(QStringLiteral("Flame length &thresholds"), this);
    m_thresholds = new QLineEdit(this);
    m_thresholds->setObjectName(QStringLiteral("txtFlameThresholds"));
    m_thresholds->setMaximumWidth(120);
    thresholdsLabel->setBuddy(m_thresholds);
    top->addWidget(presetLabel);
    top->addWidget(m_preset);
    top->addSpacing(12);
    top->addWidget(drawsLabel);
    top->addWidget(m_draws);
    top->addSpacing(12);
    top->addWidget(correlationLabel);
    top->addWidget(m_correlation);
    top->addSpacing(12);
    top->addWidget(thresholdsLabel);
    top->addWidget(m_thresholds);
    top->addStretch();
    layout->addLayout(top);

    auto *body = new QHBoxLayout;
    m_table = new QTableWidget(0, 2, this);
    m_table->setObjectName(QStringLiteral("tblUncertainInputs"));
    m_table->setAccessibleName(QStringLiteral("Varying inputs"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("Input varies"), QStringLiteral("Distribution")});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setToolTip(QStringLiteral("pct:P uniform within +/- P %; range:A:B uniform from A to B; cv:C normal "
                                       "with sd = C x the value. Draws stay within the entry ranges."));
    const std::vector<InputKey> keys = tableInputs();
    m_table->setRowCount(int(keys.size()));
    for (int r = 0; r < int(keys.size()); ++r) {
        auto *name = new QTableWidgetItem(QString::fromUtf8(InputChartName(keys[std::size_t(r)]).data(),
                                                            qsizetype(InputChartName(keys[std::size_t(r)]).size())));
        name->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        name->setCheckState(Qt::Unchecked);
        name->setData(Qt::UserRole, QString::fromUtf8(InputShortName(keys[std::size_t(r)]).data()));
        m_table->setItem(r, 0, name);
        m_table->setItem(r, 1, new QTableWidgetItem(QStringLiteral("pct:20")));
    }
    m_table->resizeColumnToContents(0);
    m_table->setMinimumWidth(300);
    m_table->setMaximumWidth(360);
    body->addWidget(m_table);
    auto *charts = new QGridLayout;
    for (std::size_t k = 0; k < 3; ++k) {
        m_histograms[k] = new HistogramView(this);
        m_histograms[k]->setObjectName(QStringLiteral("hstUncertainty_%1").arg(k));
        m_histograms[k]->setAccessibleName(QString::fromUtf8(kOutputTitle[k]));
        charts->addWidget(m_histograms[k], int(k / 2), int(k % 2));
    }
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("lblUncertaintySummary"));
    m_summary->setWordWrap(true);
    m_summary->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    charts->addWidget(m_summary, 1, 1);
    body->addLayout(charts, 1);
    layout->addLayout(body, 1);

    // The user's last choices, or every preset's inputs at first.
    const QSettings s = settings();
    m_draws->setValue(s.value(QLatin1String(kDrawsKey), 10000).toInt());
    m_correlation->setValue(s.value(QLatin1String(kCorrelationKey), 0.9).toDouble());
    const QStringList feet =
        s.value(QLatin1String(kThresholdsKey), QStringLiteral("4,8,11")).toString().split(QLatin1Char(','));
    QStringList shown;
    for (const QString &f : feet)
        shown << TableNumber(Units::FromEnglish(Units::Quantity::FlameLength, shownSystem(), f.toDouble()), 1);
    m_thresholds->setText(shown.join(QStringLiteral(", ")));
    if (s.contains(QLatin1String(kInputsKey)))
        fillTable(ReadInputsText(s.value(QLatin1String(kInputsKey)).toString().toStdString()));
    else
        fillTable(UncertaintyPresets().back().inputs);
    // The preset the table holds, if it holds one (in any order).
    const auto parts = [](const std::vector<VaryingInput> &inputs) {
        QStringList list = QString::fromStdString(InputsText(inputs)).split(QLatin1Char(';'));
        list.sort();
        return list;
    };
    const QStringList chosen = parts(VaryingInputs());
    for (std::size_t i = 0; i < UncertaintyPresets().size(); ++i)
        if (parts(UncertaintyPresets()[i].inputs) == chosen)
            m_preset->setCurrentIndex(int(i) + 1);

    connect(m_preset, &QComboBox::activated, this, [this](int index) {
        if (index >= 1) {
            SetVaryingInputs(UncertaintyPresets()[std::size_t(index - 1)].inputs);
            m_preset->setCurrentIndex(index);
        }
    });
    connect(m_table, &QTableWidget::itemChanged, this, [this] {
        if (m_filling)
            return;
        m_preset->setCurrentIndex(0);
        saveSettings();
        emit SettingsChanged();
    });
    const auto changed = [this] {
        saveSettings();
        emit SettingsChanged();
    };
    connect(m_draws, &QSpinBox::valueChanged, this, changed);
    connect(m_correlation, &QDoubleSpinBox::valueChanged, this, changed);
    connect(m_thresholds, &QLineEdit::textEdited, this, changed);
    connect(&m_watcher, &QFutureWatcher<Outcome>::finished, this, &UncertaintyPanel::showResult);
}

UncertaintyPanel::~UncertaintyPanel()
{
    m_pending.reset();
    m_watcher.waitForFinished();
}

void UncertaintyPanel::fillTable(const std::vector<VaryingInput> &inputs)
{
    m_filling = true;
    for (int r = 0; r < m_table->rowCount(); ++r) {
        QTableWidgetItem *name = m_table->item(r, 0);
        const auto key = FindInput(name->data(Qt::UserRole).toString().toStdString());
        bool varies = false;
        for (const VaryingInput &v : inputs) {
            if (key && v.key == *key) {
                varies = true;
                m_table->item(r, 1)->setText(shownText(v));
            }
        }
        name->setCheckState(varies ? Qt::Checked : Qt::Unchecked);
        m_table->item(r, 1)->setBackground(QBrush());
    }
    m_filling = false;
}

std::vector<VaryingInput> UncertaintyPanel::VaryingInputs() const
{
    std::vector<VaryingInput> inputs;
    for (int r = 0; r < m_table->rowCount(); ++r) {
        const QTableWidgetItem *name = m_table->item(r, 0);
        if (name->checkState() != Qt::Checked)
            continue;
        const auto key = FindInput(name->data(Qt::UserRole).toString().toStdString());
        std::string problem;
        auto d = ParseDistribution(m_table->item(r, 1)->text().trimmed().toStdString(), &problem);
        if (!key || !d)
            continue;
        if (d->kind == DistributionKind::Range) {
            d->a = Units::ToEnglish(InputQuantity(*key), shownSystem(), d->a);
            d->b = Units::ToEnglish(InputQuantity(*key), shownSystem(), d->b);
        }
        inputs.push_back({*key, *d});
    }
    return inputs;
}

void UncertaintyPanel::SetVaryingInputs(const std::vector<VaryingInput> &inputs)
{
    fillTable(inputs);
    saveSettings();
    emit SettingsChanged();
}

void UncertaintyPanel::saveSettings() const
{
    QSettings s = settings();
    s.setValue(QLatin1String(kInputsKey), QString::fromStdString(InputsText(VaryingInputs())));
    s.setValue(QLatin1String(kDrawsKey), m_draws->value());
    s.setValue(QLatin1String(kCorrelationKey), m_correlation->value());
    QStringList feet;
    for (double f : thresholdsFeet())
        feet << QString::number(f, 'g', 10);
    s.setValue(QLatin1String(kThresholdsKey), feet.join(QLatin1Char(',')));
}

std::vector<double> UncertaintyPanel::thresholdsFeet() const
{
    std::vector<double> feet;
    for (const QString &part :
         m_thresholds->text().split(QRegularExpression(QStringLiteral("[,;\\s]+")), Qt::SkipEmptyParts)) {
        bool ok = false;
        const double v = part.toDouble(&ok);
        if (ok && std::isfinite(v) && v >= 0)
            feet.push_back(Units::ToEnglish(Units::Quantity::FlameLength, shownSystem(), v));
    }
    return feet;
}

bool UncertaintyPanel::IsStale() const
{
    return m_histograms[0]->IsStale();
}

void UncertaintyPanel::Refresh(const AnalysisInputs &inputs)
{
    // Marks the distributions the table cannot read.
    m_filling = true;
    for (int r = 0; r < m_table->rowCount(); ++r) {
        std::string problem;
        const bool readable =
            ParseDistribution(m_table->item(r, 1)->text().trimmed().toStdString(), &problem).has_value();
        m_table->item(r, 1)->setBackground(readable ? QBrush() : QBrush(QColor(0xff, 0xd0, 0xd0)));
        m_table->item(r, 1)->setToolTip(readable ? QString() : QString::fromStdString(problem));
    }
    m_filling = false;

    Request request;
    std::string problem;
    if (!request.model.Prepare(PointOfSpread(inputs.edited, inputs.windAdjustment), VaryingInputs(), &problem)) {
        m_problem = QString::fromStdString(problem);
        m_summary->setText(m_problem);
        return;
    }
    m_problem.clear();
    request.options.draws = m_draws->value();
    request.options.deadCorrelation = request.options.liveCorrelation = m_correlation->value();
    request.options.flameThresholds = thresholdsFeet();
    request.options.threads = ComputeThreads();
    request.inputs = VaryingInputs();
    request.fires = m_fires;
    m_pending = std::move(request);
    for (HistogramView *h : m_histograms)
        h->SetStale(true);
    if (!m_watcher.isRunning() && isVisible())
        startComputation();
}

void UncertaintyPanel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_watcher.isRunning())
        startComputation();
}

void UncertaintyPanel::startComputation()
{
    if (!m_pending)
        return;
    auto request = std::make_shared<Request>(std::move(*m_pending));
    m_pending.reset();
    m_watcher.setFuture(QtConcurrent::run([request] {
        Outcome out;
        out.result = RunUncertainty(request->model, request->options);
        if (!request->fires.empty()) {
            BandOptions options;
            options.draws = std::min(request->options.draws, kCoverageDraws);
            options.seed = request->options.seed;
            options.method = request->options.method;
            options.deadCorrelation = request->options.deadCorrelation;
            options.liveCorrelation = request->options.liveCorrelation;
            options.threads = request->options.threads;
            BandCoverage coverage;
            if (ObservedBandCoverage(request->model.Point(), request->inputs, request->fires, options, &coverage,
                                     &out.coverageProblem))
                out.coverage = coverage;
        }
        return out;
    }));
}

void UncertaintyPanel::showResult()
{
    const Outcome outcome = m_watcher.result();
    m_result = outcome.result;
    m_coverage = outcome.coverage;
    const Units::System s = shownSystem();
    const OutputSummary *outputs[] = {&m_result.rateOfSpread, &m_result.flameLength, &m_result.intensity};
    for (std::size_t k = 0; k < 3; ++k) {
        const Units::Quantity q = kOutputQuantity[k];
        const auto shown = [&](double v) { return Units::FromEnglish(q, s, v); };
        std::vector<double> values;
        values.reserve(outputs[k]->sorted.size());
        for (double v : outputs[k]->sorted)
            values.push_back(shown(v));
        std::array<double, 5> quantiles{};
        for (std::size_t i = 0; i < 5; ++i)
            quantiles[i] = shown(outputs[k]->quantiles[i]);
        m_histograms[k]->SetData(QString::fromUtf8(kOutputTitle[k]), Units::UnitLabel(q, s), values, quantiles,
                                 shown(outputs[k]->mean));
    }
    QStringList lines;
    QStringList exceed;
    for (std::size_t t = 0; t < m_result.flameThresholds.size(); ++t)
        exceed << QStringLiteral("%1 %2: %3 %")
                      .arg(TableNumber(Units::FromEnglish(Units::Quantity::FlameLength, s, m_result.flameThresholds[t]),
                                       1),
                           Units::UnitLabel(Units::Quantity::FlameLength, s),
                           TableNumber(100 * m_result.flameExceedance[t], 1));
    if (!exceed.isEmpty())
        lines << QStringLiteral("Chance of a flame longer than") << exceed;
    lines << QString() << QStringLiteral("Chance of no spread: %1 %").arg(TableNumber(100 * m_result.noSpread, 1));
    lines << QStringLiteral("%1 draws").arg(m_result.draws);
    if (m_result.failed > 0)
        lines << QStringLiteral("%1 draws could not be computed and are left out").arg(m_result.failed);
    if (m_coverage) {
        const BandCoverage &c = *m_coverage;
        lines << QString() << QStringLiteral("Observed fires inside the 5-95 % band (each under its own environment):");
        lines << QStringLiteral("rate of spread %1 of %2 (%3 %)")
                     .arg(c.rosInside)
                     .arg(c.fires)
                     .arg(TableNumber(100 * c.RosShare(), 0));
        if (c.flameFires > 0)
            lines << QStringLiteral("flame length %1 of %2 (%3 %)")
                         .arg(c.flameInside)
                         .arg(c.flameFires)
                         .arg(TableNumber(100 * c.FlameShare(), 0));
    } else if (!outcome.coverageProblem.empty()) {
        lines << QString() << QStringLiteral("Observed fires: ") + QString::fromStdString(outcome.coverageProblem);
    }
    m_summary->setText(lines.join(QLatin1Char('\n')));
    if (m_pending) {
        startComputation();
    } else {
        for (HistogramView *h : m_histograms)
            h->SetStale(false);
    }
    emit ResultShown();
}
