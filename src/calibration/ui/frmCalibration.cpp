#include "calibration/ui/frmCalibration.h"

#include "calibration/AdjustmentFile.h"
#include "data/CsvTable.h"
#include "widgets/ChartStyle.h"
#include "widgets/QtPrompts.h"
#include "calibration/CalibrationReport.h"
#include "units/UnitSetting.h"
#include "units/Units.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QLogValueAxis>
#include <QtCharts/QScatterSeries>
#include <QtConcurrent/QtConcurrent>

#include <algorithm>
#include <cmath>

namespace {

using Units::Quantity;

// The fixed columns of the observation table: the reader's column name and the quantity whose
// unit the title shows.
struct ObservationColumn
{
    const char *name;
    const char *title;
    Quantity quantity;
};
const ObservationColumn kObservationColumns[] = {
    {"id", "ID", Quantity::Ratio},
    {"moist-1h", "1-h moisture", Quantity::Moisture},
    {"moist-10h", "10-h moisture", Quantity::Moisture},
    {"moist-100h", "100-h moisture", Quantity::Moisture},
    {"moist-herb", "Herb moisture", Quantity::Moisture},
    {"moist-woody", "Woody moisture", Quantity::Moisture},
    {"midflame-wind", "Midflame wind", Quantity::WindSpeed},
    {"slope", "Slope", Quantity::Slope},
    {"ros", "Rate of spread", Quantity::RateOfSpread},
    {"flame-length", "Flame length", Quantity::FlameLength},
    {"weight", "Weight", Quantity::Ratio},
};
constexpr int kFixedColumns = int(std::size(kObservationColumns));

QString Number(double v)
{
    return std::isfinite(v) ? QString::number(v, 'g', 10) : QString();
}

QString Name(const FuelParameterInfo &p)
{
    return QString::fromUtf8(p.shortName.data(), qsizetype(p.shortName.size()));
}

// A number cell that sorts by value.
QTableWidgetItem *NumberItem(double v, int decimals)
{
    auto *item = new QTableWidgetItem;
    if (std::isfinite(v))
        item->setData(Qt::DisplayRole, QString::number(v, 'f', decimals).toDouble());
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

// The edited model's row stays first whichever way the table is sorted.
class PinnedItem : public QTableWidgetItem
{
public:
    explicit PinnedItem(const QTableWidgetItem &other) : QTableWidgetItem(other) {}
    bool operator<(const QTableWidgetItem &other) const override
    {
        const bool mine = data(Qt::UserRole + 1).toBool(), theirs = other.data(Qt::UserRole + 1).toBool();
        const Qt::SortOrder order = tableWidget() ? tableWidget()->horizontalHeader()->sortIndicatorOrder() : Qt::AscendingOrder;
        if (mine != theirs)
            return order == Qt::AscendingOrder ? mine : theirs;
        const QVariant a = data(Qt::DisplayRole), b = other.data(Qt::DisplayRole);
        if (a.typeId() == QMetaType::Double && b.typeId() == QMetaType::Double)
            return a.toDouble() < b.toDouble();
        if (a.typeId() == QMetaType::Double || b.typeId() == QMetaType::Double)
            return a.typeId() == QMetaType::Double; // blanks last
        return a.toString() < b.toString();
    }
};

QTableWidgetItem *Pinned(QTableWidgetItem *from, bool edited)
{
    auto *item = new PinnedItem(*from);
    delete from;
    item->setData(Qt::UserRole + 1, edited);
    return item;
}

// A predicted-against-observed chart: log axes, the 1:1 line and the +/-35 % band.
void DrawPredictedChart(QChartView *view, const QList<QPair<QString, std::vector<QPointF>>> &series, Units::System s)
{
    auto *chart = new QChart;
    ApplyChartStyle(chart);
    double lo = HUGE_VAL, hi = 0;
    for (const auto &[name, points] : series)
        for (const QPointF &p : points)
            for (double v : {p.x(), p.y()})
                if (v > 0) {
                    lo = std::min(lo, v);
                    hi = std::max(hi, v);
                }
    if (!(hi > 0)) {
        lo = 0.1;
        hi = 100;
    }
    lo = std::pow(10, std::floor(std::log10(lo / 1.5)));
    hi = std::pow(10, std::ceil(std::log10(hi * 1.5)));
    auto *x = new QLogValueAxis, *y = new QLogValueAxis;
    for (QLogValueAxis *axis : {x, y}) {
        axis->setRange(lo, hi);
        axis->setLabelFormat(QStringLiteral("%g"));
        axis->setMinorTickCount(-1);
    }
    const QString unit = Units::UnitLabel(Quantity::RateOfSpread, s);
    SetAxisTitle(x, QStringLiteral("Observed rate of spread"), unit);
    SetAxisTitle(y, QStringLiteral("Predicted rate of spread"), unit);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    auto line = [&](double factor, const QString &name, Qt::PenStyle style) {
        auto *l = new QLineSeries;
        l->setName(name);
        l->append(lo, lo * factor);
        l->append(hi, hi * factor);
        QPen pen(Qt::darkGray);
        pen.setStyle(style);
        l->setPen(pen);
        chart->addSeries(l);
        l->attachAxis(x);
        l->attachAxis(y);
        return l;
    };
    line(1, QStringLiteral("1:1"), Qt::SolidLine);
    line(1.35, QStringLiteral("+/-35 %"), Qt::DashLine);
    QLineSeries *lower = line(0.65, QString(), Qt::DashLine);
    for (const auto &[name, points] : series) {
        auto *scatter = new QScatterSeries;
        scatter->setName(name);
        scatter->setMarkerSize(8);
        for (const QPointF &p : points)
            if (p.x() > 0 && p.y() > 0)
                scatter->append(p);
        chart->addSeries(scatter);
        scatter->attachAxis(x);
        scatter->attachAxis(y);
    }
    // The lower band line shares the upper one's legend entry.
    for (QLegendMarker *m : chart->legend()->markers(lower))
        m->setVisible(false);
    QChart *old = view->chart();
    view->setChart(chart);
    delete old;
}

std::vector<QPointF> PredictedPoints(const std::vector<Prediction> &predictions, const Observations &obs, Units::System s)
{
    std::vector<QPointF> points;
    for (qsizetype i = 0; i < obs.size() && size_t(i) < predictions.size(); ++i)
        points.emplace_back(Units::FromEnglish(Quantity::RateOfSpread, s, obs[i].ros),
                            Units::FromEnglish(Quantity::RateOfSpread, s, predictions[size_t(i)].ros));
    return points;
}

} // namespace

frmCalibration::frmCalibration(CalibrationHooks hooks, QWidget *parent)
    : QWidget(parent, Qt::Window), m_hooks(std::move(hooks)), m_system(Units::UnitSetting::instance().system())
{
    setObjectName(QStringLiteral("frmCalibration"));
    setWindowTitle(QStringLiteral("Fit to Observed Fires"));
    auto *layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabCalibration"));
    layout->addWidget(m_tabs);
    auto *observations = new QWidget, *ranking = new QWidget, *calibration = new QWidget;
    buildObservationsPage(observations);
    buildRankingPage(ranking);
    buildCalibrationPage(calibration);
    m_tabs->addTab(observations, QStringLiteral("Observations"));
    m_tabs->addTab(ranking, QStringLiteral("Ranking"));
    m_tabs->addTab(calibration, QStringLiteral("Calibration"));
    resize(980, 680);

    connect(&Units::UnitSetting::instance(), &Units::UnitSetting::changed, this, &frmCalibration::unitsChanged);
    connect(&m_watcher, &QFutureWatcher<CalibrationResult>::finished, this, &frmCalibration::fitDone);
    m_progressTimer.setInterval(100);
    connect(&m_progressTimer, &QTimer::timeout, this, [this] {
        if (m_fraction)
            m_progress->setValue(int(1000 * m_fraction->load()));
    });
}

frmCalibration::~frmCalibration()
{
    if (m_cancelRequested)
        m_cancelRequested->store(true);
    m_watcher.waitForFinished();
}

IPrompts &frmCalibration::prompts()
{
    if (m_hooks.Prompts)
        return *m_hooks.Prompts;
    if (!m_ownPrompts)
        m_ownPrompts = std::make_unique<QtPrompts>(this);
    return *m_ownPrompts;
}

void frmCalibration::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_watcher.isRunning())
        fillParameters();
}

