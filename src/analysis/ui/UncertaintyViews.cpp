#include "analysis/ui/UncertaintyViews.h"

#include "data/CsvTable.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

const QColor kBarColour(0x5d, 0x8a, 0xc7);
const QColor kTotalColour(0xd9, 0x6c, 0x2f);
const QColor kMeanColour(0xb0, 0x20, 0x20);
constexpr int kBins = 30;

QColor dimmed(QColor c, bool stale)
{
    if (stale)
        c.setAlpha(70);
    return c;
}

} // namespace

HistogramView::HistogramView(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void HistogramView::SetData(const QString &title, const QString &unit, const std::vector<double> &sorted,
                            const std::array<double, 5> &quantiles, double mean)
{
    m_title = title;
    m_unit = unit;
    m_quantiles = quantiles;
    m_mean = mean;
    m_counts.assign(kBins, 0);
    if (sorted.empty()) {
        m_counts.clear();
    } else {
        m_low = sorted.front();
        m_high = sorted.back();
        if (!(m_high > m_low))
            m_high = m_low + (m_low == 0 ? 1 : std::abs(m_low) * 0.01);
        for (double v : sorted) {
            const int bin = std::clamp(int((v - m_low) / (m_high - m_low) * kBins), 0, kBins - 1);
            ++m_counts[std::size_t(bin)];
        }
    }
    update();
}

void HistogramView::SetStale(bool stale)
{
    if (m_stale != stale) {
        m_stale = stale;
        update();
    }
}

void HistogramView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().base());
    const QFontMetrics fm = fontMetrics();
    const int line = fm.height();
    p.setPen(dimmed(palette().text().color(), m_stale));
    p.drawText(QRect(0, 2, width(), line), Qt::AlignHCenter, TitleWithUnit(m_title, m_unit));
    // Room above the bars for the title and two rows of quantile labels.
    const QRect plot(10, 3 * line + 6, width() - 20, height() - 5 * line - 18);
    if (m_counts.empty() || plot.width() < 20 || plot.height() < 20) {
        p.drawText(plot, Qt::AlignCenter, QStringLiteral("No computed draws"));
        return;
    }
    const int most = *std::max_element(m_counts.begin(), m_counts.end());
    const double binWidth = double(plot.width()) / kBins;
    for (int b = 0; b < kBins; ++b) {
        const double h = most > 0 ? double(m_counts[std::size_t(b)]) / most * plot.height() : 0;
        p.fillRect(QRectF(plot.left() + b * binWidth + 0.5, plot.bottom() - h, binWidth - 1, h),
                   dimmed(kBarColour, m_stale));
    }
    const auto xOf = [&](double v) { return plot.left() + (v - m_low) / (m_high - m_low) * plot.width(); };
    // Quantiles dashed, the median heavier, the mean solid red.
    const char *labels[] = {"5", "25", "50", "75", "95"};
    for (std::size_t k = 0; k < m_quantiles.size(); ++k) {
        QPen pen(dimmed(QColor(0x30, 0x30, 0x30), m_stale), k == 2 ? 2 : 1, Qt::DashLine);
        p.setPen(pen);
        const double x = xOf(m_quantiles[k]);
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        p.drawText(
            QPointF(x - fm.horizontalAdvance(QLatin1String(labels[k])) / 2.0, plot.top() - 4 - (k % 2 == 0 ? line : 0)),
            QLatin1String(labels[k]));
    }
    p.setPen(QPen(dimmed(kMeanColour, m_stale), 2));
    const double xm = xOf(m_mean);
    p.drawLine(QPointF(xm, plot.top()), QPointF(xm, plot.bottom()));
    p.setPen(dimmed(palette().text().color(), m_stale));
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    p.drawText(QRect(plot.left(), plot.bottom() + 2, plot.width(), line), Qt::AlignLeft, TableNumber(m_low, 3));
    p.drawText(QRect(plot.left(), plot.bottom() + 2, plot.width(), line), Qt::AlignRight, TableNumber(m_high, 3));
    const QString summary = QStringLiteral("5 %: %1   median: %2   95 %: %3   mean: %4")
                                .arg(TableNumber(m_quantiles[0], 2), TableNumber(m_quantiles[2], 2),
                                     TableNumber(m_quantiles[4], 2), TableNumber(m_mean, 2));
    p.drawText(QRect(0, plot.bottom() + line + 4, width(), line), Qt::AlignHCenter, summary);
}

