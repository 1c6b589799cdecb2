#include "analysis/ui/ResponseCurvesPanel.h"

#include "analysis/CurveTable.h"
#include "widgets/ChartExport.h"
#include "widgets/ChartReadout.h"
#include "widgets/ChartStyle.h"
#include "data/FuelModel.h"
#include "uncertainty/Parallel.h"
#include "uncertainty/Presets.h"
#include "units/UnitSetting.h"

#include <QAreaSeries>
#include <QCheckBox>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QScatterSeries>
#include <QValueAxis>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace {

// A number typed above the maximum is taken as the maximum, shown so once the box is left (or
// Enter pressed), instead of the key that made it too large being dropped unseen: "300" typed
// where 99 is the most reads 99.0, not 30.0.
class ClampingSpinBox : public QDoubleSpinBox
{
public:
    using QDoubleSpinBox::QDoubleSpinBox;

    QValidator::State validate(QString &text, int &pos) const override
    {
        const QValidator::State state = QDoubleSpinBox::validate(text, pos);
        if (state == QValidator::Invalid && aboveMaximum(text))
            return QValidator::Intermediate;
        return state;
    }
    void fixup(QString &text) const override
    {
        if (aboveMaximum(text))
            text = prefix() + textFromValue(maximum()) + suffix();
        else
            QDoubleSpinBox::fixup(text);
    }

private:
    bool aboveMaximum(const QString &text) const
    {
        QString number = text;
        if (!suffix().isEmpty() && number.endsWith(suffix()))
            number.chop(suffix().size());
        if (!prefix().isEmpty() && number.startsWith(prefix()))
            number.remove(0, prefix().size());
        bool ok = false;
        const double value = locale().toDouble(number.trimmed(), &ok);
        return ok && value > maximum();
    }
};

struct Output
{
    const char *title;
    Units::Quantity quantity;
    double SweepPoint::*value;
};

const std::array<Output, 4> kOutputs = {{
    {"Rate of spread", Units::Quantity::RateOfSpread, &SweepPoint::rateOfSpread},
    {"Flame length", Units::Quantity::FlameLength, &SweepPoint::flameLength},
    {"Fireline intensity", Units::Quantity::FirelineIntensity, &SweepPoint::fireLineIntensity},
    {"Size after 1 hour", Units::Quantity::FireSize, &SweepPoint::size},
}};

Units::System shownSystem()
{
    return Units::UnitSetting::instance().system();
}

double shownValue(const Output &o, const SweepPoint &p)
{
    return Units::FromEnglish(o.quantity, shownSystem(), p.*o.value);
}

QString curveName(const ModelCurve &c)
{
    if (c.role == QLatin1String("Edited"))
        return QStringLiteral("%1 (edited)").arg(c.modelId.isEmpty() ? QStringLiteral("model") : c.modelId);
    if (c.role == QLatin1String("Reference"))
        return QStringLiteral("Ref: %1").arg(c.modelId);
    return QStringLiteral("%1 (%2)").arg(c.modelId, c.setName);
}

} // namespace

QColor CurveColour(int position)
{
    static const QColor colours[] = {QColor(0x1f, 0x5f, 0xa8), QColor(0xc0, 0x39, 0x2b), QColor(0x27, 0x8e, 0x3c),
                                     QColor(0x8e, 0x44, 0xad), QColor(0xd3, 0x7a, 0x00), QColor(0x16, 0x9c, 0x9c),
                                     QColor(0x6d, 0x4c, 0x41)};
    return colours[std::size_t(position) % std::size(colours)];
}

