#pragma once

#include <QByteArrayView>
#include <QString>

// What must hold for any bytes handed to the library reader, shared by the fuzz target and the
// test that replays the cases it found:
//  - the reader returns (no crash, no exception) with a library and a tree that agree;
//  - it holds no more models than the bytes have room for;
//  - a failure names a line inside the bytes and says what went wrong;
//  - what was read, cleanly or up to a failure, writes back, and the written bytes read
//    cleanly into the same sets and models and write again to the very same bytes.
// Returns an empty string when all of it holds, otherwise the first thing that did not.
QString LibraryRoundTripFault(QByteArrayView bytes);
