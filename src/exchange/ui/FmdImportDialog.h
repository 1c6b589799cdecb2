#pragma once

#include "exchange/CustomModelFile.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The report of a custom fuel model file about to be imported, line by line, and the name of
// the new set the models would go into. Nothing is added unless the user accepts; the caller
// adds the set. "Add" is disabled while no line was taken or the set name cannot be used.
class FmdImportDialog : public QDialog
{
    Q_OBJECT
public:
    // nameProblem: why a set name cannot be taken (empty when it can).
    FmdImportDialog(const QString &fileName, const FmdImport &import, const QString &proposedName,
                    std::function<QString(const QString &)> nameProblem, QWidget *parent = nullptr);

    QString SetName() const;

    QPlainTextEdit *txtReport;
    QLineEdit *txtSetName;
    QLabel *lblNameProblem;
    QPushButton *cmdAdd;
    QPushButton *cmdCancel;

private:
    void recheck();

    std::function<QString(const QString &)> m_nameProblem;
    int m_models = 0;
};
