// The sensitivity and fire characteristics charts are refilled in place on every refresh, not
// rebuilt: after a change they must hold the new values and nothing left over from before,
// with the same series and bar sets as before (a re-creation on every keystroke would leak or
// flicker), and the round axes must still follow every change of the ends.
#include "support/AnalysisModels.h"

#include "analysis/AnalysisInputs.h"
#include "analysis/Sensitivity.h"
#include "analysis/ui/CharacteristicsPanel.h"
#include "analysis/ui/SensitivityPanel.h"
#include "units/UnitSetting.h"
#include "widgets/ChartReadout.h"
#include "widgets/ChartStyle.h"

#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHorizontalBarSeries>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QValueAxis>
#include <QtTest>

namespace {

AnalysisInputs inputsOf(const FireSpread &edited, int plots)
{
    AnalysisInputs in;
    in.edited = edited;
    in.editedId = QStringLiteral("E1");
    for (int i = 0; i < plots; ++i) {
        CharacteristicPoint p;
        p.label = QString::number(i + 1);
        p.role = QStringLiteral("Plot");
        p.heatPerUnitArea = 100 + 10 * i;
        p.rateOfSpread = 5 + i;
        in.plots.push_back(p);
    }
    return in;
}

// Percent change of the rate of spread with the 1-h load set to load, computed on its own.
double rosChangeAtLoad(FireSpread fs, double load)
{
    fs.Compute();
    const double base = fs.RateOfSpread();
    fs.setLoading1Hour(load);
    fs.Compute();
    return (fs.RateOfSpread() - base) / base * 100;
}

template <class T> QList<T *> seriesOf(QChart *chart)
{
    QList<T *> out;
    for (QAbstractSeries *s : chart->series())
        if (auto *t = qobject_cast<T *>(s); t && s->metaObject() == &T::staticMetaObject)
            out << t;
    return out;
}

} // namespace

