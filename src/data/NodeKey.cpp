#include "data/NodeKey.h"

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
    return (locked ? QLatin1Char('l') : QLatin1Char('n')) + QString::number(g_keyCounter);
}

void ResetNodeKeyCounter()
{
    g_keyCounter = 0;
}

std::int32_t NodeKeyCounter()
{
    return g_keyCounter;
}
