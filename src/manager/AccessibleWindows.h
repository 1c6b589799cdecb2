#pragma once

// Tells the accessibility tools that the program's own top-level windows built on a plain
// QWidget (the Edit and Test Center, the tuners) are windows. Qt describes such a widget as a
// mere filler, so screen readers would not announce it and tools could not list it among the
// program's windows. Call once, after the QApplication exists; later calls do nothing.
void InstallAccessibleWindows();
