#include "analysis/ui/ResponseCurvesPanel.h"

#include "analysis/CurveLabels.h"
#include "analysis/CurveTable.h"
#include "data/FuelModel.h"
#include "units/UnitSetting.h"
#include "widgets/ChartExport.h"
#include "widgets/ChartReadout.h"
#include "widgets/ChartStyle.h"
#include "widgets/ClampingSpinBox.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

// The panel's controls, the models picked and the sweep asked for. The curves and bands are
// drawn in ResponseCurvesCharts.cpp.

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
    for (std::size_t k = 0; k < CurveOutputs().size(); ++k) {
        m_charts[k] = new QChart;
        ApplyChartStyle(m_charts[k]);
        m_charts[k]->legend()->hide();
        m_axisX[k] = new QValueAxis(m_charts[k]);
        m_axisY[k] = new QValueAxis(m_charts[k]);
        m_charts[k]->addAxis(m_axisX[k], Qt::AlignBottom);
        m_charts[k]->addAxis(m_axisY[k], Qt::AlignLeft);
        // The bands first, so that every curve is drawn over them.
        for (std::size_t b = 0; b < 2; ++b) {
            // An area series does not own its lines: they are its children.
            auto *area = new QAreaSeries;
            area->setUpperSeries(new QLineSeries(area));
            area->setLowerSeries(new QLineSeries(area));
            area->setName(b == 0 ? QStringLiteral("5-95 %") : QStringLiteral("25-75 %"));
            area->setPen(Qt::NoPen);
            m_charts[k]->addSeries(area);
            area->attachAxis(m_axisX[k]);
            area->attachAxis(m_axisY[k]);
            m_bandAreas[k][b] = area;
        }
        m_views[k] = new QChartView(m_charts[k], m_chartsArea);
        m_views[k]->setObjectName(QStringLiteral("chtCurve_%1").arg(k));
        m_views[k]->setAccessibleName(QStringLiteral("%1 curve chart").arg(QString::fromUtf8(CurveOutputs()[k].title)));
        MakeChartGrow(m_views[k], QSize(300, 200));
        m_readouts[k] = new ChartReadout(m_views[k]);
        const int chart = int(k);
        m_readouts[k]->SetPointFormatter([this, chart](QXYSeries *s, int index) {
            Q_UNUSED(chart);
            return pointText(s->property("curve").toInt(),
                             s->property("marker").toBool() ? s->property("pointIndex").toInt() : index);
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

    m_exporter = new ChartExporter(
        this, m_chartsArea, [this] { return Table(); }, QStringLiteral("response-curves"));
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
    const Units::System system = Units::UnitSetting::instance().system();
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
    for (std::size_t k = 0; k < CurveOutputs().size(); ++k)
        SetAxisTitle(m_axisY[k], QString::fromUtf8(CurveOutputs()[k].title),
                     Units::UnitLabel(CurveOutputs()[k].quantity, system));
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
    const Units::System system = Units::UnitSetting::instance().system();
    m_curves = ComputeResponseCurves(inputs, m_chkReference->isChecked(), m_picked, Input(),
                                     Units::ToEnglish(q, system, m_from->value()),
                                     Units::ToEnglish(q, system, m_to->value()), kPoints);
    redraw();
    requestBands();
}

QString ResponseCurvesPanel::LegendText() const
{
    return m_legend->text();
}

CsvTable ResponseCurvesPanel::Table() const
{
    return CurvesTable(m_curves, Input(), Units::UnitSetting::instance().system());
}
