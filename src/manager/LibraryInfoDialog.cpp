#include "manager/LibraryInfoDialog.h"

#include "manager/RestoreBackupDialog.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString counted(int n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(QLocale().toString(n), QLatin1String(n == 1 ? one : many));
}

QLabel *wrappedLabel(const QString &text, const QString &name, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QString accessText(const LibraryInfo &info)
{
    if (info.readOnly && !info.cannotWrite.isEmpty() && info.holder.isEmpty())
        return QStringLiteral("Read-only: %1. Nothing can be changed here.").arg(info.cannotWrite);
    if (info.readOnly)
        return QStringLiteral("Read-only: the library is open in another copy of Varrow (%1), which saves every "
                              "change to it. Nothing can be changed here.")
            .arg(info.holder);
    if (!info.cannotWrite.isEmpty())
        return QStringLiteral("It cannot be written: %1. Changes are kept on screen but cannot be saved.")
            .arg(info.cannotWrite);
    if (!info.folderWritable)
        return QStringLiteral("Its folder cannot be written: changes are kept on screen but cannot be saved.");
    return QStringLiteral("Read and write: every change is saved to the file at once.");
}

QString backupsText(const LibraryInfo &info)
{
    const QString where =
        QStringLiteral("Backups are kept beside the library, or in %1 when its folder cannot be written; the "
                       "newest %2 are kept.")
            .arg(QDir::toNativeSeparators(info.backupFolder))
            .arg(kBackupsKept);
    if (info.backups.isEmpty())
        return QStringLiteral("No backups yet: the library as found is kept the first time Varrow changes it in a "
                              "run. ") +
            where;
    return QStringLiteral("%1, newest first. ").arg(counted(int(info.backups.size()), "backup", "backups")) + where;
}

} // namespace

QString LibrarySizeText(const LibraryInfo &info)
{
    if (!info.exists)
        return QStringLiteral("The file does not exist yet.");
    const QLocale locale;
    return QStringLiteral("%1 (%2)").arg(locale.formattedDataSize(info.size, 1, QLocale::DataSizeTraditionalFormat),
                                         counted(int(qMin<qint64>(info.size, INT_MAX)), "byte", "bytes"));
}

QString LibraryContentsText(const LibraryInfo &info)
{
    QString sets = counted(info.sets, "set", "sets");
    if (info.lockedSets > 0)
        sets += QStringLiteral(" (%1 locked)").arg(QLocale().toString(info.lockedSets));
    return sets + QStringLiteral(", ") + counted(info.models, "model", "models");
}

