// Every window opens inside the available area of a 1366x768 screen: the main window at its
// first placement, the Edit and Test Center, its analysis window, both tuners and the user
// guide. The offscreen platform is given one screen of that size before the application starts.

#include "support/ManagerFixture.h"

#include "analysis/ui/frmAnalysis.h"
#include "manager/UserGuideWindow.h"
#include "testcenter/ui/EditorAnalysis.h"
#include "testcenter/ui/frmEditModel.h"

#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>

class TestSmallScreen : public QObject, public ManagerFixture
{
    Q_OBJECT

    static QString text(const QRect &r)
    {
        return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }
    static void checkInside(QWidget *window, const char *name)
    {
        QVERIFY2(window && window->isVisible(), name);
        QCoreApplication::processEvents();
        const QRect area = window->screen()->availableGeometry();
        QVERIFY2(
            area.contains(window->frameGeometry()),
            qPrintable(QStringLiteral("%1 at %2 outside %3").arg(name, text(window->frameGeometry()), text(area))));
    }
    static QWidget *topLevel(const char *name)
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String(name) && w->isVisible())
                return w;
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        setUpSuite();
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(area.size(), QSize(1366, 768));
    }
    void init() { setUp(); }
    void cleanup()
    {
        if (m_window && win().Editor())
            win().Editor()->close();
        tearDown();
    }

    void everyWindowOpensInsideTheScreen()
    {
        start();
        checkInside(&win(), "main window");

        click(modelKey("Custom", "C1"));
        win().cmdEditSave->click();
        QCoreApplication::processEvents();
        frmEditModel *editor = win().Editor();
        QVERIFY(editor);
        checkInside(editor, "editor");

        // The Compare tab gives its table the room for a useful number of rows.
        QTabWidget *results = editor->tabResults();
        QWidget *compare = editor->findChild<QWidget *>(QStringLiteral("tabPageCompare"));
        QVERIFY(compare);
        results->setCurrentWidget(compare);
        QCoreApplication::processEvents();
        auto *table = compare->findChild<QTableView *>(QStringLiteral("tblComparison"));
        QVERIFY(table && table->isVisible());
        const int rows = table->viewport()->height() / table->verticalHeader()->defaultSectionSize();
        QVERIFY2(rows >= 8, qPrintable(QStringLiteral("%1 rows in %2 px").arg(rows).arg(table->viewport()->height())));

        QTest::mouseClick(editor->findChild<QPushButton *>(QStringLiteral("cmdAnalysis")), Qt::LeftButton);
        frmAnalysis *analysis = EditorAnalysisWindow(editor);
        QVERIFY(QTest::qWaitForWindowExposed(analysis));
        checkInside(analysis, "analysis window");
        analysis->close();

        QTest::mouseClick(editor->cmdTuner(2), Qt::LeftButton);
        checkInside(topLevel("frmTuner"), "tuner");
        topLevel("frmTuner")->close();
        QTest::mouseClick(editor->cmdTuner(0), Qt::LeftButton);
        checkInside(topLevel("frmSyncTuner"), "synchronized tuner");
        topLevel("frmSyncTuner")->close();
        editor->close();
        QCoreApplication::processEvents();

        win().actUserGuide->trigger();
        auto *guide = win().findChild<UserGuideWindow *>();
        QVERIFY(guide);
        QTRY_VERIFY(guide->isVisible());
        checkInside(guide, "user guide");
        // A window placed partly off the area comes back in when shown again.
        guide->move(900, 500);
        guide->hide();
        guide->show();
        checkInside(guide, "user guide shown again");
        guide->close();
    }
};

// The offscreen platform reads its screens from a file named on the platform's command line.
int main(int argc, char **argv)
{
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screen.json"));
    QFile f(config);
    if (!f.open(QIODevice::WriteOnly))
        return 2;
    f.write(R"({"screens": [{"name": "small", "x": 0, "y": 0, "width": 1366, "height": 768, "logicalDpi": 96}]})");
    f.close();
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + config.toLocal8Bit());
    QApplication app(argc, argv);
    TestSmallScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_smallscreen.moc"
