#include "data/ModelComputation.h"

#include "data/FuelModel.h"

void SetFuelModelInputs(FireSpread &fs, const FuelModel &m)
{
    fs.setLoading1Hour(m.Loading1Hour());
    fs.setLoading10Hour(m.Loading10Hour());
    fs.setLoading100Hour(m.Loading100Hour());
    fs.setLoadingLiveHerb(m.LoadingLiveHerb());
    fs.setLoadingLiveWoody(m.LoadingLiveWoody());
    fs.setSurfaceToVolume1Hour(m.SurfaceToVolume1Hour());
    fs.setSurfaceToVolumeLiveHerb(m.SurfaceToVolumeLiveHerb());
    fs.setSurfaceToVolumeLiveWoody(m.SurfaceToVolumeLiveWoody());
    fs.setHeatContentDead(m.HeatContentDead());
    fs.setHeatContentLiveHerb(m.HeatContentLiveHerb());
    fs.setHeatContentLiveWoody(m.HeatContentLiveWoody());
    fs.setBulkDensityDepth(m.BulkDensityDepth());
    fs.setMoistureOfExtinction(m.MoistureOfExtinction() / 100);
    fs.setHerbType(m.HerbType());
}

void SetEnvironmentInputs(FireSpread &fs, const FireEnvironment &env)
{
    fs.setFuelMoisture1Hour(env.moisture[0]);
    fs.setFuelMoisture10Hour(env.moisture[1]);
    fs.setFuelMoisture100Hour(env.moisture[2]);
    fs.setFuelMoistureHerb(env.moisture[3]);
    fs.setFuelMoistureWoody(env.moisture[4]);
    fs.setWindSpeed(env.midflameWind);
    fs.setSlope(env.slope);
    fs.setFireHours(env.fireHours);
}

bool ComputeSpread(FireSpread &fs, std::string *problem)
{
    try {
        fs.Compute();
        return true;
    } catch (const std::exception &e) {
        if (problem)
            *problem = e.what();
        return false;
    }
}

ModelFire ComputeModelFire(const FuelModel &model, const FireEnvironment &env, SpreadConventions conventions)
{
    ModelFire fire;
    SetFuelModelInputs(fire.spread, model);
    SetEnvironmentInputs(fire.spread, env);
    fire.spread.setConventions(conventions);
    fire.computed = ComputeSpread(fire.spread, &fire.problem);
    return fire;
}
