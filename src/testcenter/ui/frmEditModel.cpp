// Construction and layout of the editor window (the test panel and the reference page in
// frmEditModelTestPanel.cpp); the handlers live in frmEditModelEntries.cpp (entries, checks,
// computations), frmEditModelCommands.cpp (load, reference, commands) and frmEditModelNotes.cpp
// (the model's notes).
#include "testcenter/ui/frmEditModel.h"
#include "testcenter/ITuners.h"
#include "testcenter/ui/EditorAnalysis.h"
#include "testcenter/ui/EditorCalibration.h"

#include "data/NumberText.h"
#include "testcenter/TestCenterState.h"
#include "testcenter/ui/ComparisonPanel.h"
#include "testcenter/ui/ConsistencyWarningsView.h"
#include "testcenter/ui/EditorCharts.h"
#include "testcenter/ui/EditorLayoutParts.h"
#include "testcenter/ui/EditorReport.h"
#include "units/UnitSetting.h"
#include "widgets/QtPrompts.h"
#include "widgets/WindowHabits.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace EditorLayout;

namespace {

// Keys for what is otherwise reached by mouse: Ctrl+T opens the tuner of the entry box that has
// the focus, Ctrl+Shift+T the synchronized adjustment (the tuner buttons take no focus, so that
// tabbing runs through the entries alone). The tab order follows the layout where creation
// order does not: the results in their rows, the test commands beside Compute.
void addKeyboardAccess(frmEditModel &editor)
{
    auto *tune = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), &editor);
    tune->setObjectName(QStringLiteral("keyTune"));
    QObject::connect(tune, &QShortcut::activated, &editor, [&editor] {
        for (int i = 2; i < kEntrySlots; ++i) {
            QPushButton *button = editor.cmdTuner(i);
            if (button && button->isEnabled() && editor.txtFuels(i) && editor.txtFuels(i)->hasFocus())
                button->click();
        }
    });
    auto *sync = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T), &editor);
    sync->setObjectName(QStringLiteral("keySyncTune"));
    QObject::connect(sync, &QShortcut::activated, &editor, [&editor] {
        if (editor.cmdTuner(0)->isEnabled())
            editor.cmdTuner(0)->click();
    });

    // The size box stands below the flame length box.
    QWidget::setTabOrder(editor.txtFL(), editor.txtHeat());
    QWidget *previous = editor.cmdComp();
    for (const char *name : {"chkAuto", "cmdPlot", "cmdClearGraph", "chkPlotRefFM", "cmdExport", "cmdCopyChart",
                             "cmdAnalysis", "cmdCalibration"}) {
        if (auto *next = editor.findChild<QWidget *>(QString::fromLatin1(name))) {
            QWidget::setTabOrder(previous, next);
            previous = next;
        }
    }
}

} // namespace

frmEditModel::frmEditModel(IEditorOwner *owner, IPrompts *prompts, QWidget *parent)
    : QWidget(parent, Qt::Window), m_owner(owner), m_prompts(prompts)
{
    setObjectName(QStringLiteral("frmEditModel"));
    setWindowTitle(QStringLiteral("Edit Fuel Model"));
    if (!m_prompts) {
        m_ownPrompts = std::make_unique<QtPrompts>(this);
        m_prompts = m_ownPrompts.get();
    }
    // The model first: the boxes are filled through it while the window is built.
    m_entries = new EditorEntryModel(Units::UnitSetting::instance().system(), this);
    connect(m_entries, &EditorEntryModel::entryChanged, this, &frmEditModel::showEntry);
    connect(m_entries, &EditorEntryModel::unitsChanged, this, &frmEditModel::showUnits);
    connect(m_entries, &EditorEntryModel::scenarioChanged, this, &frmEditModel::showScenario);
    // The tuners follow the entries once the window shows them: an open tuner's slider follows
    // its box, and a unit switch (captions already shown) their ranges and titles.
    connect(m_entries, &EditorEntryModel::entryChanged, this, [this](int index, const QString &text) {
        if (!m_tuners)
            return;
        // An open tuner follows the box as well as it can; it never stops the typing.
        try {
            m_tuners->EntryChanged(index, text);
        } catch (...) { }
    });
    connect(m_entries, &EditorEntryModel::unitsChanged, this, [this] {
        if (m_tuners)
            m_tuners->UnitsChanged();
    });
    buildWindow();
    // Before the charts connect theirs: the charts redraw from the boxes this converts.
    connect(&Units::UnitSetting::instance(), &Units::UnitSetting::changed, this, &frmEditModel::ApplyUnits);
    m_charts = AttachEditorCharts(this);
    AttachEditorAnalysis(this);
    AttachEditorCalibration(this);
    AttachComparisonPanel(this);
    AttachConsistencyWarnings(this);
    m_report = AttachEditorReport(this);
    addKeyboardAccess(*this);
}

