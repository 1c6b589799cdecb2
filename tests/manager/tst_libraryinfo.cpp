// File > Library...: the dialog opened through the menu names the library file of the run, its
// size, sets and models, whether this copy may change it and its backups, and its button asks
// the file manager for the library's folder.

#include "support/ManagerFixture.h"

#include "manager/LibraryInfoDialog.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QTreeWidget>
#include <QUrl>

// Takes the file manager's place: records the URLs it is asked to open.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void openUrl(const QUrl &url) { urls << url; }
};

class TestLibraryInfo : public QObject, public ManagerFixture
{
    Q_OBJECT

    UrlRecorder m_fileManager;

    // Opens File > Library... in window with the mouse and the item's letter; check runs on the
    // dialog from inside its own event loop and then closes it with its Close button.
    bool showThroughMenu(frmVarrow &window, const std::function<void(LibraryInfoDialog &)> &check)
    {
        bool seen = false;
        QTimer poll;
        poll.setInterval(20);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto *dialog = qobject_cast<LibraryInfoDialog *>(QApplication::activeModalWidget());
            if (!dialog || seen)
                return;
            seen = true;
            poll.stop();
            check(*dialog);
            QTest::mouseClick(dialog->cmdClose, Qt::LeftButton);
        });
        poll.start();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        QMenuBar *bar = window.menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(window.mnuFile->menuAction()).center());
        if (!QTest::qWaitFor([&] { return window.mnuFile->isVisible(); }))
            return false;
        QTest::keyClick(window.mnuFile, Qt::Key_L);
        (void)QTest::qWaitFor([&] { return seen; }, 3000); // seen is checked below
        return seen && !QApplication::activeModalWidget();
    }

private slots:
    void initTestCase()
    {
        setUpSuite();
        QDesktopServices::setUrlHandler("file", &m_fileManager, "openUrl");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler("file"); }
    void init()
    {
        setUp();
        m_fileManager.urls.clear();
    }
    void cleanup() { tearDown(); }

    void showsTheFileItsContentsAndBackupsAndOpensItsFolder()
    {
        start();
        // The first change of the run keeps the library as found: 3 sets, 3 models.
        m_prompts->ExpectInput("Enter the name for the new fuel model set", QString("Run one"));
        win().cmdNewSet->click();
        checkAfterAction("new set");
        const QStringList backups = QDir(m_libraryDir->path()).entryList({"OrlaFuelModels.backup-*.FFM"}, QDir::Files);
        QCOMPARE(backups.size(), 1);
        const QByteArray bytes = libraryBytes();

        const bool shown = showThroughMenu(win(), [&](LibraryInfoDialog &d) {
            QCOMPARE(d.txtLibraryPath->text(), QDir::toNativeSeparators(libraryPath()));
            QVERIFY2(d.lblLibraryReason->text().contains("folder given for tests"),
                     qPrintable(d.lblLibraryReason->text()));
            QVERIFY2(d.lblLibrarySize->text().contains("(" + QLocale().toString(bytes.size()) + " bytes)"),
                     qPrintable(d.lblLibrarySize->text()));
            // Orla Master (locked, 2 models), Custom (1), Spare (0), Run one (0).
            QCOMPARE(d.lblLibraryContents->text(), QString("4 sets (1 locked), 3 models"));
            QVERIFY2(d.lblLibraryAccess->text().startsWith("Read and write"), qPrintable(d.lblLibraryAccess->text()));
            QCOMPARE(d.lstBackups->topLevelItemCount(), 1);
            QTreeWidgetItem *backup = d.lstBackups->topLevelItem(0);
            QCOMPARE(backup->text(1), QString("3"));
            QCOMPARE(backup->text(2), QString("3"));
            QCOMPARE(backup->text(3), QDir::toNativeSeparators(m_libraryDir->filePath(backups.front())));
            QVERIFY(d.lblBackups->text().startsWith("1 backup, newest first."));

            QTest::mouseClick(d.cmdOpenFolder, Qt::LeftButton);
            QCOMPARE(m_fileManager.urls, QList<QUrl>{QUrl::fromLocalFile(m_libraryDir->path())});
            QVERIFY(d.lblOpenFolderProblem->isHidden());
        });
        QVERIFY(shown);
        // Looking changes nothing.
        QCOMPARE(libraryBytes(), bytes);
        QVERIFY(m_prompts->Finished());
    }

    void aSecondCopySaysItIsReadOnlyAndAFreshLibraryHasNoBackups()
    {
        start();
        m_prompts->ExpectYesNo({}, true); // open it read-only
        frmVarrow second(m_prompts.get());
        second.show();
        QVERIFY(second.ReadOnly());
        const QString holder = QString("process %1").arg(QCoreApplication::applicationPid());
        const bool shown = showThroughMenu(second, [&](LibraryInfoDialog &d) {
            QVERIFY2(d.lblLibraryAccess->text().startsWith("Read-only: the library is open in another copy"),
                     qPrintable(d.lblLibraryAccess->text()));
            QVERIFY2(d.lblLibraryAccess->text().contains(holder), qPrintable(d.lblLibraryAccess->text()));
            QCOMPARE(d.lblLibraryContents->text(), QString("3 sets (1 locked), 3 models"));
            QCOMPARE(d.lstBackups->topLevelItemCount(), 0);
            QVERIFY(d.lstBackups->isHidden());
            QVERIFY(d.lblBackups->text().startsWith("No backups yet"));
        });
        QVERIFY(shown);
        QVERIFY(m_prompts->Finished());
    }

    void aFolderTheFileManagerCannotOpenIsSaid()
    {
        QDesktopServices::unsetUrlHandler("file");
        // A handler that is not there: openUrl fails as with no file manager at all.
        QDesktopServices::setUrlHandler("file", &m_fileManager, "noSuchSlot");
        LibraryInfo info;
        info.location.path = m_libraryDir->filePath("OrlaFuelModels.FFM");
        LibraryInfoDialog d(info, nullptr);
        d.show();
        QTest::mouseClick(d.cmdOpenFolder, Qt::LeftButton);
        QDesktopServices::unsetUrlHandler("file");
        QDesktopServices::setUrlHandler("file", &m_fileManager, "openUrl");
        QVERIFY(!d.lblOpenFolderProblem->isHidden());
        QVERIFY(d.lblOpenFolderProblem->text().contains(QDir::toNativeSeparators(m_libraryDir->path())));
        QCOMPARE(LibrarySizeText(info), QString("The file does not exist yet."));
    }
};

QTEST_MAIN(TestLibraryInfo)
#include "tst_libraryinfo.moc"
