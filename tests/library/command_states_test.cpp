#include "library/CommandStates.h"

#include <gtest/gtest.h>

namespace {

using C = LibraryCommand;
using S = LibrarySelection;

// The main window's table as its users know it, one string per command: the four columns are a
// locked set, an unlocked set, a model of a locked set and a model of an unlocked set; '1' on,
// '0' off, 'c' on exactly when something was copied.
struct Row
{
    C command;
    const char *columns;
};

const Row kExpected[] = {
    {C::NewSet, "1111"},
    {C::DeleteSet, "0100"},
    {C::RenameSet, "0100"},
    {C::Copy, "0011"},
    {C::Cut, "0001"},
    {C::Paste, "0c0c"},
    {C::NewModel, "0101"},
    {C::DeleteModel, "0001"},
    {C::Edit, "0011"},
    {C::MenuCut, "0001"},
    {C::MenuCopy, "0011"},
    {C::MenuPaste, "0c0c"},
    {C::MenuDeleteModel, "0001"},
    {C::MenuNewModel, "0101"},
    {C::MenuNewSet, "1100"},
    {C::MenuDeleteSet, "0100"},
    {C::MenuRenameSet, "0100"},
    {C::MenuEdit, "0011"},
    {C::Default, "1111"},
    {C::Close, "1111"},
};

const S kColumns[] = {S::LockedSet, S::UnlockedSet, S::LockedModel, S::UnlockedModel};

TEST(LibraryCommandStates, EveryCommandFollowsTheSelectionTableWithAndWithoutSomethingCopied)
{
    ASSERT_EQ(std::size(kExpected), std::size_t(kLibraryCommandCount));
    for (bool copied : {false, true}) {
        for (int column = 0; column < 4; ++column) {
            const LibraryCommandStates states = CommandStatesFor({kColumns[column], copied, false});
            for (const Row &row : kExpected) {
                const char cell = row.columns[column];
                const bool expected = cell == '1' || (cell == 'c' && copied);
                EXPECT_EQ(CommandEnabled(states, row.command), expected)
                    << "command " << int(row.command) << ", column " << column << ", copied " << copied;
            }
        }
    }
}

TEST(LibraryCommandStates, AReadOnlyLibraryIsOnlyLookedAtAndCopiedFrom)
{
    // Copying, opening the editor (read-only there), the default model and closing stay.
    const LibraryCommandStates states = CommandStatesFor({S::UnlockedModel, true, true});
    const LibraryCommandStates writable = CommandStatesFor({S::UnlockedModel, true, false});
    for (const C c : {C::NewSet, C::Cut, C::Paste, C::NewModel, C::DeleteModel, C::MenuCut, C::MenuPaste,
                      C::MenuDeleteModel, C::MenuNewModel}) {
        EXPECT_TRUE(CommandEnabled(writable, c)) << int(c);
        EXPECT_FALSE(CommandEnabled(states, c)) << int(c);
    }
    for (const C c : {C::Copy, C::MenuCopy, C::Edit, C::MenuEdit, C::Default, C::Close})
        EXPECT_TRUE(CommandEnabled(states, c)) << int(c);
    const LibraryCommandStates set = CommandStatesFor({S::UnlockedSet, true, true});
    for (const C c : {C::DeleteSet, C::RenameSet, C::MenuNewSet, C::MenuDeleteSet, C::MenuRenameSet})
        EXPECT_FALSE(CommandEnabled(set, c)) << int(c);
}

TEST(LibraryCommandStates, AnEmptyLibraryOffersANewSetAndClosing)
{
    for (bool readOnly : {false, true}) {
        const LibraryCommandStates states = CommandStatesFor({S::Nothing, true, readOnly});
        for (int i = 0; i < kLibraryCommandCount; ++i) {
            const C c = C(i);
            const bool newSet = c == C::NewSet || c == C::MenuNewSet;
            EXPECT_EQ(CommandEnabled(states, c), c == C::Close || (newSet && !readOnly)) << i << " " << readOnly;
        }
    }
}

TEST(LibraryCommandStates, ASelectionIsLockedByItsSet)
{
    EXPECT_EQ(SelectionOf(true, true), S::LockedSet);
    EXPECT_EQ(SelectionOf(true, false), S::UnlockedSet);
    EXPECT_EQ(SelectionOf(false, true), S::LockedModel);
    EXPECT_EQ(SelectionOf(false, false), S::UnlockedModel);
}

} // namespace
