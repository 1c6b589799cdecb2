// The editor's entry boxes: key filter, live range check, change propagation, the entry
// checks of the commands, the read-only mode and the computations the entries feed.
#include "testcenter/ui/frmEditModel.h"

#include "data/FuelModel.h"
#include "data/IPrompts.h"
#include "data/ProgramState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The character a key press would type, as the key filter sees it: 8 for backspace, a
// control character for editing shortcuts, 0 for keys that type nothing (arrows, Delete,
// Tab), which pass unfiltered. X11 gives Delete the text DEL (0x7F): it is an editing key
// like backspace, not a character, whatever text the platform attaches to it.
char16_t typedCharacter(const QKeyEvent *e)
{
    if (e->key() == Qt::Key_Backspace)
        return 8;
    if (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab)
        return 0;
    struct Shortcut
    {
        QKeySequence::StandardKey key;
        char16_t ch;
    };
    static const Shortcut shortcuts[] = {{QKeySequence::Copy, 3},  {QKeySequence::Paste, 22},
                                         {QKeySequence::Cut, 24},  {QKeySequence::Undo, 26},
                                         {QKeySequence::Redo, 25}, {QKeySequence::SelectAll, 1}};
    for (const auto &s : shortcuts)
        if (e->matches(s.key))
            return s.ch;
    // After the shortcuts, so that Shift+Delete stays a cut.
    if (e->key() == Qt::Key_Delete)
        return 0;
    if ((e->modifiers() & Qt::ControlModifier) && e->key() >= Qt::Key_A && e->key() <= Qt::Key_Z)
        return char16_t(e->key() - Qt::Key_A + 1);
    const QString text = e->text();
    return text.isEmpty() ? 0 : text.at(0).unicode();
}

const QString kRangeMessage = QStringLiteral("You have entries that are outside the ") + QChar(13) +
    QStringLiteral("acceptable range and are in highlighted in red.");

} // namespace

