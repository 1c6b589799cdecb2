// The editor's Notes tab: the model's source, author and notes beside its entries, written by
// Save in the same step as the values (so that one Undo in the main window takes both back),
// and the history the program keeps of the model, newest last.
#include "testcenter/ui/frmEditModel.h"

#include "library/ModelNotes.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabWidget>

namespace {

QLabel *notesLabel(const QString &text, const char *name, QWidget *parent, QWidget *buddy)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(buddy);
    return label;
}

} // namespace

QWidget *frmEditModel::buildNotesPage()
{
    auto *page = new QWidget(m_tabResults);
    page->setObjectName(QStringLiteral("pagNotes"));
    m_txtNotesSource = new QLineEdit(page);
    m_txtNotesSource->setObjectName(QStringLiteral("txtNotesSource"));
    m_txtNotesSource->setToolTip(QStringLiteral("Where the values come from: a publication, a field campaign"));
    m_txtNotesAuthor = new QLineEdit(page);
    m_txtNotesAuthor->setObjectName(QStringLiteral("txtNotesAuthor"));
    m_txtNotes = new QPlainTextEdit(page);
    m_txtNotes->setObjectName(QStringLiteral("txtNotes"));
    m_txtNotes->setTabChangesFocus(true);
    m_txtNotesHistory = new QPlainTextEdit(page);
    m_txtNotesHistory->setObjectName(QStringLiteral("txtNotesHistory"));
    m_txtNotesHistory->setReadOnly(true);
    m_txtNotesHistory->setTabChangesFocus(true);
    m_txtNotesHistory->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto *form = new QFormLayout(page);
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    form->addRow(notesLabel(QStringLiteral("Source"), "lblNotesSource", page, m_txtNotesSource), m_txtNotesSource);
    form->addRow(notesLabel(QStringLiteral("Author"), "lblNotesAuthor", page, m_txtNotesAuthor), m_txtNotesAuthor);
    form->addRow(notesLabel(QStringLiteral("Notes"), "lblNotes", page, m_txtNotes), m_txtNotes);
    form->addRow(notesLabel(QStringLiteral("History"), "lblNotesHistory", page, m_txtNotesHistory), m_txtNotesHistory);
    auto *hint = new QLabel(QStringLiteral("Saved with the model's values by Save."), page);
    hint->setObjectName(QStringLiteral("lblNotesHint"));
    form->addRow(hint);
    return page;
}

void frmEditModel::loadNotes()
{
    const ModelNotes *n = m_EditFM ? gLibraryNotes.Of(m_EditFM.get()) : nullptr;
    m_txtNotesSource->setText(n ? n->source : QString());
    m_txtNotesSource->setCursorPosition(0);
    m_txtNotesAuthor->setText(n ? n->author : QString());
    m_txtNotesAuthor->setCursorPosition(0);
    m_txtNotes->setPlainText(n ? n->notes : QString());
    // The notes of a locked set's model are shown, not changed here (Save is off).
    m_txtNotesSource->setReadOnly(!m_Editable);
    m_txtNotesAuthor->setReadOnly(!m_Editable);
    m_txtNotes->setReadOnly(!m_Editable);
    showNotesHistory();
}

void frmEditModel::showNotesHistory()
{
    const ModelNotes *n = m_EditFM ? gLibraryNotes.Of(m_EditFM.get()) : nullptr;
    QStringList lines;
    if (n)
        for (const QJsonObject &entry : n->history)
            lines << DescribeEntry(entry);
    m_txtNotesHistory->setPlainText(lines.join(QLatin1Char('\n')));
    // The newest entry in sight.
    m_txtNotesHistory->verticalScrollBar()->setValue(m_txtNotesHistory->verticalScrollBar()->maximum());
}

bool frmEditModel::NotesChanged() const
{
    if (!m_loaded || !m_Editable || !m_EditFM)
        return false;
    const ModelNotes *n = gLibraryNotes.Of(m_EditFM.get());
    const ModelNotes none;
    const ModelNotes &now = n ? *n : none;
    return m_txtNotesSource->text() != now.source || m_txtNotesAuthor->text() != now.author ||
           m_txtNotes->toPlainText() != now.notes;
}

void frmEditModel::applyNotes()
{
    if (!NotesChanged())
        return;
    ModelNotes &n = gLibraryNotes.Edit(m_EditFM);
    n.source = m_txtNotesSource->text();
    n.author = m_txtNotesAuthor->text();
    n.notes = m_txtNotes->toPlainText();
}
