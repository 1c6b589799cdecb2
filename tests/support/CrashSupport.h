#pragma once

// What the crash tests and their writer programs share: a large library that differs in every
// set name, description and depth from one generation to the next, and the run of a writer
// that is killed with SIGKILL after a seeded random delay.

#include "data/FuelModelSets.h"
#include "data/NodeKey.h"

#include <QByteArray>
#include <QProcess>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>
#include <random>
#include <thread>

namespace crashtest {

inline constexpr int kSets = 3;
inline constexpr int kModelsPerSet = 100;

inline FuelModelSets generationLibrary(int generation)
{
    FuelModelSets sets;
    for (int s = 1; s <= kSets; ++s) {
        auto models = std::make_shared<FuelModels>();
        for (int m = 1; m <= kModelsPerSet; ++m) {
            const QString key = NewNodeKey(false);
            models->Add(QStringLiteral("%1").arg((s - 1) * kModelsPerSet + m),
                        QStringLiteral("Model %1 of set %2, generation %3").arg(m).arg(s).arg(generation),
                        1 + (generation % 97) / 100.0, 0.74, 0.1, 0.05, 0.2, 0.3, 3500, 1500, 1500, 25, 8000, 8000,
                        8000, 1, 1, key, key);
        }
        sets.Add(QStringLiteral("Set %1 of generation %2").arg(s).arg(generation), s == 2, models, NewNodeKey(s == 2));
    }
    return sets;
}

// A writer that says "ready" on its first output line and then one line per write completed.
struct Round
{
    int completed = 0;   // writes the writer said were done before it was killed
    bool killed = false; // it was still running when the kill came
    QByteArray errors;   // what it wrote to stderr
};

// Starts program with args, waits for its "ready" line, lets it run for a delay drawn from
// random (0 to maxDelayMs), kills it with SIGKILL and counts the writes it reported. onReady,
// when given, runs once the writer is ready.
inline Round runAndKill(const QString &program, const QStringList &args, std::mt19937 &random, int maxDelayMs,
                        const std::function<void()> &onReady = {})
{
    QProcess writer;
    writer.start(program, args);
    Round round;
    if (!writer.waitForStarted(10000))
        return round;
    while (!writer.canReadLine() && writer.state() == QProcess::Running)
        writer.waitForReadyRead(10000);
    QByteArray out = writer.readLine();
    if (onReady)
        onReady();
    const int delay = std::uniform_int_distribution<int>(0, maxDelayMs)(random);
    std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    round.killed = writer.state() == QProcess::Running;
    writer.kill(); // SIGKILL
    writer.waitForFinished(10000);
    out += writer.readAllStandardOutput();
    round.errors = writer.readAllStandardError();
    const QList<QByteArray> lines = out.split('\n');
    // Only whole lines count: the first is "ready".
    round.completed = int(lines.size()) - 2;
    if (lines.isEmpty() || lines.first() != "ready")
        round.completed = -1;
    return round;
}

} // namespace crashtest
