#pragma once

#include <QString>

// The tuner windows as the Edit and Test Center sees them. The tuners layer sits above the
// editor, so it implements this and the program installs it into the editor.
class ITuners
{
public:
    virtual ~ITuners() = default;

    // The tuner button of entry index was pressed (0 = synchronized adjustment, 2..14, 20..25).
    virtual void Open(int index) = 0;
    // The text of entry box index changed: an open single tuner of that entry follows it.
    virtual void EntryChanged(int index, const QString &text) = 0;
    // The editor is closing: close every tuner window.
    virtual void CloseAll() = 0;
    // The editor now shows other units (its boxes already converted): open tuners take the
    // entry's range, labels and title in them.
    virtual void UnitsChanged() { }
};
