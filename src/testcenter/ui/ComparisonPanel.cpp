#include "testcenter/ui/ComparisonPanel.h"
#include "widgets/WindowHabits.h"

#include "data/FuelModelSet.h"
#include "data/ProgramState.h"
#include "engine/FireSpread.h"
#include "testcenter/TestComputation.h"
#include "testcenter/ui/frmEditModel.h"
#include "units/UnitSetting.h"
#include "units/Units.h"
#include "widgets/ChartExport.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>

namespace {

using Units::Quantity;

constexpr int kSortRole = Qt::UserRole + 1;
constexpr int kEditedRole = Qt::UserRole + 2;

// Keeps the edited model's row first whatever the column and direction.
class EditedFirstProxy : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override
    {
        const bool l = left.data(kEditedRole).toBool();
        const bool r = right.data(kEditedRole).toBool();
        if (l != r)
            return sortOrder() == Qt::AscendingOrder ? l : r;
        const QVariant a = left.data(kSortRole), b = right.data(kSortRole);
        if (a.typeId() == QMetaType::Double && b.typeId() == QMetaType::Double)
            return a.toDouble() < b.toDouble();
        return QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive) < 0;
    }
};

Units::System units()
{
    return Units::UnitSetting::instance().system();
}

// How the distances are measured, with the winds in the units shown.
QString comparisonRule()
{
    QStringList winds;
    for (double w : kBehaviourWinds)
        winds << Units::FormatEntry(Quantity::WindSpeed, units(), w);
    const QString last = winds.takeLast();
    return QStringLiteral("Behaviour distance: rate of spread and flame length under the 16 standard moisture "
                          "scenarios at midflame winds %1 and %2 %3, flat; parameter distance: the 13 fuel "
                          "parameters scaled by the set's range. 0 is identical (see the README).")
        .arg(winds.join(QStringLiteral(", ")), last, Units::UnitLabel(Quantity::WindSpeed, units()));
}

QString shown(Quantity q, double english)
{
    return Units::FormatResult(q, units(), english);
}

double shownNumber(Quantity q, double english)
{
    return Units::FromEnglish(q, units(), english);
}

QString difference(Quantity q, double english)
{
    const double v = shownNumber(q, english);
    const int decimals = Units::ResultDecimals(q, units());
    const QString text = QString::number(v, 'f', decimals);
    // "-0.0" and "0.0" read alike to an analyst: no sign for a zero at the shown precision.
    if (text.toDouble() == 0)
        return QString::number(0.0, 'f', decimals);
    return v > 0 ? QLatin1Char('+') + text : text;
}

QStandardItem *textItem(const QString &text)
{
    auto *item = new QStandardItem(text);
    item->setData(text, kSortRole);
    item->setEditable(false);
    return item;
}

QStandardItem *numberItem(const QString &text, double sortValue)
{
    auto *item = new QStandardItem(text);
    item->setData(sortValue, kSortRole);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    item->setEditable(false);
    return item;
}

struct ColumnTitle
{
    const char *quantity;
    Quantity unit;
    bool hasUnit;
};

// Column titles without units; the units are added for the system shown.
const ColumnTitle kColumns[ComparisonPanel::ColumnCount] = {
    {"ID", Quantity::Ratio, false},
    {"Description", Quantity::Ratio, false},
    {"Rate of spread", Quantity::RateOfSpread, true},
    {"Difference", Quantity::RateOfSpread, true},
    {"Flame length", Quantity::FlameLength, true},
    {"Difference", Quantity::FlameLength, true},
    {"Fireline intensity", Quantity::FirelineIntensity, true},
    {"Difference", Quantity::FirelineIntensity, true},
    {"Heat per unit area", Quantity::HeatPerUnitArea, true},
    {"Difference", Quantity::HeatPerUnitArea, true},
    {"Behaviour distance", Quantity::Ratio, false},
    {"Parameter distance", Quantity::Ratio, false},
};

