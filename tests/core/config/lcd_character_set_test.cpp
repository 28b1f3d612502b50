#include "core/config/lcd_character_set.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace zizara::core::config {
namespace {

constexpr int kRowsPerGlyph = 8;
constexpr int kGlyphCount = 352;

using GlyphRows = std::array<std::uint8_t, kRowsPerGlyph>;

// Undoes the image word order so rows read top to bottom.
GlyphRows DecodeGlyph(int glyph) {
  const auto& table = LcdCharacterSet();
  GlyphRows rows{};
  for (int r = 0; r < kRowsPerGlyph; ++r) {
    rows[r] = table[static_cast<std::size_t>(kRowsPerGlyph * glyph + (r ^ 1))];
  }
  return rows;
}

// Renders rows as '#'/'.' lines so a failing comparison shows the two pictures.
std::string Render(const GlyphRows& rows) {
  std::string out;
  for (std::uint8_t row : rows) {
    for (int bit = 7; bit >= 0; --bit) out += ((row >> bit) & 1) ? '#' : '.';
    out += '\n';
  }
  return out;
}

std::string Picture(const std::array<const char*, kRowsPerGlyph>& lines) {
  std::string out;
  for (const char* line : lines) {
    out += line;
    out += '\n';
  }
  return out;
}

bool IsBlank(const GlyphRows& rows) {
  for (std::uint8_t row : rows) {
    if (row != 0) return false;
  }
  return true;
}

TEST(LcdCharacterSetTest, TableCoversAllGlyphs) {
  EXPECT_EQ(LcdCharacterSet().size(), 2816u);
  EXPECT_EQ(LcdCharacterSet().size(), static_cast<std::size_t>(kGlyphCount * kRowsPerGlyph));
}

// Neither picture is symmetric between the rows of a word pair, so a table written in plain
// row order (or swapped twice) fails here.
TEST(LcdCharacterSetTest, GlyphsAreStoredInImageWordOrder) {
  EXPECT_EQ(Render(DecodeGlyph(0x30)), Picture({
                                           ".#####..",
                                           "##...##.",
                                           "##..###.",
                                           "##.####.",
                                           "####.##.",
                                           "###..##.",
                                           ".#####..",
                                           "........",
                                       }));
  EXPECT_EQ(Render(DecodeGlyph(0x41)), Picture({
                                           "..##....",
                                           ".####...",
                                           "##..##..",
                                           "##..##..",
                                           "######..",
                                           "##..##..",
                                           "##..##..",
                                           "........",
                                       }));
  // Raw bytes: the first byte of glyph 'A' holds its second row.
  EXPECT_EQ(LcdCharacterSet()[8 * 0x41], 0x78);
  EXPECT_EQ(LcdCharacterSet()[8 * 0x41 + 1], 0x30);
}

TEST(LcdCharacterSetTest, PrintableAsciiGlyphsAreDrawnAndDistinct) {
  EXPECT_TRUE(IsBlank(DecodeGlyph(0x20))) << Render(DecodeGlyph(0x20));

  for (int c = 0x21; c <= 0x7E; ++c) {
    EXPECT_FALSE(IsBlank(DecodeGlyph(c))) << "glyph '" << static_cast<char>(c) << "' is blank";
  }
  for (int a = 0x21; a <= 0x7E; ++a) {
    for (int b = a + 1; b <= 0x7E; ++b) {
      EXPECT_NE(DecodeGlyph(a), DecodeGlyph(b)) << "'" << static_cast<char>(a) << "' and '"
                                                << static_cast<char>(b) << "' look identical:\n"
                                                << Render(DecodeGlyph(a));
    }
  }
}

// The meter display picks bar glyphs by arithmetic on these bases, so each step must add
// exactly one pixel column or row.
TEST(LcdCharacterSetTest, MeterFillGlyphsGrowOnePixelPerStep) {
  constexpr int kBarLeftFill = 0x100;
  constexpr int kBarRightFill = 0x109;
  constexpr int kLevelBottomFill = 0x112;
  constexpr int kLevelTopFill = 0x11B;

  for (int n = 0; n <= 8; ++n) {
    SCOPED_TRACE("fill " + std::to_string(n));
    GlyphRows left{};
    GlyphRows right{};
    GlyphRows bottom{};
    GlyphRows top{};
    for (int r = 0; r < kRowsPerGlyph; ++r) {
      left[r] = static_cast<std::uint8_t>(0xFF00 >> n);
      right[r] = static_cast<std::uint8_t>((1u << n) - 1);
      bottom[r] = r >= kRowsPerGlyph - n ? 0xFF : 0x00;
      top[r] = r < n ? 0xFF : 0x00;
    }
    EXPECT_EQ(Render(DecodeGlyph(kBarLeftFill + n)), Render(left));
    EXPECT_EQ(Render(DecodeGlyph(kBarRightFill + n)), Render(right));
    EXPECT_EQ(Render(DecodeGlyph(kLevelBottomFill + n)), Render(bottom));
    EXPECT_EQ(Render(DecodeGlyph(kLevelTopFill + n)), Render(top));
  }
}

}  // namespace
}  // namespace zizara::core::config
