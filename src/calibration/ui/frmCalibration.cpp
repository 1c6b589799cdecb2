#include "calibration/ui/frmCalibration.h"

#include "calibration/CalibrationReport.h"
#include "calibration/ObservationTable.h"
#include "calibration/ui/CalibrationCharts.h"
#include "data/CsvTable.h"
#include "units/UnitSetting.h"
#include "widgets/QtPrompts.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

// The window, its observed fires page and the file of those fires. The ranking, the adjustment
// file and the fit are in frmCalibrationRanking.cpp, frmCalibrationAdjustments.cpp and
// frmCalibrationFit.cpp.

namespace {

const int kFixedColumns = int(ObservationColumns().size());

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
    button(rows, "cmdPasteObservations", QStringLiteral("&Paste"),
           [this] { PasteText(QApplication::clipboard()->text()); });
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
    m_observations->setHorizontalHeaderLabels(ObservationColumnTitles(m_system, extraColumns));
}

ObservationImport frmCalibration::TableObservations() const
{
    CsvTable table;
    table.header = ObservationReaderHeader(m_system, m_extraColumns);
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
        const QStringList cells = ObservationCells(o, m_system);
        for (int c = 0; c < kFixedColumns; ++c)
            m_observations->setItem(r, c, new QTableWidgetItem(cells[c]));
        for (qsizetype k = 0; k < m_extraColumns.size(); ++k) {
            const qsizetype from = extraColumns.indexOf(m_extraColumns[k]);
            m_observations->setItem(
                r, kFixedColumns + int(k),
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
        m_observations->setItem(r, kObservationSlopeColumn, new QTableWidgetItem(QStringLiteral("0")));
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
        QMessageBox box(QMessageBox::Warning, windowTitle(),
                        QStringLiteral("%1 cannot be used: %2").arg(what, imported.problem), QMessageBox::Ok, this);
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
    // Rows without column names are taken in the table's column order.
    const QByteArray bytes = PastedObservationText(text, m_system, m_extraColumns);
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
    const QString path = prompts().ChooseFile({false,
                                               QStringLiteral("Import Observed Fires"),
                                               QStringLiteral("CSV files (*.csv *.txt);;All files (*)"),
                                               {},
                                               {},
                                               true,
                                               QStringLiteral("dlgObservationFile")});
    if (!path.isEmpty())
        ImportFile(path);
}

void frmCalibration::exportClicked()
{
    const QString path = prompts().ChooseFile({true,
                                               QStringLiteral("Export Observed Fires"),
                                               QStringLiteral("CSV files (*.csv)"),
                                               {},
                                               QStringLiteral("csv"),
                                               true,
                                               QStringLiteral("dlgObservationFile")});
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
    QMessageBox::information(this, windowTitle(),
                             QStringLiteral("Row %1 cannot be used: see the line below the table.").arg(row + 1));
}

void frmCalibration::unitsChanged(Units::System system)
{
    const ObservationImport current = TableObservations();
    m_system = system;
    // Rows that cannot be read are kept as typed.
    SetObservations(current.observations, m_extraColumns);
    fillParameters();
}