QString columnTitle(int c, bool twoLines)
{
    const ColumnTitle &t = kColumns[c];
    const QString q = QString::fromLatin1(t.quantity);
    if (!t.hasUnit)
        return q;
    const QString unit = Units::UnitLabel(t.unit, units());
    return twoLines ? q + QStringLiteral("\n(") + unit + QLatin1Char(')') : TitleWithUnit(q, unit);
}

} // namespace

ComparisonPanel::ComparisonPanel(frmEditModel *editor) : QWidget(editor->tabResults()), m_editor(editor)
{
    setObjectName(QStringLiteral("tabPageCompare"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);

    auto *top = new QHBoxLayout;
    auto *setLabel = new QLabel(QStringLiteral("Compare &with set"), this);
    m_cboSet = new QComboBox(this);
    m_cboSet->setObjectName(QStringLiteral("cboCompareSet"));
    m_cboSet->setAccessibleName(QStringLiteral("Compare with set"));
    m_cboSet->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cboSet->setMinimumContentsLength(18);
    ShowFullTextAsToolTip(m_cboSet);
    setLabel->setBuddy(m_cboSet);
    auto *exportButton = new QPushButton(QStringLiteral("Export Table..."), this);
    exportButton->setObjectName(QStringLiteral("cmdExportComparison"));
    auto *copyButton = new QPushButton(QStringLiteral("Copy Table"), this);
    copyButton->setObjectName(QStringLiteral("cmdCopyComparison"));
    top->addWidget(setLabel);
    top->addWidget(m_cboSet, 1);
    top->addWidget(exportButton);
    top->addWidget(copyButton);
    column->addLayout(top);

    m_model = new QStandardItemModel(0, ColumnCount, this);
    m_proxy = new EditedFirstProxy(this);
    m_proxy->setSourceModel(m_model);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("tblComparison"));
    m_table->setAccessibleName(QStringLiteral("Comparison with the set"));
    m_table->setModel(m_proxy);
    m_table->setSortingEnabled(true);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setAlternatingRowColors(true);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 3);
    m_table->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setSectionResizeMode(ColDescription, QHeaderView::Interactive);
    m_table->sortByColumn(-1, Qt::AscendingOrder);
    // The nearest models and the rule stand beside the table, not under it, so that the table
    // keeps the tab's whole height for its rows.
    auto *body = new QHBoxLayout;
    body->addWidget(m_table, 1);
    auto *side = new QVBoxLayout;
    side->setContentsMargins(0, 0, 0, 0);
    body->addLayout(side);
    column->addLayout(body, 1);

    m_nearestBehaviour = new QLabel(this);
    m_nearestBehaviour->setObjectName(QStringLiteral("lblNearestBehaviour"));
    m_nearestBehaviour->setWordWrap(true);
    m_nearestBehaviour->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_nearestParameters = new QLabel(this);
    m_nearestParameters->setObjectName(QStringLiteral("lblNearestParameters"));
    m_nearestParameters->setWordWrap(true);
    m_nearestParameters->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_conditions = new QLabel(comparisonRule(), this);
    m_conditions->setObjectName(QStringLiteral("lblComparisonRule"));
    m_conditions->setWordWrap(true);
    QFont small = m_conditions->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    m_conditions->setFont(small);
    // Narrow: a nearest line of five short IDs takes two or three lines.
    const int sideWidth = fontMetrics().horizontalAdvance(QStringLiteral("Nearest by parameters: 102 (0.000),")) + 8;
    for (QLabel *text : {m_nearestBehaviour, m_nearestParameters, m_conditions}) {
        text->setFixedWidth(sideWidth);
        text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        side->addWidget(text);
    }
    side->addStretch(1);

    m_exporter = new ChartExporter(
        this, nullptr, [this] { return Table(); }, QStringLiteral("comparison"));
    m_exporter->SetPrompts(&editor->Prompts());
    connect(exportButton, &QPushButton::clicked, m_exporter, [this] { m_exporter->ExportWithDialog(); });
    connect(copyButton, &QPushButton::clicked, m_exporter, [this] { m_exporter->Copy(); });
    connect(m_cboSet, &QComboBox::activated, this, [this] { Recompute(); });
    const auto follow = [this] {
        m_stale = true;
        if (isVisible())
            Recompute();
    };
    connect(editor, &frmEditModel::computed, this, follow);
    connect(editor, &frmEditModel::resultsRefused, this, follow);
    connect(&Units::UnitSetting::instance(), &Units::UnitSetting::changed, this, [this] {
        m_conditions->setText(comparisonRule());
        ShowComparison();
    });
}

