#include "calibration/ui/frmCalibration.h"

#include "calibration/CalibrationReport.h"
#include "calibration/ui/CalibrationCharts.h"
#include "widgets/ChartStyle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QChartView>
#include <QtConcurrent/QtConcurrent>

// The Calibration page: the free parameters and their bounds, the fit off the window's thread
// with its progress and Cancel, its report and chart, and Apply to Editor.

namespace {

QString Name(const FuelParameterInfo &p)
{
    return QString::fromUtf8(p.shortName.data(), qsizetype(p.shortName.size()));
}

} // namespace

void frmCalibration::buildCalibrationPage(QWidget *page)
{
    auto *layout = new QHBoxLayout(page);
    auto *left = new QVBoxLayout;
    m_parameters = new QTableWidget(kFuelParameterCount, 4, page);
    m_parameters->setObjectName(QStringLiteral("grdParameters"));
    m_parameters->verticalHeader()->hide();
    left->addWidget(m_parameters, 1);
    m_tieLoads = new QCheckBox(QStringLiteral("Tie the free loads (keep their ratios)"), page);
    m_tieLoads->setObjectName(QStringLiteral("chkTieLoads"));
    left->addWidget(m_tieLoads);
    auto *form = new QFormLayout;
    m_objective = new QComboBox(page);
    m_objective->setObjectName(QStringLiteral("cboObjective"));
    m_objective->addItems({QStringLiteral("Mean squared log ratio"), QStringLiteral("RMSE"),
                           QStringLiteral("Mean absolute percentage error")});
    form->addRow(QStringLiteral("Objective:"), m_objective);
    m_flameWeight = new QLineEdit(QStringLiteral("0"), page);
    m_flameWeight->setObjectName(QStringLiteral("txtFlameWeight"));
    form->addRow(QStringLiteral("Flame length weight:"), m_flameWeight);
    auto spin = [&](const char *name, int lo, int hi, int value) {
        auto *s = new QSpinBox(page);
        s->setObjectName(QLatin1String(name));
        s->setRange(lo, hi);
        s->setValue(value);
        return s;
    };
    m_starts = spin("spnStarts", 1, 50, 5);
    m_seed = spin("spnSeed", 0, 999999, 1);
    m_folds = spin("spnFolds", 0, 20, 5);
    form->addRow(QStringLiteral("Starts:"), m_starts);
    form->addRow(QStringLiteral("Seed:"), m_seed);
    form->addRow(QStringLiteral("Cross-validation folds:"), m_folds);
    left->addLayout(form);
    auto *buttons = new QHBoxLayout;
    auto button = [&](const char *name, const QString &text, auto slot) {
        auto *b = new QPushButton(text, page);
        b->setObjectName(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        return b;
    };
    m_fit = button("cmdFit", QStringLiteral("&Fit"), &frmCalibration::startFit);
    m_cancel = button("cmdCancelFit", QStringLiteral("&Cancel"), &frmCalibration::cancelFit);
    m_apply = button("cmdApplyFit", QStringLiteral("&Apply to Editor"), &frmCalibration::applyFit);
    m_undo = button("cmdUndoApply", QStringLiteral("&Undo Apply"), &frmCalibration::undoSend);
    m_cancel->setEnabled(false);
    m_apply->setEnabled(false);
    left->addLayout(buttons);
    m_progress = new QProgressBar(page);
    m_progress->setObjectName(QStringLiteral("prgFit"));
    m_progress->setRange(0, 1000);
    m_progress->setValue(0);
    left->addWidget(m_progress);
    layout->addLayout(left, 2);

    auto *right = new QSplitter(Qt::Vertical, page);
    m_report = new QPlainTextEdit(right);
    m_report->setObjectName(QStringLiteral("txtReport"));
    m_report->setReadOnly(true);
    m_report->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_fitChart = new QChartView(right);
    m_fitChart->setObjectName(QStringLiteral("chtFit"));
    MakeChartGrow(m_fitChart, QSize(320, 220));
    right->addWidget(m_report);
    right->addWidget(m_fitChart);
    layout->addWidget(right, 3);
    DrawPredictedChart(m_fitChart, {}, m_system);
    fillParameters();
}

void frmCalibration::fillParameters()
{
    // Bounds kept as typed while the units stay; refilled from the master set's envelope.
    const FuelModel edited = m_hooks.EditedModel ? m_hooks.EditedModel() : FuelModel();
    const std::vector<CandidateModel> master =
        m_hooks.MasterModels ? m_hooks.MasterModels() : std::vector<CandidateModel>();
    QList<bool> wasFree;
    for (int r = 0; r < kFuelParameterCount; ++r)
        wasFree << (m_parameters->item(r, 0) && m_parameters->item(r, 0)->checkState() == Qt::Checked);
    m_parameters->setHorizontalHeaderLabels(
        {QStringLiteral("Free parameter"), QStringLiteral("Low"), QStringLiteral("High"), QStringLiteral("Editor")});
    for (int r = 0; r < kFuelParameterCount; ++r) {
        const FuelParameterInfo &p = FuelParameterTable()[size_t(r)];
        const FreeParameter bounds = DefaultBounds(p, master, edited);
        auto *name =
            new QTableWidgetItem(QStringLiteral("%1 (%2)").arg(Name(p), Units::UnitLabel(p.quantity, m_system)));
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        name->setCheckState(wasFree[r] ? Qt::Checked : Qt::Unchecked);
        m_parameters->setItem(r, 0, name);
        m_parameters->setItem(
            r, 1, new QTableWidgetItem(QString::number(Units::FromEnglish(p.quantity, m_system, bounds.low), 'g', 6)));
        m_parameters->setItem(
            r, 2, new QTableWidgetItem(QString::number(Units::FromEnglish(p.quantity, m_system, bounds.high), 'g', 6)));
        auto *value =
            new QTableWidgetItem(QString::number(Units::FromEnglish(p.quantity, m_system, p.valueOf(edited)), 'g', 6));
        value->setFlags(value->flags() & ~Qt::ItemIsEditable);
        m_parameters->setItem(r, 3, value);
    }
    m_parameters->resizeColumnsToContents();
}

std::optional<CalibrationSetup> frmCalibration::setupFromControls(QString *problem) const
{
    CalibrationSetup setup;
    setup.start = m_hooks.EditedModel ? m_hooks.EditedModel() : FuelModel();
    setup.standards = m_hooks.MasterModels ? m_hooks.MasterModels() : std::vector<CandidateModel>();
    setup.conventions = m_hooks.Conventions ? m_hooks.Conventions() : SpreadConventions::Core;
    for (int r = 0; r < kFuelParameterCount; ++r) {
        if (m_parameters->item(r, 0)->checkState() != Qt::Checked)
            continue;
        const FuelParameterInfo &p = FuelParameterTable()[size_t(r)];
        bool okLow = false, okHigh = false;
        const double low = m_parameters->item(r, 1)->text().toDouble(&okLow);
        const double high = m_parameters->item(r, 2)->text().toDouble(&okHigh);
        if (!okLow || !okHigh) {
            *problem = QStringLiteral("the bounds of %1 are not numbers").arg(Name(p));
            return std::nullopt;
        }
        setup.free.push_back(
            {&p, Units::ToEnglish(p.quantity, m_system, low), Units::ToEnglish(p.quantity, m_system, high)});
    }
    setup.tieLoads = m_tieLoads->isChecked();
    setup.objective.kind = std::array{ObjectiveKind::LogRatio, ObjectiveKind::Rmse,
                                      ObjectiveKind::Mape}[size_t(m_objective->currentIndex())];
    bool ok = false;
    setup.objective.flameWeight = m_flameWeight->text().toDouble(&ok);
    if (!ok || !(setup.objective.flameWeight >= 0)) {
        *problem = QStringLiteral("the flame length weight is not a number of 0 or more");
        return std::nullopt;
    }
    setup.starts = m_starts->value();
    setup.seed = unsigned(m_seed->value());
    setup.cvFolds = m_folds->value();
    return setup;
}

void frmCalibration::startFit()
{
    if (m_watcher.isRunning())
        return;
    QString problem;
    std::optional<CalibrationSetup> setup = setupFromControls(&problem);
    const Observations observations = TableObservations().observations;
    if (setup && problem.isEmpty())
        problem = CalibrationSetupProblem(*setup, observations);
    if (!problem.isEmpty()) {
        m_report->setPlainText(QStringLiteral("Not fitted: %1.").arg(problem));
        return;
    }
    m_fitSetup = setup;
    m_fitObservations = observations;
    m_fitExtraColumns = m_extraColumns;
    m_fraction = std::make_shared<std::atomic<double>>(0.0);
    m_cancelRequested = std::make_shared<std::atomic<bool>>(false);
    auto fraction = m_fraction;
    auto cancel = m_cancelRequested;
    m_fit->setEnabled(false);
    m_cancel->setEnabled(true);
    m_apply->setEnabled(false);
    m_progress->setValue(0);
    m_report->setPlainText(QStringLiteral("Fitting..."));
    m_progressTimer.start();
    m_watcher.setFuture(QtConcurrent::run([setup = *setup, observations, fraction, cancel] {
        return Calibrate(setup, observations, [fraction, cancel](double f) {
            fraction->store(f);
            return !cancel->load();
        });
    }));
}

void frmCalibration::cancelFit()
{
    if (m_cancelRequested)
        m_cancelRequested->store(true);
}

void frmCalibration::fitDone()
{
    m_progressTimer.stop();
    m_fit->setEnabled(true);
    m_cancel->setEnabled(false);
    m_lastFit = m_watcher.result();
    m_progress->setValue(m_lastFit->cancelled ? 0 : 1000);
    m_report->setPlainText(CalibrationReportText(*m_fitSetup, *m_lastFit, m_fitObservations, m_system));
    m_apply->setEnabled(m_lastFit->ok());
    drawFitChart();
    emit fitFinished();
}

void frmCalibration::drawFitChart()
{
    if (!m_lastFit || !m_lastFit->ok()) {
        DrawPredictedChart(m_fitChart, {}, m_system);
        return;
    }
    QList<QPair<QString, std::vector<QPointF>>> series;
    series.append(
        {QStringLiteral("Before"), PredictedPoints(m_lastFit->before.predictions, m_fitObservations, m_system)});
    series.append(
        {QStringLiteral("After"), PredictedPoints(m_lastFit->after.predictions, m_fitObservations, m_system)});
    DrawPredictedChart(m_fitChart, series, m_system);
}

void frmCalibration::applyFit()
{
    if (!m_lastFit || !m_lastFit->ok() || !m_hooks.SendModel || !m_hooks.EditedModel)
        return;
    // The fitted values over the editor's entries as they are now.
    FuelModel model = m_hooks.EditedModel();
    m_beforeSend = model;
    for (size_t i = 0; i < m_fitSetup->free.size(); ++i)
        m_fitSetup->free[i].parameter->setValue(model, m_lastFit->after.values[i]);
    // The editor's charts get the model before and after, side by side.
    if (m_hooks.PlotEntries)
        m_hooks.PlotEntries();
    m_hooks.SendModel(model);
    if (m_hooks.PlotEntries)
        m_hooks.PlotEntries();
    fillParameters();
    if (m_hooks.FitApplied) {
        // The file is read again now: it names the fires only when it still holds them.
        QByteArray bytes;
        if (QFile file(m_observationsFile); !m_observationsFile.isEmpty() && file.open(QIODevice::ReadOnly))
            bytes = file.read(kLargestObservationFile + 1);
        const FitRecord record = MakeFitRecord(*m_fitSetup, *m_lastFit, m_fitObservations, m_fitExtraColumns,
                                               bytes.isEmpty() ? QString() : m_observationsFile, bytes, m_system);
        m_hooks.FitApplied(&record);
    }
}
