#include "core/scale/scale_image.h"

#include <gtest/gtest.h>

#include "core/scale/number_field.h"

namespace zizara::core::scale {
namespace {

namespace w = image_words;

TEST(ScaleImageTest, EmptyScale) {
  ScaleRecord r;  // all zero: digital, dynamics 0, no styles
  const ScaleImage image = BuildScaleImage(r);
  EXPECT_EQ(image[w::kSmallest], 0xFFFF);
  EXPECT_EQ(image[w::kLargest], 0);
  EXPECT_EQ(image[w::kGroupCount], 0);
  EXPECT_EQ(image[w::kFirstGroup], 0);  // label count
  EXPECT_EQ(image[w::kCodeWord], 0x600);
  EXPECT_EQ(image[w::kDigital], kDigitalMarker);
  EXPECT_EQ(image[w::kMarker8], 0xD2F2);
  r.SetDigital(false);
  EXPECT_EQ(BuildScaleImage(r)[w::kDigital], 0);
}

TEST(ScaleImageTest, HeaderWords) {
  ScaleRecord r;
  r.SetShortName("PPM");  // the fourth byte is the pre-filled blank
  r.SetDynamicsPosition(3);
  ScaleImage image = BuildScaleImage(r);
  EXPECT_EQ(image[w::kName12], 'P' + 256 * 'P');
  EXPECT_EQ(image[w::kName34], 'M' + 256 * ' ');
  EXPECT_EQ(image[w::kCodeWord], 0x603);
  EXPECT_EQ(image[w::kConstantA], 32767);
  EXPECT_EQ(image[w::kConstantB], 767);
  r.SetDynamicsPosition(9);
  EXPECT_EQ(BuildScaleImage(r)[w::kCodeWord], 0xA09);
  r.SetDynamicsPosition(2);
  image = BuildScaleImage(r);
  EXPECT_EQ(image[w::kConstantA], 752);
  EXPECT_EQ(image[w::kConstantB], 126);
  r.SetDynamicsPosition(200);  // off the list: no code word and no constants
  image = BuildScaleImage(r);
  EXPECT_EQ(image[w::kCodeWord], 0);
  EXPECT_EQ(image[w::kConstantA], 0);
}

TEST(ScaleImageTest, FullScaleFactorAndLineValues) {
  EXPECT_EQ(FullScaleFactor(18.0), 32767);
  EXPECT_EQ(LineValue(0.0, 32767), 32767);
  EXPECT_EQ(LineValue(-6.0, 32767), 16422);
  EXPECT_EQ(FullScaleFactor(0.0), 4125);  // 32767 × 10^(-18/20)
  // Kept as a 16-bit number, as the instrument's word holds it.
  EXPECT_EQ(FullScaleFactor(30.0),
            static_cast<std::uint16_t>(std::lround(32767 * std::pow(10.0, 0.6))));
  EXPECT_EQ(LineValue(1e9, 32767), 0);  // no finite value: never undefined behaviour
}

TEST(ScaleImageTest, TwoLabelledLinesAndOneUnlabelled) {
  ScaleRecord r;
  r.SetReference(18.0);
  r.SetLineStyle(0, 1);
  r.SetLineLabel(0, "0");
  r.SetLineLevel(0, 0.0);
  r.SetLineStyle(1, 1);
  r.SetLineLabel(1, "-10");
  r.SetLineLevel(1, -10.0);
  r.SetLineStyle(2, 4);
  r.SetLineLevel(2, -20.0);
  const ScaleImage image = BuildScaleImage(r);
  const std::uint16_t v1 = 32767;
  const std::uint16_t v2 = LineValue(-10.0, 32767);
  const std::uint16_t v3 = LineValue(-20.0, 32767);
  EXPECT_EQ(image[w::kGroupCount], 2);
  const std::vector<std::uint16_t> expected = {2, 0, v1, v2, 1, 3, v3, 2, 1, 0x30, 3, 0x2D, 0x3031};
  EXPECT_EQ(std::vector<std::uint16_t>(image.begin() + 10, image.begin() + 23), expected);
  EXPECT_EQ(image[23], 0);
  EXPECT_EQ(image[w::kSmallest], v3);
  EXPECT_EQ(image[w::kLargest], v1);
}

TEST(ScaleImageTest, GroupsByStyleLabelsTrimmedAndStoredBack) {
  ScaleRecord r;
  r.SetReference(18.0);
  // Unlabelled style 2 comes after every labelled group; labelled style 8 before it.
  r.SetLineStyle(0, 2);
  r.SetLineLabel(0, " \t ");  // blanks and controls only: unlabelled
  r.SetLineStyle(5, 8);
  r.SetLineLabel(5, "OV\x01 ");
  r.SetLineStyle(3, 3);
  r.SetLineLabel(3, " 5");  // leading blank stays in the label
  r.SetLineStyle(4, 0);
  r.SetLineLabel(4, "skip");
  r.SetLineStyle(6, 12);  // off the list: counts as unstyled
  r.SetLineLevel(6, 5.0);
  const ScaleImage image = BuildScaleImage(r);
  const std::uint16_t v = 32767;
  const std::vector<std::uint16_t> expected = {
      3,  // groups
      1,
      2,
      v,
      1,
      7,
      v,
      1,
      1,
      v,  // labelled style 3, 8; unlabelled style 2
      2,
      2,
      ' ' + 256 * '5',
      2,
      'O' + 256 * 'V'  // labels
  };
  EXPECT_EQ(std::vector<std::uint16_t>(image.begin() + 9, image.begin() + 9 + expected.size()),
            expected);
  EXPECT_EQ(r.LineLabel(5), "OV");
  EXPECT_EQ(r.LineLabel(3), " 5");
  EXPECT_EQ(r.LineLabel(0), " \t ");  // unlabelled lines are not trimmed
  EXPECT_EQ(image[w::kLargest], v);
}

TEST(ScaleImageTest, LabelPackingByLength) {
  ScaleRecord r;
  const char* labels[] = {"a", "bc", "def", "ghij"};
  for (int n = 0; n < 4; ++n) {
    r.SetLineStyle(n, 1);
    r.SetLineLabel(n, labels[n]);
  }
  const ScaleImage image = BuildScaleImage(r);
  const std::vector<std::uint16_t> expected = {
      4, 1, 'a', 2, 'b' + 256 * 'c', 3, 'd', 'e' + 256 * 'f', 4, 'g' + 256 * 'h', 'i' + 256 * 'j'};
  EXPECT_EQ(std::vector<std::uint16_t>(image.begin() + 16, image.begin() + 16 + expected.size()),
            expected);
}

TEST(ScaleImageTest, FullScaleNeverWritesPastTheImage) {
  ScaleRecord r;
  for (int n = 0; n < kLineCount; ++n) {
    r.SetLineStyle(n, 1 + n % 8);
    r.SetLineLabel(n, "WXYZ");
    r.SetLineLevel(n, -n);
  }
  const ScaleImage image = BuildScaleImage(r);
  EXPECT_EQ(image[w::kGroupCount], 8);
  EXPECT_EQ(image[10 + 16 + 28], 28);  // label count right after the groups
  EXPECT_EQ(ImageBytes(image).size(), kImageBytes);
}

TEST(ScaleImageTest, BytesAreHighByteFirst) {
  ScaleImage image{};
  image[0] = 0x1234;
  image[127] = 0xABCD;
  const QByteArray bytes = ImageBytes(image);
  ASSERT_EQ(bytes.size(), 256);
  EXPECT_EQ(bytes.left(2), QByteArray("\x12\x34"));
  EXPECT_EQ(bytes.right(2), QByteArray("\xAB\xCD"));
}

TEST(NumberFieldTest, ReadingRule) {
  EXPECT_DOUBLE_EQ(ReadNumberField("1.27"), 1.27);
  EXPECT_DOUBLE_EQ(ReadNumberField("1,27"), 1.27);
  EXPECT_DOUBLE_EQ(ReadNumberField("-0,5"), -0.5);
  EXPECT_DOUBLE_EQ(ReadNumberField("-3.5"), -3.5);
  EXPECT_DOUBLE_EQ(ReadNumberField("12345678"), 12345.0);
  EXPECT_DOUBLE_EQ(ReadNumberField("1,2345"), 1.234);
  EXPECT_DOUBLE_EQ(ReadNumberField(""), 0.0);
  EXPECT_DOUBLE_EQ(ReadNumberField("-"), 0.0);
  EXPECT_DOUBLE_EQ(ReadNumberField("+"), 0.0);
  EXPECT_DOUBLE_EQ(ReadNumberField("+2"), 2.0);
  EXPECT_DOUBLE_EQ(ReadNumberField(",5"), 0.5);
  EXPECT_DOUBLE_EQ(ReadNumberField("-,05"), -0.05);
  EXPECT_DOUBLE_EQ(ReadNumberField("7,"), 7.0);
}

TEST(NumberFieldTest, ConversionErrorsCountAsZero) {
  QStringList errors;
  EXPECT_DOUBLE_EQ(ReadNumberField("abc", &errors), 0.0);
  ASSERT_EQ(errors.size(), 1);
  EXPECT_EQ(errors[0], "'abc' is not a valid integer value ConversionError");
  errors.clear();
  EXPECT_DOUBLE_EQ(ReadNumberField("3,x", &errors), 3.0);
  EXPECT_EQ(errors, QStringList{"'x' is not a valid integer value ConversionError"});
  errors.clear();
  EXPECT_DOUBLE_EQ(ReadNumberField("1.2.3", &errors), 1.0);  // fraction "2,3"
  EXPECT_EQ(errors.size(), 1);
}

TEST(NumberFieldTest, OneDecimalInTheLocale) {
  EXPECT_EQ(FormatNumberField(1.27, QLocale::c()), "1.3");
  EXPECT_EQ(FormatNumberField(-3.5, QLocale(QLocale::German)), "-3,5");
  EXPECT_EQ(FormatNumberField(12345.0, QLocale(QLocale::German)), "12345,0");
  EXPECT_EQ(FormatNumberField(0.0, QLocale::c()), "0.0");
}

}  // namespace
}  // namespace zizara::core::scale
