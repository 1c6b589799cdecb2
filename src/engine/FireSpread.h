#pragma once

#include "engine/SurfaceSpread.h" // ArithmeticError

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The fire behavior calculator: set the inputs, call Compute, read the outputs.
//
// Inputs are in the units the spread core expects: loadings t/ac, SA/V ft2/ft3, heat contents
// btu/lb, depth ft, moistures and moisture of extinction as fractions (0.06 = 6 %), WindSpeed
// the midflame wind in mi/h, Slope in percent. Outputs: RateOfSpread ch/h (one decimal),
// FireLineIntensity btu/ft/s, FlameLength ft, HeatPerUnitArea btu/ft2, EWind mi/h,
// SingleEllipseArea and DoubleEllipseArea acres after FireHours hours (0 means 1 hour),
// SurfToVol ft2/ft3, PackRatio dimensionless. WindSpeedNA, WindSpeedAdjust, Temp and
// Loading1000Hour are only kept for the caller.
//
// Compute works on copies of the inputs (the dynamic herbaceous transfer never changes the
// object's properties). When the core fails it throws ArithmeticError and leaves every output
// as it was before the call.
class FireSpread
{
public:
    double DoubleEllipseArea() const { return m_DoubleEllipseArea; }
    void setDoubleEllipseArea(double v) { m_DoubleEllipseArea = v; }

    double SingleEllipseArea() const { return m_SingleEllipseArea; }
    void setSingleEllipseArea(double v) { m_SingleEllipseArea = v; }

    double FireHours() const { return m_FireHours; }
    void setFireHours(double v) { m_FireHours = v; }

    double HerbType() const { return m_HerbType; }
    void setHerbType(double v) { m_HerbType = v; }

    double WindSpeedNA() const { return m_WindSpeedNA; }
    void setWindSpeedNA(double v) { m_WindSpeedNA = v; }

    double WindSpeedAdjust() const { return m_WindSpeedAdjust; }
    void setWindSpeedAdjust(double v) { m_WindSpeedAdjust = v; }

    double Temp() const { return m_Temp; }
    void setTemp(double v) { m_Temp = v; }

    double LoadingLiveHerb() const { return m_LoadingLiveHerb; }
    void setLoadingLiveHerb(double v) { m_LoadingLiveHerb = v; }

    double HeatPerUnitArea() const { return m_HeatPerUnitArea; }
    void setHeatPerUnitArea(double v) { m_HeatPerUnitArea = v; }

    double FuelMoistureWoody() const { return m_FuelMoistureWoody; }
    void setFuelMoistureWoody(double v) { m_FuelMoistureWoody = v; }

    double FuelMoistureHerb() const { return m_FuelMoistureHerb; }
    void setFuelMoistureHerb(double v) { m_FuelMoistureHerb = v; }

    double FuelMoisture100Hour() const { return m_FuelMoisture100Hour; }
    void setFuelMoisture100Hour(double v) { m_FuelMoisture100Hour = v; }

    double FuelMoisture10Hour() const { return m_FuelMoisture10Hour; }
    void setFuelMoisture10Hour(double v) { m_FuelMoisture10Hour = v; }

    double FuelMoisture1Hour() const { return m_FuelMoisture1Hour; }
    void setFuelMoisture1Hour(double v) { m_FuelMoisture1Hour = v; }

    double MoistureOfExtinction() const { return m_MoistureOfExtinction; }
    void setMoistureOfExtinction(double v) { m_MoistureOfExtinction = v; }

    double BulkDensityDepth() const { return m_BulkDensityDepth; }
    void setBulkDensityDepth(double v) { m_BulkDensityDepth = v; }

    double SurfToVol() const { return m_SurfToVol; }
    void setSurfToVol(double v) { m_SurfToVol = v; }

    double PackRatio() const { return m_PackRatio; }
    void setPackRatio(double v) { m_PackRatio = v; }

    double HeatContentLiveWoody() const { return m_HeatContentLiveWoody; }
    void setHeatContentLiveWoody(double v) { m_HeatContentLiveWoody = v; }

    double HeatContentLiveHerb() const { return m_HeatContentLiveHerb; }
    void setHeatContentLiveHerb(double v) { m_HeatContentLiveHerb = v; }

    double HeatContentDead() const { return m_HeatContentDead; }
    void setHeatContentDead(double v) { m_HeatContentDead = v; }

    double SurfaceToVolumeLiveWoody() const { return m_SurfaceToVolumeLiveWoody; }
    void setSurfaceToVolumeLiveWoody(double v) { m_SurfaceToVolumeLiveWoody = v; }

    double SurfaceToVolumeLiveHerb() const { return m_SurfaceToVolumeLiveHerb; }
    void setSurfaceToVolumeLiveHerb(double v) { m_SurfaceToVolumeLiveHerb = v; }

