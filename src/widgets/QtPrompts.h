#pragma once

#include "data/IPrompts.h"

class QWidget;

// The prompts as the user sees them: Qt message boxes, input boxes and file dialogs, all modal over the
// active window of the program (the given window when none is active). The paste dialog belongs
// to the library's windows (LibraryPrompts); here a paste is always cancelled. A carriage return in a text starts a new line.
class QtPrompts : public IPrompts
{
public:
    explicit QtPrompts(QWidget *parent) : m_parent(parent) { }

    void Message(const QString &text, const QString &title, Icon icon) override;
    bool AskYesNo(const QString &text, const QString &title, Icon icon) override;
    Answer AskYesNoCancel(const QString &text, const QString &title, Icon icon) override;
    std::optional<QString> InputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    void Beep() override;
    PasteAnswer PasteModel() override;
    QString ChooseFile(const FileChoice &choice) override;

protected:
    QWidget *owner() const;

private:
    QWidget *m_parent;
};
