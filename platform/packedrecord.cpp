#include "platform/packedrecord.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <stdexcept>

namespace {

// Characters of the bytes 0x80 to 0x9F; the rest of the code page is Latin-1.
// The undefined 0x81, 0x8D, 0x8F, 0x90 and 0x9D keep their own numbers.
constexpr std::array<char16_t, 32> upperControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t CharOf(std::uint8_t byte) {
  return byte >= 0x80 && byte < 0xA0 ? upperControls[byte - 0x80] : char16_t(byte);
}

// The byte of a character, or -1 when the code page has none.
int ByteOf(char16_t ch) {
  if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) return ch;
  const auto* found = std::find(upperControls.begin(), upperControls.end(), ch);
  return found == upperControls.end() ? -1 : int(0x80 + (found - upperControls.begin()));
}

[[noreturn]] void OutsideRecord() { throw std::out_of_range("field outside the record"); }

std::span<const std::uint8_t> CheckedField(std::span<const std::uint8_t> bytes, std::size_t offset,
                                           std::size_t size) {
  if (offset > bytes.size() || size > bytes.size() - offset) OutsideRecord();
  return bytes.subspan(offset, size);
}

}  // namespace

QString FromWindows1252(std::span<const std::uint8_t> bytes) {
  QString text(qsizetype(bytes.size()), Qt::Uninitialized);
  for (std::size_t i = 0; i < bytes.size(); ++i) text[qsizetype(i)] = QChar(CharOf(bytes[i]));
  return text;
}

QByteArray ToWindows1252(const QString& text, bool* ok) {
  QByteArray bytes(text.size(), Qt::Uninitialized);
  if (ok) *ok = true;
  for (qsizetype i = 0; i < text.size(); ++i) {
    int byte = ByteOf(text[i].unicode());
    if (byte < 0) {
      if (ok) *ok = false;
      byte = '?';
    }
    bytes[i] = char(byte);
  }
  return bytes;
}

std::uint8_t TPackedReader::U8(std::size_t offset) const { return CheckedField(bytes_, offset, 1)[0]; }

std::uint16_t TPackedReader::U16(std::size_t offset) const {
  const auto b = CheckedField(bytes_, offset, 2);
  return std::uint16_t(b[0] | (b[1] << 8));
}

std::uint32_t TPackedReader::U32(std::size_t offset) const {
  const auto b = CheckedField(bytes_, offset, 4);
  return std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) |
         (std::uint32_t(b[3]) << 24);
}

double TPackedReader::F64(std::size_t offset) const {
  const auto b = CheckedField(bytes_, offset, 8);
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | b[std::size_t(i)];
  return std::bit_cast<double>(bits);
}

QString TPackedReader::ShortString(std::size_t offset, std::size_t capacity) const {
  const auto field = CheckedField(bytes_, offset, capacity + 1);
  return FromWindows1252(field.subspan(1, std::min<std::size_t>(field[0], capacity)));
}

QString TPackedReader::Text(std::size_t offset, std::size_t size) const {
  const auto field = CheckedField(bytes_, offset, size).first(size - 1);
  const auto end = std::find(field.begin(), field.end(), std::uint8_t(0));
  return FromWindows1252(field.first(std::size_t(end - field.begin())));
}

std::span<const std::uint8_t> TPackedReader::Bytes(std::size_t offset, std::size_t size) const {
  return CheckedField(bytes_, offset, size);
}

std::span<std::uint8_t> TPackedWriter::Slot(std::size_t offset, std::size_t size) {
  if (offset > bytes_.size() || size > bytes_.size() - offset) OutsideRecord();
  return bytes_.subspan(offset, size);
}

void TPackedWriter::U8(std::size_t offset, std::uint8_t value) { Slot(offset, 1)[0] = value; }

void TPackedWriter::U16(std::size_t offset, std::uint16_t value) {
  const auto b = Slot(offset, 2);
  b[0] = std::uint8_t(value);
  b[1] = std::uint8_t(value >> 8);
}

void TPackedWriter::U32(std::size_t offset, std::uint32_t value) {
  const auto b = Slot(offset, 4);
  for (std::size_t i = 0; i < 4; ++i) b[i] = std::uint8_t(value >> (8 * i));
}

void TPackedWriter::F64(std::size_t offset, double value) {
  const auto b = Slot(offset, 8);
  const auto bits = std::bit_cast<std::uint64_t>(value);
  for (std::size_t i = 0; i < 8; ++i) b[i] = std::uint8_t(bits >> (8 * i));
}

void TPackedWriter::ShortString(std::size_t offset, std::size_t capacity, const QString& text) {
  const auto field = Slot(offset, capacity + 1);
  const QByteArray bytes = ToWindows1252(text).left(qsizetype(capacity));
  std::fill(field.begin(), field.end(), std::uint8_t(0));
  field[0] = std::uint8_t(bytes.size());
  std::memcpy(field.data() + 1, bytes.constData(), std::size_t(bytes.size()));
}

void TPackedWriter::Text(std::size_t offset, std::size_t size, const QString& text) {
  const auto field = Slot(offset, size);
  const QByteArray bytes = ToWindows1252(text).left(qsizetype(size) - 1);
  std::fill(field.begin(), field.end(), std::uint8_t(0));
  std::memcpy(field.data(), bytes.constData(), std::size_t(bytes.size()));
}

void TPackedWriter::Bytes(std::size_t offset, std::span<const std::uint8_t> bytes) {
  const auto field = Slot(offset, bytes.size());
  std::copy(bytes.begin(), bytes.end(), field.begin());
}
