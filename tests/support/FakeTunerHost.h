#pragma once

#include "testcenter/EntryRules.h"
#include "testcenter/ITuners.h"
#include "tuners/ITunerHost.h"
#include "tuners/TunerRules.h"

#include <QList>
#include <QPair>
#include <QString>

#include <array>

// A stand-in editor for the tuner windows: entry texts and colours, tuner buttons, the
// stored model and a log of every box write. Like the real editor it checks the range of
// every changed box text, tells the tuners about it (follow), and keeps read-only entries'
// buttons disabled.
class FakeTunerHost : public ITunerHost
{
public:
    FakeTunerHost()
    {
        text.fill(QString());
        background.fill(kEntryWhite);
        enabled.fill(true);
        stored.fill(0);
        readOnly.fill(false);
    }

    QString EntryText(int index) const override { return text.at(std::size_t(index)); }
    void SetEntryText(int index, const QString &t) override
    {
        writes.append({index, t});
        Type(index, t);
    }
    quint32 EntryBackground(int index) const override { return background.at(std::size_t(index)); }
    void SetEntryBackground(int index, quint32 rgb) override { background.at(std::size_t(index)) = rgb; }
    void CheckEntryRange(int index) override
    {
        background.at(std::size_t(index)) = EntryInRange(index, EntryText(index)) ? kEntryWhite : kEntryOutOfRange;
    }
    void SetTunerEnabled(int index, bool on) override
    {
        enabled.at(std::size_t(index)) = on && !readOnly.at(std::size_t(index));
    }
    void CheckAutoCompute() override { autoCompute = true; }
    QString RowLabel(int index) const override { return QStringLiteral("Row %1").arg(index); }
    double StoredValue(int index) const override { return stored.at(std::size_t(index)); }
    void TunerPlot() override { ++plots; }

    // The user typing into a box: the text changes without a tuner write.
    void Type(int index, const QString &t)
    {
        const bool changed = text.at(std::size_t(index)) != t;
        text.at(std::size_t(index)) = t;
        if (!changed)
            return;
        CheckEntryRange(index);
        if (follow)
            follow->EntryChanged(index, t);
    }

    std::array<QString, kTunerSlots> text;
    std::array<quint32, kTunerSlots> background;
    std::array<bool, kTunerSlots> enabled;
    std::array<double, kTunerSlots> stored;
    std::array<bool, kTunerSlots> readOnly;
    QList<QPair<int, QString>> writes;
    bool autoCompute = false;
    int plots = 0;
    ITuners *follow = nullptr;
};