// ---- Observations ----------------------------------------------------------------------

void frmCalibration::buildObservationsPage(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);
    auto *files = new QHBoxLayout;
    auto button = [&](QHBoxLayout *row, const char *name, const QString &text, auto slot) {
        auto *b = new QPushButton(text, page);
        b->setObjectName(QLatin1String(name));
        row->addWidget(b);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    button(files, "cmdImportObservations", QStringLiteral("&Import CSV..."), &frmCalibration::importClicked);
    button(files, "cmdExportObservations", QStringLiteral("E&xport CSV..."), &frmCalibration::exportClicked);
    files->addWidget(new QLabel(QStringLiteral("Recent:"), page));
    m_recent = new QComboBox(page);
    m_recent->setObjectName(QStringLiteral("cboRecentObservations"));
    m_recent->setMinimumContentsLength(30);
    files->addWidget(m_recent, 1);
    connect(m_recent, &QComboBox::activated, this, &frmCalibration::recentChosen);
    layout->addLayout(files);

    m_observations = new QTableWidget(0, kFixedColumns, page);
    m_observations->setObjectName(QStringLiteral("grdObservations"));
    m_observations->setSelectionBehavior(QAbstractItemView::SelectRows);
    setObservationHeaders({});
    connect(m_observations, &QTableWidget::cellChanged, this, &frmCalibration::showObservationStatus);
    layout->addWidget(m_observations, 1);

    auto *rows = new QHBoxLayout;
    button(rows, "cmdAddObservation", QStringLiteral("&Add Row"), &frmCalibration::addObservationRow);
    button(rows, "cmdDeleteObservation", QStringLiteral("&Delete Rows"), &frmCalibration::deleteObservationRows);
    button(rows, "cmdPasteObservations", QStringLiteral("&Paste"), [this] { PasteText(QApplication::clipboard()->text()); });
    button(rows, "cmdSendEnvironment", QStringLiteral("Send &Environment to Editor"), &frmCalibration::sendEnvironment);
    rows->addStretch(1);
    layout->addLayout(rows);
    m_observationStatus = new QLabel(page);
    m_observationStatus->setObjectName(QStringLiteral("lblObservationStatus"));
    m_observationStatus->setWordWrap(true);
    layout->addWidget(m_observationStatus);
    fillRecent();
    showObservationStatus();
}

