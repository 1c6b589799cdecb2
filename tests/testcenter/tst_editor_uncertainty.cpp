// The uncertainty and global sensitivity tabs of the analysis window opened from the editor,
// driven through their real controls.
#include "support/EditorFixture.h"

#include "analysis/ui/GlobalSensitivityPanel.h"
#include "analysis/ui/ResponseCurvesPanel.h"
#include "analysis/ui/UncertaintyPanel.h"
#include "analysis/ui/UncertaintyViews.h"
#include "analysis/ui/frmAnalysis.h"
#include "engine/FireSpread.h"
#include "testcenter/TestComputation.h"
#include "testcenter/ui/EditorAnalysis.h"
#include "units/UnitSetting.h"

#include <QAreaSeries>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

class tst_EditorUncertainty : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestLibrary> lib;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<FakeOwner> owner;
    std::unique_ptr<frmEditModel> editor;
    frmAnalysis *window = nullptr;

    template <typename T> T *find(QWidget *in, const char *name)
    {
        T *w = in->findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }

    static QSettings settings()
    {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, Units::SettingsOrganization(),
                         Units::SettingsOrganization());
    }

    void openTab(int index)
    {
        QTest::mouseClick(find<QPushButton>(editor.get(), "cmdAnalysis"), Qt::LeftButton);
        window = EditorAnalysisWindow(editor.get());
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTabBar *bar = window->Tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        QCOMPARE(window->Tabs()->currentIndex(), index);
    }

    void choosePreset(const QString &name)
    {
        QComboBox *box = find<QComboBox>(window->Uncertainty(), "cboUncertaintyPreset");
        box->setFocus();
        const int index = box->findText(name);
        QVERIFY(index > 0);
        // The list's keys: from the current item down to the preset, then Return.
        QTest::keyClick(box, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(box->currentText(), name);
        settle();
    }

    // Lets the window's coalesced recomputation run.
    static void settle()
    {
        QTest::qWait(1);
        QCoreApplication::processEvents();
    }

    // Types text into the distribution cell of row, as a user does: double-click, select all,
    // type, Return.
    void typeDistribution(QTableWidget *table, int row, const QString &text)
    {
        const QPoint at = table->visualItemRect(table->item(row, 1)).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
        auto *box = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(box);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
        settle();
    }

    void waitUncertainty()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!window->Uncertainty()->IsComputing() && !window->Uncertainty()->IsStale(), 20000);
    }

    void waitSobol()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!window->GlobalSensitivity()->IsComputing() && !window->GlobalSensitivity()->IsStale(),
                                 30000);
    }

    // The editor's unrounded rate of spread with its 20-ft wind times factor, computed apart from
    // the window with the editor's midflame rule (one decimal).
    double rosAtWindFactor(double factor)
    {
        FireSpread fs;
        SetCalculatorInputs(fs, editor->CurrentEntries());
        const double wind = fs.WindSpeedNA() * factor;
        const double adjust = fs.WindSpeed() / fs.WindSpeedNA();
        fs.setWindSpeed(std::round(wind * adjust * 10) / 10);
        fs.Compute();
        return fs.UnroundedRateOfSpread();
    }

    // As rosAtWindFactor, with the 1-h moisture at percent.
    double rosAtWindFactorAndMoisture(double factor, double percent)
    {
        FireSpread fs;
        SetCalculatorInputs(fs, editor->CurrentEntries());
        const double wind = fs.WindSpeedNA() * factor;
        const double adjust = fs.WindSpeed() / fs.WindSpeedNA();
        fs.setWindSpeed(std::round(wind * adjust * 10) / 10);
        fs.setFuelMoisture1Hour(percent / 100);
        fs.Compute();
        return fs.UnroundedRateOfSpread();
    }

