#include "fmtool/Commands.h"

#include "data/NumberText.h"
#include "data/ProgramState.h"
#include "data/WholeFileWrite.h"
#include "fmtool/LockedLibraryFile.h"
#include "library/LibraryFile.h"
#include "library/MemoryTree.h"
#include "library/NotesFile.h"
#include "units/Units.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>

// check, list and resave: the library file through the program's own reader and writer.
// Results go to the output stream, problems (with file and line) to the error stream.

namespace {

void print(std::FILE *to, const QString &text)
{
    std::fputs(text.toUtf8().constData(), to);
}

int usageError(const FmtoolStreams &io, const char *usage)
{
    std::fprintf(io.err, "usage: fmtool %s\n", usage);
    return 2;
}

QString counted(int n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

QString summary(const FuelModelSets &sets)
{
    return counted(sets.Count(), "set", "sets") + QStringLiteral(", ") + counted(sets.ModelCount(), "model", "models");
}

// Reads path into gFMSets; false (problem reported) unless the read is clean. A clean read
// that looks like UTF-8 text gets a warning.
bool readLibrary(const QString &path, const FmtoolStreams &io)
{
    LibraryProblem problem;
    if (!ReadFMs(path, &problem)) {
        print(io.err, problem.toString() + QLatin1Char('\n'));
        return false;
    }
    QByteArray bytes;
    if (ReadBoundedFile(path, kLargestLibraryFile, &bytes, nullptr))
        if (const QString warning = Utf8Warning(bytes); !warning.isEmpty())
            print(io.err, QStringLiteral("warning: %1: %2\n").arg(path, warning));
    return true;
}

// The fields of a model in file order, the moisture of extinction in percent as in memory.
struct Field
{
    const char *name;
    double (FuelModel::*get)() const;
};
constexpr Field kFields[] = {
    {"BulkDensityDepth", &FuelModel::BulkDensityDepth},
    {"Loading1Hour", &FuelModel::Loading1Hour},
    {"Loading10Hour", &FuelModel::Loading10Hour},
    {"Loading100Hour", &FuelModel::Loading100Hour},
    {"LoadingLiveHerb", &FuelModel::LoadingLiveHerb},
    {"LoadingLiveWoody", &FuelModel::LoadingLiveWoody},
    {"SurfaceToVolume1Hour", &FuelModel::SurfaceToVolume1Hour},
    {"SurfaceToVolumeLiveHerb", &FuelModel::SurfaceToVolumeLiveHerb},
    {"SurfaceToVolumeLiveWoody", &FuelModel::SurfaceToVolumeLiveWoody},
    {"MoistureOfExtinction", &FuelModel::MoistureOfExtinction},
    {"HeatContentDead", &FuelModel::HeatContentDead},
    {"HeatContentLiveHerb", &FuelModel::HeatContentLiveHerb},
    {"HeatContentLiveWoody", &FuelModel::HeatContentLiveWoody},
    {"FuelCat", &FuelModel::FuelCat},
    {"HerbType", &FuelModel::HerbType},
};

QString jsonString(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\') + c;
        else if (c.unicode() < 0x20)
            out += QStringLiteral("\\u%1").arg(int(c.unicode()), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out + QLatin1Char('"');
}

// Written by hand so that the fields keep the file's order (a QJsonObject sorts its keys).
// The library file holds only finite numbers, which FormatGeneral writes as JSON numbers.
// A field's number in the units asked for (the file holds English units).
QString fieldText(const FuelModel &fm, const Field &f, Units::System units)
{
    return FormatGeneral(Units::FromEnglish(Units::CalculatorQuantity(f.name), units, (fm.*f.get)()));
}

// A model's or set's notes as a "notes" member, when it has any.
QString notesMember(const LibraryNotes &notes, const FuelModel *fm, const FuelModelSet *set)
{
    if (fm)
        if (const ModelNotes *n = notes.Of(fm); n && !n->IsEmpty())
            return QStringLiteral(", \"notes\": ") + NotesJson(*n);
    if (set)
        if (const SetNotes *n = notes.Of(set); n && !n->IsEmpty())
            return QStringLiteral(", \"notes\": ") + NotesJson(*n);
    return {};
}

QString listJson(const FuelModelSets &sets, Units::System units, const LibraryNotes &notes)
{
    // English output has no units key, as it always had; metric says so.
    QString out = units == Units::System::Metric ? QStringLiteral("{\"units\": \"metric\", \"sets\": [")
                                                 : QStringLiteral("{\"sets\": [");
    int s = 0;
    for (const auto &set : sets) {
        out += QLatin1String(s++ ? ",\n" : "\n");
        out += QStringLiteral("  {\"name\": %1, \"locked\": %2%3, \"models\": [")
                   .arg(jsonString(set->Name()), QLatin1String(set->Locked() ? "true" : "false"),
                        notesMember(notes, nullptr, set.get()));
        int m = 0;
        for (const auto &fm : *set->FuelModels()) {
            out += QLatin1String(m++ ? ",\n" : "\n");
            out += QStringLiteral("    {\"FuelModelID\": %1, \"Description\": %2")
                       .arg(jsonString(fm->FuelModelID()), jsonString(fm->Description()));
            for (const Field &f : kFields)
                out += QStringLiteral(", \"%1\": %2").arg(QLatin1String(f.name), fieldText(*fm, f, units));
            out += notesMember(notes, fm.get(), nullptr) + QLatin1Char('}');
        }
        out += QLatin1String(m ? "\n  ]}" : "]}");
    }
    out += QLatin1String(s ? "\n]" : "]");
    // Notes whose model is no longer in the library, as the notes file keeps them.
    const QList<LibraryNotes::Orphan> orphans = notes.OrphanedModels(sets);
    if (!orphans.isEmpty()) {
        out += QStringLiteral(", \"orphaned-notes\": [");
        for (qsizetype i = 0; i < orphans.size(); ++i)
            out += QStringLiteral("%1\n  {\"set\": %2, \"FuelModelID\": %3, \"notes\": %4}")
                       .arg(QLatin1String(i ? "," : ""), jsonString(orphans[i].notes.set),
                            jsonString(orphans[i].notes.id), NotesJson(orphans[i].notes));
        out += QStringLiteral("\n]");
    }
    out += QStringLiteral("}\n");
    return out;
}

QString listText(const FuelModelSets &sets, Units::System units)
{
    QString out = QStringLiteral("# FuelModelID\tDescription");
    for (const Field &f : kFields)
        out += QLatin1Char('\t') + QLatin1String(f.name);
    out += QStringLiteral("\t(MoistureOfExtinction in percent)");
    if (units == Units::System::Metric)
        out += QStringLiteral(" (metric: t/ha, m2/m3, kJ/kg, m)");
    out += QLatin1Char('\n');
    for (const auto &set : sets) {
        out += QStringLiteral("Set \"%1\" (%2, %3)\n")
                   .arg(set->Name(), QLatin1String(set->Locked() ? "locked" : "unlocked"),
                        counted(set->FuelModels()->Count(), "model", "models"));
        for (const auto &fm : *set->FuelModels()) {
            out += QStringLiteral("  ") + fm->FuelModelID() + QLatin1Char('\t') + fm->Description();
            for (const Field &f : kFields)
                out += QLatin1Char('\t') + fieldText(*fm, f, units);
            out += QLatin1Char('\n');
        }
    }
    return out;
}

} // namespace

int fmtoolCheck(const QStringList &args, const FmtoolStreams &io)
{
    if (args.size() != 1 || args[0].startsWith(QLatin1Char('-')))
        return usageError(io, "check FILE");
    if (!readLibrary(args[0], io))
        return 1;
    print(io.out, args[0] + QStringLiteral(": ") + summary(*gFMSets) + QLatin1Char('\n'));
    return 0;
}

int fmtoolList(const QStringList &args, const FmtoolStreams &io)
{
    QStringList files;
    bool json = false;
    Units::System units = Units::System::English;
    const char *usage = "list FILE [--json] [--units english|metric]";
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--json")) {
            json = true;
        } else if (a == QLatin1String("--units") || a.startsWith(QLatin1String("--units="))) {
            const QString value = a.contains(QLatin1Char('=')) ? a.mid(a.indexOf(QLatin1Char('=')) + 1)
                : i + 1 < args.size()                          ? args[++i]
                                                               : QString();
            if (!Units::ParseSystemName(value, &units))
                return usageError(io, usage);
        } else if (a.startsWith(QLatin1Char('-'))) {
            return usageError(io, usage);
        } else {
            files.append(a);
        }
    }
    if (files.size() != 1)
        return usageError(io, usage);
    if (!readLibrary(files[0], io))
        return 1;
    if (json) {
        // The notes beside the library, when it has any; a notes file that cannot be used is said.
        const NotesLoad notes = LoadNotes(files[0], *gFMSets, false);
        if (notes.kind == NotesLoad::Unreadable || notes.kind == NotesLoad::OtherLibrary)
            print(io.err, QString(notes.message).replace(QLatin1Char('\r'), QLatin1Char('\n')) + QLatin1Char('\n'));
        print(io.out, listJson(*gFMSets, units, notes.notes));
    } else {
        print(io.out, listText(*gFMSets, units));
    }
    return 0;
}

