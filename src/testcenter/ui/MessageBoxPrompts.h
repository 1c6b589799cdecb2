#pragma once

#include "library/IPrompts.h"

class QWidget;

// IPrompts shown as real Qt dialogs above a parent window: message boxes, Yes/No questions
// and input boxes. The paste dialog is not the editor's business and answers "cancelled".
class MessageBoxPrompts : public IPrompts
{
public:
    explicit MessageBoxPrompts(QWidget *parent) : m_parent(parent) {}

    void Message(const QString &text, const QString &title, Icon icon) override;
    bool AskYesNo(const QString &text, const QString &title, Icon icon) override;
    std::optional<QString> InputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    void Beep() override;
    PasteAnswer PasteModel() override { return {}; }

private:
    QWidget *m_parent;
};
