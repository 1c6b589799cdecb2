#include "library/MemoryTree.h"

#include "data/FuelModelSets.h"

#include <gtest/gtest.h>

namespace {

QStringList allKeys(const MemoryTree &tree)
{
    QStringList keys;
    for (int i = 1; i <= tree.Count(); ++i)
        keys.append(tree.KeyAt(i));
    return keys;
}

TEST(MemoryTree, PositionsFollowInsertionOrderAndShiftOnRemoval)
{
    MemoryTree tree;
    tree.AddRoot("n1", "Set A", 1);
    tree.AddChild("n1", "n2", "1 - a", 3);
    tree.AddRoot("n3", "Set B", 1);
    tree.AddChild("n3", "n4", "2 - b", 3);
    tree.AddChild("n1", "n5", "3 - c", 3); // a later child of the first set comes last by position
    EXPECT_EQ(allKeys(tree), QStringList({"n1", "n2", "n3", "n4", "n5"}));
    EXPECT_EQ(tree.ChildKeys("n1"), QStringList({"n2", "n5"}));
    EXPECT_EQ(tree.ChildKeys(""), QStringList({"n1", "n3"}));
    EXPECT_EQ(tree.ParentKey("n5"), "n1");
    EXPECT_EQ(tree.ParentKey("n1"), "");

    tree.Remove("n2");
    EXPECT_EQ(allKeys(tree), QStringList({"n1", "n3", "n4", "n5"}));
    EXPECT_EQ(tree.KeyAt(2), "n3");
    EXPECT_EQ(tree.Text("n5"), "3 - c"); // the index still finds moved nodes

    // Removing a set node takes its children with it.
    tree.SetSelectedKey("n4");
    tree.Remove("n3");
    EXPECT_EQ(allKeys(tree), QStringList({"n1", "n5"}));
    EXPECT_FALSE(tree.Contains("n4"));
    EXPECT_EQ(tree.SelectedKey(), "");
}

TEST(MemoryTree, RefusesUnknownAndDuplicateKeysWithoutChange)
{
    MemoryTree tree;
    tree.AddRoot("n1", "Set", 1);
    EXPECT_THROW(tree.AddRoot("n1", "again", 1), std::invalid_argument);
    EXPECT_THROW(tree.AddChild("n9", "n2", "x", 3), std::out_of_range);
    EXPECT_THROW(tree.Remove("n9"), std::out_of_range);
    EXPECT_THROW(tree.Text("n9"), std::out_of_range);
    EXPECT_THROW(tree.KeyAt(0), std::out_of_range);
    EXPECT_THROW(tree.KeyAt(2), std::out_of_range);
    EXPECT_THROW(tree.SetSelectedKey("n9"), std::out_of_range);
    EXPECT_EQ(allKeys(tree), QStringList({"n1"}));
    EXPECT_EQ(tree.Text("n1"), "Set");
}

TEST(MemoryTree, EnsureVisibleExpandsTheParents)
{
    MemoryTree tree;
    tree.AddRoot("n1", "Set", 1);
    tree.AddChild("n1", "n2", "m", 3);
    EXPECT_FALSE(tree.IsExpanded("n1"));
    tree.EnsureVisible("n2");
    EXPECT_TRUE(tree.IsExpanded("n1"));
}

TEST(MemoryTree, TreeMismatchNamesTheFirstDifference)
{
    FuelModelSets sets;
    auto models = std::make_shared<FuelModels>();
    models->Add("1", "Grass", 1, 0.74, 0, 0, 0, 0, 3500, 1500, 1500, 12, 8000, 8000, 8000, 1, 1, "n2", "n2");
    sets.Add("Locked one", true, models, "l1");
    sets.Add("Empty", false, std::make_shared<FuelModels>(), "n3");

    MemoryTree tree;
    tree.AddRoot("l1", "Locked one", 4);
    tree.SetExpandedImage("l1", 5);
    tree.SetTag("l1", "Set");
    tree.AddChild("l1", "n2", "1 - Grass", 3);
    tree.AddRoot("n3", "Empty", 1);
    tree.SetExpandedImage("n3", 2);
    tree.SetTag("n3", "Set");
    EXPECT_EQ(TreeMismatch(tree, sets), "");

    tree.SetText("n2", "1 - Gras");
    EXPECT_NE(TreeMismatch(tree, sets), "");
    tree.SetText("n2", "1 - Grass");
    tree.AddChild("n3", "n4", "stray", 3);
    EXPECT_NE(TreeMismatch(tree, sets), "");
    tree.Remove("n4");
    tree.SetExpandedImage("l1", 2);
    EXPECT_NE(TreeMismatch(tree, sets), "");
}

} // namespace