void frmCalibration::setObservationHeaders(const QStringList &extraColumns)
{
    m_extraColumns = extraColumns;
    m_observations->setColumnCount(kFixedColumns + int(extraColumns.size()));
    QStringList titles;
    for (const ObservationColumn &c : kObservationColumns)
        titles << (c.quantity == Quantity::Ratio ? QLatin1String(c.title)
                                                 : TitleWithUnit(QLatin1String(c.title), Units::UnitLabel(c.quantity, m_system)));
    titles << extraColumns;
    m_observations->setHorizontalHeaderLabels(titles);
}

ObservationImport frmCalibration::TableObservations() const
{
    CsvTable table;
    for (const ObservationColumn &c : kObservationColumns) {
        const QString unit = c.quantity == Quantity::Ratio || c.quantity == Quantity::Moisture || c.quantity == Quantity::Slope
            ? QString()
            : Units::UnitLabel(c.quantity, m_system);
        table.header << (unit.isEmpty() ? QLatin1String(c.name) : QStringLiteral("%1 (%2)").arg(QLatin1String(c.name), unit));
    }
    for (const QString &extra : m_extraColumns)
        table.header << QStringLiteral("x-") + extra; // never one of the reader's names
    for (int r = 0; r < m_observations->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < m_observations->columnCount(); ++c) {
            const QTableWidgetItem *item = m_observations->item(r, c);
            row << (item ? item->text().trimmed() : QString());
        }
        table.rows << row;
    }
    ObservationImport imported = ReadObservations(table.ToCsv().toUtf8(), m_system);
    imported.extraColumns = m_extraColumns;
    return imported;
}

void frmCalibration::showObservationStatus()
{
    const ObservationImport imported = TableObservations();
    QStringList refused;
    for (const ObservationLineReport &l : imported.lines)
        if (l.refused)
            refused << QStringLiteral("row %1: %2").arg(l.line - 1).arg(l.reasons.join(QStringLiteral("; ")));
    QString text = QStringLiteral("%1 observed fires").arg(imported.observations.size());
    if (!refused.isEmpty())
        text += QStringLiteral(", %1 rows not used (%2)").arg(refused.size()).arg(refused.join(QStringLiteral("; ")));
    m_observationStatus->setText(text);
    emit observationsChanged();
}

void frmCalibration::SetObservations(const Observations &observations, const QStringList &extraColumns)
{
    m_observations->setRowCount(0);
    setObservationHeaders(extraColumns);
    appendObservations(observations, extraColumns);
}

