#include "manager/AccessibleWindows.h"
#include "manager/frmVarrow.h"
#include "tuners/ui/EditorTuners.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varrow"));
    // The desktop entry and icon an installation puts in share/ (none when run from the build).
    QGuiApplication::setDesktopFileName(QStringLiteral("varrow"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("varrow")));
    InstallAccessibleWindows();
    frmVarrow window;
    // The windows wired together: the main window opens the Edit and Test Center with its
    // tuners.
    window.SetEditorFactory(NewEditorWithTuners);
    // The library is open in another copy and the user chose not to read it here.
    if (window.QuitAtStart())
        return 0;
    window.show();
    return QApplication::exec();
}
