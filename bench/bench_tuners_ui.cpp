// One slider step of a tuner in the Edit and Test Center with "Auto Compute" on: the step (as
// the arrow key makes it) writes the box, the editor recomputes the edited and the reference
// model and the result boxes hold the new texts. The single tuner writes one box, the
// synchronized tuner six (each followed by the editor's recomputation).
//   build/bench/bench_tuners_ui --benchmark_min_time=2
#include "support/EditorFixture.h"
#include "tuners/ui/EditorTuners.h"
#include "tuners/ui/Tuners.h"
#include "tuners/ui/frmSyncTuner.h"
#include "tuners/ui/frmTuner.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>

namespace {

// Steps up and down in turn, so every step changes the value.
void step(QSlider *slider, int &direction)
{
    slider->triggerAction(direction > 0 ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub);
    direction = -direction;
}

void BM_SingleTunerStep(benchmark::State &state)
{
    TestLibrary lib;
    ScriptedPrompts prompts;
    FakeOwner owner;
    frmEditModel editor(&owner, &prompts);
    Tuners *tuners = InstallTuners(editor);
    editor.Open(lib.timberGrass, true);
    tuners->Open(2);
    frmTuner *tuner = tuners->Tuner(2);
    int direction = 1;
    QString last;
    for (auto _ : state) {
        step(tuner->sldTune, direction);
        last = editor.txtROS()->text();
        benchmark::DoNotOptimize(last);
    }
    if (editor.EntryText(2) != QStringLiteral("2") && editor.EntryText(2) != QStringLiteral("2.01"))
        state.SkipWithError("the slider did not reach the editor's box");
    state.counters["ROS"] = last.toDouble();
}
BENCHMARK(BM_SingleTunerStep)->Unit(benchmark::kMicrosecond);

void BM_SyncTunerStep(benchmark::State &state)
{
    TestLibrary lib;
    ScriptedPrompts prompts;
    FakeOwner owner;
    frmEditModel editor(&owner, &prompts);
    Tuners *tuners = InstallTuners(editor);
    editor.Open(lib.timberGrass, true);
    editor.chkAuto()->setChecked(true);
    tuners->Open(0);
    frmSyncTuner *sync = tuners->SyncWindow();
    sync->sldTune_GotFocus(); // as if the slider had the focus: the change gate is open
    int direction = 1;
    QString last;
    for (auto _ : state) {
        step(sync->sldTune, direction);
        last = editor.txtROS()->text();
        benchmark::DoNotOptimize(last);
    }
    if (editor.EntryText(13) != QStringLiteral("1.01") && editor.EntryText(13) != QStringLiteral("1."))
        state.SkipWithError("the percentage did not reach the editor's boxes");
    state.counters["ROS"] = last.toDouble();
}
BENCHMARK(BM_SyncTunerStep)->Unit(benchmark::kMicrosecond);

} // namespace
