// The input dialog of a theme, shown on whatever display Qt opens, as the console shows it; says
// "shown" on standard output once it is on the screen. Arguments: the program folder and the
// theme's name.
#include "dialogs/frm_input.h"
#include "skin/theme.h"

#include <QApplication>
#include <QTest>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const skin::Theme theme(QString::fromLocal8Bit(argv[1]),
                            QStringLiteral("\\Themes\\%1\\").arg(QString::fromLocal8Bit(argv[2])),
                            QStringLiteral("Security"));
    frmInput dialog(theme);
    dialog.Form_Load();
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog))
        return 1;
    QTest::qWait(500); // painted and handed to the compositor
    std::puts("shown");
    std::fflush(stdout);
    return QApplication::exec();
}
