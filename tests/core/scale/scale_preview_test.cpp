#include "core/scale/scale_preview.h"

#include <gtest/gtest.h>

namespace zizara::core::scale {
namespace {

namespace w = image_words;

ScaleRecord Scale(int dynamics) {
  ScaleRecord r;
  r.SetReference(18.0);
  r.SetDynamicsPosition(dynamics);
  return r;
}

void AddLine(ScaleRecord& r, int n, double db, int style, const QByteArray& label = {}) {
  r.SetLineLevel(n, db);
  r.SetLineStyle(n, style);
  r.SetLineLabel(n, label);
}

TEST(ScalePreviewTest, OneStyledLineDrawsNothingNew) {
  ScaleRecord r = Scale(0);
  AddLine(r, 0, -10, 1, "x");
  const PreviewDrawing d = LayOutPreview(BuildScaleImage(r));
  EXPECT_FALSE(d.redraw);
  EXPECT_TRUE(d.lines.empty());
  EXPECT_TRUE(d.labels.empty());
  ScaleRecord empty = Scale(0);
  // No styled line at all: 0xFFFF and 0 differ, so the panel is cleared and stays empty.
  const PreviewDrawing none = LayOutPreview(BuildScaleImage(empty));
  EXPECT_TRUE(none.redraw);
  EXPECT_TRUE(none.lines.empty());
}

TEST(ScalePreviewTest, VuRowsAreLinearFromThirtyToFourHundredThirty) {
  ScaleRecord r = Scale(3);  // IEC 268-17 VU, 0x603: L(v) = v
  AddLine(r, 0, 0, 1, "0");
  AddLine(r, 1, -20, 3, "-20");
  AddLine(r, 2, -6.0206, 5);  // half the full value
  const ScaleImage image = BuildScaleImage(r);
  const PreviewDrawing d = LayOutPreview(image);
  ASSERT_TRUE(d.redraw);
  ASSERT_EQ(d.lines.size(), 3u);
  // Labelled groups first: style 1 (white solid) at row 30, style 3 (red solid) at row 430.
  EXPECT_EQ(d.lines[0].y1, 30);
  EXPECT_EQ(d.lines[0].x1, 35);
  EXPECT_EQ(d.lines[0].x2, 89);
  EXPECT_EQ(d.lines[0].color, PenColor::kWhite);
  EXPECT_FALSE(d.lines[0].dotted);
  EXPECT_EQ(d.lines[1].y1, 430);
  EXPECT_EQ(d.lines[1].color, PenColor::kRed);
  const double v = image[w::kLargest] / 2.0;
  const double expected = 30 + (image[w::kLargest] - std::round(v)) * 400.0 /
                                   (image[w::kLargest] - image[w::kSmallest]);
  EXPECT_NEAR(d.lines[2].y1, expected, 1.0);
  EXPECT_EQ(d.lines[2].color, PenColor::kYellow);
  ASSERT_EQ(d.labels.size(), 2u);
  EXPECT_EQ(d.labels[0].text, "0");
  EXPECT_EQ(d.labels[0].right, 32);
  EXPECT_EQ(d.labels[0].top, 24);
  EXPECT_EQ(d.labels[1].text, "-20");
  EXPECT_EQ(d.labels[1].top, 424);
}

TEST(ScalePreviewTest, OtherLawsPutTheSmallestValueAtRowFourHundredThirty) {
  for (int dynamics : {0, 2, 9, 13}) {
    ScaleRecord r = Scale(dynamics);
    AddLine(r, 0, 0, 2);
    AddLine(r, 1, -40, 4);
    const PreviewDrawing d = LayOutPreview(BuildScaleImage(r));
    ASSERT_EQ(d.lines.size(), 2u);
    EXPECT_EQ(d.lines[0].y1, 30) << dynamics;
    EXPECT_EQ(d.lines[1].y1, 430) << dynamics;
    EXPECT_TRUE(d.lines[0].dotted);
    EXPECT_TRUE(d.lines[1].dotted);
  }
}

TEST(ScalePreviewTest, ThreeSegmentLaws) {
  ScaleImage image{};
  image[w::kCodeWord] = 0x604;
  image[w::kSmallest] = 104;
  image[w::kLargest] = 32767;
  EXPECT_EQ(LevelLaw(0x604, 0, 0, 32767), 0);
  EXPECT_EQ(LevelLaw(0x604, 0, 0, 10362), -16384);
  EXPECT_EQ(PreviewRow(image, 32767), 30);
  // Upper segment: 30 + (0 − L(20000)) × 133 / (0 − L(10362)).
  EXPECT_EQ(PreviewRow(image, 20000), 87);
  // Middle segment starts at 30 + 67.
  const double l_mid = LevelLaw(0x604, 0, 0, 5000);
  const double l_upper = LevelLaw(0x604, 0, 0, 10362);
  const double l_lower = LevelLaw(0x604, 0, 0, 1036);
  EXPECT_EQ(PreviewRow(image, 5000), std::lround(97 + (0 - l_mid) * 133 / (l_upper - l_lower)));
  image[w::kCodeWord] = 0x608;
  EXPECT_EQ(PreviewRow(image, 20000), 87);
  // 0x605 splits at 29203 and 23197 instead.
  image[w::kCodeWord] = 0x605;
  const double l_605 = LevelLaw(0x605, 0, 0, 25000);
  EXPECT_EQ(PreviewRow(image, 25000),
            std::lround(97 + (0 - l_605) * 133 /
                                 (LevelLaw(0x605, 0, 0, 29203) - LevelLaw(0x605, 0, 0, 23197))));
  // Value 0 under a logarithmic law sits where 1 would, instead of at an undefined row.
  EXPECT_EQ(PreviewRow(image, 0), PreviewRow(image, 1));
  // A zero-width segment adds nothing instead of dividing by zero.
  image[w::kSmallest] = 23197;
  EXPECT_EQ(PreviewRow(image, 23197), 163);
}

TEST(ScalePreviewTest, OtherLawUsesConstants) {
  EXPECT_EQ(LevelLaw(0x602, 752, 126, 0), 0);
  const double v = 16000;
  EXPECT_EQ(LevelLaw(0x602, 752, 126, v),
            std::round(32768 * (std::log10((v + 126) / 32768) + (v / 32768) * (752 / 32768.0))));
}

TEST(ScalePreviewTest, MarkersAndHints) {
  ScaleRecord r = Scale(3);
  AddLine(r, 0, 0, 1);
  AddLine(r, 1, -20, 1);
  AddLine(r, 2, -2, 8);   // overload
  AddLine(r, 3, -18, 7);  // underload
  const ScaleImage image = BuildScaleImage(r);
  const PreviewDrawing d = LayOutPreview(image);
  ASSERT_EQ(d.lines.size(), 4u);
  const PreviewLine& under = d.lines[2];  // unlabelled style 7 comes before style 8
  const PreviewLine& over = d.lines[3];
  EXPECT_EQ(under.x1, 95);
  EXPECT_EQ(under.x2, 95);
  EXPECT_EQ(under.width, 2);
  EXPECT_EQ(under.color, PenColor::kGreen);
  EXPECT_EQ(under.y2, PreviewRow(image, image[w::kSmallest] + 1));
  EXPECT_EQ(over.color, PenColor::kRed);
  EXPECT_EQ(over.y1, PreviewRow(image, image[w::kLargest] - 1));
  EXPECT_EQ(over.y1, 30);
  ASSERT_TRUE(d.overload_row && d.underload_row);
  EXPECT_EQ(*d.overload_row, over.y2);
  EXPECT_EQ(*d.underload_row, under.y1);
  EXPECT_LT(*d.overload_row, *d.underload_row);

  EXPECT_EQ(MarkerHint(95, *d.overload_row - 1, d.overload_row, d.underload_row), "Overload");
  EXPECT_EQ(MarkerHint(95, *d.overload_row, d.overload_row, d.underload_row), "");
  EXPECT_EQ(MarkerHint(92, *d.underload_row, d.overload_row, d.underload_row), "Underload");
  EXPECT_EQ(MarkerHint(100, *d.underload_row, d.overload_row, d.underload_row), "");
  EXPECT_EQ(MarkerHint(95, 30, d.overload_row, d.underload_row), "");
  EXPECT_EQ(MarkerHint(95, 432, d.overload_row, d.underload_row), "");
  EXPECT_EQ(MarkerHint(95, 200, std::nullopt, std::nullopt), "");
}

TEST(ScalePreviewTest, ArbitraryWordsStayInsideTheImage) {
  ScaleImage image{};
  image.fill(0xFFFF);
  image[w::kSmallest] = 0;
  const PreviewDrawing d = LayOutPreview(image);  // counts far beyond the image
  EXPECT_TRUE(d.redraw);
  EXPECT_TRUE(d.lines.empty());  // code 0xFFFF has no pen
  image[w::kGroupCount] = 1;
  image[10] = 2;
  image[11] = 0;
  image[14] = 3;  // three labels, but only two lines
  for (int i = 15; i < 128; ++i) image[i] = 4;
  const PreviewDrawing d2 = LayOutPreview(image);
  EXPECT_EQ(d2.lines.size(), 2u);
  EXPECT_EQ(d2.labels.size(), 2u);
}

}  // namespace
}  // namespace zizara::core::scale
