// The fire behavior charts in the real Edit and Test Center: Plot, paging, the reference line,
// restoring a clicked bar, Clear Graphs, the tuners' Plot, the CSV export and Copy Chart.
// With VARROW_SCREENSHOT_DIR set, screenshot() saves the editor with ten plots there.
#include "data/NumberText.h"
#include "support/EditorFixture.h"
#include "testcenter/ChartData.h"
#include "testcenter/PlotHistory.h"
#include "testcenter/ui/EditorCharts.h"
#include "units/UnitSetting.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QValueAxis>

namespace {

QChart *chart(QWidget *editor, int k)
{
    return editor->findChild<QChartView *>(QStringLiteral("chtFB_%1").arg(k))->chart();
}

QStringList categories(QWidget *editor, int k)
{
    return qobject_cast<QBarCategoryAxis *>(chart(editor, k)->axes(Qt::Horizontal).first())->categories();
}

QBarSeries *barSeries(QWidget *editor, int k)
{
    for (QAbstractSeries *s : chart(editor, k)->series()) {
        if (auto *b = qobject_cast<QBarSeries *>(s))
            return b;
    }
    return nullptr;
}

QList<qreal> bars(QWidget *editor, int k)
{
    QList<qreal> v;
    QBarSet *set = barSeries(editor, k)->barSets().first();
    for (int i = 0; i < set->count(); ++i)
        v << set->at(i);
    return v;
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

double number(const QLineEdit *box)
{
    return ParseLeadingNumber(box->text());
}

const QString kRangeMessage =
    QStringLiteral("You have entries that are outside the \racceptable range and are in highlighted in red.");

} // namespace

class tst_Charts : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestLibrary> lib;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<FakeOwner> owner;
    std::unique_ptr<frmEditModel> editor;
    EditorCharts *charts = nullptr;

    QPushButton *button(const char *name) { return editor->findChild<QPushButton *>(name); }
    QCheckBox *plotRef() { return editor->findChild<QCheckBox *>("chkPlotRefFM"); }
    QScrollBar *scroll(int k) { return editor->findChild<QScrollBar *>(QStringLiteral("hscChart_%1").arg(k)); }
    QWidget *legend(int k) { return editor->findChild<QWidget *>(QStringLiteral("vseRef_%1").arg(k)); }

    // Plots n times, the 1-h loading going up by 0.1 t/ac each time from 0.8.
    void plot(int n)
    {
        for (int i = 1; i <= n; ++i) {
            editor->SetEntryText(2, FormatGeneral(0.7 + 0.1 * i));
            QTest::mouseClick(button("cmdPlot"), Qt::LeftButton);
        }
    }

    // A plot of given results, as the tuners' Plot makes it but without computing.
    void plotResults(double ros, double fli, double fl, double size, double refRos, double refFli, double refFl,
                     double refSize)
    {
        auto fs = std::make_shared<FireSpread>();
        fs->setRateOfSpread(ros);
        fs->setFireLineIntensity(fli);
        fs->setFlameLength(fl);
        fs->setSingleEllipseArea(size);
        auto ref = std::make_shared<FireSpread>();
        ref->setRateOfSpread(refRos);
        ref->setSingleEllipseArea(refSize);
        CurrentFireSpread = fs;
        ReferenceFireSpread = ref;
        editor->txtRefFLI()->setText(FormatPattern(refFli, u"####0.0"));
        editor->txtRefFL()->setText(FormatPattern(refFl, u"####0.0"));
        gChartState.CurrentPlotHistory.push_back(fs);
        gChartState.ReferencePlotHistory.push_back(ref);
        const int n = gChartState.Count();
        PlotCharts(n - 9, n, false);
    }

private slots:
    void init()
    {
        lib = std::make_unique<TestLibrary>();
        ResetChartState();
        prompts = std::make_unique<ScriptedPrompts>();
        owner = std::make_unique<FakeOwner>();
        editor = std::make_unique<frmEditModel>(owner.get(), prompts.get());
        editor->Open(lib->shortGrass, true);
        QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
        charts = editor->findChild<EditorCharts *>();
        QVERIFY(charts);
        QCOMPARE(EditorCharts::Active(), charts);
    }

