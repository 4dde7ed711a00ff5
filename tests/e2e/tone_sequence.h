#pragma once

#include <QByteArray>
#include <QList>

// One sound heard in a recording: which of the listened-for tones, and where.
struct HeardTone
{
    int tone;          // index into the frequencies listened for
    qint64 startFrame; // from the start of the recording given
    qint64 frames;
};

// The tones heard, in order, in a recording of 16-bit stereo frames at rate Hz. The recording is
// cut into 20 ms windows; a window belongs to a tone when that frequency carries most of its
// sound. A tone is heard when it holds for at least two windows; breaks of up to two windows
// (a window cut by a tone's start or end) do not split it. A tone played again after a real
// pause, or after another tone, counts again.
QList<HeardTone> heardTones(const QByteArray &recording, int rate,
                            const QList<double> &frequencies);
