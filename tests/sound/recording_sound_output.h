#pragma once

#include "sound/sound_output.h"

#include <QList>

// Stands in for the audio device: records every sound it is asked to play.
class RecordingSoundOutput final : public sound::SoundOutput
{
public:
    struct Played
    {
        QString diskPath;
        bool overlap = false;
        bool wait = false;
    };

    RecordingSoundOutput() { m_previous = sound::setSoundOutput(this); }
    ~RecordingSoundOutput() override { sound::setSoundOutput(m_previous); }
    RecordingSoundOutput(const RecordingSoundOutput &) = delete;
    RecordingSoundOutput &operator=(const RecordingSoundOutput &) = delete;

    void play(const QString &diskPath, bool overlap, bool wait) override
    {
        played.append({diskPath, overlap, wait});
    }

    QList<Played> played;

private:
    sound::SoundOutput *m_previous = nullptr;
};
