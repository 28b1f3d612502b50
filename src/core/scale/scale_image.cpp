#include "core/scale/scale_image.h"

#include <cmath>
#include <vector>

namespace zizara::core::scale {

namespace {

// What Round and a 16-bit store make of a value; NaN and infinities store 0.
std::uint16_t RoundToWord(double x) {
  if (!std::isfinite(x)) {
    return 0;
  }
  double r = std::fmod(std::round(x), 65536.0);
  if (r < 0) {
    r += 65536.0;
  }
  return static_cast<std::uint16_t>(r);
}

// Control characters and blanks, as a text trim sees them.
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

QByteArray TrimRight(const QByteArray& text) {
  qsizetype end = text.size();
  while (end > 0 && IsBlank(text[end - 1])) {
    --end;
  }
  return text.left(end);
}

bool HasVisibleText(const QByteArray& text) {
  for (char c : text) {
    if (!IsBlank(c)) {
      return true;
    }
  }
  return false;
}

class WordWriter {
 public:
  explicit WordWriter(ScaleImage& image) : image_(image) {}
  void Put(std::uint16_t word) {
    if (next_ < kImageWords) {
      image_[static_cast<std::size_t>(next_)] = word;
    }
    ++next_;
  }

 private:
  ScaleImage& image_;
  int next_ = image_words::kFirstGroup;
};

std::uint16_t Pack(char low, char high) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(low) |
                                    (static_cast<unsigned char>(high) << 8));
}

}  // namespace

std::uint16_t FullScaleFactor(double reference_db) {
  return RoundToWord(32767.0 * std::pow(10.0, (reference_db - 18.0) / 20.0));
}

std::uint16_t LineValue(double level_db, std::uint16_t full_scale) {
  return RoundToWord(std::pow(10.0, level_db / 20.0) * full_scale);
}

ScaleImage BuildScaleImage(ScaleRecord& record) {
  namespace w = image_words;
  ScaleImage image{};
  const auto name = record.ShortNameBytes();
  image[w::kName12] = static_cast<std::uint16_t>(name[0] | (name[1] << 8));
  image[w::kName34] = static_cast<std::uint16_t>(name[2] | (name[3] << 8));
  const int dynamics = record.DynamicsPosition();
  if (dynamics < static_cast<int>(DynamicsList().size())) {
    const Dynamics& d = DynamicsList()[static_cast<std::size_t>(dynamics)];
    image[w::kCodeWord] = d.code_word;
    image[w::kConstantA] = d.a;
    image[w::kConstantB] = d.b;
  }
  image[w::kDigital] = record.IsDigital() ? kDigitalMarker : 0;
  image[w::kMarker8] = kWord8;

  const std::uint16_t e = FullScaleFactor(record.Reference());
  std::array<std::uint16_t, kLineCount> values{};
  std::array<bool, kLineCount> labelled{};
  std::uint16_t smallest = 0xFFFF;
  std::uint16_t largest = 0;
  for (int n = 0; n < kLineCount; ++n) {
    const int style = record.LineStyle(n);
    if (style < 1 || style >= kStyleCount) {
      continue;
    }
    values[static_cast<std::size_t>(n)] = LineValue(record.LineLevel(n), e);
    smallest = std::min(smallest, values[static_cast<std::size_t>(n)]);
    largest = std::max(largest, values[static_cast<std::size_t>(n)]);
    labelled[static_cast<std::size_t>(n)] = HasVisibleText(record.LineLabel(n));
  }
  image[w::kSmallest] = smallest;
  image[w::kLargest] = largest;

  WordWriter out(image);
  std::vector<int> label_order;
  int groups = 0;
  for (bool with_label : {true, false}) {
    for (int style = 1; style < kStyleCount; ++style) {
      std::vector<int> lines;
      for (int n = 0; n < kLineCount; ++n) {
        if (record.LineStyle(n) == style && labelled[static_cast<std::size_t>(n)] == with_label) {
          lines.push_back(n);
        }
      }
      if (lines.empty()) {
        continue;
      }
      ++groups;
      out.Put(static_cast<std::uint16_t>(lines.size()));
      out.Put(static_cast<std::uint16_t>(style - 1));
      for (int n : lines) {
        out.Put(values[static_cast<std::size_t>(n)]);
        if (with_label) {
          label_order.push_back(n);
        }
      }
    }
  }
  image[w::kGroupCount] = static_cast<std::uint16_t>(groups);

  out.Put(static_cast<std::uint16_t>(label_order.size()));
  for (int n : label_order) {
    const QByteArray label = TrimRight(record.LineLabel(n));
    record.SetLineLabel(n, label);
    out.Put(static_cast<std::uint16_t>(label.size()));
    switch (label.size()) {
      case 1:
        out.Put(static_cast<unsigned char>(label[0]));
        break;
      case 2:
        out.Put(Pack(label[0], label[1]));
        break;
      case 3:
        out.Put(static_cast<unsigned char>(label[0]));
        out.Put(Pack(label[1], label[2]));
        break;
      default:
        out.Put(Pack(label[0], label[1]));
        out.Put(Pack(label[2], label[3]));
        break;
    }
  }
  return image;
}

QByteArray ImageBytes(const ScaleImage& image) {
  QByteArray out;
  out.reserve(kImageBytes);
  for (std::uint16_t word : image) {
    out.append(static_cast<char>(word >> 8));
    out.append(static_cast<char>(word & 0xFF));
  }
  return out;
}

}  // namespace zizara::core::scale