LibraryInfoDialog::LibraryInfoDialog(const LibraryInfo &info, QWidget *parent)
    : QDialog(parent), m_folder(QFileInfo(info.location.path).absolutePath())
{
    setObjectName(QStringLiteral("dlgLibraryInfo"));
    setWindowTitle(QStringLiteral("Library"));

    // A path is one long word: a read-only box shows all of it, scrolled or selected.
    txtLibraryPath = new QLineEdit(QDir::toNativeSeparators(info.location.path), this);
    txtLibraryPath->setObjectName(QStringLiteral("txtLibraryPath"));
    txtLibraryPath->setAccessibleName(QStringLiteral("Library file"));
    txtLibraryPath->setReadOnly(true);
    txtLibraryPath->setToolTip(txtLibraryPath->text());
    txtLibraryPath->setCursorPosition(0);
    lblLibraryReason = wrappedLabel(info.location.reason, QStringLiteral("lblLibraryReason"), this);
    lblLibrarySize = wrappedLabel(LibrarySizeText(info), QStringLiteral("lblLibrarySize"), this);
    lblLibraryContents = wrappedLabel(LibraryContentsText(info), QStringLiteral("lblLibraryContents"), this);
    lblLibraryAccess = wrappedLabel(accessText(info), QStringLiteral("lblLibraryAccess"), this);

    auto *form = new QFormLayout;
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    form->addRow(QStringLiteral("File:"), txtLibraryPath);
    form->addRow(QStringLiteral("Why this file:"), lblLibraryReason);
    form->addRow(QStringLiteral("Size:"), lblLibrarySize);
    form->addRow(QStringLiteral("Contents:"), lblLibraryContents);
    form->addRow(QStringLiteral("Changes:"), lblLibraryAccess);

    lblBackups = wrappedLabel(backupsText(info), QStringLiteral("lblBackups"), this);
    lstBackups = new QTreeWidget(this);
    lstBackups->setObjectName(QStringLiteral("lstBackups"));
    FillBackupList(lstBackups, info.backups);
    lstBackups->setSelectionMode(QAbstractItemView::NoSelection);
    lstBackups->setVisible(!info.backups.isEmpty());

    lblOpenFolderProblem = wrappedLabel(QString(), QStringLiteral("lblOpenFolderProblem"), this);
    lblOpenFolderProblem->hide();
    cmdOpenFolder = new QPushButton(QStringLiteral("&Open Containing Folder"), this);
    cmdOpenFolder->setObjectName(QStringLiteral("cmdOpenFolder"));
    cmdOpenFolder->setToolTip(QDir::toNativeSeparators(m_folder));
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setDefault(true);
    connect(cmdOpenFolder, &QPushButton::clicked, this, &LibraryInfoDialog::openFolder);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

    m_modelTargets = info.modelTargets;
    m_setTargets = info.setTargets;
    m_notesChangeable = info.notesChangeable;
    lblOrphanNotes = wrappedLabel(QString(), QStringLiteral("lblOrphanNotes"), this);
    lstOrphanNotes = new QTreeWidget(this);
    lstOrphanNotes->setObjectName(QStringLiteral("lstOrphanNotes"));
    lstOrphanNotes->setAccessibleName(QStringLiteral("Orphaned notes"));
    lstOrphanNotes->setHeaderHidden(true);
    lstOrphanNotes->setRootIsDecorated(false);
    lstOrphanNotes->setSelectionMode(QAbstractItemView::SingleSelection);
    cboAttachNotesTo = new QComboBox(this);
    cboAttachNotesTo->setObjectName(QStringLiteral("cboAttachNotesTo"));
    cboAttachNotesTo->setAccessibleName(QStringLiteral("Attach to"));
    cboAttachNotesTo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboAttachNotesTo->setMinimumContentsLength(24);
    cmdAttachNotes = new QPushButton(QStringLiteral("&Attach"), this);
    cmdAttachNotes->setObjectName(QStringLiteral("cmdAttachNotes"));
    cmdAttachNotes->setToolTip(QStringLiteral("Give the chosen notes to the model (or set) chosen beside"));
    cmdDeleteNotes = new QPushButton(QStringLiteral("&Delete Notes"), this);
    cmdDeleteNotes->setObjectName(QStringLiteral("cmdDeleteNotes"));
    cmdDeleteNotes->setToolTip(QStringLiteral("Delete the chosen notes (Edit > Undo brings them back)"));
    connect(lstOrphanNotes, &QTreeWidget::currentItemChanged, this, &LibraryInfoDialog::orphanChosen);
    connect(cmdAttachNotes, &QPushButton::clicked, this, [this] {
        const int row = lstOrphanNotes->indexOfTopLevelItem(lstOrphanNotes->currentItem());
        if (row >= 0 && cboAttachNotesTo->currentIndex() >= 0)
            emit attachRequested(row, cboAttachNotesTo->currentIndex());
    });
    connect(cmdDeleteNotes, &QPushButton::clicked, this, [this] {
        const int row = lstOrphanNotes->indexOfTopLevelItem(lstOrphanNotes->currentItem());
        if (row >= 0)
            emit deleteRequested(row);
    });
    auto *orphanCommands = new QHBoxLayout;
    auto *attachLabel = new QLabel(QStringLiteral("A&ttach to:"), this);
    attachLabel->setObjectName(QStringLiteral("lblAttachNotesTo"));
    attachLabel->setBuddy(cboAttachNotesTo);
    orphanCommands->addWidget(attachLabel);
    orphanCommands->addWidget(cboAttachNotesTo, 1);
    orphanCommands->addWidget(cmdAttachNotes);
    orphanCommands->addWidget(cmdDeleteNotes);
    m_orphanCommands = new QWidget(this);
    m_orphanCommands->setObjectName(QStringLiteral("fraOrphanNotes"));
    orphanCommands->setContentsMargins(0, 0, 0, 0);
    m_orphanCommands->setLayout(orphanCommands);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdOpenFolder);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addWidget(lblBackups);
    layout->addWidget(lstBackups, 1);
    layout->addWidget(lblOrphanNotes);
    layout->addWidget(lstOrphanNotes, 1);
    layout->addWidget(m_orphanCommands);
    layout->addWidget(lblOpenFolderProblem);
    if (info.backups.isEmpty() && info.orphans.isEmpty())
        layout->addStretch(1);
    layout->addLayout(buttons);
    SetOrphans(info.orphans);
    resize(680, info.backups.isEmpty() && info.orphans.isEmpty() ? layout->totalHeightForWidth(680) : 480);
}

