#pragma once

#include "data/IPrompts.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// Test double of IPrompts: a script of expected prompts (kind and exact text) with canned
// answers. An unexpected prompt throws; Finished() tells whether every answer was used. File
// dialogs are answered apart from the script, by AnswerFiles; without it one is unexpected.
class ScriptedPrompts : public IPrompts
{
public:
    enum class Kind { Message, YesNo, Input, Paste, Beep, YesNoCancel };

    struct Step
    {
        Kind kind;
        QString text;  // exact text expected (message text, question or input prompt); empty = any
        QString title; // exact title expected; empty = any
        bool yes = false;
        std::optional<QString> input;
        PasteAnswer paste;
        Answer answer = Answer::Cancel;
    };

    ScriptedPrompts &ExpectMessage(const QString &text, const QString &title = {})
    {
        m_steps.push_back({Kind::Message, text, title, false, std::nullopt, {}});
        return *this;
    }
    ScriptedPrompts &ExpectYesNo(const QString &text, bool yes, const QString &title = {})
    {
        m_steps.push_back({Kind::YesNo, text, title, yes, std::nullopt, {}});
        return *this;
    }
    ScriptedPrompts &ExpectYesNoCancel(const QString &text, Answer answer, const QString &title = {})
    {
        m_steps.push_back({Kind::YesNoCancel, text, title, false, std::nullopt, {}, answer});
        return *this;
    }
    ScriptedPrompts &ExpectInput(const QString &prompt, std::optional<QString> answer, const QString &title = {})
    {
        m_steps.push_back({Kind::Input, prompt, title, false, std::move(answer), {}});
        return *this;
    }
    ScriptedPrompts &ExpectPaste(const QString &id, const QString &description)
    {
        m_steps.push_back({Kind::Paste, {}, {}, false, std::nullopt, {id, description}});
        return *this;
    }
    ScriptedPrompts &ExpectBeep()
    {
        m_steps.push_back({Kind::Beep, {}, {}, false, std::nullopt, {}});
        return *this;
    }

    // Every file dialog from now on is answered by answer (an empty path cancels it).
    ScriptedPrompts &AnswerFiles(std::function<QString(const FileChoice &)> answer)
    {
        m_files = std::move(answer);
        return *this;
    }
    // Every file dialog from now on is answered with path.
    ScriptedPrompts &AnswerFiles(const QString &path)
    {
        return AnswerFiles([path](const FileChoice &) { return path; });
    }
    // The file dialogs shown, in order.
    const std::vector<FileChoice> &FileChoices() const { return m_fileChoices; }

    bool Finished() const { return m_steps.empty(); }
    // Every prompt shown, in order, as "kind: text".
    const QStringList &Log() const { return m_log; }
    // Last icon shown.
    Icon LastIcon() const { return m_lastIcon; }

    void Message(const QString &text, const QString &title, Icon icon) override
    {
        take(Kind::Message, text, title, icon);
    }
    bool AskYesNo(const QString &text, const QString &title, Icon icon) override
    {
        return take(Kind::YesNo, text, title, icon).yes;
    }
    Answer AskYesNoCancel(const QString &text, const QString &title, Icon icon) override
    {
        return take(Kind::YesNoCancel, text, title, icon).answer;
    }
    std::optional<QString> InputBox(const QString &prompt, const QString &title, const QString &def) override
    {
        m_lastDefault = def;
        m_defaults << def;
        return take(Kind::Input, prompt, title, Icon::None).input;
    }
    void Beep() override { take(Kind::Beep, {}, {}, Icon::None); }
    PasteAnswer PasteModel() override { return take(Kind::Paste, {}, {}, Icon::None).paste; }
    QString ChooseFile(const FileChoice &choice) override
    {
        m_fileChoices.push_back(choice);
        if (!m_files)
            throw std::logic_error("unexpected file dialog: " + choice.caption.toStdString());
        return m_files(choice);
    }

    const QString &LastInputDefault() const { return m_lastDefault; }
    // The default text of every input box shown, in order.
    const QStringList &InputDefaults() const { return m_defaults; }

private:
    Step take(Kind kind, const QString &text, const QString &title, Icon icon)
    {
        m_log << QStringLiteral("%1: %2").arg(int(kind)).arg(text);
        m_lastIcon = icon;
        if (m_steps.empty())
            throw std::logic_error("unexpected prompt: " + text.toStdString());
        Step s = m_steps.front();
        m_steps.pop_front();
        if (s.kind != kind)
            throw std::logic_error("prompt of another kind than expected: " + text.toStdString());
        if (!s.text.isEmpty() && s.text != text)
            throw std::logic_error("prompt text differs: got '" + text.toStdString() + "' expected '" +
                                   s.text.toStdString() + "'");
        if (!s.title.isEmpty() && s.title != title)
            throw std::logic_error("prompt title differs: got '" + title.toStdString() + "'");
        return s;
    }

    std::deque<Step> m_steps;
    QStringList m_log;
    Icon m_lastIcon = Icon::None;
    QString m_lastDefault;
    QStringList m_defaults;
    std::function<QString(const FileChoice &)> m_files;
    std::vector<FileChoice> m_fileChoices;
};
