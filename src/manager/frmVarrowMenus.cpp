#include "manager/frmVarrow.h"

#include "library/LibraryLocation.h"
#include "manager/UserGuideWindow.h"
#include "units/UnitSetting.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#ifndef VARROW_VERSION
#define VARROW_VERSION "0.0.0"
#endif

// The main window's menu bar: File, Edit, Tools and Help. Its items run the same handlers as
// the buttons and carry the window's keyboard shortcuts (standard key sequences where the
// platform has one). An item that stands for buttons is enabled exactly while one of them is,
// so the command tables of the buttons stay the only place that decides what a selection allows.

namespace {

// Keeps an action enabled while any of the watched widgets is enabled.
class EnabledMirror : public QObject
{
public:
    EnabledMirror(QAction *action, QList<QWidget *> sources) : QObject(action), m_action(action), m_sources(sources)
    {
        for (QWidget *w : m_sources)
            w->installEventFilter(this);
        update();
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::EnabledChange)
            update();
        return QObject::eventFilter(watched, event);
    }

private:
    void update()
    {
        bool any = false;
        for (QWidget *w : m_sources)
            any = any || w->isEnabledTo(w->window());
        m_action->setEnabled(any);
    }

    QAction *m_action;
    QList<QWidget *> m_sources;
};

QAction *menuAction(QMenu *menu, const QString &caption, const QString &name, const QList<QKeySequence> &keys = {})
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(name);
    a->setShortcuts(keys);
    return a;
}

// The platform's keys for a standard command, with extra ones every user expects.
QList<QKeySequence> standardKeys(QKeySequence::StandardKey key, const QList<QKeySequence> &extra = {})
{
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    for (const QKeySequence &k : extra)
        if (!keys.contains(k))
            keys << k;
    return keys;
}

} // namespace

