#include "testcenter/ui/MessageBoxPrompts.h"

#include <QApplication>
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
QString shownText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

void MessageBoxPrompts::Message(const QString &text, const QString &title, Icon icon)
{
    QMessageBox box(boxIcon(icon), title, shownText(text), QMessageBox::Ok, m_parent);
    box.exec();
}

bool MessageBoxPrompts::AskYesNo(const QString &text, const QString &title, Icon icon)
{
    QMessageBox box(boxIcon(icon), title, shownText(text), QMessageBox::Yes | QMessageBox::No, m_parent);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> MessageBoxPrompts::InputBox(const QString &prompt, const QString &title,
                                                   const QString &defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, title, shownText(prompt), QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

void MessageBoxPrompts::Beep()
{
    QApplication::beep();
}
