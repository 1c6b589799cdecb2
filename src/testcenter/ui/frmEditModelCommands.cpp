// The editor's lifecycle: loading the model, the reference model choice, the command buttons,
// the write-back into the library and closing.
#include "testcenter/ui/frmEditModel.h"

#include "data/FuelModel.h"
#include "data/IPrompts.h"
#include "data/ProgramState.h"
#include "library/ModelNotes.h"
#include "testcenter/EditorSave.h"
#include "testcenter/IEditorOwner.h"
#include "testcenter/ITuners.h"
#include "testcenter/TestCenterState.h"
#include "widgets/WindowHabits.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <optional>

void frmEditModel::Open(std::shared_ptr<FuelModel> fm, bool editable)
{
    setEditFM(std::move(fm));
    setEditable(editable);
    m_loaded = false;
    show();
    if (!m_loaded)
        Form_Load();
}

void frmEditModel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_loaded && !event->spontaneous())
        Form_Load();
}

void frmEditModel::Form_Load()
{
    m_loaded = true;
    m_cmdTuner[0]->setEnabled(true);
    m_testPanel->show();
    SetWidthTwips(kWidthWithTestPanel);
    // Where the user left the window last time, when that place is still on a screen.
    if (!RestoreWindowGeometry(this, QStringLiteral("Editor")))
        FitInsideScreen(this);
    if (!m_Editable)
        SetLocked();
    m_txtFuelModelSet->setText(m_owner ? m_owner->SetNameText() : QString());

    m_cboFireCarry->clear();
    const char *carriers[] = {"1 - Grass", "2 - Brush", "3 - Timber Litter", "4 - Slash"};
    for (int i = 0; i < 4; ++i)
        m_cboFireCarry->addItem(QString::fromLatin1(carriers[i]), i + 1);
    m_cboFireCarry->setCurrentIndex(0);
    m_cboHerbType->clear();
    m_cboHerbType->addItem(QStringLiteral("1 - Static"), 1);
    m_cboHerbType->addItem(QStringLiteral("2 - Dynamic"), 2);
    m_cboHerbType->setCurrentIndex(0);

    const FuelModel blank;
    const FuelModel &fm = m_EditFM ? *m_EditFM : blank;
    const auto texts = ModelEntryTexts(fm);
    SetEntryText(1, texts[1]);
    SetEntryText(0, texts[0]);
    for (int i = 2; i <= kLastModelEntry; ++i)
        SetEntryEnglish(i, ModelEntryValue(fm, i));

    // A code outside the lists leaves nothing selected, as the list position says.
    m_cboFireCarry->setCurrentIndex(int(fm.FuelCat()) - 1);
    m_cboHerbType->setCurrentIndex(int(fm.HerbType()) - 1);
    loadNotes();

    m_cboWindReduce->clear();
    m_cboSlope->clear();
    for (int i = 0; i < kListItems; ++i) {
        m_cboWindReduce->addItem(WindReduceItem(i));
        m_cboSlope->addItem(SlopeItem(i));
    }
    m_cboWindReduce->setCurrentIndex(kWindReduceStartPosition);
    m_cboSlope->setCurrentIndex(-1);
    m_cboSlope->setEditText(QStringLiteral("0"));
    UpdateMidFlameWind();
    FillScenarioList();

    {
        const QSignalBlocker blockSets(m_cboFMSet);
        const QSignalBlocker blockModels(m_cboFM);
        m_cboFMSet->clear();
        m_cboFM->clear();
        for (const auto &set : *gFMSets)
            m_cboFMSet->addItem(set->Name());
        m_cboFMSet->setCurrentIndex(0);
    }
    cboFMSet_Click();
    ComputeRatioOnly();
}

void frmEditModel::cboFMSet_Click()
{
    {
        const QSignalBlocker block(m_cboFM);
        m_cboFM->clear();
        const int position = m_cboFMSet->currentIndex();
        if (position >= 0 && position < gFMSets->Count())
            for (const auto &fm : *gFMSets->Item(position + 1)->FuelModels())
                m_cboFM->addItem(ModelNodeText(*fm));
        m_cboFM->setCurrentIndex(0);
    }
    cboFM_Click();
}

void frmEditModel::cboFM_Click()
{
    emit referenceModelChosen(RefLabelText());
    if (m_cboFM->count() == 0) {
        // No model to compare with: no reference result may linger from the previous one.
        ReferenceFireSpread = std::make_shared<FireSpread>();
        const ReferenceTexts zero = FormatReference(*ReferenceFireSpread, ShownUnits());
        m_txtRefROS->setText(zero.ros);
        m_txtRefFLI->setText(zero.fli);
        m_txtRefHeat->setText(zero.heat);
        m_txtRefFL->setText(zero.fl);
    }
    // With "Auto Compute" on, the reference boxes show the model just chosen at once.
    AutoCompute();
}

QString frmEditModel::RefLabelText() const
{
    return QStringLiteral("Ref: ") + m_cboFM->currentText();
}

void frmEditModel::cboWindReduce_Click()
{
    UpdateMidFlameWind();
    m_entries->environmentEdited();
    AutoCompute();
}

void frmEditModel::cboWindReduce_Change()
{
    // A typed factor counts as soon as it is shown, like a chosen one: the midflame wind and
    // every computation follow the text in the box.
    UpdateMidFlameWind();
    m_entries->environmentEdited();
    AutoCompute();
}

void frmEditModel::cboSlope_Click()
{
    m_entries->environmentEdited();
    AutoCompute();
}

