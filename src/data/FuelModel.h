#pragma once

#include <QString>

// One surface fire behavior fuel model: the fuel bed parameters of the spread model plus an
// identifier, a description and the key under which the model is filed in its set.
//
// A plain value holder: it validates nothing (ranges are the editor's business) and is shared
// by reference (std::shared_ptr) between its collection, the clipboard and the editor.
// MoistureOfExtinction is held in percent; the library file stores it as a fraction.
// FuelModelID and Key are "variant" fields that only ever hold text here: a null QString is
// their empty state (holding nothing), as on a new record.
class FuelModel
{
public:
    double HerbType() const { return m_HerbType; }
    void setHerbType(double v) { m_HerbType = v; }

    const QString &Key() const { return m_Key; }
    void setKey(const QString &v) { m_Key = v; }

    double FuelCat() const { return m_FuelCat; }
    void setFuelCat(double v) { m_FuelCat = v; }

    const QString &Description() const { return m_Description; }
    void setDescription(const QString &v) { m_Description = v; }

    const QString &FuelModelID() const { return m_FuelModelID; }
    void setFuelModelID(const QString &v) { m_FuelModelID = v; }

    double LoadingLiveHerb() const { return m_LoadingLiveHerb; }
    void setLoadingLiveHerb(double v) { m_LoadingLiveHerb = v; }

    double MoistureOfExtinction() const { return m_MoistureOfExtinction; }
    void setMoistureOfExtinction(double v) { m_MoistureOfExtinction = v; }

    double BulkDensityDepth() const { return m_BulkDensityDepth; }
    void setBulkDensityDepth(double v) { m_BulkDensityDepth = v; }

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

private:
    double m_Loading1Hour = 0;
    double m_Loading10Hour = 0;
    double m_Loading100Hour = 0;
    double m_Loading1000Hour = 0;
    double m_LoadingLiveWoody = 0;
    double m_SurfaceToVolume1Hour = 0;
    double m_SurfaceToVolumeLiveHerb = 0;
    double m_SurfaceToVolumeLiveWoody = 0;
    double m_HeatContentDead = 0;
    double m_HeatContentLiveHerb = 0;
    double m_HeatContentLiveWoody = 0;
    double m_BulkDensityDepth = 0;
    double m_MoistureOfExtinction = 0;
    double m_LoadingLiveHerb = 0;
    QString m_FuelModelID;
    QString m_Description{QLatin1String("")};
    double m_FuelCat = 0;
    QString m_Key;
    double m_HerbType = 0;
};

// Text of the model's tree node and list entry: ID + " - " + description.
QString ModelNodeText(const FuelModel &fm);

// Text shown for the FuelCat and HerbType codes; empty for a code outside the table.
QString FuelCatText(double code);
QString HerbTypeText(double code);