    void cleanup()
    {
        editor.reset();
        Units::UnitSetting::instance().setSystem(Units::System::English);
        QVERIFY(!EditorCharts::Active());
        QVERIFY2(prompts->Finished(), "a scripted message was not shown");
    }

    void chartsSitInTheirTabsWithTheirCaptions()
    {
        QCOMPARE(button("cmdPlot")->text().remove(QLatin1Char('&')), "Plot");
        QCOMPARE(button("cmdClearGraph")->text().remove(QLatin1Char('&')), "Clear Graphs");
        QCOMPARE(button("cmdExport")->text().remove(QLatin1Char('&')), "Export...");
        QCOMPARE(button("cmdCopyChart")->text().remove(QLatin1Char('&')), "Copy Chart");
        QCOMPARE(plotRef()->text().remove(QLatin1Char('&')), "Plot Reference Model");
        QVERIFY(!plotRef()->isChecked());
        QVERIFY(!button("cmdExport")->isEnabled()); // nothing plotted yet
        const char *titles[] = {"Rate of Spread (Ch/Hr)", "Fireline Intensity (BTU/Ft/Sec)", "Flame Length (feet)",
                                "Size After 1 Hour (Acres)"};
        for (int k = 0; k < 4; ++k) {
            QWidget *page = editor->tabResults()->widget(k);
            QCOMPARE(page->findChild<QLabel *>(QStringLiteral("lblChartTitle_%1").arg(k))->text(), titles[k]);
            QVERIFY(page->findChild<QChartView *>(QStringLiteral("chtFB_%1").arg(k)));
            QVERIFY(page->isAncestorOf(scroll(k)));
            QVERIFY(page->isAncestorOf(legend(k)));
            QVERIFY(legend(k)->isHidden());
            QCOMPARE(page->findChild<QLabel *>(QStringLiteral("lblRefName_%1").arg(k))->text(), "Ref: 1 - Short grass");
            QCOMPARE(categories(editor.get(), k), positions(1, 10));
        }
    }

