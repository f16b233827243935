#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "game/colornames.h"
#include "game/gifttrailer.h"
#include "platform/packedrecord.h"
#include "platform/colors.h"

namespace {

// A trailer laid out by hand, byte by byte, at the offsets of the format.
class TTrailerBytes {
 public:
  TTrailerBytes() : bytes_(3421, 0) {}

  void U8(std::size_t at, std::uint8_t v) { bytes_.at(at) = v; }
  void U16(std::size_t at, std::uint16_t v) {
    U8(at, std::uint8_t(v));
    U8(at + 1, std::uint8_t(v >> 8));
  }
  void U32(std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) U8(at + i, std::uint8_t(v >> (8 * i)));
  }
  void Raw(std::size_t at, const char* text) {
    for (std::size_t i = 0; text[i]; ++i) U8(at + i, std::uint8_t(text[i]));
  }
  void Short(std::size_t at, const char* text) {
    U8(at, std::uint8_t(std::strlen(text)));
    Raw(at + 1, text);
  }
  std::span<const std::uint8_t, 3421> Span() const { return std::span<const std::uint8_t, 3421>(bytes_.data(), 3421); }
  std::vector<std::uint8_t>& Bytes() { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

TEST(GiftTrailer, EveryFieldIsReadAtItsOffset) {
  TTrailerBytes b;
  b.U16(0, 0x0D5D);
  b.U32(2, 0x11223344);
  b.U32(6, 0x01020304);
  b.U32(10, 0xA0B0C0D0);
  b.U32(14, 0xFFFFFFFE);  // -2
  b.Short(18, "v4.1");
  // 2.5 as a little-endian double: 0x4004000000000000.
  b.U32(34, 0x00000000);
  b.U32(38, 0x40040000);
  b.Short(42, "Title here");
  b.Short(107, "The Creator");
  b.Raw(172, "Line one\r\nLine two");
  b.U32(1197, 0x80000005);
  b.U16(1201, 250);
  b.U16(1203, 7);
  b.U32(1205, 0xDEADBEEF);
  b.Raw(1209, "Hello!");
  b.Raw(2234, "Bye!");
  b.U32(3259, 0x00123456);  // opening font colour
  b.U16(3263, 0xFFF5);      // height -11
  b.U8(3265, 2);            // pitch
  b.U8(3266, 0x77);         // reserved
  b.U8(3267, 1 | 4);        // bold, underline
  b.Short(3268, "MS Sans Serif");
  b.U32(3300, 0x80000008);
  b.U16(3304, 20);
  b.U8(3306, 1);
  b.U8(3308, 2);
  b.Short(3309, "Arial");
  b.Short(3341, "clWindow");
  b.Short(3374, "$00FF8040");
  b.U8(3407, 2);
  b.U8(3408, 1);
  b.U32(3409, 6);
  b.U32(3413, 3);
  b.U32(3417, 1);

  const TGiftTrailer t = TGiftTrailer::FromBytes(b.Span());
  EXPECT_EQ(t.RecordSize, 3421);
  EXPECT_EQ(t.PictureOffset, 0x11223344u);
  EXPECT_EQ(t.PictureLength, 0x01020304u);
  EXPECT_EQ(t.MusicOffset, 0xA0B0C0D0u);
  EXPECT_EQ(t.MusicLength, -2);
  EXPECT_EQ(t.CreatorVersion, "v4.1");
  EXPECT_EQ(t.CreatedAt, 2.5);
  EXPECT_EQ(t.Title, "Title here");
  EXPECT_EQ(t.Creator, "The Creator");
  EXPECT_EQ(t.Description, "Line one\r\nLine two");
  EXPECT_EQ(t.BackgroundColor, 0x80000005u);
  EXPECT_EQ(t.RequestedPieces, 250);
  EXPECT_EQ(t.Oddness, 7);
  EXPECT_EQ(t.Seed, 0xDEADBEEFu);
  EXPECT_EQ(t.OpeningText, "Hello!");
  EXPECT_EQ(t.ClosingText, "Bye!");
  EXPECT_EQ(t.OpeningFont.Color, 0x00123456u);
  EXPECT_EQ(t.OpeningFont.Height, -11);
  EXPECT_EQ(t.OpeningFont.Pitch, 2);
  EXPECT_EQ(t.OpeningFont.Reserved, 0x77);
  EXPECT_EQ(t.OpeningFont.Style, fsBold | fsUnderline);
  EXPECT_EQ(t.OpeningFont.Name, "MS Sans Serif");
  EXPECT_EQ(t.ClosingFont.Color, 0x80000008u);
  EXPECT_EQ(t.ClosingFont.Height, 20);
  EXPECT_EQ(t.ClosingFont.Pitch, 1);
  EXPECT_EQ(t.ClosingFont.Style, fsItalic);
  EXPECT_EQ(t.ClosingFont.Name, "Arial");
  EXPECT_EQ(t.OpeningColorName, "clWindow");
  EXPECT_EQ(t.ClosingColorName, "$00FF8040");
  EXPECT_EQ(t.OpeningAlignment, 2);
  EXPECT_EQ(t.ClosingAlignment, 1);
  EXPECT_EQ(t.ShapeStyle, 6u);
  EXPECT_EQ(t.OutlineStyle, 3u);
  EXPECT_EQ(t.RotationOn, 1u);

  // Writing gives the same bytes back (unused bytes are zero in both).
  const TGiftTrailer::TBytes written = t.ToBytes();
  EXPECT_TRUE(std::equal(written.begin(), written.end(), b.Bytes().begin()));
}

TEST(GiftTrailer, HostileLengthsStayInsideTheirFields) {
  TTrailerBytes b;
  b.U8(18, 255);                 // CreatorVersion claims 255 of its 15 characters
  b.Raw(19, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");  // runs on into CreatedAt
  for (std::size_t i = 172; i < 172 + 1025; ++i) b.U8(i, 'x');  // Description without its NUL
  const TGiftTrailer t = TGiftTrailer::FromBytes(b.Span());
  EXPECT_EQ(t.CreatorVersion, "ABCDEFGHIJKLMNO");
  EXPECT_EQ(t.Description.size(), 1024);

  // Texts longer than their fields are cut when written.
  TGiftTrailer longTexts;
  longTexts.Title = QString(100, u'T');
  longTexts.OpeningText = QString(2000, u'o');
  const TGiftTrailer back = TGiftTrailer::FromBytes(longTexts.ToBytes());
  EXPECT_EQ(back.Title, QString(64, u'T'));
  EXPECT_EQ(back.OpeningText, QString(1024, u'o'));
  EXPECT_EQ(back.ClosingText, "");
}

TEST(Windows1252, EveryByteHasACharacterAndComesBack) {
  std::vector<std::uint8_t> all(256);
  for (int i = 0; i < 256; ++i) all[std::size_t(i)] = std::uint8_t(i);
  const QString text = FromWindows1252(all);
  EXPECT_EQ(text[0x80], QChar(0x20AC));  // euro sign
  EXPECT_EQ(text[0x92], QChar(0x2019));  // right single quote
  EXPECT_EQ(text[0x9F], QChar(0x0178));  // Y with diaeresis
  EXPECT_EQ(text[0x81], QChar(0x0081));  // undefined: kept as its control character
  EXPECT_EQ(text[0xE9], QChar(0x00E9));  // e acute
  bool ok = false;
  const QByteArray back = ToWindows1252(text, &ok);
  EXPECT_TRUE(ok);
  ASSERT_EQ(back.size(), 256);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(std::uint8_t(back[i]), i);

  EXPECT_EQ(ToWindows1252(QString::fromUtf8("a\u4E2Db"), &ok), "a?b");
  EXPECT_FALSE(ok);
}

TEST(ColorNames, IdentifiersAndNumbers) {
  EXPECT_EQ(ColorFromName("clWindow"), 0x80000005u);
  EXPECT_EQ(ColorFromName("CLWINDOW"), 0x80000005u);
  EXPECT_EQ(ColorFromName("clwindowtext"), 0x80000008u);
  EXPECT_EQ(ColorFromName("clNavy"), 0x800000u);
  EXPECT_EQ(ColorFromName("clSkyBlue"), 0xF0CAA6u);
  EXPECT_EQ(ColorFromName("clMedGray"), 0xA4A0A0u);
  EXPECT_EQ(ColorFromName("clNone"), 0x1FFFFFFFu);
  EXPECT_EQ(ColorFromName("clDefault"), 0x20000000u);
  EXPECT_EQ(ColorFromName("clInfoBk"), 0x80000018u);
  EXPECT_EQ(ColorFromName("cl3DDkShadow"), 0x80000015u);
  EXPECT_EQ(ColorFromName("clBtnFace"), SystemColor(COLOR_BTNFACE));

  EXPECT_EQ(ColorFromName("255"), 0xFFu);
  EXPECT_EQ(ColorFromName("-2147483643"), 0x80000005u);
  EXPECT_EQ(ColorFromName("$80000005"), 0x80000005u);
  EXPECT_EQ(ColorFromName("$00ff8040"), 0xFF8040u);
  EXPECT_EQ(ColorFromName("0x00C0C0C0"), 0xC0C0C0u);
  EXPECT_EQ(ColorFromName("0XFFFFFFFF"), 0xFFFFFFFFu);

  for (const char* bad : {"", "clNothing", "Window", "12abc", "$", "0x", "$-5", " 12", "12 ", "2147483648",
                          "$100000000", "#FF0000"})
    EXPECT_FALSE(ColorFromName(QString::fromLatin1(bad)).has_value()) << bad;

  EXPECT_EQ(ColorName(0xC0C0C0), "clSilver");  // the first of clSilver and clLtGray
  EXPECT_EQ(ColorName(0x80000005), "clWindow");
  EXPECT_EQ(ColorName(0x4F4F2F), "$004F4F2F");
}

}  // namespace
