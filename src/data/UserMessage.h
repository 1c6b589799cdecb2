#pragma once

#include <QString>

#include <exception>

// What to tell the user when an exception stopped a command: a sentence written for analysts,
// never the wording of a container or the standard library ("Subscript out of range"). The
// technical text is kept only where it was written for users (an application error's
// description).
QString UserMessageOf(const std::exception &e);