    double SurfaceToVolume1Hour() const { return m_SurfaceToVolume1Hour; }
    void setSurfaceToVolume1Hour(double v) { m_SurfaceToVolume1Hour = v; }

    double LoadingLiveWoody() const { return m_LoadingLiveWoody; }
    void setLoadingLiveWoody(double v) { m_LoadingLiveWoody = v; }

    double Loading1000Hour() const { return m_Loading1000Hour; }
    void setLoading1000Hour(double v) { m_Loading1000Hour = v; }

    double Loading100Hour() const { return m_Loading100Hour; }
    void setLoading100Hour(double v) { m_Loading100Hour = v; }

    double Loading10Hour() const { return m_Loading10Hour; }
    void setLoading10Hour(double v) { m_Loading10Hour = v; }

    double Loading1Hour() const { return m_Loading1Hour; }
    void setLoading1Hour(double v) { m_Loading1Hour = v; }

    double WindSpeed() const { return m_WindSpeed; }
    void setWindSpeed(double v) { m_WindSpeed = v; }

    double EWind() const { return m_EWind; }
    void setEWind(double v) { m_EWind = v; }

    double RateOfSpread() const { return m_RateOfSpread; }
    void setRateOfSpread(double v) { m_RateOfSpread = v; }

    // The rate of spread in ch/h before its rounding to one decimal: what fireline intensity and
    // flame length were computed from. Set by Compute only; not one of the named properties.
    double UnroundedRateOfSpread() const { return m_UnroundedRateOfSpread; }

    double FireLineIntensity() const { return m_FireLineIntensity; }
    void setFireLineIntensity(double v) { m_FireLineIntensity = v; }

    double FlameLength() const { return m_FlameLength; }
    void setFlameLength(double v) { m_FlameLength = v; }

    double Slope() const { return m_Slope; }
    void setSlope(double v) { m_Slope = v; }

    // 16-bit boolean: -1 when the effective wind speed was capped at the wind limit, else 0.
    std::int16_t MaxWindSpeedMet() const { return m_MaxWindSpeedMet; }
    void setMaxWindSpeedMet(std::int16_t v) { m_MaxWindSpeedMet = v; }

    // The conventions the core computes with (SpreadConventions::Core unless set).
    SpreadConventions Conventions() const { return m_Conventions; }
    void setConventions(SpreadConventions v) { m_Conventions = v; }

    // Always returns 0; throws ArithmeticError when the spread core fails.
    double Compute();
    // Does nothing; kept for callers that expect it.
    template <typename T> void SetModel(const T &) { }

    // Run-time access by property name, spelled as the accessors above ("RateOfSpread",
    // "MaxWindSpeedMet", ...). MaxWindSpeedMet reads as -1 or 0 and is set from a number
    // (non-zero = true). An unknown name throws std::invalid_argument.
    double GetProperty(std::string_view name) const;
    void SetProperty(std::string_view name, double value);
    static const std::vector<std::string> &PropertyNames();
    static bool IsOutputProperty(std::string_view name);

private:
    double m_DoubleEllipseArea = 0;
    double m_SingleEllipseArea = 0;
    double m_FireHours = 0;
    double m_HerbType = 0;
    double m_WindSpeedNA = 0;
    double m_WindSpeedAdjust = 0;
    double m_Temp = 0;
    double m_LoadingLiveHerb = 0;
    double m_HeatPerUnitArea = 0;
    double m_FuelMoistureWoody = 0;
    double m_FuelMoistureHerb = 0;
    double m_FuelMoisture100Hour = 0;
    double m_FuelMoisture10Hour = 0;
    double m_FuelMoisture1Hour = 0;
    double m_MoistureOfExtinction = 0;
    double m_BulkDensityDepth = 0;
    double m_SurfToVol = 0;
    double m_PackRatio = 0;
    double m_HeatContentLiveWoody = 0;
    double m_HeatContentLiveHerb = 0;
    double m_HeatContentDead = 0;
    double m_SurfaceToVolumeLiveWoody = 0;
    double m_SurfaceToVolumeLiveHerb = 0;
    double m_SurfaceToVolume1Hour = 0;
    double m_LoadingLiveWoody = 0;
    double m_Loading1000Hour = 0;
    double m_Loading100Hour = 0;
    double m_Loading10Hour = 0;
    double m_Loading1Hour = 0;
    double m_WindSpeed = 0;
    double m_EWind = 0;
    double m_RateOfSpread = 0;
    double m_UnroundedRateOfSpread = 0;
    double m_FireLineIntensity = 0;
    double m_FlameLength = 0;
    double m_Slope = 0;
    std::int16_t m_MaxWindSpeedMet = 0;
    SpreadConventions m_Conventions = SpreadConventions::Core;
};
