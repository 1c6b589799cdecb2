#include "fmtool/Commands.h"

// compute and table: not written yet.
int fmtoolCompute(const QStringList &, const FmtoolStreams &io)
{
    std::fputs("fmtool compute: not available yet\n", io.err);
    return 2;
}
int fmtoolTable(const QStringList &, const FmtoolStreams &io)
{
    std::fputs("fmtool table: not available yet\n", io.err);
    return 2;
}
