// Pictures of the main window for the README, taken from the real window with the standard
// library: a set selected, a model selected, the popup menu open. scripts/screenshots.sh makes
// them (VARROW_SCREENSHOT_DIR names the folder); without the variable only the metric panel's
// values are checked and no picture is made.

#include "support/ManagerFixture.h"

#include "units/UnitSetting.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStatusBar>

class TestScreenshots : public QObject, public ManagerFixture
{
    Q_OBJECT

    static QString outDir() { return qEnvironmentVariable("VARROW_SCREENSHOT_DIR"); }

    void save(const QImage &image, const QString &name)
    {
        if (outDir().isEmpty())
            return;
        QVERIFY(!image.isNull());
        QDir().mkpath(outDir());
        QVERIFY(image.save(QDir(outDir()).filePath(name)));
    }

    void showStandardLibrary()
    {
        start(QByteArray()); // no file: the standard library is created
        win().resize(1040, 700);
        win().statusBar()->clearMessage(); // it names a temporary folder here
        QCoreApplication::processEvents();
    }

private slots:
    void initTestCase() { setUpSuite(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void setSelected()
    {
        if (outDir().isEmpty())
            QSKIP("set VARROW_SCREENSHOT_DIR to make the pictures");
        showStandardLibrary();
        const QString master = tree().KeyAt(1);
        tree().Node(master)->setExpanded(true);
        click(master);
        save(win().grab().toImage(), "manager-set.png");
    }

    void modelSelected()
    {
        if (outDir().isEmpty())
            QSKIP("set VARROW_SCREENSHOT_DIR to make the pictures");
        showStandardLibrary();
        const QString master = tree().KeyAt(1);
        tree().Node(master)->setExpanded(true);
        QString grass;
        for (const auto &fm : *gFMSets->Item(master)->FuelModels())
            if (fm->Description().startsWith("GR2"))
                grass = fm->Key();
        QVERIFY(!grass.isEmpty());
        click(grass);
        save(win().grab().toImage(), "manager-model.png");
    }

    void modelSelectedInMetric()
    {
        showStandardLibrary();
        Units::UnitSetting::instance().setSystem(Units::System::Metric);
        const QString master = tree().KeyAt(1);
        tree().Node(master)->setExpanded(true);
        QString grass;
        for (const auto &fm : *gFMSets->Item(master)->FuelModels())
            if (fm->Description().startsWith("GR2"))
                grass = fm->Key();
        click(grass);
        // GR2: 0.1 t/ac = 0.22 t/ha, 1 ft = 0.3 m.
        QCOMPARE(win().findChild<QLineEdit *>(QStringLiteral("txtFuels_2"))->text(), QStringLiteral("0.22"));
        QCOMPARE(win().findChild<QLabel *>(QStringLiteral("lblFuels_13"))->text(),
                 QStringLiteral(" Fuelbed Bulk Depth (m)"));
        save(win().grab().toImage(), "manager-metric.png");
        Units::UnitSetting::instance().setSystem(Units::System::English);
    }

    void popupMenu()
    {
        if (outDir().isEmpty())
            QSKIP("set VARROW_SCREENSHOT_DIR to make the pictures");
        showStandardLibrary();
        const QString custom = tree().KeyAt(tree().Count());
        click(custom);
        QMenu *menu = win().PopupMenu();
        const QRect row = tree().visualItemRect(tree().Node(custom));
        const QPoint at = tree().viewport()->mapTo(&win(), row.center() + QPoint(20, 0));
        menu->popup(win().mapToGlobal(at));
        QCoreApplication::processEvents();
        // The menu is a window of its own: drawn onto the main window where it opened.
        QImage shot = win().grab().toImage();
        const QImage menuImage = menu->grab().toImage();
        QPainter painter(&shot);
        const QPoint place(qMin(at.x(), shot.width() - menuImage.width()),
                           qMin(at.y(), shot.height() - menuImage.height()));
        painter.drawImage(place, menuImage);
        painter.setPen(QColor(110, 110, 110)); // the shadow a desktop would draw
        painter.drawRect(QRect(place, menuImage.size()).adjusted(0, 0, -1, -1));
        painter.end();
        menu->hide();
        save(shot, "manager-popup.png");
    }
};

QTEST_MAIN(TestScreenshots)
#include "tst_screenshots.moc"
