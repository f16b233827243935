#pragma once
// Field access for the packed little-endian records of gift files and saved
// games, and their 8-bit text (the Windows-1252 code page).
//
// Short strings are one length byte and a fixed number of character bytes;
// text fields are NUL-terminated character arrays of fixed size. Reading
// never leaves the field, whatever a length byte claims.

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <span>

// Every byte has a character: the five bytes that Windows-1252 leaves
// undefined become the control characters of the same number, as on Windows,
// so that text read and written again keeps its bytes.
QString FromWindows1252(std::span<const std::uint8_t> bytes);
// A character outside the code page becomes "?"; *ok, when given, tells
// whether every character had its byte.
QByteArray ToWindows1252(const QString& text, bool* ok = nullptr);

class TPackedReader {
 public:
  explicit TPackedReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::uint8_t U8(std::size_t offset) const;
  std::uint16_t U16(std::size_t offset) const;
  std::int16_t I16(std::size_t offset) const { return std::int16_t(U16(offset)); }
  std::uint32_t U32(std::size_t offset) const;
  std::int32_t I32(std::size_t offset) const { return std::int32_t(U32(offset)); }
  double F64(std::size_t offset) const;
  // A length byte above the capacity is taken as the capacity.
  QString ShortString(std::size_t offset, std::size_t capacity) const;
  // The characters before the first NUL, at most size - 1 of them.
  QString Text(std::size_t offset, std::size_t size) const;
  std::span<const std::uint8_t> Bytes(std::size_t offset, std::size_t size) const;

  // The same calls as TPackedWriter's, so that one list of a record's fields
  // serves both reading and writing it.
  template <std::integral T>
  void Field(std::size_t offset, T& value) const {
    static_assert(sizeof(T) == 1 || sizeof(T) == 2 || sizeof(T) == 4);
    if constexpr (sizeof(T) == 1)
      value = T(U8(offset));
    else if constexpr (sizeof(T) == 2)
      value = T(U16(offset));
    else
      value = T(U32(offset));
  }
  void Field(std::size_t offset, double& value) const { value = F64(offset); }
  template <std::size_t N>
  void Field(std::size_t offset, std::array<std::uint8_t, N>& bytes) const {
    const auto field = Bytes(offset, N);
    std::copy(field.begin(), field.end(), bytes.begin());
  }
  void ShortString(std::size_t offset, std::size_t capacity, QString& text) const {
    text = ShortString(offset, capacity);
  }
  void Text(std::size_t offset, std::size_t size, QString& text) const { text = Text(offset, size); }

 private:
  std::span<const std::uint8_t> bytes_;
};

// Fields are written in full: unused character bytes become zero.
class TPackedWriter {
 public:
  explicit TPackedWriter(std::span<std::uint8_t> bytes) : bytes_(bytes) {}

  void U8(std::size_t offset, std::uint8_t value);
  void U16(std::size_t offset, std::uint16_t value);
  void I16(std::size_t offset, std::int16_t value) { U16(offset, std::uint16_t(value)); }
  void U32(std::size_t offset, std::uint32_t value);
  void I32(std::size_t offset, std::int32_t value) { U32(offset, std::uint32_t(value)); }
  void F64(std::size_t offset, double value);
  // Longer text is cut to the capacity.
  void ShortString(std::size_t offset, std::size_t capacity, const QString& text);
  // Longer text is cut to size - 1 characters.
  void Text(std::size_t offset, std::size_t size, const QString& text);
  void Bytes(std::size_t offset, std::span<const std::uint8_t> bytes);

  template <std::integral T>
  void Field(std::size_t offset, const T& value) {
    static_assert(sizeof(T) == 1 || sizeof(T) == 2 || sizeof(T) == 4);
    if constexpr (sizeof(T) == 1)
      U8(offset, std::uint8_t(value));
    else if constexpr (sizeof(T) == 2)
      U16(offset, std::uint16_t(value));
    else
      U32(offset, std::uint32_t(value));
  }
  void Field(std::size_t offset, const double& value) { F64(offset, value); }
  template <std::size_t N>
  void Field(std::size_t offset, const std::array<std::uint8_t, N>& bytes) {
    Bytes(offset, bytes);
  }

 private:
  std::span<std::uint8_t> Slot(std::size_t offset, std::size_t size);

  std::span<std::uint8_t> bytes_;
};
