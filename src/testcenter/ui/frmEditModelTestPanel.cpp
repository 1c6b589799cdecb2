// The editor's test panel (environment, results, Compute, the test commands and the result
// tabs) and its reference model page.
#include "testcenter/ui/EditorLayoutParts.h"
#include "testcenter/ui/frmEditModel.h"

#include "data/NumberText.h"
#include "testcenter/TestCenterState.h"
#include "units/UnitSetting.h"
#include "widgets/WindowHabits.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace EditorLayout;

QWidget *frmEditModel::buildTestPanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("fraTestPanel"));
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);

    auto *env = new QGroupBox(QStringLiteral("Environment"), panel);
    env->setObjectName(QStringLiteral("fraEnvironment"));
    auto *grid = new QGridLayout(env);
    grid->setVerticalSpacing(2);
    int row = 0;
    addScenarioRow(grid, row++);
    for (int i = kFirstEnvEntry; i <= kLastEnvEntry; ++i)
        addEntryRow(grid, row++, i);

    m_cboWindReduce = new QComboBox(this);
    m_cboWindReduce->setObjectName(QStringLiteral("cboWindReduce"));
    m_cboWindReduce->setEditable(true);
    m_cboWindReduce->setInsertPolicy(QComboBox::NoInsert);
    grid->addWidget(
        makeLabel(QStringLiteral("Wind Adjustment Factor"), QStringLiteral("lblWindReduce"), env, m_cboWindReduce), row,
        0);
    grid->addWidget(m_cboWindReduce, row++, 1);

    m_txtMidFlameWind = derivedBox("txtMidFlameWind", env);
    grid->addWidget(unitLabel(makeLabel(MidFlameWindCaption(ShownUnits()), QStringLiteral("lblMidFlameWind"), env,
                                        m_txtMidFlameWind),
                              MidFlameWindCaption),
                    row, 0);
    grid->addWidget(m_txtMidFlameWind, row, 1);
    grid->addWidget(unitLabel(makeLabel(MidFlameWindHint(ShownUnits()), QStringLiteral("lblMidFlameWindHint"), env),
                              MidFlameWindHint),
                    row++, 2);

    m_cboSlope = new QComboBox(this);
    m_cboSlope->setObjectName(QStringLiteral("cboSlope"));
    m_cboSlope->setEditable(true);
    m_cboSlope->setInsertPolicy(QComboBox::NoInsert);
    grid->addWidget(makeLabel(QStringLiteral("Slope Steepness (%)"), QStringLiteral("lblSlope"), env, m_cboSlope), row,
                    0);
    grid->addWidget(m_cboSlope, row++, 1);

    m_cboConventions = new QComboBox(this);
    m_cboConventions->setObjectName(QStringLiteral("cboConventions"));
    m_cboConventions->addItem(QStringLiteral("as the library's core"));
    m_cboConventions->addItem(QStringLiteral("as the fire growth simulators"));
    m_cboConventions->setToolTip(QStringLiteral(
        "As the fire growth simulators: net loads weighted by size class, and the cured herb of a dynamic model "
        "a dead class of its own"));
    grid->addWidget(makeLabel(QStringLiteral("Compu&tation"), QStringLiteral("lblConventions"), env, m_cboConventions),
                    row, 0);
    grid->addWidget(m_cboConventions, row++, 1, 1, 2);
    grid->setColumnStretch(0, 1);
    column->addWidget(env);

    auto *results = new QGroupBox(QStringLiteral("Results"), panel);
    m_fraResults = results;
    results->setObjectName(QStringLiteral("fraResults"));
    auto *rgrid = new QGridLayout(results);
    rgrid->setVerticalSpacing(2);
    m_txtROS = derivedBox("txtROS", results, true);
    m_txtFLI = derivedBox("txtFLI", results, true);
    m_txtHeat = derivedBox("txtHeat", results, true);
    m_txtFL = derivedBox("txtFL", results, true);
    const std::pair<const char16_t *, QLineEdit *> rows[] = {
        {u"ros", m_txtROS}, {u"fli", m_txtFLI}, {u"fl", m_txtFL}, {u"heat", m_txtHeat}};
    // Two results a row, so that the charts below keep their height on a small screen.
    int k = 0;
    for (const auto &[caption, box] : rows) {
        rgrid->addWidget(unitLabel(makeLabel(ResultCaption(caption, ShownUnits()),
                                             QStringLiteral("lbl_") + box->objectName(), results, box),
                                   [caption](Units::System s) { return ResultCaption(caption, s); }),
                         k / 2, (k % 2) * 2);
        rgrid->addWidget(box, k / 2, (k % 2) * 2 + 1);
        ++k;
    }
    // Says why no results are shown, or that those shown are from earlier entries.
    m_lblResultsNote = new QLabel(results);
    m_lblResultsNote->setObjectName(QStringLiteral("lblResultsNote"));
    m_lblResultsNote->setWordWrap(true);
    QPalette notePalette = m_lblResultsNote->palette();
    notePalette.setColor(QPalette::WindowText, QColor(0xa0, 0x10, 0x10));
    m_lblResultsNote->setPalette(notePalette);
    // A line is kept for the note while it is hidden: showing it moves no button.
    QSizePolicy notePolicy = m_lblResultsNote->sizePolicy();
    notePolicy.setRetainSizeWhenHidden(true);
    m_lblResultsNote->setSizePolicy(notePolicy);
    m_lblResultsNote->setMinimumHeight(m_lblResultsNote->fontMetrics().lineSpacing());
    m_lblResultsNote->hide();
    rgrid->addWidget(m_lblResultsNote, 2, 0, 1, 4);
    rgrid->setColumnStretch(0, 1);
    rgrid->setColumnStretch(2, 1);

    // Compute beside the results it fills; the test commands in the row below.
    auto *compute = new QVBoxLayout;
    m_chkAuto = new QCheckBox(QStringLiteral("&Auto Compute"), panel);
    m_chkAuto->setObjectName(QStringLiteral("chkAuto"));
    m_cmdComp = new QPushButton(QStringLiteral("C&ompute"), panel);
    m_cmdComp->setObjectName(QStringLiteral("cmdComp"));
    compute->addStretch(1);
    compute->addWidget(m_cmdComp);
    compute->addWidget(m_chkAuto);
    auto *resultsRow = new QHBoxLayout;
    resultsRow->addWidget(results, 1);
    resultsRow->addLayout(compute);
    column->addLayout(resultsRow);

    auto *commands = new QHBoxLayout;
    m_testCommands = new QHBoxLayout;
    commands->addLayout(m_testCommands);
    commands->addStretch(1);
    column->addLayout(commands);

    m_tabResults = new QTabWidget(panel);
    m_tabResults->setObjectName(QStringLiteral("tabResults"));
    const char *captions[] = {"ROS", "FLI", "FL", "Size"};
    for (int k = 0; k < 4; ++k) {
        auto *page = new QWidget(m_tabResults);
        page->setObjectName(indexed("tabPage", k));
        m_chartPages[std::size_t(k)] = new QVBoxLayout(page);
        m_tabResults->addTab(page, QString::fromLatin1(captions[k]));
    }
    m_tabResults->addTab(buildReferencePage(), QStringLiteral("Reference Fuel Model"));
    m_tabResults->addTab(buildNotesPage(), QStringLiteral("Notes"));
    column->addWidget(m_tabResults, 1);
    return panel;
}

