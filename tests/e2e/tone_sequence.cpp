#include "tone_sequence.h"

#include <cmath>
#include <numbers>
#include <tuple>
#include <utility>
#include <vector>

namespace {

constexpr int Silent = -1;
constexpr double QuietRms = 600; // of 32767: far below the test tones, far above dither
constexpr int MinimumWindows = 2;
constexpr int BridgedWindows = 2;

// The amplitude of frequency in samples (Goertzel), comparable with a sine's peak.
double amplitudeAt(const std::vector<double> &samples, int rate, double frequency)
{
    const double coefficient = 2 * std::cos(2 * std::numbers::pi * frequency / rate);
    double previous = 0, beforePrevious = 0;
    for (const double sample : samples)
        beforePrevious = std::exchange(previous, sample + coefficient * previous - beforePrevious);
    const double power = previous * previous + beforePrevious * beforePrevious -
                         coefficient * previous * beforePrevious;
    return 2 * std::sqrt(std::max(power, 0.0)) / double(samples.size());
}

int toneOfWindow(const std::vector<double> &samples, int rate, const QList<double> &frequencies)
{
    double energy = 0;
    for (const double sample : samples)
        energy += sample * sample;
    const double rms = std::sqrt(energy / double(samples.size()));
    int best = Silent;
    double bestAmplitude = 0;
    for (int i = 0; rms >= QuietRms && i < frequencies.size(); ++i) {
        const double amplitude = amplitudeAt(samples, rate, frequencies.at(i));
        if (amplitude > bestAmplitude)
            std::tie(best, bestAmplitude) = std::pair(i, amplitude);
    }
    // A pure sine's peak is its RMS times the square root of two; a mixture or a noise is not
    // claimed by any one tone.
    return bestAmplitude >= 0.6 * rms * std::numbers::sqrt2 ? best : Silent;
}

} // namespace

QList<HeardTone> heardTones(const QByteArray &recording, int rate, const QList<double> &frequencies)
{
    const int window = rate / 50;
    const auto *samples = reinterpret_cast<const qint16 *>(recording.constData());
    const qint64 windows = recording.size() / 4 / window;
    QList<HeardTone> heard;
    int lastTone = Silent, runTone = Silent;
    qint64 lastEnd = 0, runStart = 0; // in windows
    std::vector<double> left(size_t(window), 0.0);

    const auto closeRun = [&](qint64 end) {
        if (runTone == Silent || end - runStart < MinimumWindows)
            return;
        if (!heard.isEmpty() && runTone == lastTone && runStart - lastEnd <= BridgedWindows)
            heard.last().frames = end * window - heard.last().startFrame;
        else
            heard.append({runTone, runStart * window, (end - runStart) * window});
        lastTone = runTone;
        lastEnd = end;
    };
    for (qint64 w = 0; w <= windows; ++w) {
        for (int i = 0; w < windows && i < window; ++i)
            left[size_t(i)] = samples[2 * (w * window + i)];
        const int tone = w < windows ? toneOfWindow(left, rate, frequencies) : Silent;
        if (tone != runTone) {
            closeRun(w);
            std::tie(runTone, runStart) = std::pair(tone, w);
        }
    }
    return heard;
}
