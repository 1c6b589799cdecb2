#pragma once

#include <QString>

class FuelModelSets;
class ITree;

// The tree shows the library, in its order: one root node per set (tag "Set", images 1 and 2,
// or 4 and 5 when locked), one child per model, "ID - Description" with image 3. The library's
// data is the truth; the tree is filled from it.

// Appends the nodes of every set and model of sets to tree. When a node cannot be added (no
// memory left, or a tree refusing it), whatever has no node is taken out of sets, so that the
// two still agree, and false is returned with *error (when given) for the user.
bool FillLibraryTree(FuelModelSets &sets, ITree &tree, QString *error);
