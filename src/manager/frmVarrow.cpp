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
#include <QResizeEvent>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QUndoStack>

#ifndef VARROW_VERSION
#define VARROW_VERSION "0.0.0"
#endif


frmVarrow::frmVarrow(IPrompts *prompts, QWidget *parent)
    : QMainWindow(parent), m_prompts(prompts), m_store(std::make_unique<LibraryStore>())
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
    // The stack clears itself as it goes, after the menus and their actions are gone.
    if (m_undoStack)
        m_undoStack->disconnect(this);
}

void frmVarrow::Form_Load()
{
    setWindowTitle(windowTitle() + QStringLiteral(", Version - ") + QStringLiteral(VARROW_VERSION));
    chooseLibraryFile();
    m_load = m_store->Load(*treeFMs);
    RememberLibraryUsed(CurrentProgramFolder(), m_store->Path());
    if (m_load.openElsewhere)
        askOpenElsewhere();
    else if (!m_load.cannotWrite.isEmpty())
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
    if (m_load.kind == LibraryStore::LoadResult::Created)
        statusBar()->showMessage(m_load.message);
    showLibraryLocation();
    updateUndoActions();
}

void frmVarrow::chooseLibraryFile()
{
    const LibraryLocation &where = CurrentLibraryLocation();
    if (where.previousPath.isEmpty())
        return;
    const auto described = [](const QString &path) {
        return QStringLiteral("%1\r(%2)").arg(QDir::toNativeSeparators(path), DescribeLibraryFile(path));
    };
    const QString lastTime = where.nothingRemembered
                                 ? QStringLiteral("This program has no record of the library file it used before. "
                                                  "Two library files could be its own:\r\rThe file beside the "
                                                  "program:\r%1")
                                 : QStringLiteral("The library file this program used last time is another one than "
                                                  "it would use now.\r\rUsed last time:\r%1");
    const bool useNew = m_prompts->AskYesNo(
        lastTime.arg(described(where.previousPath)) +
            QStringLiteral("\r\rTo be used now:\r%1\r%2\r\rYes: use the file to be used now.\rNo: keep using %3.")
                .arg(described(where.path), where.reason,
                     where.nothingRemembered ? QStringLiteral("the file beside the program")
                                             : QStringLiteral("the file used last time")),
        AppTitle(), IPrompts::Icon::Question);
    if (!useNew)
        KeepPreviousLibrary();
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
        QMetaObject::invokeMethod(this, &frmVarrow::reportLoad, Qt::QueuedConnection);
    }
}

void frmVarrow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // A narrower line cuts a passing message again; a wider one shows more of it.
    if (!m_statusMessage.isEmpty())
        fitStatusMessage(m_statusMessage);
}