void LibraryInfoDialog::SetOrphans(const QList<OrphanNotesItem> &orphans, const QString &message)
{
    const int row = lstOrphanNotes->indexOfTopLevelItem(lstOrphanNotes->currentItem());
    m_orphans = orphans;
    lstOrphanNotes->clear();
    for (const OrphanNotesItem &o : orphans) {
        auto *item = new QTreeWidgetItem(lstOrphanNotes, {o.what});
        item->setToolTip(0, o.details);
    }
    QString text;
    if (orphans.isEmpty())
        text = QStringLiteral("No orphaned notes: every note belongs to a model or set of the library.");
    else
        text = QStringLiteral("Orphaned notes: the notes of %1, no longer in the library, kept until they are "
                              "attached to a model (or set) or deleted.")
                   .arg(counted(int(orphans.size()), "model or set", "models or sets"));
    if (!message.isEmpty())
        text = message + QLatin1Char(' ') + text;
    lblOrphanNotes->setText(text);
    lstOrphanNotes->setVisible(!orphans.isEmpty());
    m_orphanCommands->setVisible(!orphans.isEmpty());
    if (!orphans.isEmpty())
        lstOrphanNotes->setCurrentItem(lstOrphanNotes->topLevelItem(std::clamp(row, 0, int(orphans.size()) - 1)));
    orphanChosen();
}

void LibraryInfoDialog::orphanChosen()
{
    const int row = lstOrphanNotes->indexOfTopLevelItem(lstOrphanNotes->currentItem());
    const bool isSet = row >= 0 && m_orphans[row].isSet;
    const QStringList &targets = isSet ? m_setTargets : m_modelTargets;
    const QString chosen = cboAttachNotesTo->currentText();
    if (cboAttachNotesTo->property("setTargets").toBool() != isSet || cboAttachNotesTo->count() != targets.size()) {
        cboAttachNotesTo->clear();
        cboAttachNotesTo->addItems(targets);
        cboAttachNotesTo->setProperty("setTargets", isSet);
        if (const int again = cboAttachNotesTo->findText(chosen); again >= 0)
            cboAttachNotesTo->setCurrentIndex(again);
    }
    cmdAttachNotes->setEnabled(m_notesChangeable && row >= 0 && !targets.isEmpty());
    cmdDeleteNotes->setEnabled(m_notesChangeable && row >= 0);
    cboAttachNotesTo->setEnabled(m_notesChangeable && row >= 0 && !targets.isEmpty());
}

void LibraryInfoDialog::openFolder()
{
    // The file manager shows the folder; where none answers, the user is told, not left waiting.
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(m_folder))) {
        lblOpenFolderProblem->hide();
        return;
    }
    lblOpenFolderProblem->setText(
        QStringLiteral("No file manager could be started for %1.").arg(QDir::toNativeSeparators(m_folder)));
    lblOpenFolderProblem->show();
}
