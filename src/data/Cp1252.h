#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252, the 8-bit code page existing library files are written in. The five bytes the
// code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of
// the same number, so every byte of a file survives a decode and encode unchanged.
QString FromCp1252(QByteArrayView bytes);
// Returns false (and leaves out the character) for a character Windows-1252 cannot hold.
bool ToCp1252(QStringView text, QByteArray &out);
bool IsCp1252(QStringView text);

// Why a text cannot go into a text field of the library file, or an empty string when it can:
// a double quote (text fields have no escape) or a character Windows-1252 cannot hold.
QString LibraryTextProblem(const QString &text);
// As LibraryTextProblem, and ",Count:" too, which the header of a set uses after the name.
QString SetNameProblem(const QString &name);
