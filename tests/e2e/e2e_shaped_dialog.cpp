// The input dialog of the theme Default of a program folder, shown as the console shows it; says
// "shown" once it is on the screen.
#include "dialogs/frm_input.h"
#include "skin/theme.h"

#include <QApplication>
#include <QTest>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const skin::Theme theme(QString::fromLocal8Bit(argc > 1 ? argv[1] : ""),
                            QStringLiteral("\\Themes\\Default\\"), QStringLiteral("Security"));
    frmInput dialog(theme);
    dialog.Form_Load();
    dialog.show();
    if (QTest::qWaitForWindowExposed(&dialog)) {
        QTest::qWait(500); // painted and handed to the compositor
        std::puts("shown");
    }
    std::fflush(stdout);
    return QApplication::exec();
}
