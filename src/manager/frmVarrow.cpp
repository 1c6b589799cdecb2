#include "manager/frmVarrow.h"

#include "data/NodeKey.h"
#include "data/NumberText.h"
#include "data/ProgramState.h"
#include "data/UserMessage.h"
#include "library/CommandStates.h"
#include "library/EditActions.h"
#include "library/LibraryLocation.h"
#include "library/ui/LibraryPrompts.h"
#include "manager/DefaultSet.h"
#include "manager/FMTree.h"
#include "testcenter/EntryRules.h"
#include "testcenter/ui/frmEditModel.h"
#include "units/UnitSetting.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QStatusBar>

#ifndef VARROW_VERSION
#define VARROW_VERSION "0.0.0"
#endif

frmVarrow::frmVarrow(IPrompts *prompts, QWidget *parent) : QMainWindow(parent), m_prompts(prompts)
{
    if (!m_prompts) {
        m_ownPrompts = std::make_unique<LibraryPrompts>(this);
        m_prompts = m_ownPrompts.get();
    }
    buildWindow();
    ShowUnits();
    connect(&Units::UnitSetting::instance(), &Units::UnitSetting::changed, this, [this] {
        ShowUnits();
        RefreshFMs();
    });
    connect(cboUnits, &QComboBox::activated, this, [](int index) {
        Units::UnitSetting::instance().setSystem(index == 1 ? Units::System::Metric : Units::System::English);
    });
    Form_Load();
}

void frmVarrow::ShowUnits()
{
    const Units::System s = Units::UnitSetting::instance().system();
    cboUnits->setCurrentIndex(s == Units::System::Metric ? 1 : 0);
    for (int i = 2; i <= kLastModelEntry; ++i) {
        if (auto *label = findChild<QLabel *>(QStringLiteral("lblFuels_%1").arg(i)))
            label->setText(EntryCaption(i, s));
    }
}

frmVarrow::~frmVarrow()
{
    delete m_editor; // a window of its own, not a child
    // The history is left without a window to tell.
    m_session->History().changed = nullptr;
}

void frmVarrow::Form_Load()
{
    setWindowTitle(windowTitle() + QStringLiteral(", Version - ") + QStringLiteral(VARROW_VERSION));
    m_session->ChooseLibraryFile();
    const LibraryStore::LoadResult &load = m_session->Load();
    if (load.openElsewhere && !m_session->AskOpenElsewhere())
        m_quitAtStart = true;
    else if (load.openElsewhere || !load.cannotWrite.isEmpty())
        setWindowTitle(windowTitle() + QStringLiteral(" (read-only)"));
    if (treeFMs->Count() > 0) {
        treeFMs->SetSelectedKey(treeFMs->KeyAt(1));
        treeFMs_NodeClick(treeFMs->KeyAt(1));
    } else {
        applyCommandStates(QString());
    }
    setPasteEnabled(false);
    cmdCut->setEnabled(false);
    makePanelReadOnly();
    clearPanel();

    // The default set is selected and shown: the panel and the commands always follow the
    // selection, so that "Default ..." and the set commands name the set the user sees.
    const QString defaultSet = ReadDefaultSetName();
    for (int pos = 1; pos <= treeFMs->Count(); ++pos) {
        const QString key = treeFMs->KeyAt(pos);
        if (treeFMs->Tag(key) == kSetTag && treeFMs->Text(key) == defaultSet)
            treeFMs->SetSelectedKey(key);
    }
    if (treeFMs->SelectedKey() != m_lastShown && !treeFMs->SelectedKey().isEmpty())
        RefreshFMs();
    if (load.kind == LibraryStore::LoadResult::Created)
        statusBar()->showMessage(load.message);
    showLibraryLocation();
    updateUndoActions();
}

void frmVarrow::showLibraryLocation()
{
    // Always in sight, right in the status line: which file this run works on, and why.
    const LibraryLocation &where = CurrentLibraryLocation();
    if (!lblLibraryFile) {
        lblLibraryFile = new QLabel(this);
        lblLibraryFile->setObjectName(QStringLiteral("lblLibraryFile"));
        lblLibraryFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
        statusBar()->addPermanentWidget(lblLibraryFile);
        connect(statusBar(), &QStatusBar::messageChanged, this, &frmVarrow::fitStatusMessage);
        m_statusMessage = statusBar()->currentMessage(); // shown before the line was watched
    }
    fitStatusMessage(m_statusMessage);
    lblLibraryFile->setToolTip(where.reason);
    // A long path must not make the window wider than the screen: the line shows what fits, the
    // tooltip and File > Library... the whole of it.
    lblLibraryFile->setMinimumWidth(1);
    lblLibraryFile->setAccessibleName(QStringLiteral("Library file"));
    lblLibraryFile->setAccessibleDescription(where.reason);
}

