#pragma once

#include "exchange/CustomModelFile.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

// Export of models to a custom fuel model file for the fire growth simulators: one row a model
// with its proposed number and code (both editable), the unit system, and every refusal and
// warning, kept up to date as the user types. "Export..." is enabled only while nothing is
// refused; the file name is asked for once the dialog is accepted (by its caller).
class FmdExportDialog : public QDialog
{
    Q_OBJECT
public:
    // shown: the unit system the program shows values in (the warnings speak it).
    FmdExportDialog(const QList<FmdExportItem> &proposed, const QString &what,
                    Units::System shown = Units::System::English, QWidget *parent = nullptr);

    // The models with the numbers and codes as the user left them.
    QList<FmdExportItem> Items() const;
    FmdUnits Units() const;
    FmdExportCheck Check() const { return m_check; }

    QTableWidget *tblModels;
    QComboBox *cboUnits;
    QPlainTextEdit *txtProblems;
    QPushButton *cmdExport;
    QPushButton *cmdCancel;

private:
    void recheck();

    QList<FmdExportItem> m_items;
    Units::System m_shown;
    FmdExportCheck m_check;
};