    void firstPlotShowsTheResultsAsOneBar()
    {
        editor->tabResults()->setCurrentIndex(4);
        QTest::mouseClick(button("cmdPlot"), Qt::LeftButton);
        QCOMPARE(editor->tabResults()->currentIndex(), 0);
        QCOMPARE(gChartState.Count(), 1);
        QLineEdit *results[] = {editor->txtROS(), editor->txtFLI(), editor->txtFL(), editor->txtHeat()};
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(categories(editor.get(), k), positions(1, 10));
            const QList<qreal> b = bars(editor.get(), k);
            QCOMPARE(b[0], number(results[k])); // the bar is the result box, one decimal
            QVERIFY(b[0] > 0);
            QVERIFY(axisMax(editor.get(), k) >= b[0]);
            for (int m = 1; m < 10; ++m)
                QCOMPARE(b[m], 0.0);
            QVERIFY(line(editor.get(), k).isEmpty());
        }
        QVERIFY(button("cmdExport")->isEnabled());
    }

    void axisMaximaGrowByATenthToAnEvenNumber()
    {
        plotResults(7.3, 9.9, 0.5, 0.5, 5, 1, 0.1, 0.1);
        QCOMPARE(axisMax(editor.get(), 0), 10.0); // 8.03 rounded up to 9, made even
        QCOMPARE(axisMax(editor.get(), 1), 12.0); // 10.89 -> 11 -> 12
        QCOMPARE(axisMax(editor.get(), 2), 1.0);  // 0.55 -> 1
        plotResults(7.3, 9.9, 0.5, 0.5, 20, 1, 0.1, 0.1);
        QCOMPARE(axisMax(editor.get(), 0), 22.0);
        plotResults(1, 1, 1, 1, 1, 1, 1, 1);
        QCOMPARE(axisMax(editor.get(), 0), 22.0); // never shrinks
    }

    // Every bar and reference point stands inside its chart: values just above an even number
    // (2.3 once got an axis of 2) in both unit systems, and a run of real plots.
    void barsAndReferencePointsStayInsideTheirCharts()
    {
        plotRef()->click();
        const auto checkInside = [this](const char *when) {
            for (int k = 0; k < 4; ++k) {
                const double max = axisMax(editor.get(), k);
                for (qreal b : bars(editor.get(), k))
                    QVERIFY2(b <= max,
                             qPrintable(
                                 QStringLiteral("%1: chart %2 bar %3 above axis %4").arg(when).arg(k).arg(b).arg(max)));
                for (const QList<QPointF> &segment : line(editor.get(), k))
                    for (const QPointF &p : segment)
                        QVERIFY2(p.y() <= max,
                                 qPrintable(QStringLiteral("%1: chart %2 reference %3 above axis %4")
                                                .arg(when)
                                                .arg(k)
                                                .arg(p.y())
                                                .arg(max)));
            }
        };
        // English: 2.3 ft of flame, 4.3 ch/h, a reference of 6.1 acres and 2.2 BTU/ft/s.
        plotResults(4.3, 0.7, 2.3, 0.2, 0.5, 2.2, 0.1, 6.1);
        QCOMPARE(axisMax(editor.get(), 0), 6.0);
        QCOMPARE(axisMax(editor.get(), 1), 4.0);
        QCOMPARE(axisMax(editor.get(), 2), 4.0);
        QCOMPARE(axisMax(editor.get(), 3), 8.0);
        checkInside("English");

        // Metric: a flame length of 2.3 m and a rate of 4.3 m/min, given in English.
        QTest::mouseClick(button("cmdClearGraph"), Qt::LeftButton);
        editor->cboUnits()->setCurrentIndex(1);
        emit editor->cboUnits()->activated(1);
        plotResults(4.3 * 60 / 20.1168, 1, 2.3 / 0.3048, 0.1, 0.1, 1, 0.1, 0.1); // 1 ch = 20.1168 m
        QCOMPARE(bars(editor.get(), 0)[0], 4.3);
        QCOMPARE(axisMax(editor.get(), 0), 6.0); // 4.73 -> 5 -> 6, not 4
        QCOMPARE(bars(editor.get(), 2)[0], 2.3);
        QCOMPARE(axisMax(editor.get(), 2), 4.0); // 2.53 -> 3 -> 4, not 2
        // The value axis names its unit, which fits beside a chart of the smallest height.
        const char *units[] = {"m/min", "kW/m", "m", "ha"};
        for (int k = 0; k < 4; ++k) {
            auto *axis = qobject_cast<QValueAxis *>(chart(editor.get(), k)->axes(Qt::Vertical).first());
            QCOMPARE(axis->titleText(), QString::fromLatin1(units[k]));
            QVERIFY(QFontMetrics(axis->titleFont()).horizontalAdvance(axis->titleText()) < 120);
        }
        checkInside("metric");

        // A run of real plots in metric, then the same history in English.
        QTest::mouseClick(button("cmdClearGraph"), Qt::LeftButton);
        for (int i = 0; i < 12; ++i) {
            editor->SetEntryText(2, FormatGeneral(0.5 + 0.35 * i));
            QTest::mouseClick(button("cmdPlot"), Qt::LeftButton);
            checkInside(qPrintable(QStringLiteral("metric plot %1").arg(i + 1)));
        }
        editor->cboUnits()->setCurrentIndex(0);
        emit editor->cboUnits()->activated(0);
        checkInside("English after the switch");
        for (int first = 1; first <= 3; ++first) {
            scroll(0)->setValue(first);
            checkInside(qPrintable(QStringLiteral("English page %1").arg(first)));
        }
        Units::UnitSetting::instance().setSystem(Units::System::English);
    }

    void refusedEntriesPlotNothing()
    {
        typeInto(*editor, 2, "31");
        prompts->ExpectMessage(kRangeMessage, "Error in entries");
        QTest::mouseClick(button("cmdPlot"), Qt::LeftButton);
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
        const QList<qreal> newest = bars(editor.get(), 0);

        scroll(1)->triggerAction(QAbstractSlider::SliderToMinimum); // the user drags the FLI bar
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(categories(editor.get(), k), positions(1, 10));
            QCOMPARE(scroll(k)->value(), 1);
        }
        QCOMPARE(bars(editor.get(), 0)[2], newest[0]); // entry 3 moved from row 1 to row 3
        QCOMPARE(bars(editor.get(), 0)[0], PlotValue(gChartState.Current(1)->RateOfSpread()));
        scroll(3)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(categories(editor.get(), k), positions(2, 11));
            QCOMPARE(scroll(k)->value(), 2);
        }
    }

    void referenceLineFollowsTheCheckBox()
    {
        plot(3);
        QTest::mouseClick(plotRef(), Qt::LeftButton);
        QVERIFY(plotRef()->isChecked());
        QLineEdit *refs[] = {editor->txtRefROS(), editor->txtRefFLI(), editor->txtRefFL(), editor->txtRefHeat()};
        for (int k = 0; k < 4; ++k) {
            QVERIFY(!legend(k)->isHidden());
            const auto segments = line(editor.get(), k);
            QCOMPARE(segments.size(), 1);
            QCOMPARE(segments[0].size(), 3); // rows 4 to 10 hold no plot: no point, not 0
            QCOMPARE(segments[0][2], QPointF(2, number(refs[k])));
        }
        QTest::mouseClick(plotRef(), Qt::LeftButton);
        for (int k = 0; k < 4; ++k) {
            QVERIFY(line(editor.get(), k).isEmpty());
            QVERIFY(legend(k)->isHidden());
        }
    }

    void clickedBarRestoresItsEntries()
    {
        plot(12); // rows 3 to 12 shown
        const FireSpread sixth = *gChartState.Current(6);
        QChartView *view = editor->findChild<QChartView *>("chtFB_0");
        QChart *c = view->chart();
        const QPointF inChart = c->mapToPosition(QPointF(3, sixth.RateOfSpread() / 2), barSeries(editor.get(), 0));
        editor->SetEntryText(2, "9");
        editor->SetEntryText(20, "12");
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(c->mapToScene(inChart)));
        QCOMPARE(editor->EntryText(2), FormatGeneral(0.7 + 0.1 * 6));
        QCOMPARE(editor->EntryText(20), "5");
        QCOMPARE(editor->txtROS()->text(), FormatPattern(sixth.RateOfSpread(), u"####0.0"));
        // Short grass is all 1-h fuel of 3500 ft2/ft3: that is its characteristic SA/V.
        QCOMPARE(editor->txtCharSurfVolRatio()->text(), "3500");
        QCOMPARE(editor->txtPackRatio()->text(), FormatPattern(sixth.PackRatio(), u"#####0.000"));
        QCOMPARE(editor->txtMidFlameWind()->text(), "7.0");

        // A click on the reference line changes nothing, even where it crosses a bar.
        editor->cboFMSet()->setCurrentIndex(2); // timber litter: far slower than the grass bars
        editor->cboFMSet_Click();
        plotRef()->setChecked(true);
        plot(1);
        QCoreApplication::processEvents(); // the chart lays itself out for the new axis
        editor->SetEntryText(2, "9");
        const QPointF point = line(editor.get(), 0)[0][0];
        QVERIFY(point.y() > 0 && point.y() < bars(editor.get(), 0)[0]);
        const QPointF onLine = c->mapToPosition(point, barSeries(editor.get(), 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(c->mapToScene(onLine)));
        QCOMPARE(editor->EntryText(2), "9");
        // The same bar away from the line does restore.
        const QPointF below = c->mapToPosition(QPointF(0, bars(editor.get(), 0)[0] / 2), barSeries(editor.get(), 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(c->mapToScene(below)));
        QCOMPARE(editor->EntryText(2), FormatGeneral(gChartState.Current(1)->Loading1Hour()));
    }

    // A plot made with a typed factor restores that factor, and the next Compute agrees with
    // the plot it restored.
    void clickedBarRestoresATypedFactor()
    {
        editor->cboWindReduce()->lineEdit()->selectAll();
        QTest::keyClicks(editor->cboWindReduce()->lineEdit(), ".45");
        QTest::mouseClick(button("cmdPlot"), Qt::LeftButton);
        const QString firstRos = editor->txtROS()->text();
        QCOMPARE(gChartState.Current(1)->WindSpeed(), 4.5); // 10 mi/h x .45
        editor->cboWindReduce()->setCurrentIndex(2);
        emit editor->cboWindReduce()->activated(2);
        QTest::mouseClick(button("cmdPlot"), Qt::LeftButton);
        QVERIFY(editor->txtROS()->text() != firstRos);

        QChartView *view = editor->findChild<QChartView *>("chtFB_0");
        QCoreApplication::processEvents();
        const QPointF inBar =
            view->chart()->mapToPosition(QPointF(0, bars(editor.get(), 0)[0] / 2), barSeries(editor.get(), 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(view->chart()->mapToScene(inBar)));
        QCOMPARE(editor->cboWindReduce()->currentText(), ".45");
        QCOMPARE(editor->txtMidFlameWind()->text(), "4.5");
        QCOMPARE(editor->txtROS()->text(), firstRos);
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        QCOMPARE(CurrentFireSpread->WindSpeed(), 4.5);
        QCOMPARE(editor->txtROS()->text(), firstRos);

        // A chosen factor comes back as that item.
        const QPointF second =
            view->chart()->mapToPosition(QPointF(1, bars(editor.get(), 0)[1] / 2), barSeries(editor.get(), 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(view->chart()->mapToScene(second)));
        QCOMPARE(editor->cboWindReduce()->currentIndex(), 2);
        QCOMPARE(editor->cboWindReduce()->currentText(), " .2");
        QCOMPARE(editor->txtMidFlameWind()->text(), "2.0");
    }

    // The axis maxima belong to one editor session; Clear Graphs starts them afresh and leaves
    // no scroll range for plots that are gone.
    void eachSessionAndClearGraphsStartWithFreshAxes()
    {
        plotResults(1, 1, 1, 238, 0, 0, 0, 0);
        QCOMPARE(axisMax(editor.get(), 3), 262.0); // 261.8 rounded up to 262
        editor.reset();
        editor = std::make_unique<frmEditModel>(owner.get(), prompts.get());
        editor->Open(lib->shortGrass, true);
        plotResults(1, 1, 1, 2, 0, 0, 0, 0);
        QCOMPARE(axisMax(editor.get(), 3), 4.0); // 2.2 rounded up to 3, made even

        plot(12);
        QTest::mouseClick(button("cmdClearGraph"), Qt::LeftButton);
        plot(1);
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(scroll(k)->maximum(), 1);
            QCOMPARE(categories(editor.get(), k), positions(1, 10));
        }
        scroll(0)->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(categories(editor.get(), 0), positions(1, 10));
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
            QCOMPARE(scroll(k)->maximum(), 1);
        }
        QVERIFY(!button("cmdExport")->isEnabled());

        plot(2);
        editor->cboFM()->setCurrentIndex(1);
        editor->cboFM_Click();
        QCOMPARE(gChartState.Count(), 0);
        for (int k = 0; k < 4; ++k)
            QCOMPARE(editor->findChild<QLabel *>(QStringLiteral("lblRefName_%1").arg(k))->text(),
                     "Ref: 2 - Timber grass");
        QCOMPARE(bars(editor.get(), 0), QList<qreal>(10, 0.0));
        plot(1);
        QCOMPARE(categories(editor.get(), 0), positions(1, 10));
        QCOMPARE(gChartState.Count(), 1);
    }

    void tunerPlotChecksTheEntriesButKeepsTheTab()
    {
        typeInto(*editor, 2, "31");
        editor->tabResults()->setCurrentIndex(4);
        prompts->ExpectMessage(kRangeMessage, "Error in entries");
        PlotFromTuner();
        QCOMPARE(gChartState.Count(), 0);
        typeInto(*editor, 2, "3");
        PlotFromTuner();
        QCOMPARE(editor->tabResults()->currentIndex(), 4);
        QCOMPARE(gChartState.Count(), 1);
        QCOMPARE(gChartState.Current(1)->Loading1Hour(), 3.0);
        QCOMPARE(bars(editor.get(), 0)[0], number(editor->txtROS()));
    }

    void exportWritesEveryPlotInOrder()
    {
        QTemporaryDir dir;
        plot(11);
        const QString path = dir.filePath("plots"); // the extension is added
        prompts->AnswerFiles(path);
        QTest::mouseClick(button("cmdExport"), Qt::LeftButton);
        QFile f(path + ".csv");
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 12);
        const QStringList header = lines[0].split(',');
        const qsizetype loading = header.indexOf("1-h loading (t/ac)");
        const qsizetype ros = header.indexOf("Rate of spread (ch/h)");
        QVERIFY(loading > 0 && ros > 0);
        QCOMPARE(header[ros + 1], "Reference rate of spread (ch/h)");
        for (int i = 1; i <= 11; ++i) {
            const QStringList row = lines[i].split(',');
            QCOMPARE(row[0], QString::number(i));
            QCOMPARE(row[2], editor->EntryText(0).trimmed()); // the model's ID on every row
            QCOMPARE(row[loading], FormatGeneral(0.7 + 0.1 * i));
            QCOMPARE(row[ros], FormatPattern(gChartState.Current(i)->RateOfSpread(), u"####0.0").trimmed());
            QCOMPARE(row[ros + 1], FormatPattern(gChartState.Reference(i)->RateOfSpread(), u"####0.0").trimmed());
        }
    }

    void copyChartPutsTheShownChartOnTheClipboard()
    {
        plot(3);
        editor->tabResults()->setCurrentIndex(1);
        QGuiApplication::clipboard()->clear();
        QTest::mouseClick(button("cmdCopyChart"), Qt::LeftButton);
        const QImage image = QGuiApplication::clipboard()->image();
        QVERIFY(!image.isNull());
        QCOMPARE(image.size() / image.devicePixelRatio(), editor->findChild<QWidget *>("fraChart_1")->size());
        editor->tabResults()->setCurrentIndex(4);
        QVERIFY(!button("cmdCopyChart")->isEnabled());
    }

    void screenshot()
    {
        const QString dir = qEnvironmentVariable("VARROW_SCREENSHOT_DIR");
        if (dir.isEmpty())
            QSKIP("set VARROW_SCREENSHOT_DIR to save the picture");
        editor->cboFMSet()->setCurrentIndex(0);
        editor->cboFM()->setCurrentIndex(1); // timber grass as the reference
        editor->cboFM_Click();
        plotRef()->setChecked(true);
        for (int i = 0; i < 10; ++i) {
            editor->SetEntryText(2, FormatGeneral(0.4 + 0.15 * i));
            editor->SetEntryText(25, QString::number(6 + i % 4));
            QTest::mouseClick(button("cmdPlot"), Qt::LeftButton);
        }
        QTest::qWait(50);
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(editor->grab().save(QDir(dir).filePath("editor-charts.png")));
    }
};

QTEST_MAIN(tst_Charts)
#include "tst_charts.moc"
