#pragma once

#include <array>

// Which of the main window's library commands a selection allows: the buttons and the tree's
// popup menu, decided from what is selected, whether something was copied and whether the
// library may be changed at all. Pure, so that the whole table is tested without a window.
enum class LibraryCommand {
    NewSet,
    DeleteSet,
    RenameSet,
    Copy,
    Cut,
    Paste,
    NewModel,
    DeleteModel,
    Edit,
    MenuCut,
    MenuCopy,
    MenuPaste,
    MenuDeleteModel,
    MenuNewModel,
    MenuNewSet,
    MenuDeleteSet,
    MenuRenameSet,
    MenuEdit,
    Default,
    Close,
};
inline constexpr int kLibraryCommandCount = int(LibraryCommand::Close) + 1;

enum class LibrarySelection { Nothing, LockedSet, UnlockedSet, LockedModel, UnlockedModel };

struct LibraryCommandContext
{
    LibrarySelection selection = LibrarySelection::Nothing;
    // Something was copied or cut and not yet pasted.
    bool clipboardFull = false;
    // The library is only looked at (another copy holds it, or it cannot be written).
    bool readOnly = false;
};

using LibraryCommandStates = std::array<bool, kLibraryCommandCount>;

LibraryCommandStates CommandStatesFor(const LibraryCommandContext &context);

inline bool CommandEnabled(const LibraryCommandStates &states, LibraryCommand command)
{
    return states[std::size_t(command)];
}

// The selection a node stands for: a set or a model, locked by its set's key.
LibrarySelection SelectionOf(bool isSet, bool setLocked);