QWidget *frmEditModel::buildReferencePage()
{
    auto *page = new QWidget(m_tabResults);
    page->setObjectName(QStringLiteral("tabPage_4"));
    auto *grid = new QGridLayout(page);
    m_cboFMSet = new QComboBox(page);
    m_cboFMSet->setObjectName(QStringLiteral("cboFMSet"));
    m_cboFM = new QComboBox(page);
    m_cboFM->setObjectName(QStringLiteral("cboFM"));
    m_cboFM->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cboFM->setMinimumContentsLength(16);
    m_cboFMSet->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cboFMSet->setMinimumContentsLength(16);
    ShowFullTextAsToolTip(m_cboFM);
    ShowFullTextAsToolTip(m_cboFMSet);
    m_txtRefROS = derivedBox("txtRefROS", page, true);
    m_txtRefFLI = derivedBox("txtRefFLI", page, true);
    m_txtRefHeat = derivedBox("txtRefHeat", page, true);
    m_txtRefFL = derivedBox("txtRefFL", page, true);
    int row = 0;
    grid->addWidget(makeLabel(QStringLiteral("Fuel Model Set"), QString(), page, m_cboFMSet), row, 0);
    grid->addWidget(m_cboFMSet, row++, 1);
    grid->addWidget(makeLabel(QStringLiteral("Fuel Model"), QString(), page, m_cboFM), row, 0);
    grid->addWidget(m_cboFM, row++, 1);
    const std::pair<const char16_t *, QLineEdit *> rows[] = {
        {u"ros", m_txtRefROS}, {u"fli", m_txtRefFLI}, {u"fl", m_txtRefFL}, {u"heat", m_txtRefHeat}};
    for (const auto &[caption, box] : rows) {
        grid->addWidget(unitLabel(makeLabel(ResultCaption(caption, ShownUnits()),
                                            QStringLiteral("lbl_") + box->objectName(), page, box),
                                  [caption](Units::System s) { return ResultCaption(caption, s); }),
                        row, 0);
        grid->addWidget(box, row++, 1);
    }
    grid->setRowStretch(row, 1);
    return page;
}