ResponseCurvesPanel::ResponseCurvesPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlResponseCurves"));
    auto *layout = new QHBoxLayout(this);

    // Left: what to sweep and which models.
    auto *side = new QVBoxLayout;
    auto *form = new QGridLayout;
    auto *lblInput = new QLabel(QStringLiteral("&Vary:"), this);
    m_cboInput = new QComboBox(this);
    m_cboInput->setObjectName(QStringLiteral("cboSweepInput"));
    m_cboInput->setAccessibleName(QStringLiteral("Swept input"));
    for (const SweepInputInfo &i : SweepInputs())
        m_cboInput->addItem(QString::fromUtf8(i.title));
    lblInput->setBuddy(m_cboInput);
    m_from = new ClampingSpinBox(this);
    m_from->setObjectName(QStringLiteral("spnSweepFrom"));
    m_from->setAccessibleName(QStringLiteral("Sweep from"));
    m_to = new ClampingSpinBox(this);
    m_to->setObjectName(QStringLiteral("spnSweepTo"));
    m_to->setAccessibleName(QStringLiteral("Sweep to"));
    for (QDoubleSpinBox *s : {m_from, m_to}) {
        s->setDecimals(1);
        s->setKeyboardTracking(false);
        s->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    }
    auto *lblFrom = new QLabel(QStringLiteral("&From:"), this);
    lblFrom->setBuddy(m_from);
    auto *lblTo = new QLabel(QStringLiteral("&To:"), this);
    lblTo->setBuddy(m_to);
    form->addWidget(lblInput, 0, 0);
    form->addWidget(m_cboInput, 0, 1);
    form->addWidget(lblFrom, 1, 0);
    form->addWidget(m_from, 1, 1);
    form->addWidget(lblTo, 2, 0);
    form->addWidget(m_to, 2, 1);
    side->addLayout(form);

    m_chkReference = new QCheckBox(QStringLiteral("R&eference model"), this);
    m_chkReference->setObjectName(QStringLiteral("chkCurveReference"));
    m_chkReference->setChecked(true);
    side->addWidget(m_chkReference);
    m_chkBands = new QCheckBox(QStringLiteral("&Uncertainty bands"), this);
    m_chkBands->setObjectName(QStringLiteral("chkCurveBands"));
    m_chkBands->setToolTip(QStringLiteral("5-95 % and 25-75 % of the edited model while the inputs ticked in the "
                                          "Uncertainty tab vary"));
    m_chkBands->setChecked(true);
    side->addWidget(m_chkBands);

    auto *lblPick = new QLabel(QStringLiteral("&Library models (up to 5):"), this);
    m_cboLibraryModel = new QComboBox(this);
    m_cboLibraryModel->setObjectName(QStringLiteral("cboCurveLibraryModel"));
    m_cboLibraryModel->setAccessibleName(QStringLiteral("Library model to add"));
    m_cboLibraryModel->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cboLibraryModel->setMinimumContentsLength(18);
    lblPick->setBuddy(m_cboLibraryModel);
    side->addWidget(lblPick);
    side->addWidget(m_cboLibraryModel);
    auto *buttons = new QHBoxLayout;
    m_cmdAdd = new QPushButton(QStringLiteral("&Add"), this);
    m_cmdAdd->setObjectName(QStringLiteral("cmdAddCurveModel"));
    m_cmdRemove = new QPushButton(QStringLiteral("Re&move"), this);
    m_cmdRemove->setObjectName(QStringLiteral("cmdRemoveCurveModel"));
    buttons->addWidget(m_cmdAdd);
    buttons->addWidget(m_cmdRemove);
    side->addLayout(buttons);
    m_lstPicked = new QListWidget(this);
    m_lstPicked->setObjectName(QStringLiteral("lstCurveModels"));
    m_lstPicked->setAccessibleName(QStringLiteral("Library models shown"));
    m_lstPicked->setMaximumHeight(110);
    side->addWidget(m_lstPicked);

    auto *exportRow = new QHBoxLayout;
    auto *cmdExport = new QPushButton(QStringLiteral("E&xport..."), this);
    cmdExport->setObjectName(QStringLiteral("cmdExportCurves"));
    auto *cmdCopy = new QPushButton(QStringLiteral("&Copy"), this);
    cmdCopy->setObjectName(QStringLiteral("cmdCopyCurves"));
    exportRow->addWidget(cmdExport);
    exportRow->addWidget(cmdCopy);
    side->addLayout(exportRow);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblCurveStatus"));
    m_status->setWordWrap(true);
    side->addWidget(m_status);
    m_bandStatus = new QLabel(this);
    m_bandStatus->setObjectName(QStringLiteral("lblBandStatus"));
    m_bandStatus->setWordWrap(true);
    m_bandStatus->setMaximumWidth(260);
    side->addWidget(m_bandStatus);
    side->addStretch();
    layout->addLayout(side);

    // Right: the four charts and one legend for all of them.
    auto *right = new QVBoxLayout;
    m_chartsArea = new QWidget(this);
    m_chartsArea->setObjectName(QStringLiteral("fraCurveCharts"));
    auto *grid = new QGridLayout(m_chartsArea);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    for (std::size_t k = 0; k < kOutputs.size(); ++k) {
        m_charts[k] = new QChart;
        ApplyChartStyle(m_charts[k]);
        m_charts[k]->legend()->hide();
        m_axisX[k] = new QValueAxis(m_charts[k]);
        m_axisY[k] = new QValueAxis(m_charts[k]);
        m_charts[k]->addAxis(m_axisX[k], Qt::AlignBottom);
        m_charts[k]->addAxis(m_axisY[k], Qt::AlignLeft);
        // The bands first, so that every curve is drawn over them.
        for (std::size_t b = 0; b < 2; ++b) {
            auto *area = new QAreaSeries(new QLineSeries, new QLineSeries);
            area->setName(b == 0 ? QStringLiteral("5-95 %") : QStringLiteral("25-75 %"));
            area->setPen(Qt::NoPen);
            m_charts[k]->addSeries(area);
            area->attachAxis(m_axisX[k]);
            area->attachAxis(m_axisY[k]);
            m_bandAreas[k][b] = area;
        }
        m_views[k] = new QChartView(m_charts[k], m_chartsArea);
        m_views[k]->setObjectName(QStringLiteral("chtCurve_%1").arg(k));
        m_views[k]->setAccessibleName(QStringLiteral("%1 curve chart").arg(QString::fromUtf8(kOutputs[k].title)));
        MakeChartGrow(m_views[k], QSize(300, 200));
        m_readouts[k] = new ChartReadout(m_views[k]);
        const int chart = int(k);
        m_readouts[k]->SetPointFormatter([this, chart](QXYSeries *s, int index) {
            Q_UNUSED(chart);
            return pointText(s->property("curve").toInt(), s->property("marker").toBool()
                                                                ? s->property("pointIndex").toInt()
                                                                : index);
        });
        grid->addWidget(m_views[k], int(k / 2), int(k % 2));
    }
    right->addWidget(m_chartsArea, 1);
    // Inside the charts' area, so that an exported or copied picture carries the legend and
    // the models' names with it.
    m_legend = new QLabel(m_chartsArea);
    m_legend->setObjectName(QStringLiteral("lblCurveLegend"));
    m_legend->setWordWrap(true);
    m_legend->setTextFormat(Qt::RichText);
    grid->addWidget(m_legend, 2, 0, 1, 2);
    grid->setRowStretch(0, 1);
    grid->setRowStretch(1, 1);
    layout->addLayout(right, 1);

    m_exporter = new ChartExporter(this, m_chartsArea, [this] { return Table(); }, QStringLiteral("response-curves"));
    connect(cmdExport, &QPushButton::clicked, m_exporter, &ChartExporter::ExportWithDialog);
    connect(cmdCopy, &QPushButton::clicked, m_exporter, &ChartExporter::Copy);
    connect(m_cboInput, &QComboBox::currentIndexChanged, this, &ResponseCurvesPanel::inputChosen);
    connect(m_from, &QDoubleSpinBox::valueChanged, this, &ResponseCurvesPanel::SettingsChanged);
    connect(m_to, &QDoubleSpinBox::valueChanged, this, &ResponseCurvesPanel::SettingsChanged);
    connect(m_chkReference, &QCheckBox::toggled, this, &ResponseCurvesPanel::SettingsChanged);
    connect(m_chkBands, &QCheckBox::toggled, this, &ResponseCurvesPanel::SettingsChanged);
    connect(&m_bandWatcher, &QFutureWatcher<BandOutcome>::finished, this, &ResponseCurvesPanel::bandsDone);
    connect(m_cmdAdd, &QPushButton::clicked, this, &ResponseCurvesPanel::addPicked);
    connect(m_cmdRemove, &QPushButton::clicked, this, &ResponseCurvesPanel::removePicked);
    connect(&Units::UnitSetting::instance(), &Units::UnitSetting::changed, this, &ResponseCurvesPanel::inputChosen);
    inputChosen();
}

