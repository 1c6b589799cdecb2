#include "fmtool/Commands.h"

#include <QCoreApplication>

namespace {

int usage(std::FILE *to)
{
    std::fputs("usage: fmtool check FILE\n"
               "       fmtool list FILE [--json] [--units english|metric]\n"
               "       fmtool notes FILE [--model ID]\n"
               "       fmtool resave FILE OUT\n"
               "       fmtool compute            (JSON Lines on standard input)\n"
               "       fmtool table FILE [options]   (fmtool table --help)\n"
               "       fmtool sweep FILE --vary INPUT [options]   (fmtool sweep --help)\n"
               "       fmtool uncertainty FILE --set NAME --model ID --vary NAME=DIST ...   (--help)\n"
               "       fmtool sobol FILE --set NAME --model ID --vary NAME=DIST ...   (--help)\n"
               "       fmtool export-fmd FILE --set NAME --units english|metric OUT\n"
               "       fmtool import-fmd FMD LIBRARY --set NAME [--accept]\n"
               "       fmtool rank OBS.csv LIBRARY [options]   (fmtool rank --help)\n"
               "       fmtool fit OBS.csv LIBRARY --set NAME --model ID --free NAMES [options]\n"
               "       fmtool adjust OBS.csv LIBRARY [options]   (fmtool adjust --help)\n",
               to);
    return 2;
}

int run(const QString &command, const QStringList &args, const FmtoolStreams &io)
{
    if (command == QLatin1String("check"))
        return fmtoolCheck(args, io);
    if (command == QLatin1String("list"))
        return fmtoolList(args, io);
    if (command == QLatin1String("notes"))
        return fmtoolNotes(args, io);
    if (command == QLatin1String("resave"))
        return fmtoolResave(args, io);
    if (command == QLatin1String("compute"))
        return fmtoolCompute(args, io);
    if (command == QLatin1String("table"))
        return fmtoolTable(args, io);
    if (command == QLatin1String("sweep"))
        return fmtoolSweep(args, io);
    if (command == QLatin1String("uncertainty"))
        return fmtoolUncertainty(args, io);
    if (command == QLatin1String("sobol"))
        return fmtoolSobol(args, io);
    if (command == QLatin1String("export-fmd"))
        return fmtoolExportFmd(args, io);
    if (command == QLatin1String("import-fmd"))
        return fmtoolImportFmd(args, io);
    if (command == QLatin1String("rank"))
        return fmtoolRank(args, io);
    if (command == QLatin1String("fit"))
        return fmtoolFit(args, io);
    if (command == QLatin1String("adjust"))
        return fmtoolAdjust(args, io);
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        usage(io.out);
        return 0;
    }
    return usage(io.err);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage(stderr);
    const QString command = args.takeFirst();
    const FmtoolStreams io;
    // Every command's output is checked: a result that did not reach its file is a failure.
    return fmtoolFinish(run(command, args, io), io);
}
