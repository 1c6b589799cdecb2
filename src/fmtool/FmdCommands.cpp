// fmtool export-fmd and import-fmd: the simulators' custom fuel model file from and into a
// library file, with the checks and the report the windows show.
#include "fmtool/CommandOptions.h"
#include "fmtool/Commands.h"

#include "data/Cp1252.h"
#include "data/ProgramSettings.h"
#include "data/ProgramState.h"
#include "data/WholeFileWrite.h"
#include "exchange/CustomModelFile.h"
#include "exchange/ExportNumbers.h"
#include "exchange/OtherLibrary.h"
#include "fmtool/LockedLibraryFile.h"
#include "library/EditActions.h"
#include "library/LibraryFile.h"
#include "library/MemoryTree.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

void print(std::FILE *to, const QString &text)
{
    std::fputs(text.toUtf8().constData(), to);
}

const char kExportUsage[] =
    "usage: fmtool export-fmd FILE --set NAME --units english|metric [--number ID=N]... OUT\n"
    "  Writes the models of the set NAME of the library FILE as a custom fuel model file OUT.\n"
    "  A model whose ID is not a valid custom model number (1-256, not 1-13 nor 101-219, not\n"
    "  90-99) gets the number given with --number, else the number it had in the file it was\n"
    "  imported from (as the windows remember it), else a free number in 14-89. A model without\n"
    "  dead fuel is refused (the simulators refuse the whole file); a name is cut where its line\n"
    "  would pass the 254 characters the simulators read.\n";

const char kImportUsage[] =
    "usage: fmtool import-fmd FMD LIBRARY --set NAME [--accept]\n"
    "  Reads the custom fuel model file FMD and prints its report, line by line. With --accept\n"
    "  the models taken go into a new set NAME of the library file LIBRARY, each with an ID no\n"
    "  model of the library has (the file's code where free), and their numbers are remembered\n"
    "  for the next export; without it nothing is written.\n";

int usage(const FmtoolStreams &io, const char *text, const QString &problem)
{
    if (!problem.isEmpty())
        print(io.err, problem + QLatin1Char('\n'));
    std::fputs(text, io.err);
    return 2;
}

using Parsed = CommandOptions;

Parsed parse(const QStringList &args, const QStringList &valued, const QStringList &flags)
{
    return ParseCommandOptions(args, valued, flags);
}

bool readLibraryFile(const QString &path, MemoryTree &tree, const FmtoolStreams &io, const char *command)
{
    LibraryProblem problem;
    if (ReadFMs(path, tree, &problem))
        return true;
    print(io.err, QStringLiteral("fmtool %1: %2\n").arg(QLatin1String(command), problem.toString()));
    return false;
}

} // namespace

int fmtoolExportFmd(const QStringList &args, const FmtoolStreams &io)
{
    const Parsed p = parse(args, {QStringLiteral("--set"), QStringLiteral("--units"), QStringLiteral("--number")}, {});
    if (!p.problem.isEmpty())
        return usage(io, kExportUsage, p.problem);
    if (p.positional.size() != 2)
        return usage(io, kExportUsage, QStringLiteral("a library FILE and an OUT file are needed"));
    QString setName, unitsText;
    bool setGiven = false;
    QHash<QString, int> chosen;
    for (const auto &[name, value] : p.options) {
        if (name == QLatin1String("--set")) {
            setName = value;
            setGiven = true;
        } else if (name == QLatin1String("--units")) {
            unitsText = value.toLower();
        } else {
            const qsizetype eq = value.lastIndexOf(QLatin1Char('='));
            bool ok = false;
            const int n = eq > 0 ? value.mid(eq + 1).toInt(&ok) : 0;
            if (!ok)
                return usage(io, kExportUsage, QStringLiteral("--number %1: ID=N is expected").arg(value));
            chosen.insert(value.left(eq).trimmed().toUpper(), n);
        }
    }
    if (!setGiven)
        return usage(io, kExportUsage, QStringLiteral("--set NAME is needed"));
    if (unitsText != QLatin1String("english") && unitsText != QLatin1String("metric"))
        return usage(io, kExportUsage, QStringLiteral("--units english or --units metric is needed"));

    MemoryTree tree;
    if (!readLibraryFile(p.positional[0], tree, io, "export-fmd"))
        return 1;
    std::shared_ptr<FuelModelSet> set;
    for (const auto &s : *gFMSets)
        if (s->Name() == setName && !set)
            set = s;
    if (!set) {
        print(io.err, QStringLiteral("fmtool export-fmd: %1 has no set named \"%2\"\n").arg(p.positional[0], setName));
        return 1;
    }
    QList<FmdExportItem> items;
    for (const auto &m : *set->FuelModels())
        items << FmdExportItem{m, set->Name(), 0, {}};
    QSettings settings = ProgramSettings();
    const ExportNumberMemory memory(settings);
    items = ProposeFmdExport(items, [&](const QString &setName, const FuelModel &m) {
        const int given = chosen.value(m.FuelModelID().trimmed().toUpper(), 0);
        return given != 0 ? given : memory.number(setName, m);
    });
    // A number chosen on the command line is the user's: it is checked, never replaced.
    for (FmdExportItem &item : items) {
        const auto it = chosen.constFind(item.model->FuelModelID().trimmed().toUpper());
        if (it != chosen.constEnd())
            item.number = it.value();
    }
    const FmdUnits units = unitsText == QLatin1String("metric") ? FmdUnits::Metric : FmdUnits::English;
    const FmdExportCheck check =
        CheckFmdExport(items, units, units == FmdUnits::Metric ? Units::System::Metric : Units::System::English);
    for (const QString &w : check.warnings)
        print(io.err, QStringLiteral("warning: ") + w + QLatin1Char('\n'));
    if (!check.ok()) {
        for (const QString &e : check.errors)
            print(io.err, QStringLiteral("refused: ") + e + QLatin1Char('\n'));
        print(io.err, QStringLiteral("fmtool export-fmd: nothing written\n"));
        return 1;
    }
    const QByteArray bytes = WriteFmd(items, units);
    QString why;
    if (!WriteFileWhole(p.positional[1], bytes, &why)) {
        print(io.err, QStringLiteral("fmtool export-fmd: %1: %2\n").arg(p.positional[1], why));
        return 1;
    }
    for (const FmdExportItem &item : items)
        print(io.out, QStringLiteral("%1 %2 - %3\n").arg(item.number).arg(item.code, item.model->Description()));
    return 0;
}

