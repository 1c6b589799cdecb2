#include "manager/frmVarrow.h"

#include "data/ProgramState.h"
#include "library/EditActions.h"
#include "manager/FMTree.h"
#include "testcenter/ui/frmEditModel.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

// The Notes tab: the selected model's source, author and notes with its last history entries,
// or the selected set's description, owner and notes. "Save Notes" is one step of the library's
// history, saved at once like every change.

namespace {

constexpr int kHistoryShown = 5;

} // namespace

QWidget *frmVarrow::buildNotesPage(QWidget *parent)
{
    auto *page = new QWidget(parent);
    page->setObjectName(QStringLiteral("pagNotes"));
    auto *form = new QFormLayout;
    lblNotesSource = new QLabel(QStringLiteral("Source"), page);
    lblNotesSource->setObjectName(QStringLiteral("lblNotesSource"));
    txtNotesSource = new QLineEdit(page);
    txtNotesSource->setObjectName(QStringLiteral("txtNotesSource"));
    lblNotesSource->setBuddy(txtNotesSource);
    lblNotesAuthor = new QLabel(QStringLiteral("Author"), page);
    lblNotesAuthor->setObjectName(QStringLiteral("lblNotesAuthor"));
    txtNotesAuthor = new QLineEdit(page);
    txtNotesAuthor->setObjectName(QStringLiteral("txtNotesAuthor"));
    lblNotesAuthor->setBuddy(txtNotesAuthor);
    txtNotes = new QPlainTextEdit(page);
    txtNotes->setObjectName(QStringLiteral("txtNotes"));
    txtNotes->setAccessibleName(QStringLiteral("Notes"));
    txtNotesHistory = new QPlainTextEdit(page);
    txtNotesHistory->setObjectName(QStringLiteral("txtNotesHistory"));
    txtNotesHistory->setAccessibleName(QStringLiteral("History"));
    txtNotesHistory->setReadOnly(true);
    txtNotesHistory->setLineWrapMode(QPlainTextEdit::NoWrap);
    form->addRow(lblNotesSource, txtNotesSource);
    form->addRow(lblNotesAuthor, txtNotesAuthor);
    auto *lblNotes = new QLabel(QStringLiteral("Notes"), page);
    lblNotes->setObjectName(QStringLiteral("lblNotes"));
    lblNotes->setBuddy(txtNotes);
    form->addRow(lblNotes, txtNotes);
    auto *lblHistory = new QLabel(QStringLiteral("History"), page);
    lblHistory->setObjectName(QStringLiteral("lblNotesHistory"));
    form->addRow(lblHistory, txtNotesHistory);
    cmdSaveNotes = new QPushButton(QStringLiteral("Save Notes"), page);
    cmdSaveNotes->setObjectName(QStringLiteral("cmdSaveNotes"));
    connect(cmdSaveNotes, &QPushButton::clicked, this, &frmVarrow::cmdSaveNotes_Click);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(form, 1);
    layout->addWidget(cmdSaveNotes, 0, Qt::AlignRight);
    return page;
}

void frmVarrow::showNotes()
{
    if (!txtNotes)
        return;
    const QString sel = treeFMs->SelectedKey();
    const bool isSet = !sel.isEmpty() && treeFMs->Tag(sel) == kSetTag;
    lblNotesSource->setText(isSet ? QStringLiteral("Description") : QStringLiteral("Source"));
    lblNotesAuthor->setText(isSet ? QStringLiteral("Owner") : QStringLiteral("Author"));
    QString source, author, notes, history;
    const QString setKey = SelectedSetKey(*treeFMs);
    if (!setKey.isEmpty() && gFMSets->Contains(setKey)) {
        const auto set = gFMSets->Item(setKey);
        if (isSet) {
            if (const SetNotes *n = gLibraryNotes.Of(set.get())) {
                source = n->description;
                author = n->owner;
                notes = n->notes;
            }
        } else if (set->FuelModels()->Contains(sel)) {
            if (const ModelNotes *n = gLibraryNotes.Of(set->FuelModels()->Item(sel).get())) {
                source = n->source;
                author = n->author;
                notes = n->notes;
                QStringList lines;
                for (qsizetype i = std::max<qsizetype>(0, n->history.size() - kHistoryShown); i < n->history.size();
                     ++i)
                    lines << DescribeEntry(n->history[i]);
                history = lines.join(QLatin1Char('\n'));
            }
        }
    }
    txtNotesSource->setText(source);
    txtNotesSource->setCursorPosition(0);
    txtNotesAuthor->setText(author);
    txtNotesAuthor->setCursorPosition(0);
    txtNotes->setPlainText(notes);
    txtNotesHistory->setPlainText(history);
    txtNotesHistory->setEnabled(!isSet);
    // Notes of a locked set's models can be written too: they are not in the library file.
    const bool editable = !sel.isEmpty() && !m_session->Store().ReadOnly() && !m_editor;
    for (QWidget *w : {static_cast<QWidget *>(txtNotesSource), static_cast<QWidget *>(txtNotesAuthor),
                       static_cast<QWidget *>(txtNotes), static_cast<QWidget *>(cmdSaveNotes)})
        w->setEnabled(editable);
}

void frmVarrow::cmdSaveNotes_Click()
{
    const QString sel = treeFMs->SelectedKey();
    const QString setKey = SelectedSetKey(*treeFMs);
    if (sel.isEmpty() || setKey.isEmpty() || !gFMSets->Contains(setKey))
        return;
    const auto set = gFMSets->Item(setKey);
    const QString source = txtNotesSource->text();
    const QString author = txtNotesAuthor->text();
    const QString notes = txtNotes->toPlainText();
    if (sel == setKey) {
        ApplyLibraryChange(QStringLiteral("Notes of Set '%1'").arg(set->Name()), [&] {
            SetNotes &n = gLibraryNotes.Edit(set);
            n.description = source;
            n.owner = author;
            n.notes = notes;
            return true;
        });
    } else if (set->FuelModels()->Contains(sel)) {
        const auto fm = set->FuelModels()->Item(sel);
        ApplyLibraryChange(QStringLiteral("Notes of Model '%1'").arg(ModelNodeText(*fm)), [&] {
            ModelNotes &n = gLibraryNotes.Edit(fm);
            n.source = source;
            n.author = author;
            n.notes = notes;
            return true;
        });
    }
    showNotes();
}
