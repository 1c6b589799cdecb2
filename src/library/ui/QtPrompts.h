#pragma once

#include "library/IPrompts.h"

class QWidget;

// The prompts as the user sees them: Qt message boxes, input boxes and the paste dialog, all
// modal over the active window of the program (the given window when none is active). A carriage return in a text starts a new line.
class QtPrompts : public IPrompts
{
public:
    explicit QtPrompts(QWidget *parent) : m_parent(parent) {}

    void Message(const QString &text, const QString &title, Icon icon) override;
    bool AskYesNo(const QString &text, const QString &title, Icon icon) override;
    Answer AskYesNoCancel(const QString &text, const QString &title, Icon icon) override;
    std::optional<QString> InputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    void Beep() override;
    PasteAnswer PasteModel() override;

private:
    QWidget *owner() const;
    QWidget *m_parent;
};
