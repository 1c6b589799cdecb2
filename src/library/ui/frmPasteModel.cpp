#include "library/ui/frmPasteModel.h"

#include "data/ProgramState.h"
#include "library/EditActions.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

frmPasteModel::frmPasteModel(IPrompts &messages, QWidget *parent) : QDialog(parent), m_messages(messages)
{
    setObjectName(QStringLiteral("frmPasteModel"));
    setWindowTitle(QStringLiteral("Paste Model"));
    setModal(true);

    Label2 = new QLabel(QStringLiteral("Please enter a new ID and Description for the parameters being pasted"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    Label5[0] = new QLabel(QStringLiteral("Fuel model ID"), this);
    Label5[1] = new QLabel(QStringLiteral("Description"), this);
    Label1[0] = new QLabel(QStringLiteral("(1 to 6 characters)"), this);
    Label1[0]->setObjectName(QStringLiteral("Label1_0"));
    for (int i = 0; i < 2; ++i) {
        Label5[i]->setObjectName(QStringLiteral("Label5_%1").arg(i));
        txtFuels[i] = new QLineEdit(this);
        txtFuels[i]->setObjectName(QStringLiteral("txtFuels_%1").arg(i));
        txtFuels[i]->installEventFilter(this);
        Label5[i]->setBuddy(txtFuels[i]);
    }
    txtFuels[0]->setMinimumWidth(90);
    txtFuels[1]->setMinimumWidth(300);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel Paste"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto *grid = new QGridLayout;
    grid->addWidget(Label5[0], 0, 0);
    grid->addWidget(txtFuels[0], 0, 1);
    grid->addWidget(Label1[0], 0, 2);
    grid->addWidget(Label5[1], 1, 0);
    grid->addWidget(txtFuels[1], 1, 1, 1, 2);
    grid->setColumnStretch(2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label2);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &frmPasteModel::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPasteModel::cmdCancel_Click);
    txtFuels[0]->setFocus();
}

QString frmPasteModel::IdText() const
{
    return txtFuels[0]->text();
}

QString frmPasteModel::DescriptionText() const
{
    return txtFuels[1]->text();
}

void frmPasteModel::cmdOK_Click()
{
    if (const auto problem = CheckPasteEntries(*gFMSets, IdText(), DescriptionText())) {
        m_messages.Message(problem->text, PasteMessageTitle(), IPrompts::Icon::Exclamation);
        txtFuels[problem->box]->setFocus();
        txtFuels[problem->box]->selectAll();
        return;
    }
    accept();
}

void frmPasteModel::cmdCancel_Click()
{
    txtFuels[0]->clear();
    txtFuels[1]->clear();
    QDialog::reject();
}

void frmPasteModel::reject()
{
    // Escape and the window's close box cancel the paste like the Cancel button.
    cmdCancel_Click();
}

bool frmPasteModel::eventFilter(QObject *watched, QEvent *event)
{
    // The whole text is selected on entering a box, so that typing replaces it; queued, since a
    // mouse click places the cursor after the focus arrives.
    if (event->type() == QEvent::FocusIn)
        if (auto *box = qobject_cast<QLineEdit *>(watched))
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

IPrompts::PasteAnswer ShowPasteModel(IPrompts &messages, QWidget *parent)
{
    frmPasteModel dialog(messages, parent);
    dialog.exec();
    return {dialog.IdText(), dialog.DescriptionText()};
}
