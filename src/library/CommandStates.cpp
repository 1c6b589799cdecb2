#include "library/CommandStates.h"

namespace {

// One column per kind of selected node: locked set, unlocked set, model of a locked set, model
// of an unlocked set. Clip: enabled exactly when something was copied or cut.
enum class Rule { Off, On, Clip };
using Row = std::array<Rule, 4>;

constexpr Rule O = Rule::Off;
constexpr Rule I = Rule::On;
constexpr Rule C = Rule::Clip;

constexpr Row kAlways{I, I, I, I};
constexpr Row kUnlockedSetOnly{O, I, O, O};
constexpr Row kModels{O, O, I, I};
constexpr Row kUnlockedModelOnly{O, O, O, I};
constexpr Row kPaste{O, C, O, C};
constexpr Row kNewModel{O, I, O, I};
constexpr Row kSets{I, I, O, O};

constexpr std::array<Row, kLibraryCommandCount> kTable{
    kAlways,            // NewSet
    kUnlockedSetOnly,   // DeleteSet
    kUnlockedSetOnly,   // RenameSet
    kModels,            // Copy
    kUnlockedModelOnly, // Cut
    kPaste,             // Paste
    kNewModel,          // NewModel
    kUnlockedModelOnly, // DeleteModel
    kModels,            // Edit
    kUnlockedModelOnly, // MenuCut
    kModels,            // MenuCopy
    kPaste,             // MenuPaste
    kUnlockedModelOnly, // MenuDeleteModel
    kNewModel,          // MenuNewModel
    kSets,              // MenuNewSet
    kUnlockedSetOnly,   // MenuDeleteSet
    kUnlockedSetOnly,   // MenuRenameSet
    kModels,            // MenuEdit
    kAlways,            // Default
    kAlways,            // Close
};

// What changes the library; a read-only library keeps only looking and copying.
bool changesLibrary(LibraryCommand c)
{
    switch (c) {
    case LibraryCommand::Copy:
    case LibraryCommand::MenuCopy:
    case LibraryCommand::Edit:
    case LibraryCommand::MenuEdit:
    case LibraryCommand::Default:
    case LibraryCommand::Close:
        return false;
    default:
        return true;
    }
}

} // namespace

LibrarySelection SelectionOf(bool isSet, bool setLocked)
{
    if (isSet)
        return setLocked ? LibrarySelection::LockedSet : LibrarySelection::UnlockedSet;
    return setLocked ? LibrarySelection::LockedModel : LibrarySelection::UnlockedModel;
}

LibraryCommandStates CommandStatesFor(const LibraryCommandContext &context)
{
    LibraryCommandStates states{};
    for (int i = 0; i < kLibraryCommandCount; ++i) {
        const auto command = LibraryCommand(i);
        bool on = false;
        if (context.selection == LibrarySelection::Nothing) {
            // An empty library: only a new set (and closing) make sense.
            on = command == LibraryCommand::NewSet || command == LibraryCommand::MenuNewSet ||
                command == LibraryCommand::Close;
        } else {
            const Rule rule = kTable[std::size_t(i)][std::size_t(context.selection) - 1];
            on = rule == Rule::On || (rule == Rule::Clip && context.clipboardFull);
        }
        if (context.readOnly && changesLibrary(command))
            on = false;
        states[std::size_t(i)] = on;
    }
    return states;
}
