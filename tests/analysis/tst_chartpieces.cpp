// The shared chart pieces on real Qt Charts objects: round axes, the readout under the mouse,
// export and copy.
#include "support/ScriptedPrompts.h"
#include "widgets/ChartExport.h"
#include "widgets/ChartReadout.h"
#include "widgets/ChartStyle.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QFile>
#include <QLineSeries>
#include <QMimeData>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QtTest>

namespace {

struct LineChart
{
    QChart *chart = new QChart;
    QChartView view{chart}; // owns the chart (a chart set later would leave the view's own one behind)
    QLineSeries *series = new QLineSeries;
    QValueAxis *x = new QValueAxis;
    QValueAxis *y = new QValueAxis;

    LineChart()
    {
        series->setName(QStringLiteral("FM1"));
        series->append({{0, 0}, {10, 50}, {20, 100}});
        chart->addSeries(series);
        chart->addAxis(x, Qt::AlignBottom);
        chart->addAxis(y, Qt::AlignLeft);
        series->attachAxis(x);
        series->attachAxis(y);
        SetAxisTitle(x, QStringLiteral("20-ft wind"), QStringLiteral("mi/h"));
        SetAxisTitle(y, QStringLiteral("Rate of spread"), QStringLiteral("ch/h"));
        SetRoundAxis(x, 0, 20);
        SetRoundAxisFromZero(y, 100);
        ApplyChartStyle(chart);
        view.resize(500, 360);
        view.show();
    }

