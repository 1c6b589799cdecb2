#pragma once

#include "widgets/QtPrompts.h"

// The prompts of the windows that edit the library: those of every window, and the paste dialog
// that asks for a pasted model's new ID and description.
class LibraryPrompts : public QtPrompts
{
public:
    using QtPrompts::QtPrompts;

    PasteAnswer PasteModel() override;
};
