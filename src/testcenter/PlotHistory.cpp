#include "testcenter/PlotHistory.h"

ChartState gChartState;

namespace {

const FireSpread *at(const std::vector<std::shared_ptr<FireSpread>> &history, int position)
{
    if (position < 1 || position > int(history.size()))
        return nullptr;
    return history[std::size_t(position - 1)].get();
}

} // namespace

const FireSpread *ChartState::Current(int position) const
{
    return at(CurrentPlotHistory, position);
}

const FireSpread *ChartState::Reference(int position) const
{
    return at(ReferencePlotHistory, position);
}

QString ChartState::WindReduceText(int position) const
{
    if (position < 1 || position > int(WindReduceTexts.size()))
        return {};
    return WindReduceTexts[std::size_t(position - 1)];
}

void ResetChartState()
{
    gChartState = ChartState();
}
