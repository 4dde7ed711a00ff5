#include "console/frm_main.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kesta-security"));
    QApplication::setApplicationDisplayName(QStringLiteral("KESTA Terminal - Security"));

    frmMain console;
    if (!console.Form_Load())
        return EXIT_SUCCESS;
    return QApplication::exec();
}
