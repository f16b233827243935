#pragma once
// The record that forms the last 3,421 bytes of every gift file: where the
// picture and the music lie, how to cut the puzzle, and the creator's texts,
// fonts and colours. Packed and little-endian; read and written field by
// field.

#include <QString>

#include <array>
#include <cstdint>
#include <span>

#include "platform/colors.h"
#include "platform/types.h"

enum TFontStyleBit : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A font as the splash shows the creator's message (41 bytes on file).
struct TFontSpec {
  static constexpr std::size_t FileSize = 41;
  static constexpr std::size_t NameCapacity = 31;

  TColor Color = SystemColor(COLOR_WINDOWTEXT);
  std::int16_t Height = -11;  // negative: character height in pixels
  std::uint8_t Pitch = 0;     // 0 default, 1 variable, 2 fixed
  std::uint8_t Reserved = 0;  // not read by the player; kept when read
  std::uint8_t Style = 0;     // TFontStyleBit set
  QString Name = QStringLiteral("MS Sans Serif");

  friend bool operator==(const TFontSpec&, const TFontSpec&) = default;
};

struct TGiftTrailer {
  static constexpr std::size_t FileSize = 3421;
  static constexpr std::uint16_t ValidRecordSize = 3421;
  // Character capacities of the text fields.
  static constexpr std::size_t VersionCapacity = 15;
  static constexpr std::size_t NameCapacity = 64;  // Title and Creator
  static constexpr std::size_t TextCapacity = 1024;  // Description and the messages
  static constexpr std::size_t ColorNameCapacity = 32;

  std::uint16_t RecordSize = ValidRecordSize;
  std::uint32_t PictureOffset = 0;  // absolute file offsets
  std::uint32_t PictureLength = 0;
  std::uint32_t MusicOffset = 0;
  std::int32_t MusicLength = 0;  // 0 or less: no music
  QString CreatorVersion;        // "v4.1"
  double CreatedAt = 0.0;        // days since 30 December 1899, fraction = time of day
  QString Title;
  QString Creator;
  QString Description;
  TColor BackgroundColor = clBtnFace;
  std::uint16_t RequestedPieces = 100;
  std::uint16_t Oddness = 3;
  std::uint32_t Seed = 0;
  QString OpeningText;
  QString ClosingText;
  TFontSpec OpeningFont;
  TFontSpec ClosingFont;
  QString OpeningColorName = QStringLiteral("clWindow");
  QString ClosingColorName = QStringLiteral("clWindow");
  std::uint8_t OpeningAlignment = 0;  // 0 left, 1 right, 2 centred
  std::uint8_t ClosingAlignment = 0;
  std::uint32_t ShapeStyle = 1;    // 1 Classic .. 6 Mix
  std::uint32_t OutlineStyle = 2;  // 0 None, 1 Paper, 2 Card, 3 Wood
  std::uint32_t RotationOn = 0;    // non-zero: pieces may be rotated

  using TBytes = std::array<std::uint8_t, FileSize>;

  static TGiftTrailer FromBytes(std::span<const std::uint8_t, FileSize> bytes);
  // Texts longer than their fields are cut; characters outside the code page
  // become "?" (the gift tool checks both before it writes).
  TBytes ToBytes() const;

  friend bool operator==(const TGiftTrailer&, const TGiftTrailer&) = default;
};
