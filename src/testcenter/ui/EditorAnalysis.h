#pragma once

class frmAnalysis;
class frmEditModel;

// Gives the editor its "Analysis..." button (`cmdAnalysis`, beside Compute) and the analysis
// window it opens: response curves, sensitivity and the fire characteristics chart of the
// edited model. The window follows the entries as the results boxes do: with Auto Compute on
// it recomputes on every change of an entry, a list or the reference model (typing, tuning,
// a restored plot); with it off, on Compute and Plot.
frmAnalysis *AttachEditorAnalysis(frmEditModel *editor);
