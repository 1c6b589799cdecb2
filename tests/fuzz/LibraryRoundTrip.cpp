#include "LibraryRoundTrip.h"

#include "data/ProgramState.h"
#include "library/LibraryFile.h"
#include "library/MemoryTree.h"

#include <QByteArray>

namespace {

// Lines of bytes by the most generous count (a CR LF counts twice), for the bound on the line
// a problem names.
qsizetype generousLineCount(QByteArrayView bytes)
{
    qsizetype n = 1;
    for (const char c : bytes)
        if (c == '\n' || c == '\r')
            ++n;
    return n;
}

// The texts and flags of two libraries, which a round trip must keep exactly (numbers are
// compared through their written form).
QString textDifference(const FuelModelSets &a, const FuelModelSets &b)
{
    if (a.Count() != b.Count())
        return QStringLiteral("%1 sets became %2").arg(a.Count()).arg(b.Count());
    for (int s = 1; s <= a.Count(); ++s) {
        const auto &sa = a.Item(s);
        const auto &sb = b.Item(s);
        if (sa->Name() != sb->Name())
            return QStringLiteral("set %1: name \"%2\" became \"%3\"").arg(s).arg(sa->Name(), sb->Name());
        if (sa->Locked() != sb->Locked())
            return QStringLiteral("set %1: the lock changed").arg(s);
        const auto &ma = *sa->FuelModels();
        const auto &mb = *sb->FuelModels();
        if (ma.Count() != mb.Count())
            return QStringLiteral("set %1: %2 models became %3").arg(s).arg(ma.Count()).arg(mb.Count());
        for (int m = 1; m <= ma.Count(); ++m) {
            if (ma.Item(m)->FuelModelID() != mb.Item(m)->FuelModelID())
                return QStringLiteral("set %1, model %2: the ID changed").arg(s).arg(m);
            if (ma.Item(m)->Description() != mb.Item(m)->Description())
                return QStringLiteral("set %1, model %2: the description changed").arg(s).arg(m);
        }
    }
    return {};
}

} // namespace

QString LibraryRoundTripFault(QByteArrayView bytes)
{
    ResetProgramState();
    ResetLibraryFileState();
    MemoryTree tree;
    LibraryReadResult first;
    try {
        first = ReadLibrary(bytes, tree);
    } catch (...) {
        return QStringLiteral("the reader threw");
    }
    if (!first.sets)
        return QStringLiteral("the reader returned no library");
    if (const QString m = TreeMismatch(tree, *first.sets); !m.isEmpty())
        return QStringLiteral("the tree does not match what was read: ") + m;
    // A model is 17 fields, 15 of them numbers of at least one digit, with 16 separators.
    if (qsizetype(first.sets->ModelCount()) * 31 > bytes.size() + 31)
        return QStringLiteral("%1 models read from %2 bytes").arg(first.sets->ModelCount()).arg(bytes.size());
    if (!first.ok) {
        if (first.problem.message.isEmpty())
            return QStringLiteral("a failed read says nothing about why");
        if (first.problem.line < 1 || first.problem.line > generousLineCount(bytes))
            return QStringLiteral("a failed read names line %1 of a file of at most %2 lines")
                .arg(first.problem.line)
                .arg(generousLineCount(bytes));
    }

    // The program keeps what it read, and may save it: that must never fail or change it.
    QString error;
    const QByteArray saved = SerializeLibrary(*first.sets, &error);
    if (saved.isEmpty())
        return QStringLiteral("what was read cannot be written: ") + error;

    MemoryTree againTree;
    const LibraryReadResult again = ReadLibrary(saved, againTree);
    if (!again.ok || !again.sets)
        return QStringLiteral("what was written does not read back: ") + again.problem.toString();
    if (const QString m = TreeMismatch(againTree, *again.sets); !m.isEmpty())
        return QStringLiteral("the tree does not match what was read back: ") + m;
    if (const QString d = textDifference(*first.sets, *again.sets); !d.isEmpty())
        return QStringLiteral("writing and reading back changed the library: ") + d;
    const QByteArray savedAgain = SerializeLibrary(*again.sets, &error);
    if (savedAgain != saved)
        return QStringLiteral("writing what was read back gives other bytes:\n") + QString::fromLatin1(saved) +
            QStringLiteral("\nbecame\n") + QString::fromLatin1(savedAgain);
    return {};
}
