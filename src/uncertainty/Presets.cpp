#include "uncertainty/Presets.h"

namespace {

VaryingInput percent(std::string_view name, double p)
{
    return {*FindInput(name), {DistributionKind::Percent, p, 0}};
}

} // namespace

const std::vector<UncertaintyPreset> &UncertaintyPresets()
{
    static const std::vector<UncertaintyPreset> presets = [] {
        std::vector<VaryingInput> moistures, fuelBed, wind;
        for (const char *m : {"moist-1h", "moist-10h", "moist-100h", "moist-herb", "moist-woody"})
            moistures.push_back(percent(m, 30));
        for (const char *f : {"load-1h", "load-10h", "load-100h", "load-herb", "load-woody", "depth"})
            fuelBed.push_back(percent(f, 20));
        wind.push_back(percent("wind", 25));
        std::vector<VaryingInput> all = moistures;
        all.insert(all.end(), fuelBed.begin(), fuelBed.end());
        all.insert(all.end(), wind.begin(), wind.end());
        return std::vector<UncertaintyPreset>{{"moistures +/- 30 %", moistures},
                                              {"fuel bed +/- 20 %", fuelBed},
                                              {"wind +/- 25 %", wind},
                                              {"all of these", all}};
    }();
    return presets;
}

std::string InputsText(const std::vector<VaryingInput> &inputs)
{
    std::string text;
    for (const VaryingInput &v : inputs) {
        if (!text.empty())
            text += ';';
        text += std::string(InputShortName(v.key)) + '=' + DistributionText(v.distribution);
    }
    return text;
}

std::vector<VaryingInput> ReadInputsText(std::string_view text)
{
    std::vector<VaryingInput> inputs;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(';'), text.size());
        const std::string_view part = text.substr(0, end);
        text = end < text.size() ? text.substr(end + 1) : std::string_view();
        const std::size_t eq = part.find('=');
        if (eq == std::string_view::npos)
            continue;
        const auto key = FindInput(part.substr(0, eq));
        std::string problem;
        const auto d = ParseDistribution(part.substr(eq + 1), &problem);
        if (key && d)
            inputs.push_back({*key, *d});
    }
    return inputs;
}

UncertaintyPoint PointOfSpread(const FireSpread &fs, double windAdjustment)
{
    UncertaintyPoint p;
    FuelModel &m = p.model;
    m.setLoading1Hour(fs.Loading1Hour());
    m.setLoading10Hour(fs.Loading10Hour());
    m.setLoading100Hour(fs.Loading100Hour());
    m.setLoadingLiveHerb(fs.LoadingLiveHerb());
    m.setLoadingLiveWoody(fs.LoadingLiveWoody());
    m.setSurfaceToVolume1Hour(fs.SurfaceToVolume1Hour());
    m.setSurfaceToVolumeLiveHerb(fs.SurfaceToVolumeLiveHerb());
    m.setSurfaceToVolumeLiveWoody(fs.SurfaceToVolumeLiveWoody());
    m.setHeatContentDead(fs.HeatContentDead());
    m.setHeatContentLiveHerb(fs.HeatContentLiveHerb());
    m.setHeatContentLiveWoody(fs.HeatContentLiveWoody());
    m.setBulkDensityDepth(fs.BulkDensityDepth());
    m.setMoistureOfExtinction(fs.MoistureOfExtinction() * 100);
    m.setHerbType(fs.HerbType());
    const double moisture[5] = {fs.FuelMoisture1Hour() * 100, fs.FuelMoisture10Hour() * 100,
                                fs.FuelMoisture100Hour() * 100, fs.FuelMoistureHerb() * 100,
                                fs.FuelMoistureWoody() * 100};
    p.SetEnvironment(moisture, fs.WindSpeedNA(), windAdjustment, fs.Slope());
    // The midflame wind the editor computed with, whatever its 20-ft wind box holds.
    p.environment[std::size_t(EnvironmentInputId::MidflameWind)] = fs.WindSpeed();
    p.conventions = fs.Conventions();
    return p;
}