void frmVarrow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    fitStatusMessage(m_statusMessage);
    if (!m_loadReported) {
        m_loadReported = true;
        // After the window is on screen, so that the message stands in front of it.
        QMetaObject::invokeMethod(
            this, [this] { m_session->ReportLoad(); }, Qt::QueuedConnection);
    }
}

void frmVarrow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // A narrower line cuts a passing message again; a wider one shows more of it.
    if (!m_statusMessage.isEmpty())
        fitStatusMessage(m_statusMessage);
}

QString frmVarrow::PanelText(int index) const
{
    if (auto *line = qobject_cast<QLineEdit *>(txtFuels[index]))
        return line->text();
    return static_cast<QPlainTextEdit *>(txtFuels[index])->toPlainText();
}

void frmVarrow::setBoxText(int index, const QString &text)
{
    if (auto *line = qobject_cast<QLineEdit *>(txtFuels[index])) {
        line->setText(text);
        line->setCursorPosition(0); // long texts show their start
    } else
        static_cast<QPlainTextEdit *>(txtFuels[index])->setPlainText(text);
}

void frmVarrow::clearPanel()
{
    for (int i = 0; i < 17; ++i)
        setBoxText(i, QString());
}

void frmVarrow::showModel(const QString &setKey, const QString &modelKey)
{
    const auto set = gFMSets->Item(setKey);
    const auto fm = set->FuelModels()->Item(modelKey);
    txtFuelModelSet->setText(set->Name());
    txtFuelModelSet->setCursorPosition(0);
    setBoxText(1, fm->Description());
    setBoxText(0, fm->FuelModelID());
    const double numbers[13] = {fm->Loading1Hour(),
                                fm->Loading10Hour(),
                                fm->Loading100Hour(),
                                fm->LoadingLiveHerb(),
                                fm->LoadingLiveWoody(),
                                fm->SurfaceToVolume1Hour(),
                                fm->SurfaceToVolumeLiveHerb(),
                                fm->SurfaceToVolumeLiveWoody(),
                                fm->HeatContentDead(),
                                fm->HeatContentLiveHerb(),
                                fm->HeatContentLiveWoody(),
                                fm->BulkDensityDepth(),
                                fm->MoistureOfExtinction()};
    const Units::System system = Units::UnitSetting::instance().system();
    for (int i = 0; i < 13; ++i)
        setBoxText(i + 2, Units::FormatEntry(EntryQuantity(i + 2), system, numbers[i]));
    // A code outside the tables leaves the box as it was.
    if (const QString carrier = FuelCatText(fm->FuelCat()); !carrier.isEmpty())
        setBoxText(15, carrier);
    if (const QString herb = HerbTypeText(fm->HerbType()); !herb.isEmpty())
        setBoxText(16, herb);
}

void frmVarrow::treeFMs_NodeClick(const QString &)
{
    // The branch follows the tree's selection, not the node the event names.
    if (treeFMs->Count() == 0)
        return;
    const QString sel = treeFMs->SelectedKey();
    if (sel.isEmpty())
        return;
    m_editable = true;
    try {
        if (treeFMs->Tag(sel) == kSetTag) {
            txtFuelModelSet->setText(treeFMs->Text(sel));
            txtFuelModelSet->setCursorPosition(0);
            clearPanel();
            treeFMs->SetLabelEditAutomatic(true);
            if (IsLockedKey(sel))
                m_editable = false;
        } else {
            const QString parent = treeFMs->ParentKey(sel);
            showModel(parent, sel);
            treeFMs->SetLabelEditAutomatic(false);
            if (IsLockedKey(parent))
                m_editable = false;
        }
    } catch (const std::exception &) {
        // A node outside the node scheme shows what could be shown; nothing to repair here.
    }
    applyCommandStates(sel);
    showNotes();
    m_lastShown = sel;
}

void frmVarrow::treeFMs_Collapse(const QString &)
{
    RefreshFMs();
}

void frmVarrow::treeFMs_MouseDown(const QPoint &globalPos)
{
    // The menu acts on the node selected before the click.
    mnuFuelModel->popup(globalPos);
}