frmEditModel::~frmEditModel() = default;

void frmEditModel::setPrompts(IPrompts *prompts)
{
    m_prompts = prompts ? prompts : m_ownPrompts.get();
    if (!m_prompts) {
        m_ownPrompts = std::make_unique<QtPrompts>(this);
        m_prompts = m_ownPrompts.get();
    }
}

QLineEdit *frmEditModel::txtFuels(int index) const
{
    return index >= 0 && index < kEntrySlots ? m_txtFuels[std::size_t(index)] : nullptr;
}

QLabel *frmEditModel::lblFuels(int index) const
{
    return index >= 0 && index < kEntrySlots ? m_lblFuels[std::size_t(index)] : nullptr;
}

QString frmEditModel::RowLabelText(int index) const
{
    const QLabel *label = lblFuels(index);
    return label ? label->text() : QString();
}

QPushButton *frmEditModel::cmdTuner(int index) const
{
    return index >= 0 && index < kEntrySlots ? m_cmdTuner[std::size_t(index)] : nullptr;
}

QVBoxLayout *frmEditModel::chartPageLayout(int tab) const
{
    return tab >= 0 && tab < int(m_chartPages.size()) ? m_chartPages[std::size_t(tab)] : nullptr;
}

bool frmEditModel::TestPanelShown() const
{
    return !m_testPanel->isHidden();
}

