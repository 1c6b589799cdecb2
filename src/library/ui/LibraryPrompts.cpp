#include "library/ui/LibraryPrompts.h"

#include "library/ui/frmPasteModel.h"

IPrompts::PasteAnswer LibraryPrompts::PasteModel()
{
    return ShowPasteModel(*this, owner());
}