void frmVarrow::buildMenuBar()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));

    // File. Commands that bring libraries in or take them out go above Restore and Library.
    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    m_fileLibrarySection = mnuFile->addSeparator();
    actRestoreBackup =
        menuAction(mnuFile, QStringLiteral("&Restore from backup..."), QStringLiteral("actRestoreBackup"));
    connect(actRestoreBackup, &QAction::triggered, this, &frmVarrow::restoreFromBackup);
    actLibraryInfo = menuAction(mnuFile, QStringLiteral("&Library..."), QStringLiteral("actLibraryInfo"));
    connect(actLibraryInfo, &QAction::triggered, this, &frmVarrow::showLibraryInfo);
    mnuFile->addSeparator();
    actQuit = menuAction(mnuFile, QStringLiteral("&Quit"), QStringLiteral("actQuit"),
                         standardKeys(QKeySequence::Quit, {QKeySequence(Qt::CTRL | Qt::Key_Q)}));
    actQuit->setMenuRole(QAction::QuitRole);
    connect(actQuit, &QAction::triggered, this, &frmVarrow::cmdClose_Click);

    // Edit: undo and redo, then the library commands of the buttons.
    mnuEdit = bar->addMenu(QStringLiteral("&Edit"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    actUndo = new QAction(QStringLiteral("&Undo"), this);
    actUndo->setObjectName(QStringLiteral("actUndo"));
    actUndo->setShortcuts(standardKeys(QKeySequence::Undo));
    actRedo = new QAction(QStringLiteral("&Redo"), this);
    actRedo->setObjectName(QStringLiteral("actRedo"));
    actRedo->setShortcuts(standardKeys(
        QKeySequence::Redo, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}));
    mnuEdit->addAction(actUndo);
    mnuEdit->addAction(actRedo);
    mnuEdit->addSeparator();
    actCut =
        menuAction(mnuEdit, QStringLiteral("Cu&t Model"), QStringLiteral("actCut"), standardKeys(QKeySequence::Cut));
    actCopy =
        menuAction(mnuEdit, QStringLiteral("&Copy Model"), QStringLiteral("actCopy"), standardKeys(QKeySequence::Copy));
    actPaste = menuAction(mnuEdit, QStringLiteral("&Paste Model"), QStringLiteral("actPaste"),
                          standardKeys(QKeySequence::Paste));
    actDelete =
        menuAction(mnuEdit, QStringLiteral("&Delete"), QStringLiteral("actDelete"), standardKeys(QKeySequence::Delete));
    mnuEdit->addSeparator();
    actRename = menuAction(mnuEdit, QStringLiteral("&Rename Set"), QStringLiteral("actRename"), {Qt::Key_F2});
    actNewSet = menuAction(mnuEdit, QStringLiteral("&New Set..."), QStringLiteral("actNewSet"),
                           {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N)});
    actNewModel = menuAction(mnuEdit, QStringLiteral("New &Blank Model"), QStringLiteral("actNewModel"),
                             standardKeys(QKeySequence::New));

    // Tools.
    mnuTools = bar->addMenu(QStringLiteral("&Tools"));
    mnuTools->setObjectName(QStringLiteral("mnuTools"));
    actEditor = menuAction(mnuTools, QStringLiteral("&Edit and Test Center"), QStringLiteral("actEditor"),
                           {QKeySequence(Qt::CTRL | Qt::Key_E)});
    actDefaultSet = menuAction(mnuTools, QStringLiteral("&Default Set..."), QStringLiteral("actDefaultSet"));
    // Units: the same program-wide setting as the Units box below the tree and the editor's.
    mnuUnits = mnuTools->addMenu(QStringLiteral("&Units"));
    mnuUnits->setObjectName(QStringLiteral("mnuUnits"));
    auto *unitChoice = new QActionGroup(mnuUnits);
    actUnitsEnglish =
        menuAction(mnuUnits, QStringLiteral("&English (t/ac, ft, mi/h)"), QStringLiteral("actUnitsEnglish"));
    actUnitsMetric = menuAction(mnuUnits, QStringLiteral("&Metric (t/ha, m, km/h)"), QStringLiteral("actUnitsMetric"));
    for (QAction *a : {actUnitsEnglish, actUnitsMetric}) {
        a->setCheckable(true);
        unitChoice->addAction(a);
    }
    const auto showUnits = [this](Units::System s) {
        (s == Units::System::Metric ? actUnitsMetric : actUnitsEnglish)->setChecked(true);
    };
    showUnits(Units::UnitSetting::instance().system());
    connect(&Units::UnitSetting::instance(), &Units::UnitSetting::changed, this, showUnits);
    connect(actUnitsEnglish, &QAction::triggered, this,
            [] { Units::UnitSetting::instance().setSystem(Units::System::English); });
    connect(actUnitsMetric, &QAction::triggered, this,
            [] { Units::UnitSetting::instance().setSystem(Units::System::Metric); });

    // Help.
    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    actUserGuide = menuAction(mnuHelp, QStringLiteral("&User Guide"), QStringLiteral("actUserGuide"),
                              standardKeys(QKeySequence::HelpContents, {QKeySequence(Qt::Key_F1)}));
    actAbout = menuAction(mnuHelp, QStringLiteral("&About Varrow"), QStringLiteral("actAbout"));
    actAbout->setMenuRole(QAction::AboutRole);

    const std::pair<QAction *, QList<QWidget *>> mirrors[] = {
        {actCut, {cmdCut}},           {actCopy, {cmdCopy}},
        {actPaste, {cmdPaste}},       {actDelete, {cmdDelete[0], cmdDelete[1]}},
        {actRename, {cmdRename}},     {actNewSet, {cmdNewSet}},
        {actNewModel, {cmdNewFM}},    {actEditor, {cmdEditSave}},
        {actDefaultSet, {cmdDefault}}};
    for (const auto &[action, sources] : mirrors)
        new EnabledMirror(action, sources);

    connect(actCut, &QAction::triggered, this, &frmVarrow::cmdCut_Click);
    connect(actCopy, &QAction::triggered, this, &frmVarrow::cmdCopy_Click);
    connect(actPaste, &QAction::triggered, this, &frmVarrow::cmdPaste_Click);
    connect(actDelete, &QAction::triggered, this, [this] { cmdDelete_Click(cmdDelete[0]->isEnabled() ? 0 : 1); });
    connect(actRename, &QAction::triggered, this, &frmVarrow::cmdRename_Click);
    connect(actNewSet, &QAction::triggered, this, &frmVarrow::cmdNewSet_Click);
    connect(actNewModel, &QAction::triggered, this, &frmVarrow::cmdNewFM_Click);
    connect(actEditor, &QAction::triggered, this, &frmVarrow::cmdEditSave_Click);
    connect(actDefaultSet, &QAction::triggered, this, &frmVarrow::cmdDefault_Click);
    connect(actUserGuide, &QAction::triggered, this, &frmVarrow::showUserGuide);
    connect(actAbout, &QAction::triggered, this, &frmVarrow::showAbout);
    buildHistory();
}

void frmVarrow::showUserGuide()
{
    if (!m_userGuide)
        m_userGuide = new UserGuideWindow(this);
    m_userGuide->show();
    m_userGuide->raise();
    m_userGuide->activateWindow();
}

void frmVarrow::showAbout()
{
    const QString text = QStringLiteral("Varrow %1\r\rKeeps, edits and tests surface fire behavior fuel models.\r\r"
                                        "Library file (%3):\r%2\r\rFile > Library... tells more about it.")
                             .arg(QStringLiteral(VARROW_VERSION), QDir::toNativeSeparators(m_session->Store().Path()),
                                  CurrentLibraryLocation().summary);
    m_prompts->Message(text, QStringLiteral("About Varrow"), IPrompts::Icon::Information);
}
