#pragma once

#include "platform/modal_show.h"
#include "platform/sound_output.h"

#include <QRgb>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// Remembers the file names of the sounds that would have played.
class RecordingSound : public platform::SoundOutput
{
public:
    RecordingSound();
    ~RecordingSound() override;
    void play(const QString &diskPath, bool overlap, bool wait) override;

    QStringList played;

private:
    platform::SoundOutput *m_previous = nullptr;
};

// Takes the person's place for every modal show while it lives: the dialog is shown, and once
// it is on the screen the script drives it. The script finds the dialog still open.
class ModalScript
{
public:
    explicit ModalScript(std::function<void(QWidget &dialog)> script);
    ~ModalScript();
    bool ran = false;

private:
    platform::ModalShowHandler m_previous;
};

// The background the test themes use: width x height, magenta (the mask colour 255,0,255) in
// a triangle of `cut` pixels at each corner, grey elsewhere.
QByteArray cutCornerBackground(int width, int height, int cut);
constexpr QRgb BackgroundGrey = 0xFF404040;

// A recorder program below root, "Tool Box/record.sh": writes its arguments, one per line, to
// the file returned by recordFile(root).
QString writeRecorder(const QString &root);
QString recordFile(const QString &root);