void frmEditModel::cmdTest_Click()
{
    if (m_cmdTest->text().remove(QLatin1Char('&')) == QStringLiteral("Test Center >>")) {
        m_testPanel->show();
        SetWidthTwips(kWidthWithTestPanel);
        m_cmdTest->setText(QStringLiteral("<< T&est Center"));
    } else {
        m_testPanel->hide();
        SetWidthTwips(kWidthWithoutTestPanel);
        m_cmdTest->setText(QStringLiteral("T&est Center >>"));
    }
}

void frmEditModel::cmdComp_Click()
{
    const bool entries = EntriesOK();
    const bool environment = EnvEntriesOK();
    if (entries && environment)
        Compute();
}

void frmEditModel::cmdTuner_Click(int index)
{
    if (m_tuners)
        m_tuners->Open(index);
}

void frmEditModel::cmdApply_Click()
{
    Save();
}

bool frmEditModel::Save()
{
    for (int i = 0; i <= kLastModelEntry; ++i)
        CheckRange(i);
    if (m_chkAuto->isChecked())
        AutoCompute();
    m_EntriesValid = EntriesOK();
    if (!m_EntriesValid || !m_EditFM)
        return false;

    const TestEntries entries = CurrentEntries();
    if (const EntryRefusal refusal = SaveTextRefusal(entries.box[0], entries.box[1]); refusal.refused()) {
        m_prompts->Message(refusal.text, refusal.title, IPrompts::Icon::Exclamation);
        FocusEntry(refusal.focusIndex);
        m_EntriesValid = false;
        return false;
    }

    if (!LibraryHoldsModel(*gFMSets, *m_EditFM)) {
        m_prompts->Message(ModelGoneMessage(*m_EditFM), QStringLiteral("Save Fuel Model"), IPrompts::Icon::Exclamation);
        m_EntriesValid = false;
        return false;
    }

    // Kept so that a failed write leaves the model and its notes as the files still have them
    // (the owner adds the Save to the model's history before it writes).
    const FuelModel before = *m_EditFM;
    const std::shared_ptr<FuelModel> saved = m_EditFM;
    const ModelNotes *notes = gLibraryNotes.Of(saved.get());
    const std::optional<ModelNotes> notesBefore = notes ? std::optional<ModelNotes>(*notes) : std::nullopt;
    ApplyEntries(*m_EditFM, entries, m_cboFireCarry->currentIndex(), m_cboHerbType->currentIndex());
    applyNotes();
    if (m_appliedCalibration)
        gLibraryNotes.Record(saved, CalibratedEntry(NotesNow(), *m_appliedCalibration));
    if (!m_owner)
        return true;
    m_owner->SetNodeText(m_EditFM->Key(), ModelNodeText(*m_EditFM));
    m_owner->RefreshFMs();
    QString error;
    if (m_owner->SaveLibrary(&error)) {
        m_appliedCalibration.reset();
        showNotesHistory();
        return true;
    }

    *m_EditFM = before;
    if (notesBefore)
        gLibraryNotes.Edit(saved) = *notesBefore;
    else
        gLibraryNotes.Drop(saved.get());
    m_owner->SetNodeText(m_EditFM->Key(), ModelNodeText(*m_EditFM));
    m_owner->RefreshFMs();
    m_EntriesValid = false;
    m_prompts->Message(QStringLiteral("The fuel model library could not be saved:") + QChar(13) + error + QChar(13) +
                           QStringLiteral("The library is unchanged; your entries are still in the editor."),
                       QStringLiteral("Save Fuel Model"), IPrompts::Icon::Exclamation);
    return false;
}

void frmEditModel::cmdSave_Click()
{
    if (m_Editable) {
        Save();
        if (m_EntriesValid)
            closeByCommand();
    } else {
        closeByCommand();
    }
}

void frmEditModel::cmdCancel_Click()
{
    closeByCommand();
}

void frmEditModel::closeByCommand()
{
    // Close and Save has saved, Cancel discards: neither asks about the entries again.
    m_closingByCommand = true;
    close();
    m_closingByCommand = false;
}

bool frmEditModel::HasUnsavedEdits() const
{
    if (!m_loaded || !m_Editable || !m_EditFM)
        return false;
    return EntriesChangeModel(*m_EditFM, CurrentEntries(), m_cboFireCarry->currentIndex(),
                              m_cboHerbType->currentIndex()) ||
        NotesChanged();
}

void frmEditModel::closeEvent(QCloseEvent *event)
{
    // The window's close button, Alt+F4 or the program ending: entries that differ from the
    // model are not dropped without a question. Yes saves as Close and Save does (a refused
    // Save keeps the window open), No closes as Cancel does, Cancel keeps the window.
    if (!m_closingByCommand && HasUnsavedEdits()) {
        const QString id = EntryText(0).trimmed();
        switch (m_prompts->AskYesNoCancel(QStringLiteral("The fuel model %1 has changes that are not saved.").arg(id) +
                                              QChar(13) + QStringLiteral("Save them before closing?"),
                                          QStringLiteral("Close the Edit and Test Center"), IPrompts::Icon::Question)) {
        case IPrompts::Answer::Yes:
            if (!Save()) {
                event->ignore();
                return;
            }
            break;
        case IPrompts::Answer::No:
            break;
        case IPrompts::Answer::Cancel:
            event->ignore();
            return;
        }
    }
    QWidget::closeEvent(event);
    // The size with the test panel is the one the window opens with.
    if (m_loaded && !m_testPanel->isHidden())
        SaveWindowGeometry(this, QStringLiteral("Editor"));
    if (m_owner)
        m_owner->EditorClosed();
    if (m_tuners) {
        // Closing must always succeed, whatever state a tuner window is in.
        try {
            m_tuners->CloseAll();
        } catch (...) { }
    }
}
