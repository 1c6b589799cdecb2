#pragma once

#include <QString>

#include <cstdint>

// Keys of sets and models: "l" (locked set) or "n" (any other set, and every model) followed
// by a run-wide running number. The same key files an item in its collection and names its
// tree node. Keys are never stored in the library file, so the counter is 32-bit; drawing past
// INT32_MAX throws std::overflow_error.
QString NewNodeKey(bool locked);
// Whether a set's key marks it locked (its models' keys never do: ask the set's key).
inline bool IsLockedKey(const QString &key)
{
    return key.startsWith(QLatin1Char('l'));
}
void ResetNodeKeyCounter();
std::int32_t NodeKeyCounter();
