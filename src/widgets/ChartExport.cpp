#include "widgets/ChartExport.h"

#include "data/WholeFileWrite.h"
#include "widgets/QtPrompts.h"

#include <QApplication>
#include <QBuffer>
#include <QChartView>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QStandardPaths>
#include <QSvgGenerator>

namespace {

QPixmap chartPixmap(QWidget *view)
{
    // The readout box belongs to the moment, not to the picture.
    return view->grab();
}

} // namespace

bool SaveChartPng(QWidget *view, const QString &path, QString *error)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!chartPixmap(view).save(&buffer, "PNG")) {
        if (error)
            *error = QStringLiteral("Could not draw the chart as PNG.");
        return false;
    }
    return SaveFileWhole(path, bytes, error);
}

bool SaveChartSvg(QWidget *view, const QString &path, QString *error)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(view->size());
    svg.setViewBox(QRect(QPoint(0, 0), view->size()));
    auto *chartView = qobject_cast<QChartView *>(view);
    svg.setTitle(chartView && !chartView->chart()->title().isEmpty() ? chartView->chart()->title()
                                                                     : QFileInfo(path).completeBaseName());
    {
        QPainter painter(&svg);
        view->render(&painter);
    }
    return SaveFileWhole(path, bytes, error);
}

void CopyChartToClipboard(QWidget *view, const CsvTable &table)
{
    auto *mime = new QMimeData;
    if (view)
        mime->setImageData(chartPixmap(view).toImage());
    mime->setText(table.ToTabText());
    mime->setData(QStringLiteral("text/csv"), table.ToCsv().toUtf8());
    QApplication::clipboard()->setMimeData(mime);
}

ChartExporter::ChartExporter(QWidget *parent, QWidget *view, std::function<CsvTable()> table, QString baseName)
    : QObject(parent), m_parent(parent), m_view(view), m_table(std::move(table)), m_baseName(std::move(baseName))
{ }

ChartExporter::~ChartExporter() = default;

IPrompts &ChartExporter::prompts()
{
    if (m_prompts)
        return *m_prompts;
    if (!m_ownPrompts)
        m_ownPrompts = std::make_unique<QtPrompts>(m_parent);
    return *m_ownPrompts;
}

bool ChartExporter::ExportTo(const QString &chosen)
{
    QString path = chosen;
    const QString suffix = QFileInfo(path).suffix().toLower();
    QString error;
    bool ok = false;
    if (m_view && suffix == QLatin1String("png")) {
        ok = SaveChartPng(m_view, path, &error);
    } else if (m_view && suffix == QLatin1String("svg")) {
        ok = SaveChartSvg(m_view, path, &error);
    } else {
        if (suffix != QLatin1String("csv"))
            path += QStringLiteral(".csv");
        ok = SaveTextFile(path, m_table().ToCsv(), &error);
    }
    if (ok)
        m_lastFolder = QFileInfo(path).absolutePath();
    else
        prompts().Message(error, QStringLiteral("Export"), IPrompts::Icon::Exclamation);
    return ok;
}

bool ChartExporter::ExportWithDialog()
{
    QString folder = m_lastFolder;
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString filters = m_view ? QStringLiteral("CSV table (*.csv);;PNG picture (*.png);;SVG drawing (*.svg)")
                                   : QStringLiteral("CSV table (*.csv)");
    const QString path = prompts().ChooseSaveFile(QStringLiteral("Export"), filters,
                                                  QDir(folder).filePath(m_baseName + QStringLiteral(".csv")));
    if (path.isEmpty())
        return false;
    return ExportTo(path);
}

void ChartExporter::Copy()
{
    CopyChartToClipboard(m_view, m_table());
}
