#include "manager/frmVarrow.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varrow"));
    frmVarrow window;
    window.show();
    return QApplication::exec();
}