private slots:
    void init()
    {
        lib = std::make_unique<TestLibrary>();
        {
            QSettings s = settings();
            s.remove(QStringLiteral("Uncertainty"));
        }
        prompts = std::make_unique<ScriptedPrompts>();
        owner = std::make_unique<FakeOwner>();
        editor = std::make_unique<frmEditModel>(owner.get(), prompts.get());
        editor->Open(lib->timberGrass, true);
        QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
    }

    void cleanup()
    {
        window = nullptr;
        editor.reset();
        QVERIFY2(prompts->Finished(), "a scripted message was not shown");
    }

    void windPresetSpreadsBetweenTheSlowAndFastWinds()
    {
        openTab(3);
        QCOMPARE(window->Tabs()->tabText(3), QStringLiteral("Uncertainty"));
        UncertaintyPanel *panel = window->Uncertainty();
        choosePreset(QStringLiteral("wind +/- 25 %"));
        waitUncertainty();
        // Only the 20-ft wind is ticked.
        const std::vector<VaryingInput> inputs = panel->VaryingInputs();
        QCOMPARE(inputs.size(), std::size_t(1));
        QCOMPARE(QString::fromUtf8(InputShortName(inputs[0].key).data()), QStringLiteral("wind"));
        // The rate of spread grows with the wind: every draw lies between the editor's model at
        // 0.75 and at 1.25 times its wind, and both ends are nearly reached.
        const OutputSummary &ros = panel->Result().rateOfSpread;
        QCOMPARE(int(ros.sorted.size()), 10000);
        const double slow = rosAtWindFactor(0.75), fast = rosAtWindFactor(1.25);
        QVERIFY(slow < fast);
        QVERIFY(ros.sorted.front() >= slow - 1e-9);
        QVERIFY(ros.sorted.back() <= fast + 1e-9);
        QVERIFY(ros.quantiles[0] < ros.quantiles[4]);
        // The histogram counts every draw; the summary names the no-spread chance.
        const std::vector<int> &counts = panel->Histogram(0)->Counts();
        QCOMPARE(std::accumulate(counts.begin(), counts.end(), 0), 10000);
        QVERIFY(panel->SummaryLabel()->text().contains(QStringLiteral("Chance of no spread: 0 %")));
        QVERIFY(panel->SummaryLabel()->text().contains(QStringLiteral("4 ft: ")));
        // The choice is kept in the settings.
        QCOMPARE(settings().value(QStringLiteral("Uncertainty/Inputs")).toString(), QStringLiteral("wind=pct:25"));
    }

    void bandsAroundTheEditedCurveFollowTheUncertainInputs()
    {
        openTab(3);
        choosePreset(QStringLiteral("wind +/- 25 %"));
        QTabBar *bar = window->Tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
        ResponseCurvesPanel *curves = window->Curves();
        // Sweep the 1-h moisture (the list's second entry) while the 20-ft wind varies.
        QComboBox *input = find<QComboBox>(curves, "cboSweepInput");
        input->setFocus();
        QTest::keyClick(input, Qt::Key_Home);
        QTest::keyClick(input, Qt::Key_Down);
        QCOMPARE(input->currentIndex(), 1);
        settle();
        QTRY_VERIFY_WITH_TIMEOUT(!curves->BandsComputing() && !curves->Bands().empty(), 20000);
        const std::vector<BandPoint> &bands = curves->Bands();
        QCOMPARE(int(bands.size()), ResponseCurvesPanel::kBandPoints);
        // The wind is uniform within +/- 25 % and the rate of spread grows with it: the band's
        // q-quantile is the model at 0.75 + 0.5 q times the wind (5 %: 0.775, 95 %: 1.225),
        // within a step of the midflame wind's 0.1 mi/h.
        for (const BandPoint *b : {&bands.front(), &bands[5]}) { // 1 and 8.375 %
            const double low = rosAtWindFactorAndMoisture(0.775, b->x), high = rosAtWindFactorAndMoisture(1.225, b->x);
            QVERIFY2(std::abs(b->Quantile(BandOutput::RateOfSpread, 0) - low) < 0.03 * low,
                     qPrintable(QStringLiteral("%1 %2 %3 %4")
                                    .arg(b->x)
                                    .arg(b->Quantile(BandOutput::RateOfSpread, 0))
                                    .arg(low)
                                    .arg(high)));
            QVERIFY(std::abs(b->Quantile(BandOutput::RateOfSpread, 3) - high) < 0.03 * high);
            QVERIFY(b->Quantile(BandOutput::RateOfSpread, 1) < b->Quantile(BandOutput::RateOfSpread, 2));
        }
        // Drawn around the edited curve of the rate of spread chart: the outer area's edges are
        // the 5 and 95 % of the first band point (English units shown).
        QAreaSeries *outer = curves->BandArea(0, 0);
        QVERIFY(outer->isVisible());
        QCOMPARE(outer->upperSeries()->count(), ResponseCurvesPanel::kBandPoints);
        QCOMPARE(outer->lowerSeries()->at(0).y(), bands.front().Quantile(BandOutput::RateOfSpread, 0));
        QCOMPARE(curves->BandArea(1, 1)->upperSeries()->at(0).y(), bands.front().Quantile(BandOutput::FlameLength, 2));
        QVERIFY(curves->LegendText().contains(QStringLiteral("5-95")));

        // Off with its check box: no band is drawn.
        QCheckBox *box = find<QCheckBox>(curves, "chkCurveBands");
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
        QVERIFY(!box->isChecked());
        settle();
        QVERIFY(curves->Bands().empty());
        QVERIFY(!outer->isVisible());
    }

    void previousResultDimmedUntilTheNewOneIsReady()
    {
        openTab(3);
        UncertaintyPanel *panel = window->Uncertainty();
        waitUncertainty();
        const double before = panel->Result().rateOfSpread.mean;
        QTest::mouseClick(editor->chkAuto(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(editor->chkAuto()->isChecked());
        typeInto(*editor, 13, QStringLiteral("2.5")); // a deeper bed
        window->RefreshNow();
        // Straight after the keystroke's refresh the old result is still shown, dimmed.
        QVERIFY(panel->IsStale());
        QVERIFY(panel->Histogram(0)->IsStale());
        QCOMPARE(panel->Result().rateOfSpread.mean, before);
        waitUncertainty();
        QVERIFY(panel->Result().rateOfSpread.mean != before);
        QVERIFY(!panel->Histogram(2)->IsStale());
    }

    void ownDistributionsTypedInTheTableAreKept()
    {
        openTab(3);
        UncertaintyPanel *panel = window->Uncertainty();
        choosePreset(QStringLiteral("moistures +/- 30 %"));
        waitUncertainty();
        auto *table = find<QTableWidget>(panel, "tblUncertainInputs");
        // Find the 1-h moisture's row and type a normal distribution into it.
        int row = -1;
        for (int r = 0; r < table->rowCount(); ++r)
            if (table->item(r, 0)->data(Qt::UserRole).toString() == QStringLiteral("moist-1h"))
                row = r;
        QVERIFY(row >= 0);
        typeDistribution(table, row, QStringLiteral("cv:0.1"));
        QCOMPARE(table->item(row, 1)->text(), QStringLiteral("cv:0.1"));
        QCOMPARE(find<QComboBox>(panel, "cboUncertaintyPreset")->currentIndex(), 0); // own choices
        waitUncertainty();
        QVERIFY(settings()
                    .value(QStringLiteral("Uncertainty/Inputs"))
                    .toString()
                    .startsWith(QStringLiteral("moist-1h=cv:0.1;")));
        // Unticking the herb moisture's row leaves it out.
        int herb = -1;
        for (int r = 0; r < table->rowCount(); ++r)
            if (table->item(r, 0)->data(Qt::UserRole).toString() == QStringLiteral("moist-herb"))
                herb = r;
        table->setFocus();
        table->setCurrentCell(herb, 0);
        QTest::keyClick(table, Qt::Key_Space);
        settle();
        QCOMPARE(table->item(herb, 0)->checkState(), Qt::Unchecked);
        QCOMPARE(panel->VaryingInputs().size(), std::size_t(4));

        // A text no one can read is marked and left out.
        typeDistribution(table, row, QStringLiteral("about ten"));
        QTRY_COMPARE(table->item(row, 1)->background().color(), QColor(0xff, 0xd0, 0xd0));
        QCOMPARE(panel->VaryingInputs().size(), std::size_t(3));

        // A new window starts with the choices kept.
        editor.reset();
        window = nullptr;
        editor = std::make_unique<frmEditModel>(owner.get(), prompts.get());
        editor->Open(lib->timberGrass, true);
        QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
        openTab(3);
        QCOMPARE(window->Uncertainty()->VaryingInputs().size(), std::size_t(3));
    }

    void thresholdsTypedAreBriefed()
    {
        openTab(3);
        UncertaintyPanel *panel = window->Uncertainty();
        choosePreset(QStringLiteral("all of these"));
        auto *thresholds = find<QLineEdit>(panel, "txtFlameThresholds");
        QCOMPARE(thresholds->text(), QStringLiteral("4, 8, 11"));
        thresholds->setFocus();
        thresholds->selectAll();
        QTest::keyClicks(thresholds, QStringLiteral("0, 100"));
        settle();
        waitUncertainty();
        // Every draw has a flame longer than 0 ft, none one of 100 ft.
        const UncertaintyResult &r = panel->Result();
        QCOMPARE(r.flameThresholds.size(), std::size_t(2));
        QCOMPARE(r.flameExceedance[0], 1.0);
        QCOMPARE(r.flameExceedance[1], 0.0);
        QVERIFY(panel->SummaryLabel()->text().contains(QStringLiteral("0 ft: 100 %")));
        QVERIFY(panel->SummaryLabel()->text().contains(QStringLiteral("100 ft: 0 %")));
    }

    void globalSensitivityBarsSortedByTotalIndex()
    {
        openTab(3);
        choosePreset(QStringLiteral("wind +/- 25 %"));
        waitUncertainty();
        QTabBar *bar = window->Tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(4).center());
        QCOMPARE(window->Tabs()->tabText(4), QStringLiteral("Global Sensitivity"));
        GlobalSensitivityPanel *panel = window->GlobalSensitivity();
        waitSobol();
        // The wind alone carries all the variance.
        QCOMPARE(panel->Bars(0)->Bars().size(), std::size_t(1));
        QVERIFY(std::abs(panel->Bars(0)->Bars()[0].first - 1) < 0.03);
        QVERIFY(std::abs(panel->Bars(0)->Bars()[0].total - 1) < 0.03);

        // Every preset together: one bar per input, the largest total index on top.
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(3).center());
        choosePreset(QStringLiteral("all of these"));
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(4).center());
        waitSobol();
        for (int k = 0; k < 2; ++k) {
            const std::vector<SobolBar> &bars = panel->Bars(k)->Bars();
            QCOMPARE(bars.size(), std::size_t(12));
            for (std::size_t i = 1; i < bars.size(); ++i)
                QVERIFY(bars[i - 1].total >= bars[i].total);
            for (const SobolBar &b : bars) {
                QVERIFY(b.firstLow <= b.first && b.first <= b.firstHigh);
                QVERIFY(b.totalLow <= b.total && b.total <= b.totalHigh);
            }
        }
        QVERIFY(panel->SumLabel()->text().contains(QStringLiteral("Rate of spread: sum of first-order indices")));
        // Fewer samples: chosen in the box and kept.
        QComboBox *samples = find<QComboBox>(panel, "cboSobolSamples");
        samples->setFocus();
        QTest::keyClick(samples, Qt::Key_Home);
        QCOMPARE(samples->currentText(), QStringLiteral("1024"));
        settle();
        waitSobol();
        QCOMPARE(panel->Result().evaluations, 1024 * 14);
        QCOMPARE(settings().value(QStringLiteral("Uncertainty/SobolSamples")).toInt(), 1024);
    }
};

QTEST_MAIN(tst_EditorUncertainty)
#include "tst_editor_uncertainty.moc"
