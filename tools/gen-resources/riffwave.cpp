#include "tools/gen-resources/riffwave.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

void AppendTag(QByteArray& out, const char (&tag)[5]) { out.append(tag, 4); }

void Append32(QByteArray& out, std::uint32_t value) {
  char bytes[4];
  qToLittleEndian(value, bytes);
  out.append(bytes, 4);
}

void Append16(QByteArray& out, std::uint16_t value) {
  char bytes[2];
  qToLittleEndian(value, bytes);
  out.append(bytes, 2);
}

}  // namespace

QByteArray RiffWave8(const std::vector<double>& samples, int rate) {
  const auto dataSize = std::uint32_t(samples.size());
  QByteArray out;
  out.reserve(int(44 + dataSize + 1));
  AppendTag(out, "RIFF");
  Append32(out, 36 + dataSize + (dataSize & 1));
  AppendTag(out, "WAVE");
  AppendTag(out, "fmt ");
  Append32(out, 16);
  Append16(out, 1);  // PCM
  Append16(out, 1);  // mono
  Append32(out, std::uint32_t(rate));
  Append32(out, std::uint32_t(rate));  // bytes per second
  Append16(out, 1);                    // bytes per sample frame
  Append16(out, 8);                    // bits per sample
  AppendTag(out, "data");
  Append32(out, dataSize);
  for (double s : samples) {
    const long level = std::clamp(128L + std::lround(s * 127.0), 1L, 255L);
    out.append(char(std::uint8_t(level)));
  }
  if (dataSize & 1) out.append('\0');  // chunks are word aligned
  return out;
}
