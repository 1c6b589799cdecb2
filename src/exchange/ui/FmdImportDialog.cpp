#include "exchange/ui/FmdImportDialog.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

FmdImportDialog::FmdImportDialog(const QString &fileName, const FmdImport &import, const QString &proposedName,
                                 std::function<QString(const QString &)> nameProblem, QWidget *parent)
    : QDialog(parent), m_nameProblem(std::move(nameProblem)), m_models(int(import.models.size()))
{
    setObjectName(QStringLiteral("frmImportCustomModels"));
    setWindowTitle(QStringLiteral("Import from the Fire Growth Simulators"));
    setModal(true);

    auto *intro = new QLabel(QStringLiteral("The report of %1. Nothing is added to the library until you choose "
                                            "\"Add\".")
                                 .arg(fileName),
                             this);
    intro->setWordWrap(true);
    txtReport = new QPlainTextEdit(this);
    txtReport->setObjectName(QStringLiteral("txtReport"));
    txtReport->setAccessibleName(QStringLiteral("Import report"));
    txtReport->setReadOnly(true);
    txtReport->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtReport->setPlainText(import.reportText());

    // The guessed fire carriers, one row a model, each changeable before the models are added.
    auto *carriersLabel =
        new QLabel(QStringLiteral("Primary &fire carriers (guessed; change any before adding):"), this);
    tblFireCarriers = new QTableWidget(m_models, 2, this);
    tblFireCarriers->setObjectName(QStringLiteral("tblFireCarriers"));
    tblFireCarriers->setAccessibleName(QStringLiteral("Primary fire carriers of the models"));
    tblFireCarriers->setHorizontalHeaderLabels({QStringLiteral("Model"), QStringLiteral("Primary Fire Carrier")});
    tblFireCarriers->verticalHeader()->hide();
    tblFireCarriers->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    tblFireCarriers->setSelectionMode(QAbstractItemView::NoSelection);
    carriersLabel->setBuddy(tblFireCarriers);
    for (int row = 0; row < m_models; ++row) {
        const FuelModel &m = *import.models[row];
        auto *item = new QTableWidgetItem(
            QStringLiteral("%1 %2 - %3").arg(import.numbers.value(row)).arg(m.FuelModelID(), m.Description()));
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        tblFireCarriers->setItem(row, 0, item);
        auto *carrier = new QComboBox(tblFireCarriers);
        carrier->setObjectName(QStringLiteral("cboFireCarrier_%1").arg(row));
        carrier->setAccessibleName(QStringLiteral("Primary fire carrier of %1").arg(m.FuelModelID()));
        for (int cat = 1; cat <= 4; ++cat)
            carrier->addItem(FuelCatText(cat), cat);
        carrier->setCurrentIndex(qBound(0, int(m.FuelCat()) - 1, 3));
        tblFireCarriers->setCellWidget(row, 1, carrier);
    }
    tblFireCarriers->resizeColumnToContents(1);
    tblFireCarriers->setVisible(m_models > 0);
    carriersLabel->setVisible(m_models > 0);

    auto *nameLabel = new QLabel(QStringLiteral("&Name of the new set:"), this);
    txtSetName = new QLineEdit(proposedName, this);
    txtSetName->setObjectName(QStringLiteral("txtSetName"));
    nameLabel->setBuddy(txtSetName);
    lblNameProblem = new QLabel(this);
    lblNameProblem->setObjectName(QStringLiteral("lblNameProblem"));
    lblNameProblem->setWordWrap(true);

    cmdAdd = new QPushButton(this);
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdAdd->setText(QStringLiteral("&Add %1 %2")
                        .arg(m_models)
                        .arg(m_models == 1 ? QStringLiteral("Model") : QStringLiteral("Models")));
    cmdAdd->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(txtSetName, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdAdd);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(txtReport, 2);
    layout->addWidget(carriersLabel);
    layout->addWidget(tblFireCarriers, 1);
    layout->addLayout(nameRow);
    layout->addWidget(lblNameProblem);
    layout->addLayout(buttons);
    resize(720, 600);

    connect(txtSetName, &QLineEdit::textChanged, this, [this] { recheck(); });
    connect(cmdAdd, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    recheck();
}

QString FmdImportDialog::SetName() const
{
    return txtSetName->text().trimmed();
}

QList<double> FmdImportDialog::FuelCats() const
{
    QList<double> cats;
    for (int row = 0; row < m_models; ++row)
        cats << qobject_cast<QComboBox *>(tblFireCarriers->cellWidget(row, 1))->currentData().toDouble();
    return cats;
}

void FmdImportDialog::recheck()
{
    QString problem;
    if (m_models == 0)
        problem = QStringLiteral("No line of the file can be taken.");
    else if (SetName().isEmpty())
        problem = QStringLiteral("The new set needs a name.");
    else if (m_nameProblem)
        problem = m_nameProblem(SetName());
    lblNameProblem->setText(problem);
    lblNameProblem->setVisible(!problem.isEmpty());
    cmdAdd->setEnabled(problem.isEmpty());
}