void frmCalibration::appendObservations(const Observations &observations, const QStringList &extraColumns)
{
    const QSignalBlocker block(m_observations);
    for (const Observation &o : observations) {
        const int r = m_observations->rowCount();
        m_observations->insertRow(r);
        const FireEnvironment &e = o.environment;
        const QStringList cells = {o.id,
                                   Number(100 * e.moisture[0]),
                                   Number(100 * e.moisture[1]),
                                   Number(100 * e.moisture[2]),
                                   Number(100 * e.moisture[3]),
                                   Number(100 * e.moisture[4]),
                                   Number(Units::FromEnglish(Quantity::WindSpeed, m_system, e.midflameWind)),
                                   Number(e.slope),
                                   Number(Units::FromEnglish(Quantity::RateOfSpread, m_system, o.ros)),
                                   o.hasFlameLength() ? Number(Units::FromEnglish(Quantity::FlameLength, m_system, o.flameLength)) : QString(),
                                   Number(o.weight)};
        for (int c = 0; c < kFixedColumns; ++c)
            m_observations->setItem(r, c, new QTableWidgetItem(cells[c]));
        for (qsizetype k = 0; k < m_extraColumns.size(); ++k) {
            const qsizetype from = extraColumns.indexOf(m_extraColumns[k]);
            m_observations->setItem(r, kFixedColumns + int(k),
                                    new QTableWidgetItem(from >= 0 && from < o.extra.size() ? o.extra[from] : QString()));
        }
    }
    showObservationStatus();
}

void frmCalibration::addObservationRow()
{
    const int r = m_observations->rowCount();
    {
        const QSignalBlocker block(m_observations);
        m_observations->insertRow(r);
        m_observations->setItem(r, kFixedColumns - 1, new QTableWidgetItem(QStringLiteral("1")));
        m_observations->setItem(r, 7, new QTableWidgetItem(QStringLiteral("0")));
    }
    m_observations->setCurrentCell(r, 0);
    showObservationStatus();
}

void frmCalibration::deleteObservationRows()
{
    QList<int> rows;
    for (const QModelIndex &i : m_observations->selectionModel()->selectedRows())
        rows << i.row();
    if (rows.isEmpty() && m_observations->currentRow() >= 0)
        rows << m_observations->currentRow();
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (int r : rows)
        m_observations->removeRow(r);
    showObservationStatus();
}

bool frmCalibration::acceptReport(const ObservationImport &imported, const QString &what)
{
    if (!imported.ok()) {
        QMessageBox box(QMessageBox::Warning, windowTitle(), QStringLiteral("%1 cannot be used: %2").arg(what, imported.problem),
                        QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("msgObservationReport"));
        box.exec();
        return false;
    }
    if (imported.lines.isEmpty() && imported.extraColumns.isEmpty() && imported.notes.isEmpty())
        return !imported.observations.isEmpty();
    QMessageBox box(QMessageBox::Question, windowTitle(),
                    QStringLiteral("%1: %2 observed fires can be used, %3 lines refused. Use them?")
                        .arg(what)
                        .arg(imported.observations.size())
                        .arg(imported.refusedCount()),
                    QMessageBox::Ok | QMessageBox::Cancel, this);
    box.setObjectName(QStringLiteral("msgObservationReport"));
    box.setDetailedText(imported.reportText());
    box.button(QMessageBox::Ok)->setText(QStringLiteral("Use Them"));
    return box.exec() == QMessageBox::Ok && !imported.observations.isEmpty();
}

bool frmCalibration::ImportFile(const QString &path)
{
    const ObservationImport imported = ReadObservationFile(path, m_system);
    if (!acceptReport(imported, QDir::toNativeSeparators(path)))
        return false;
    SetObservations(imported.observations, imported.extraColumns);
    m_observationsFile = path;
    RememberObservationFile(path);
    fillRecent();
    return true;
}

bool frmCalibration::ExportFile(const QString &path)
{
    const ObservationImport imported = TableObservations();
    QString error;
    if (!SaveTextFile(path, ObservationsToCsv(imported.observations, m_extraColumns, m_system), &error)) {
        QMessageBox::warning(this, windowTitle(), error);
        return false;
    }
    m_observationsFile = path;
    RememberObservationFile(path);
    fillRecent();
    return true;
}