ResponseCurvesPanel::~ResponseCurvesPanel()
{
    m_bandPending.reset();
    m_bandWatcher.waitForFinished();
}

void ResponseCurvesPanel::SetBandInputs(const std::vector<VaryingInput> &inputs, double moistureCorrelation)
{
    m_bandInputs = inputs;
    m_bandCorrelation = moistureCorrelation;
}

SweepInput ResponseCurvesPanel::Input() const
{
    return SweepInputs()[std::size_t(std::max(0, m_cboInput->currentIndex()))].input;
}

void ResponseCurvesPanel::inputChosen()
{
    const SweepInputInfo &info = SweepInputInfoOf(Input());
    const Units::System system = shownSystem();
    const QSignalBlocker b1(m_from), b2(m_to);
    const double min = Units::FromEnglish(info.quantity, system, info.min);
    const double max = Units::FromEnglish(info.quantity, system, info.max);
    for (QDoubleSpinBox *s : {m_from, m_to}) {
        s->setRange(min, max);
        s->setSuffix(QLatin1Char(' ') + Units::UnitLabel(info.quantity, system));
    }
    m_from->setValue(min);
    m_to->setValue(max);
    // The wind axis is most read at everyday winds (0 to 30 mi/h, 0 to 50 km/h); the range
    // maximum is one edit away.
    if (info.input == SweepInput::TwentyFootWind)
        m_to->setValue(system == Units::System::Metric ? 50 : 30);
    const QString title = Units::WithUnit(QString::fromUtf8(info.title), info.quantity, system);
    for (QValueAxis *x : m_axisX)
        SetAxisTitle(x, title, QString());
    for (std::size_t k = 0; k < kOutputs.size(); ++k)
        SetAxisTitle(m_axisY[k], QString::fromUtf8(kOutputs[k].title), Units::UnitLabel(kOutputs[k].quantity, system));
    // Bands of another input (or in other units) do not belong on the new axis.
    m_bands.clear();
    drawBands();
    emit SettingsChanged();
}

