#pragma once

#include "analysis/SetComparison.h"
#include "data/CsvTable.h"

#include <QPointer>
#include <QWidget>

class ChartExporter;
class QComboBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;
class frmEditModel;

// The "Compare" tab of the Edit and Test Center: every model of a chosen set (the locked master
// set at first) computed at the editor's environment beside the edited model, with the
// differences from it, in a table sorted by any column (the edited model's row stays on top),
// and the models nearest to the edited one by fire behaviour and by fuel parameters.
//
// It follows the editor's computations: after each Compute the comparison is made again, at
// once when the tab is shown, otherwise when it is next shown. The set list is read from the
// library each time the tab is shown. Failed computations show zeros, as the editor does.
// Entries the editor refuses (EntryFault) are compared with nothing: the table holds no rows
// and the nearest models' place names the entry at fault.
class ComparisonPanel : public QWidget
{
    Q_OBJECT
public:
    explicit ComparisonPanel(frmEditModel *editor);

    // Makes the comparison from the editor's entries now, shown or not.
    void Recompute();
    const SetComparison &Comparison() const { return m_comparison; }
    // Fills the table and the nearest models from the last comparison (also after a change of units).
    void ShowComparison();
    // The table as the export writes it (titles with units, IDs, shown numbers).
    CsvTable Table() const;

    QComboBox *SetList() const { return m_cboSet; }
    QTableView *TableView() const { return m_table; }
    QLabel *NearestByBehaviourLabel() const { return m_nearestBehaviour; }
    QLabel *NearestByParametersLabel() const { return m_nearestParameters; }
    ChartExporter *Exporter() const { return m_exporter; }

    // Columns of the table.
    enum Column {
        ColId,
        ColDescription,
        ColRos,
        ColDRos,
        ColFl,
        ColDFl,
        ColFli,
        ColDFli,
        ColHpa,
        ColDHpa,
        ColBehaviour,
        ColParameters,
        ColumnCount
    };

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fillSetList();
    QString nearestText(const std::vector<int> &order, double ComparisonRow::*distance) const;
    std::vector<std::shared_ptr<FuelModel>> chosenModels() const;

    frmEditModel *m_editor;
    QComboBox *m_cboSet = nullptr;
    QTableView *m_table = nullptr;
    QStandardItemModel *m_model = nullptr;
    QSortFilterProxyModel *m_proxy = nullptr;
    QLabel *m_nearestBehaviour = nullptr;
    QLabel *m_nearestParameters = nullptr;
    QLabel *m_conditions = nullptr;
    ChartExporter *m_exporter = nullptr;
    SetComparison m_comparison;
    QString m_editedId;
    QString m_fault;
    bool m_stale = true;
};

// Adds the "Compare" tab to the editor's results; owned by the editor.
ComparisonPanel *AttachComparisonPanel(frmEditModel *editor);
