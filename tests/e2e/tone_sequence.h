#pragma once

#include <QByteArray>
#include <QList>

struct HeardTone
{
    int tone; // index into the frequencies listened for
    qint64 startFrame;
    qint64 frames;
};

// The tones heard, in order, in a recording of 16-bit stereo frames at rate Hz, cut into 20 ms
// windows: a window belongs to the tone that carries most of its sound. A tone is heard when it
// holds for two windows or more; breaks of up to two windows (cut by a tone's start or end) do not
// split it, a real pause or another tone does.
QList<HeardTone> heardTones(const QByteArray &recording, int rate,
                            const QList<double> &frequencies);
