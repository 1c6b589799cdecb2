// The main window's library writes without the window: starts as the program does (the
// library store's Load: lock, leftover cleanup, read), says "ready", then adds one set after
// another through the edit action, each saved by the store, saying the number of each action
// saved, until it is killed (or after ACTIONS actions when given). With "third", another
// program that takes no lock replaces the library between the check and the rename of every
// second save, as an editor saves (a new file renamed over it) with a set of its own added,
// saying "third NAME".
//   store_crash_writer FOLDER ROUND [ACTIONS [third]]
#include "data/IPrompts.h"
#include "data/ProgramState.h"
#include "data/WholeFileWrite.h"
#include "library/EditActions.h"
#include "library/LibraryLocation.h"
#include "library/LibraryStore.h"
#include "library/MemoryTree.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

void say(const std::string &line)
{
    const std::string text = line + "\n";
    (void)!::write(1, text.data(), text.size());
}

// Answers the new set's name; anything else is a fault of the run.
class ScriptedPrompts : public IPrompts
{
public:
    QString name;
    void Message(const QString &text, const QString &, Icon) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        std::_Exit(3);
    }
    bool AskYesNo(const QString &, const QString &, Icon) override { return false; }
    std::optional<QString> InputBox(const QString &, const QString &, const QString &) override { return name; }
    void Beep() override { }
    PasteAnswer PasteModel() override { return {}; }
};

std::string g_round;
int g_checkedWrites = 0;

void thirdProgramWrites(const QString &path)
{
    if (path.endsWith(QLatin1String(".notes")) || ++g_checkedWrites % 2 == 1)
        return;
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return;
    QByteArray bytes = in.readAll();
    in.close();
    const std::string name = "Third " + g_round + "." + std::to_string(g_checkedWrites / 2);
    const qsizetype end = bytes.lastIndexOf("\"[End]\"");
    if (end < 0)
        return;
    bytes.insert(end, QByteArray("\"[FuelModelSet:") + QByteArray::fromStdString(name) + ",Count:0]\"\r\n");
    QFile out(path + ".editor");
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        return;
    out.close();
    if (std::rename(QFile::encodeName(out.fileName()).constData(), QFile::encodeName(path).constData()) == 0)
        say("third " + name);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    SetLibraryFolderForTesting(QString::fromLocal8Bit(argv[1]));
    const std::string round = argv[2];
    const long actions = argc > 3 ? std::stol(argv[3]) : -1;
    g_round = round;
    if (argc > 4 && std::string(argv[4]) == "third")
        SetBetweenCheckAndRenameForTesting(thirdProgramWrites);
    ResetProgramState();
    MemoryTree tree;
    LibraryStore store;
    const LibraryStore::LoadResult loaded = store.Load(tree);
    if (loaded.kind != LibraryStore::LoadResult::Read || loaded.openElsewhere) {
        std::fprintf(stderr, "load: %d %s\n", int(loaded.kind), qPrintable(loaded.message));
        return 1;
    }
    say("ready");
    ScriptedPrompts prompts;
    long action = 0;
    EditContext ctx{tree,
                    prompts,
                    {},
                    [&] {
                        QString reason;
                        if (!store.Save(&reason)) {
                            std::fprintf(stderr, "save: %s\n", qPrintable(reason));
                            std::_Exit(1);
                        }
                        say(std::to_string(action));
                    },
                    {}};
    for (action = 1; actions < 0 || action <= actions; ++action) {
        prompts.name = QString::fromStdString("Round " + round + " action " + std::to_string(action));
        EditAction(ctx, QStringLiteral("ADDSET"));
    }
    return 0;
}