bool frmCalibration::PasteText(const QString &text)
{
    if (text.trimmed().isEmpty())
        return false;
    QByteArray bytes = text.toUtf8();
    // Rows without column names are taken in the table's column order.
    const QString first = text.section(QLatin1Char('\n'), 0, 0).toLower();
    if (!first.contains(QLatin1String("ros")) || !first.contains(QLatin1String("moist"))) {
        QStringList header;
        for (const ObservationColumn &c : kObservationColumns) {
            const QString unit = c.quantity == Quantity::Ratio || c.quantity == Quantity::Moisture || c.quantity == Quantity::Slope
                ? QString()
                : Units::UnitLabel(c.quantity, m_system);
            header << (unit.isEmpty() ? QLatin1String(c.name) : QStringLiteral("%1 (%2)").arg(QLatin1String(c.name), unit));
        }
        for (const QString &extra : m_extraColumns)
            header << QStringLiteral("x-") + extra;
        const QChar separator = first.contains(QLatin1Char('\t')) || !first.contains(QLatin1Char(',')) ? QLatin1Char('\t')
                                                                                                       : QLatin1Char(',');
        bytes = (header.join(separator) + QLatin1Char('\n')).toUtf8() + bytes;
    }
    ObservationImport imported = ReadObservations(bytes, m_system);
    // Spreadsheets paste tab-separated text: that needs no word.
    imported.notes.removeIf([](const QString &n) { return n.startsWith(QLatin1String("Fields separated")); });
    if (!acceptReport(imported, QStringLiteral("The pasted rows")))
        return false;
    QStringList extra = imported.extraColumns;
    for (QString &e : extra)
        if (e.startsWith(QLatin1String("x-")))
            e = e.mid(2);
    if (m_observations->rowCount() == 0 && extra != m_extraColumns)
        setObservationHeaders(extra);
    appendObservations(imported.observations, extra);
    return true;
}

void frmCalibration::importClicked()
{
    const QString path = prompts().ChooseFile({false, QStringLiteral("Import Observed Fires"),
                                               QStringLiteral("CSV files (*.csv *.txt);;All files (*)"), {}, {}, true,
                                               QStringLiteral("dlgObservationFile")});
    if (!path.isEmpty())
        ImportFile(path);
}

void frmCalibration::exportClicked()
{
    const QString path = prompts().ChooseFile({true, QStringLiteral("Export Observed Fires"), QStringLiteral("CSV files (*.csv)"),
                                               {}, QStringLiteral("csv"), true, QStringLiteral("dlgObservationFile")});
    if (!path.isEmpty())
        ExportFile(path);
}

void frmCalibration::fillRecent()
{
    const QSignalBlocker block(m_recent);
    m_recent->clear();
    for (const QString &f : RecentObservationFiles())
        m_recent->addItem(QDir::toNativeSeparators(f), f);
    m_recent->setCurrentIndex(-1);
}

void frmCalibration::recentChosen(int index)
{
    if (index >= 0)
        ImportFile(m_recent->itemData(index).toString());
}

void frmCalibration::sendEnvironment()
{
    const int row = m_observations->currentRow();
    if (row < 0 || !m_hooks.SendEnvironment)
        return;
    // The row read alone, by the reader's rules.
    const ObservationImport all = TableObservations();
    for (const Observation &o : all.observations)
        if (o.line - 2 == row) {
            m_hooks.SendEnvironment(o.environment);
            return;
        }
    QMessageBox::information(this, windowTitle(), QStringLiteral("Row %1 cannot be used: see the line below the table.").arg(row + 1));
}

void frmCalibration::unitsChanged(Units::System system)
{
    const ObservationImport current = TableObservations();
    m_system = system;
    // Rows that cannot be read are kept as typed.
    SetObservations(current.observations, m_extraColumns);
    fillParameters();
}

// ---- Ranking ---------------------------------------------------------------------------

void frmCalibration::buildRankingPage(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Models of:"), page));
    m_rankSets = new QComboBox(page);
    m_rankSets->setObjectName(QStringLiteral("cboRankSets"));
    top->addWidget(m_rankSets);
    auto *rankButton = new QPushButton(QStringLiteral("&Rank"), page);
    rankButton->setObjectName(QStringLiteral("cmdRank"));
    connect(rankButton, &QPushButton::clicked, this, &frmCalibration::rank);
    top->addWidget(rankButton);
    auto *send = new QPushButton(QStringLiteral("&Send Model to Editor"), page);
    send->setObjectName(QStringLiteral("cmdSendModel"));
    connect(send, &QPushButton::clicked, this, &frmCalibration::sendRankedModel);
    top->addWidget(send);
    auto *undo = new QPushButton(QStringLiteral("&Undo Send"), page);
    undo->setObjectName(QStringLiteral("cmdUndoSend"));
    connect(undo, &QPushButton::clicked, this, &frmCalibration::undoSend);
    top->addWidget(undo);
    auto *adjust = new QPushButton(QStringLiteral("Export Ad&justment File..."), page);
    adjust->setObjectName(QStringLiteral("cmdExportAdjustments"));
    adjust->setToolTip(QStringLiteral("The rate of spread adjustment factors of the selected models (all when none "
                                      "is selected) as the fire growth simulators read them"));
    connect(adjust, &QPushButton::clicked, this, &frmCalibration::ExportAdjustments);
    top->addWidget(adjust);
    top->addStretch(1);
    layout->addLayout(top);

    auto *split = new QSplitter(Qt::Vertical, page);
    m_ranking = new QTableWidget(0, 0, split);
    m_ranking->setObjectName(QStringLiteral("grdRanking"));
    m_ranking->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_ranking->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(m_ranking, &QTableWidget::itemSelectionChanged, this, &frmCalibration::rankingSelectionChanged);
    m_rankingChart = new QChartView(split);
    m_rankingChart->setObjectName(QStringLiteral("chtRanking"));
    MakeChartGrow(m_rankingChart, QSize(360, 240));
    split->addWidget(m_ranking);
    split->addWidget(m_rankingChart);
    layout->addWidget(split, 1);
    auto *note = new QLabel(QStringLiteral("The adjustment factor multiplies the rate of spread only (least squares of the log "
                                           "ratio); flame length is not adjusted by it."),
                            page);
    note->setWordWrap(true);
    layout->addWidget(note);
    DrawPredictedChart(m_rankingChart, {}, m_system);
}

