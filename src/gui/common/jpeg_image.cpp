#include "gui/common/jpeg_image.h"

#include <QFile>
#include <QRect>
#include <csetjmp>
#include <cstdio>
#include <vector>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

namespace zizara::gui::common {
namespace {

// Bounds a crafted header's claim before we allocate for it.
constexpr unsigned kMaxDimension = 16384;

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void ExitWithError(j_common_ptr cinfo) {
  auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, manager->message);
  std::longjmp(manager->jump, 1);
}

// Warnings (premature end, corrupt data) would otherwise give a half-grey picture silently.
void EmitMessage(j_common_ptr cinfo, int level) {
  if (level < 0) ExitWithError(cinfo);
}

// Only plain locals live here: a longjmp out of libjpeg must not skip a destructor.
bool DecodeInto(const QByteArray& data, QImage* out, char* message) {
  jpeg_decompress_struct cinfo;
  ErrorManager manager;
  cinfo.err = jpeg_std_error(&manager.base);
  manager.base.error_exit = ExitWithError;
  manager.base.emit_message = EmitMessage;
  manager.message[0] = '\0';
  if (setjmp(manager.jump)) {
    jpeg_destroy_decompress(&cinfo);
    std::snprintf(message, JMSG_LENGTH_MAX, "%s", manager.message);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.constData()),
               static_cast<unsigned long>(data.size()));
  jpeg_read_header(&cinfo, TRUE);
  if (cinfo.image_width > kMaxDimension || cinfo.image_height > kMaxDimension) {
    jpeg_destroy_decompress(&cinfo);
    std::snprintf(message, JMSG_LENGTH_MAX, "image too large (%ux%u)", cinfo.image_width,
                  cinfo.image_height);
    return false;
  }
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  *out = QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                QImage::Format_RGB888);
  if (out->isNull()) {
    jpeg_destroy_decompress(&cinfo);
    std::snprintf(message, JMSG_LENGTH_MAX, "out of memory");
    return false;
  }
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = out->scanLine(static_cast<int>(cinfo.output_scanline));
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

// Appends the runs of non-key pixels in one row as [start, end) pairs.
template <typename PixelAt>
void RowSpans(int width, PixelAt is_key, std::vector<int>* spans) {
  spans->clear();
  int x = 0;
  while (x < width) {
    while (x < width && is_key(x)) ++x;
    if (x == width) break;
    const int start = x;
    while (x < width && !is_key(x)) ++x;
    spans->push_back(start);
    spans->push_back(x);
  }
}

}  // namespace

QImage DecodeJpeg(const QByteArray& data, QString* error) {
  QImage image;
  char message[JMSG_LENGTH_MAX] = {};
  if (!DecodeInto(data, &image, message)) {
    if (error) *error = QString::fromLocal8Bit(message);
    return {};
  }
  return image;
}

QImage LoadJpeg(const QString& path_or_resource, QString* error) {
  QFile file(path_or_resource);
  if (!file.open(QIODevice::ReadOnly)) {
    if (error) *error = file.errorString();
    return {};
  }
  QString decode_error;
  QImage image = DecodeJpeg(file.readAll(), &decode_error);
  if (image.isNull() && error) *error = path_or_resource + QStringLiteral(": ") + decode_error;
  return image;
}

QRegion KeyColourRegion(const QImage& image) {
  if (image.isNull()) return {};
  QImage source = image;
  if (source.format() != QImage::Format_RGB888 && source.format() != QImage::Format_RGB32 &&
      source.format() != QImage::Format_ARGB32) {
    source = source.convertToFormat(QImage::Format_RGB32);
    if (source.isNull()) return {};
  }
  const int width = source.width();
  const bool packed = source.format() == QImage::Format_RGB888;

  // Rows with the same spans share one band, as QRegion::setRects wants.
  std::vector<QRect> rects;
  std::vector<int> band_spans;
  std::vector<int> spans;
  int band_top = 0;
  auto close_band = [&](int bottom) {
    for (size_t i = 0; i < band_spans.size(); i += 2) {
      rects.emplace_back(band_spans[i], band_top, band_spans[i + 1] - band_spans[i],
                         bottom - band_top);
    }
  };
  for (int y = 0; y < source.height(); ++y) {
    const uchar* line = source.constScanLine(y);
    if (packed) {
      RowSpans(
          width,
          [line](int x) {
            const uchar* p = line + 3 * x;
            return p[1] >= 254 && p[2] <= 15;
          },
          &spans);
    } else {
      const auto* pixels = reinterpret_cast<const QRgb*>(line);
      RowSpans(
          width, [pixels](int x) { return IsKeyColour(pixels[x]); }, &spans);
    }
    if (y == 0 || spans != band_spans) {
      close_band(y);
      band_spans.swap(spans);
      band_top = y;
    }
  }
  close_band(source.height());

  QRegion region;
  if (!rects.empty()) region.setRects(rects.data(), static_cast<int>(rects.size()));
  return region;
}

}  // namespace zizara::gui::common
