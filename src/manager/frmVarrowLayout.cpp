#include "manager/frmVarrow.h"

#include "library/LibraryLocation.h"
#include "manager/FMTree.h"
#include "widgets/WindowHabits.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

// The controls of the main window and their places: the library frame on the left, the
// parameter frame on the right (the two in a splitter), Close below; Qt layouts keep them in
// place on resizing.

namespace {

const char *const kPanelLabels[17] = {"Fuel Model ID",
                                      "Description",
                                      "1 Hour Loading (t/ac)",
                                      "10 Hour Loading (t/ac)",
                                      "100 Hour Loading (t/ac)",
                                      " Live Herb Loading (t/ac)",
                                      "Live Woody Loading (t/ac)",
                                      "1 Hour Surface SA/V (ft2/ft3)",
                                      "Live Herb SA/V (ft2/ft3)",
                                      "Live Woody SA/V (ft2/ft3)",
                                      "Heat Content Dead (btu/lb)",
                                      "Heat Content Live Herb (btu/lb)",
                                      " Heat Content Live Woody (btu/lb)",
                                      " Fuelbed Bulk Depth (ft)",
                                      "Moisture of Extinction (%)",
                                      "Primary Fire Carrier",
                                      "Herb Type"};

QPushButton *button(const QString &caption, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QAction *menuItem(QMenu *menu, const QString &caption, const QString &name)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(name);
    return a;
}

// Read-only with the button-face background of the system.
void makeReadOnlyBox(QWidget *box)
{
    if (auto *line = qobject_cast<QLineEdit *>(box))
        line->setReadOnly(true);
    else if (auto *text = qobject_cast<QPlainTextEdit *>(box))
        text->setReadOnly(true);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Button));
    box->setPalette(pal);
}

} // namespace