void ComparisonPanel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    fillSetList();
    if (m_stale)
        Recompute();
}

void ComparisonPanel::fillSetList()
{
    QStringList names;
    if (gFMSets)
        for (const auto &set : *gFMSets)
            names << set->Name();
    QStringList listed;
    for (int i = 0; i < m_cboSet->count(); ++i)
        listed << m_cboSet->itemText(i);
    if (names == listed)
        return;
    const int previous = m_cboSet->currentIndex();
    m_cboSet->clear();
    m_cboSet->addItems(names);
    const int fallback = gFMSets ? DefaultComparisonSetPosition(*gFMSets) - 1 : -1;
    m_cboSet->setCurrentIndex(previous >= 0 && previous < names.size() && listed.size() == names.size() ? previous
                                                                                                        : fallback);
    m_stale = true;
}

std::vector<std::shared_ptr<FuelModel>> ComparisonPanel::chosenModels() const
{
    const int position = m_cboSet->currentIndex() + 1;
    if (!gFMSets || position < 1 || position > gFMSets->Count())
        return {};
    return ModelsOf(*gFMSets->Item(position));
}

void ComparisonPanel::Recompute()
{
    if (m_cboSet->count() == 0)
        fillSetList();
    m_editedId = m_editor->EntryText(0).trimmed();
    m_fault = m_editor->EntryFault();
    if (!m_fault.isEmpty()) {
        m_comparison = {};
        m_stale = false;
        ShowComparison();
        return;
    }
    FireSpread entries;
    SetCalculatorInputs(entries, m_editor->CurrentEntries());
    m_comparison =
        CompareWithModels(FuelBedOf(entries), EnvironmentOf(entries), chosenModels(), StandardBehaviourConditions());
    m_stale = false;
    ShowComparison();
}