int fmtoolResave(const QStringList &args, const FmtoolStreams &io)
{
    if (args.size() != 2 || args[0].startsWith(QLatin1Char('-')) || args[1].startsWith(QLatin1Char('-')))
        return usageError(io, "resave FILE OUT");
    // The file written is locked as the window locks its library, and read under the lock
    // when it is also the file read.
    LockedLibraryFile out(args[1], io, "resave");
    if (const int status = out.Lock())
        return status;
    MemoryTree tree;
    if (FinalFilePath(args[0]) == FinalFilePath(args[1])) {
        if (!out.Read(tree))
            return 1;
    } else if (!out.Stamp() || !readLibrary(args[0], io)) {
        return 1;
    } else {
        // The notes come along: FILE's, and those OUT had for models it no longer holds are
        // kept as orphaned notes, never dropped.
        const NotesLoad notes = LoadNotes(args[0], *gFMSets, false);
        if (notes.kind == NotesLoad::Unreadable || notes.kind == NotesLoad::OtherLibrary)
            print(io.err,
                  QStringLiteral("fmtool resave: %1\n")
                      .arg(QString(notes.message).replace(QLatin1Char('\r'), QLatin1Char(' '))));
        gLibraryNotes = notes.kind == NotesLoad::Unreadable ? LibraryNotes() : notes.notes;
        QByteArray outNotes;
        if (QFileInfo::exists(NotesFilePath(args[1])) &&
            ReadBoundedFile(NotesFilePath(args[1]), kLargestLibraryFile, &outNotes, nullptr)) {
            if (const NotesParse parsed = ParseNotes(outNotes); parsed.ok)
                AddMissingNotes(gLibraryNotes, parsed.document, *gFMSets);
        }
    }
    if (!out.Write(*gFMSets))
        return 1;
    print(io.out, args[1] + QStringLiteral(": ") + summary(*gFMSets) + QStringLiteral(" written\n"));
    return 0;
}

int fmtoolFinish(int status, const FmtoolStreams &io)
{
    errno = 0;
    const bool written = std::fflush(io.out) == 0 && !std::ferror(io.out);
    if (written)
        return status;
    const int error = errno;
    std::fprintf(io.err, "fmtool: the output could not be written: %s\n", error ? std::strerror(error) : "write error");
    std::fflush(io.err);
    return status == 0 ? 1 : status;
}
