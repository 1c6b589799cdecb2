#include "data/NodeKey.h"

#include <charconv>
#include <limits>
#include <stdexcept>

namespace {
std::int32_t g_keyCounter = 0;
}

QString NewNodeKey(bool locked)
{
    if (g_keyCounter == std::numeric_limits<std::int32_t>::max())
        throw std::overflow_error("Overflow: no more node keys in this run");
    ++g_keyCounter;
    // Made by hand: one key per record on every load, and QString::number goes through QLocale.
    char text[12] = {locked ? 'l' : 'n'};
    const char *end = std::to_chars(text + 1, text + sizeof text, g_keyCounter).ptr;
    return QString::fromLatin1(text, end - text);
}

void ResetNodeKeyCounter()
{
    g_keyCounter = 0;
}

std::int32_t NodeKeyCounter()
{
    return g_keyCounter;
}