SobolBarsView::SobolBarsView(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void SobolBarsView::SetData(const QString &title, const std::vector<SobolBar> &bars)
{
    m_title = title;
    m_bars = bars;
    update();
}

void SobolBarsView::SetStale(bool stale)
{
    if (m_stale != stale) {
        m_stale = stale;
        update();
    }
}

void SobolBarsView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().base());
    const QFontMetrics fm = fontMetrics();
    const int line = fm.height();
    const QColor text = dimmed(palette().text().color(), m_stale);
    p.setPen(text);
    p.drawText(QRect(0, 2, width(), line), Qt::AlignHCenter, m_title);
    int nameWidth = 0;
    for (const SobolBar &b : m_bars)
        nameWidth = std::max(nameWidth, fm.horizontalAdvance(b.name));
    const QRect plot(nameWidth + 16, line + 8, width() - nameWidth - 30, height() - 3 * line - 16);
    if (m_bars.empty() || plot.width() < 20 || plot.height() < 20) {
        p.drawText(plot, Qt::AlignCenter, QStringLiteral("No varying inputs"));
        return;
    }
    const auto xOf = [&](double v) { return plot.left() + std::clamp(v, 0.0, 1.0) * plot.width(); };
    // The scale: 0 to 1, with a grid at every 0.2.
    for (int t = 0; t <= 5; ++t) {
        const double x = xOf(t / 5.0);
        p.setPen(dimmed(QColor(0xd0, 0xd0, 0xd0), m_stale));
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        p.setPen(text);
        const QString label = TableNumber(t / 5.0, 1);
        p.drawText(QPointF(x - fm.horizontalAdvance(label) / 2.0, plot.bottom() + line), label);
    }
    const double row = double(plot.height()) / double(m_bars.size());
    const double bar = std::min(row * 0.36, 14.0);
    for (std::size_t i = 0; i < m_bars.size(); ++i) {
        const SobolBar &b = m_bars[i];
        const double top = plot.top() + i * row + row / 2 - bar;
        p.setPen(text);
        p.drawText(QRectF(4, top, nameWidth + 6, 2 * bar), Qt::AlignRight | Qt::AlignVCenter, b.name);
        // Total index above, first order below, each with its interval as a whisker.
        const struct
        {
            double value, low, high;
            QColor colour;
            double y;
        } parts[] = {{b.total, b.totalLow, b.totalHigh, kTotalColour, top},
                     {b.first, b.firstLow, b.firstHigh, kBarColour, top + bar}};
        for (const auto &part : parts) {
            p.fillRect(QRectF(xOf(0), part.y, xOf(part.value) - xOf(0), bar - 1), dimmed(part.colour, m_stale));
            p.setPen(QPen(text, 1));
            const double mid = part.y + bar / 2;
            p.drawLine(QPointF(xOf(part.low), mid), QPointF(xOf(part.high), mid));
            p.drawLine(QPointF(xOf(part.low), mid - 3), QPointF(xOf(part.low), mid + 3));
            p.drawLine(QPointF(xOf(part.high), mid - 3), QPointF(xOf(part.high), mid + 3));
        }
    }
    // The key.
    const int keyY = plot.bottom() + line + 4;
    p.fillRect(QRect(plot.left(), keyY + 3, 12, line - 6), dimmed(kTotalColour, m_stale));
    p.setPen(text);
    p.drawText(QPoint(plot.left() + 16, keyY + line - 4), QStringLiteral("Total (ST)"));
    const int second = plot.left() + 24 + fm.horizontalAdvance(QStringLiteral("Total (ST)")) + 16;
    p.fillRect(QRect(second, keyY + 3, 12, line - 6), dimmed(kBarColour, m_stale));
    p.drawText(QPoint(second + 16, keyY + line - 4), QStringLiteral("First order (S1), 95 % intervals as whiskers"));
}
