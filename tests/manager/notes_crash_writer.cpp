// The store's two writes, library then notes, with the program killed between them: starts as
// the program does, deletes the model named by its node text, and dies (SIGKILL) once the
// library is written and before its notes are.
//   notes_crash_writer FOLDER NODE_TEXT
#include "data/IPrompts.h"
#include "data/ProgramState.h"
#include "library/EditActions.h"
#include "library/LibraryLocation.h"
#include "library/LibraryStore.h"
#include "library/MemoryTree.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

namespace {

class YesPrompts : public IPrompts
{
public:
    void Message(const QString &text, const QString &, Icon) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        std::_Exit(3);
    }
    bool AskYesNo(const QString &, const QString &, Icon) override { return true; }
    std::optional<QString> InputBox(const QString &, const QString &, const QString &) override { return {}; }
    void Beep() override { }
    PasteAnswer PasteModel() override { return {}; }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    SetLibraryFolderForTesting(QString::fromLocal8Bit(argv[1]));
    ResetProgramState();
    MemoryTree tree;
    LibraryStore store;
    store.SetBackupFolder(QString::fromLocal8Bit(argv[1]) + QStringLiteral("/backups"));
    const LibraryStore::LoadResult loaded = store.Load(tree);
    if (loaded.kind != LibraryStore::LoadResult::Read) {
        std::fprintf(stderr, "load: %s\n", qPrintable(loaded.message));
        return 1;
    }
    store.betweenWrites = [] { std::raise(SIGKILL); };
    const QString text = QString::fromLocal8Bit(argv[2]);
    for (int i = 1; i <= tree.Count(); ++i)
        if (tree.Text(tree.KeyAt(i)) == text)
            tree.SetSelectedKey(tree.KeyAt(i));
    YesPrompts prompts;
    EditContext ctx{tree,
                    prompts,
                    {},
                    [&] {
                        QString reason;
                        store.Save(&reason);
                    },
                    {}};
    EditAction(ctx, QStringLiteral("DELETE"));
    std::fprintf(stderr, "not killed\n");
    return 4;
}
