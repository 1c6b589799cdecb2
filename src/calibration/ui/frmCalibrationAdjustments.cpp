#include "calibration/ui/frmCalibration.h"

#include "calibration/AdjustmentFile.h"
#include "data/CsvTable.h"
#include "data/IPrompts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

// Export Adjustment File of the Ranking page: the numbers are typed in a window of their own,
// checked by AdjustmentLines, then the file is chosen through the prompts and written.

void frmCalibration::ExportAdjustments()
{
    QList<int> rows;
    for (const QModelIndex &i : m_ranking->selectionModel()->selectedRows())
        rows << i.row();
    if (rows.isEmpty())
        for (int r = 0; r < m_ranking->rowCount(); ++r)
            rows << r;
    std::sort(rows.begin(), rows.end());
    std::vector<const RankedModel *> models;
    QStringList ids;
    for (int row : rows) {
        const RankedModel &m = m_rankedModels[size_t(m_ranking->item(row, 0)->data(Qt::UserRole).toInt())];
        if (!std::isfinite(m.adjustment))
            continue; // spreads at no observed fire
        models.push_back(&m);
        ids << m.candidate.model->FuelModelID();
    }
    if (models.empty()) {
        QMessageBox box(QMessageBox::Information, windowTitle(),
                        QStringLiteral("No ranked model has an adjustment factor: rank the models first (a model that "
                                       "spreads at no observed fire has none)."),
                        QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("msgNoAdjustments"));
        box.exec();
        return;
    }

    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("dlgAdjustmentExport"));
    dialog.setWindowTitle(QStringLiteral("Export Adjustment File"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *intro = new QLabel(QStringLiteral("Each model's line gets the number typed here (the model number in the "
                                            "simulators' landscape). Flame length is not adjusted by these factors."),
                             &dialog);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto *table = new QTableWidget(int(models.size()), 4, &dialog);
    table->setObjectName(QStringLiteral("grdAdjustmentNumbers"));
    table->setHorizontalHeaderLabels(
        {QStringLiteral("Set"), QStringLiteral("ID"), QStringLiteral("Factor"), QStringLiteral("Number")});
    table->verticalHeader()->hide();
    const std::vector<int> proposed = ProposeAdjustmentNumbers(ids);
    for (int r = 0; r < int(models.size()); ++r) {
        const RankedModel &m = *models[size_t(r)];
        const QStringList cells = {m.candidate.setName, m.candidate.model->FuelModelID(), TableNumber(m.adjustment, 4)};
        for (int c = 0; c < 3; ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            table->setItem(r, c, item);
        }
        table->setItem(
            r, 3, new QTableWidgetItem(proposed[size_t(r)] > 0 ? QString::number(proposed[size_t(r)]) : QString()));
    }
    table->resizeColumnsToContents();
    layout->addWidget(table, 1);
    auto *problem = new QLabel(&dialog);
    problem->setObjectName(QStringLiteral("lblAdjustmentProblem"));
    problem->setStyleSheet(QStringLiteral("QLabel { color: #a01010; }"));
    problem->setWordWrap(true);
    layout->addWidget(problem);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Export..."));
    layout->addWidget(buttons);
    std::vector<std::pair<int, double>> lines;
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        std::vector<TypedAdjustment> typed;
        for (int r = 0; r < table->rowCount(); ++r)
            typed.push_back({table->item(r, 1)->text(), table->item(r, 3)->text(), models[size_t(r)]->adjustment});
        QStringList faults;
        lines = AdjustmentLines(typed, &faults);
        problem->setText(faults.join(QLatin1Char('\n')));
        if (faults.isEmpty())
            dialog.accept();
    });
    dialog.resize(460, 360);
    if (dialog.exec() != QDialog::Accepted)
        return;

    const QString path = prompts().ChooseFile({true,
                                               QStringLiteral("Export Adjustment File"),
                                               QStringLiteral("Adjustment files (*.adj);;All files (*)"),
                                               {},
                                               QStringLiteral("adj"),
                                               true,
                                               QStringLiteral("dlgAdjustmentFile")});
    if (path.isEmpty())
        return;
    QString error;
    if (!SaveTextFile(path, QString::fromLatin1(WriteAdjustmentFile(lines)), &error))
        QMessageBox::warning(this, windowTitle(), error);
}
