#pragma once

#include "calibration/Calibration.h"
#include "calibration/FitRecord.h"

#include <QFutureWatcher>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class IPrompts;
class QCheckBox;
class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;

// What the calibration window asks of the Edit and Test Center.
struct CalibrationHooks
{
    // The editor's entries as a model (its herb type included).
    std::function<FuelModel()> EditedModel;
    // "set: ID" of the edited model, for the ranking's first row.
    std::function<QString()> EditedLabel;
    std::function<SpreadConventions()> Conventions;
    // The sets of the library, and the models of one (all sets for a null name).
    std::function<QStringList()> SetNames;
    std::function<std::vector<CandidateModel>(const QString &setName)> Models;
    std::function<std::vector<CandidateModel>()> MasterModels;
    // Into the editor's Environment.
    std::function<void(const FireEnvironment &)> SendEnvironment;
    // The model's 13 parameters and herb type into the editor's entries.
    std::function<void(const FuelModel &)> SendModel;
    // Apply to Editor has put a fit into the entries (its record), or the entries no longer
    // hold one (nullptr: the apply was undone or a ranked model was sent over it).
    std::function<void(const FitRecord *)> FitApplied;
    // Adds the editor's entries to its charts (its Plot): Apply plots before and after.
    std::function<void()> PlotEntries;
    // The editor's prompts, for the file dialogs (Qt's own over the window without them).
    IPrompts *Prompts = nullptr;
};

// The calibration window of one editor: the observed fires ("Observations"), every library
// model against them ("Ranking") and the fit of the edited model ("Calibration"). A thin layer
// over calibration/: the fit runs off the window's thread with a progress bar and Cancel.
class frmCalibration : public QWidget
{
    Q_OBJECT
public:
    explicit frmCalibration(CalibrationHooks hooks, QWidget *parent = nullptr);
    ~frmCalibration() override;

    QTabWidget *Tabs() const { return m_tabs; }
    QTableWidget *ObservationTable() const { return m_observations; }
    QTableWidget *RankingTable() const { return m_ranking; }
    QTableWidget *ParameterTable() const { return m_parameters; }
    QPlainTextEdit *Report() const { return m_report; }
    QChartView *RankingChart() const { return m_rankingChart; }
    QChartView *FitChart() const { return m_fitChart; }

    // The observations of the table as the reader takes them (rows that cannot be used are
    // left out and counted in the status line).
    ObservationImport TableObservations() const;
    // Fills the table (replacing it) from observations in English units.
    void SetObservations(const Observations &observations, const QStringList &extraColumns);
    // Reads a file through the report; the fires go into the table only when it is accepted.
    bool ImportFile(const QString &path);
    bool ExportFile(const QString &path);
    // Pasted text (from a spreadsheet: tab separated, with or without the column names) added
    // to the table after its report is accepted.
    bool PasteText(const QString &text);

    // The simulators' adjustment file of the ranked models selected (all when none is): a window
    // lists them with their factors and the numbers proposed, which can be typed over; then the
    // file is chosen and written.
    void ExportAdjustments();

    // The last result of the fit (empty before one).
    const std::optional<CalibrationResult> &LastFit() const { return m_lastFit; }
    bool FitRunning() const { return m_watcher.isRunning(); }

signals:
    void fitFinished();
    // The observation table changed (rows typed, pasted, imported or deleted).
    void observationsChanged();

protected:
    // The parameter table shows the editor's values as they are when the window opens.
    void showEvent(QShowEvent *event) override;

private:
    void buildObservationsPage(QWidget *page);
    void buildRankingPage(QWidget *page);
    void buildCalibrationPage(QWidget *page);
    void addObservationRow();
    void deleteObservationRows();
    void importClicked();
    void exportClicked();
    void recentChosen(int index);
    void fillRecent();
    void sendEnvironment();
    void showObservationStatus();
    bool acceptReport(const ObservationImport &imported, const QString &what);
    void appendObservations(const Observations &observations, const QStringList &extraColumns);
    void setObservationHeaders(const QStringList &extraColumns);
    void unitsChanged(Units::System system);

    void rank();
    void rankingSelectionChanged();
    void sendRankedModel();
    void undoSend();

    void fillParameters();
    std::optional<CalibrationSetup> setupFromControls(QString *problem) const;
    void startFit();
    void cancelFit();
    void fitDone();
    void applyFit();
    void drawFitChart();
    IPrompts &prompts();

    CalibrationHooks m_hooks;
    Units::System m_system;
    QTabWidget *m_tabs = nullptr;

    QTableWidget *m_observations = nullptr;
    QStringList m_extraColumns;
    QLabel *m_observationStatus = nullptr;
    QComboBox *m_recent = nullptr;

    QComboBox *m_rankSets = nullptr;
    QTableWidget *m_ranking = nullptr;
    QChartView *m_rankingChart = nullptr;
    std::vector<RankedModel> m_rankedModels; // by the table's "row" data
    Observations m_rankedObservations;

    QTableWidget *m_parameters = nullptr;
    QCheckBox *m_tieLoads = nullptr;
    QComboBox *m_objective = nullptr;
    QLineEdit *m_flameWeight = nullptr;
    QSpinBox *m_starts = nullptr;
    QSpinBox *m_seed = nullptr;
    QSpinBox *m_folds = nullptr;
    QPushButton *m_fit = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_apply = nullptr;
    QPushButton *m_undo = nullptr;
    QProgressBar *m_progress = nullptr;
    QPlainTextEdit *m_report = nullptr;
    QChartView *m_fitChart = nullptr;

    QFutureWatcher<CalibrationResult> m_watcher;
    std::shared_ptr<std::atomic<double>> m_fraction;
    std::shared_ptr<std::atomic<bool>> m_cancelRequested;
    QTimer m_progressTimer;
    std::optional<CalibrationSetup> m_fitSetup;
    Observations m_fitObservations;
    std::optional<CalibrationResult> m_lastFit;
    std::optional<FuelModel> m_beforeSend; // the entries before the last send or apply
    QString m_observationsFile;            // the file the table was last read from or written to
    QStringList m_fitExtraColumns;
    std::unique_ptr<IPrompts> m_ownPrompts; // when the hooks bring none
};