    QPoint viewPosition(QPointF value)
    {
        return view.mapFromScene(chart->mapToScene(chart->mapToPosition(value, series)));
    }
};

CsvTable sampleTable()
{
    CsvTable t;
    t.header = {QStringLiteral("Model"), QStringLiteral("20-ft wind (mi/h)"), QStringLiteral("Rate of spread (ch/h)")};
    t.rows = {{QStringLiteral("FM1"), QStringLiteral("10"), QStringLiteral("50")}};
    return t;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestChartPieces : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void axesTickAtRoundValuesWithinTheirEnds()
    {
        QValueAxis axis;
        SetRoundAxis(&axis, 0, 310);
        QCOMPARE(axis.max(), 310.0);
        QCOMPARE(axis.tickType(), QValueAxis::TicksDynamic);
        QCOMPARE(axis.tickInterval(), 100.0);
        QCOMPARE(axis.tickAnchor(), 0.0);
        QCOMPARE(axis.labelFormat(), QStringLiteral("%.0f"));

        // 0.7 in at most 6 intervals: 0.1 would need 7, so 0.2, anchored on 0.4 (not on 0.3).
        SetRoundAxis(&axis, 0.3, 1.0);
        QCOMPARE(axis.tickInterval(), 0.2);
        QCOMPARE(axis.tickAnchor(), 0.4);
        QCOMPARE(axis.labelFormat(), QStringLiteral("%.1f"));

        QCOMPARE(SetRoundAxisFromZero(&axis, 93.9), 100.0);
        QCOMPARE(axis.min(), 0.0);
        QCOMPARE(axis.tickInterval(), 20.0);
        // Nothing to show yet: a usable 0 to 1 axis, never 0 to 0.
        QCOMPARE(SetRoundAxisFromZero(&axis, 0), 1.0);
        QCOMPARE(axis.max(), 1.0);
    }

    void theMouseShowsTheNearestPointWithUnits()
    {
        LineChart c;
        QVERIFY(QTest::qWaitForWindowExposed(&c.view));
        ChartReadout readout(&c.view);
        QSignalSpy spy(&readout, &ChartReadout::ReadoutChanged);

        QTest::mouseMove(c.view.viewport(), c.viewPosition({10, 50}) + QPoint(3, -2));
        QCOMPARE(readout.Text(), QStringLiteral("FM1\n20-ft wind (mi/h): 10\nRate of spread (ch/h): 50"));
        QCOMPARE(spy.count(), 1);

        // The nearest point wins, not the first one within reach.
        QVERIFY(readout.ShowNearest(c.viewPosition({20, 100}) + QPoint(-4, 4)));
        QVERIFY(readout.Text().contains(QStringLiteral("Rate of spread (ch/h): 100")));

        // Far from every point (the middle between two points, well off the line): hidden.
        const QPoint between = (c.viewPosition({0, 0}) + c.viewPosition({20, 100})) / 2 + QPoint(0, -80);
        QVERIFY(!readout.ShowNearest(between));
        QCOMPARE(readout.Text(), QString());

        readout.SetPointFormatter([](QXYSeries *s, int i) { return s->name() + QString::number(i); });
        QVERIFY(readout.ShowNearest(c.viewPosition({0, 0})));
        QCOMPARE(readout.Text(), QStringLiteral("FM10"));
    }

    void exportWritesEachKindByItsExtension()
    {
        LineChart c;
        QVERIFY(QTest::qWaitForWindowExposed(&c.view));
        QTemporaryDir dir;
        ChartExporter exporter(&c.view, &c.view, sampleTable, QStringLiteral("wind"));
        ScriptedPrompts prompts;
        exporter.SetPrompts(&prompts);

        QVERIFY(exporter.ExportTo(dir.filePath(QStringLiteral("wind.csv"))));
        QCOMPARE(fileBytes(dir.filePath(QStringLiteral("wind.csv"))), sampleTable().ToCsv().toUtf8());
        QVERIFY(exporter.ExportTo(dir.filePath(QStringLiteral("wind.PNG"))));
        QVERIFY(fileBytes(dir.filePath(QStringLiteral("wind.PNG"))).startsWith("\x89PNG"));
        QVERIFY(exporter.ExportTo(dir.filePath(QStringLiteral("wind.svg"))));
        const QByteArray svg = fileBytes(dir.filePath(QStringLiteral("wind.svg")));
        QVERIFY(svg.contains("<svg"));
        QVERIFY(svg.contains("Rate of spread (ch/h)")); // the axis title is text, not pixels
        // A name without a known extension is a table.
        QVERIFY(exporter.ExportTo(dir.filePath(QStringLiteral("wind"))));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("wind.csv"))));

        // The dialog: the suggested name carries the panel's base name; cancelling writes nothing.
        prompts.AnswerFiles(QString());
        QVERIFY(!exporter.ExportWithDialog());
        QCOMPARE(prompts.FileChoices().size(), std::size_t(1));
        QVERIFY(prompts.FileChoices().front().save);
        QVERIFY(prompts.FileChoices().front().suggested.endsWith(QStringLiteral("wind.csv")));
        QVERIFY(prompts.FileChoices().front().filter.contains(QStringLiteral("*.svg")));
        QVERIFY(prompts.Log().isEmpty());

        // A folder that does not exist: the analyst is told, with the file's name.
        prompts.ExpectMessage({}, QStringLiteral("Export"));
        QVERIFY(!exporter.ExportTo(dir.filePath(QStringLiteral("gone/wind.png"))));
        QVERIFY(prompts.Finished());
        QVERIFY(prompts.Log().last().contains(QStringLiteral("wind.png")));
    }

    void copyPutsPictureTableAndCsvOnTheClipboard()
    {
        LineChart c;
        QVERIFY(QTest::qWaitForWindowExposed(&c.view));
        CopyChartToClipboard(&c.view, sampleTable());
        const QMimeData *mime = QApplication::clipboard()->mimeData();
        QVERIFY(mime);
        QVERIFY(mime->hasImage());
        QCOMPARE(mime->text(), QStringLiteral("Model\t20-ft wind (mi/h)\tRate of spread (ch/h)\nFM1\t10\t50\n"));
        QCOMPARE(mime->data(QStringLiteral("text/csv")), sampleTable().ToCsv().toUtf8());
    }
};

QTEST_MAIN(TestChartPieces)
#include "tst_chartpieces.moc"
