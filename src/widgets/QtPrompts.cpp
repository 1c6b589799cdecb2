#include "widgets/QtPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {

QMessageBox::Icon boxIcon(IPrompts::Icon icon)
{
    switch (icon) {
    case IPrompts::Icon::Exclamation:
        return QMessageBox::Warning;
    case IPrompts::Icon::Question:
        return QMessageBox::Question;
    case IPrompts::Icon::Information:
        return QMessageBox::Information;
    case IPrompts::Icon::Critical:
        return QMessageBox::Critical;
    case IPrompts::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// Texts of this program break lines with a lone carriage return, which Qt does not show.
QString lines(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

QString titleOrDefault(const QString &title)
{
    return title.isEmpty() ? AppTitle() : title;
}

} // namespace

QWidget *QtPrompts::owner() const
{
    // Over the window the user works in (the editor, a tuner): a box owned by another window
    // would raise that one over it.
    if (QWidget *active = QApplication::activeWindow(); active && active->isVisible())
        return active;
    return m_parent;
}

void QtPrompts::Message(const QString &text, const QString &title, Icon icon)
{
    QMessageBox box(boxIcon(icon), titleOrDefault(title), lines(text), QMessageBox::Ok, owner());
    box.exec();
}

bool QtPrompts::AskYesNo(const QString &text, const QString &title, Icon icon)
{
    QMessageBox box(boxIcon(icon), titleOrDefault(title), lines(text), QMessageBox::Yes | QMessageBox::No, owner());
    // Every question of the program changes something on Yes, so an Enter typed ahead of the box
    // must not answer it.
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

IPrompts::Answer QtPrompts::AskYesNoCancel(const QString &text, const QString &title, Icon icon)
{
    QMessageBox box(boxIcon(icon), titleOrDefault(title), lines(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, owner());
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

std::optional<QString> QtPrompts::InputBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(owner(), titleOrDefault(title), lines(prompt), QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

void QtPrompts::Beep()
{
    QApplication::beep();
}

IPrompts::PasteAnswer QtPrompts::PasteModel()
{
    // Windows that paste models ask through LibraryPrompts; anywhere else a paste is cancelled.
    return {};
}

QString QtPrompts::ChooseFile(const FileChoice &choice)
{
    QFileDialog dialog(owner(), choice.caption, choice.suggested, choice.filter);
    if (!choice.dialogName.isEmpty())
        dialog.setObjectName(choice.dialogName);
    if (choice.qtDialog)
        dialog.setOption(QFileDialog::DontUseNativeDialog);
    // As the static dialogs do: a save asks before it replaces a file, an open takes one that exists.
    if (choice.save)
        dialog.setAcceptMode(QFileDialog::AcceptSave);
    else
        dialog.setFileMode(QFileDialog::ExistingFile);
    if (!choice.suffix.isEmpty())
        dialog.setDefaultSuffix(choice.suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
