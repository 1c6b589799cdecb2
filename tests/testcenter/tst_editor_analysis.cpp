// The analysis window opened from the editor, driven through its real controls.
#include "support/EditorFixture.h"

#include "analysis/Sweep.h"
#include "analysis/ui/CharacteristicsPanel.h"
#include "analysis/ui/ResponseCurvesPanel.h"
#include "analysis/ui/SensitivityPanel.h"
#include "analysis/ui/frmAnalysis.h"
#include "data/NumberText.h"
#include "engine/FireSpread.h"
#include "testcenter/PlotHistory.h"
#include "testcenter/TestComputation.h"
#include "testcenter/ui/EditorAnalysis.h"
#include "units/UnitSetting.h"
#include "units/Units.h"
#include "widgets/ChartExport.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QtTest>

class tst_EditorAnalysis : public QObject
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

    void openAnalysis()
    {
        QTest::mouseClick(find<QPushButton>(editor.get(), "cmdAnalysis"), Qt::LeftButton);
        window = EditorAnalysisWindow(editor.get());
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }

    // Lets the window's coalesced recomputation run.
    static void settle()
    {
        QTest::qWait(1);
        QCoreApplication::processEvents();
    }

    // The rate of spread of the edited model, computed apart from the window, with one input
    // changed the way the curve changes it.
    double singleRos(double slope)
    {
        FireSpread fs;
        SetCalculatorInputs(fs, editor->CurrentEntries());
        fs.setSlope(slope);
        fs.Compute();
        return fs.RateOfSpread();
    }

    void choose(QComboBox *box, int index)
    {
        box->setFocus();
        box->setCurrentIndex(index);
    }

