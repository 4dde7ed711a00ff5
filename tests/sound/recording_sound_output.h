#pragma once

#include "platform/services.h"

#include <QList>

// Stands in for the audio device: records every sound it is asked to play.
class RecordingSoundOutput final
{
public:
    struct Played
    {
        QString diskPath;
        bool overlap = false;
        bool wait = false;
    };

    QList<Played> played;

private:
    platform::ServicesOverride m_standIn{
        {.playSound = [this](const QString &diskPath, bool overlap, bool wait) {
            played.append({diskPath, overlap, wait});
        }}};
};
