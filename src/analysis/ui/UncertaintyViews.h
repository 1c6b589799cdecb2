#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <vector>

// The two drawings of the uncertainty tabs, painted directly: a histogram with its quantiles
// and mean, and horizontal bars of Sobol indices with their intervals. A view showing a result
// that a newer computation will replace is drawn dimmed.

class HistogramView : public QWidget
{
    Q_OBJECT
public:
    explicit HistogramView(QWidget *parent = nullptr);

    // values in the units shown, ascending; quantiles at 5, 25, 50, 75 and 95 %.
    void SetData(const QString &title, const QString &unit, const std::vector<double> &sorted,
                 const std::array<double, 5> &quantiles, double mean);
    void SetStale(bool stale);
    bool IsStale() const { return m_stale; }
    // Draws per bin, the bins evenly over the values' range.
    const std::vector<int> &Counts() const { return m_counts; }
    double BinLow() const { return m_low; }
    double BinHigh() const { return m_high; }
    QString Title() const { return m_title; }

    QSize minimumSizeHint() const override { return {260, 200}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_title, m_unit;
    std::vector<int> m_counts;
    double m_low = 0, m_high = 1;
    std::array<double, 5> m_quantiles{};
    double m_mean = 0;
    bool m_stale = false;
};

struct SobolBar
{
    QString name;
    double first = 0, firstLow = 0, firstHigh = 0;
    double total = 0, totalLow = 0, totalHigh = 0;
};

class SobolBarsView : public QWidget
{
    Q_OBJECT
public:
    explicit SobolBarsView(QWidget *parent = nullptr);

    // Bars drawn in the order given (the caller sorts them, largest total first).
    void SetData(const QString &title, const std::vector<SobolBar> &bars);
    void SetStale(bool stale);
    bool IsStale() const { return m_stale; }
    const std::vector<SobolBar> &Bars() const { return m_bars; }
    QString Title() const { return m_title; }

    QSize minimumSizeHint() const override { return {300, 200}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_title;
    std::vector<SobolBar> m_bars;
    bool m_stale = false;
};
