#ifndef WAVINFO_H
#define WAVINFO_H

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

// The few facts of a WAV sound shown beside it. All zero means unknown.
struct WavInfo
{
    quint32 channels = 0;      // only the low 16 bits are meaningful
    quint32 sampleRate = 0;
    quint32 bitsPerSample = 0; // only the low 16 bits are meaningful
    float duration = 0;        // seconds

    bool operator==(const WavInfo&) const = default;
};

// Reads the facts from the format and data chunks of a RIFF/WAVE file. A chunk
// that is not found is read where the canonical layout has it (a 16-byte format
// chunk directly followed by the data chunk), whatever the bytes there are
// called. Anything but PCM (audio format 1) gives all zeros; missing bytes read
// as zeros.
WavInfo readWavInfo(QByteArrayView wav);

// True when the duration can be worked out at all: a sound without channels,
// sample rate or sample size has none.
bool hasDuration(const WavInfo& info);

// The duration in seconds, six significant digits ("1.5"), or "--" when the
// sound has none.
QString durationText(const WavInfo& info);

#endif