int fmtoolImportFmd(const QStringList &args, const FmtoolStreams &io)
{
    const Parsed p = parse(args, {QStringLiteral("--set")}, {QStringLiteral("--accept")});
    if (!p.problem.isEmpty())
        return usage(io, kImportUsage, p.problem);
    if (p.positional.size() != 2)
        return usage(io, kImportUsage, QStringLiteral("a custom model file FMD and a LIBRARY file are needed"));
    QString setName;
    for (const auto &[name, value] : p.options)
        setName = value.trimmed();
    if (setName.isEmpty())
        return usage(io, kImportUsage, QStringLiteral("--set NAME is needed"));
    const QString nameProblem = SetNameProblem(setName);
    if (!nameProblem.isEmpty()) {
        print(io.err, QStringLiteral("fmtool import-fmd: the set name: %1\n").arg(nameProblem));
        return 1;
    }
    const bool accept = p.flags.contains(QStringLiteral("--accept"));

    // Bounded as the window's import is: a custom model file is a few kilobytes.
    constexpr qint64 kLargestFmd = 4 * 1024 * 1024;
    QByteArray fmdBytes;
    if (QString why; !ReadBoundedFile(p.positional[0], kLargestFmd, &fmdBytes, &why)) {
        print(io.err, QStringLiteral("fmtool import-fmd: %1 %2\n").arg(p.positional[0], why));
        return 1;
    }
    MemoryTree tree;
    // With --accept the library is locked as the window locks it, and read and written under
    // the lock, so that no other writer's change is lost.
    LockedLibraryFile library(p.positional[1], io, "import-fmd");
    if (accept) {
        if (const int status = library.Lock())
            return status;
        if (!library.Read(tree))
            return 1;
    } else if (!readLibraryFile(p.positional[1], tree, io, "import-fmd")) {
        return 1;
    }
    const FmdImport imported = ReadFmd(fmdBytes, LibraryIdTaken(*gFMSets));
    for (const auto &s : *gFMSets) {
        if (s->Name().compare(setName, Qt::CaseInsensitive) == 0) {
            print(io.err,
                  QStringLiteral("fmtool import-fmd: %1 already has a set named \"%2\"\n")
                      .arg(p.positional[1], s->Name()));
            return 1;
        }
    }
    print(io.out, imported.reportText());
    if (!accept) {
        print(io.out, QStringLiteral("Nothing was added (run again with --accept to add the models).\n"));
        return 0;
    }
    if (imported.models.isEmpty()) {
        print(io.err, QStringLiteral("fmtool import-fmd: no line was taken; nothing was added\n"));
        return 1;
    }
    class NoPrompts : public IPrompts
    {
    public:
        void Message(const QString &, const QString &, Icon) override { }
        bool AskYesNo(const QString &, const QString &, Icon) override { return false; }
        std::optional<QString> InputBox(const QString &, const QString &, const QString &) override { return {}; }
        void Beep() override { }
        PasteAnswer PasteModel() override { return {}; }
    } prompts;
    bool saved = false;
    EditContext ctx{tree, prompts, {}, [&] { saved = library.Write(*gFMSets); }, {}};
    // Each model's notes say where it came from, as in the window.
    AddImportedSets(ctx,
                    {ImportedSet{setName,
                                 false,
                                 imported.models,
                                 FmdImportNotes(QFileInfo(p.positional[0]).absoluteFilePath(), fmdBytes, imported),
                                 {}}});
    if (!saved)
        return 1;
    QSettings settings = ProgramSettings();
    ExportNumberMemory(settings).remember(setName, imported.models, imported.numbers);
    print(io.out,
          QStringLiteral("Set \"%1\" with %2 models added to %3.\n")
              .arg(setName)
              .arg(imported.models.size())
              .arg(p.positional[1]));
    return 0;
}