void frmCalibration::rank()
{
    m_rankSets->blockSignals(true);
    const QString chosen = m_rankSets->currentText();
    m_rankSets->clear();
    m_rankSets->addItem(QStringLiteral("Master set"));
    m_rankSets->addItem(QStringLiteral("All sets"));
    if (m_hooks.SetNames)
        m_rankSets->addItems(m_hooks.SetNames());
    m_rankSets->setCurrentIndex(std::max(0, m_rankSets->findText(chosen)));
    m_rankSets->blockSignals(false);

    const ObservationImport imported = TableObservations();
    m_rankedObservations = imported.observations;
    std::vector<CandidateModel> candidates;
    if (m_hooks.EditedModel)
        candidates.push_back({QStringLiteral("(edited)"), std::make_shared<FuelModel>(m_hooks.EditedModel())});
    std::vector<CandidateModel> library;
    if (m_rankSets->currentIndex() == 0 && m_hooks.MasterModels)
        library = m_hooks.MasterModels();
    else if (m_rankSets->currentIndex() == 1 && m_hooks.Models)
        library = m_hooks.Models(QString());
    else if (m_hooks.Models)
        library = m_hooks.Models(m_rankSets->currentText());
    candidates.insert(candidates.end(), library.begin(), library.end());
    const SpreadConventions conventions = m_hooks.Conventions ? m_hooks.Conventions() : SpreadConventions::Core;
    m_rankedModels = RankModels(candidates, m_rankedObservations, {}, conventions);

    bool flame = false;
    for (const Observation &o : m_rankedObservations)
        flame = flame || o.hasFlameLength();
    const QString ros = Units::UnitLabel(Quantity::RateOfSpread, m_system), fl = Units::UnitLabel(Quantity::FlameLength, m_system);
    QStringList titles = {QStringLiteral("Set"), QStringLiteral("ID"), QStringLiteral("Description"),
                          TitleWithUnit(QStringLiteral("ROS RMSE"), ros), TitleWithUnit(QStringLiteral("ROS bias"), ros),
                          QStringLiteral("ROS MAPE (%)"), QStringLiteral("ROS within 35 % (%)")};
    if (flame)
        titles << TitleWithUnit(QStringLiteral("FL RMSE"), fl) << TitleWithUnit(QStringLiteral("FL bias"), fl)
               << QStringLiteral("FL MAPE (%)") << QStringLiteral("FL within 35 % (%)");
    titles << QStringLiteral("Adjustment factor");
    m_ranking->setSortingEnabled(false);
    m_ranking->clear();
    m_ranking->setColumnCount(int(titles.size()));
    m_ranking->setHorizontalHeaderLabels(titles);
    m_ranking->setRowCount(int(m_rankedModels.size()));
    for (int r = 0; r < int(m_rankedModels.size()); ++r) {
        const RankedModel &m = m_rankedModels[size_t(r)];
        const bool edited = m.candidate.setName == QLatin1String("(edited)");
        QList<QTableWidgetItem *> items;
        items << new QTableWidgetItem(m.candidate.setName) << new QTableWidgetItem(m.candidate.model->FuelModelID())
              << new QTableWidgetItem(edited && m_hooks.EditedLabel ? m_hooks.EditedLabel() : m.candidate.model->Description());
        auto stats = [&](const AgreementStats &s, Quantity q) {
            items << NumberItem(Units::FromEnglish(q, m_system, s.rmse), 2) << NumberItem(Units::FromEnglish(q, m_system, s.bias), 2)
                  << NumberItem(s.mape, 1) << NumberItem(100 * s.within35, 0);
        };
        stats(m.ros, Quantity::RateOfSpread);
        if (flame)
            stats(m.flame, Quantity::FlameLength);
        items << NumberItem(m.adjustment, 3);
        for (int c = 0; c < int(items.size()); ++c) {
            QTableWidgetItem *item = Pinned(items[c], edited);
            item->setData(Qt::UserRole, r);
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            m_ranking->setItem(r, c, item);
        }
    }
    m_ranking->setSortingEnabled(true);
    m_ranking->sortItems(3, Qt::AscendingOrder);
    m_ranking->resizeColumnsToContents();
    if (m_ranking->rowCount() > 0)
        m_ranking->selectRow(0);
    rankingSelectionChanged();
}

