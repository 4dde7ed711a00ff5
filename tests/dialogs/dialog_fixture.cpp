#include "dialog_fixture.h"

#include "bmp_writer.h"
#include "skin/skinned_window.h"
#include "skin_fixture.h"
#include "test_environment.h"

#include <QTest>
#include <QWidget>

ModalScript::ModalScript(std::function<void(QWidget &dialog)> script)
    : m_person({.showModal = [this, script](QWidget &dialog) {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        ran = true;
        script(dialog);
    }})
{}

void clickButton(QWidget &dialog, int index)
{
    ImageButton *button = static_cast<SkinnedWindow &>(dialog).imgBut(index);
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

void writeButtonFiles(const ThemeFixture &theme)
{
    writeBytes(theme.themeFolder() + "/click.wav", "RIFF");
    for (const char *name : {"ok.bmp", "quit.bmp", "tool.bmp"})
        theme.writePicture(name);
}

QByteArray cutCornerBackground(int width, int height, int cut)
{
    QList<QList<QRgb>> rows(height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int dx = std::min(x, width - 1 - x);
            const int dy = std::min(y, height - 1 - y);
            rows[y].append(dx + dy < cut ? 0xFFFF00FF : 0xFF404040);
        }
    }
    return bmpBytes(rows, {8});
}
