#include "exchange/ui/OtherLibraryDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
enum Column { SetColumn, ModelsColumn, NameColumn };
}

OtherLibraryDialog::OtherLibraryDialog(const QString &fileName, const OtherLibrary &library, const FuelModelSets &here,
                                       QWidget *parent)
    : QDialog(parent), m_here(here)
{
    setObjectName(QStringLiteral("frmImportSets"));
    setWindowTitle(QStringLiteral("Import Sets from Another Library"));
    setModal(true);

    auto *intro = new QLabel(QStringLiteral("The sets of %1. Tick the sets to import; a set takes the name in the "
                                            "last column. Nothing changes in this library until you choose "
                                            "\"Import\".")
                                 .arg(fileName),
                             this);
    intro->setWordWrap(true);

    tblSets = new QTableWidget(int(library.sets.size()), 3, this);
    tblSets->setObjectName(QStringLiteral("tblSets"));
    tblSets->setAccessibleName(QStringLiteral("Sets of the other library"));
    tblSets->setHorizontalHeaderLabels(
        {QStringLiteral("Set"), QStringLiteral("Models"), QStringLiteral("Name in this library")});
    tblSets->verticalHeader()->hide();
    tblSets->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tblSets->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    tblSets->horizontalHeader()->setSectionResizeMode(SetColumn, QHeaderView::Stretch);
    tblSets->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    QStringList proposed;
    for (int row = 0; row < library.sets.size(); ++row) {
        const OtherLibrarySet &set = library.sets[row];
        auto *name = new QTableWidgetItem(set.name + (set.locked ? QStringLiteral(" (locked)") : QString()));
        name->setFlags((name->flags() | Qt::ItemIsUserCheckable) & ~Qt::ItemIsEditable);
        name->setCheckState(Qt::Unchecked);
        tblSets->setItem(row, SetColumn, name);
        auto *count = new QTableWidgetItem(QString::number(set.models));
        count->setFlags(count->flags() & ~Qt::ItemIsEditable);
        count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        tblSets->setItem(row, ModelsColumn, count);
        const QString free = FreeSetName(here, set.name, proposed);
        proposed << free;
        tblSets->setItem(row, NameColumn, new QTableWidgetItem(free));
    }
    tblSets->resizeColumnToContents(ModelsColumn);

    lblProblem = new QLabel(this);
    lblProblem->setObjectName(QStringLiteral("lblProblem"));
    lblProblem->setWordWrap(true);
    cmdImport = new QPushButton(QStringLiteral("&Import"), this);
    cmdImport->setObjectName(QStringLiteral("cmdImport"));
    cmdImport->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdImport);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(tblSets, 1);
    layout->addWidget(lblProblem);
    layout->addLayout(buttons);
    resize(600, 400);

    connect(tblSets, &QTableWidget::itemChanged, this, [this] { recheck(); });
    connect(cmdImport, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    recheck();
}

QList<OtherLibraryDialog::Choice> OtherLibraryDialog::Chosen() const
{
    QList<Choice> chosen;
    for (int row = 0; row < tblSets->rowCount(); ++row)
        if (tblSets->item(row, SetColumn)->checkState() == Qt::Checked)
            chosen << Choice{row, tblSets->item(row, NameColumn)->text().trimmed()};
    return chosen;
}

void OtherLibraryDialog::recheck()
{
    const QList<Choice> chosen = Chosen();
    QString problem;
    QStringList names;
    for (const Choice &c : chosen) {
        problem = ImportedSetNameProblem(m_here, c.name, names);
        if (!problem.isEmpty())
            break;
        names << c.name;
    }
    if (chosen.isEmpty())
        problem = QStringLiteral("Tick the sets to import.");
    lblProblem->setText(problem);
    cmdImport->setEnabled(problem.isEmpty());
}
