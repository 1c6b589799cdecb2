#pragma once

#include "exchange/OtherLibrary.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

// The sets of another library file with their model counts: the user ticks the sets to take
// and may rename them; a set whose name this library has already is proposed a free name.
// Nothing changes until "Import" (the caller adds the sets); Import stays disabled while no set
// is ticked or a ticked set's name cannot be used.
class OtherLibraryDialog : public QDialog
{
    Q_OBJECT
public:
    OtherLibraryDialog(const QString &fileName, const OtherLibrary &library, const FuelModelSets &here,
                       QWidget *parent = nullptr);

    struct Choice
    {
        int index; // in the other library's sets
        QString name;
    };
    QList<Choice> Chosen() const;

    QTableWidget *tblSets;
    QLabel *lblProblem;
    QPushButton *cmdImport;
    QPushButton *cmdCancel;

private:
    void recheck();

    const FuelModelSets &m_here;
};
