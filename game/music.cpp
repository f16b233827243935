#include "game/music.h"

#include <cstring>

QByteArray ExtractMusic(QFile& gift, const TGiftTrailer& trailer) {
  if (trailer.MusicLength <= 0) return {};
  const qint64 end = qint64(trailer.MusicOffset) + trailer.MusicLength;
  if (end > gift.size() || !gift.seek(trailer.MusicOffset)) return {};
  QByteArray music = gift.read(trailer.MusicLength);
  if (music.size() != trailer.MusicLength) return {};
  return music;
}

namespace {

using TBytes = std::span<const std::uint8_t>;

std::uint32_t BigEndian(TBytes bytes, std::size_t at, std::size_t count) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < count; ++i) value = (value << 8) | bytes[at + i];
  return value;
}

// One track chunk read event by event, as the synthesizer reads it: every
// event lies inside the chunk, which ends at its End of Track event or at
// the chunk's end.
bool IsTrack(TBytes track) {
  std::size_t at = 0;
  auto next = [&](std::uint8_t& byte) {
    if (at >= track.size()) return false;
    byte = track[at++];
    return true;
  };
  auto number = [&](std::uint32_t& value) {  // at most four bytes of seven bits
    value = 0;
    for (int i = 0; i < 4; ++i) {
      std::uint8_t byte;
      if (!next(byte)) return false;
      value = (value << 7) | (byte & 0x7F);
      if ((byte & 0x80) == 0) return true;
    }
    return false;
  };
  auto skip = [&](std::uint32_t count) {
    if (count > track.size() - at) return false;
    at += count;
    return true;
  };

  std::uint8_t runningStatus = 0;
  while (at < track.size()) {
    std::uint32_t delta, length;
    std::uint8_t status, type;
    if (!number(delta) || !next(status)) return false;
    if (status < 0x80) {  // a data byte: the last channel message's status again
      if (runningStatus == 0) return false;
      --at;
      status = runningStatus;
    }
    if (status == 0xFF) {
      if (!next(type) || !number(length) || !skip(length)) return false;
      if (type == 0x2F) return true;
    } else if (status == 0xF0 || status == 0xF7) {
      if (!number(length) || !skip(length)) return false;
    } else if (status > 0xF0) {
      return false;  // real-time and common messages have no place in a file
    } else {
      runningStatus = status;
      // Program change and channel pressure carry one data byte, the others two.
      if (!skip((status & 0xE0) == 0xC0 ? 1 : 2)) return false;
    }
  }
  return true;
}

}  // namespace

// The header gives the format (0 to 2), the number of tracks and a time
// division in ticks per quarter note (frames per second are not played);
// that many track chunks follow, with other chunks between them skipped.
QString MidiProblem(TBytes file) {
  if (file.size() < 14 || std::memcmp(file.data(), "MThd", 4) != 0)
    return QStringLiteral("it does not start with a MIDI header");
  if (BigEndian(file, 4, 4) != 6) return QStringLiteral("its header has a wrong length");
  const std::uint32_t format = BigEndian(file, 8, 2);
  const std::uint32_t tracks = BigEndian(file, 10, 2);
  if (format > 2) return QStringLiteral("its format %1 is not 0, 1 or 2").arg(format);
  if (tracks == 0) return QStringLiteral("it has no tracks");
  if ((file[12] & 0x80) != 0) return QStringLiteral("it counts time in frames, which is not played");
  std::size_t at = 14;
  for (std::uint32_t found = 0; found < tracks;) {
    if (file.size() - at < 8) return QStringLiteral("it ends after %1 of its %2 tracks").arg(found).arg(tracks);
    for (std::size_t i = 0; i < 4; ++i)
      if (file[at + i] >= 0x80) return QStringLiteral("a chunk after track %1 has no name").arg(found);
    const std::uint32_t length = BigEndian(file, at + 4, 4);
    const std::size_t start = at + 8;
    if (length > file.size() - start) return QStringLiteral("track %1 is cut short").arg(found + 1);
    if (std::memcmp(&file[at], "MTrk", 4) == 0) {
      if (!IsTrack(file.subspan(start, length))) return QStringLiteral("track %1 is damaged").arg(found + 1);
      ++found;
    }
    at = start + length;
  }
  return {};
}
