#pragma once

class frmCalibration;
class frmEditModel;

// Gives the editor its "Fit to Observations..." button (`cmdCalibration`, beside Analysis...)
// and the calibration window over its entries: the edited model is the entries as they are,
// an observation's environment goes into the Environment boxes, and a ranked or fitted model
// into the model's entries.
frmCalibration *AttachEditorCalibration(frmEditModel *editor);
// The window attached to editor, or nullptr.
frmCalibration *EditorCalibrationWindow(const frmEditModel *editor);
