#include "fmtool/Commands.h"

#include "data/ProgramState.h"
#include "library/LibraryFile.h"
#include "library/NotesFile.h"

// notes: what the notes file beside a library says of its sets and models, for people.

namespace {

void print(std::FILE *to, const QString &text)
{
    std::fputs(text.toUtf8().constData(), to);
}

// A text of several lines, each line indented.
QString indented(const QString &text, const QString &indent)
{
    QString out;
    for (const QString &line : text.split(QLatin1Char('\n')))
        out += indent + line + QLatin1Char('\n');
    return out;
}

QString modelText(const QString &heading, const ModelNotes &n)
{
    QString out = heading + QLatin1Char('\n');
    if (!n.source.isEmpty())
        out += QStringLiteral("  Source: ") + n.source + QLatin1Char('\n');
    if (!n.author.isEmpty())
        out += QStringLiteral("  Author: ") + n.author + QLatin1Char('\n');
    if (!n.notes.isEmpty())
        out += QStringLiteral("  Notes:\n") + indented(n.notes, QStringLiteral("    "));
    if (!n.history.isEmpty()) {
        out += QStringLiteral("  History:\n");
        for (const QJsonObject &e : n.history)
            out += QStringLiteral("    ") + DescribeEntry(e) + QLatin1Char('\n');
    }
    return out;
}

QString setText(const SetNotes &n)
{
    QString out = QStringLiteral("Set \"%1\"\n").arg(n.name);
    if (!n.description.isEmpty())
        out += QStringLiteral("  Description: ") + n.description + QLatin1Char('\n');
    if (!n.owner.isEmpty())
        out += QStringLiteral("  Owner: ") + n.owner + QLatin1Char('\n');
    if (!n.notes.isEmpty())
        out += QStringLiteral("  Notes:\n") + indented(n.notes, QStringLiteral("    "));
    return out;
}

} // namespace

int fmtoolNotes(const QStringList &args, const FmtoolStreams &io)
{
    const char *usage = "usage: fmtool notes FILE [--model ID]\n";
    QString file, model;
    bool oneModel = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--model") && i + 1 < args.size()) {
            model = args[++i];
            oneModel = true;
        } else if (args[i].startsWith(QLatin1String("--model="))) {
            model = args[i].mid(8);
            oneModel = true;
        } else if (!args[i].startsWith(QLatin1Char('-')) && file.isEmpty()) {
            file = args[i];
        } else {
            std::fputs(usage, io.err);
            return 2;
        }
    }
    if (file.isEmpty() || (oneModel && model.trimmed().isEmpty())) {
        std::fputs(usage, io.err);
        return 2;
    }
    LibraryProblem problem;
    if (!ReadFMs(file, &problem)) {
        print(io.err, problem.toString() + QLatin1Char('\n'));
        return 1;
    }
    const NotesLoad load = LoadNotes(file, *gFMSets, false);
    if (!load.message.isEmpty())
        print(io.err, QString(load.message).replace(QLatin1Char('\r'), QLatin1Char('\n')) + QLatin1Char('\n'));
    if (load.kind == NotesLoad::Unreadable)
        return 1;

    QString out;
    bool found = false;
    const QString wanted = model.trimmed().toUpper();
    for (const auto &set : *gFMSets) {
        if (!oneModel)
            if (const SetNotes *s = load.notes.Of(set.get()); s && !s->IsEmpty()) {
                SetNotes named = *s;
                named.name = set->Name();
                out += setText(named);
            }
        for (const auto &fm : *set->FuelModels()) {
            if (oneModel && fm->FuelModelID().trimmed().toUpper() != wanted)
                continue;
            found = true;
            const ModelNotes *n = load.notes.Of(fm.get());
            if (!oneModel && (!n || n->IsEmpty()))
                continue;
            const QString heading =
                QStringLiteral("Model %1 - %2 (set \"%3\")").arg(fm->FuelModelID(), fm->Description(), set->Name());
            out += modelText(heading, n ? *n : ModelNotes());
            if (oneModel && (!n || n->IsEmpty()))
                out += QStringLiteral("  (no notes)\n");
        }
    }
    if (oneModel && !found) {
        print(io.err, QStringLiteral("%1: no model with the ID %2\n").arg(file, model.trimmed()));
        return 1;
    }
    if (!oneModel) {
        for (const SetNotes &s : load.notes.OrphanedSets(*gFMSets))
            out += QStringLiteral("Orphaned: ") + setText(s);
        for (const LibraryNotes::Orphan &o : load.notes.OrphanedModels(*gFMSets))
            out += modelText(QStringLiteral("Orphaned: model %1 (was in set \"%2\")").arg(o.notes.id, o.notes.set),
                             o.notes);
        if (out.isEmpty())
            out = QStringLiteral("%1: no notes\n").arg(file);
    }
    print(io.out, out);
    return 0;
}