void frmVarrow::buildWindow()
{
    setObjectName(QStringLiteral("frmVarrow"));
    setWindowTitle(QStringLiteral("Manage Orla Fuel Models"));
    auto *central = new QWidget(this);
    setCentralWidget(central);

    // Left: the tree and the library buttons.
    auto *fraSets = new QGroupBox(QStringLiteral("Fuel Model Sets"), central);
    fraSets->setObjectName(QStringLiteral("fraFuelModelSets"));
    imlIcons = new ImageList(this);
    treeFMs = new FMTree(imlIcons, fraSets);
    treeFMs->setMinimumSize(260, 320);
    treeFMs->setAccessibleName(fraSets->title());
    cmdNewSet = button(QStringLiteral("&New Set"), QStringLiteral("cmdNewSet"), fraSets);
    cmdDelete[0] = button(QStringLiteral("&Delete Set"), QStringLiteral("cmdDelete_0"), fraSets);
    cmdRename = button(QStringLiteral("&Rename Set"), QStringLiteral("cmdRename"), fraSets);
    cmdCopy = button(QStringLiteral("&Copy Model"), QStringLiteral("cmdCopy"), fraSets);
    cmdPaste = button(QStringLiteral("&Paste Model"), QStringLiteral("cmdPaste"), fraSets);
    cmdCut = button(QStringLiteral("C&ut Model"), QStringLiteral("cmdCut"), fraSets);
    cmdNewFM = button(QStringLiteral("New &Blank Model"), QStringLiteral("cmdNewFM"), fraSets);
    cmdDelete[1] = button(QStringLiteral("De&lete Model"), QStringLiteral("cmdDelete_1"), fraSets);
    auto *lblSetButtons = new QLabel(QStringLiteral("Fuel Model Sets"), fraSets);
    lblSetButtons->setObjectName(QStringLiteral("lblSetButtons"));
    auto *lblModelButtons = new QLabel(QStringLiteral("Fuel Models"), fraSets);
    lblModelButtons->setObjectName(QStringLiteral("lblModelButtons"));
    for (QLabel *l : {lblSetButtons, lblModelButtons}) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(lblSetButtons);
    for (QPushButton *b : {cmdNewSet, cmdDelete[0], cmdRename})
        buttons->addWidget(b);
    buttons->addSpacing(12);
    buttons->addWidget(lblModelButtons);
    for (QPushButton *b : {cmdCopy, cmdPaste, cmdCut, cmdNewFM, cmdDelete[1]})
        buttons->addWidget(b);
    buttons->addStretch();
    auto *setsLayout = new QHBoxLayout(fraSets);
    setsLayout->addWidget(treeFMs, 1);
    setsLayout->addLayout(buttons);

    // Right: the parameters of the selected model.
    auto *fraParams = new QGroupBox(QStringLiteral("Model Parameters"), central);
    fraParams->setObjectName(QStringLiteral("fraModelParameters"));
    auto *grid = new QGridLayout;
    auto *lblSet = new QLabel(QStringLiteral("Fuel Model Set"), fraParams);
    lblSet->setObjectName(QStringLiteral("lblFuelModelSet"));
    txtFuelModelSet = new QLineEdit(fraParams);
    txtFuelModelSet->setObjectName(QStringLiteral("txtFuelModelSet"));
    txtFuelModelSet->setMinimumWidth(170);
    ShowFullTextAsToolTip(txtFuelModelSet);
    lblSet->setBuddy(txtFuelModelSet);
    cmdDefault = button(QStringLiteral("Def&ault ..."), QStringLiteral("cmdDefault"), fraParams);
    auto *setRow = new QHBoxLayout;
    setRow->addWidget(txtFuelModelSet, 1);
    setRow->addWidget(cmdDefault);
    grid->addWidget(lblSet, 0, 0);
    grid->addLayout(setRow, 0, 1);
    for (int i = 0; i < 17; ++i) {
        auto *label = new QLabel(QString::fromLatin1(kPanelLabels[i]), fraParams);
        label->setObjectName(QStringLiteral("lblFuels_%1").arg(i));
        if (i == 1) {
            auto *box = new QPlainTextEdit(fraParams);
            box->setFixedHeight(box->fontMetrics().lineSpacing() * 3 + 10);
            txtFuels[i] = box;
        } else {
            txtFuels[i] = new QLineEdit(fraParams);
        }
        txtFuels[i]->setObjectName(QStringLiteral("txtFuels_%1").arg(i));
        label->setBuddy(txtFuels[i]);
        grid->addWidget(label, i + 1, 0, i == 1 ? Qt::AlignTop : Qt::AlignVCenter);
        grid->addWidget(txtFuels[i], i + 1, 1);
    }
    grid->setColumnStretch(1, 1);
    // Seventeen rows and the tab bar above them must fit a 700-pixel-high screen.
    grid->setVerticalSpacing(4);
    cmdEditSave = button(QStringLiteral("Edit and Te&st Center"), QStringLiteral("cmdEditSave"), fraParams);
    auto *paramsLayout = new QVBoxLayout(fraParams);
    // The parameters and, on a tab of their own, the notes.
    auto *paramsPage = new QWidget(fraParams);
    paramsPage->setObjectName(QStringLiteral("pagParameters"));
    auto *pageLayout = new QVBoxLayout(paramsPage);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addLayout(grid);
    pageLayout->addStretch();
    tabPanel = new QTabWidget(fraParams);
    tabPanel->setObjectName(QStringLiteral("tabPanel"));
    tabPanel->setDocumentMode(true);
    tabPanel->addTab(paramsPage, QStringLiteral("Parameters"));
    tabPanel->addTab(buildNotesPage(fraParams), QStringLiteral("Notes"));
    paramsLayout->addWidget(tabPanel, 1);
    paramsLayout->addWidget(cmdEditSave);

    cmdClose = button(QStringLiteral("Cl&ose"), QStringLiteral("cmdClose"), central);
    auto *bottom = new QHBoxLayout;
    cboUnits = new QComboBox(central);
    cboUnits->setObjectName(QStringLiteral("cboUnits"));
    cboUnits->setAccessibleName(QStringLiteral("Units"));
    cboUnits->addItem(QStringLiteral("English (t/ac, ft, mi/h)"));
    cboUnits->addItem(QStringLiteral("Metric (t/ha, m, km/h)"));
    auto *unitsLabel = new QLabel(QStringLiteral("Un&its"), central);
    unitsLabel->setObjectName(QStringLiteral("lblUnits"));
    unitsLabel->setBuddy(cboUnits);
    bottom->addWidget(unitsLabel);
    bottom->addWidget(cboUnits);
    bottom->addStretch();
    bottom->addWidget(cmdClose);
    QWidget::setTabOrder(cboUnits, cmdClose); // left to right along the bottom row
    // The tree and the panel share the width as the user drags it; the place is remembered.
    splMain = new QSplitter(Qt::Horizontal, central);
    splMain->setObjectName(QStringLiteral("splMain"));
    splMain->setChildrenCollapsible(false);
    splMain->addWidget(fraSets);
    splMain->addWidget(fraParams);
    splMain->setStretchFactor(0, 11);
    splMain->setStretchFactor(1, 9);
    auto *layout = new QVBoxLayout(central);
    layout->addWidget(splMain, 1);
    layout->addLayout(bottom);
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    buildPopupMenu();
    buildMenuBar();
    buildExchangeActions();

    connect(treeFMs, &FMTree::NodeClick, this, &frmVarrow::treeFMs_NodeClick);
    connect(treeFMs, &FMTree::Collapse, this, &frmVarrow::treeFMs_Collapse);
    connect(treeFMs, &FMTree::RightMouseDown, this, &frmVarrow::treeFMs_MouseDown);
    treeFMs->beforeLabelEdit = [this](const QString &key) { return treeFMs_BeforeLabelEdit(key); };
    treeFMs->afterLabelEdit = [this](const QString &key, const QString &text) {
        return treeFMs_AfterLabelEdit(key, text);
    };
    connect(cmdCopy, &QPushButton::clicked, this, &frmVarrow::cmdCopy_Click);
    connect(cmdCut, &QPushButton::clicked, this, &frmVarrow::cmdCut_Click);
    connect(cmdPaste, &QPushButton::clicked, this, &frmVarrow::cmdPaste_Click);
    connect(cmdDelete[0], &QPushButton::clicked, this, [this] { cmdDelete_Click(0); });
    connect(cmdDelete[1], &QPushButton::clicked, this, [this] { cmdDelete_Click(1); });
    connect(cmdNewSet, &QPushButton::clicked, this, &frmVarrow::cmdNewSet_Click);
    connect(cmdNewFM, &QPushButton::clicked, this, &frmVarrow::cmdNewFM_Click);
    connect(cmdEditSave, &QPushButton::clicked, this, &frmVarrow::cmdEditSave_Click);
    connect(cmdRename, &QPushButton::clicked, this, &frmVarrow::cmdRename_Click);
    connect(cmdDefault, &QPushButton::clicked, this, &frmVarrow::cmdDefault_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmVarrow::cmdClose_Click);
    // The first placement fits the screen; later ones are where the user left the window.
    if (!RestoreWindowGeometry(this, QStringLiteral("Main"))) {
        resize(900, 660);
        FitInsideScreen(this);
    }
    if (!splMain->restoreState(ReadWindowState(QStringLiteral("MainSplitter"))))
        splMain->setSizes({1100, 900}); // the tree's side a little wider, as before the splitter
}

