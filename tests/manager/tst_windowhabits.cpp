// Desktop habits of the main window and the Edit and Test Center: both fit a 1366x768 screen,
// the splitter's place and the windows' places and sizes come back after closing, and names a
// narrow box can cut show in full as tooltips.

#include "support/ManagerFixture.h"

#include "testcenter/ui/frmEditModel.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>

// A 1366x768 screen less a panel and the window's frame.
constexpr QSize kSmallScreen(1366, 700);

class TestWindowHabits : public QObject, public ManagerFixture
{
    Q_OBJECT

    frmEditModel *openEditor(const QString &set, const QString &id)
    {
        click(modelKey(set, id));
        win().cmdEditSave->click();
        QCoreApplication::processEvents();
        return win().Editor();
    }

    static bool within(QSize size, QSize limit)
    {
        return size.width() <= limit.width() && size.height() <= limit.height();
    }
    static QString text(QSize s) { return QStringLiteral("%1x%2").arg(s.width()).arg(s.height()); }

private slots:
    void initTestCase()
    {
        setUpSuite();
        // The sizes depend on the font: the desktop's usual one, the same on every machine.
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    }
    void init() { setUp(); }
    void cleanup()
    {
        if (m_window && win().Editor())
            win().Editor()->close();
        tearDown();
    }

    void bothWindowsFitASmallScreenEvenWithALongLibraryPath()
    {
        // A deep folder: its path in the status line must not widen the window.
        const QString deep = m_libraryDir->filePath(QString(60, 'd') + "/" + QString(60, 'e') + "/" + QString(60, 'f'));
        QVERIFY(QDir().mkpath(deep));
        SetLibraryFolderForTesting(deep);
        QFile f(deep + "/" + QString::fromLatin1(kLibraryFileName));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(kTestLibrary);
        f.close();
        start(QByteArray());
        QVERIFY(win().lblLibraryFile->text().contains(QString(60, 'f')));
        QVERIFY2(within(win().minimumSizeHint(), kSmallScreen), qPrintable(text(win().minimumSizeHint())));
        QVERIFY2(within(win().minimumSize(), kSmallScreen), qPrintable(text(win().minimumSize())));
        // The line still shows the library, as much as fits.
        win().statusBar()->clearMessage();
        QCoreApplication::processEvents();
        QVERIFY2(win().lblLibraryFile->width() > 300, qPrintable(QString::number(win().lblLibraryFile->width())));
        // The whole path stays at hand in the status line's tooltip.
        QVERIFY(win().lblLibraryFile->toolTip().contains(QString(60, 'f')));

        frmEditModel *editor = openEditor("Custom", "C1");
        QVERIFY(editor);
        QVERIFY(editor->TestPanelShown());
        qDebug() << "main window minimum" << win().minimumSizeHint() << "editor minimum" << editor->minimumSizeHint();
        QVERIFY2(within(editor->minimumSizeHint(), kSmallScreen), qPrintable(text(editor->minimumSizeHint())));
        QVERIFY2(within(editor->size(), QSize(1366, 768)), qPrintable(text(editor->size())));
        // The charts take what a larger window gives.
        auto *tabs = editor->findChild<QTabWidget *>("tabResults");
        QVERIFY(tabs);
        editor->resize(editor->minimumSizeHint());
        QCoreApplication::processEvents();
        const QSize small = tabs->size();
        editor->resize(editor->minimumSizeHint() + QSize(200, 150));
        QCoreApplication::processEvents();
        QVERIFY2(tabs->width() >= small.width() + 150 && tabs->height() >= small.height() + 120,
                 qPrintable(text(small) + " to " + text(tabs->size())));
    }

    void theSplitterAndTheWindowsPlacesComeBackAfterClosing()
    {
        start();
        QVERIFY(win().splMain);
        win().resize(1100, 690);
        win().move(40, 30);
        QCoreApplication::processEvents();
        win().splMain->setSizes({420, 660});
        const QList<int> sizes = win().splMain->sizes();
        QVERIFY(sizes[1] > sizes[0] + 150); // as dragged, not the default share
        frmEditModel *editor = openEditor("Custom", "C1");
        QVERIFY(editor);
        editor->resize(editor->minimumSizeHint() + QSize(60, 40));
        editor->move(70, 20);
        QCoreApplication::processEvents();
        const QRect editorPlace = editor->geometry();
        editor->close();
        QCoreApplication::processEvents();
        const QRect place = win().geometry();
        win().close();

        setUp(); // a new run: the settings stay, the library is written again
        start();
        QCOMPARE(win().geometry(), place);
        QCOMPARE(win().splMain->sizes(), sizes);
        editor = openEditor("Custom", "C1");
        QVERIFY(editor);
        QCOMPARE(editor->geometry(), editorPlace);
    }

