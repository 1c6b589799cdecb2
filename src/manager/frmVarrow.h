#pragma once

#include "data/IPrompts.h"
#include "library/LibraryHistory.h"
#include "library/LibrarySession.h"
#include "testcenter/IEditorOwner.h"

#include <QMainWindow>

class QTabWidget;
class QPlainTextEdit;
#include <QPointer>

#include <functional>
#include <memory>

class FMTree;
class frmEditModel;
class ImageList;
class QAction;
class QLabel;
class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QSplitter;
class UserGuideWindow;
struct ImportedSet;
struct FmdExportItem;
struct OrphanNotesItem;

// The start-up window: the library as a tree of sets and models, the parameters of the
// selected model, and the library commands. It decides which commands a selection allows (the
// only guard of locked sets) and hands every change of the library to its library session, which
// writes the library after every change and whenever the window closes, however it is closed.
//
// It owns the tree, the panel and the library session (the store, the history and what is done
// when the file changed from outside). Every question goes through the IPrompts it is given
// (real dialogs unless a test passes its own). A library that cannot be read or
// written is reported to the user; the window keeps working on what it holds in memory.
class frmVarrow : public QMainWindow, public IEditorOwner
{
    Q_OBJECT
public:
    // prompts: nullptr for the real dialogs. The library file is LibraryFilePath().
    explicit frmVarrow(IPrompts *prompts = nullptr, QWidget *parent = nullptr);
    ~frmVarrow() override;

    // IEditorOwner
    QString SetNameText() const override;
    void SetNodeText(const QString &key, const QString &text) override;
    void RefreshFMs() override;
    // Captions of the parameter panel in the units the program shows (the unit setting).
    void ShowUnits();
    bool SaveLibrary(QString *error) override;
    void EditorClosed() override;

    // The panel box text of index 0 to 16 (box 1 is multi-line).
    QString PanelText(int index) const;
    // True while the selection may be changed (not a locked set or a model of one).
    bool Editable() const { return m_editable; }
    FMTree *Tree() const { return treeFMs; }
    QMenu *PopupMenu() const { return mnuFuelModel; }
    const LibraryStore &Store() const { return m_session->Store(); }
    LibrarySession &Session() { return *m_session; }
    // The library is open in another copy and the user chose to quit rather than read it only.
    bool QuitAtStart() const { return m_quitAtStart; }
    bool ReadOnly() const { return m_session->ReadOnly(); }
    // The open Edit and Test Center, or null.
    frmEditModel *Editor() const;
    // Makes the editor window when one is opened (the program gives the editor with its tuners,
    // NewEditorWithTuners); without a factory the editor stands alone.
    using EditorFactory = std::function<frmEditModel *(IEditorOwner *owner, IPrompts *prompts)>;
    void SetEditorFactory(EditorFactory factory) { m_editorFactory = std::move(factory); }

    FMTree *treeFMs;
    // The tree's frame and the panel's, side by side.
    QSplitter *splMain = nullptr;
    ImageList *imlIcons;
    QPushButton *cmdNewSet;
    QPushButton *cmdDelete[2];
    QPushButton *cmdRename;
    QPushButton *cmdCopy;
    QPushButton *cmdPaste;
    QPushButton *cmdCut;
    QPushButton *cmdNewFM;
    QLineEdit *txtFuelModelSet;
    QWidget *txtFuels[17];
    QPushButton *cmdDefault;
    QPushButton *cmdEditSave;
    QPushButton *cmdClose;
    QComboBox *cboUnits = nullptr; // English or metric, for the whole program
    QMenu *mnuFuelModel;
    QAction *mnuCutModelPU;
    QAction *mnuCopyModelPU;
    QAction *mnuPasteModelPU;
    QAction *mnuDeleteModelPU;
    QAction *mnuNewModelPU;
    QAction *mnuNewSetPU;
    QAction *mnuDeleteSetPU;
    QAction *mnuRenameSetPU;
    QAction *mnuEditPU;
    // The Notes tab beside the parameters (frmVarrowNotes.cpp): what is known of the selected
    // model (source, author, notes, its last history entries) or set (description, owner, notes).
    QTabWidget *tabPanel = nullptr;
    QLabel *lblNotesSource = nullptr;
    QLabel *lblNotesAuthor = nullptr;
    QLineEdit *txtNotesSource = nullptr;
    QLineEdit *txtNotesAuthor = nullptr;
    QPlainTextEdit *txtNotes = nullptr;
    QPlainTextEdit *txtNotesHistory = nullptr;
    QPushButton *cmdSaveNotes = nullptr;
    // In the status line: the library file of this run and why that one.
    QLabel *lblLibraryFile = nullptr;
    // Ways in and out of the library (frmVarrowExchange.cpp).
    QAction *actImportCustomModels = nullptr;
    QAction *actExportCustomModels = nullptr;
    QAction *actImportSets = nullptr;
    QAction *actExportSetCsv = nullptr;

