#include "engine/FireSpread.h"

#include "engine/SurfaceSpread.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <stdexcept>

double FireSpread::Compute()
{
    std::array<double, 13> fuel = {
        m_Loading1Hour,        m_Loading10Hour,        m_Loading100Hour,          m_LoadingLiveHerb,
        m_LoadingLiveWoody,    m_SurfaceToVolume1Hour, m_SurfaceToVolumeLiveHerb, m_SurfaceToVolumeLiveWoody,
        m_HeatContentDead,     m_HeatContentLiveHerb,  m_HeatContentLiveWoody,    m_BulkDensityDepth,
        m_MoistureOfExtinction};
    const std::array<double, 5> moisture = {m_FuelMoisture1Hour, m_FuelMoisture10Hour, m_FuelMoisture100Hour,
                                            m_FuelMoistureHerb, m_FuelMoistureWoody};
    const double windSpeed = m_WindSpeed;
    const double slope = m_Slope;
    double fireHours = m_FireHours;
    double herbType = m_HerbType;

    double flameLength = 0, fireLineIntensity = 0, heatPerUnitArea = 0, singleEllipseArea = 0;
    double doubleEllipseArea = 0, effectiveWind = 0, surfToVol = 0, packRatio = 0;
    bool windLimitMet = false;
    double unroundedRate = 0;
    // Throws before anything below is stored, so a failure leaves every output as it was.
    const std::string ros =
        ComputeSurfaceSpread(fuel, moisture, windSpeed, slope, flameLength, fireLineIntensity, heatPerUnitArea,
                             windLimitMet, singleEllipseArea, doubleEllipseArea, fireHours, herbType, effectiveWind,
                             surfToVol, packRatio, m_Conventions, &unroundedRate);
    double rateOfSpread = 0;
    std::from_chars(ros.data(), ros.data() + ros.size(), rateOfSpread);

    m_RateOfSpread = rateOfSpread;
    m_UnroundedRateOfSpread = unroundedRate;
    m_SingleEllipseArea = singleEllipseArea;
    m_DoubleEllipseArea = doubleEllipseArea;
    m_MaxWindSpeedMet = windLimitMet ? -1 : 0;
    m_FireLineIntensity = fireLineIntensity;
    m_FlameLength = flameLength;
    m_HeatPerUnitArea = heatPerUnitArea;
    m_SurfToVol = surfToVol;
    m_PackRatio = packRatio;
    m_EWind = effectiveWind;
    return 0;
}

namespace {

struct PropertySlot
{
    const char *name;
    bool output;
    double (*get)(const FireSpread &);
    void (*set)(FireSpread &, double);
};

#define VARROW_PROPERTY(Name, isOutput)                                                                                \
    PropertySlot                                                                                                       \
    {                                                                                                                  \
#Name, isOutput, [](const FireSpread &f) { return f.Name(); },                                                 \
                                                                    [](FireSpread & f, double v) { f.set##Name(v); }   \
    }

// In the order of the object's interface.
const std::array<PropertySlot, 36> kProperties = {
    VARROW_PROPERTY(DoubleEllipseArea, true),
    VARROW_PROPERTY(SingleEllipseArea, true),
    VARROW_PROPERTY(FireHours, false),
    VARROW_PROPERTY(HerbType, false),
    VARROW_PROPERTY(WindSpeedNA, false),
    VARROW_PROPERTY(WindSpeedAdjust, false),
    VARROW_PROPERTY(Temp, false),
    PropertySlot{"MaxWindSpeedMet", true, [](const FireSpread &f) { return double(f.MaxWindSpeedMet()); },
                 [](FireSpread &f, double v) { f.setMaxWindSpeedMet(v != 0 ? -1 : 0); }},
    VARROW_PROPERTY(LoadingLiveHerb, false),
    VARROW_PROPERTY(HeatPerUnitArea, true),
    VARROW_PROPERTY(FuelMoistureWoody, false),
    VARROW_PROPERTY(FuelMoistureHerb, false),
    VARROW_PROPERTY(FuelMoisture100Hour, false),
    VARROW_PROPERTY(FuelMoisture10Hour, false),
    VARROW_PROPERTY(FuelMoisture1Hour, false),
    VARROW_PROPERTY(MoistureOfExtinction, false),
    VARROW_PROPERTY(BulkDensityDepth, false),
    VARROW_PROPERTY(SurfToVol, true),
    VARROW_PROPERTY(PackRatio, true),
    VARROW_PROPERTY(HeatContentLiveWoody, false),
    VARROW_PROPERTY(HeatContentLiveHerb, false),
    VARROW_PROPERTY(HeatContentDead, false),
    VARROW_PROPERTY(SurfaceToVolumeLiveWoody, false),
    VARROW_PROPERTY(SurfaceToVolumeLiveHerb, false),
    VARROW_PROPERTY(SurfaceToVolume1Hour, false),
    VARROW_PROPERTY(LoadingLiveWoody, false),
    VARROW_PROPERTY(Loading1000Hour, false),
    VARROW_PROPERTY(Loading100Hour, false),
    VARROW_PROPERTY(Loading10Hour, false),
    VARROW_PROPERTY(Loading1Hour, false),
    VARROW_PROPERTY(WindSpeed, false),
    VARROW_PROPERTY(EWind, true),
    VARROW_PROPERTY(RateOfSpread, true),
    VARROW_PROPERTY(FireLineIntensity, true),
    VARROW_PROPERTY(FlameLength, true),
    VARROW_PROPERTY(Slope, false),
};

#undef VARROW_PROPERTY

const PropertySlot &findProperty(std::string_view name)
{
    const auto it =
        std::find_if(kProperties.begin(), kProperties.end(), [name](const PropertySlot &p) { return name == p.name; });
    if (it == kProperties.end())
        throw std::invalid_argument("FireSpread has no property \"" + std::string(name) + "\"");
    return *it;
}

} // namespace

double FireSpread::GetProperty(std::string_view name) const
{
    return findProperty(name).get(*this);
}

void FireSpread::SetProperty(std::string_view name, double value)
{
    findProperty(name).set(*this, value);
}

const std::vector<std::string> &FireSpread::PropertyNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> v;
        for (const PropertySlot &p : kProperties)
            v.emplace_back(p.name);
        return v;
    }();
    return names;
}

bool FireSpread::IsOutputProperty(std::string_view name)
{
    return findProperty(name).output;
}