    void aPlaceOnAScreenThatIsGoneComesBackOnTheScreen()
    {
        start();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        win().move(screen.right() + 3000, screen.bottom() + 2000); // a screen unplugged since
        QCoreApplication::processEvents();
        win().close();
        setUp();
        start();
        QVERIFY2(screen.contains(win().frameGeometry().topLeft()),
                 qPrintable(QString("%1,%2").arg(win().x()).arg(win().y())));
        QVERIFY(screen.intersects(win().frameGeometry()));
    }

    // A passing message never runs into the library's name: while it shows, the library is
    // named by its file alone, and a message longer than the room left is cut in its middle,
    // whole in the line's tooltip. Without a message the whole path comes back.
    void aStatusMessageKeepsClearOfTheLibraryName()
    {
        start();
        win().resize(1300, 680);
        win().show();
        QVERIFY(QTest::qWaitForWindowExposed(&win()));
        const QString out = m_libraryDir->filePath(QString(40, 'x') + "/" + QString(40, 'y') + "/custom-set");
        QVERIFY(QDir().mkpath(QFileInfo(out).absolutePath()));
        m_prompts->AnswerFiles([&](const IPrompts::FileChoice &c) { return c.save ? out : QString(); });
        click(modelKey("Custom", "C1"));
        win().actExportSetCsv->trigger();
        QCoreApplication::processEvents();
        QStatusBar *line = win().statusBar();
        QLabel *library = win().lblLibraryFile;
        const QString shown = line->currentMessage();
        QVERIFY2(!shown.isEmpty(), "no message after the export");
        QVERIFY2(line->toolTip().contains(QDir::toNativeSeparators(out + ".csv")), qPrintable(line->toolTip()));
        QVERIFY2(!library->text().contains(QDir::toNativeSeparators(m_libraryDir->path())),
                 qPrintable(library->text()));
        QVERIFY(library->text().contains(QFileInfo(libraryPath()).fileName()));
        // The message ends, with room to spare, where the library's name begins.
        const int messageEnd = 6 + line->fontMetrics().horizontalAdvance(shown);
        QVERIFY2(
            messageEnd + 6 <= library->x(),
            qPrintable(
                QStringLiteral("message to %1, library from %2: %3").arg(messageEnd).arg(library->x()).arg(shown)));
        QVERIFY(library->width() >= library->sizeHint().width());
        // A narrower window (its first size on a 1366x768 screen) cuts the message again, clear
        // of the library's name.
        win().resize(913, 680);
        QCoreApplication::processEvents();
        const QString narrower = line->currentMessage();
        QVERIFY2(narrower.size() < shown.size(), qPrintable(narrower));
        QVERIFY2(6 + line->fontMetrics().horizontalAdvance(narrower) + 6 <= library->x(),
                 qPrintable(QStringLiteral("library from %1: %2").arg(library->x()).arg(narrower)));
        line->clearMessage();
        QCoreApplication::processEvents();
        QVERIFY(library->text().contains(QDir::toNativeSeparators(libraryPath())));
        QVERIFY(line->toolTip().isEmpty());
    }

    void longModelNamesShowInFullAsTooltips()
    {
        const QString longName = "A very long description of a shrub model that no narrow tree shows whole";
        QByteArray library = kTestLibrary;
        library.replace("\"Custom one\"", "\"" + longName.toLatin1() + "\"");
        start(library);
        const QString key = modelKey("Custom", "C1");
        const QString full = tree().Text(key);
        QVERIFY(full.contains(longName));
        QCOMPARE(tree().Node(key)->toolTip(0), full);

        frmEditModel *editor = openEditor("Orla Master", "GR2");
        QVERIFY(editor);
        auto *models = editor->findChild<QComboBox *>("cboFM");
        auto *sets = editor->findChild<QComboBox *>("cboFMSet");
        QVERIFY(models && sets);
        sets->setCurrentIndex(sets->findText("Custom"));
        QMetaObject::invokeMethod(sets, "activated", Q_ARG(int, sets->currentIndex()));
        QCoreApplication::processEvents();
        const int item = models->findText(full);
        QVERIFY2(item >= 0, qPrintable(models->itemText(0)));
        QCOMPARE(models->itemData(item, Qt::ToolTipRole).toString(), full);
        models->setCurrentIndex(item);
        QHelpEvent tip(QEvent::ToolTip, QPoint(5, 5), models->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(models, &tip);
        QCOMPARE(models->toolTip(), full);
    }
};

QTEST_MAIN(TestWindowHabits)
#include "tst_windowhabits.moc"