void frmVarrow::saveWindowLayout()
{
    SaveWindowGeometry(this, QStringLiteral("Main"));
    SaveWindowState(QStringLiteral("MainSplitter"), splMain->saveState());
}

void frmVarrow::buildPopupMenu()
{
    mnuFuelModel = new QMenu(QStringLiteral("Fuel Model"), this);
    mnuFuelModel->setObjectName(QStringLiteral("mnuFuelModel"));
    mnuCutModelPU = menuItem(mnuFuelModel, QStringLiteral("Cut Model"), QStringLiteral("mnuCutModelPU"));
    mnuCopyModelPU = menuItem(mnuFuelModel, QStringLiteral("Copy Model"), QStringLiteral("mnuCopyModelPU"));
    mnuPasteModelPU = menuItem(mnuFuelModel, QStringLiteral("Paste Model"), QStringLiteral("mnuPasteModelPU"));
    mnuDeleteModelPU = menuItem(mnuFuelModel, QStringLiteral("Delete Model"), QStringLiteral("mnuDeleteModelPU"));
    mnuNewModelPU = menuItem(mnuFuelModel, QStringLiteral("New Blank Model"), QStringLiteral("mnuNewModelPU"));
    mnuFuelModel->addSeparator();
    mnuNewSetPU = menuItem(mnuFuelModel, QStringLiteral("New Fuel Model Set"), QStringLiteral("mnuNewSetPU"));
    mnuDeleteSetPU = menuItem(mnuFuelModel, QStringLiteral("Delete Fuel Model Set"), QStringLiteral("mnuDeleteSetPU"));
    mnuRenameSetPU = menuItem(mnuFuelModel, QStringLiteral("Rename Fuel Model Set"), QStringLiteral("mnuRenameSetPU"));
    mnuFuelModel->addSeparator();
    mnuEditPU = menuItem(mnuFuelModel, QStringLiteral("Edit and Test Center"), QStringLiteral("mnuEditPU"));

    // The menu shows the keys of its commands; the keys themselves belong to the menu bar's items
    // (frmVarrowMenus.cpp), which work anywhere in the window. An entry box with the focus keeps
    // its own editing keys.
    const std::pair<QAction *, QKeySequence> keys[] = {{mnuCutModelPU, QKeySequence::Cut},
                                                       {mnuCopyModelPU, QKeySequence::Copy},
                                                       {mnuPasteModelPU, QKeySequence::Paste},
                                                       {mnuDeleteModelPU, QKeySequence::Delete},
                                                       {mnuNewModelPU, QKeySequence::New},
                                                       {mnuNewSetPU, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N)},
                                                       {mnuDeleteSetPU, QKeySequence::Delete},
                                                       {mnuRenameSetPU, QKeySequence(Qt::Key_F2)},
                                                       {mnuEditPU, QKeySequence(Qt::CTRL | Qt::Key_E)}};
    for (const auto &[action, key] : keys) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetShortcut);
    }

    connect(mnuCutModelPU, &QAction::triggered, this, &frmVarrow::cmdCut_Click);
    connect(mnuCopyModelPU, &QAction::triggered, this, &frmVarrow::cmdCopy_Click);
    connect(mnuPasteModelPU, &QAction::triggered, this, &frmVarrow::cmdPaste_Click);
    connect(mnuDeleteModelPU, &QAction::triggered, this, [this] { cmdDelete_Click(1); });
    connect(mnuNewModelPU, &QAction::triggered, this, &frmVarrow::cmdNewFM_Click);
    connect(mnuNewSetPU, &QAction::triggered, this, &frmVarrow::cmdNewSet_Click);
    connect(mnuDeleteSetPU, &QAction::triggered, this, [this] { cmdDelete_Click(0); });
    connect(mnuRenameSetPU, &QAction::triggered, this, &frmVarrow::cmdRename_Click);
    connect(mnuEditPU, &QAction::triggered, this, &frmVarrow::cmdEditSave_Click);
}