void frmVarrow::applyCommandStates(const QString &sel)
{
    LibraryCommandContext context;
    context.clipboardFull = !gPasteMode.isEmpty();
    context.readOnly = m_session->Store().ReadOnly();
    if (!sel.isEmpty() && treeFMs->Contains(sel)) {
        const bool isSet = treeFMs->Tag(sel) == kSetTag;
        context.selection = SelectionOf(isSet, IsLockedKey(isSet ? sel : treeFMs->ParentKey(sel)));
    }
    const LibraryCommandStates states = CommandStatesFor(context);
    const auto apply = [&](LibraryCommand command, auto *control) {
        control->setEnabled(CommandEnabled(states, command));
    };
    apply(LibraryCommand::NewSet, cmdNewSet);
    apply(LibraryCommand::DeleteSet, cmdDelete[0]);
    apply(LibraryCommand::RenameSet, cmdRename);
    apply(LibraryCommand::Copy, cmdCopy);
    apply(LibraryCommand::Cut, cmdCut);
    apply(LibraryCommand::Paste, cmdPaste);
    apply(LibraryCommand::NewModel, cmdNewFM);
    apply(LibraryCommand::DeleteModel, cmdDelete[1]);
    apply(LibraryCommand::Edit, cmdEditSave);
    apply(LibraryCommand::MenuCut, mnuCutModelPU);
    apply(LibraryCommand::MenuCopy, mnuCopyModelPU);
    apply(LibraryCommand::MenuPaste, mnuPasteModelPU);
    apply(LibraryCommand::MenuDeleteModel, mnuDeleteModelPU);
    apply(LibraryCommand::MenuNewModel, mnuNewModelPU);
    apply(LibraryCommand::MenuNewSet, mnuNewSetPU);
    apply(LibraryCommand::MenuDeleteSet, mnuDeleteSetPU);
    apply(LibraryCommand::MenuRenameSet, mnuRenameSetPU);
    apply(LibraryCommand::MenuEdit, mnuEditPU);
    apply(LibraryCommand::Default, cmdDefault);
    apply(LibraryCommand::Close, cmdClose);
}

void frmVarrow::setPasteEnabled(bool enabled)
{
    if (m_session->Store().ReadOnly())
        enabled = false;
    cmdPaste->setEnabled(enabled);
    mnuPasteModelPU->setEnabled(enabled);
}

void frmVarrow::RefreshFMs()
{
    treeFMs_NodeClick(treeFMs->SelectedKey());
}

void frmVarrow::cmdCopy_Click()
{
    m_session->Run(QStringLiteral("COPY"), modelInEditor());
    // The marker comes first, so the paste commands show what the clipboard now holds.
    gPasteMode = QStringLiteral("Copy");
    RefreshFMs();
}

void frmVarrow::cmdCut_Click()
{
    m_session->Cut(modelInEditor());
    // The selection may have moved to a neighbour; the commands must follow it.
    RefreshFMs();
}

void frmVarrow::cmdPaste_Click()
{
    const QString mode = gPasteMode;
    const int nodes = treeFMs->Count();
    m_session->Run(QStringLiteral("PASTE"), modelInEditor());
    // A copy stays on the clipboard until the next Copy or Cut, so it can be pasted again; a
    // cut model is pasted once, and stays only while its paste was cancelled.
    if (mode != QLatin1String("Copy") && treeFMs->Count() != nodes) {
        setPasteEnabled(false);
        gPasteMode.clear();
    }
    RefreshFMs();
    // An editor left open by "New Blank Model" keeps the model it shows: pointing it at the
    // pasted model would let its Save write one model's entries into another.
}

void frmVarrow::cmdDelete_Click(int)
{
    // The index is not used: the selected node decides between a set and a model.
    m_session->Run(QStringLiteral("DELETE"), modelInEditor());
    RefreshFMs();
    if (treeFMs->Count() == 0) {
        txtFuelModelSet->clear();
        clearPanel();
        applyCommandStates(QString());
    }
}

void frmVarrow::cmdNewSet_Click()
{
    RefreshFMs();
    m_session->Run(QStringLiteral("ADDSET"), modelInEditor());
    // In an empty library the new set is the one to work on.
    if (treeFMs->SelectedKey().isEmpty() && treeFMs->Count() > 0) {
        treeFMs->SetSelectedKey(treeFMs->KeyAt(1));
        RefreshFMs();
    }
}