private slots:
    void init()
    {
        lib = std::make_unique<TestLibrary>();
        ResetChartState();
        prompts = std::make_unique<ScriptedPrompts>();
        owner = std::make_unique<FakeOwner>();
        editor = std::make_unique<frmEditModel>(owner.get(), prompts.get());
        editor->Open(lib->timberGrass, true);
        QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
    }

    void cleanup()
    {
        Units::UnitSetting::instance().setSystem(Units::System::English);
        window = nullptr;
        editor.reset();
        QVERIFY2(prompts->Finished(), "a scripted message was not shown");
    }

    void curvesAreTheEditorsComputationAcrossTheRange()
    {
        openAnalysis();
        QCOMPARE(window->Tabs()->tabText(0), QStringLiteral("Response Curves"));
        ResponseCurvesPanel *curves = window->Curves();
        choose(find<QComboBox>(curves, "cboSweepInput"), 4); // slope
        settle();
        QCOMPARE(curves->Input(), SweepInput::Slope);
        QCOMPARE(find<QDoubleSpinBox>(curves, "spnSweepTo")->value(), 100.0);
        // The edited model and the reference model chosen in the editor.
        QCOMPARE(curves->Curves().size(), std::size_t(2));
        const auto &edited = curves->Curves()[0].points;
        QCOMPARE(int(edited.size()), ResponseCurvesPanel::kPoints);
        for (std::size_t i : {std::size_t(0), std::size_t(57), edited.size() - 1})
            QCOMPARE(edited[i].rateOfSpread, singleRos(edited[i].x));
        // At the editor's own slope (0) the curve gives what the result box shows.
        editor->cmdComp()->click();
        QCOMPARE(FormatPattern(edited[0].rateOfSpread, u"####0.0"), editor->txtROS()->text());
        QCOMPARE(curves->Curves()[1].modelId, editor->cboFM()->currentText().section(QLatin1String(" - "), 0, 0));
        // Closing the editor takes its analysis window along.
        editor->hide();
        QVERIFY(!window->isVisible());
    }

    void curvesFollowTheEntriesOnlyUnderAutoCompute()
    {
        openAnalysis();
        ResponseCurvesPanel *curves = window->Curves();
        QVERIFY(!editor->chkAuto()->isChecked());
        const double before = curves->Curves()[0].points[100].rateOfSpread;
        typeInto(*editor, 2, QStringLiteral("4")); // 1-h load 2 -> 4 t/ac
        settle();
        QCOMPARE(curves->Curves()[0].points[100].rateOfSpread, before);
        editor->cmdComp()->click();
        settle();
        const double afterCompute = curves->Curves()[0].points[100].rateOfSpread;
        QVERIFY(afterCompute != before);

        QTest::mouseClick(editor->chkAuto(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(editor->chkAuto()->isChecked());
        typeInto(*editor, 13, QStringLiteral("2.5")); // deeper bed
        settle();
        QVERIFY(curves->Curves()[0].points[100].rateOfSpread != afterCompute);
        // The new entries, computed apart from the window, at the curve's first wind (calm).
        QCOMPARE(curves->Curves()[0].points[0].rateOfSpread, [&] {
            FireSpread fs;
            SetCalculatorInputs(fs, editor->CurrentEntries());
            fs.setWindSpeed(0);
            fs.Compute();
            return fs.RateOfSpread();
        }());
        // The sensitivity follows as well: the depth is now 2.5 ft.
        const auto &rows = window->Sensitivity()->Result().rows;
        const auto depth =
            std::find_if(rows.begin(), rows.end(), [](const SensitivityRow &r) { return r.parameter == 11; });
        QCOMPARE(depth->value, 2.5);
    }

    void uptoFiveLibraryModelsCanBeAdded()
    {
        openAnalysis();
        ResponseCurvesPanel *curves = window->Curves();
        auto *pick = find<QComboBox>(curves, "cboCurveLibraryModel");
        auto *add = find<QPushButton>(curves, "cmdAddCurveModel");
        QCOMPARE(pick->count(), 4); // three grass models and TL1
        for (int i = 0; i < 4; ++i) {
            choose(pick, i);
            QTest::mouseClick(add, Qt::LeftButton);
        }
        choose(pick, 0);
        QTest::mouseClick(add, Qt::LeftButton); // the same model twice is one curve
        settle();
        QCOMPARE(find<QListWidget>(curves, "lstCurveModels")->count(), 4);
        QCOMPARE(curves->Curves().size(), std::size_t(6));
        QCOMPARE(curves->Curves()[5].modelId, QStringLiteral("TL1"));
        QCOMPARE(curves->Curves()[5].setName, QStringLiteral("Timber"));
        // GR2 from the library computes with its own (dynamic) herb type.
        QCOMPARE(curves->Curves()[4].modelId, QStringLiteral("GR2"));

        // Without the reference model.
        QTest::mouseClick(find<QCheckBox>(curves, "chkCurveReference"), Qt::LeftButton, {}, QPoint(5, 5));
        settle();
        QCOMPARE(curves->Curves().size(), std::size_t(5));
        auto *list = find<QListWidget>(curves, "lstCurveModels");
        list->setCurrentRow(0);
        QTest::mouseClick(find<QPushButton>(curves, "cmdRemoveCurveModel"), Qt::LeftButton);
        settle();
        QCOMPARE(curves->Curves().size(), std::size_t(4));
        QVERIFY(add->isEnabled());

        // Each chart draws exactly the curves left, each line with its own model's values and
        // look: the reference's dashes went with it.
        for (int k = 0; k < 4; ++k) {
            QList<QLineSeries *> lines;
            for (QAbstractSeries *s : curves->Chart(k)->chart()->series())
                if (auto *line = qobject_cast<QLineSeries *>(s))
                    lines << line;
            QCOMPARE(lines.size(), 4);
            for (int c = 0; c < 4; ++c) {
                const SweepPoint &p = curves->Curves()[std::size_t(c)].points[150];
                const double values[] = {p.rateOfSpread, p.flameLength, p.fireLineIntensity, p.size};
                QCOMPARE(lines[c]->count(), ResponseCurvesPanel::kPoints);
                QCOMPARE(lines[c]->at(150).y(), values[k]);
                QCOMPARE(lines[c]->pen().style(), Qt::SolidLine);
                QVERIFY2(lines[c]->name().startsWith(curves->Curves()[std::size_t(c)].modelId),
                         qPrintable(lines[c]->name()));
            }
        }
    }

    void sensitivityTakesTheChosenPercentage()
    {
        openAnalysis();
        window->Tabs()->setCurrentIndex(1);
        SensitivityPanel *panel = window->Sensitivity();
        QCOMPARE(panel->Result().percent, 10.0);
        auto *percent = find<QSpinBox>(panel, "spnSensitivityPercent");
        percent->selectAll();
        QTest::keyClicks(percent, QStringLiteral("25"));
        QTest::keyClick(percent, Qt::Key_Return);
        settle();
        QCOMPARE(panel->Result().percent, 25.0);
        QCOMPARE(panel->Categories().size(), 13);
        // 1-h load 2 t/ac lowered by 25 % is 1.5 t/ac.
        const auto &rows = panel->Result().rows;
        const auto load =
            std::find_if(rows.begin(), rows.end(), [](const SensitivityRow &r) { return r.parameter == 0; });
        QCOMPARE(load->low, 1.5);
        // The largest effect is the top bar: the last category.
        QCOMPARE(panel->Categories().last().remove(u'*'),
                 QString::fromUtf8(FuelParameters()[std::size_t(rows.front().parameter)].name));
    }

    void plotsAppearOnTheFireCharacteristicsChart()
    {
        openAnalysis();
        find<QPushButton>(editor.get(), "cmdPlot")->click();
        typeInto(*editor, 2, QStringLiteral("3"));
        find<QPushButton>(editor.get(), "cmdPlot")->click();
        settle();
        const auto &points = window->Characteristics()->Points();
        QCOMPARE(points.size(), std::size_t(4)); // edited, reference, plots 1 and 2
        QCOMPARE(points[2].label, QStringLiteral("1"));
        QCOMPARE(points[3].label, QStringLiteral("2"));
        QCOMPARE(points[3].rateOfSpread, gChartState.CurrentPlotHistory[1]->RateOfSpread());
        QCOMPARE(points[0].rateOfSpread, ParseLeadingNumber(editor->txtROS()->text()));
        // The axes hold every point.
        for (const CharacteristicPoint &p : points) {
            QVERIFY(p.heatPerUnitArea <= window->Characteristics()->AxisX()->max());
            QVERIFY(p.rateOfSpread <= window->Characteristics()->AxisY()->max());
        }
    }

    void exportWritesTheCurvesWithUnitsAndModelIds()
    {
        openAnalysis();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("curves.csv"));
        prompts->AnswerFiles([&](const IPrompts::FileChoice &) { return path; });
        QTest::mouseClick(find<QPushButton>(window->Curves(), "cmdExportCurves"), Qt::LeftButton);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = f.readAll().split('\n');
        QVERIFY(lines[0].startsWith("Set,ID,20-ft wind speed (mi/h),Rate of spread (ch/h),Flame length (ft)"));
        QVERIFY(lines[1].startsWith("Grass Models,2,0,"));
        QCOMPARE(lines.size(), 2 * ResponseCurvesPanel::kPoints + 2); // header, 2 curves, final line end
    }

    // The curves exported as a picture carry the legend: every model's name is in the SVG's
    // text, and the PNG is taller than the four charts alone.
    void exportedPicturesCarryTheLegendAndTheModelNames()
    {
        openAnalysis();
        ResponseCurvesPanel *curves = window->Curves();
        auto *pick = find<QComboBox>(curves, "cboCurveLibraryModel");
        pick->setCurrentIndex(2); // GR2
        find<QPushButton>(curves, "cmdAddCurveModel")->click();
        settle();
        QCOMPARE(curves->Curves().size(), std::size_t(3));
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("curves.svg"));
        prompts->AnswerFiles([&](const IPrompts::FileChoice &) { return path; });
        QTest::mouseClick(find<QPushButton>(curves, "cmdExportCurves"), Qt::LeftButton);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString svg = QString::fromUtf8(f.readAll());
        for (const QString &name : {QStringLiteral("2 (edited)"), QStringLiteral("Ref: 1"),
                                    QStringLiteral("GR2 (Grass Models)"), QStringLiteral("current environment")}) {
            QString spaced = name;
            // The legend keeps a name on one line with non-breaking spaces.
            QVERIFY2(svg.contains(name) || svg.contains(spaced.replace(QLatin1Char(' '), QChar(0xa0))) ||
                         svg.contains(QString(name).replace(QLatin1Char(' '), QStringLiteral("&#xa0;"))),
                     qPrintable(name));
        }
        path = dir.filePath(QStringLiteral("curves.png"));
        QTest::mouseClick(find<QPushButton>(curves, "cmdExportCurves"), Qt::LeftButton);
        const QImage picture(path);
        const QWidget *chart = find<QWidget>(curves, "chtCurve_2");
        QVERIFY(picture.height() > chart->mapTo(curves, QPoint(0, chart->height())).y() -
                    find<QWidget>(curves, "chtCurve_0")->mapTo(curves, QPoint(0, 0)).y());
        QVERIFY(find<QWidget>(curves, "fraCurveCharts")->isAncestorOf(find<QWidget>(curves, "lblCurveLegend")));
    }

    // The sensitivity bars and the fire characteristics chart, exported or copied as pictures,
    // carry their legend and name the models they show.
    void sensitivityAndCharacteristicsPicturesNameTheirModels()
    {
        openAnalysis();
        QTemporaryDir dir;
        QString path;
        prompts->AnswerFiles([&](const IPrompts::FileChoice &) { return path; });
        const auto svgOf = [&](QWidget *panel, const char *button, const QString &name) {
            path = dir.filePath(name);
            QTest::mouseClick(find<QPushButton>(panel, button), Qt::LeftButton);
            QFile f(path);
            return f.open(QIODevice::ReadOnly)
                ? QString::fromUtf8(f.readAll()).replace(QStringLiteral("&#xa0;"), QStringLiteral(" "))
                : QString();
        };

        window->Tabs()->setCurrentWidget(window->Sensitivity());
        settle();
        SensitivityPanel *sensitivity = window->Sensitivity();
        const QString bars = svgOf(sensitivity, "cmdExportSensitivity", QStringLiteral("sensitivity.svg"));
        for (const QString &text : {QStringLiteral("2 (edited), set Grass Models"), QStringLiteral("Base:"),
                                    QStringLiteral("-10 %"), QStringLiteral("+10 %")})
            QVERIFY2(bars.contains(text), qPrintable(text));
        // In metric the base rate of spread reads as the editor's result box does, also at a
        // wind where the rate rounded to 0.1 ch/h and then turned into m/min reads otherwise.
        for (int wind = 1; wind <= 40; ++wind) {
            typeInto(*editor, 25, QString::number(wind));
            FireSpread fs;
            SetCalculatorInputs(fs, editor->CurrentEntries());
            fs.Compute();
            if (Units::FormatResult(Units::Quantity::RateOfSpread, Units::System::Metric, fs.RateOfSpread()) !=
                Units::FormatResult(Units::Quantity::RateOfSpread, Units::System::Metric, fs.UnroundedRateOfSpread()))
                break;
        }
        editor->cboUnits()->setCurrentIndex(1);
        emit editor->cboUnits()->activated(1);
        settle();
        window->RefreshNow();
        editor->cmdComp()->click();
        const QString note = find<QLabel>(sensitivity, "lblSensitivityNote")->text();
        const QString metricRos = editor->txtROS()->text().trimmed();
        editor->cboUnits()->setCurrentIndex(0);
        emit editor->cboUnits()->activated(0);
        settle();
        QVERIFY2(note.contains(QStringLiteral("Base: ") + metricRos + QStringLiteral(" m/min")),
                 qPrintable(note + QStringLiteral(" / ") + metricRos));
        window->RefreshNow();
        // The copy holds the same picture: the charts and the line naming the model below them.
        QTest::mouseClick(find<QPushButton>(sensitivity, "cmdCopySensitivity"), Qt::LeftButton);
        const QImage copied = QApplication::clipboard()->image();
        const QWidget *chart = find<QWidget>(sensitivity, "chtSensitivity_0");
        QVERIFY2(copied.height() > chart->height() + find<QWidget>(sensitivity, "lblSensitivityNote")->height() / 2,
                 qPrintable(QStringLiteral("%1 against %2").arg(copied.height()).arg(chart->height())));

        window->Tabs()->setCurrentWidget(window->Characteristics());
        settle();
        const QString points =
            svgOf(window->Characteristics(), "cmdExportCharacteristics", QStringLiteral("characteristics.svg"));
        for (const QString &text :
             {QStringLiteral("2 (edited)"), QStringLiteral("Ref: 1"), QStringLiteral("Fire characteristics")})
            QVERIFY2(points.contains(text), qPrintable(text));
    }

    // With VARROW_SCREENSHOT_DIR set, saves the three tabs for the README.
    void screenshot()
    {
        const QString dir = qEnvironmentVariable("VARROW_SCREENSHOT_DIR");
        if (dir.isEmpty())
            QSKIP("set VARROW_SCREENSHOT_DIR to save the pictures");
        QTest::mouseClick(editor->chkAuto(), Qt::LeftButton, {}, QPoint(5, 5));
        auto *plot = find<QPushButton>(editor.get(), "cmdPlot");
        for (int i = 0; i < 6; ++i) {
            editor->SetEntryText(2, FormatGeneral(1.0 + 0.5 * i));
            editor->SetEntryText(25, QString::number(6 + 2 * i));
            plot->click();
        }
        editor->SetEntryText(2, QStringLiteral("2"));
        editor->SetEntryText(25, QStringLiteral("10"));
        openAnalysis();
        window->resize(1280, 800);
        ResponseCurvesPanel *curves = window->Curves();
        auto *pick = find<QComboBox>(curves, "cboCurveLibraryModel");
        for (int i : {2, 3}) {
            pick->setCurrentIndex(i);
            find<QPushButton>(curves, "cmdAddCurveModel")->click();
        }
        settle();
        // The bands of the Uncertainty tab's inputs around the edited curve.
        QTRY_VERIFY_WITH_TIMEOUT(!curves->BandsComputing() && !curves->Bands().empty(), 20000);
        QTest::qWait(100);
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(window->grab().save(QDir(dir).filePath("analysis-curves.png")));
        window->Tabs()->setCurrentIndex(1);
        QTest::qWait(100);
        QVERIFY(window->grab().save(QDir(dir).filePath("analysis-sensitivity.png")));
        window->Tabs()->setCurrentIndex(2);
        QTest::qWait(100);
        QVERIFY(window->grab().save(QDir(dir).filePath("analysis-characteristics.png")));
    }
};

QTEST_MAIN(tst_EditorAnalysis)
#include "tst_editor_analysis.moc"
