#include "fmtool/Commands.h"

// check, list and resave: not written yet.
int fmtoolCheck(const QStringList &, const FmtoolStreams &io)
{
    std::fputs("fmtool check: not available yet\n", io.err);
    return 2;
}
int fmtoolList(const QStringList &, const FmtoolStreams &io)
{
    std::fputs("fmtool list: not available yet\n", io.err);
    return 2;
}
int fmtoolResave(const QStringList &, const FmtoolStreams &io)
{
    std::fputs("fmtool resave: not available yet\n", io.err);
    return 2;
}
