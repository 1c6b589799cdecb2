#include "calibration/ui/frmCalibration.h"

#include "calibration/ui/CalibrationCharts.h"
#include "data/CsvTable.h"
#include "widgets/ChartStyle.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QChartView>

#include <algorithm>
#include <cmath>

// The Ranking page: every library model against the observed fires, and sending one to the
// editor (undone by Undo Send).

namespace {

using Units::Quantity;

// A number cell that sorts by value.
QTableWidgetItem *NumberItem(double v, int decimals)
{
    auto *item = new QTableWidgetItem;
    if (std::isfinite(v))
        item->setData(Qt::DisplayRole, QString::number(v, 'f', decimals).toDouble());
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

// The edited model's row stays first whichever way the table is sorted.
class PinnedItem : public QTableWidgetItem
{
public:
    explicit PinnedItem(const QTableWidgetItem &other) : QTableWidgetItem(other) { }
    bool operator<(const QTableWidgetItem &other) const override
    {
        const bool mine = data(Qt::UserRole + 1).toBool(), theirs = other.data(Qt::UserRole + 1).toBool();
        const Qt::SortOrder order =
            tableWidget() ? tableWidget()->horizontalHeader()->sortIndicatorOrder() : Qt::AscendingOrder;
        if (mine != theirs)
            return order == Qt::AscendingOrder ? mine : theirs;
        const QVariant a = data(Qt::DisplayRole), b = other.data(Qt::DisplayRole);
        if (a.typeId() == QMetaType::Double && b.typeId() == QMetaType::Double)
            return a.toDouble() < b.toDouble();
        if (a.typeId() == QMetaType::Double || b.typeId() == QMetaType::Double)
            return a.typeId() == QMetaType::Double; // blanks last
        return a.toString() < b.toString();
    }
};

QTableWidgetItem *Pinned(QTableWidgetItem *from, bool edited)
{
    auto *item = new PinnedItem(*from);
    delete from;
    item->setData(Qt::UserRole + 1, edited);
    return item;
}

} // namespace

void frmCalibration::buildRankingPage(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Models of:"), page));
    m_rankSets = new QComboBox(page);
    m_rankSets->setObjectName(QStringLiteral("cboRankSets"));
    top->addWidget(m_rankSets);
    auto *rankButton = new QPushButton(QStringLiteral("&Rank"), page);
    rankButton->setObjectName(QStringLiteral("cmdRank"));
    connect(rankButton, &QPushButton::clicked, this, &frmCalibration::rank);
    top->addWidget(rankButton);
    auto *send = new QPushButton(QStringLiteral("&Send Model to Editor"), page);
    send->setObjectName(QStringLiteral("cmdSendModel"));
    connect(send, &QPushButton::clicked, this, &frmCalibration::sendRankedModel);
    top->addWidget(send);
    auto *undo = new QPushButton(QStringLiteral("&Undo Send"), page);
    undo->setObjectName(QStringLiteral("cmdUndoSend"));
    connect(undo, &QPushButton::clicked, this, &frmCalibration::undoSend);
    top->addWidget(undo);
    auto *adjust = new QPushButton(QStringLiteral("Export Ad&justment File..."), page);
    adjust->setObjectName(QStringLiteral("cmdExportAdjustments"));
    adjust->setToolTip(QStringLiteral("The rate of spread adjustment factors of the selected models (all when none "
                                      "is selected) as the fire growth simulators read them"));
    connect(adjust, &QPushButton::clicked, this, &frmCalibration::ExportAdjustments);
    top->addWidget(adjust);
    top->addStretch(1);
    layout->addLayout(top);

    auto *split = new QSplitter(Qt::Vertical, page);
    m_ranking = new QTableWidget(0, 0, split);
    m_ranking->setObjectName(QStringLiteral("grdRanking"));
    m_ranking->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_ranking->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(m_ranking, &QTableWidget::itemSelectionChanged, this, &frmCalibration::rankingSelectionChanged);
    m_rankingChart = new QChartView(split);
    m_rankingChart->setObjectName(QStringLiteral("chtRanking"));
    MakeChartGrow(m_rankingChart, QSize(360, 240));
    split->addWidget(m_ranking);
    split->addWidget(m_rankingChart);
    layout->addWidget(split, 1);
    auto *note =
        new QLabel(QStringLiteral("The adjustment factor multiplies the rate of spread only (least squares of the log "
                                  "ratio); flame length is not adjusted by it."),
                   page);
    note->setWordWrap(true);
    layout->addWidget(note);
    DrawPredictedChart(m_rankingChart, {}, m_system);
}

void frmCalibration::rank()
{
    m_rankSets->blockSignals(true);
    const QString chosen = m_rankSets->currentText();
    m_rankSets->clear();
    m_rankSets->addItem(QStringLiteral("Master set"));
    m_rankSets->addItem(QStringLiteral("All sets"));
    if (m_hooks.SetNames)
        m_rankSets->addItems(m_hooks.SetNames());
    m_rankSets->setCurrentIndex(std::max(0, m_rankSets->findText(chosen)));
    m_rankSets->blockSignals(false);

    const ObservationImport imported = TableObservations();
    m_rankedObservations = imported.observations;
    std::vector<CandidateModel> candidates;
    if (m_hooks.EditedModel)
        candidates.push_back({QStringLiteral("(edited)"), std::make_shared<FuelModel>(m_hooks.EditedModel())});
    std::vector<CandidateModel> library;
    if (m_rankSets->currentIndex() == 0 && m_hooks.MasterModels)
        library = m_hooks.MasterModels();
    else if (m_rankSets->currentIndex() == 1 && m_hooks.Models)
        library = m_hooks.Models(QString());
    else if (m_hooks.Models)
        library = m_hooks.Models(m_rankSets->currentText());
    candidates.insert(candidates.end(), library.begin(), library.end());
    const SpreadConventions conventions = m_hooks.Conventions ? m_hooks.Conventions() : SpreadConventions::Core;
    m_rankedModels = RankModels(candidates, m_rankedObservations, {}, conventions);

    bool flame = false;
    for (const Observation &o : m_rankedObservations)
        flame = flame || o.hasFlameLength();
    const QString ros = Units::UnitLabel(Quantity::RateOfSpread, m_system),
                  fl = Units::UnitLabel(Quantity::FlameLength, m_system);
    QStringList titles = {QStringLiteral("Set"),
                          QStringLiteral("ID"),
                          QStringLiteral("Description"),
                          TitleWithUnit(QStringLiteral("ROS RMSE"), ros),
                          TitleWithUnit(QStringLiteral("ROS bias"), ros),
                          QStringLiteral("ROS MAPE (%)"),
                          QStringLiteral("ROS within 35 % (%)")};
    if (flame)
        titles << TitleWithUnit(QStringLiteral("FL RMSE"), fl) << TitleWithUnit(QStringLiteral("FL bias"), fl)
               << QStringLiteral("FL MAPE (%)") << QStringLiteral("FL within 35 % (%)");
    titles << QStringLiteral("Adjustment factor");
    m_ranking->setSortingEnabled(false);
    m_ranking->clear();
    m_ranking->setColumnCount(int(titles.size()));
    m_ranking->setHorizontalHeaderLabels(titles);
    m_ranking->setRowCount(int(m_rankedModels.size()));
    for (int r = 0; r < int(m_rankedModels.size()); ++r) {
        const RankedModel &m = m_rankedModels[size_t(r)];
        const bool edited = m.candidate.setName == QLatin1String("(edited)");
        QList<QTableWidgetItem *> items;
        items << new QTableWidgetItem(m.candidate.setName) << new QTableWidgetItem(m.candidate.model->FuelModelID())
              << new QTableWidgetItem(edited && m_hooks.EditedLabel ? m_hooks.EditedLabel()
                                                                    : m.candidate.model->Description());
        auto stats = [&](const AgreementStats &s, Quantity q) {
            items << NumberItem(Units::FromEnglish(q, m_system, s.rmse), 2)
                  << NumberItem(Units::FromEnglish(q, m_system, s.bias), 2) << NumberItem(s.mape, 1)
                  << NumberItem(100 * s.within35, 0);
        };
        stats(m.ros, Quantity::RateOfSpread);
        if (flame)
            stats(m.flame, Quantity::FlameLength);
        items << NumberItem(m.adjustment, 3);
        for (int c = 0; c < int(items.size()); ++c) {
            QTableWidgetItem *item = Pinned(items[c], edited);
            item->setData(Qt::UserRole, r);
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            m_ranking->setItem(r, c, item);
        }
    }
    m_ranking->setSortingEnabled(true);
    m_ranking->sortItems(3, Qt::AscendingOrder);
    m_ranking->resizeColumnsToContents();
    if (m_ranking->rowCount() > 0)
        m_ranking->selectRow(0);
    rankingSelectionChanged();
}

void frmCalibration::rankingSelectionChanged()
{
    QList<QPair<QString, std::vector<QPointF>>> series;
    QList<int> rows;
    for (const QModelIndex &i : m_ranking->selectionModel()->selectedRows())
        rows << m_ranking->item(i.row(), 0)->data(Qt::UserRole).toInt();
    for (int r : rows) {
        if (series.size() >= 6)
            break;
        const RankedModel &m = m_rankedModels[size_t(r)];
        series.append({QStringLiteral("%1 %2").arg(m.candidate.setName, m.candidate.model->FuelModelID()),
                       PredictedPoints(m.predictions, m_rankedObservations, m_system)});
    }
    DrawPredictedChart(m_rankingChart, series, m_system);
}

void frmCalibration::sendRankedModel()
{
    const int row = m_ranking->currentRow();
    if (row < 0 || !m_hooks.SendModel)
        return;
    const RankedModel &m = m_rankedModels[size_t(m_ranking->item(row, 0)->data(Qt::UserRole).toInt())];
    if (m_hooks.EditedModel)
        m_beforeSend = m_hooks.EditedModel();
    m_hooks.SendModel(*m.candidate.model);
    if (m_hooks.FitApplied)
        m_hooks.FitApplied(nullptr);
}

void frmCalibration::undoSend()
{
    if (!m_beforeSend || !m_hooks.SendModel)
        return;
    const FuelModel before = *m_beforeSend;
    m_beforeSend.reset();
    m_hooks.SendModel(before);
    if (m_hooks.FitApplied)
        m_hooks.FitApplied(nullptr);
}
