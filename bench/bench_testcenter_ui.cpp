// One keystroke in a loading box of the Edit and Test Center with "Auto Compute" on, from the
// key press to every result box holding its new text (filter, change handling, fuel bed
// descriptors, range check and the full computation of edited and reference model).
#include "support/EditorFixture.h"

#include <QApplication>
#include <QCheckBox>

#include <benchmark/benchmark.h>

namespace {

void BM_KeystrokeWithAutoCompute(benchmark::State &state)
{
    TestLibrary lib;
    FakeOwner owner;
    ScriptedPrompts prompts;
    frmEditModel editor(&owner, &prompts);
    editor.Open(lib.timberGrass, true);
    editor.chkAuto()->setChecked(true);
    QLineEdit *box = editor.txtFuels(2);
    box->setFocus();
    box->setText(QStringLiteral("2.1"));
    box->end(false);
    QApplication::processEvents();

    // Alternately types a digit and takes it back, so every keystroke changes the loading.
    bool typeDigit = true;
    for (auto _ : state) {
        if (typeDigit)
            QTest::keyClick(box, Qt::Key_5);
        else
            QTest::keyClick(box, Qt::Key_Backspace);
        typeDigit = !typeDigit;
        benchmark::DoNotOptimize(editor.txtROS()->text());
    }
    if (editor.txtROS()->text().isEmpty() || editor.txtRefROS()->text().isEmpty())
        state.SkipWithError("the result boxes were not filled");
}
BENCHMARK(BM_KeystrokeWithAutoCompute)->Unit(benchmark::kMicrosecond);

} // namespace
