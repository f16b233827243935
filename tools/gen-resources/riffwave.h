#pragma once
// Complete RIFF wave images: PCM, mono, 8 bits per sample.

#include <QByteArray>

#include <vector>

// The 44-byte header followed by the samples as unsigned bytes centred on 128
// (-1 maps to 1, +1 to 255; anything beyond is clamped).
QByteArray RiffWave8(const std::vector<double>& samples, int rate);

// Number of samples a mono 8-bit image of totalBytes bytes holds.
constexpr int RiffWave8SampleCount(int totalBytes) { return totalBytes - 44; }