void frmCalibration::rankingSelectionChanged()
{
    QList<QPair<QString, std::vector<QPointF>>> series;
    QList<int> rows;
    for (const QModelIndex &i : m_ranking->selectionModel()->selectedRows())
        rows << m_ranking->item(i.row(), 0)->data(Qt::UserRole).toInt();
    for (int r : rows) {
        if (series.size() >= 6)
            break;
        const RankedModel &m = m_rankedModels[size_t(r)];
        series.append({QStringLiteral("%1 %2").arg(m.candidate.setName, m.candidate.model->FuelModelID()),
                       PredictedPoints(m.predictions, m_rankedObservations, m_system)});
    }
    DrawPredictedChart(m_rankingChart, series, m_system);
}

void frmCalibration::sendRankedModel()
{
    const int row = m_ranking->currentRow();
    if (row < 0 || !m_hooks.SendModel)
        return;
    const RankedModel &m = m_rankedModels[size_t(m_ranking->item(row, 0)->data(Qt::UserRole).toInt())];
    if (m_hooks.EditedModel)
        m_beforeSend = m_hooks.EditedModel();
    m_hooks.SendModel(*m.candidate.model);
    if (m_hooks.FitApplied)
        m_hooks.FitApplied(nullptr);
}

void frmCalibration::ExportAdjustments()
{
    QList<int> rows;
    for (const QModelIndex &i : m_ranking->selectionModel()->selectedRows())
        rows << i.row();
    if (rows.isEmpty())
        for (int r = 0; r < m_ranking->rowCount(); ++r)
            rows << r;
    std::sort(rows.begin(), rows.end());
    std::vector<const RankedModel *> models;
    QStringList ids;
    for (int row : rows) {
        const RankedModel &m = m_rankedModels[size_t(m_ranking->item(row, 0)->data(Qt::UserRole).toInt())];
        if (!std::isfinite(m.adjustment))
            continue; // spreads at no observed fire
        models.push_back(&m);
        ids << m.candidate.model->FuelModelID();
    }
    if (models.empty()) {
        QMessageBox box(QMessageBox::Information, windowTitle(),
                        QStringLiteral("No ranked model has an adjustment factor: rank the models first (a model that "
                                       "spreads at no observed fire has none)."),
                        QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("msgNoAdjustments"));
        box.exec();
        return;
    }

    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("dlgAdjustmentExport"));
    dialog.setWindowTitle(QStringLiteral("Export Adjustment File"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *intro = new QLabel(QStringLiteral("Each model's line gets the number typed here (the model number in the "
                                            "simulators' landscape). Flame length is not adjusted by these factors."),
                             &dialog);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto *table = new QTableWidget(int(models.size()), 4, &dialog);
    table->setObjectName(QStringLiteral("grdAdjustmentNumbers"));
    table->setHorizontalHeaderLabels({QStringLiteral("Set"), QStringLiteral("ID"), QStringLiteral("Factor"), QStringLiteral("Number")});
    table->verticalHeader()->hide();
    const std::vector<int> proposed = ProposeAdjustmentNumbers(ids);
    for (int r = 0; r < int(models.size()); ++r) {
        const RankedModel &m = *models[size_t(r)];
        const QStringList cells = {m.candidate.setName, m.candidate.model->FuelModelID(), TableNumber(m.adjustment, 4)};
        for (int c = 0; c < 3; ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            table->setItem(r, c, item);
        }
        table->setItem(r, 3, new QTableWidgetItem(proposed[size_t(r)] > 0 ? QString::number(proposed[size_t(r)]) : QString()));
    }
    table->resizeColumnsToContents();
    layout->addWidget(table, 1);
    auto *problem = new QLabel(&dialog);
    problem->setObjectName(QStringLiteral("lblAdjustmentProblem"));
    problem->setStyleSheet(QStringLiteral("QLabel { color: #a01010; }"));
    problem->setWordWrap(true);
    layout->addWidget(problem);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Export..."));
    layout->addWidget(buttons);
    std::vector<std::pair<int, double>> lines;
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        lines.clear();
        QStringList faults;
        QSet<int> used;
        for (int r = 0; r < table->rowCount(); ++r) {
            bool ok = false;
            const int number = table->item(r, 3)->text().trimmed().toInt(&ok);
            const QString id = table->item(r, 1)->text();
            QString fault = !ok ? QStringLiteral("no model number") : AdjustmentNumberProblem(number);
            if (fault.isEmpty() && used.contains(number))
                fault = QStringLiteral("the model number %1 is given twice").arg(number);
            if (!fault.isEmpty()) {
                faults << QStringLiteral("%1: %2").arg(id, fault);
                continue;
            }
            used.insert(number);
            lines.emplace_back(number, models[size_t(r)]->adjustment);
        }
        problem->setText(faults.join(QLatin1Char('\n')));
        if (faults.isEmpty())
            dialog.accept();
    });
    dialog.resize(460, 360);
    if (dialog.exec() != QDialog::Accepted)
        return;

    const QString path = prompts().ChooseFile({true, QStringLiteral("Export Adjustment File"),
                                               QStringLiteral("Adjustment files (*.adj);;All files (*)"), {},
                                               QStringLiteral("adj"), true, QStringLiteral("dlgAdjustmentFile")});
    if (path.isEmpty())
        return;
    QString error;
    if (!SaveTextFile(path, QString::fromLatin1(WriteAdjustmentFile(lines)), &error))
        QMessageBox::warning(this, windowTitle(), error);
}

