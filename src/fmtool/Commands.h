#pragma once

#include <QStringList>

#include <cstdio>

// The fmtool commands. Each takes the arguments after the command word and returns the exit
// status: 0 success, 1 a problem with the input (or the output could not be written), 2 wrong
// usage, 3 the library to be written is in use by another program (its lock was not freed in
// time).
inline constexpr int kExitLibraryInUse = 3;

struct FmtoolStreams
{
    std::FILE *in = stdin;
    std::FILE *out = stdout;
    std::FILE *err = stderr;
};

// The status a command ends with once its output is flushed: a command whose output could not
// be written all (a full disk, a closed pipe) fails with a message, whatever it returned.
int fmtoolFinish(int status, const FmtoolStreams &io);

int fmtoolCheck(const QStringList &args, const FmtoolStreams &io);
int fmtoolList(const QStringList &args, const FmtoolStreams &io);
// fmtool notes: the notes file beside a library, for people.
int fmtoolNotes(const QStringList &args, const FmtoolStreams &io);
int fmtoolResave(const QStringList &args, const FmtoolStreams &io);
int fmtoolCompute(const QStringList &args, const FmtoolStreams &io);
int fmtoolTable(const QStringList &args, const FmtoolStreams &io);
// fmtool sweep: response curves of library models as CSV.
int fmtoolSweep(const QStringList &args, const FmtoolStreams &io);
// fmtool uncertainty: quantiles of one model's fire behavior under input distributions.
int fmtoolUncertainty(const QStringList &args, const FmtoolStreams &io);
// fmtool sobol: Sobol indices of one model's rate of spread and flame length.
int fmtoolSobol(const QStringList &args, const FmtoolStreams &io);
int fmtoolExportFmd(const QStringList &args, const FmtoolStreams &io);
int fmtoolImportFmd(const QStringList &args, const FmtoolStreams &io);
// fmtool rank, fit and adjust: library models against observed fires.
int fmtoolRank(const QStringList &args, const FmtoolStreams &io);
int fmtoolFit(const QStringList &args, const FmtoolStreams &io);
int fmtoolAdjust(const QStringList &args, const FmtoolStreams &io);
