#pragma once

#include "library/ModelNotes.h"
#include "testcenter/EditorEntryModel.h"
#include "testcenter/EntryRules.h"
#include "testcenter/TestComputation.h"
#include "units/Units.h"

#include <QColor>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class EditorCharts;
class EditorReport;
class FuelModel;
class IEditorOwner;
class IPrompts;
class ITuners;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QVBoxLayout;

// The Edit and Test Center: one fuel model of the library edited in its entry boxes, tested
// under the environment entries and compared with a reference model of the library.
//
// The window edits the library's own FuelModel object (EditFM) but changes it only on Save;
// until then the entries live as text in its entry model (Entries(), without widgets), which
// the boxes show and typing writes. Every change of an entry's text, typed or written by code,
// runs its range check (light red when out of range), and Compute, Plot and Save check the
// texts again themselves. The editor's panels (charts, tuners, warnings, analysis) follow the
// model's signals. It reaches the main window only through IEditorOwner,
// shows every message through IPrompts, and drives tuner windows through ITuners when they are
// installed. A spread computation that fails shows zeros; it is never reported.
//
// Opening: construct, then Open(model, editable) (or setEditFM/setEditable and show()). The
// owner's EditorClosed is called from the close event; an owner that wants to destroy the
// window must use deleteLater() there.
class frmEditModel : public QWidget
{
    Q_OBJECT

public:
    explicit frmEditModel(IEditorOwner *owner = nullptr, IPrompts *prompts = nullptr, QWidget *parent = nullptr);
    ~frmEditModel() override;

    void setEditFM(std::shared_ptr<FuelModel> fm) { m_EditFM = std::move(fm); }
    const std::shared_ptr<FuelModel> &EditFM() const { return m_EditFM; }
    void setEditable(bool editable) { m_Editable = editable; }
    bool Editable() const { return m_Editable; }
    // Sets the model and the edit mode, shows the window and loads the entries.
    void Open(std::shared_ptr<FuelModel> fm, bool editable);
    // Fills every control from EditFM and the library; runs by itself on the first show.
    void Form_Load();

    void setTuners(ITuners *tuners) { m_tuners = tuners; }
    ITuners *Tuners() const { return m_tuners; }
    void setPrompts(IPrompts *prompts);
    IPrompts &Prompts() const { return *m_prompts; }

    // Entry checks: a message for the first problem, focus to its box; true when all is well.
    bool EntriesOK();
    bool EnvEntriesOK();
    // Read-only mode for a model of a locked set; the environment stays usable.
    void SetLocked();
    // Result of the entry check of the last Save.
    bool EntriesValid() const { return m_EntriesValid; }
    // Whether the model entries (ID, description, fuel bed, fire carrier, herb type) differ
    // from the model in the library; the window's close button asks before dropping them.
    bool HasUnsavedEdits() const;

    void Compute();
    void ComputeRatioOnly();
    // With "Auto Compute" on: Compute when every entry holds its range, otherwise clear the
    // results and name the entry at fault (resultsRefused). Off: results on screen are marked
    // as computed from earlier entries.
    void AutoCompute();
    // The first entry a computation refuses, as "caption: text is outside its range (hint)":
    // a fuel bed or environment box out of range, or a midflame wind beyond its range. Empty
    // when every entry holds. Read-only boxes hold the library's values and are not judged.
    QString EntryFault() const;
    // The note under the results: why none are shown, or that they are from earlier entries.
    QLabel *lblResultsNote() const { return m_lblResultsNote; }

    // Entry boxes: txtFuels is null for index 1 (the multi-line description) and for indexes
    // without a box. EntryText/SetEntryText work for every box; setting a text runs the same
    // change handling as typing, but no range check.
    QLineEdit *txtFuels(int index) const;
    QPlainTextEdit *txtDescription() const { return m_txtDescription; }
    QString EntryText(int index) const;
    void SetEntryText(int index, const QString &text);
    // As SetEntryText, but as one step of the box's own undo history (Ctrl+Z gives the text
    // before back), for a value the user chose elsewhere, as with a tuner's slider.
    void ReplaceEntryText(int index, const QString &text);
    QColor EntryColour(int index) const;
    // Paints box index; light red marks a failed range check.
    void SetEntryColour(int index, const QColor &colour);
    // The range check of box index: light red when its text is out of range, white otherwise
    // (a read-only box keeps its colour). Runs by itself at every change of the text.
    void CheckEntryRange(int index) { CheckRange(index); }
    QLabel *lblFuels(int index) const;
    QString RowLabelText(int index) const;
    QPushButton *cmdTuner(int index) const;
    // The entries in the form the computations take.
    TestEntries CurrentEntries() const;