void ResponseCurvesPanel::SetLibrary(const std::vector<PickedModel> &models)
{
    m_library = models;
    m_cboLibraryModel->clear();
    for (const PickedModel &m : models)
        m_cboLibraryModel->addItem(QStringLiteral("%1: %2").arg(m.setName, ModelNodeText(*m.model)));
    m_cmdAdd->setEnabled(!models.empty() && int(m_picked.size()) < kMaxPicked);
}

void ResponseCurvesPanel::addPicked()
{
    const int i = m_cboLibraryModel->currentIndex();
    if (i < 0 || i >= int(m_library.size()) || int(m_picked.size()) >= kMaxPicked)
        return;
    const PickedModel &m = m_library[std::size_t(i)];
    for (const PickedModel &p : m_picked)
        if (p.model == m.model)
            return;
    m_picked.push_back(m);
    m_lstPicked->addItem(QStringLiteral("%1 (%2)").arg(m.model->FuelModelID(), m.setName));
    m_cmdAdd->setEnabled(int(m_picked.size()) < kMaxPicked);
    emit SettingsChanged();
}

void ResponseCurvesPanel::removePicked()
{
    const int row = m_lstPicked->currentRow();
    if (row < 0 || row >= int(m_picked.size()))
        return;
    m_picked.erase(m_picked.begin() + row);
    delete m_lstPicked->takeItem(row);
    m_cmdAdd->setEnabled(!m_library.empty());
    emit SettingsChanged();
}

void ResponseCurvesPanel::Refresh(const AnalysisInputs &inputs)
{
    m_inputs = inputs;
    m_haveInputs = true;
    const Units::Quantity q = SweepInputInfoOf(Input()).quantity;
    const Units::System system = shownSystem();
    m_curves = ComputeResponseCurves(inputs, m_chkReference->isChecked(), m_picked, Input(),
                                     Units::ToEnglish(q, system, m_from->value()),
                                     Units::ToEnglish(q, system, m_to->value()), kPoints);
    redraw();
    requestBands();
}