void frmVarrow::cmdNewFM_Click()
{
    if (m_editor) {
        // One editor at a time; the open one may hold entries not yet saved.
        m_prompts->Message(QStringLiteral("Please close the Edit and Test Center before making another model."),
                           AppTitle(), IPrompts::Icon::Exclamation);
        m_editor->raise();
        m_editor->activateWindow();
        return;
    }
    const int nodes = treeFMs->Count();
    m_session->Run(QStringLiteral("AddModel"), modelInEditor());
    RefreshFMs();
    // Only a model just made is opened as the new one (no key left makes none).
    if (treeFMs->Count() > nodes)
        openEditor(true);
}

void frmVarrow::cmdEditSave_Click()
{
    openEditor(false);
}

void frmVarrow::openEditor(bool newModel)
{
    const QString sel = treeFMs->SelectedKey();
    if (sel.isEmpty() || m_editor || treeFMs->Tag(sel) == kSetTag)
        return;
    const auto fm = gFMSets->Item(treeFMs->ParentKey(sel))->FuelModels()->Item(sel);
    // The program's factory adds the tuner windows (app/main.cpp); without one the editor
    // stands alone.
    m_editor = m_editorFactory ? m_editorFactory(this, m_prompts) : new frmEditModel(this, m_prompts);
    m_session->StartEdit(fm);
    updateUndoActions();
    m_editor->Open(fm, (newModel || m_editable) && !m_session->Store().ReadOnly());
    if (newModel) {
        // The blank model is already in the library; there is nothing to cancel back to.
        m_editor->cmdCancel()->setEnabled(false);
    } else {
        setEnabled(false);
    }
}

void frmVarrow::cmdRename_Click()
{
    treeFMs->StartLabelEdit();
}

void frmVarrow::cmdDefault_Click()
{
    const QString name = txtFuelModelSet->text();
    if (name.isEmpty())
        return;
    if (m_prompts->AskYesNo(QStringLiteral("Do you wish to make ") + name +
                                QStringLiteral("\rthe default Larkfield fuel model set?"),
                            AppTitle(), IPrompts::Icon::Question)) {
        QString error;
        if (!WriteDefaultSetName(name, &error))
            m_prompts->Message(QStringLiteral("The default Larkfield fuel model set could not be stored.\r") + error,
                               AppTitle(), IPrompts::Icon::Exclamation);
    }
}

void frmVarrow::cmdClose_Click()
{
    close();
}

void frmVarrow::closeEvent(QCloseEvent *event)
{
    // An open editor goes first: it may ask about its entries, save them into the library, or
    // keep the program open.
    if (m_editor && m_editor->isVisible() && !m_editor->close()) {
        event->ignore();
        return;
    }
    if (!m_session->SaveOnClose()) {
        event->ignore();
        return;
    }
    event->accept();
    saveWindowLayout();
    // The program ends with this window.
    if (m_editor)
        m_editor->close();
}

bool frmVarrow::treeFMs_BeforeLabelEdit(const QString &key)
{
    // Locked sets keep their names; a library open read-only keeps every name.
    return !IsLockedKey(key) && !m_session->Store().ReadOnly();
}

bool frmVarrow::treeFMs_AfterLabelEdit(const QString &key, const QString &newText)
{
    const SetRenameCheck check = CheckSetRename(*treeFMs, key, newText);
    switch (check.outcome) {
    case SetRenameCheck::Unchanged:
        return false;
    case SetRenameCheck::Taken:
        m_prompts->Beep();
        m_prompts->Message(check.message, AppTitle(), IPrompts::Icon::None);
        return false;
    case SetRenameCheck::Unstorable:
        m_prompts->Message(check.message, AppTitle(), IPrompts::Icon::Exclamation);
        // Asked again: the name is edited once more.
        QMetaObject::invokeMethod(
            this,
            [this, key, newText] {
                if (treeFMs->Contains(key) && treeFMs->SelectedKey() == key)
                    treeFMs->StartLabelEdit(newText);
            },
            Qt::QueuedConnection);
        return false;
    case SetRenameCheck::Accept:
        break;
    }
    m_session->RenameSet(key, newText);
    return true;
}

QString frmVarrow::SetNameText() const
{
    return txtFuelModelSet->text();
}

void frmVarrow::SetNodeText(const QString &key, const QString &text)
{
    if (treeFMs->Contains(key))
        treeFMs->SetText(key, text);
}

bool frmVarrow::SaveLibrary(QString *error)
{
    return m_session->SaveEdit(error);
}

frmEditModel *frmVarrow::Editor() const
{
    return m_editor;
}

void frmVarrow::EditorClosed()
{
    setEnabled(true);
    if (m_editor)
        m_editor->deleteLater();
    m_editor = nullptr;
    m_session->EndEdit();
    updateUndoActions();
}