    // The entries as data: every box's text, the value behind it, the units, the scenario and
    // the range checks, with a signal for each change. The boxes show it and write into it.
    EditorEntryModel &Entries() const { return *m_entries; }

    // Units. The boxes show the program's unit setting; the English value each box was filled
    // with is remembered, so a box the user did not change gives back exactly that value.
    Units::System ShownUnits() const { return m_entries->units(); }
    // Fills number box index (2..14, 20..25) from an English value, in the shown units.
    void SetEntryEnglish(int index, double english);
    // As SetEntryEnglish, but as one step of the box's own undo history (ReplaceEntryText).
    void ReplaceEntryEnglish(int index, double english);
    // The English value number box index stands for.
    double EntryEnglish(int index) const;
    // A number written by code with its text in the shown units and the English value behind
    // it (txtFuels_i or txtMidFlameWind); false for any other control.
    bool WriteShownNumber(const QString &control, const QString &text, double english);
    // Shows every entry, caption, hint and result in the system (the unit setting's changed()).
    void ApplyUnits(Units::System system) { m_entries->setUnits(system); }
    // Places a sign (a warning, say) at the end of the row of box (an entry or a derived box of
    // the model frame), and a widget below the model frame.
    void PlaceRowSign(QWidget *box, QWidget *sign);
    void PlaceBelowModelFrame(QWidget *widget);
    QComboBox *cboUnits() const { return m_cboUnits; }

    // The "Moisture scenario" choice of the Environment: "Custom", the 16 standard scenarios,
    // then the user's own named environments.
    QComboBox *cboMoistureScenario() const { return m_cboMoistureScenario; }
    void cboMoistureScenario_Click();
    // Saves the environment under a name asked for; Delete removes the chosen one.
    void cmdSaveEnvironment_Click();
    void cmdDeleteEnvironment_Click();

