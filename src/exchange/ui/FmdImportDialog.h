#pragma once

#include "exchange/CustomModelFile.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

// The report of a custom fuel model file about to be imported, line by line, and the name of
// the new set the models would go into, with the guessed primary fire carrier of each model
// (one list a model, cboFireCarrier_i, changeable). Nothing is added unless the user accepts;
// the caller adds the set. "Add" is disabled while no line was taken or the set name cannot be
// used.
class FmdImportDialog : public QDialog
{
    Q_OBJECT
public:
    // nameProblem: why a set name cannot be taken (empty when it can).
    FmdImportDialog(const QString &fileName, const FmdImport &import, const QString &proposedName,
                    std::function<QString(const QString &)> nameProblem, QWidget *parent = nullptr);

    QString SetName() const;
    // The fire carrier chosen for each model of the import, in its order (1 to 4).
    QList<double> FuelCats() const;

    QPlainTextEdit *txtReport;
    QTableWidget *tblFireCarriers;
    QLineEdit *txtSetName;
    QLabel *lblNameProblem;
    QPushButton *cmdAdd;
    QPushButton *cmdCancel;

private:
    void recheck();

    std::function<QString(const QString &)> m_nameProblem;
    int m_models = 0;
};