bool frmEditModel::eventFilter(QObject *watched, QEvent *event)
{
    int index = -1;
    if (watched == m_txtDescription) {
        index = 1;
    } else {
        for (int i = 0; i < kEntrySlots && index < 0; ++i)
            if (m_txtFuels[std::size_t(i)] == watched)
                index = i;
    }
    if (index < 0)
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::KeyPress:
        if (!txtFuels_KeyPress(index, static_cast<QKeyEvent *>(event)))
            return true;
        break;
    case QEvent::KeyRelease:
        txtFuels_KeyUp(index);
        break;
    case QEvent::FocusIn:
        // A mouse click places the caret after the focus arrives, so select once it has.
        txtFuels_GotFocus(index, static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason);
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

bool frmEditModel::txtFuels_KeyPress(int index, QKeyEvent *event)
{
    // Ctrl+Y redoes as Ctrl+Shift+Z does, on every desktop.
    if (event->modifiers() == Qt::ControlModifier && event->key() == Qt::Key_Y) {
        if (QLineEdit *edit = txtFuels(index))
            edit->redo();
        else if (index == 1)
            m_txtDescription->redo();
        return false;
    }
    const char16_t ch = typedCharacter(event);
    if (ch == 0)
        return true;
    return EntryKeyAccepted(index, ch, int(EntryText(index).size()));
}

void frmEditModel::txtFuels_KeyUp(int index)
{
    CheckRange(index);
    AutoCompute();
}

bool frmEditModel::IsReadOnlyEntry(int index) const
{
    if (index == 1)
        return m_txtDescription->isReadOnly();
    const QLineEdit *edit = txtFuels(index);
    return edit && edit->isReadOnly();
}

void frmEditModel::CheckRange(int index)
{
    // A read-only box keeps its button-face colour: its text cannot change.
    if (IsReadOnlyEntry(index))
        return;
    SetEntryColour(index, EntryHoldsRange(index) ? QColor(Qt::white) : LightRed());
}

bool frmEditModel::EntryHoldsRange(int index) const
{
    return m_entries->holdsRange(index);
}

void frmEditModel::boxEdited(int index)
{
    if (m_writingBox)
        return;
    const QString text = BoxText(index);
    // The description box tells of every text it is given, the same one too; the check and
    // the computation answer it as before.
    if (index == 1 && text == m_entries->text(1)) {
        txtFuels_Change(1);
        return;
    }
    m_entries->setText(index, text);
}

void frmEditModel::showEntry(int index, const QString &text)
{
    if (BoxText(index) != text) {
        m_writingBox = true;
        if (index == 1)
            m_txtDescription->setPlainText(text);
        else if (QLineEdit *edit = txtFuels(index))
            edit->setText(text);
        m_writingBox = false;
        // A box keeps a text in its own form (the description its line ends): the model takes
        // that form, and the change is answered once, for it.
        if (const QString shown = BoxText(index); shown != text) {
            m_entries->setText(index, shown);
            return;
        }
    }
    txtFuels_Change(index);
}

QString frmEditModel::BoxText(int index) const
{
    if (index == 1)
        return m_txtDescription->toPlainText();
    const QLineEdit *edit = txtFuels(index);
    return edit ? edit->text() : QString();
}

void frmEditModel::txtFuels_Change(int index)
{
    // A text written by code (loading, a restored plot, a tuner) is checked like a typed one,
    // so the colour always tells the truth about the text.
    CheckRange(index);
    if (index == kLastEnvEntry)
        UpdateMidFlameWind();
    // A unit switch rewrites the same values in other units: showUnits answers it once, after
    // the last box, and results computed earlier still answer the entries.
    if (m_entries->convertingUnits())
        return;
    if ((index >= 2 && index <= 9) || index == 13)
        ComputeRatioOnly();
    AutoCompute();
}

void frmEditModel::txtFuels_GotFocus(int index, bool deferred)
{
    const auto selectAll = [this, index] {
        if (index == 1)
            m_txtDescription->selectAll();
        else if (QLineEdit *edit = txtFuels(index))
            edit->selectAll();
    };
    if (deferred)
        QTimer::singleShot(0, this, selectAll);
    else
        selectAll();
}

QString frmEditModel::EntryText(int index) const
{
    return m_entries->text(index);
}

void frmEditModel::SetEntryText(int index, const QString &text)
{
    // The description box answers a text it already holds as well (see boxEdited).
    if (index == 1 && text == m_entries->text(1))
        m_txtDescription->setPlainText(text);
    else
        m_entries->setText(index, text);
}

void frmEditModel::ReplaceEntryText(int index, const QString &text)
{
    QLineEdit *edit = txtFuels(index);
    if (!edit) {
        SetEntryText(index, text);
        return;
    }
    if (edit->text() == text)
        return;
    // setText would clear the box's history; a replaced selection is one undoable step.
    edit->selectAll();
    edit->insert(text);
}

QColor frmEditModel::EntryColour(int index) const
{
    const QWidget *box = index == 1 ? static_cast<const QWidget *>(m_txtDescription) : txtFuels(index);
    return box ? box->palette().color(QPalette::Base) : QColor();
}

void frmEditModel::SetEntryColour(int index, const QColor &colour)
{
    QWidget *box = index == 1 ? static_cast<QWidget *>(m_txtDescription) : txtFuels(index);
    if (!box)
        return;
    QPalette p = box->palette();
    if (p.color(QPalette::Base) == colour)
        return;
    p.setColor(QPalette::Base, colour);
    box->setPalette(p);
}

bool frmEditModel::IsRed(int index) const
{
    return EntryColour(index) == LightRed();
}

bool frmEditModel::EntryRefused(int index)
{
    // The text decides, not only the colour: a box painted over (by a tuner's highlight, say)
    // cannot slip an out-of-range value through. A read-only box holds the library's value,
    // which the user cannot change, so only its colour counts.
    if (IsReadOnlyEntry(index))
        return IsRed(index);
    if (!EntryHoldsRange(index))
        SetEntryColour(index, LightRed());
    return IsRed(index);
}

void frmEditModel::FocusEntry(int index)
{
    QWidget *box = index == 1 ? static_cast<QWidget *>(m_txtDescription) : txtFuels(index);
    if (box)
        box->setFocus(Qt::OtherFocusReason);
}

TestEntries frmEditModel::CurrentEntries() const
{
    TestEntries e;
    for (int i = 0; i < kEntrySlots; ++i)
        if (IsEntryIndex(i))
            e.box[std::size_t(i)] = EntryText(i);
    e.windReduceText = m_cboWindReduce->currentText();
    e.windReducePosition = m_cboWindReduce->findText(e.windReduceText, Qt::MatchExactly);
    e.midFlameWindText = m_txtMidFlameWind->text();
    e.system = ShownUnits();
    e.shown = m_entries->shownValues();
    e.midFlameShown = m_midShown;
    e.slopeText = m_cboSlope->currentText();
    e.herbTypePosition = m_cboHerbType->currentIndex();
    return e;
}

bool frmEditModel::EntriesOK()
{
    bool result = true;
    const QString id = EntryText(0);
    if (FuelModelIDExists(*gFMSets, id, m_EditFM ? m_EditFM->Key() : QString())) {
        m_prompts->Message(QStringLiteral("ERROR: Fuel model ID ") + id + QStringLiteral("  already exists"),
                           QStringLiteral("Fuel Model ID"), IPrompts::Icon::Exclamation);
        result = false;
        FocusEntry(0);
    }
    for (int i = 0; i <= kLastModelEntry; ++i) {
        if (EntryRefused(i)) {
            m_prompts->Message(kRangeMessage, QStringLiteral("Error in entries"), IPrompts::Icon::Exclamation);
            result = false;
            FocusEntry(i);
            break;
        }
    }
    return result;
}

bool frmEditModel::EnvEntriesOK()
{
    for (int i = kFirstEnvEntry; i <= kLastEnvEntry; ++i) {
        if (EntryRefused(i)) {
            m_prompts->Message(kRangeMessage, QStringLiteral("Error in entries"), IPrompts::Icon::Exclamation);
            FocusEntry(i);
            return false;
        }
    }
    // The derived midflame wind has its own range: named, as no box of the user's is red.
    if (!MidFlameWindHolds()) {
        m_prompts->Message(MidFlameWindFault() + QStringLiteral(".") + QChar(13) +
                               QStringLiteral("Lower the 20-ft wind speed or the wind adjustment factor."),
                           QStringLiteral("Error in entries"), IPrompts::Icon::Exclamation);
        FocusEntry(kLastEnvEntry);
        return false;
    }
    return true;
}

bool frmEditModel::MidFlameWindHolds() const
{
    return MidFlameWindInRange(m_midShown.english(ShownUnits(), m_txtMidFlameWind->text()));
}

QString frmEditModel::MidFlameWindFault() const
{
    return MidFlameWindCaption(ShownUnits()) + QStringLiteral(": ") + m_txtMidFlameWind->text() +
        QStringLiteral(" is outside its range ") + MidFlameWindHint(ShownUnits());
}

QString frmEditModel::EntryFault() const
{
    if (QString fault = m_entries->fault(); !fault.isEmpty())
        return fault;
    if (!MidFlameWindHolds())
        return MidFlameWindFault();
    return {};
}

void frmEditModel::ShowResultsNote(const QString &text)
{
    m_lblResultsNote->setText(text);
    m_lblResultsNote->setVisible(!text.isEmpty());
}

void frmEditModel::SetLocked()
{
    const QColor face = QGuiApplication::palette().color(QPalette::Button);
    for (int i = 0; i <= kLastModelEntry; ++i) {
        if (i == 1)
            m_txtDescription->setReadOnly(true);
        else
            txtFuels(i)->setReadOnly(true);
        m_entries->setReadOnly(i, true);
        SetEntryColour(i, face);
        if (QPushButton *b = cmdTuner(i))
            b->setEnabled(false);
    }
    m_cboFireCarry->setEnabled(false);
    m_cboHerbType->setEnabled(false);
    m_cmdApply->setEnabled(false);
    // The disabled Save leaves its letter to Close.
    m_cmdSave->setText(QStringLiteral("Clo&se"));
}

void frmEditModel::Compute()
{
    const ComputeOutcome out =
        RunCompute(CurrentEntries(), *gFMSets, m_cboFMSet->currentIndex(), m_cboFM->currentIndex());
    m_txtROS->setText(out.current.ros);
    m_txtFLI->setText(out.current.fli);
    m_txtHeat->setText(out.current.heat);
    m_txtFL->setText(out.current.fl);
    m_txtCharSurfVolRatio->setText(out.current.charSurfVol);
    m_txtPackRatio->setText(out.current.packRatio);
    if (m_txtROS->isVisible())
        m_txtROS->repaint();
    m_txtRefROS->setText(out.reference.ros);
    m_txtRefFLI->setText(out.reference.fli);
    m_txtRefHeat->setText(out.reference.heat);
    m_txtRefFL->setText(out.reference.fl);
    ShowResultsNote({});
    emit computed();
}

void frmEditModel::ComputeRatioOnly()
{
    // Descriptors of a fuel bed with an entry out of range would describe no valid model.
    for (int i = 2; i <= kLastModelEntry; ++i) {
        if (!IsReadOnlyEntry(i) && !EntryHoldsRange(i)) {
            m_txtCharSurfVolRatio->clear();
            m_txtPackRatio->clear();
            return;
        }
    }
    const ResultTexts out = RunRatioOnly(CurrentEntries());
    m_txtCharSurfVolRatio->setText(out.charSurfVol);
    m_txtPackRatio->setText(out.packRatio);
}

void frmEditModel::AutoCompute()
{
    if (!m_chkAuto->isChecked()) {
        // Results stay as computed, but they no longer answer the entries shown.
        ShowResultsNote(m_txtROS->text().isEmpty()
                            ? QString()
                            : QStringLiteral("These results are from earlier entries: press Compute to update them."));
        return;
    }
    const QString fault = EntryFault();
    if (fault.isEmpty()) {
        Compute();
        return;
    }
    for (QLineEdit *box : {m_txtROS, m_txtFLI, m_txtHeat, m_txtFL, m_txtRefROS, m_txtRefFLI, m_txtRefHeat, m_txtRefFL})
        box->clear();
    ShowResultsNote(QStringLiteral("No results: ") + fault + QLatin1Char('.'));
    emit resultsRefused(fault);
}

void frmEditModel::PlaceRowSign(QWidget *box, QWidget *sign)
{
    // Column 4, after the box, its hint and its tune button.
    const int at = box ? m_modelGrid->indexOf(box) : -1;
    if (at < 0) {
        sign->setParent(m_modelFrame);
        return;
    }
    int row = 0, col = 0, rowSpan = 0, colSpan = 0;
    m_modelGrid->getItemPosition(at, &row, &col, &rowSpan, &colSpan);
    m_modelGrid->addWidget(sign, row, 4);
}

void frmEditModel::PlaceBelowModelFrame(QWidget *widget)
{
    m_leftColumn->insertWidget(m_leftColumn->indexOf(m_modelFrame) + 1, widget);
}
