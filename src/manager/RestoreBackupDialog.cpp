#include "manager/RestoreBackupDialog.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

void FillBackupList(QTreeWidget *list, const QList<BackupInfo> &backups)
{
    list->setAccessibleName(QStringLiteral("Backups"));
    list->setRootIsDecorated(false);
    list->setHeaderLabels({QStringLiteral("Kept on"), QStringLiteral("Sets"), QStringLiteral("Models"),
                           QStringLiteral("File"), QStringLiteral("What")});
    const QLocale locale;
    for (const BackupInfo &b : backups) {
        auto *item = new QTreeWidgetItem(list);
        item->setText(0, locale.toString(b.when, QLocale::ShortFormat));
        item->setText(1, b.readable ? QString::number(b.sets) : QStringLiteral("-"));
        item->setText(2, b.readable ? QString::number(b.models) : QStringLiteral("cannot be read"));
        item->setText(3, QDir::toNativeSeparators(b.path));
        item->setToolTip(3, item->text(3));
        item->setData(0, Qt::UserRole, b.path);
        switch (b.kind) {
        case BackupInfo::RunBackup:
            item->setText(4, QStringLiteral("the library as a run found it"));
            break;
        case BackupInfo::OutsideCopy:
            item->setText(4, QStringLiteral("another program's version, saved over"));
            break;
        case BackupInfo::ReplacedCopy:
            item->setText(4, QStringLiteral("the library shown, before the file was read again"));
            break;
        case BackupInfo::UnreadableCopy:
            item->setText(4, QStringLiteral("a file that could not be read completely"));
            break;
        }
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        if (!b.readable)
            item->setFlags(item->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
    }
    for (int c = 0; c < 3; ++c)
        list->resizeColumnToContents(c);
}

RestoreBackupDialog::RestoreBackupDialog(const QList<BackupInfo> &backups, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgRestoreBackup"));
    setWindowTitle(QStringLiteral("Restore from Backup"));
    auto *intro = new QLabel(
        backups.isEmpty()
            ? QStringLiteral("There are no backups of the library yet. One is kept each time Varrow first changes "
                             "the library in a run.")
            : QStringLiteral("Varrow keeps the library as it was before its first change in each of the last %1 "
                             "runs. Restoring replaces the library with the backup chosen; Undo brings the library "
                             "back as it is now.")
                  .arg(kBackupsKept),
        this);
    intro->setWordWrap(true);

    lstBackups = new QTreeWidget(this);
    lstBackups->setObjectName(QStringLiteral("lstBackups"));
    FillBackupList(lstBackups, backups);
    for (int i = 0; i < lstBackups->topLevelItemCount(); ++i)
        if (lstBackups->topLevelItem(i)->flags() & Qt::ItemIsSelectable) {
            lstBackups->setCurrentItem(lstBackups->topLevelItem(i));
            break;
        }

    cmdRestore = new QPushButton(QStringLiteral("&Restore"), this);
    cmdRestore->setObjectName(QStringLiteral("cmdRestore"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdRestore->setDefault(true);
    connect(cmdRestore, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(lstBackups, &QTreeWidget::itemSelectionChanged, this, &RestoreBackupDialog::updateButtons);
    connect(lstBackups, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        if (item->flags() & Qt::ItemIsSelectable)
            accept();
    });

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdRestore);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(lstBackups, 1);
    layout->addLayout(buttons);
    resize(640, 320);
    updateButtons();
}

QString RestoreBackupDialog::ChosenPath() const
{
    const QList<QTreeWidgetItem *> chosen = lstBackups->selectedItems();
    return chosen.isEmpty() ? QString() : chosen.front()->data(0, Qt::UserRole).toString();
}

void RestoreBackupDialog::updateButtons()
{
    cmdRestore->setEnabled(!ChosenPath().isEmpty());
}