void frmVarrow::makePanelReadOnly()
{
    makeReadOnlyBox(txtFuelModelSet);
    for (QWidget *box : txtFuels)
        makeReadOnlyBox(box);
}

void frmVarrow::fitStatusMessage(const QString &message)
{
    if (m_fittingStatus || !lblLibraryFile)
        return;
    m_statusMessage = message;
    const LibraryLocation &where = CurrentLibraryLocation();
    const QString full = QStringLiteral("Library: %1 (%2)").arg(QDir::toNativeSeparators(where.path), where.summary);
    const QString brief = QStringLiteral("Library: %1 (%2)").arg(QFileInfo(where.path).fileName(), where.summary);
    // The whole message stays at hand in the line's tooltip and for screen readers.
    statusBar()->setToolTip(message);
    statusBar()->setAccessibleName(message);
    // The room the line leaves for a message beside a label text: its width less the label,
    // the label's margin and the line's own margins and size grip. Only a shown window has its
    // width; showEvent fits the message again.
    const QFontMetrics metrics = statusBar()->fontMetrics();
    const auto roomBeside = [&](const QString &label) {
        return statusBar()->width() - lblLibraryFile->fontMetrics().horizontalAdvance(label) - 44;
    };
    const bool fits = message.isEmpty() || !isVisible() || metrics.horizontalAdvance(message) <= roomBeside(full);
    const QString label = fits ? full : brief;
    if (lblLibraryFile->text() != label)
        lblLibraryFile->setText(label);
    if (fits && statusBar()->currentMessage() == message)
        return;
    const QString fitted =
        fits ? message : metrics.elidedText(message, Qt::ElideMiddle, std::max(roomBeside(label), 60));
    if (fitted == statusBar()->currentMessage())
        return;
    m_fittingStatus = true;
    statusBar()->showMessage(fitted);
    m_fittingStatus = false;
}