void ComparisonPanel::ShowComparison()
{
    const int sortColumn = m_table->horizontalHeader()->sortIndicatorSection();
    const Qt::SortOrder order = m_table->horizontalHeader()->sortIndicatorOrder();
    m_table->setSortingEnabled(false);
    m_model->removeRows(0, m_model->rowCount());
    for (int c = 0; c < ColumnCount; ++c)
        m_model->setHeaderData(c, Qt::Horizontal, columnTitle(c, true));
    if (!m_fault.isEmpty()) {
        m_table->setSortingEnabled(true);
        const QString why = QStringLiteral("<b>Not compared:</b> ") + m_fault.toHtmlEscaped() + QLatin1Char('.');
        m_nearestBehaviour->setText(why);
        m_nearestParameters->setText(QStringLiteral("<b>Nearest models:</b> none until every entry holds its range."));
        return;
    }

    auto addRow = [this](const QString &id, const QString &description, const Behaviour &b, const ComparisonRow *row) {
        QList<QStandardItem *> items;
        items << textItem(id) << textItem(description);
        items.last()->setToolTip(description);
        const std::pair<Quantity, std::pair<double, double>> values[] = {
            // In metric from the unrounded rate, rounded once, as the result box shows it.
            {Quantity::RateOfSpread, {units() == Units::System::English ? b.ros : b.unroundedRos, row ? row->dRos : 0}},
            {Quantity::FlameLength, {b.fl, row ? row->dFl : 0}},
            {Quantity::FirelineIntensity, {b.fli, row ? row->dFli : 0}},
            {Quantity::HeatPerUnitArea, {b.hpa, row ? row->dHpa : 0}}};
        for (const auto &[q, v] : values) {
            items << numberItem(shown(q, v.first), shownNumber(q, v.first));
            items << numberItem(row ? difference(q, v.second) : QString(), row ? shownNumber(q, v.second) : 0.0);
        }
        items << numberItem(row ? QString::number(row->behaviourDistance, 'f', 3) : QString(),
                            row ? row->behaviourDistance : 0.0);
        items << numberItem(row ? QString::number(row->parameterDistance, 'f', 3) : QString(),
                            row ? row->parameterDistance : 0.0);
        if (!row) {
            QFont bold = m_table->font();
            bold.setBold(true);
            for (QStandardItem *item : items) {
                item->setData(true, kEditedRole);
                item->setFont(bold);
                item->setBackground(QColor(255, 244, 200));
            }
        }
        m_model->appendRow(items);
    };
    addRow(m_editedId, QStringLiteral("(edited model)"), m_comparison.edited, nullptr);
    for (const ComparisonRow &row : m_comparison.rows)
        addRow(row.id, row.description, row.behaviour, &row);

    m_table->setSortingEnabled(true);
    m_table->sortByColumn(sortColumn, order);
    // Room for the start of a description; the whole of it is the cell's tooltip.
    m_table->setColumnWidth(ColDescription, fontMetrics().horizontalAdvance(QStringLiteral("FM6 Dormant brush, ha")));

    m_nearestBehaviour->setText(QStringLiteral("<b>Nearest by behaviour:</b> ") +
                                nearestText(NearestByBehaviour(m_comparison), &ComparisonRow::behaviourDistance));
    m_nearestParameters->setText(QStringLiteral("<b>Nearest by parameters:</b> ") +
                                 nearestText(NearestByParameters(m_comparison), &ComparisonRow::parameterDistance));
}

QString ComparisonPanel::nearestText(const std::vector<int> &order, double ComparisonRow::*distance) const
{
    if (order.empty())
        return QStringLiteral("(the set holds no models)");
    QStringList parts;
    for (std::size_t i = 0; i < order.size() && i < 5; ++i) {
        const ComparisonRow &row = m_comparison.rows[std::size_t(order[i])];
        parts << QStringLiteral("%1 (%2)").arg(row.id.toHtmlEscaped(), QString::number(row.*distance, 'f', 3));
    }
    return parts.join(QStringLiteral(", &nbsp;"));
}

CsvTable ComparisonPanel::Table() const
{
    CsvTable t;
    const QString set = m_cboSet->currentText();
    for (int c = 0; c < ColumnCount; ++c)
        t.header << columnTitle(c, false);
    t.header.insert(0, QStringLiteral("Set"));
    for (int r = 0; r < m_proxy->rowCount(); ++r) {
        QStringList row;
        const bool edited = m_proxy->index(r, 0).data(kEditedRole).toBool();
        row << (edited ? m_editor->txtFuelModelSet()->text() : set);
        for (int c = 0; c < ColumnCount; ++c) {
            const QModelIndex index = m_proxy->index(r, c);
            const QVariant v = index.data(kSortRole);
            // Numbers in full precision of the shown unit; texts as shown.
            if (c >= ColRos && !index.data().toString().isEmpty())
                row << TableNumber(v.toDouble(), c >= ColBehaviour ? 4 : 3);
            else
                row << index.data().toString();
        }
        t.rows << row;
    }
    return t;
}

ComparisonPanel *AttachComparisonPanel(frmEditModel *editor)
{
    auto *panel = new ComparisonPanel(editor);
    editor->tabResults()->addTab(panel, QStringLiteral("Compare"));
    return panel;
}