void ResponseCurvesPanel::requestBands()
{
    if (!m_chkBands->isChecked() || m_bandInputs.empty()) {
        m_bandPending.reset();
        const bool hadBands = !m_bands.empty();
        m_bands.clear();
        m_bandStatus->setText(m_chkBands->isChecked() ? QStringLiteral("No input varies: tick inputs in the Uncertainty tab "
                                                                       "to see bands.")
                                                      : QString());
        drawBands();
        if (hadBands)
            redraw();
        return;
    }
    const SweepInputInfo &info = SweepInputInfoOf(Input());
    const Units::System system = shownSystem();
    BandRequest request;
    request.point = PointOfSpread(m_inputs.edited, m_inputs.windAdjustment);
    request.inputs = m_bandInputs;
    request.swept = *FindInput(info.key);
    const double from = Units::ToEnglish(info.quantity, system, m_from->value());
    const double to = Units::ToEnglish(info.quantity, system, m_to->value());
    for (int i = 0; i < kBandPoints; ++i)
        request.xs.push_back(from + (to - from) * i / (kBandPoints - 1));
    request.options.draws = kBandDraws;
    request.options.deadCorrelation = request.options.liveCorrelation = m_bandCorrelation;
    request.options.threads = ComputeThreads();
    m_bandPending = std::move(request);
    for (const auto &chart : m_bandAreas)
        for (QAreaSeries *area : chart)
            area->setOpacity(0.4);
    if (!m_bandWatcher.isRunning())
        startBands();
}

void ResponseCurvesPanel::startBands()
{
    if (!m_bandPending)
        return;
    auto request = std::make_shared<BandRequest>(std::move(*m_bandPending));
    m_bandPending.reset();
    m_bandWatcher.setFuture(QtConcurrent::run([request] {
        BandOutcome out;
        out.swept = request->swept;
        ComputeResponseBands(request->point, request->inputs, request->swept, request->xs, request->options, &out.bands,
                             &out.problem);
        return out;
    }));
}

void ResponseCurvesPanel::bandsDone()
{
    if (m_bandPending) {
        // Already out of date: the newest entries are computed instead.
        startBands();
        return;
    }
    const BandOutcome out = m_bandWatcher.result();
    // Bands of an input no longer swept wait for the next refresh.
    if (!m_chkBands->isChecked() || m_bandInputs.empty() || !(out.swept == *FindInput(SweepInputInfoOf(Input()).key)))
        return;
    m_bands = out.bands;
    m_bandStatus->setText(out.problem.empty()
                              ? QStringLiteral("Bands: 5-95 % and 25-75 % of the edited model over %1 draws of the "
                                               "inputs ticked in the Uncertainty tab.")
                                    .arg(kBandDraws)
                              : QStringLiteral("No bands: ") + QString::fromStdString(out.problem));
    drawBands();
    redraw();
    emit BandsShown();
}

void ResponseCurvesPanel::drawBands()
{
    const SweepInputInfo &info = SweepInputInfoOf(Input());
    const Units::System system = shownSystem();
    QColor colour = CurveColour(0);
    for (std::size_t k = 0; k < kOutputs.size(); ++k) {
        for (std::size_t b = 0; b < 2; ++b) {
            // Outer band 5 to 95 % (quantiles 0 and 3), inner 25 to 75 % (1 and 2).
            const int low = b == 0 ? 0 : 1, high = b == 0 ? 3 : 2;
            QList<QPointF> upper, lower;
            for (const BandPoint &p : m_bands) {
                if (p.computed == 0)
                    continue;
                const double x = Units::FromEnglish(info.quantity, system, p.x);
                upper.append(QPointF(x, Units::FromEnglish(kOutputs[k].quantity, system, p.Quantile(BandOutput(k), high))));
                lower.append(QPointF(x, Units::FromEnglish(kOutputs[k].quantity, system, p.Quantile(BandOutput(k), low))));
            }
            QAreaSeries *area = m_bandAreas[k][b];
            area->upperSeries()->replace(upper);
            area->lowerSeries()->replace(lower);
            colour.setAlpha(b == 0 ? 45 : 90);
            area->setBrush(colour);
            area->setOpacity(1);
            area->setVisible(!upper.isEmpty());
        }
    }
}

