// The tree is filled from the library read, never by the reader: the data alone is the same
// read, and a tree that refuses a node leaves the library and the tree agreeing.
#include "library/LibraryTree.h"

#include "support/LibraryFileSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using namespace libraryfiletest;
using LibraryTree = LibraryFileTest;

// A tree that refuses its n-th node (a root or a child), as a widget tree short of memory.
class RefusingTree : public MemoryTree
{
public:
    explicit RefusingTree(int refuseAt) : m_left(refuseAt) { }
    void AddRoot(const QString &key, const QString &text, int image) override
    {
        count();
        MemoryTree::AddRoot(key, text, image);
    }
    void AddChild(const QString &parentKey, const QString &key, const QString &text, int image) override
    {
        count();
        MemoryTree::AddChild(parentKey, key, text, image);
    }

private:
    void count()
    {
        if (--m_left == 0)
            throw std::runtime_error("no room for another node");
    }
    int m_left;
};

TEST_F(LibraryTree, TheDataAloneIsTheSameReadAsWithATree)
{
    const QByteArray bytes = variedLibrary();
    const LibraryReadResult withTree = read(bytes);
    ASSERT_TRUE(withTree.ok) << withTree.problem.toString().toStdString();
    ResetProgramState();
    const LibraryReadResult dataOnly = ReadLibrary(bytes);
    ASSERT_TRUE(dataOnly.ok);
    ASSERT_EQ(dataOnly.sets->Count(), withTree.sets->Count());
    EXPECT_EQ(dataOnly.sets->ModelCount(), withTree.sets->ModelCount());
    for (int s = 1; s <= dataOnly.sets->Count(); ++s) {
        EXPECT_EQ(dataOnly.sets->Item(s)->Name(), withTree.sets->Item(s)->Name());
        EXPECT_EQ(dataOnly.sets->Item(s)->Locked(), withTree.sets->Item(s)->Locked());
    }
    // And the tree made from the data shows every set and model, locked sets with their images.
    EXPECT_EQ(tree.Count(), withTree.sets->Count() + withTree.sets->ModelCount());
    EXPECT_EQ(TreeMismatch(tree, *withTree.sets), "");
}

TEST_F(LibraryTree, ATreeRefusingANodeLeavesOnlyWhatItShows)
{
    const QByteArray bytes = variedLibrary();
    ResetProgramState();
    const int nodes = [&] {
        const LibraryReadResult whole = ReadLibrary(bytes);
        return whole.sets->Count() + whole.sets->ModelCount();
    }();
    ASSERT_GT(nodes, 5);
    for (int n = 1; n <= nodes; ++n) {
        ResetProgramState();
        RefusingTree refusing(n);
        const LibraryReadResult result = ReadLibrary(bytes, refusing);
        EXPECT_FALSE(result.ok) << n;
        EXPECT_FALSE(result.problem.message.isEmpty()) << n;
        // Everything before the refused node stays, nothing after it.
        EXPECT_EQ(refusing.Count(), n - 1) << n;
        EXPECT_EQ(result.sets->Count() + result.sets->ModelCount(), n - 1) << n;
        EXPECT_EQ(TreeMismatch(refusing, *result.sets), "") << n;
    }
}

} // namespace