    QComboBox *cboFireCarry() const { return m_cboFireCarry; }
    QComboBox *cboHerbType() const { return m_cboHerbType; }
    QComboBox *cboWindReduce() const { return m_cboWindReduce; }
    QComboBox *cboSlope() const { return m_cboSlope; }
    // "as the library's core" / "as the fire growth simulators": the conventions of every
    // computation of the editor (gSpreadConventions); the results frame's title shows it.
    QComboBox *cboConventions() const { return m_cboConventions; }
    QGroupBox *fraResults() const { return m_fraResults; }
    QComboBox *cboFMSet() const { return m_cboFMSet; }
    QComboBox *cboFM() const { return m_cboFM; }
    QLineEdit *txtMidFlameWind() const { return m_txtMidFlameWind; }
    QLineEdit *txtFuelModelSet() const { return m_txtFuelModelSet; }
    QLineEdit *txtROS() const { return m_txtROS; }
    QLineEdit *txtFLI() const { return m_txtFLI; }
    QLineEdit *txtHeat() const { return m_txtHeat; }
    QLineEdit *txtFL() const { return m_txtFL; }
    QLineEdit *txtCharSurfVolRatio() const { return m_txtCharSurfVolRatio; }
    QLineEdit *txtPackRatio() const { return m_txtPackRatio; }
    QLineEdit *txtRefROS() const { return m_txtRefROS; }
    QLineEdit *txtRefFLI() const { return m_txtRefFLI; }
    QLineEdit *txtRefHeat() const { return m_txtRefHeat; }
    QLineEdit *txtRefFL() const { return m_txtRefFL; }
    QCheckBox *chkAuto() const { return m_chkAuto; }
    QPushButton *cmdApply() const { return m_cmdApply; }
    QPushButton *cmdSave() const { return m_cmdSave; }
    QPushButton *cmdCancel() const { return m_cmdCancel; }
    QPushButton *cmdComp() const { return m_cmdComp; }
    QPushButton *cmdTest() const { return m_cmdTest; }
    // The results area: tabs 0..3 are chart pages, each with an empty vertical layout.
    QTabWidget *tabResults() const { return m_tabResults; }
    QVBoxLayout *chartPageLayout(int tab) const;
    // The Notes tab: the model's source, author and notes, written into the library's notes by
    // Save together with the entries, and its history (read-only, newest last).
    QLineEdit *txtNotesSource() const { return m_txtNotesSource; }
    QLineEdit *txtNotesAuthor() const { return m_txtNotesAuthor; }
    QPlainTextEdit *txtNotes() const { return m_txtNotes; }
    QPlainTextEdit *txtNotesHistory() const { return m_txtNotesHistory; }
    // Whether the notes boxes differ from the model's notes in the library.
    bool NotesChanged() const;
    // A fit the calibration window put into the entries: the next Save records it in the
    // model's history (before the values it changed). Empty: the entries hold no fit.
    void SetAppliedCalibration(const std::optional<CalibrationRecord> &record) { m_appliedCalibration = record; }
    const std::optional<CalibrationRecord> &AppliedCalibration() const { return m_appliedCalibration; }
    // Row beside "Compute" for further test commands.
    QHBoxLayout *testCommandsLayout() const { return m_testCommands; }
    // The row of the units choice (fraUnits), below the model's commands.
    QHBoxLayout *unitsRowLayout() const { return m_unitsRow; }
    // The charts of the results tabs and the report commands, built with the window.
    EditorCharts *Charts() const { return m_charts; }
    EditorReport *Report() const { return m_report; }
    // Whether the test panel (environment, results, tabs) is shown.
    bool TestPanelShown() const;
    // "Ref: " + the reference model list text.
    QString RefLabelText() const;

    static QColor LightRed() { return QColor(255, 192, 192); }

signals:
    // A reference model was chosen (also at load and after a set choice); refLabel is the
    // reference legend text "Ref: " + the model text. Connected first to Clear Graphs.
    void referenceModelChosen(const QString &refLabel);
    // A full computation (Compute) has written the result boxes.
    void computed();
    // Auto Compute found an entry at fault and cleared the results instead of computing.
    void resultsRefused(const QString &fault);

public slots:
    void cmdApply_Click();
    void cmdSave_Click();
    void cmdCancel_Click();
    void cmdComp_Click();
    void cmdTest_Click();
    void cmdTuner_Click(int index);
    void cboFMSet_Click();
    void cboFM_Click();
    void cboWindReduce_Click();
    // The factor's text changed, typed or chosen.
    void cboWindReduce_Change();
    void cboSlope_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildWindow();
    QWidget *buildModelFrame();
    QWidget *buildTestPanel();
    QWidget *buildReferencePage();
    QWidget *buildNotesPage();
    void loadNotes();
    void showNotesHistory();
    // Writes the notes boxes into the library's notes of EditFM (nothing when they are unchanged).
    void applyNotes();
    void addEntryRow(class QGridLayout *grid, int row, int index);
    // A label whose text follows the units: caption gives its text in a system.
    QLabel *unitLabel(QLabel *label, std::function<QString(Units::System)> caption);

    bool txtFuels_KeyPress(int index, QKeyEvent *event);
    void txtFuels_KeyUp(int index);
    void txtFuels_Change(int index);
    void txtFuels_GotFocus(int index, bool deferred);
    void CheckRange(int index);
    // The range check of box index as the commands make it: the text itself, not the colour.
    bool EntryRefused(int index);
    bool EntryHoldsRange(int index) const;
    void UpdateMidFlameWind();
    bool MidFlameWindHolds() const;
    QString MidFlameWindFault() const;
    void ShowResultsNote(const QString &text);
    void FocusEntry(int index);
    bool IsRed(int index) const;
    bool IsReadOnlyEntry(int index) const;
    bool Save();
    void closeByCommand();
    void SetWidthTwips(int twips);
    QWidget *buildUnitsRow();
    void addScenarioRow(class QGridLayout *grid, int row);
    void FillScenarioList(const QString &select = QString());
    // The model's signals shown in the window.
    void showEntry(int index, const QString &text);
    // The text of box index changed in the box (typed, or written by the window).
    void boxEdited(int index);
    QString BoxText(int index) const;
    void showUnits(Units::System system);
    void showScenario(const QString &key);

