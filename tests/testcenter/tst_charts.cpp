#include "data/NumberText.h"
#include "data/ProgramState.h"
#include "testcenter/PlotHistory.h"
#include "testcenter/ui/EditorCharts.h"
#include "testcenter/ui/FireChartView.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

namespace {

// Stand-in for the editor window: the controls the charts use, by their names, and a Compute
// that derives every result from the 1-h loading box.
class ChartTestEditor : public QWidget
{
public:
    ChartTestEditor()
    {
        auto *layout = new QVBoxLayout(this);
        tabs = new QTabWidget(this);
        tabs->setObjectName("tabResults");
        for (const char *t : {"ROS", "FLI", "FL", "Size", "Reference Fuel Model"}) {
            auto *page = new QWidget(tabs);
            new QVBoxLayout(page);
            tabs->addTab(page, t);
        }
        layout->addWidget(tabs);
        auto *ref = tabs->widget(4)->layout();
        cboFM = new QComboBox(tabs->widget(4));
        cboFM->setObjectName("cboFM");
        cboFM->addItems({"GR1 - Short grass", "TL3 - Moderate load conifer litter"});
        ref->addWidget(cboFM);
        refFLI = line("txtRefFLI", ref);
        refFL = line("txtRefFL", ref);
        for (int i = 2; i <= 25; ++i) {
            if (i < 15 || i > 19)
                line(QStringLiteral("txtFuels_%1").arg(i), ref);
        }
        for (const char *n : {"txtMidFlameWind", "txtROS", "txtFLI", "txtHeat", "txtFL", "txtCharSurfVolRatio"})
            line(n, ref);
        box(2)->setText("1");
    }

    QLineEdit *box(int i) const { return findChild<QLineEdit *>(QStringLiteral("txtFuels_%1").arg(i)); }

    ChartEditorHooks hooks()
    {
        ChartEditorHooks h;
        h.EntriesOK = [this] { ++checks; return entriesOk; };
        h.EnvEntriesOK = [this] { ++checks; return true; };
        h.Compute = [this] {
            const double v = ParseLeadingNumber(box(2)->text());
            current = std::make_shared<FireSpread>();
            current->setLoading1Hour(v);
            current->setRateOfSpread(2.5 * v);
            current->setFireLineIntensity(100 * v);
            current->setFlameLength(v);
            current->setSingleEllipseArea(0.3 * v);
            reference = std::make_shared<FireSpread>();
            reference->setRateOfSpread(5);
            reference->setFireLineIntensity(200);
            reference->setFlameLength(3);
            reference->setSingleEllipseArea(0.5);
            refFLI->setText(FormatPattern(200, u"####0.0"));
            refFL->setText(FormatPattern(3, u"####0.0"));
        };
        h.CurrentFireSpread = [this] { return current; };
        h.ReferenceFireSpread = [this] { return reference; };
        return h;
    }

    QTabWidget *tabs;
    QComboBox *cboFM;
    QLineEdit *refFLI, *refFL;
    std::shared_ptr<FireSpread> current, reference;
    bool entriesOk = true;
    int checks = 0;

private:
    QLineEdit *line(const QString &name, QLayout *layout)
    {
        auto *e = new QLineEdit(layout->parentWidget());
        e->setObjectName(name);
        layout->addWidget(e);
        return e;
    }
};

QChart *chart(QWidget *editor, int k)
{
    return editor->findChild<QChartView *>(QStringLiteral("chtFB_%1").arg(k))->chart();
}

QStringList categories(QWidget *editor, int k)
{
    return qobject_cast<QBarCategoryAxis *>(chart(editor, k)->axes(Qt::Horizontal).first())->categories();
}

QList<qreal> bars(QWidget *editor, int k)
{
    for (QAbstractSeries *s : chart(editor, k)->series()) {
        if (auto *b = qobject_cast<QBarSeries *>(s)) {
            QList<qreal> v;
            for (int i = 0; i < b->barSets().first()->count(); ++i)
                v << b->barSets().first()->at(i);
            return v;
        }
    }
    return {};
}

// The reference line's points, segment by segment.
QList<QList<QPointF>> line(QWidget *editor, int k)
{
    QList<QList<QPointF>> segments;
    for (QAbstractSeries *s : chart(editor, k)->series()) {
        if (auto *l = qobject_cast<QLineSeries *>(s); l && l->count() > 0)
            segments << l->points();
    }
    return segments;
}

double axisMax(QWidget *editor, int k)
{
    return qobject_cast<QValueAxis *>(chart(editor, k)->axes(Qt::Vertical).first())->max();
}

QStringList positions(int from, int to)
{
    QStringList l;
    for (int i = from; i <= to; ++i)
        l << QString::number(i);
    return l;
}

} // namespace

