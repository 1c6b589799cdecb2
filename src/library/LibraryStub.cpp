#include "library/ITree.h"