void frmCalibration::undoSend()
{
    if (!m_beforeSend || !m_hooks.SendModel)
        return;
    const FuelModel before = *m_beforeSend;
    m_beforeSend.reset();
    m_hooks.SendModel(before);
    if (m_hooks.FitApplied)
        m_hooks.FitApplied(nullptr);
}

// ---- Calibration -----------------------------------------------------------------------

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
    const std::vector<CandidateModel> master = m_hooks.MasterModels ? m_hooks.MasterModels() : std::vector<CandidateModel>();
    QList<bool> wasFree;
    for (int r = 0; r < kFuelParameterCount; ++r)
        wasFree << (m_parameters->item(r, 0) && m_parameters->item(r, 0)->checkState() == Qt::Checked);
    m_parameters->setHorizontalHeaderLabels(
        {QStringLiteral("Free parameter"), QStringLiteral("Low"), QStringLiteral("High"), QStringLiteral("Editor")});
    for (int r = 0; r < kFuelParameterCount; ++r) {
        const FuelParameterInfo &p = FuelParameterTable()[size_t(r)];
        const FreeParameter bounds = DefaultBounds(p, master, edited);
        auto *name = new QTableWidgetItem(QStringLiteral("%1 (%2)").arg(Name(p), Units::UnitLabel(p.quantity, m_system)));
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        name->setCheckState(wasFree[r] ? Qt::Checked : Qt::Unchecked);
        m_parameters->setItem(r, 0, name);
        m_parameters->setItem(r, 1, new QTableWidgetItem(QString::number(Units::FromEnglish(p.quantity, m_system, bounds.low), 'g', 6)));
        m_parameters->setItem(r, 2, new QTableWidgetItem(QString::number(Units::FromEnglish(p.quantity, m_system, bounds.high), 'g', 6)));
        auto *value = new QTableWidgetItem(QString::number(Units::FromEnglish(p.quantity, m_system, p.valueOf(edited)), 'g', 6));
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
        setup.free.push_back({&p, Units::ToEnglish(p.quantity, m_system, low), Units::ToEnglish(p.quantity, m_system, high)});
    }
    setup.tieLoads = m_tieLoads->isChecked();
    setup.objective.kind = std::array{ObjectiveKind::LogRatio, ObjectiveKind::Rmse, ObjectiveKind::Mape}[size_t(m_objective->currentIndex())];
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
    series.append({QStringLiteral("Before"), PredictedPoints(m_lastFit->before.predictions, m_fitObservations, m_system)});
    series.append({QStringLiteral("After"), PredictedPoints(m_lastFit->after.predictions, m_fitObservations, m_system)});
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