class tst_Charts : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ChartTestEditor> editor;
    EditorCharts *charts = nullptr;

    QPushButton *button(const char *name) { return editor->findChild<QPushButton *>(name); }
    QScrollBar *scroll(int k) { return editor->findChild<QScrollBar *>(QStringLiteral("hscChart_%1").arg(k)); }
    void plot(int times)
    {
        for (int i = 1; i <= times; ++i) {
            editor->box(2)->setText(QString::number(i));
            QTest::mouseClick(button("cmdPlot"), Qt::LeftButton);
        }
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        ResetProgramState();
        ResetChartState();
        editor = std::make_unique<ChartTestEditor>();
        charts = new EditorCharts(editor.get(), editor->hooks());
        editor->resize(520, 520);
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
    }

    void cleanup() { editor.reset(); }

    void controlsCarryTheirNamesAndCaptions()
    {
        QCOMPARE(button("cmdPlot")->text(), "Plot");
        QCOMPARE(button("cmdClearGraph")->text(), "Clear Graphs");
        QCOMPARE(button("cmdExport")->text(), "Export...");
        QCOMPARE(button("cmdCopyChart")->text(), "Copy Chart");
        auto *chk = editor->findChild<QCheckBox *>("chkPlotRefFM");
        QCOMPARE(chk->text(), "Plot Reference Model");
        QVERIFY(!chk->isChecked());
        const char *titles[] = {"Rate of Spread (Ch/Hr)", "Fireline Intensity (BTU/Ft/Sec)", "Flame Length (feet)",
                                "Size After 1 Hour (Acres)"};
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(editor->findChild<QLabel *>(QStringLiteral("lblChartTitle_%1").arg(k))->text(), titles[k]);
            QVERIFY(editor->tabs->widget(k)->isAncestorOf(editor->findChild<QChartView *>(QStringLiteral("chtFB_%1").arg(k))));
            QVERIFY(editor->tabs->widget(k)->isAncestorOf(scroll(k)));
            QVERIFY(editor->findChild<QWidget *>(QStringLiteral("vseRef_%1").arg(k))->isHidden());
            QCOMPARE(editor->findChild<QLabel *>(QStringLiteral("lblRefName_%1").arg(k))->text(), "Ref: GR1 - Short grass");
            QCOMPARE(categories(editor.get(), k), positions(1, 10));
        }
    }

    void firstPlotShowsOneBarAndLeavesTheReferenceTab()
    {
        editor->tabs->setCurrentIndex(4);
        editor->box(2)->setText("2.92"); // rate of spread 7.3
        QTest::mouseClick(button("cmdPlot"), Qt::LeftButton);
        QCOMPARE(editor->tabs->currentIndex(), 0);
        QCOMPARE(editor->checks, 2);
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(categories(editor.get(), k), positions(1, 10));
            const QList<qreal> b = bars(editor.get(), k);
            QVERIFY(b[0] > 0);
            for (int m = 1; m < 10; ++m)
                QCOMPARE(b[m], 0.0);
            QVERIFY(line(editor.get(), k).isEmpty());
        }
        QCOMPARE(bars(editor.get(), 0)[0], 7.3);
        QCOMPARE(axisMax(editor.get(), 0), 8.0);   // 7.3 -> 8 (reference 5)
        QCOMPARE(axisMax(editor.get(), 1), 322.0); // 292 -> 321.2 -> 322 (reference box 200)
        QCOMPARE(axisMax(editor.get(), 3), 1.0);   // size 0.876, reference 0.5 -> maximum 0, drawn to 1
        QCOMPARE(gChartState.ChartMax[3], 0.0);
    }

    void refusedEntriesPlotNothing()
    {
        editor->entriesOk = false;
        QTest::mouseClick(button("cmdPlot"), Qt::LeftButton);
        QCOMPARE(editor->checks, 2); // both checks ran
        QCOMPARE(gChartState.Count(), 0);
        QCOMPARE(bars(editor.get(), 0)[0], 0.0);
    }

    void twelfthPlotPagesAllFourChartsTogether()
    {
        plot(12);
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(categories(editor.get(), k), positions(3, 12));
            QCOMPARE(scroll(k)->minimum(), 1);
            QCOMPARE(scroll(k)->maximum(), 3);
            QCOMPARE(scroll(k)->value(), 3);
        }
        QCOMPARE(bars(editor.get(), 2).last(), 12.0);

        scroll(1)->setValue(1); // as a user drags the FLI bar
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(categories(editor.get(), k), positions(1, 10));
            QCOMPARE(scroll(k)->value(), 1);
        }
        QCOMPARE(bars(editor.get(), 2).first(), 1.0);
        scroll(3)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        for (int k = 0; k < 4; ++k)
            QCOMPARE(categories(editor.get(), k), positions(2, 11));
    }

    void referenceLineFollowsTheCheckBox()
    {
        plot(3);
        auto *chk = editor->findChild<QCheckBox *>("chkPlotRefFM");
        QTest::mouseClick(chk, Qt::LeftButton);
        QVERIFY(chk->isChecked());
        for (int k = 0; k < 4; ++k) {
            QVERIFY(!editor->findChild<QWidget *>(QStringLiteral("vseRef_%1").arg(k))->isHidden());
            const auto segments = line(editor.get(), k);
            QCOMPARE(segments.size(), 1);
            QCOMPARE(segments[0].size(), 3); // rows 4 to 10 hold no plot: no point, not 0
        }
        QCOMPARE(line(editor.get(), 2)[0][2], QPointF(2, 3));
        QCOMPARE(line(editor.get(), 1)[0][0], QPointF(0, 200));

        QTest::mouseClick(chk, Qt::LeftButton);
        for (int k = 0; k < 4; ++k) {
            QVERIFY(line(editor.get(), k).isEmpty());
            QVERIFY(editor->findChild<QWidget *>(QStringLiteral("vseRef_%1").arg(k))->isHidden());
        }
    }

    void clickedBarRestoresItsEntries()
    {
        plot(12); // rows 3 to 12 shown
        QChartView *view = editor->findChild<QChartView *>("chtFB_0");
        QChart *c = view->chart();
        QBarSeries *series = nullptr;
        for (QAbstractSeries *s : c->series()) {
            if (!series)
                series = qobject_cast<QBarSeries *>(s);
        }
        // The middle of the bar in row 4 (history entry 6, rate of spread 15).
        const QPointF inChart = c->mapToPosition(QPointF(3, 7.5), series);
        const QPoint inView = view->mapFromScene(c->mapToScene(inChart));
        editor->box(2)->setText("99");
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, inView);
        QCOMPARE(editor->box(2)->text(), "6");
        QCOMPARE(editor->findChild<QLineEdit *>("txtROS")->text(), "15.0");
        QCOMPARE(editor->findChild<QLineEdit *>("txtCharSurfVolRatio")->text(), "0");

        // A click on the reference line, or beside the bars, changes nothing.
        editor->box(2)->setText("99");
        editor->findChild<QCheckBox *>("chkPlotRefFM")->setChecked(true);
        const QPointF onLine = c->mapToPosition(QPointF(9, 5), series);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(c->mapToScene(onLine)));
        QCOMPARE(editor->box(2)->text(), "99");
    }

    void clearGraphsAndANewReferenceEmptyTheHistory()
    {
        plot(12);
        QTest::mouseClick(button("cmdClearGraph"), Qt::LeftButton);
        QCOMPARE(gChartState.Count(), 0);
        QCOMPARE(gChartState.ReferencePlotHistory.size(), std::size_t(0));
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(categories(editor.get(), k), positions(1, 10));
            QCOMPARE(bars(editor.get(), k), QList<qreal>(10, 0.0));
            QCOMPARE(axisMax(editor.get(), k), 10.0);
            QCOMPARE(scroll(k)->value(), 1);
        }
        QVERIFY(!button("cmdExport")->isEnabled());

        plot(2);
        editor->cboFM->setCurrentIndex(1);
        charts->ReferenceModelChosen();
        QCOMPARE(gChartState.Count(), 0);
        QCOMPARE(editor->findChild<QLabel *>("lblRefName_3")->text(), "Ref: TL3 - Moderate load conifer litter");
        plot(1);
        QCOMPARE(bars(editor.get(), 0)[0], 2.5);
        QCOMPARE(bars(editor.get(), 0)[1], 0.0);
    }

    void tunerPlotAppendsWithoutChecksOrTabChange()
    {
        editor->tabs->setCurrentIndex(4);
        editor->entriesOk = false;
        editor->box(2)->setText("4");
        PlotFromTuner();
        QCOMPARE(editor->checks, 0);
        QCOMPARE(editor->tabs->currentIndex(), 4);
        QCOMPARE(gChartState.Count(), 1);
        QCOMPARE(bars(editor.get(), 0)[0], 10.0);
    }

    void copyChartPutsTheShownChartOnTheClipboard()
    {
        plot(3);
        editor->tabs->setCurrentIndex(1);
        QGuiApplication::clipboard()->clear();
        QTest::mouseClick(button("cmdCopyChart"), Qt::LeftButton);
        const QImage image = QGuiApplication::clipboard()->image();
        QVERIFY(!image.isNull());
        QCOMPARE(image.size() / image.devicePixelRatio(), editor->findChild<QWidget *>("fraChart_1")->size());
        editor->tabs->setCurrentIndex(4);
        QVERIFY(!button("cmdCopyChart")->isEnabled());
    }

    void exportWritesEveryPlotInOrder()
    {
        QTemporaryDir dir;
        plot(11);
        const QString path = dir.filePath("plots"); // the extension is added
        charts->SetExportPathChooser([&] { return path; });
        QTest::mouseClick(button("cmdExport"), Qt::LeftButton);
        QFile f(path + ".csv");
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 12);
        const QStringList header = lines[0].split(',');
        const qsizetype ros = header.indexOf("RateOfSpread");
        const qsizetype loading = header.indexOf("Loading1Hour");
        QVERIFY(ros > 0 && loading > 0);
        for (int i = 1; i <= 11; ++i) {
            const QStringList row = lines[i].split(',');
            QCOMPARE(row[0], QString::number(i));
            QCOMPARE(row[loading], QString::number(i));
            QCOMPARE(row[ros].toDouble(), 2.5 * i);
            QCOMPARE(row[ros + 1], "5");
        }
    }
};

QTEST_MAIN(tst_Charts)
#include "tst_charts.moc"