void frmEditModel::buildWindow()
{
    // Margins and spacing a little tighter than the style's, so that the window fits a
    // 1366x768 screen.
    auto *root = new QHBoxLayout(this);
    root->setContentsMargins(6, 6, 6, 6);
    auto *left = new QVBoxLayout;
    m_leftColumn = left;
    left->setSpacing(3);
    root->addLayout(left);

    left->addWidget(buildModelFrame());
    auto *buttons = new QHBoxLayout;
    m_cmdApply = new QPushButton(QStringLiteral("&Save"), this);
    m_cmdSave = new QPushButton(QStringLiteral("Close and Sa&ve"), this);
    m_cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_cmdTest = new QPushButton(QStringLiteral("T&est Center >>"), this);
    m_cmdApply->setObjectName(QStringLiteral("cmdApply"));
    m_cmdSave->setObjectName(QStringLiteral("cmdSave"));
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdTest->setObjectName(QStringLiteral("cmdTest"));
    buttons->addWidget(m_cmdApply);
    buttons->addWidget(m_cmdSave);
    buttons->addWidget(m_cmdCancel);
    buttons->addStretch(1);
    buttons->addWidget(m_cmdTest);
    left->addLayout(buttons);
    left->addWidget(buildUnitsRow());
    left->addStretch(1);

    m_testPanel = buildTestPanel();
    root->addWidget(m_testPanel, 1);

    connect(m_cmdApply, &QPushButton::clicked, this, &frmEditModel::cmdApply_Click);
    connect(m_cmdSave, &QPushButton::clicked, this, &frmEditModel::cmdSave_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmEditModel::cmdCancel_Click);
    connect(m_cmdTest, &QPushButton::clicked, this, &frmEditModel::cmdTest_Click);
    connect(m_cmdComp, &QPushButton::clicked, this, &frmEditModel::cmdComp_Click);
    connect(m_cboFMSet, &QComboBox::activated, this, &frmEditModel::cboFMSet_Click);
    connect(m_cboFM, &QComboBox::activated, this, &frmEditModel::cboFM_Click);
    connect(m_cboWindReduce, &QComboBox::activated, this, &frmEditModel::cboWindReduce_Click);
    connect(m_cboWindReduce, &QComboBox::editTextChanged, this, &frmEditModel::cboWindReduce_Change);
    connect(m_cboSlope, &QComboBox::activated, this, &frmEditModel::cboSlope_Click);
    // A typed slope counts as soon as it is shown, like a typed wind adjustment factor.
    connect(m_cboSlope, &QComboBox::editTextChanged, this, &frmEditModel::cboSlope_Click);
    // Turned on, Auto Compute answers the entries shown at once (or names the one at fault).
    connect(m_chkAuto, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            AutoCompute();
    });
    // The herb type feeds the computation like any entry.
    connect(m_cboHerbType, &QComboBox::activated, this, &frmEditModel::AutoCompute);
    connect(m_cboConventions, &QComboBox::currentIndexChanged, this, [this](int index) {
        gSpreadConventions = index == 1 ? SpreadConventions::Simulators : SpreadConventions::Core;
        showConventions();
        AutoCompute();
    });
    for (int i = 0; i < kEntrySlots; ++i)
        if (QPushButton *b = cmdTuner(i))
            connect(b, &QPushButton::clicked, this, [this, i] { cmdTuner_Click(i); });

    for (int i = kFirstEnvEntry; i <= kLastEnvEntry; ++i)
        SetEntryEnglish(i, ParseLeadingNumber(EnvDefaultText(i)));

    m_cboConventions->setCurrentIndex(gSpreadConventions == SpreadConventions::Simulators ? 1 : 0);
    showConventions();
    resize(TwipsToPixels(kWidthWithTestPanel, logicalDpiX()), sizeHint().height());
}

void frmEditModel::showConventions()
{
    // The mark on the results: their frame says how they are computed unless it is the core's way.
    m_fraResults->setTitle(gSpreadConventions == SpreadConventions::Simulators
                               ? QStringLiteral("Results (as the fire growth simulators)")
                               : QStringLiteral("Results"));
}

void frmEditModel::addEntryRow(QGridLayout *grid, int row, int index)
{
    auto *label = makeLabel(EntryCaption(index, ShownUnits()), indexed("lblFuels", index), this);
    m_lblFuels[std::size_t(index)] = label;
    grid->addWidget(label, row, 0);

    QWidget *box = nullptr;
    if (index == 1) {
        m_txtDescription = new QPlainTextEdit(this);
        m_txtDescription->setTabChangesFocus(true);
        // Two lines in sight (more scroll): the column of entries must fit a small screen.
        m_txtDescription->setFixedHeight(fontMetrics().lineSpacing() * 2 + 10);
        box = m_txtDescription;
        grid->addWidget(box, row, 1, 1, 3);
        connect(m_txtDescription, &QPlainTextEdit::textChanged, this, [this] { boxEdited(1); });
    } else {
        auto *edit = new QLineEdit(this);
        m_txtFuels[std::size_t(index)] = edit;
        box = edit;
        if (index >= 2)
            edit->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000.00")) + 12);
        grid->addWidget(edit, row, 1);
        connect(edit, &QLineEdit::textChanged, this, [this, index] { boxEdited(index); });
        grid->addWidget(unitLabel(makeLabel(EntryHint(index, ShownUnits()), indexed("lblHint", index), this),
                                  [index](Units::System s) { return EntryHint(index, s); }),
                        row, 2);
    }
    box->setObjectName(indexed("txtFuels", index));
    box->setAutoFillBackground(true);
    box->installEventFilter(this);
    label->setBuddy(box);
    SetEntryColour(index, Qt::white);

    if (index >= 2) {
        auto *tune = new QPushButton(QStringLiteral("Tune"), this);
        tune->setObjectName(indexed("cmdTuner", index));
        tune->setToolTip(QStringLiteral("Tune ") + EntryCaption(index, ShownUnits()).trimmed() +
                         QStringLiteral(" (Ctrl+T in its box)"));
        // Thirteen buttons read "Tune": the name says which entry each one tunes.
        tune->setAccessibleName(QStringLiteral("Tune ") + EntryCaption(index, ShownUnits()).trimmed());
        tune->setFocusPolicy(Qt::NoFocus);
        tune->setFixedWidth(fontMetrics().horizontalAdvance(tune->text()) + 24);
        m_cmdTuner[std::size_t(index)] = tune;
        grid->addWidget(tune, row, 3);
    }
}

