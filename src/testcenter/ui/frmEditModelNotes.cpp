// The editor's Notes tab: the model's source, author and notes beside its entries, written by
// Save in the same step as the values (so that one Undo in the main window takes both back),
// and the history the program keeps of the model, newest last.
#include "testcenter/ui/frmEditModel.h"

#include "library/ModelNotes.h"

#include <QGridLayout>
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

    // Low enough never to raise the window's height: source and author share a row, the two
    // text boxes ask for two lines and scroll, the page tells how it is saved in its tool tip.
    const int twoLines = fontMetrics().lineSpacing() * 2 + 10;
    m_txtNotes->setMinimumHeight(twoLines);
    m_txtNotesHistory->setMinimumHeight(twoLines);
    for (QPlainTextEdit *box : {m_txtNotes, m_txtNotesHistory})
        box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    auto *grid = new QGridLayout(page);
    grid->setVerticalSpacing(2);
    grid->addWidget(notesLabel(QStringLiteral("Source"), "lblNotesSource", page, m_txtNotesSource), 0, 0);
    grid->addWidget(m_txtNotesSource, 0, 1);
    grid->addWidget(notesLabel(QStringLiteral("Author"), "lblNotesAuthor", page, m_txtNotesAuthor), 0, 2);
    grid->addWidget(m_txtNotesAuthor, 0, 3);
    grid->addWidget(notesLabel(QStringLiteral("Notes"), "lblNotes", page, m_txtNotes), 1, 0, Qt::AlignTop);
    grid->addWidget(m_txtNotes, 1, 1, 1, 3);
    grid->addWidget(notesLabel(QStringLiteral("History"), "lblNotesHistory", page, m_txtNotesHistory), 2, 0,
                    Qt::AlignTop);
    grid->addWidget(m_txtNotesHistory, 2, 1, 1, 3);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(1, 1);
    grid->setRowStretch(2, 1);
    page->setToolTip(QStringLiteral("The model's notes are saved with its values by Save."));
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