void frmVarrow::reportLoad()
{
    // Moving to another file is never silent.
    if (CurrentLibraryLocation().copiedNow)
        m_prompts->Message(CurrentLibraryLocation().reason, AppTitle(), IPrompts::Icon::Information);
    if (m_load.kind == LibraryStore::LoadResult::Failed || m_load.kind == LibraryStore::LoadResult::CreateFailed)
        m_prompts->Message(m_load.message, AppTitle(), IPrompts::Icon::Exclamation);
    if (!m_load.warning.isEmpty())
        m_prompts->Message(QStringLiteral("The library file\r%1\rwas read, but %2")
                               .arg(QDir::toNativeSeparators(m_store->Path()), m_load.warning),
                           AppTitle(), IPrompts::Icon::Exclamation);
    if (!m_load.openElsewhere && !m_load.cannotWrite.isEmpty())
        m_prompts->Message(QStringLiteral("The library file\r%1\rcannot be written here: %2.\r\rIt is open read-only: "
                                          "the sets and models can be looked at and copied, but nothing can be "
                                          "changed or saved.")
                               .arg(QDir::toNativeSeparators(m_store->Path()), m_load.cannotWrite),
                           AppTitle(), IPrompts::Icon::Exclamation);
    if (!m_load.openElsewhere && !m_load.shareWarning.isEmpty())
        m_prompts->Message(m_load.shareWarning + QStringLiteral("\r\rChanges are saved all the same; to keep the file "
                                                                 "shared, close the program and ask its owner or an "
                                                                 "administrator."),
                           AppTitle(), IPrompts::Icon::Exclamation);
    if (!m_load.notesMessage.isEmpty())
        m_prompts->Message(m_load.notesMessage, AppTitle(), IPrompts::Icon::Information);
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
    const double numbers[13] = {fm->Loading1Hour(),         fm->Loading10Hour(),
                                fm->Loading100Hour(),       fm->LoadingLiveHerb(),
                                fm->LoadingLiveWoody(),     fm->SurfaceToVolume1Hour(),
                                fm->SurfaceToVolumeLiveHerb(), fm->SurfaceToVolumeLiveWoody(),
                                fm->HeatContentDead(),      fm->HeatContentLiveHerb(),
                                fm->HeatContentLiveWoody(), fm->BulkDensityDepth(),
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
    context.readOnly = m_store->ReadOnly();
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

void frmVarrow::askOpenElsewhere()
{
    const QString question =
        m_load.staleLock
            ? QStringLiteral("The library file\r%1\rcannot be locked for this copy of Varrow: its lock file is %2.\r\r"
                             "Yes: open it here read-only (nothing can be changed or saved).\rNo: quit.")
            : QStringLiteral("The library file\r%1\ris open in another copy of Varrow (%2), which saves every change "
                             "to it.\r\rYes: open it here read-only (nothing can be changed or saved).\rNo: quit.");
    const bool readOnly = m_prompts->AskYesNo(question.arg(QDir::toNativeSeparators(m_store->Path()), m_load.holder),
                                              AppTitle(), IPrompts::Icon::Question);
    m_store->SetReadOnly(true);
    if (!readOnly)
        m_quitAtStart = true;
    else
        setWindowTitle(windowTitle() + QStringLiteral(" (read-only)"));
}

void frmVarrow::setPasteEnabled(bool enabled)
{
    if (m_store->ReadOnly())
        enabled = false;
    cmdPaste->setEnabled(enabled);
    mnuPasteModelPU->setEnabled(enabled);
}

void frmVarrow::RefreshFMs()
{
    treeFMs_NodeClick(treeFMs->SelectedKey());
}

void frmVarrow::dispatch(const QString &action)
{
    // Every action that changes the library becomes one step of the history.
    const QString word = action.toUpper();
    const bool changes = word != QLatin1String("COPY");
    LibrarySnapshot before;
    if (changes)
        before = captureLibrary();
    EditContext ctx{*treeFMs, *m_prompts, [this] { setPasteEnabled(true); }, [this] { saveLibrary(true); },
                    m_editor && m_editor->EditFM() ? m_editor->EditFM()->Key() : QString()};
    try {
        EditAction(ctx, action);
    } catch (const std::exception &e) {
        m_prompts->Message(QStringLiteral("The command could not be completed. ") + UserMessageOf(e),
                           AppTitle(), IPrompts::Icon::Critical);
    }
    if (changes) {
        LibrarySnapshot after = captureLibrary();
        const QString name = changeName(word, before, after);
        recordChange(name, std::move(before), std::move(after));
    }
}

bool frmVarrow::saveLibrary(bool tellUser)
{
    QString reason;
    const bool ok = m_store->Save(&reason);
    if (!ok && m_store->ChangedOutside()) {
        // Settled by the action's caller, which knows what the change was.
        m_outsidePending = true;
        return false;
    }
    if (!ok && tellUser && !m_store->ReadOnly())
        m_prompts->Message(reason + QStringLiteral("\r\rYour changes are kept in the program and are saved with "
                                                   "the next successful save."),
                           AppTitle(), IPrompts::Icon::Exclamation);
    if (ok)
        statusBar()->clearMessage();
    // Only what happened: the backup's trouble, and whether the library itself was saved.
    if (const QString backup = m_store->TakeBackupError(); !backup.isEmpty())
        statusBar()->showMessage(backup + (ok ? QStringLiteral(" The library itself was saved; the backup is tried "
                                                               "again before the next save.")
                                              : QStringLiteral(" The library could not be saved either.")));
    return ok;
}

void frmVarrow::cmdCopy_Click()
{
    dispatch(QStringLiteral("COPY"));
    // The marker comes first, so the paste commands show what the clipboard now holds.
    gPasteMode = QStringLiteral("Copy");
    RefreshFMs();
}

void frmVarrow::cmdCut_Click()
{
    const QString cut = treeFMs->SelectedKey();
    const auto copyNode = gCopyNode;
    const auto clipFM = gClipFM;
    const QString mode = gPasteMode;
    dispatch(QStringLiteral("COPY"));
    m_cutting = true;
    dispatch(QStringLiteral("DELETE"));
    m_cutting = false;
    if (!cut.isEmpty() && treeFMs->Contains(cut)) {
        // Not deleted (answered No, or refused): nothing was cut, and the clipboard holds what
        // it held before.
        gCopyNode = copyNode;
        gClipFM = clipFM;
        gPasteMode = mode;
    } else {
        gPasteMode = QStringLiteral("Cut");
    }
    // The selection may have moved to a neighbour; the commands must follow it.
    RefreshFMs();
}

void frmVarrow::cmdPaste_Click()
{
    const QString mode = gPasteMode;
    const int nodes = treeFMs->Count();
    dispatch(QStringLiteral("PASTE"));
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
    dispatch(QStringLiteral("DELETE"));
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
    dispatch(QStringLiteral("ADDSET"));
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
    dispatch(QStringLiteral("AddModel"));
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
    startEditBaseline(fm);
    m_editor->Open(fm, (newModel || m_editable) && !m_store->ReadOnly());
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
    // However the window is closed, the file is left holding every change.
    QString reason;
    if (m_store->NeedsSaveOnClose() && !m_store->Save(&reason)) {
        if (m_store->ChangedOutside()) {
            // Nothing of this run is unsaved but what the other program's version lacks.
            if (m_prompts->AskYesNo(QStringLiteral("The library file\r%1\rwas changed by another program. Keep the "
                                                   "library shown here in it? (The other version is first kept as "
                                                   "a backup.)\r\rNo leaves the file as the other program wrote it.")
                                        .arg(QDir::toNativeSeparators(m_store->Path())),
                                    AppTitle(), IPrompts::Icon::Question) &&
                m_store->KeepOurs(&reason).isEmpty() &&
                !m_prompts->AskYesNo(reason + QStringLiteral("\r\rClose anyway?"), AppTitle(),
                                     IPrompts::Icon::Exclamation)) {
                event->ignore();
                return;
            }
        } else if (!m_prompts->AskYesNo(reason + QStringLiteral("\r\rClose anyway? The changes not saved will be lost."),
                                        AppTitle(), IPrompts::Icon::Exclamation)) {
            event->ignore();
            return;
        }
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
    return !IsLockedKey(key) && !m_store->ReadOnly();
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
    LibrarySnapshot before = captureLibrary();
    const QString oldName = gFMSets->Item(key)->Name();
    gFMSets->Item(key)->setName(newText);
    RecordSetRename(gLibraryNotes, *gFMSets->Item(key), oldName, newText);
    treeFMs->SetText(key, newText);
    // The click that ended the edit may have selected another node by now: the panel shows
    // whatever is selected, never merely the set just renamed.
    RefreshFMs();
    // Saved at once, so that no way of leaving the program loses the new name.
    saveLibrary(true);
    recordChange(QStringLiteral("Rename Set '%1' to '%2'").arg(oldName, newText), std::move(before), captureLibrary());
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
    // The model's history lists exactly what this Save changed.
    if (m_editModel)
        if (const QList<ValueChange> changes = ModelChanges(m_editBaseline, *m_editModel); !changes.isEmpty())
            gLibraryNotes.Record(m_editModel, SavedEntry(NotesNow(), changes));
    QString reason;
    bool ok = m_store->Save(&reason);
    if (ok)
        recordEditorSave();
    else if (m_store->ChangedOutside())
        ok = resolveEditorSaveOutside();
    if (!ok && error)
        *error = reason;
    return ok;
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
    m_editModel.reset();
    updateUndoActions();
}
