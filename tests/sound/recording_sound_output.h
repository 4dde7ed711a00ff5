#pragma once

#include "platform/services.h"

#include <QList>

// Stands in for the audio device: records every sound it is asked to play.
struct RecordingSoundOutput
{
    struct Played
    {
        QString diskPath;
        bool overlap = false;
        bool wait = false;
    };

    QList<Played> played;
    platform::ServicesOverride standIn{
        {.playSound = [this](const QString &path, bool overlap, bool wait) {
            played.append({path, overlap, wait});
        }}};
};