ResponseCurvesPanel::CurveSeries &ResponseCurvesPanel::seriesOf(std::size_t chart, std::size_t curve)
{
    std::vector<CurveSeries> &pool = m_series[chart];
    while (pool.size() <= curve) {
        // Created once per curve and chart, then only refilled: a redraw on every keystroke must
        // not rebuild the chart's items.
        CurveSeries s;
        s.line = new QLineSeries;
        s.current = new QScatterSeries;
        s.current->setName(QStringLiteral("Current environment"));
        s.current->setMarkerShape(QScatterSeries::MarkerShapeCircle);
        s.current->setMarkerSize(9);
        s.current->setBorderColor(Qt::black);
        s.current->setProperty("marker", true);
        s.limit = new QScatterSeries;
        s.limit->setName(QStringLiteral("Wind limit reached"));
        s.limit->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
        s.limit->setMarkerSize(10);
        s.limit->setColor(Qt::white);
        s.limit->setProperty("marker", true);
        for (QXYSeries *x : {static_cast<QXYSeries *>(s.line), static_cast<QXYSeries *>(s.current),
                             static_cast<QXYSeries *>(s.limit)}) {
            x->setProperty("curve", int(pool.size()));
            m_charts[chart]->addSeries(x);
            x->attachAxis(m_axisX[chart]);
            x->attachAxis(m_axisY[chart]);
        }
        pool.push_back(s);
    }
    return pool[curve];
}

void ResponseCurvesPanel::dropSeriesFrom(std::size_t chart, std::size_t count)
{
    std::vector<CurveSeries> &pool = m_series[chart];
    while (pool.size() > count) {
        const CurveSeries s = pool.back();
        pool.pop_back();
        for (QAbstractSeries *x : {static_cast<QAbstractSeries *>(s.line), static_cast<QAbstractSeries *>(s.current),
                                   static_cast<QAbstractSeries *>(s.limit)}) {
            m_charts[chart]->removeSeries(x);
            delete x;
        }
    }
}