    // The menu bar (frmVarrowMenus.cpp); new commands join these menus there.
    QMenu *mnuFile;
    QMenu *mnuEdit;
    QMenu *mnuTools;
    QMenu *mnuHelp;
    QAction *actRestoreBackup;
    QAction *actLibraryInfo;
    QAction *actQuit;
    QAction *actUndo;
    QAction *actRedo;
    QAction *actCut;
    QAction *actCopy;
    QAction *actPaste;
    QAction *actDelete;
    QAction *actRename;
    QAction *actNewSet;
    QAction *actNewModel;
    QAction *actEditor;
    QAction *actDefaultSet;
    QMenu *mnuUnits;
    QAction *actUnitsEnglish;
    QAction *actUnitsMetric;
    QAction *actUserGuide;
    QAction *actAbout;
    // The history of library changes, for the whole run.
    LibraryUndoStack *UndoStack() const { return &m_session->History(); }
    // A library change made by a command outside the buttons (an import, a restore) as one step
    // of the history, named name ("Import 'Field.fmd'"): change() alters gFMSets and the tree
    // (through Tree()) and returns false when it changed nothing; the library is then written
    // and the step pushed, so that Undo and Redo take it back and make it again. Refused (false,
    // change not called) while the library is read-only.
    bool ApplyLibraryChange(const QString &name, const std::function<bool()> &change);

public slots:
    void treeFMs_NodeClick(const QString &key);
    void treeFMs_Collapse(const QString &key);
    void treeFMs_MouseDown(const QPoint &globalPos);
    void cmdCopy_Click();
    void cmdCut_Click();
    void cmdPaste_Click();
    void cmdDelete_Click(int index);
    void cmdNewSet_Click();
    void cmdNewFM_Click();
    void cmdEditSave_Click();
    void cmdRename_Click();
    void cmdDefault_Click();
    void cmdClose_Click();
    void ExportCustomModels();
    void ImportCustomModels();
    void ImportSetsFromLibrary();
    void ExportSetCsv();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildWindow();
    void buildPopupMenu();
    // The window's place and size and the splitter's, kept in the settings at every close.
    void saveWindowLayout();
    void buildMenuBar();
    void showUserGuide();
    void showAbout();
    void restoreFromBackup();
    void showLibraryInfo();
    // The history of library changes (frmVarrowHistory.cpp).
    void buildHistory();
    bool canUseHistory() const;
    void updateUndoActions();
    void afterLibraryReplaced();
    // The key of the model open in the editor, or empty.
    QString modelInEditor() const;
    void makePanelReadOnly();
    QWidget *buildNotesPage(QWidget *parent);
    void showNotes();
    void cmdSaveNotes_Click();
    void Form_Load();
    void showModel(const QString &setKey, const QString &modelKey);
    void clearPanel();
    void setBoxText(int index, const QString &text);
    void applyCommandStates(const QString &selectedKey);
    void setPasteEnabled(bool enabled);
    void openEditor(bool newModel);
    bool treeFMs_BeforeLabelEdit(const QString &key);
    bool treeFMs_AfterLabelEdit(const QString &key, const QString &newText);
    void showLibraryLocation();
    // The orphaned notes as File > Library... lists them: models first, then sets.
    QList<OrphanNotesItem> orphanNotesItems() const;
    // A passing message and the library file share the status line: while a message shows, the
    // library is named by its file alone and a message too long for the room left is cut in
    // its middle, whole in the line's tooltip.
    void fitStatusMessage(const QString &message);
    void buildExchangeActions();
    // Adds the sets of an import as one step of the history; false when it failed (reported).
    bool addImportedSets(const QList<ImportedSet> &sets, const QString &changeName);
    // Records in each exported model's history the number it has in the custom model file.
    void recordExport(const QString &path, const QByteArray &bytes, const QList<FmdExportItem> &items);
    // True, with a message, when the library is open read-only and cannot take an import.
    bool refuseReadOnlyImport();
    QString chooseFile(bool save, const QString &caption, const QString &filter);

    std::unique_ptr<IPrompts> m_ownPrompts;
    IPrompts *m_prompts;
    std::unique_ptr<LibrarySession> m_session;
    bool m_loadReported = false;
    bool m_editable = true;
    QString m_lastShown;
    EditorFactory m_editorFactory;
    QPointer<frmEditModel> m_editor;
    QAction *m_fileLibrarySection = nullptr;
    QPointer<UserGuideWindow> m_userGuide;
    bool m_fittingStatus = false;
    // The passing message as given, before it is fitted to the status line.
    QString m_statusMessage;
    bool m_quitAtStart = false;
};
