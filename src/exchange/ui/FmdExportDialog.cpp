#include "exchange/ui/FmdExportDialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
enum Column { ModelColumn, NumberColumn, CodeColumn };
}

FmdExportDialog::FmdExportDialog(const QList<FmdExportItem> &proposed, const QString &what, Units::System shown,
                                 QWidget *parent)
    : QDialog(parent), m_items(proposed), m_shown(shown)
{
    setObjectName(QStringLiteral("frmExportCustomModels"));
    setWindowTitle(QStringLiteral("Export for the Fire Growth Simulators"));
    setModal(true);

    auto *intro = new QLabel(QStringLiteral("%1 as a custom fuel model file. Each model needs a number from 1 to 256 "
                                            "that is not a standard model's (1-13, 101-219) nor reserved for "
                                            "non-burnable cover (90-99); 14 to 89 are recommended. The code is at "
                                            "most 7 characters, without blanks.")
                                 .arg(what),
                             this);
    intro->setWordWrap(true);

    tblModels = new QTableWidget(int(m_items.size()), 3, this);
    tblModels->setObjectName(QStringLiteral("tblModels"));
    tblModels->setAccessibleName(QStringLiteral("Models, their numbers and codes"));
    tblModels->setHorizontalHeaderLabels({QStringLiteral("Model"), QStringLiteral("Number"), QStringLiteral("Code")});
    tblModels->verticalHeader()->hide();
    // One text line a row, so that a set of 50 models shows a good part of itself at once.
    tblModels->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tblModels->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    tblModels->setWordWrap(false);
    tblModels->horizontalHeader()->setSectionResizeMode(ModelColumn, QHeaderView::Stretch);
    tblModels->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int row = 0; row < m_items.size(); ++row) {
        const FmdExportItem &item = m_items[row];
        auto *model = new QTableWidgetItem(ModelNodeText(*item.model));
        model->setFlags(model->flags() & ~Qt::ItemIsEditable);
        tblModels->setItem(row, ModelColumn, model);
        tblModels->setItem(row, NumberColumn,
                           new QTableWidgetItem(item.number != 0 ? QString::number(item.number) : QString()));
        tblModels->setItem(row, CodeColumn, new QTableWidgetItem(item.code));
    }
    tblModels->resizeColumnToContents(NumberColumn);

    auto *unitsLabel = new QLabel(QStringLiteral("&Units of the file:"), this);
    cboUnits = new QComboBox(this);
    cboUnits->setObjectName(QStringLiteral("cboUnits"));
    cboUnits->addItem(QStringLiteral("English (t/ac, 1/ft, ft, btu/lb)"));
    cboUnits->addItem(QStringLiteral("Metric (t/ha, 1/cm, cm, kJ/kg)"));
    unitsLabel->setBuddy(cboUnits);

    auto *problemsLabel = new QLabel(QStringLiteral("&Problems and warnings:"), this);
    txtProblems = new QPlainTextEdit(this);
    txtProblems->setObjectName(QStringLiteral("txtProblems"));
    txtProblems->setReadOnly(true);
    txtProblems->setMaximumHeight(110);
    problemsLabel->setBuddy(txtProblems);

    cmdExport = new QPushButton(QStringLiteral("&Export..."), this);
    cmdExport->setObjectName(QStringLiteral("cmdExport"));
    cmdExport->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto *unitsRow = new QHBoxLayout;
    unitsRow->addWidget(unitsLabel);
    unitsRow->addWidget(cboUnits);
    unitsRow->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdExport);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(tblModels, 1);
    layout->addLayout(unitsRow);
    layout->addWidget(problemsLabel);
    layout->addWidget(txtProblems);
    layout->addLayout(buttons);
    resize(720, 600);

    connect(tblModels, &QTableWidget::itemChanged, this, [this] { recheck(); });
    connect(cboUnits, &QComboBox::currentIndexChanged, this, [this] { recheck(); });
    connect(cmdExport, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    recheck();
}

QList<FmdExportItem> FmdExportDialog::Items() const
{
    QList<FmdExportItem> items = m_items;
    for (int row = 0; row < items.size(); ++row) {
        bool ok = false;
        const QString numberText = tblModels->item(row, NumberColumn)->text().trimmed();
        const int n = numberText.toInt(&ok);
        // A number that is not a whole number is no number; 0 is refused as "none chosen".
        items[row].number = ok ? (n == 0 ? -1 : n) : (numberText.isEmpty() ? 0 : -1);
        items[row].code = tblModels->item(row, CodeColumn)->text().trimmed();
    }
    return items;
}

FmdUnits FmdExportDialog::Units() const
{
    return cboUnits->currentIndex() == 1 ? FmdUnits::Metric : FmdUnits::English;
}

void FmdExportDialog::recheck()
{
    m_check = CheckFmdExport(Items(), Units(), m_shown);
    QStringList lines;
    for (const QString &e : m_check.errors)
        lines << QStringLiteral("Refused: ") + e;
    for (const QString &w : m_check.warnings)
        lines << QStringLiteral("Warning: ") + w;
    txtProblems->setPlainText(lines.isEmpty() ? QStringLiteral("No problems.") : lines.join(QLatin1Char('\n')));
    cmdExport->setEnabled(m_check.ok());
}
