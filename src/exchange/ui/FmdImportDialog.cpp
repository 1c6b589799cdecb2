#include "exchange/ui/FmdImportDialog.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
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

    auto *nameLabel = new QLabel(QStringLiteral("&Name of the new set:"), this);
    txtSetName = new QLineEdit(proposedName, this);
    txtSetName->setObjectName(QStringLiteral("txtSetName"));
    nameLabel->setBuddy(txtSetName);
    lblNameProblem = new QLabel(this);
    lblNameProblem->setObjectName(QStringLiteral("lblNameProblem"));
    lblNameProblem->setWordWrap(true);

    cmdAdd = new QPushButton(this);
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdAdd->setText(QStringLiteral("&Add %1 %2").arg(m_models).arg(m_models == 1 ? QStringLiteral("Model")
                                                                                  : QStringLiteral("Models")));
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
    layout->addWidget(txtReport, 1);
    layout->addLayout(nameRow);
    layout->addWidget(lblNameProblem);
    layout->addLayout(buttons);
    resize(680, 480);

    connect(txtSetName, &QLineEdit::textChanged, this, [this] { recheck(); });
    connect(cmdAdd, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    recheck();
}

QString FmdImportDialog::SetName() const
{
    return txtSetName->text().trimmed();
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