class TestPanelRefresh : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        Units::UnitSetting::instance().setSystem(Units::System::English);
    }

    void roundAxisFollowsEveryChangeButIgnoresRepeats()
    {
        QValueAxis axis;
        SetRoundAxis(&axis, 0, 310);
        QSignalSpy ranges(&axis, &QValueAxis::rangeChanged);
        SetRoundAxis(&axis, 0, 310);
        QCOMPARE(ranges.count(), 0);

        // Only the lower end moves: the range and the anchor must follow.
        SetRoundAxis(&axis, -310, 310);
        QCOMPARE(axis.min(), -310.0);
        QCOMPARE(axis.max(), 310.0);
        QCOMPARE(axis.tickInterval(), 200.0);
        QCOMPARE(axis.tickAnchor(), -200.0);
        // Same ends, more intervals allowed: only the step changes (620 / 10 -> 100).
        SetRoundAxis(&axis, -310, 310, 10);
        QCOMPARE(axis.tickInterval(), 100.0);
        QCOMPARE(axis.tickAnchor(), -300.0);

        // From hundreds down to tenths and back: each end state is whole.
        SetRoundAxis(&axis, 0, 0.7);
        QCOMPARE(axis.max(), 0.7);
        QCOMPARE(axis.tickInterval(), 0.2);
        QCOMPARE(axis.labelFormat(), QStringLiteral("%.1f"));
        SetRoundAxis(&axis, 0, 5000);
        QCOMPARE(axis.max(), 5000.0);
        QCOMPARE(axis.tickInterval(), 1000.0);
        QCOMPARE(axis.labelFormat(), QStringLiteral("%.0f"));
    }

    void sensitivityBarsAreRefilledInPlace()
    {
        SensitivityPanel panel;
        panel.resize(900, 600);
        panel.Refresh(inputsOf(DynamicGrass(), 0));
        QBarSet *low = panel.LoweredBars(0);
        QBarSet *high = panel.RaisedBars(0);
        QList<QHorizontalBarSeries *> before = seriesOf<QHorizontalBarSeries>(panel.Chart(0)->chart());

        // Another model with other effects, and another percentage.
        panel.PercentBox()->setValue(20);
        const FireSpread worked = WorkedExample();
        panel.Refresh(inputsOf(worked, 0));

        for (int k = 0; k < 2; ++k) {
            const QList<QHorizontalBarSeries *> series = seriesOf<QHorizontalBarSeries>(panel.Chart(k)->chart());
            QCOMPARE(series.size(), 1);
            QCOMPARE(series[0]->count(), 2);
            QCOMPARE(series[0]->barSets()[0], panel.LoweredBars(k));
            QCOMPARE(series[0]->barSets()[1], panel.RaisedBars(k));
            QCOMPARE(panel.LoweredBars(k)->label(), QStringLiteral("-20 %"));
            QCOMPARE(panel.RaisedBars(k)->label(), QStringLiteral("+20 %"));
            QCOMPARE(panel.LoweredBars(k)->count(), 13);
            QCOMPARE(panel.RaisedBars(k)->count(), 13);
        }
        QCOMPARE(panel.LoweredBars(0), low);
        QCOMPARE(panel.RaisedBars(0), high);
        QCOMPARE(seriesOf<QHorizontalBarSeries>(panel.Chart(0)->chart()), before);

        // Every bar is the new model's, in the order of the categories (bottom up).
        const SensitivityResult expected = ComputeSensitivity(worked, 20);
        QStringList categories = panel.Categories();
        QCOMPARE(categories.size(), 13);
        for (int i = 0; i < 13; ++i) {
            const SensitivityRow &r = expected.rows[std::size_t(12 - i)];
            QCOMPARE(categories[i].remove(u'*'), QString::fromUtf8(FuelParameters()[std::size_t(r.parameter)].name));
            QCOMPARE(panel.LoweredBars(0)->at(i), r.rosChangeLow);
            QCOMPARE(panel.RaisedBars(0)->at(i), r.rosChangeHigh);
            QCOMPARE(panel.LoweredBars(1)->at(i), r.flameChangeLow);
            QCOMPARE(panel.RaisedBars(1)->at(i), r.flameChangeHigh);
        }
        // The 1-h load bar against the model computed apart: 0.74 t/ac raised by 20 % is 0.888.
        const int load = int(categories.indexOf(QStringLiteral("1-h load")));
        QVERIFY(load >= 0);
        QVERIFY(std::abs(panel.RaisedBars(0)->at(load) - rosChangeAtLoad(worked, 0.888)) < 1e-9);
        QVERIFY(std::abs(panel.LoweredBars(0)->at(load) - rosChangeAtLoad(worked, 0.592)) < 1e-9);

        // The bar under the mouse names its own end: lowered on the lowered set.
        ChartReadout *readout = panel.Chart(0)->findChild<ChartReadout *>();
        QVERIFY(readout);
        emit seriesOf<QHorizontalBarSeries>(panel.Chart(0)->chart())[0]->hovered(true, load, panel.LoweredBars(0));
        QVERIFY2(readout->Text().startsWith(QStringLiteral("1-h load -20 %: 0.592")), qPrintable(readout->Text()));
        emit seriesOf<QHorizontalBarSeries>(panel.Chart(0)->chart())[0]->hovered(true, load, panel.RaisedBars(0));
        QVERIFY2(readout->Text().startsWith(QStringLiteral("1-h load +20 %: 0.888")), qPrintable(readout->Text()));

        // The axis is symmetric about 0 and holds the longest bar.
        double extent = 0;
        for (int i = 0; i < 13; ++i)
            extent = std::max({extent, std::abs(panel.LoweredBars(0)->at(i)), std::abs(panel.RaisedBars(0)->at(i))});
        auto *axis = qobject_cast<QValueAxis *>(panel.Chart(0)->chart()->axes(Qt::Horizontal).first());
        QCOMPARE(axis->min(), -axis->max());
        QVERIFY(axis->max() >= extent);
    }

    void characteristicsPointsAreRefilledWithoutStaleOnes()
    {
        CharacteristicsPanel panel;
        panel.resize(900, 600);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QChart *chart = panel.Chart()->chart();
        FireSpread edited = WorkedExample();
        panel.Refresh(inputsOf(edited, 20));
        const QList<QLineSeries *> curves = seriesOf<QLineSeries>(chart);
        QCOMPARE(curves.size(), 4);
        const QList<QScatterSeries *> first = seriesOf<QScatterSeries>(chart);
        QCOMPARE(first.size(), 4 + 1 + 20); // curve names, edited, plots

        // Fewer plots and a faster model: the dropped plots go, the rest move.
        edited.setWindSpeed(8);
        panel.Refresh(inputsOf(edited, 3));
        const auto check = [&](int plots) {
            QCoreApplication::processEvents();
            QCOMPARE(seriesOf<QLineSeries>(chart), curves);
            const QList<QScatterSeries *> dots = seriesOf<QScatterSeries>(chart);
            QCOMPARE(dots.size(), 4 + 1 + plots);
            edited.Compute();
            int found = 0;
            for (QScatterSeries *s : dots) {
                QCOMPARE(s->count(), 1);
                if (!s->property("point").isValid())
                    continue;
                const QPointF p = s->at(0);
                if (s->name() == QStringLiteral("E1 (edited)")) {
                    QCOMPARE(p, QPointF(edited.HeatPerUnitArea(), edited.RateOfSpread()));
                } else {
                    // Plot n lies at heat 100 + 10 (n - 1), rate 5 + (n - 1).
                    const int n = s->name().toInt();
                    QVERIFY2(n >= 1 && n <= plots, qPrintable(s->name()));
                    QCOMPARE(p, QPointF(100 + 10 * (n - 1), 5 + (n - 1)));
                    QCOMPARE(s->pointLabelsFormat(), s->name());
                }
                ++found;
            }
            QCOMPARE(found, 1 + plots);
            // Only the edited model is in the legend.
            int inLegend = 0;
            for (QLegendMarker *m : chart->legend()->markers())
                if (m->isVisible()) {
                    ++inLegend;
                    QCOMPARE(m->label(), QStringLiteral("E1 (edited)"));
                }
            QCOMPARE(inLegend, 1);
            // Each curve keeps one fireline intensity: heat x rate of spread is the same all along.
            for (QLineSeries *line : curves) {
                QCOMPARE(line->count(), 150);
                const double k = line->at(0).x() * line->at(0).y();
                for (const QPointF &q : line->points())
                    QVERIFY(std::abs(q.x() * q.y() - k) < 1e-6 * k);
            }
            // The axes hold every point.
            for (QScatterSeries *s : dots) {
                QVERIFY(s->at(0).x() <= panel.AxisX()->max());
                QVERIFY(s->at(0).y() <= panel.AxisY()->max());
            }
        };
        check(3);
        // More plots again: new dots are made, the old ones reused.
        panel.Refresh(inputsOf(edited, 8));
        check(8);
        QCOMPARE(seriesOf<QScatterSeries>(chart).mid(0, 8), first.mid(0, 8));
    }
};

QTEST_MAIN(TestPanelRefresh)
#include "tst_panelrefresh.moc"
