#pragma once

#include "../sound/recording_sound_output.h"
#include "platform/services.h"

#include <QFileInfo>
#include <QRgb>
#include <QStringList>

#include <functional>

class QWidget;
class ThemeFixture;

// Takes the person's place for every modal show while it lives: the dialog is shown, and once
// it is on the screen the script drives it. The script finds the dialog still open.
class ModalScript
{
public:
    explicit ModalScript(std::function<void(QWidget &dialog)> script);
    bool ran = false;

private:
    platform::ServicesOverride m_person;
};

// The file names of the sounds played.
inline QStringList playedFiles(const RecordingSoundOutput &output)
{
    QStringList names;
    for (const RecordingSoundOutput::Played &played : output.played)
        names.append(QFileInfo(played.diskPath).fileName());
    return names;
}

// Clicks imgBut member `index` of a skinned dialog.
void clickButton(QWidget &dialog, int index);

// The button pictures ok.bmp, quit.bmp and tool.bmp and the sound click.wav of the theme.
void writeButtonFiles(const ThemeFixture &theme);

// The background the test themes use: width x height, magenta (the mask colour 255,0,255) in
// a triangle of `cut` pixels at each corner, grey elsewhere.
QByteArray cutCornerBackground(int width, int height, int cut);