void ResponseCurvesPanel::redraw()
{
    const SweepInput input = Input();
    const SweepInputInfo &info = SweepInputInfoOf(input);
    const Units::System system = shownSystem();
    const auto shownX = [&](double x) { return Units::FromEnglish(info.quantity, system, x); };
    const double current = SweptInputValue(m_inputs.edited, input);
    QStringList legend;
    QStringList limits;
    for (std::size_t k = 0; k < kOutputs.size(); ++k) {
        dropSeriesFrom(k, m_curves.size());
        double yMax = 0;
        for (std::size_t c = 0; c < m_curves.size(); ++c) {
            const ModelCurve &curve = m_curves[c];
            CurveSeries &series = seriesOf(k, c);
            const QColor colour = CurveColour(int(c));
            const QString name = curveName(curve);
            if (series.line->name() != name)
                series.line->setName(name);
            QPen pen(colour, c == 0 ? 2.5 : 1.8);
            if (curve.role == QLatin1String("Reference"))
                pen.setStyle(Qt::DashLine);
            if (series.line->pen() != pen)
                series.line->setPen(pen);
            QList<QPointF> pts;
            pts.reserve(qsizetype(curve.points.size()));
            for (const SweepPoint &p : curve.points) {
                const double y = shownValue(kOutputs[k], p);
                pts.append(QPointF(shownX(p.x), y));
                yMax = std::max(yMax, y);
            }
            series.line->replace(pts);

            // The current environment on this curve: the model computed at the editor's value.
            QList<QPointF> mark;
            if (!curve.points.empty() && current >= curve.points.front().x && current <= curve.points.back().x) {
                // The nearest swept point carries the values the readout shows.
                const double step = curve.points.size() > 1 ? (curve.points.back().x - curve.points.front().x) /
                                                                  double(curve.points.size() - 1)
                                                            : 1;
                const int nearest = std::clamp(step > 0 ? int(std::lround((current - curve.points.front().x) / step)) : 0,
                                               0, int(curve.points.size()) - 1);
                const SweepPoint &p = curve.points[std::size_t(nearest)];
                mark.append(QPointF(shownX(p.x), shownValue(kOutputs[k], p)));
                series.current->setProperty("pointIndex", nearest);
            }
            if (series.current->color() != colour)
                series.current->setColor(colour);
            series.current->replace(mark);

            QList<QPointF> limit;
            if (const auto at = WindLimitReachedAt(curve.points)) {
                const auto it = std::find_if(curve.points.begin(), curve.points.end(),
                                             [&](const SweepPoint &p) { return p.x == *at; });
                limit.append(QPointF(shownX(*at), shownValue(kOutputs[k], *it)));
                series.limit->setProperty("pointIndex", int(it - curve.points.begin()));
                if (k == 0)
                    limits << QStringLiteral("%1 at %2 %3").arg(name, TableNumber(shownX(*at), 1),
                                                                Units::UnitLabel(info.quantity, system));
            }
            if (series.limit->borderColor() != colour)
                series.limit->setBorderColor(colour);
            series.limit->replace(limit);

            if (k == 0)
                // A name never breaks inside itself: the legend wraps between entries only.
                legend << QStringLiteral("<span style=\"color:%1\">%2</span>&nbsp;%3")
                              .arg(colour.name(),
                                   curve.role == QLatin1String("Reference") ? QStringLiteral("&#9472;&nbsp;&#9472;")
                                                                            : QStringLiteral("&#9473;&#9473;&#9473;"),
                                   name.toHtmlEscaped().replace(QLatin1Char(' '), QStringLiteral("&nbsp;")));
        }
        for (const BandPoint &p : m_bands)
            if (p.computed > 0)
                yMax = std::max(yMax, Units::FromEnglish(kOutputs[k].quantity, system, p.Quantile(BandOutput(k), 3)));
        SetRoundAxis(m_axisX[k], m_from->value(), std::max(m_to->value(), m_from->value() + 0.1), 6);
        SetRoundAxisFromZero(m_axisY[k], yMax * 1.05, 5);
    }
    if (!m_bands.empty())
        legend << QStringLiteral("<span style=\"color:%1\">&#9619;</span>&nbsp;25-75&nbsp;%&nbsp;and&nbsp;"
                                 "<span style=\"color:%2\">&#9617;</span>&nbsp;5-95&nbsp;%&nbsp;(uncertainty)")
                      .arg(CurveColour(0).name(), CurveColour(0).lighter(150).name());
    legend << QStringLiteral("&#9679;&nbsp;current environment") << QStringLiteral("&#9633;&nbsp;wind limit reached");
    const QString legendText = legend.join(QStringLiteral("&nbsp;&nbsp; "));
    if (m_legend->text() != legendText)
        m_legend->setText(legendText);
    const QString status = limits.isEmpty() ? QStringLiteral("The wind limit is not reached in this range.")
                                            : QStringLiteral("Wind limit reached: ") + limits.join(QStringLiteral("; "));
    if (m_status->text() != status)
        m_status->setText(status);
}

QString ResponseCurvesPanel::LegendText() const
{
    return m_legend->text();
}

QString ResponseCurvesPanel::pointText(int curve, int index) const
{
    if (curve < 0 || curve >= int(m_curves.size()))
        return QString();
    const ModelCurve &c = m_curves[std::size_t(curve)];
    if (index < 0 || index >= int(c.points.size()))
        return QString();
    const SweepPoint &p = c.points[std::size_t(index)];
    const SweepInputInfo &info = SweepInputInfoOf(Input());
    const Units::System system = shownSystem();
    QStringList lines{curveName(c), QStringLiteral("%1: %2 %3").arg(QString::fromUtf8(info.title),
                                                                    TableNumber(Units::FromEnglish(info.quantity, system, p.x), 1),
                                                                    Units::UnitLabel(info.quantity, system))};
    if (!p.computed) {
        lines << QStringLiteral("cannot compute");
        return lines.join(u'\n');
    }
    for (const Output &o : kOutputs)
        lines << QStringLiteral("%1: %2 %3").arg(QString::fromUtf8(o.title), Units::FormatResult(o.quantity, system, p.*o.value),
                                                 Units::UnitLabel(o.quantity, system));
    if (p.windLimit && p.rateOfSpread > 0)
        lines << QStringLiteral("wind limit reached");
    return lines.join(u'\n');
}

CsvTable ResponseCurvesPanel::Table() const
{
    return CurvesTable(m_curves, Input(), shownSystem());
}