QWidget *frmEditModel::buildModelFrame()
{
    auto *frame = new QGroupBox(QStringLiteral("Model Parameters"), this);
    frame->setObjectName(QStringLiteral("fraModel"));
    m_modelFrame = frame;
    auto *grid = new QGridLayout(frame);
    m_modelGrid = grid;
    grid->setVerticalSpacing(2);
    int row = 0;
    addEntryRow(grid, row++, 0);
    addEntryRow(grid, row++, 1);

    m_txtFuelModelSet = derivedBox("txtFuelModelSet", frame);
    ShowFullTextAsToolTip(m_txtFuelModelSet);
    grid->addWidget(
        makeLabel(QStringLiteral("Fuel Model Set"), QStringLiteral("lblFuelModelSet"), frame, m_txtFuelModelSet), row,
        0);
    grid->addWidget(m_txtFuelModelSet, row++, 1, 1, 3);

    m_cboFireCarry = new QComboBox(this);
    m_cboFireCarry->setObjectName(QStringLiteral("cboFireCarry"));
    grid->addWidget(
        makeLabel(QStringLiteral("Primary Fire Carrier"), QStringLiteral("lblFireCarry"), frame, m_cboFireCarry), row,
        0);
    grid->addWidget(m_cboFireCarry, row++, 1, 1, 2);
    m_cboHerbType = new QComboBox(this);
    m_cboHerbType->setObjectName(QStringLiteral("cboHerbType"));
    grid->addWidget(makeLabel(QStringLiteral("Herb Type "), QStringLiteral("lblHerbType"), frame, m_cboHerbType), row,
                    0);
    grid->addWidget(m_cboHerbType, row++, 1, 1, 2);

    for (int i = 2; i <= kLastModelEntry; ++i)
        addEntryRow(grid, row++, i);

    m_txtCharSurfVolRatio = derivedBox("txtCharSurfVolRatio", frame, true);
    grid->addWidget(unitLabel(makeLabel(ResultCaption(u"charSurfVol", ShownUnits()),
                                        QStringLiteral("lblCharSurfVolRatio"), frame, m_txtCharSurfVolRatio),
                              [](Units::System s) { return ResultCaption(u"charSurfVol", s); }),
                    row, 0);
    grid->addWidget(m_txtCharSurfVolRatio, row++, 1);
    m_txtPackRatio = derivedBox("txtPackRatio", frame, true);
    grid->addWidget(
        makeLabel(QStringLiteral("Relative Packing Ratio"), QStringLiteral("lblPackRatio"), frame, m_txtPackRatio), row,
        0);
    grid->addWidget(m_txtPackRatio, row++, 1);

    auto *sync = new QPushButton(SyncTunerCaption(), this);
    sync->setObjectName(QStringLiteral("cmdTuner_0"));
    sync->setFocusPolicy(Qt::NoFocus);
    m_cmdTuner[0] = sync;
    grid->addWidget(sync, row++, 0, 1, 4);
    grid->setColumnStretch(0, 1);

    return frame;
}

void frmEditModel::SetWidthTwips(int twips)
{
    // Qt keeps the window at least as wide as its layout needs, so large fonts stay readable.
    layout()->activate();
    resize(TwipsToPixels(twips, logicalDpiX()), height());
}
