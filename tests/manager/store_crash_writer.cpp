// The main window's library writes without the window: starts as the program does (the
// library store's Load: lock, leftover cleanup, read), says "ready", then adds one set after
// another through the edit action, each saved by the store, saying the number of each action
// saved, until it is killed (or after ACTIONS actions when given).
//   store_crash_writer FOLDER ROUND [ACTIONS]
#include "data/ProgramState.h"
#include "library/EditActions.h"
#include "data/IPrompts.h"
#include "library/LibraryLocation.h"
#include "library/MemoryTree.h"
#include "manager/LibraryStore.h"

#include <QCoreApplication>

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
    void Beep() override {}
    PasteAnswer PasteModel() override { return {}; }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    SetLibraryFolderForTesting(QString::fromLocal8Bit(argv[1]));
    const std::string round = argv[2];
    const long actions = argc > 3 ? std::stol(argv[3]) : -1;
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
    EditContext ctx{tree, prompts, {}, [&] {
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
