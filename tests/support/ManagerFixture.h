#pragma once

// What the main window tests share: a temporary library folder and temporary settings, a clean
// program state, the window under a prompt script, and the checks that hold after every action.

#include "data/ProgramState.h"
#include "library/EditActions.h"
#include "library/LibraryFile.h"
#include "library/LibraryLocation.h"
#include "library/LibrarySession.h"
#include "library/NotesFile.h"
#include "library/ui/frmPasteModel.h"
#include "manager/FMTree.h"
#include "manager/frmVarrow.h"
#include "support/LibraryInvariant.h"
#include "support/ScriptedPrompts.h"
#include "tuners/ui/EditorTuners.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <functional>
#include <memory>
#include <sys/resource.h>

// Three sets: a locked one with two models, an unlocked one with one model, an empty one.
inline const QByteArray kTestLibrary =
    "\"[FuelModelSet:Orla Master,Count:2, Locked]\"\r\n"
    "\"1\",\"Short grass\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
    "\"GR2\",\"Low load grass\",1,0.1,0,0,1,0,2000,1800,1600,0.15,8000,8000,8000,1,2\r\n"
    "\"[FuelModelSet:Custom,Count:1]\"\r\n"
    "\"C1\",\"Custom one\",0.5,12000,1,1,0,3,2000,1800,1600,0.3,8100,8200,8300,2,1\r\n"
    "\"[FuelModelSet:Spare,Count:0]\"\r\n"
    "\"[End]\"\r\n";

// The prompt script, except that the paste dialog is the real one, shown without exec() and
// driven by the test's fillPaste; its messages come back to the script.
class DialogPrompts : public ScriptedPrompts
{
public:
    std::function<void(frmPasteModel &)> fillPaste;
    int pasteDialogs = 0;

    // When set, the paste dialog is shown as the program shows it, modally through its own event
    // loop, and fillModalPaste runs from inside that loop on the dialog shown.
    std::function<void(frmPasteModel &)> fillModalPaste;

    PasteAnswer PasteModel() override
    {
        if (fillModalPaste) {
            ++pasteDialogs;
            QTimer::singleShot(0, [fill = fillModalPaste] {
                QWidget *modal = QApplication::activeModalWidget();
                auto *dialog = qobject_cast<frmPasteModel *>(modal);
                if (!dialog) {
                    if (modal)
                        modal->close();
                    QFAIL("the paste dialog is not the modal window");
                }
                fill(*dialog);
            });
            return ShowPasteModel(*this, QApplication::activeWindow());
        }
        if (!fillPaste)
            return ScriptedPrompts::PasteModel();
        ++pasteDialogs;
        frmPasteModel dialog(*this);
        dialog.show();
        fillPaste(dialog);
        return {dialog.IdText(), dialog.DescriptionText()};
    }
};

// Makes every file write past a few bytes fail, as on a full disk, while it lives.
class FullDisk
{
public:
    FullDisk()
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = m_old;
        small.rlim_cur = 16;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FullDisk()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_previous);
    }

private:
    rlimit m_old{};
    void (*m_previous)(int) = nullptr;
};

class ManagerFixture
{
protected:
    void setUpSuite()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
    }

    // Fresh state and an empty library folder; the library file is written by the test.
    void setUp()
    {
        m_window.reset();
        LibrarySession::ResetProgram();
        m_prompts = std::make_unique<DialogPrompts>();
        m_libraryDir = std::make_unique<QTemporaryDir>();
        SetLibraryFolderForTesting(m_libraryDir->path());
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Quillon", "Quillon").clear();
    }

    void tearDown()
    {
        if (m_window)
            m_window->setAttribute(Qt::WA_DeleteOnClose, false);
        m_window.reset();
        SetLibraryFolderForTesting(QString());
    }

    QString libraryPath() const { return m_libraryDir->filePath(QString::fromLatin1(kLibraryFileName)); }
    void writeLibrary(const QByteArray &bytes) const
    {
        QFile f(libraryPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray libraryBytes() const
    {
        QFile f(libraryPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    frmVarrow &start(const QByteArray &library = kTestLibrary)
    {
        if (!library.isNull())
            writeLibrary(library);
        m_window = std::make_unique<frmVarrow>(m_prompts.get());
        // The editor with its tuners, as the program wires it.
        m_window->SetEditorFactory(NewEditorWithTuners);
        m_window->show();
        QCoreApplication::processEvents();
        return *m_window;
    }

    frmVarrow &win() { return *m_window; }
    FMTree &tree() { return *m_window->treeFMs; }

    QString setKey(const QString &name)
    {
        for (int i = 1; i <= tree().Count(); ++i)
            if (tree().Tag(tree().KeyAt(i)) == "Set" && tree().Text(tree().KeyAt(i)) == name)
                return tree().KeyAt(i);
        return {};
    }
    QString modelKey(const QString &set, const QString &id)
    {
        for (const auto &fm : *gFMSets->Item(setKey(set))->FuelModels())
            if (fm->FuelModelID() == id)
                return fm->Key();
        return {};
    }

    // A user's click on the node's text.
    void click(const QString &key)
    {
        QTreeWidgetItem *node = tree().Node(key);
        tree().scrollToItem(node);
        QTest::mouseClick(tree().viewport(), Qt::LeftButton, {}, tree().visualItemRect(node).center());
        QCoreApplication::processEvents();
    }

    // After every action: tree and library agree, the file holds the library, no answer unused.
    void checkAfterAction(const char *what)
    {
        QVERIFY2(TreeAndLibraryDiffer(tree(), *gFMSets).isEmpty(), what);
        QCOMPARE(libraryBytes(), SerializeLibrary(*gFMSets, nullptr));
        // The notes file holds the notes, in step with the library; none before the first note.
        QFile notes(NotesFilePath(libraryPath()));
        if (notes.open(QIODevice::ReadOnly)) {
            NotesParse read = ParseNotes(notes.readAll());
            QVERIFY2(read.ok, what);
            read.document.library.clear();
            read.document.librarySha256.clear();
            QCOMPARE(SerializeNotes(read.document), SerializeNotes(DetachNotes(gLibraryNotes, *gFMSets)));
        } else {
            QVERIFY2(gLibraryNotes.IsEmpty(), what);
        }
        QVERIFY2(m_prompts->Finished(), what);
    }

    QTemporaryDir m_settingsDir;
    std::unique_ptr<QTemporaryDir> m_libraryDir;
    std::unique_ptr<DialogPrompts> m_prompts;
    std::unique_ptr<frmVarrow> m_window;
};
