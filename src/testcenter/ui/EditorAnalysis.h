#pragma once

class frmAnalysis;
class frmEditModel;

// Gives the editor its "Analysis..." button (`cmdAnalysis`, beside Compute) and the analysis
// window it opens: response curves, sensitivity and the fire characteristics chart of the
// edited model. The window follows the entries as the results boxes do: with Auto Compute on
// it recomputes on every change of an entry, a list or the reference model (typing, tuning,
// a restored plot); with it off, on Compute and Plot.
// The window is a top-level window of its own (its mnemonics do not meet the editor's), hidden
// with the editor and deleted with it.
frmAnalysis *AttachEditorAnalysis(frmEditModel *editor);
// The analysis window of an editor, or null.
frmAnalysis *EditorAnalysisWindow(const frmEditModel *editor);
