#pragma once

#include <QString>

#include <optional>

// Everything the library code and the windows ask of the user, behind one interface: the real
// one shows Qt dialogs, tests answer from a script. Nothing below the windows shows a dialog
// itself.
class IPrompts
{
public:
    enum class Icon { None, Exclamation, Question, Information, Critical };

    struct PasteAnswer
    {
        QString id;
        QString description;
        // Both empty means the user cancelled the paste.
        bool cancelled() const { return id.isEmpty() && description.isEmpty(); }
    };

    virtual ~IPrompts() = default;

    // Message box with an OK button.
    virtual void Message(const QString &text, const QString &title, Icon icon) = 0;
    // Message box with Yes and No; true for Yes. No is the default button (Enter and Escape).
    virtual bool AskYesNo(const QString &text, const QString &title, Icon icon) = 0;
    // Message box with Yes, No and Cancel; Cancel is the default button (Enter and Escape).
    // Without a box of its own a prompter asks Yes or No.
    enum class Answer { Yes, No, Cancel };
    virtual Answer AskYesNoCancel(const QString &text, const QString &title, Icon icon)
    {
        return AskYesNo(text, title, icon) ? Answer::Yes : Answer::No;
    }
    // Input box; std::nullopt when cancelled.
    virtual std::optional<QString> InputBox(const QString &prompt, const QString &title,
                                            const QString &defaultText) = 0;
    virtual void Beep() = 0;
    // The modal paste dialog: a new ID and description for a pasted model, checked by the
    // dialog itself (the ID must not exist anywhere in the library).
    virtual PasteAnswer PasteModel() = 0;

    // A file to open or to save to, asked of the user.
    struct FileChoice
    {
        bool save = false;
        QString caption;
        QString filter;        // "CSV files (*.csv);;All files (*)"
        QString suggested;     // a file name, a folder, or a path holding both; empty for none
        QString suffix;        // added to a saved name typed without one; empty for none
        bool qtDialog = false; // Qt's own dialog rather than the desktop's
        QString dialogName;    // objectName of the dialog, for windows that drive it
    };
    // The path chosen; empty when cancelled. Without file dialogs of its own a prompter
    // cancels every choice.
    virtual QString ChooseFile(const FileChoice &choice)
    {
        (void)choice;
        return {};
    }
    QString ChooseOpenFile(const QString &caption, const QString &filter, const QString &suggested = {})
    {
        return ChooseFile({false, caption, filter, suggested, {}, false, {}});
    }
    QString ChooseSaveFile(const QString &caption, const QString &filter, const QString &suggested = {})
    {
        return ChooseFile({true, caption, filter, suggested, {}, false, {}});
    }
};

// The program's default message title.
inline QString AppTitle()
{
    return QStringLiteral("Varrow");
}