    IEditorOwner *m_owner;
    IPrompts *m_prompts;
    std::unique_ptr<IPrompts> m_ownPrompts;
    ITuners *m_tuners = nullptr;
    std::shared_ptr<FuelModel> m_EditFM;
    bool m_Editable = true;
    bool m_EntriesValid = false;
    bool m_loaded = false;
    bool m_closingByCommand = false;

    std::array<QLineEdit *, kEntrySlots> m_txtFuels{};
    QPlainTextEdit *m_txtDescription = nullptr;
    std::array<QLabel *, kEntrySlots> m_lblFuels{};
    std::array<QPushButton *, kEntrySlots> m_cmdTuner{};
    QComboBox *m_cboFireCarry = nullptr;
    QComboBox *m_cboHerbType = nullptr;
    QComboBox *m_cboWindReduce = nullptr;
    QComboBox *m_cboSlope = nullptr;
    QComboBox *m_cboConventions = nullptr;
    QGroupBox *m_fraResults = nullptr;
    void showConventions();
    QComboBox *m_cboFMSet = nullptr;
    QComboBox *m_cboFM = nullptr;
    QLineEdit *m_txtMidFlameWind = nullptr;
    QLineEdit *m_txtFuelModelSet = nullptr;
    QLineEdit *m_txtROS = nullptr;
    QLineEdit *m_txtFLI = nullptr;
    QLineEdit *m_txtHeat = nullptr;
    QLineEdit *m_txtFL = nullptr;
    QLineEdit *m_txtCharSurfVolRatio = nullptr;
    QLineEdit *m_txtPackRatio = nullptr;
    QLineEdit *m_txtRefROS = nullptr;
    QLineEdit *m_txtRefFLI = nullptr;
    QLineEdit *m_txtRefHeat = nullptr;
    QLineEdit *m_txtRefFL = nullptr;
    QLabel *m_lblResultsNote = nullptr;
    QCheckBox *m_chkAuto = nullptr;
    QPushButton *m_cmdApply = nullptr;
    QPushButton *m_cmdSave = nullptr;
    QPushButton *m_cmdCancel = nullptr;
    QPushButton *m_cmdComp = nullptr;
    QPushButton *m_cmdTest = nullptr;
    QTabWidget *m_tabResults = nullptr;
    QLineEdit *m_txtNotesSource = nullptr;
    QLineEdit *m_txtNotesAuthor = nullptr;
    QPlainTextEdit *m_txtNotes = nullptr;
    QPlainTextEdit *m_txtNotesHistory = nullptr;
    std::optional<CalibrationRecord> m_appliedCalibration;
    std::array<QVBoxLayout *, 4> m_chartPages{};
    QHBoxLayout *m_testCommands = nullptr;
    QHBoxLayout *m_unitsRow = nullptr;
    std::vector<std::pair<QLabel *, std::function<QString(Units::System)>>> m_unitLabels;
    EditorCharts *m_charts = nullptr;
    EditorReport *m_report = nullptr;
    QWidget *m_testPanel = nullptr;

    EditorEntryModel *m_entries = nullptr;
    Units::ShownValue m_midShown{Units::Quantity::WindSpeed};
    QComboBox *m_cboUnits = nullptr;
    QComboBox *m_cboMoistureScenario = nullptr;
    QPushButton *m_cmdDeleteEnvironment = nullptr;
    QWidget *m_modelFrame = nullptr;
    class QGridLayout *m_modelGrid = nullptr;
    QVBoxLayout *m_leftColumn = nullptr;
    bool m_writingBox = false;
};
